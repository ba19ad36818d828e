#!/usr/bin/env python3
"""Writes the game's object templates and archetypes under data/files/xmlfiles/.

The game loads the 17 templates from XML_PATH at start-up; each names its components and the
archetype files of its objects (relative to the run folder, where the build copies data/files
into files/). Run it after changing it; `--check` compares the committed files instead and fails
when they differ (the test suite runs that).

What the game relies on:
- template names it compares: "Widget" (platforms, bars, accelerators, gravity switch, magnet),
  "Node", "QUORB", "Objective", "ConstructionQuad"; the fields use "Field";
- the construction quads stand 20 units from the room's centre, 22 x 16, normals into the room,
  first edge along the face (its length is the quad object's scale);
- the bounding planes are filed at the oct tree's root (their boxes cross its centre planes);
- moving objects' boxes cover their hull plus a margin; fields stand behind their object so a
  pick ray from the room's centre meets the object first.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import generated_files  # noqa: E402  (tools/generated_files.py)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "data", "files", "xmlfiles")
RUN_XML = "files/xmlfiles/"  # the folder as the game sees it from its run folder
ARCH = "archetypes/"


def f(v):
    text = ("%.6f" % v).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def vec(name, v):
    return ('<Vector name="%s"><float name="x">%s</float><float name="y">%s</float>'
            '<float name="z">%s</float></Vector>' % (name, f(v[0]), f(v[1]), f(v[2])))


def quat(name, q=(0, 0, 0, 1)):
    return ('<Quat name="%s"><float name="x">%s</float><float name="y">%s</float><float name="z">%s</float>'
            '<float name="w">%s</float></Quat>' % (name, f(q[0]), f(q[1]), f(q[2]), f(q[3])))


def color(name, c):
    return ('<Color name="%s"><float name="r">%s</float><float name="g">%s</float><float name="b">%s</float>'
            '<float name="a">%s</float></Color>' % (name, f(c[0]), f(c[1]), f(c[2]), f(c[3])))


def val(kind, name, value):
    if isinstance(value, bool):
        value = "true" if value else "false"
    elif isinstance(value, float):
        value = f(value)
    return '<%s name="%s">%s</%s>' % (kind, name, value, kind)


def comp(name, *children):
    if not children:
        return '    <Component name="%s"></Component>' % name
    return '    <Component name="%s">\n%s\n    </Component>' % (name, "\n".join("      " + c for c in children))


def pov(scale=(1, 1, 1), box=0.6, bvtype=1, radius=0.5, position=(0, 0, 0), box_min=None, box_max=None,
        sphere_centre=(0, 0, 0)):
    lo = box_min if box_min is not None else (-box, -box, -box)
    hi = box_max if box_max is not None else (box, box, box)
    return comp("POVComp",
                vec("Position", position), quat("Orientation"), vec("Velocity", (0, 0, 0)), vec("Scale", scale),
                '<Sphere name="BoundingSphere">%s<float name="Radius">%s</float></Sphere>'
                % (vec("Center", sphere_centre), f(radius)),
                '<AABB name="BoundingAABB">%s%s</AABB>' % (vec("Min", lo), vec("Max", hi)),
                val("int", "BVType", bvtype))


def model(xfile, texture, fx="TextureMapping.fx", technique="TextureMapping", visible=True, transparent=False,
          specular=51, tile=1.0):
    white = (255, 255, 255, 255)
    return comp("GfxModelComp",
                val("string", "XFile", xfile), val("string", "FXFile", fx), val("string", "Technique", technique),
                '<list name="Textures" size="1"><pair name="Texture"><int name="First">0</int>'
                '<string name="Second">%s</string></pair></list>' % texture,
                val("bool", "ShadowCaster", False), val("bool", "IsVisible", visible),
                val("bool", "AlwaysVisible", False), val("float", "TileFactor", float(tile)),
                val("bool", "BuildBSPTree", True), val("bool", "IsTransparent", transparent),
                '<Material name="Material">%s%s%s<float name="SpecularPower">32</float></Material>'
                % (color("Ambient", white), color("Diffuse", white), color("Specular", (specular,) * 3 + (255,))))


def cloth_look(texture):
    """A cloth's GfxClothComp: "Membrane.fx" (its technique "ClothMembrane"), the woven texture as
    the surface (stage 0) and as the light shining through it (stage 5), white material."""
    white = (255, 255, 255, 255)
    pair = '<pair name="Texture"><int name="First">%d</int><string name="Second">%s</string></pair>'
    return comp("GfxClothComp",
                val("string", "FXFile", "Membrane.fx"),
                '<list name="Textures" size="2">%s%s</list>' % (pair % (0, texture), pair % (5, texture)),
                val("bool", "ShadowCaster", False), val("bool", "IsVisible", True),
                val("bool", "AlwaysVisible", False), val("float", "TileFactor", 1.0),
                val("bool", "BuildBSPTree", False), val("bool", "IsTransparent", False),
                '<Material name="Material">%s%s%s<float name="SpecularPower">32</float></Material>'
                % (color("Ambient", white), color("Diffuse", white), color("Specular", (51, 51, 51, 255))))


def hull(kind, **k):
    if kind == "Sphere":
        return '<SphereHull>%s%s</SphereHull>' % (vec("Center", (0, 0, 0)), val("float", "Radius", 0.0))
    if kind == "OBB":
        return '<OBBHull>%s%s</OBBHull>' % (vec("Extent", (0, 0, 0)), vec("Center", (0, 0, 0)))
    if kind == "Plane":
        return '<PlaneHull>%s%s</PlaneHull>' % (vec("N", k["n"]), val("float", "D", float(k["d"])))
    raise ValueError(kind)


def collision(kind, static=0.5, kinetic=0.45, restitution=0.3, trigger=False, **k):
    return comp("CollisionComp",
                val("float", "StaticFriction", float(static)), val("float", "KineticFriction", float(kinetic)),
                val("float", "CoeffRes", float(restitution)), val("bool", "IsTriggerHull", trigger),
                val("string", "HullType", kind), hull(kind, **k))


def physics(forces, density=1.0, immovable=True):
    parts = [val("float", "Mass", 1.0), val("float", "Density", float(density)), val("bool", "UseDensity", True),
             val("float", "InertiaXX", 0.0), val("float", "InertiaYY", 0.0), val("float", "InertiaZZ", 0.0),
             val("bool", "Immovable", immovable), val("uint", "NumForces", len(forces))]
    for name, body in forces:
        parts.append(val("string", "ForceType", name))
        parts.append("<%s>%s</%s>" % (name, body, name))
    return comp("PhysicsComp", *parts)


GRAVITY = ("Gravity", "")
DRAG = ("DragForce", val("float", "LinearDrag", 0.1) + val("float", "AngularDrag", 0.1))
BUOYANCY = ("Buoyancy", val("uint", "NumPatchesX", 2) + val("uint", "NumPatchesY", 2) + val("uint", "NumPatchesZ", 2))


def widget_data(cls, density=1.0, extra=""):
    base = ("<WidgetDataBase>" + val("bool", "IsModifiable", True) + val("enum", "Magnetism", 0)
            + val("bool", "CollideWithQUORB", True) + val("float", "Density", float(density)) + "</WidgetDataBase>")
    return comp("WidgetDataComp", val("string", "Type", cls), "<%s>%s%s</%s>" % (cls, base, extra, cls))


def gob_id(owner=False, position=False, orientation=False, scale=False):
    return comp("GobIDComp", val("bool", "IsOwner", owner), val("bool", "SharePosition", position),
                val("bool", "ShareOrientation", orientation), val("bool", "ShareScale", scale))


FRICTION = val("float", "StaticFriction", 0.5) + val("float", "KineticFriction", 0.45)


def archetype(type_name, comment, components):
    return ('<?xml version="1.0" ?>\n<!-- %s -->\n<File>\n  <Gob type="%s">\n    <string name="Name"></string>\n'
            '%s\n  </Gob>\n</File>\n' % (comment, type_name, "\n".join(components)))


def template(file_name, type_name, template_name, components, archetypes, comment):
    lines = ['<?xml version="1.0" ?>', "<!-- %s -->" % comment, "<File>", "  <Template>",
             '    <string name="TypeName">%s</string>' % type_name,
             '    <string name="TemplateName">%s</string>' % template_name,
             '    <list name="Components" size="%d">' % len(components)]
    lines += ["      <string>%s</string>" % c for c in components]
    lines += ["    </list>", '    <list name="Archetypes" size="%d">' % len(archetypes)]
    for name in archetypes:
        lines.append('      <pair><string name="First">%s</string><string name="Second">%s%s%s.xml</string></pair>'
                     % (name, RUN_XML, ARCH, name))
    lines += ["    </list>", "  </Template>", "</File>", ""]
    return file_name, "\n".join(lines)


def build():
    files = {}  # path below OUT -> text

    def tmpl(file_name, type_name, template_name, components, archetypes, comment):
        name, text = template(file_name, type_name, template_name, components, sorted(archetypes), comment)
        files[name] = text
        for arch, (arch_comment, parts) in archetypes.items():
            files[ARCH + arch + ".xml"] = archetype(type_name, arch_comment, parts)

    # The room's shell around the camera.
    tmpl("RoomTemplate.xml", "Room", "Room", ["POVComp", "GfxModelComp"],
         {"Room": ("The room's shell: walls 24 units from the centre, floor at -10, ceiling at 14.",
                   [pov(box_min=(-25, -11, -25), box_max=(25, 15, 25), radius=40),
                    model("RoomShell.x", "room/room_shell_diffuse.png")])},
         "The room object \"Room\", made once by the first room load.")

    # The water surface (a planar water without waves).
    water = comp("GfxWaterComp",
                 val("string", "FXFile", "Water2.fx"), val("string", "Technique", "RenderPlanarWater"),
                 '<list name="Textures" size="1"><pair name="Texture"><enum name="First">3</enum>'
                 '<string name="Second">water/water_normals.png</string></pair></list>',
                 val("bool", "ShadowCaster", False), val("bool", "IsVisible", True),
                 val("bool", "AlwaysVisible", False), val("bool", "BuildBSPTree", False),
                 val("enum", "WaterType", 1),
                 '<WaterNoWaveInfo name="NoWaveInfo">' + "".join(val("float", n, v) for n, v in (
                     ("BumpScale", 0.05), ("RefUVDistortion", 0.015), ("Dir1X", 1.0), ("Dir1Z", 0.0),
                     ("Dir2X", 0.0), ("Dir2Z", 1.0), ("FresnelPower", 4.0), ("FresnelBias", 0.35)))
                 + "</WaterNoWaveInfo>")
    tmpl("WaterTemplate.xml", "Water", "Water", ["POVComp", "GfxWaterComp"],
         {"PlanarWater": ("The room's water: a flat sheet across the room at height 0, 48 x 48.",
                          [pov(scale=(48, 1, 48), box_min=(-0.6, -0.1, -0.6), box_max=(0.6, 0.1, 0.6),
                               radius=0.71), water])},
         "The water surface of a room.")

    # Star objects.
    quorb_parts = ["POVComp", "GfxModelComp", "CollisionComp", "PhysicsComp", "WidgetDataComp", "GobIDComp"]
    qdata = widget_data("QUORB", 1.0, FRICTION)
    qlink = gob_id(owner=True, position=True, orientation=True, scale=True)
    tmpl("QUORBTemplate.xml", "QUORB", "QUORB", quorb_parts,
         {"QUORBBall": ("The ball star object: diameter 1, falls and floats.",
                        [pov(bvtype=0), model("QUORBBall.x", "widgets/quorb/quorb_ball_diffuse.png"),
                         collision("Sphere", restitution=0.4), physics([GRAVITY, BUOYANCY], immovable=True),
                         qdata, qlink]),
          "QUORBBox": ("The box star object: a unit cube, falls and floats.",
                       [pov(), model("QUORBBox.x", "widgets/quorb/quorb_box_diffuse.png"),
                        collision("OBB", restitution=0.2), physics([GRAVITY, BUOYANCY], immovable=True),
                        qdata, qlink])},
         "Star objects (type and template \"QUORB\") with the forces Gravity and Buoyancy.")

    # The six planes that keep everything in the room; their boxes cross the oct tree's centre
    # planes, so they are filed at its root and every object meets them.
    planes = {"PlaneBottom": ((0, 1, 0), 10, "the floor, y = -10"),
              "PlaneTop": ((0, -1, 0), 14, "the ceiling, y = 14"),
              "PlaneLeft": ((1, 0, 0), 24, "the left wall, x = -24"),
              "PlaneRight": ((-1, 0, 0), 24, "the right wall, x = 24"),
              "PlaneBack": ((0, 0, 1), 24, "the back wall, z = -24"),
              "PlaneFront": ((0, 0, -1), 24, "the front wall, z = 24")}
    tmpl("CollisionPlaneTemplate.xml", "CollisionPlane", "CollisionPlane", ["POVComp", "CollisionComp"],
         {name: ("Bounding plane: %s, facing into the room." % what,
                 [pov(box_min=(-80, -80, -80), box_max=(140, 600, 140), radius=1),
                  collision("Plane", static=0.6, kinetic=0.5, restitution=0.2, n=n, d=d)])
          for name, (n, d, what) in planes.items()},
         "The room's six bounding planes.")

    # The 2D objects the console window and the menus live on.
    tmpl("2DObjectTemplate.xml", "2DObject", "2DObject", ["POVComp", "Gfx2DComp", "StateMachineComponent"],
         {"2DArchetype": ("A 2D object: the console window and each menu.",
                          [pov(box=0, bvtype=2, radius=0), comp("Gfx2DComp"), comp("StateMachineComponent")])},
         "Objects of the 2D layer.")

    # The construction quads: 20 units from the centre, 22 x 16, centred at the eye height 2.
    cq = {}
    faces = [("CQFront", (0, 0, 1), "front"), ("CQRight", (1, 0, 0), "right"),
             ("CQBack", (0, 0, -1), "back"), ("CQLeft", (-1, 0, 0), "left")]
    for name, d, word in faces:
        n = (-d[0], -d[1], -d[2])
        h = (n[2], 0, -n[0])  # up x n: along the face, so that (P1 - P0) x (P3 - P0) points along n
        c = (d[0] * 20, 2, d[2] * 20)
        p = [(c[0] - h[0] * 11, c[1] - 8, c[2] - h[2] * 11), (c[0] + h[0] * 11, c[1] - 8, c[2] + h[2] * 11),
             (c[0] + h[0] * 11, c[1] + 8, c[2] + h[2] * 11), (c[0] - h[0] * 11, c[1] + 8, c[2] - h[2] * 11)]
        quad = '<Quad name="Quad">%s</Quad>' % "".join(vec("P%d" % i, p[i]) for i in range(4))
        # Its own frame faces -z; the quad object turns so that it faces the room's centre.
        yaw = {"front": (0, 0, 0, 1), "right": (0, 0.7071068, 0, 0.7071068), "back": (0, 1, 0, 0),
               "left": (0, -0.7071068, 0, 0.7071068)}[word]
        parts = [pov(box_min=(-0.5, -0.4, -0.05), box_max=(0.5, 0.4, 0.05), radius=0.62),
                 model("ConstructionQuad.x", "room/construction_quad_diffuse.png", fx="TextureMappingNoLight.fx",
                       technique="TextureMappingNoLight", transparent=True),
                 comp("ConstructionQuadComp", quad)]
        parts[0] = parts[0].replace(quat("Orientation"), quat("Orientation", yaw))
        cq[name] = ("The %s face's construction quad: 22 x 16 at 20 units, its normal into the room." % word,
                    parts)
    tmpl("ConstructionQuadTemplate.xml", "ConstructionQuad", "ConstructionQuad",
         ["POVComp", "GfxModelComp", "ConstructionQuadComp"], cq, "The four room faces' building areas.")

    # Gravity switch and magnet: widgets without a body.
    tmpl("GravitySwitchTemplate.xml", "GravitySwitchWidget", "Widget",
         ["POVComp", "GfxModelComp", "CollisionComp", "WidgetDataComp"],
         {"GravitySwitch": ("The gravity switch: turns gravity when the star object touches it.",
                            [pov(), model("GravitySwitch.x", "widgets/gravityswitch/gravity_switch_diffuse.png"),
                             collision("OBB", trigger=True),
                             widget_data("GravitySwitch", 1.0, vec("Direction", (1, 0, 0)))])},
         "The gravity switch (template \"Widget\", no physics body).")
    tmpl("MagnetTemplate.xml", "MagnetWidget", "Widget",
         ["POVComp", "GfxModelComp", "CollisionComp", "WidgetDataComp", "GobIDComp"],
         {"Magnet": ("The magnet: its field pulls or pushes charged objects.",
                     [pov(), model("Magnet.x", "widgets/magnet/magnet_diffuse.png"), collision("OBB"),
                      widget_data("Magnet", 1.2, val("float", "Strength", 1.0)),
                      gob_id(owner=True, position=True, orientation=True, scale=False)])},
         "The magnet (template \"Widget\", no physics body); its field keeps the scale its strength gives.")

    # Nodes.
    tmpl("NodeTemplate.xml", "Node", "Node",
         ["POVComp", "GfxModelComp", "CollisionComp", "PhysicsComp", "NodeDataComp"],
         {"SoftNode": ("A segment's end node: moves with its segments.",
                       [pov(bvtype=0), model("SoftNode.x", "widgets/node/soft_node_diffuse.png"),
                        collision("Sphere"), physics([GRAVITY, DRAG]), comp("NodeDataComp")]),
          "HardNode": ("A fixed anchor node: stays where it is put, even in play.",
                       [pov(bvtype=0), model("HardNode.x", "widgets/node/hard_node_diffuse.png"),
                        collision("Sphere"), physics([GRAVITY, DRAG], density=1.2), comp("NodeDataComp")])},
         "Nodes (template \"Node\").")

    # Segments between two nodes.
    seg_parts = ["POVComp", "GfxModelComp", "CollisionComp", "PhysicsComp", "WidgetDataComp", "ConnectionComp",
                 "GobIDComp"]
    seg_link = gob_id(owner=True, position=True, orientation=False, scale=True)
    segments = {}
    for name, mesh, texture, cls, hull_kind, extra in (
            ("Platform", "Platform.x", "widgets/platform/platform_diffuse.png", "Platform", "OBB", FRICTION),
            ("Bar", "Bar.x", "widgets/bar/bar_diffuse.png", "Bar", "OBB", ""),
            ("BarAlt", "BarAlt.x", "widgets/bar/bar_diffuse.png", "Bar", "OBB", ""),
            ("Accelerator", "Accelerator.x", "widgets/accelerator/accelerator_diffuse.png", "Accelerator", "OBB",
             vec("Direction", (1, 0, 0)) + val("float", "SpeedSetting", 6.0))):
        segments[name] = ("A %s segment between two nodes; its scale stretches it along the face." % name,
                          [pov(), model(mesh, texture), collision(hull_kind), physics([GRAVITY, DRAG]),
                           widget_data(cls, 1.0, extra), comp("ConnectionComp"), seg_link])
    tmpl("WidgetTemplate.xml", "Widget", "Widget", seg_parts, segments,
         "Platforms, bars and accelerators (template \"Widget\").")

    # A hanging cloth.
    tmpl("ClothTemplate.xml", "Cloth", "Cloth", ["POVComp", "GridComp", "ClothComp", "GfxClothComp"],
         {"Cloth": ("A 10 x 10 cloth hanging from its corners.",
                    [pov(box_min=(-1, -6, -1), box_max=(12, 1, 12), radius=8),
                     comp("GridComp", val("uint", "SpanX", 10), val("uint", "SpanY", 10),
                          val("float", "SpacingX", 1.0), val("float", "SpacingY", 1.0)),
                     comp("ClothComp", val("float", "Mass", 10.0), val("float", "StretchK", 20.0),
                          val("float", "ShearK", 10.0), val("float", "BendK", 5.0),
                          val("float", "DampingFactor", 0.2)),
                     cloth_look("props/cloth_diffuse.png")])},
         "Cloths of rooms.")

    # Fields: invisible charge glows and the visible magnetic field, behind their objects.
    field_box = dict(box_min=(-0.5, -1.0, 0.5), box_max=(0.5, 1.0, 0.6), radius=0.5, sphere_centre=(0, 0, 0.55))
    tmpl("InvisibleWidgetTemplate.xml", "InvisibleWidget", "Field",
         ["POVComp", "GfxModelComp", "CollisionComp", "GobIDComp"],
         {"ChargeField": ("A segment's charge field, shown only while it is charged; behind the segment.",
                          [pov(**field_box), model("ChargeField.x", "widgets/magnet/positive_magnetic_field_diffuse.png",
                                                   fx="TextureMappingNoLight.fx", technique="TextureMappingNoLight",
                                                   visible=False, transparent=True),
                           collision("OBB", trigger=True), gob_id()]),
          "QUORBChargeField": ("A star object's charge field, shown only while it is charged; behind it.",
                               [pov(box_min=(-0.6, -0.8, -0.8), box_max=(-0.5, 0.8, 0.8), radius=0.8,
                                    sphere_centre=(-0.55, 0, 0)),
                                model("QUORBChargeField.x", "widgets/magnet/positive_magnetic_field_diffuse.png",
                                      fx="TextureMappingNoLight.fx", technique="TextureMappingNoLight",
                                      visible=False, transparent=True),
                                collision("Sphere", trigger=True), gob_id()])},
         "Charge fields (template \"Field\").")
    tmpl("NonCollideWidgetTemplate.xml", "NonCollideWidget", "Field",
         ["POVComp", "GfxModelComp", "CollisionComp", "GobIDComp"],
         {"MagneticField": ("A magnet's field, a disc behind the magnet scaled by its strength.",
                            [pov(box_min=(-0.5, -0.5, 0.5), box_max=(0.5, 0.5, 0.6), radius=0.5,
                                 sphere_centre=(0, 0, 0.55)),
                             model("MagneticField.x", "widgets/magnet/positive_magnetic_field_diffuse.png",
                                   fx="TextureMappingNoLight.fx", technique="TextureMappingNoLight",
                                   transparent=True),
                             collision("Sphere", trigger=True), gob_id()])},
         "Magnetic fields (template \"Field\"): they touch without pushing.")

    # Objectives.
    obj_parts = ["POVComp", "GfxModelComp", "CollisionComp", "ObjectiveComp", "GobIDComp"]
    objectives = {}
    for name, texture, what in (
            ("LocationObjective", "widgets/location/location_diffuse.png", "where the star object must stay"),
            ("TargetObjective", "widgets/target/target_diff.png", "what the star object must pass through"),
            ("WaterObjective", "widgets/water/water_diffuse.png", "where the water starts to change"),
            ("TimerObjective", "widgets/timer/timer_diffuse.png", "the puzzle's time limit"),
            ("SquashObjective", "widgets/squash/squash_diffuse.png", "squash the star object"),
            ("DestructionObjective", "widgets/destruction/destruction_diffuse.png", "cause destruction")):
        link = gob_id(owner=True) if name == "WaterObjective" else gob_id()
        objectives[name] = ("Objective marker: %s." % what,
                            [pov(bvtype=0), model(name + ".x", texture), collision("Sphere", trigger=True),
                             comp("ObjectiveComp"), link])
    objectives["WaterEndObjective"] = (
        "The water objective's end marker: the level the water will reach; it stays where it is put.",
        [pov(bvtype=0), model("WaterEndObjective.x", "widgets/water/water_end_diffuse.png"),
         collision("Sphere", trigger=True), comp("ObjectiveComp"), gob_id()])
    tmpl("ObjectiveTemplate.xml", "Objective", "Objective", obj_parts, objectives,
         "Objective markers (template \"Objective\").")

    # Furniture for room environments.
    tmpl("LocationTemplate.xml", "Location", "Location", ["POVComp", "GfxModelComp", "CollisionComp"],
         {"EnvBox": ("A wooden crate standing in the room.",
                     [pov(), model("Box.x", "props/box_diffuse.png"), collision("OBB")]),
          "EnvCylinder": ("A pillar standing in the room.",
                          [pov(), model("Cylinder.x", "props/cylinder_diffuse.png"), collision("OBB")])},
         "Fixed furniture of room environments.")

    tmpl("CachedObjectsTemplate.xml", "CachedObjects", "CachedObjects", ["POVComp"], {},
         "Objects kept for reuse (none yet).")

    tmpl("WidgetManipulatorTemplate.xml", "WidgetManipulator", "WidgetManipulator",
         ["POVComp", "StateMachineComponent"],
         {"Manipulator": ("The object the widget manipulation's state machine lives on.",
                          [pov(box=0, radius=0), comp("StateMachineComponent")])},
         "The widget manipulation's object.")
    return files


def main():
    return generated_files.write_or_check(build(), OUT, "make_templates.py")


if __name__ == "__main__":
    sys.exit(main())
