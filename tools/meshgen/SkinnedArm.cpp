#include "Catalogue.h"
#include "MeshBuilder.h"

#include <algorithm>
#include <cmath>

namespace meshgen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;

constexpr double kRadius = 0.08; // of the octagonal tube, to its corners
constexpr int kSides = 8;
constexpr uint32_t kTicksPerSecond = 4800;
constexpr uint32_t kLoopTicks = 9600;   // two seconds
constexpr int kKeys = 17;               // evenly spaced, the last equal to the first
constexpr double kShoulderSwing = 20.0; // degrees at the middle of the loop
constexpr double kElbowBend = 90.0;

// How much of a point at height y follows the elbow: none below -0.1, all above 0.1.
double ElbowWeight(double y)
{
    return std::clamp((y + 0.1) / 0.2, 0.0, 1.0);
}

MeshGeometry ArmGeometry()
{
    const double heights[] = {0.5, 0.25, 0.1, 0.05, 0.0, -0.05, -0.1, -0.25, -0.5}; // top first
    const int rings = static_cast<int>(sizeof(heights) / sizeof(heights[0]));
    auto corner = [](int i, double y)
    {
        const double angle = 2.0 * kPi * (i + 0.5) / kSides;
        return Vec3{kRadius * std::cos(angle), y, kRadius * std::sin(angle)};
    };

    MeshGeometry geometry;
    for (int r = 0; r < rings; ++r)
        for (int i = 0; i <= kSides; ++i)
            geometry.AddVertex(corner(i, heights[r]), static_cast<double>(i) / kSides, 0.5 - heights[r]);
    const uint32_t stride = kSides + 1;
    for (int r = 0; r + 1 < rings; ++r)
        for (int i = 0; i < kSides; ++i)
        {
            const uint32_t topLeft = static_cast<uint32_t>(r) * stride + static_cast<uint32_t>(i);
            const uint32_t bottomLeft = topLeft + stride;
            const Vec3 outward = corner(i, 0.0) + corner(i + 1, 0.0);
            geometry.AddTriangle(bottomLeft, topLeft, topLeft + 1, outward);
            geometry.AddTriangle(bottomLeft, topLeft + 1, bottomLeft + 1, outward);
        }
    for (const double end : {0.5, -0.5})
    {
        const uint32_t centre = geometry.AddVertex({0.0, end, 0.0}, 0.5, 0.5);
        const uint32_t ring = static_cast<uint32_t>(geometry.vertices.size());
        for (int i = 0; i < kSides; ++i)
        {
            const Vec3 p = corner(i, end);
            geometry.AddVertex(p, 0.5 + p.x / (2.0 * kRadius), 0.5 - p.z / (2.0 * kRadius));
        }
        for (int i = 0; i < kSides; ++i)
            geometry.AddTriangle(centre, ring + static_cast<uint32_t>(i),
                                 ring + static_cast<uint32_t>((i + 1) % kSides), {0.0, end, 0.0});
    }
    return geometry;
}

// Rotation about z by the angle in degrees, in the file's order (w, x, y, z), where the vector
// part is stored negated: the loader turns (w, -x, -y, -z) back into the rotation.
std::vector<double> RotationKey(double degrees)
{
    const double half = 0.5 * degrees * kPi / 180.0;
    return {std::cos(half), 0.0, 0.0, -std::sin(half)};
}

AnimationTrack Track(const std::string& bone, const Vec3& position, double peakDegrees)
{
    AnimationTrack track;
    track.bone = bone;
    for (int k = 0; k < kKeys; ++k)
    {
        // The last key is the first one again, written from the same number.
        const int step = k == kKeys - 1 ? 0 : k;
        const double phase = 0.5 - 0.5 * std::cos(2.0 * kPi * step / (kKeys - 1));
        const uint32_t time = kLoopTicks / (kKeys - 1) * static_cast<uint32_t>(k);
        track.rotation.push_back({time, RotationKey(peakDegrees * phase)});
        track.scale.push_back({time, {1.0, 1.0, 1.0}});
        track.position.push_back({time, {position.x, position.y, position.z}});
    }
    return track;
}
} // namespace

XModel BuildArm()
{
    Mesh mesh;
    mesh.name = "ArmMesh";
    mesh.geometry = ArmGeometry();
    mesh.material.name = "ArmMaterial";
    mesh.material.diffuse = {0.85, 0.75, 0.55, 1.0};
    mesh.material.emissive = {0.34, 0.3, 0.22};
    mesh.material.texture = "props/arm_diffuse.png";

    SkinWeights shoulder;
    shoulder.bone = "Shoulder";
    shoulder.offset = Translation({0.0, 0.5, 0.0}); // the shoulder sits at y = -0.5
    SkinWeights elbow;
    elbow.bone = "Elbow";
    elbow.offset = Identity(); // the elbow sits at the origin
    for (size_t i = 0; i < mesh.geometry.vertices.size(); ++i)
    {
        const double e = ElbowWeight(mesh.geometry.vertices[i].position.y);
        if (e < 1.0)
        {
            shoulder.vertices.push_back(static_cast<uint32_t>(i));
            shoulder.weights.push_back(1.0 - e);
        }
        if (e > 0.0)
        {
            elbow.vertices.push_back(static_cast<uint32_t>(i));
            elbow.weights.push_back(e);
        }
    }
    mesh.skin = {shoulder, elbow};

    Frame skin;
    skin.name = "ArmSkin";
    skin.meshes.push_back(mesh);

    Frame elbowFrame;
    elbowFrame.name = "Elbow";
    elbowFrame.local = Translation({0.0, 0.5, 0.0});
    Frame shoulderFrame;
    shoulderFrame.name = "Shoulder";
    shoulderFrame.local = Translation({0.0, -0.5, 0.0});
    shoulderFrame.children.push_back(elbowFrame);

    AnimationSet bend;
    bend.name = "Bend";
    bend.looping = true;
    bend.tracks.push_back(Track("Shoulder", {0.0, -0.5, 0.0}, kShoulderSwing));
    bend.tracks.push_back(Track("Elbow", {0.0, 0.5, 0.0}, kElbowBend));

    XModel model;
    model.fileName = "Arm.x";
    model.comment = {
        "Arm: a two-bone skinned arm, an octagonal tube 0.16 thick from the shoulder at",
        "(0, -0.5, 0) through the elbow at the origin to the tip at (0, 0.5, 0). Bones \"Shoulder\"",
        "and \"Elbow\"; vertices between y = -0.1 and 0.1 blend the two. \"Bend\" loops every two",
        "seconds (9600 ticks at 4800 a second, 17 evenly spaced keys): the shoulder swings up to",
        "20 degrees and the elbow bends up to 90 degrees about z, and the last key equals the first.",
    };
    model.ticksPerSecond = kTicksPerSecond;
    model.frames = {skin, shoulderFrame};
    model.animations = {bend};
    return model;
}
} // namespace meshgen
