// What one generated .X file holds: frames with their matrices, at most one mesh per frame
// (positions, texture coordinates, triangles, one material, skin weights) and animation sets.
// Values are kept in double precision and rounded only when the file is written, so that
// shapes built from the same numbers always give the same text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace meshgen
{
struct Vec3
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3& a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
// The ordinary cross product. In our left-handed world a triangle (a, b, c) whose
// Cross(b - a, c - a) points at the viewer runs clockwise on screen: it is a front face.
inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Row-major 4 x 4 matrix in the order the file writes it (row vectors: translation in the
// fourth row).
using Matrix = std::array<double, 16>;
Matrix Identity();
Matrix Translation(const Vec3& offset);

struct Vertex
{
    Vec3 position;
    double u = 0.0; // texture coordinates, v growing downwards
    double v = 0.0;
};

// Triangles index the vertex list and are stored clockwise seen from their front.
struct MeshGeometry
{
    std::vector<Vertex> vertices;
    std::vector<std::array<uint32_t, 3>> triangles;

    uint32_t AddVertex(const Vec3& position, double u, double v);
    // Adds (a, b, c), swapping b and c when needed so that the front faces outward.
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c, const Vec3& outward);
};

// A .X Material: faceColor, power, specularColor, emissiveColor and its texture file.
struct Material
{
    std::string name;
    std::array<double, 4> diffuse{1.0, 1.0, 1.0, 1.0};
    double power = 20.0;
    std::array<double, 3> specular{0.3, 0.3, 0.3};
    std::array<double, 3> emissive{0.0, 0.0, 0.0};
    std::string texture; // relative to the texture folder; empty for none
};

struct SkinWeights
{
    std::string bone;
    std::vector<uint32_t> vertices;
    std::vector<double> weights;
    Matrix offset = Identity(); // model space to the bone's space in the bind pose
};

struct Mesh
{
    std::string name;
    MeshGeometry geometry;
    Material material;
    std::vector<SkinWeights> skin; // empty for a rigid mesh
};

struct Frame
{
    std::string name;
    Matrix local = Identity();
    std::vector<Mesh> meshes; // zero or one
    std::vector<Frame> children;
};

// One AnimationKey record: the time in ticks and its values (rotation: w, x, y, z as the file
// stores them; scale and position: x, y, z).
struct AnimationKeyRecord
{
    uint32_t time = 0;
    std::vector<double> values;
};

struct AnimationTrack
{
    std::string bone;
    std::vector<AnimationKeyRecord> rotation;
    std::vector<AnimationKeyRecord> scale;
    std::vector<AnimationKeyRecord> position;
};

struct AnimationSet
{
    std::string name;
    bool looping = true; // written as AnimationOptions' open/closed flag
    std::vector<AnimationTrack> tracks;
};

struct XModel
{
    std::string fileName;             // e.g. "Box.x"
    std::vector<std::string> comment; // header lines, without "// "
    uint32_t ticksPerSecond = 0;      // 0: no AnimTicksPerSecond object
    std::vector<Frame> frames;
    std::vector<AnimationSet> animations;
};
} // namespace meshgen
