#!/usr/bin/env python3
"""Writes the campaign's first room, "Tutorial.xml", and its four puzzles under data/files/.

The room stands in the default environment (rooms/env/DefaultRoomEnv.xml): its faces are the
construction quads 20 units from the centre, 22 wide and 16 high around the eye height 2, so a
point (u, v) of a face is u units to the right of the face's centre and at height v, with u from
-11 to 11 and v from -6 to 10. Every object of a puzzle lies in its face's plane.

The player's solutions (types and world points) are kept beside the game's tests in
tests/game/TutorialSolutions.h; the points there are those of the anchors written here.

    make_tutorial.py           writes into data/files of this repository
    make_tutorial.py --check   writes nothing; exits 1 when the committed files differ
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import generated_files  # noqa: E402  (tools/generated_files.py)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "data", "files")
ROOM = "Tutorial.xml"

# Widget kinds the widget bar offers, by bit.
PLATFORM, GRAVITY_SWITCH, BAR, MAGNET, ACCELERATOR = 0x1, 0x2, 0x4, 0x8, 0x10

# Face index -> (centre of the face, unit vector to the player's right along it).
FACES = {0: ((0, 0, 20), (1, 0, 0)), 1: ((20, 0, 0), (0, 0, -1)), 2: ((0, 0, -20), (-1, 0, 0)),
         3: ((-20, 0, 0), (0, 0, 1))}


def f(v):
    text = ("%.6f" % v).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def at(face, u, v):
    """The world point u to the right of the face's centre at height v."""
    (cx, _, cz), (rx, _, rz) = FACES[face]
    return (cx + rx * u, v, cz + rz * u)


def vec(name, v):
    return ('<Vector name="%s"><float name="x">%s</float><float name="y">%s</float>'
            '<float name="z">%s</float></Vector>' % (name, f(v[0]), f(v[1]), f(v[2])))


def quat(name, q):
    return ('<Quat name="%s"><float name="x">%s</float><float name="y">%s</float><float name="z">%s</float>'
            '<float name="w">%s</float></Quat>' % (name, f(q[0]), f(q[1]), f(q[2]), f(q[3])))


IDENTITY = (0, 0, 0, 1)


def val(kind, name, value):
    if isinstance(value, bool):
        value = "true" if value else "false"
    elif isinstance(value, float):
        value = f(value)
    return '<%s name="%s">%s</%s>' % (kind, name, value, kind)


def base(modifiable, density=1.0, magnetism=0):
    return ("<WidgetDataBase>" + val("bool", "IsModifiable", modifiable) + val("enum", "Magnetism", magnetism)
            + val("bool", "CollideWithQUORB", True) + val("float", "Density", float(density))
            + "</WidgetDataBase>")


FRICTION = val("float", "StaticFriction", 0.5) + val("float", "KineticFriction", 0.45)


def description(role, archetype, position, scale=(1, 1, 1), orientation=IDENTITY, data=None, objective=None):
    parts = [val("string", "Archetype", archetype), vec("Position", position), quat("Orientation", orientation),
             vec("Scale", scale), val("bool", "HasWidgetData", data is not None)]
    if data is not None:
        parts.append(data)
    parts.append(val("bool", "HasObjective", objective is not None))
    if objective is not None:
        parts.append(objective)
    return ('        <GobDescription name="%s">\n%s\n        </GobDescription>'
            % (role, "\n".join("            " + p for p in parts)))


# ---- objectives ----

def location(face, u, v, size):
    return description("ObjectiveDescription", "LocationObjective", at(face, u, v), (size,) * 3, facing(face),
                       objective=val("int", "ObjectiveID", 1)
                       + "<GetToLocation>" + val("enum", "QuorbCheckType", 0) + "</GetToLocation>")


def target(face, u, v, size):
    return description("ObjectiveDescription", "TargetObjective", at(face, u, v), (size,) * 3, facing(face),
                       objective=val("int", "ObjectiveID", 32) + "<Target></Target>")


def time_limit(face, u, v, seconds):
    return description("ObjectiveDescription", "TimerObjective", at(face, u, v), orientation=facing(face),
                       objective=val("int", "ObjectiveID", 8)
                       + "<TimeLimit>" + val("float", "TimeInterval", float(seconds)) + "</TimeLimit>")


def water_control(face, u, v, begin, end, seconds):
    return description("ObjectiveDescription", "WaterObjective", at(face, u, v), orientation=facing(face),
                       objective=val("int", "ObjectiveID", 16)
                       + "<WaterControl>" + val("float", "BeginWaterLevel", float(begin))
                       + val("float", "EndWaterLevel", float(end)) + val("float", "TimeInterval", float(seconds))
                       + "</WaterControl>")


# ---- star objects and widgets ----

def ball(face, u, v, density):
    data = (val("string", "Type", "QUORB") + "<QUORB>" + base(True, density) + FRICTION + "</QUORB>")
    return description("QuorbDescription", "QUORBBall", at(face, u, v), orientation=facing(face), data=data)


