// The committed meshes as the game reads them: each opens with our .X reader, has the counts and
// the size its objects rely on (unit shapes that an object's scale sizes), faces the way the
// renderer culls (clockwise from the front; the room from the inside), keeps fields behind the
// objects they belong to so that a pick ray meets the object first, and names a texture that is
// committed.
#include "platform/xfile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace
{
using Vec = std::array<double, 3>;

Vec Sub(const Vec& a, const Vec& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double Dot(const Vec& a, const Vec& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec Cross(const Vec& a, const Vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

const plat::XData* FindBelow(const plat::XData& obj, const std::string& templ)
{
    for (const plat::XChild& child : obj.Children())
    {
        if (child.isReference)
            continue;
        if (child.data->Template() == templ)
            return child.data;
        if (const plat::XData* found = FindBelow(*child.data, templ))
            return found;
    }
    return nullptr;
}

const plat::XData* FindTop(const plat::XFile& file, const std::string& templ)
{
    for (const plat::XData* obj : file.Objects())
    {
        if (obj->Template() == templ)
            return obj;
        if (const plat::XData* found = FindBelow(*obj, templ))
            return found;
    }
    return nullptr;
}

// A committed mesh opened with the reader, its first Mesh's positions and triangles.
struct LoadedMesh
{
    std::unique_ptr<plat::XFile> file = std::make_unique<plat::XFile>();
    const plat::XData* mesh = nullptr;
    std::vector<Vec> positions;
    std::vector<std::array<uint32_t, 3>> triangles;

    Vec Normal(size_t t) const
    {
        const auto& tri = triangles[t];
        return Cross(Sub(positions[tri[1]], positions[tri[0]]), Sub(positions[tri[2]], positions[tri[0]]));
    }
    Vec Centroid(size_t t) const
    {
        Vec c{0, 0, 0};
        for (uint32_t i : triangles[t])
            for (int k = 0; k < 3; ++k)
                c[k] += positions[i][k] / 3.0;
        return c;
    }
};

LoadedMesh Load(const std::string& name)
{
    LoadedMesh loaded;
    const std::string path = testsupport::RepoPath("data/meshes/" + name);
    EXPECT_TRUE(loaded.file->Open(path)) << loaded.file->Error();
    loaded.mesh = FindTop(*loaded.file, "Mesh");
    if (!loaded.mesh)
        return loaded;
    const std::vector<float>& v = loaded.mesh->Floats("vertices");
    for (size_t i = 0; i + 2 < v.size(); i += 3)
        loaded.positions.push_back({v[i], v[i + 1], v[i + 2]});
    for (const plat::XFace& face : loaded.mesh->Faces())
    {
        EXPECT_EQ(face.indices.size(), 3u) << "faces are written as triangles";
        if (face.indices.size() == 3)
            loaded.triangles.push_back({face.indices[0], face.indices[1], face.indices[2]});
    }
    return loaded;
}

// The triangles whose centroid passes the filter form a closed surface whose faces all point
// outwards (or all inwards): every edge, taken between welded positions, is met once in each
// direction, and the enclosed volume has the expected sign.
void ExpectClosed(const LoadedMesh& m, bool outward, const std::function<bool(const Vec&)>& part)
{
    std::map<Vec, size_t> weld;
    std::vector<size_t> id;
    for (const Vec& p : m.positions)
        id.push_back(weld.emplace(p, weld.size()).first->second);
    std::map<std::pair<size_t, size_t>, int> edges;
    double volume = 0.0;
    for (size_t t = 0; t < m.triangles.size(); ++t)
    {
        if (!part(m.Centroid(t)))
            continue;
        const auto& tri = m.triangles[t];
        for (int k = 0; k < 3; ++k)
            ++edges[{id[tri[k]], id[tri[(k + 1) % 3]]}];
        volume += Dot(m.positions[tri[0]], Cross(m.positions[tri[1]], m.positions[tri[2]])) / 6.0;
    }
    int unpaired = 0;
    for (const auto& edge : edges)
    {
        const auto reverse = edges.find({edge.first.second, edge.first.first});
        if (edge.second != 1 || reverse == edges.end() || reverse->second != 1)
            ++unpaired;
    }
    EXPECT_EQ(unpaired, 0) << "edges not shared by exactly two triangles running opposite ways";
    if (outward)
        EXPECT_GT(volume, 0.0) << "faces point inwards";
    else
        EXPECT_LT(volume, 0.0) << "faces point outwards";
}

// Every triangle that passes the filter faces along the direction.
void ExpectFacing(const LoadedMesh& m, const Vec& direction, const std::function<bool(const Vec&)>& part)
{
    int wrong = 0;
    for (size_t t = 0; t < m.triangles.size(); ++t)
        if (part(m.Centroid(t)) && Dot(m.Normal(t), direction) <= 0.0)
            ++wrong;
    EXPECT_EQ(wrong, 0) << "triangles that do not face the front";
}

bool Everywhere(const Vec&)
{
    return true;
}

enum class Shape
{
    Solid, // closed, faces outwards
    Room,  // closed, faces inwards
    FacingMinusZ,
    FacingX,
    Badge, // a closed ring in the object's plane and a disc behind it facing +x
};

struct MeshCase
{
    const char* file;
    size_t vertices;
    size_t triangles;
    Vec min;
    Vec max;
    Shape shape;
    const char* texture;
};

// The ring's tube has six sides, so it reaches 0.05 x sin 60 degrees in front of the plane.
constexpr double kRingFront = 0.05 * 0.8660254;

// Counts follow from the shapes: a box has 4 vertices a side; a capped cylinder of n sides
// 4n + 4 vertices and 4n triangles; a sphere of s slices and k stacks 2s + (k - 1)(s + 1) vertices
// and 2s(k - 1) triangles; a disc of n sides n + 1 and n; the badge a 32 x 6 ring and a 32-sided
// disc; the room 6 x 3 cells a wall and 6 x 6 on the floor and the ceiling.
const MeshCase kMeshes[] = {
    {"Invalid.x", 24, 12, {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, Shape::Solid, "common/invalid_diffuse.png"},
    {"RoomShell.x", 210, 288, {-24, -10, -24}, {24, 14, 24}, Shape::Room, "room/room_shell_diffuse.png"},
    {"ConstructionQuad.x",
     4,
     2,
     {-0.5, -4.0 / 11, 0},
     {0.5, 4.0 / 11, 0},
     Shape::FacingMinusZ,
     "room/construction_quad_diffuse.png"},
    {"Box.x", 24, 12, {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, Shape::Solid, "props/box_diffuse.png"},
    {"Cylinder.x", 132, 128, {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, Shape::Solid, "props/cylinder_diffuse.png"},
    {"Sphere.x", 423, 720, {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, Shape::Solid, "props/sphere_diffuse.png"},
    {"Platform.x",
     24,
     12,
     {-0.5, -0.5, -0.5},
     {0.5, 0.5, 0.5},
     Shape::Solid,
     "widgets/platform/platform_diffuse.png"},
    {"Bar.x", 68, 64, {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, Shape::Solid, "widgets/bar/bar_diffuse.png"},
    {"BarAlt.x", 68, 64, {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, Shape::Solid, "widgets/bar/bar_diffuse.png"},
    {"Accelerator.x",
     24,
     12,
     {-0.5, -0.5, -0.5},
     {0.5, 0.5, 0.5},
     Shape::Solid,
     "widgets/accelerator/accelerator_diffuse.png"},
    {"GravitySwitch.x",
     132,
     128,
     {-0.5, -0.5, -0.2},
     {0.5, 0.5, 0.2},
     Shape::Solid,
     "widgets/gravityswitch/gravity_switch_diffuse.png"},
    {"Magnet.x",
     176,
     164,
     {-0.5, -0.5, -0.2},
     {0.5, 0.5, 0.2},
     Shape::Solid,
     "widgets/magnet/magnet_diffuse.png"},
    {"MagneticField.x",
     49,
     48,
     {-0.5, -0.5, 0.55},
     {0.5, 0.5, 0.55},
     Shape::FacingMinusZ,
     "widgets/magnet/positive_magnetic_field_diffuse.png"},
    {"ChargeField.x",
     4,
     2,
     {-0.5, -1, 0.55},
     {0.5, 1, 0.55},
     Shape::FacingMinusZ,
     "widgets/magnet/positive_magnetic_field_diffuse.png"},
    {"QUORBChargeField.x",
     49,
     48,
     {-0.55, -0.8, -0.8},
     {-0.55, 0.8, 0.8},
     Shape::FacingX,
     "widgets/magnet/positive_magnetic_field_diffuse.png"},
    {"HardNode.x",
     219,
     352,
     {-0.5, -0.5, -0.5},
     {0.5, 0.5, 0.5},
     Shape::Solid,
     "widgets/node/hard_node_diffuse.png"},
    {"SoftNode.x",
     219,
     352,
     {-0.5, -0.5, -0.5},
     {0.5, 0.5, 0.5},
     Shape::Solid,
     "widgets/node/soft_node_diffuse.png"},
    {"QUORBBall.x",
     423,
     720,
     {-0.5, -0.5, -0.5},
     {0.5, 0.5, 0.5},
     Shape::Solid,
     "widgets/quorb/quorb_ball_diffuse.png"},
    {"QUORBBox.x",
     24,
     12,
     {-0.5, -0.5, -0.5},
     {0.5, 0.5, 0.5},
     Shape::Solid,
     "widgets/quorb/quorb_box_diffuse.png"},
    {"LocationObjective.x",
     264,
     416,
     {-0.6, -0.5, -0.5},
     {kRingFront, 0.5, 0.5},
     Shape::Badge,
     "widgets/location/location_diffuse.png"},
    {"TargetObjective.x",
     264,
     416,
     {-0.6, -0.5, -0.5},
     {kRingFront, 0.5, 0.5},
     Shape::Badge,
     "widgets/target/target_diff.png"},
    {"WaterObjective.x",
     264,
     416,
     {-0.6, -0.5, -0.5},
     {kRingFront, 0.5, 0.5},
     Shape::Badge,
     "widgets/water/water_diffuse.png"},
    {"WaterEndObjective.x",
     42,
     20,
     {-0.05, -0.025, -0.5},
     {0.05, 0.3, 0.5},
     Shape::Solid,
     "widgets/water/water_end_diffuse.png"},
    {"TimerObjective.x",
     264,
     416,
     {-0.6, -0.5, -0.5},
     {kRingFront, 0.5, 0.5},
     Shape::Badge,
     "widgets/timer/timer_diffuse.png"},
    {"SquashObjective.x",
     264,
     416,
     {-0.6, -0.5, -0.5},
     {kRingFront, 0.5, 0.5},
     Shape::Badge,
     "widgets/squash/squash_diffuse.png"},
    {"DestructionObjective.x",
     264,
     416,
     {-0.6, -0.5, -0.5},
     {kRingFront, 0.5, 0.5},
     Shape::Badge,
     "widgets/destruction/destruction_diffuse.png"},
    {"Arm.x",
     99,
     144,
     {-0.07391, -0.5, -0.07391},
     {0.07391, 0.5, 0.07391},
     Shape::Solid,
     "props/arm_diffuse.png"},
};
} // namespace

TEST(GameMeshesTest, EachMeshOpensWithItsCountsSizeAndTexture)
{
    for (const MeshCase& c : kMeshes)
    {
        SCOPED_TRACE(c.file);
        const LoadedMesh m = Load(c.file);
        ASSERT_NE(m.mesh, nullptr);
        EXPECT_EQ(m.mesh->DWord("nVertices"), c.vertices);
        EXPECT_EQ(m.mesh->DWord("nFaces"), c.triangles);
        EXPECT_EQ(m.triangles.size(), c.triangles);

        Vec low{1e9, 1e9, 1e9};
        Vec high{-1e9, -1e9, -1e9};
        for (const Vec& p : m.positions)
            for (int k = 0; k < 3; ++k)
            {
                low[k] = std::min(low[k], p[k]);
                high[k] = std::max(high[k], p[k]);
            }
        for (int k = 0; k < 3; ++k)
        {
            EXPECT_NEAR(low[k], c.min[k], 1e-5) << "axis " << k;
            EXPECT_NEAR(high[k], c.max[k], 1e-5) << "axis " << k;
        }

        const plat::XData* coords = FindBelow(*m.mesh, "MeshTextureCoords");
        ASSERT_NE(coords, nullptr);
        EXPECT_EQ(coords->DWord("nTextureCoords"), c.vertices);
        const double most = std::string(c.file) == "RoomShell.x" ? 6.0 : 1.0; // the room tiles
        for (float uv : coords->Floats("textureCoords"))
        {
            EXPECT_GE(uv, -1e-6);
            EXPECT_LE(uv, most + 1e-6);
        }

        const plat::XData* materials = FindBelow(*m.mesh, "MeshMaterialList");
        ASSERT_NE(materials, nullptr);
        EXPECT_EQ(materials->DWord("nMaterials"), 1u);
        EXPECT_EQ(materials->DWord("nFaceIndexes"), c.triangles);
        const plat::XData* texture = FindBelow(*materials, "TextureFilename");
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->String("filename"), c.texture);

        const plat::XData* duplicates = FindBelow(*m.mesh, "VertexDuplicationIndices");
        ASSERT_NE(duplicates, nullptr);
        const std::vector<uint32_t>& indices = duplicates->DWords("indices");
        ASSERT_EQ(indices.size(), c.vertices);
        for (size_t i = 0; i < indices.size(); ++i)
            EXPECT_EQ(m.positions[indices[i]], m.positions[i]) << "vertex " << i << " names another position";
    }
}

namespace
{
void CollectTextureNames(const plat::XData& obj, std::vector<std::string>& names)
{
    if (obj.Template() == "TextureFilename")
        names.push_back(obj.String("filename"));
    for (const plat::XChild& child : obj.Children())
        if (!child.isReference)
            CollectTextureNames(*child.data, names);
}

// Width and height from a PNG's header; false when the file is not a PNG.
bool PngSize(const std::string& path, uint32_t& width, uint32_t& height)
{
    std::ifstream file(path, std::ios::binary);
    unsigned char head[24] = {};
    if (!file.read(reinterpret_cast<char*>(head), sizeof head))
        return false;
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(signature, signature + 8, head) || std::string(head + 12, head + 16) != "IHDR")
        return false;
    auto word = [&](int at)
    {
        return (uint32_t{head[at]} << 24) | (uint32_t{head[at + 1]} << 16) | (uint32_t{head[at + 2]} << 8) |
               uint32_t{head[at + 3]};
    };
    width = word(16);
    height = word(20);
    return true;
}
} // namespace

// Every mesh in the folder, whether or not the table above knows it, names textures (relative to
// data/textures) that are committed PNGs with power-of-two sides, so that mipmaps and repeats
// work on every renderer.
TEST(GameMeshesTest, EveryTextureAMeshNamesIsCommitted)
{
    namespace fs = std::filesystem;
    std::set<std::string> named;
    int meshes = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(testsupport::RepoPath("data/meshes")))
    {
        if (entry.path().extension() != ".x")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++meshes;
        plat::XFile file;
        ASSERT_TRUE(file.Open(entry.path().string())) << file.Error();
        std::vector<std::string> names;
        for (const plat::XData* obj : file.Objects())
            CollectTextureNames(*obj, names);
        EXPECT_FALSE(names.empty()) << "no TextureFilename";
        named.insert(names.begin(), names.end());
    }
    EXPECT_GE(meshes, 27);
    for (const std::string& name : named)
    {
        SCOPED_TRACE(name);
        const std::string path = testsupport::RepoPath("data/textures/" + name);
        ASSERT_TRUE(fs::is_regular_file(path)) << "missing under data/textures";
        uint32_t width = 0;
        uint32_t height = 0;
        ASSERT_TRUE(PngSize(path, width, height)) << "not a PNG";
        EXPECT_TRUE(width > 0 && (width & (width - 1)) == 0) << "width " << width;
        EXPECT_TRUE(height > 0 && (height & (height - 1)) == 0) << "height " << height;
    }
}

// Clockwise from the front is what the renderer draws; the room is seen from inside.
TEST(GameMeshesTest, FacesPointTheWayTheyAreSeen)
{
    for (const MeshCase& c : kMeshes)
    {
        SCOPED_TRACE(c.file);
        const LoadedMesh m = Load(c.file);
        ASSERT_FALSE(m.triangles.empty());
        switch (c.shape)
        {
        case Shape::Solid:
            ExpectClosed(m, true, Everywhere);
            break;
        case Shape::Room:
            ExpectClosed(m, false, Everywhere);
            for (size_t t = 0; t < m.triangles.size(); ++t)
                EXPECT_LT(Dot(m.Normal(t), m.Centroid(t)), 0.0)
                    << "triangle " << t << " faces away from the room";
            break;
        case Shape::FacingMinusZ:
            ExpectFacing(m, {0, 0, -1}, Everywhere);
            break;
        case Shape::FacingX:
            ExpectFacing(m, {1, 0, 0}, Everywhere);
            break;
        case Shape::Badge:
            ExpectClosed(m, true, [](const Vec& p) { return p[0] > -0.3; });
            ExpectFacing(m, {1, 0, 0}, [](const Vec& p) { return p[0] <= -0.3; });
            break;
        }
    }
}

// A field's model is visible and pickable over the object it belongs to; a pick ray from the room
// runs towards the wall, so the field must lie wholly behind the object's back (0.5 in the object's
// own units, the fields sharing its scale). The segments and the magnet face the room along -z,
// the star object along +x.
TEST(GameMeshesTest, FieldsLieBehindTheirObjects)
{
    struct Case
    {
        const char* field;
        const char* owner;
        Vec towardsRoom;
    };
    const Case cases[] = {
        {"ChargeField.x", "Platform.x", {0, 0, -1}},      {"ChargeField.x", "Accelerator.x", {0, 0, -1}},
        {"ChargeField.x", "Bar.x", {0, 0, -1}},           {"MagneticField.x", "Magnet.x", {0, 0, -1}},
        {"QUORBChargeField.x", "QUORBBall.x", {1, 0, 0}}, {"QUORBChargeField.x", "QUORBBox.x", {1, 0, 0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.field) + " behind " + c.owner);
        const LoadedMesh field = Load(c.field);
        const LoadedMesh owner = Load(c.owner);
        double ownerBack = 1e9;
        for (const Vec& p : owner.positions)
            ownerBack = std::min(ownerBack, Dot(p, c.towardsRoom));
        double fieldFront = -1e9;
        for (const Vec& p : field.positions)
            fieldFront = std::max(fieldFront, Dot(p, c.towardsRoom));
        EXPECT_LT(fieldFront, ownerBack) << "the field reaches in front of the object's back";
    }
}

namespace
{
using Mat = std::array<double, 16>;

Mat Multiply(const Mat& a, const Mat& b) // row vectors: a then b
{
    Mat r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r[i * 4 + j] += a[i * 4 + k] * b[k * 4 + j];
    return r;
}

Mat ToMat(const std::vector<float>& m)
{
    Mat r{};
    for (size_t i = 0; i < 16 && i < m.size(); ++i)
        r[i] = m[i];
    return r;
}

Vec Transform(const Vec& p, const Mat& m)
{
    return {p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12], p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13],
            p[0] * m[2] + p[1] * m[6] + p[2] * m[10] + m[14]};
}

// A bone's local matrix from one key of each kind, as the animation reads them: the rotation is
// stored (w, -x, -y, -z); the matrix is scale, then rotation, then translation.
Mat KeyMatrix(const std::vector<float>& rotation, float scale, const std::vector<float>& position)
{
    const double w = rotation[0];
    const double x = -rotation[1];
    const double y = -rotation[2];
    const double z = -rotation[3];
    return {scale * (1 - 2 * (y * y + z * z)),
            scale * 2 * (x * y + w * z),
            scale * 2 * (x * z - w * y),
            0,
            scale * 2 * (x * y - w * z),
            scale * (1 - 2 * (x * x + z * z)),
            scale * 2 * (y * z + w * x),
            0,
            scale * 2 * (x * z + w * y),
            scale * 2 * (y * z - w * x),
            scale * (1 - 2 * (x * x + y * y)),
            0,
            position[0],
            position[1],
            position[2],
            1};
}
} // namespace

// "Arm.x": two bones that every vertex follows with weights summing to one, offsets that undo
// the bind pose, and a looping "Bend" whose keys are evenly spaced from 0 and end where they
// start, so a loop returns the arm to its first pose; halfway the forearm is bent to the side.
TEST(GameMeshesTest, TheArmBendsAndComesBack)
{
    const LoadedMesh m = Load("Arm.x");
    ASSERT_NE(m.mesh, nullptr);
    const plat::XData* ticks = FindTop(*m.file, "AnimTicksPerSecond");
    ASSERT_NE(ticks, nullptr);
    EXPECT_EQ(ticks->DWord("AnimTicksPerSecond"), 4800u);

    // Bind pose: Shoulder at (0, -0.5, 0), its child Elbow 0.5 above it.
    std::map<std::string, Mat> bindWorld;
    for (const plat::XData* top : m.file->Objects())
        if (top->Template() == "Frame")
        {
            const Mat local = ToMat(FindBelow(*top, "FrameTransformMatrix")->Floats("frameMatrix"));
            bindWorld[top->Name()] = local;
            for (const plat::XChild& child : top->Children())
                if (child.data->Template() == "Frame")
                    bindWorld[child.data->Name()] = Multiply(
                        ToMat(FindBelow(*child.data, "FrameTransformMatrix")->Floats("frameMatrix")), local);
        }
    ASSERT_EQ(bindWorld.count("Shoulder"), 1u);
    ASSERT_EQ(bindWorld.count("Elbow"), 1u);
    EXPECT_NEAR(Transform({0, 0, 0}, bindWorld["Shoulder"])[1], -0.5, 1e-6);
    EXPECT_NEAR(Transform({0, 0, 0}, bindWorld["Elbow"])[1], 0.0, 1e-6);

    std::vector<double> total(m.positions.size(), 0.0);
    std::map<std::string, Mat> offsets;
    std::map<std::string, std::map<uint32_t, double>> weightOf;
    for (const plat::XChild& child : m.mesh->Children())
    {
        if (child.data->Template() != "SkinWeights")
            continue;
        const std::string bone = child.data->String("transformNodeName");
        offsets[bone] = ToMat(child.data->Floats("matrixOffset"));
        const std::vector<uint32_t>& vertices = child.data->DWords("vertexIndices");
        const std::vector<float>& weights = child.data->Floats("weights");
        for (size_t i = 0; i < vertices.size(); ++i)
        {
            total[vertices[i]] += weights[i];
            weightOf[bone][vertices[i]] = weights[i];
        }
    }
    ASSERT_EQ(offsets.size(), 2u);
    for (size_t i = 0; i < total.size(); ++i)
        EXPECT_NEAR(total[i], 1.0, 1e-5) << "vertex " << i;
    for (const auto& bone : offsets)
    {
        SCOPED_TRACE(bone.first);
        const Mat undone = Multiply(bone.second, bindWorld[bone.first]);
        const Vec p = Transform({0.3, 0.2, 0.1}, undone);
        EXPECT_NEAR(p[0], 0.3, 1e-6);
        EXPECT_NEAR(p[1], 0.2, 1e-6);
        EXPECT_NEAR(p[2], 0.1, 1e-6);
    }

    // The "Bend" tracks, key by key.
    const plat::XData* set = FindTop(*m.file, "AnimationSet");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->Name(), "Bend");
    std::map<std::string, std::map<uint32_t, const plat::XData*>> keysOf; // bone -> key type -> keys
    for (const plat::XChild& animation : set->Children())
    {
        std::string bone;
        for (const plat::XChild& child : animation.data->Children())
        {
            if (child.isReference)
                bone = child.data->Name();
            else if (child.data->Template() == "AnimationKey")
                keysOf[bone][child.data->DWord("keyType")] = child.data;
        }
    }
    ASSERT_EQ(keysOf.size(), 2u);
    for (const auto& track : keysOf)
    {
        SCOPED_TRACE(track.first);
        ASSERT_EQ(track.second.size(), 3u) << "rotation, scale and position keys";
        for (const auto& kind : track.second)
        {
            const std::vector<plat::XKey>& keys = kind.second->Keys();
            ASSERT_GE(keys.size(), 3u);
            const uint32_t step = keys[1].time;
            for (size_t k = 0; k < keys.size(); ++k)
                EXPECT_EQ(keys[k].time, step * k) << "keys are read as evenly spaced from 0";
            EXPECT_EQ(keys.front().values, keys.back().values) << "the last key is the first";
        }
    }

    // Pose at a key: each bone's world matrix from its keys, the vertices skinned through
    // offset x world. At the first key the arm stands as loaded; halfway the tip is to the side.
    auto pose = [&](size_t key)
    {
        std::map<std::string, Mat> local;
        for (const auto& track : keysOf)
            local[track.first] =
                KeyMatrix(track.second.at(0)->Keys()[key].values, track.second.at(1)->Keys()[key].values[0],
                          track.second.at(2)->Keys()[key].values);
        const Mat shoulder = local["Shoulder"];
        const Mat elbow = Multiply(local["Elbow"], shoulder);
        std::vector<Vec> posed;
        for (size_t i = 0; i < m.positions.size(); ++i)
        {
            Vec sum{0, 0, 0};
            for (const auto& bone : weightOf)
            {
                const auto w = bone.second.find(static_cast<uint32_t>(i));
                if (w == bone.second.end())
                    continue;
                const Vec p = Transform(
                    m.positions[i], Multiply(offsets[bone.first], bone.first == "Elbow" ? elbow : shoulder));
                for (int k = 0; k < 3; ++k)
                    sum[k] += w->second * p[k];
            }
            posed.push_back(sum);
        }
        return posed;
    };
    const size_t last = keysOf["Elbow"].at(0)->Keys().size() - 1;
    const std::vector<Vec> first = pose(0);
    for (size_t i = 0; i < first.size(); ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(first[i][k], m.positions[i][k], 1e-5) << "vertex " << i;
    const std::vector<Vec> halfway = pose(last / 2);
    size_t tip = 0;
    for (size_t i = 0; i < m.positions.size(); ++i)
        if (m.positions[i][1] > m.positions[tip][1])
            tip = i;
    EXPECT_LT(halfway[tip][0], -0.4) << "the forearm is bent towards -x";
    EXPECT_LT(halfway[tip][1], 0.0) << "the bent tip hangs below the elbow's height";
}
