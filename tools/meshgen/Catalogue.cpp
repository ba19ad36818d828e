#include "Catalogue.h"
#include "MeshBuilder.h"
#include "XFileForms.h"
#include "XFileWriter.h"

#include <algorithm>
#include <cmath>

namespace meshgen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;

// The room: walls 24 units from the centre (the construction quads stand at 20), the floor 12
// units below and the ceiling 12 above the camera's eye height of 2. One texture tile is 8 units.
constexpr double kRoomHalfWidth = 24.0;
constexpr double kRoomFloor = -10.0;
constexpr double kRoomCeiling = 14.0;
constexpr double kRoomTile = 8.0;

// Fields and markers stand this far behind their object (in its own units), so that a pick ray
// from the room's centre meets the object before the field.
constexpr double kFieldDepth = 0.55;

Material MakeMaterial(const std::string& name, double r, double g, double b, const std::string& texture)
{
    Material material;
    material.name = name;
    material.diffuse = {r, g, b, 1.0};
    material.emissive = {0.4 * r, 0.4 * g, 0.4 * b}; // read as the ambient colour
    material.texture = texture;
    return material;
}

XModel SingleMesh(const std::string& name, const std::vector<std::string>& comment, const Material& material,
                  MeshGeometry geometry)
{
    Mesh mesh;
    mesh.name = name + "Mesh";
    mesh.geometry = std::move(geometry);
    mesh.material = material;
    Frame frame;
    frame.name = name;
    frame.meshes.push_back(std::move(mesh));
    XModel model;
    model.fileName = name + ".x";
    model.comment = comment;
    model.frames.push_back(std::move(frame));
    return model;
}

MeshGeometry UnitBox()
{
    MeshGeometry geometry;
    AddBox(geometry, {0.0, 0.0, 0.0}, {1.0, 1.0, 1.0});
    return geometry;
}

MeshGeometry Cylinder(Axis axis, int sides)
{
    MeshGeometry geometry;
    AddCylinder(geometry, axis, 0.5, 1.0, sides);
    return geometry;
}

MeshGeometry Sphere(int slices, int stacks)
{
    MeshGeometry geometry;
    AddSphere(geometry, 0.5, slices, stacks);
    return geometry;
}

// The frame of a flat texture projection over the unit square, seen from the object's front.
QuadFrame FrontFacingX()
{
    return {{0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, 1.0, 1.0};
}
QuadFrame FrontFacingMinusZ()
{
    return {{0.0, 0.0, 0.0}, {0.0, 0.0, -1.0}, {0.0, 1.0, 0.0}, 1.0, 1.0};
}

MeshGeometry RoomShell()
{
    const double height = kRoomCeiling - kRoomFloor;
    const double middle = 0.5 * (kRoomCeiling + kRoomFloor);
    const double width = 2.0 * kRoomHalfWidth;
    const int across = static_cast<int>(width / kRoomTile);
    const int up = static_cast<int>(height / kRoomTile);
    const double tilesAcross = width / kRoomTile;
    const double tilesUp = height / kRoomTile;
    MeshGeometry geometry;
    // Walls in face order (front, right, back, left), each facing the room's centre.
    const Vec3 wallNormals[] = {{0, 0, -1}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}};
    for (const Vec3& normal : wallNormals)
        AddQuadGrid(geometry,
                    {normal * -kRoomHalfWidth + Vec3{0.0, middle, 0.0}, normal, {0, 1, 0}, width, height},
                    across, up, 0.0, 0.0, tilesAcross, tilesUp);
    AddQuadGrid(geometry, {{0.0, kRoomFloor, 0.0}, {0, 1, 0}, {0, 0, 1}, width, width}, across, across, 0.0,
                0.0, tilesAcross, tilesAcross);
    AddQuadGrid(geometry, {{0.0, kRoomCeiling, 0.0}, {0, -1, 0}, {0, 0, 1}, width, width}, across, across,
                0.0, 0.0, tilesAcross, tilesAcross);
    return geometry;
}