def hard_node(face, u, v):
    return description("WidgetDescription", "HardNode", at(face, u, v), orientation=facing(face))


def normal(face):
    """The face's normal, into the room."""
    (cx, _, cz), _ = FACES[face]
    return (-cx / 20.0, 0.0, -cz / 20.0)


def facing(face):
    """How the editor turns what it places at a press (anchors, star objects, objectives): its
    local x along the face's normal (Quaternion::SetFromDirection)."""
    nx, _, nz = normal(face)
    return quaternion_from_rows((nx, 0.0, nz), (-nz, 0.0, nx))  # z = n x up


def segment_orientation(face, d):
    """A segment's turn on the face from its direction d, as its nodes give it: the long axis
    (local x on faces 0 and 2, local z on faces 1 and 3) along d."""
    n = normal(face)
    minus = tuple(-c for c in n)
    x_axis, z_axis = {0: (d, minus), 1: (minus, d), 2: (d, n), 3: (n, d)}[face]
    return quaternion_from_rows(x_axis, z_axis)


def quaternion_from_rows(x_row, z_row):
    """The game's Quaternion::SetFromDirections: rows x, y = z cross x, z of a row-vector matrix."""
    zx, zy, zz = z_row
    xx, xy, xz = x_row
    y_row = (zy * xz - zz * xy, zz * xx - zx * xz, zx * xy - zy * xx)
    m = (x_row, y_row, z_row)
    trace = m[0][0] + m[1][1] + m[2][2]
    if trace > 0:
        s = math.sqrt(trace + 1.0) * 2
        w = 0.25 * s
        x = (m[1][2] - m[2][1]) / s
        y = (m[2][0] - m[0][2]) / s
        z = (m[0][1] - m[1][0]) / s
    elif m[0][0] > m[1][1] and m[0][0] > m[2][2]:
        s = math.sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2
        w = (m[1][2] - m[2][1]) / s
        x = 0.25 * s
        y = (m[1][0] + m[0][1]) / s
        z = (m[2][0] + m[0][2]) / s
    elif m[1][1] > m[2][2]:
        s = math.sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2
        w = (m[2][0] - m[0][2]) / s
        x = (m[1][0] + m[0][1]) / s
        y = 0.25 * s
        z = (m[2][1] + m[1][2]) / s
    else:
        s = math.sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2
        w = (m[0][1] - m[1][0]) / s
        x = (m[2][0] + m[0][2]) / s
        y = (m[2][1] + m[1][2]) / s
        z = 0.25 * s
    return (x, y, z, w)


def fixed_segment(archetype, face, a, b, magnetism=0):
    """A segment the player cannot touch, from face point a to face point b; its ends rest on the
    hard nodes placed there, which hold it while the puzzle plays."""
    (au, av), (bu, bv) = a, b
    du, dv = bu - au, bv - av
    length = math.hypot(du, dv)
    mid = at(face, (au + bu) / 2.0, (av + bv) / 2.0)
    (_, _, _), (rx, _, rz) = FACES[face]
    direction = (rx * du / length, dv / length, rz * du / length)
    orientation = segment_orientation(face, direction)
    # Faces 0 and 2 stretch a segment along its local x, faces 1 and 3 along its local z.
    scale = (length, 1, 1) if face in (0, 2) else (1, 1, length)
    cls = {"Platform": "Platform", "Bar": "Bar", "BarAlt": "Bar", "Accelerator": "Accelerator"}[archetype]
    extra = {"Platform": FRICTION, "Bar": "",
             "Accelerator": vec("Direction", direction) + val("float", "SpeedSetting", 6.0)}[cls]
    data = val("string", "Type", cls) + "<%s>%s%s</%s>" % (cls, base(False, magnetism=magnetism), extra, cls)
    return description("WidgetDescription", archetype, mid, scale, orientation, data=data)


# ---- the puzzles ----

def face_0():
    """Build a bridge: the ball drops between two anchors; a platform joining them catches it in
    the location."""
    return {"budget": 3, "widgets_offered": PLATFORM,
            "objectives": [location(0, 0, 1.5, 3)],
            "quorbs": [ball(0, 0, 7, 0.5)],
            "widgets": [hard_node(0, -2.4, 0), hard_node(0, 2.4, 0)]}


def face_1():
    """Launch the ball: it drops between two anchors; an accelerator joining them throws it
    through the target before the 20 s are out."""
    return {"budget": 3, "widgets_offered": ACCELERATOR,
            "objectives": [target(1, 0, 3.8, 1.5), time_limit(1, 8, 8.5, 20)],
            "quorbs": [ball(1, -6.5, 8, 0.5)],
            "widgets": [hard_node(1, -8.5, 5), hard_node(1, -4.5, 5)]}


def face_2():
    """Turn gravity: the ball rolls down the ramp and drops off its end. The location hangs beside
    the wall on the right, under a ledge, at the ramp's height, where the ball rests only while
    gravity pulls towards the wall: a gravity switch on the ramp, pointed at the wall, turns
    gravity as the ball rolls over it."""
    return {"budget": 3, "widgets_offered": GRAVITY_SWITCH,
            "objectives": [location(2, 4.9, 4.9, 3)],
            "quorbs": [ball(2, -8, 8, 0.5)],
            "widgets": [hard_node(2, -9.5, 4), hard_node(2, -2, 3),
                        fixed_segment("Platform", 2, (-9.5, 4), (-2, 3)),
                        hard_node(2, 4, 6.5), hard_node(2, 6.5, 6.5), hard_node(2, 6.5, 2.5),
                        fixed_segment("Bar", 2, (4, 6.5), (6.5, 6.5)),
                        fixed_segment("Bar", 2, (6.5, 6.5), (6.5, 2.5))]}


def face_3():
    """Raise the drawbridge: the ball rolls down the long ramp into a charged drawbridge hinged
    high on its far side, whose free end rests on the ramp; a magnet above the bridge pulls it up,
    the ball rolls under it and flies off the ramp through the target."""
    return {"budget": 3, "widgets_offered": PLATFORM | MAGNET,
            "objectives": [target(3, 7, 0, 1.5)],
            "quorbs": [ball(3, -9.5, 7.5, 0.5)],
            "widgets": [hard_node(3, -10, 6), hard_node(3, 4, -0.5),
                        fixed_segment("Platform", 3, (-10, 6), (4, -0.5)),
                        hard_node(3, 1.5, 7.7),
                        fixed_segment("Platform", 3, (-4.5, 4.5), (1.5, 7.7), magnetism=1)]}


def empty():
    return {"budget": 0, "widgets_offered": 31, "objectives": [], "quorbs": [], "widgets": []}


PUZZLES = [face_0, face_1, face_2, face_3]


def puzzle_text(puzzle, doc):
    lines = ['<?xml version="1.0" ?>', "<!-- %s -->" % doc, "<File>", "    <Puzzle>",
             "        " + val("int", "TotalBudget", puzzle["budget"]),
             "        " + val("int", "AvailableWidgets", puzzle["widgets_offered"])]
    for count, key in (("NumObjectives", "objectives"), ("NumQuorbs", "quorbs"), ("NumWidgets", "widgets")):
        lines.append("        " + val("uint", count, len(puzzle[key])))
        lines += puzzle[key]
    lines += ["    </Puzzle>", "</File>", ""]
    return "\n".join(lines)


LIGHT = """        <Light name="Light">
            <enum name="Type">3</enum>
            <Color name="Diffuse"><float name="r">229.5</float><float name="g">224.4</float><float name="b">204</float><float name="a">255</float></Color>
            <Color name="Specular"><float name="r">255</float><float name="g">255</float><float name="b">255</float><float name="a">255</float></Color>
            <Color name="Ambient"><float name="r">89.25</float><float name="g">89.25</float><float name="b">102</float><float name="a">255</float></Color>
            <Vector name="Position"><float name="x">0</float><float name="y">12</float><float name="z">0</float></Vector>
            <Vector name="Direction"><float name="x">-0.4</float><float name="y">-1</float><float name="z">0.6</float></Vector>
            <float name="Range">200</float>
            <float name="Falloff">1</float>
            <float name="Attenuation0">1</float>
            <float name="Attenuation1">0</float>
            <float name="Attenuation2">0</float>
            <float name="Theta">0</float>
            <float name="Phi">0</float>
        </Light>"""


def room_text(names):
    lines = ['<?xml version="1.0" ?>',
             "<!-- The campaign's first room: one puzzle a face, from a bridge to a magnet. "
             "Made by tools/rooms/make_tutorial.py. -->",
             "<File>", "    <RoomData>", '        <string name="Name"></string>',
             '        <list name="Puzzles" size="%d">' % len(names)]
    lines += ['            <string name="PuzzleName">%s</string>' % n for n in names]
    lines += ["        </list>", LIGHT, '        <bool name="EnableLightBloom">false</bool>',
              '        <bool name="EnableShadow">false</bool>', "    </RoomData>", "</File>", ""]
    return "\n".join(lines)


def build():
    files = {}
    base_name = ROOM[:-4]
    names = []
    for index, make in enumerate(PUZZLES):
        name = "%s_Puzzle_%d.xml" % (base_name, index)
        names.append(name)
        doc = (make.__doc__ or "An empty face.").strip().replace("\n", " ")
        doc = " ".join(doc.split())
        files[os.path.join("puzzles", name)] = puzzle_text(make(), "Face %d of %s: %s Made by "
                                                          "tools/rooms/make_tutorial.py." % (index, ROOM, doc))
    files[os.path.join("rooms", ROOM)] = room_text(names)
    return files


def main():
    return generated_files.write_or_check(build(), OUT, "make_tutorial.py")


if __name__ == "__main__":
    sys.exit(main())