// A round objective badge facing +x: a thin ring in the object's plane, which the star object
// passes through, and a backing disc behind it. The texture is projected from the front over the
// unit square: the ring takes the band from 80 to 100 percent of the radius, the disc the inside.
MeshGeometry Badge()
{
    MeshGeometry geometry;
    AddTorus(geometry, {0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, 0.45, 0.05, 32, 6);
    AddDisc(geometry, {-0.6, 0.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, 0.45, 32);
    ProjectTexture(geometry, 0, FrontFacingX());
    return geometry;
}

MeshGeometry WaterLevelMarker()
{
    MeshGeometry geometry;
    AddBox(geometry, {0.0, 0.0, 0.0}, {0.1, 0.05, 1.0});
    AddExtrudedConvex(geometry, FrontFacingX(), {{0.0, 0.04}, {0.12, 0.3}, {-0.12, 0.3}}, 0.1);
    ProjectTexture(geometry, 0, FrontFacingX());
    return geometry;
}

MeshGeometry GravitySwitch()
{
    MeshGeometry geometry;
    AddCylinder(geometry, Axis::Z, 0.5, 0.4, 32);
    ProjectTexture(geometry, 0, FrontFacingMinusZ());
    return geometry;
}

// A horseshoe in the xy plane, its poles pointing along +x (the magnet's direction).
MeshGeometry Horseshoe()
{
    std::vector<Point2> outer;
    std::vector<Point2> inner;
    const double outerRadius = 0.5;
    const double innerRadius = 0.2;
    for (const double x : {0.5, 0.3})
    {
        outer.push_back({x, outerRadius});
        inner.push_back({x, innerRadius});
    }
    const int steps = 16;
    for (int k = 0; k <= steps; ++k)
    {
        const double angle = kPi * (0.5 + static_cast<double>(k) / steps);
        outer.push_back({outerRadius * std::cos(angle), outerRadius * std::sin(angle)});
        inner.push_back({innerRadius * std::cos(angle), innerRadius * std::sin(angle)});
    }
    for (const double x : {0.3, 0.5})
    {
        outer.push_back({x, -outerRadius});
        inner.push_back({x, -innerRadius});
    }
    MeshGeometry geometry;
    AddExtrudedBand(geometry, outer, inner, -0.2, 0.2);
    ProjectTexture(geometry, 0, FrontFacingMinusZ());
    return geometry;
}

MeshGeometry FlatQuad(const QuadFrame& frame)
{
    MeshGeometry geometry;
    AddQuadGrid(geometry, frame, 1, 1, 0.0, 0.0, 1.0, 1.0);
    return geometry;
}

MeshGeometry Disc(const Vec3& centre, const Vec3& normal, double radius)
{
    MeshGeometry geometry;
    AddDisc(geometry, centre, normal, {0.0, 1.0, 0.0}, radius, 48);
    return geometry;
}

const char* const kMade = "Made by tools/meshgen: change the generator, not this file.";
} // namespace

std::vector<XModel> BuildCatalogue()
{
    std::vector<XModel> models;
    auto add = [&](const std::string& name, std::vector<std::string> comment, const Material& material,
                   MeshGeometry geometry)
    {
        comment.push_back(kMade);
        models.push_back(SingleMesh(name, comment, material, std::move(geometry)));
    };

    // The stand-in for meshes that fail to load, and the room.
    add("Invalid",
        {"Invalid: shown in place of a mesh that failed to load; a unit cube centred on the origin."},
        MakeMaterial("InvalidMaterial", 1.0, 0.0, 1.0, "common/invalid_diffuse.png"), UnitBox());
    add("RoomShell",
        {"RoomShell: the inside of the room, its faces pointing inwards. Walls 24 units from the",
         "centre on x and z, floor at y = -10, ceiling at y = 14; the texture repeats every 8 units."},
        MakeMaterial("RoomShellMaterial", 0.9, 0.88, 0.82, "room/room_shell_diffuse.png"), RoomShell());
    add("ConstructionQuad",
        {"ConstructionQuad: a room face's building area, 1 wide and 8/11 high (22 x 16 at the scale 22",
         "the room gives it), centred on the origin and facing -z."},
        MakeMaterial("ConstructionQuadMaterial", 1.0, 1.0, 1.0, "room/construction_quad_diffuse.png"),
        FlatQuad({{0.0, 0.0, 0.0}, {0.0, 0.0, -1.0}, {0.0, 1.0, 0.0}, 1.0, 8.0 / 11.0}));

    // Props for rooms and tests.
    add("Box", {"Box: a unit cube centred on the origin, the whole texture on each side."},
        MakeMaterial("BoxMaterial", 0.8, 0.6, 0.4, "props/box_diffuse.png"), UnitBox());
    add("Cylinder",
        {"Cylinder: radius 0.5 and height 1 along y, 32 sides, centred on the origin; u runs",
         "around, v from the top down; the caps are mapped flat."},
        MakeMaterial("CylinderMaterial", 0.6, 0.7, 0.8, "props/cylinder_diffuse.png"), Cylinder(Axis::Y, 32));
    add("Sphere",
        {"Sphere: radius 0.5 centred on the origin, 24 slices and 16 stacks; u runs around",
         "(0.5 facing +x), v from the top pole down."},
        MakeMaterial("SphereMaterial", 0.8, 0.8, 0.8, "props/sphere_diffuse.png"), Sphere(24, 16));

    // Widgets. A segment is one unit long on its long axis, which its scale stretches.
    add("Platform",
        {"Platform: one segment, a unit cube; its long axis (x, or z on faces 1 and 3) is",
         "stretched by the scale. Each side carries the whole texture, upright seen from outside."},
        MakeMaterial("PlatformMaterial", 0.75, 0.75, 0.7, "widgets/platform/platform_diffuse.png"),
        UnitBox());
    add("Bar",
        {"Bar: one segment, a cylinder of diameter 1 along x (faces 0 and 2), one unit long;",
         "u runs around, v along the bar."},
        MakeMaterial("BarMaterial", 0.7, 0.7, 0.75, "widgets/bar/bar_diffuse.png"), Cylinder(Axis::X, 16));
    add("BarAlt",
        {"BarAlt: the bar for faces 1 and 3, a cylinder of diameter 1 along z, one unit long;",
         "u runs around, v along the bar."},
        MakeMaterial("BarMaterial", 0.7, 0.7, 0.75, "widgets/bar/bar_diffuse.png"), Cylinder(Axis::Z, 16));
    add("Accelerator",
        {"Accelerator: one segment, a unit cube like the platform. On every side the texture's u",
         "runs left to right seen from outside, so along the segment on the side the camera sees:",
         "the effect scrolls u to show the push."},
        MakeMaterial("AcceleratorMaterial", 0.9, 0.8, 0.3, "widgets/accelerator/accelerator_diffuse.png"),
        UnitBox());
    add("GravitySwitch",
        {"GravitySwitch: a round puck of diameter 1, 0.4 thick along z, facing -z (towards the",
         "camera). The texture is projected from the front: its right (+u) is the switch's +x, the",
         "direction gravity will take."},
        MakeMaterial("GravitySwitchMaterial", 0.5, 0.8, 0.6,
                     "widgets/gravityswitch/gravity_switch_diffuse.png"),
        GravitySwitch());
    add("Magnet",
        {"Magnet: a horseshoe 1 x 1 in the xy plane, 0.4 thick, its poles pointing along +x and its",
         "face towards -z. The texture is projected from the front over the unit square."},
        MakeMaterial("MagnetMaterial", 0.85, 0.25, 0.2, "widgets/magnet/magnet_diffuse.png"), Horseshoe());

    // Fields: flat, behind the object they belong to.
    add("MagneticField",
        {"MagneticField: a disc of diameter 1 (the field's reach at scale 1) facing -z, 0.55 behind",
         "the magnet along +z so that it never covers the magnet for the picker."},
        MakeMaterial("FieldMaterial", 1.0, 1.0, 1.0, "widgets/magnet/positive_magnetic_field_diffuse.png"),
        Disc({0.0, 0.0, kFieldDepth}, {0.0, 0.0, -1.0}, 0.5));
    add("ChargeField",
        {"ChargeField: a segment's glow, a quad 1 long on x and 2 high facing -z, 0.55 behind the",
         "segment along +z; it takes the segment's scale (x and z exchanged on faces 1 and 3)."},
        MakeMaterial("FieldMaterial", 1.0, 1.0, 1.0, "widgets/magnet/positive_magnetic_field_diffuse.png"),
        FlatQuad({{0.0, 0.0, kFieldDepth}, {0.0, 0.0, -1.0}, {0.0, 1.0, 0.0}, 1.0, 2.0}));
    add("QUORBChargeField",
        {"QUORBChargeField: a star object's glow, a disc of diameter 1.6 facing +x, 0.55 behind the",
         "object along -x (the star object faces +x, the room's centre)."},
        MakeMaterial("FieldMaterial", 1.0, 1.0, 1.0, "widgets/magnet/positive_magnetic_field_diffuse.png"),
        Disc({-kFieldDepth, 0.0, 0.0}, {1.0, 0.0, 0.0}, 0.8));

    // Nodes and star objects.
    add("HardNode", {"HardNode: a fixed anchor, a sphere of diameter 1 (16 slices, 12 stacks)."},
        MakeMaterial("HardNodeMaterial", 0.4, 0.4, 0.45, "widgets/node/hard_node_diffuse.png"),
        Sphere(16, 12));
    add("SoftNode", {"SoftNode: a segment's end, a sphere of diameter 1 (16 slices, 12 stacks)."},
        MakeMaterial("SoftNodeMaterial", 0.9, 0.9, 0.9, "widgets/node/soft_node_diffuse.png"),
        Sphere(16, 12));
    add("QUORBBall",
        {"QUORBBall: the ball, a sphere of diameter 1 (24 slices, 16 stacks), the collision sphere",
         "at scale 1."},
        MakeMaterial("QUORBBallMaterial", 0.95, 0.95, 1.0, "widgets/quorb/quorb_ball_diffuse.png"),
        Sphere(24, 16));
    add("QUORBBox", {"QUORBBox: the box star object, a unit cube, the whole texture on each side."},
        MakeMaterial("QUORBBoxMaterial", 0.95, 0.95, 1.0, "widgets/quorb/quorb_box_diffuse.png"), UnitBox());

    // Objective markers face +x, the room's centre, and are 1 across: the objective's sphere.
    const std::vector<std::string> badge = {
        "Ring of diameter 1 around x (the objective's sphere at scale 1) and a backing disc 0.6",
        "behind it along -x, facing +x. The texture is projected from the front over the unit",
        "square: the ring samples the outer band, the disc the inside."};
    auto badgeComment = [&](const std::string& first)
    {
        std::vector<std::string> comment{first};
        comment.insert(comment.end(), badge.begin(), badge.end());
        return comment;
    };
    add("LocationObjective", badgeComment("LocationObjective: where the star object must stay."),
        MakeMaterial("LocationMaterial", 0.4, 0.9, 0.4, "widgets/location/location_diffuse.png"), Badge());
    add("TargetObjective", badgeComment("TargetObjective: what the star object must pass through."),
        MakeMaterial("TargetMaterial", 0.95, 0.35, 0.3, "widgets/target/target_diff.png"), Badge());
    add("WaterObjective", badgeComment("WaterObjective: where the water starts to change."),
        MakeMaterial("WaterMaterial", 0.3, 0.55, 0.95, "widgets/water/water_diffuse.png"), Badge());
    add("WaterEndObjective",
        {"WaterEndObjective: the level the water will reach, a bar 1 long on z at y = 0 with an",
         "arrowhead above it pointing down, facing +x; texture projected from the front."},
        MakeMaterial("WaterEndMaterial", 0.3, 0.55, 0.95, "widgets/water/water_end_diffuse.png"),
        WaterLevelMarker());
    add("TimerObjective", badgeComment("TimerObjective: the puzzle's time limit."),
        MakeMaterial("TimerMaterial", 0.95, 0.85, 0.3, "widgets/timer/timer_diffuse.png"), Badge());
    add("SquashObjective", badgeComment("SquashObjective: squash the star object."),
        MakeMaterial("SquashMaterial", 0.8, 0.5, 0.9, "widgets/squash/squash_diffuse.png"), Badge());
    add("DestructionObjective", badgeComment("DestructionObjective: cause destruction."),
        MakeMaterial("DestructionMaterial", 0.95, 0.55, 0.2, "widgets/destruction/destruction_diffuse.png"),
        Badge());

    models.push_back(BuildArm());
    models.back().comment.push_back(kMade);
    return models;
}

bool WriteCatalogue(const std::string& folder, std::vector<std::string>& written, std::string& error)
{
    for (const XModel& model : BuildCatalogue())
    {
        if (!WriteXFile(model, folder, error))
            return false;
        written.push_back(model.fileName);
    }
    return true;
}

const std::vector<std::string>& FormModels()
{
    static const std::vector<std::string> names = {"Arm.x", "Box.x", "Sphere.x"};
    return names;
}

bool WriteForms(const std::string& folder, std::vector<std::string>& written, std::string& error)
{
    for (const XModel& model : BuildCatalogue())
        if (std::find(FormModels().begin(), FormModels().end(), model.fileName) != FormModels().end() &&
            !WriteXForms(model, folder, written, error))
            return false;
    return true;
}
} // namespace meshgen
