#include "XFileWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace meshgen
{
namespace
{
class Writer
{
public:
    std::string Text() const { return m_out.str(); }

    void Line(const std::string& text) { m_out << std::string(2 * m_depth, ' ') << text << '\n'; }
    void Blank() { m_out << '\n'; }
    void Open(const std::string& header)
    {
        Line(header + " {");
        ++m_depth;
    }
    void Close()
    {
        --m_depth;
        Line("}");
    }

    // A list of words written `perLine` to a line, separated by sep, the last one followed by end.
    void List(const std::vector<std::string>& words, const std::string& sep, const std::string& end,
              size_t perLine)
    {
        std::string line;
        for (size_t i = 0; i < words.size(); ++i)
        {
            line += words[i] + (i + 1 == words.size() ? end : sep);
            if ((i + 1) % perLine == 0 || i + 1 == words.size())
            {
                Line(line);
                line.clear();
            }
        }
    }

private:
    std::ostringstream m_out;
    int m_depth = 0;
};

std::string Join(const double* values, size_t count, const std::string& sep)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += (i ? sep : "") + FormatNumber(values[i]);
    return text;
}

std::string PositionKey(const Vec3& p)
{
    return FormatNumber(p.x) + ";" + FormatNumber(p.y) + ";" + FormatNumber(p.z);
}

void WriteMatrix(Writer& out, const Matrix& m, const std::string& end)
{
    for (int row = 0; row < 4; ++row)
        out.Line(Join(&m[static_cast<size_t>(row) * 4], 4, ",") + (row == 3 ? end : ","));
}

void WriteMaterial(Writer& out, const Material& material)
{
    out.Open("Material " + material.name);
    out.Line(Join(material.diffuse.data(), 4, ";") + ";;");
    out.Line(FormatNumber(material.power) + ";");
    out.Line(Join(material.specular.data(), 3, ";") + ";;");
    out.Line(Join(material.emissive.data(), 3, ";") + ";;");
    if (!material.texture.empty())
    {
        out.Open("TextureFilename");
        out.Line("\"" + material.texture + "\";");
        out.Close();
    }
    out.Close();
}

void WriteSkin(Writer& out, const Mesh& mesh)
{
    // Influences per vertex and distinct bones per face, as the header counts them.
    std::vector<std::set<size_t>> bonesOfVertex(mesh.geometry.vertices.size());
    for (size_t bone = 0; bone < mesh.skin.size(); ++bone)
        for (size_t i = 0; i < mesh.skin[bone].vertices.size(); ++i)
            if (mesh.skin[bone].weights[i] > 0.0)
                bonesOfVertex[mesh.skin[bone].vertices[i]].insert(bone);
    size_t perVertex = 0;
    for (const std::set<size_t>& bones : bonesOfVertex)
        perVertex = std::max(perVertex, bones.size());
    size_t perFace = 0;
    for (const auto& triangle : mesh.geometry.triangles)
    {
        std::set<size_t> bones;
        for (uint32_t index : triangle)
            bones.insert(bonesOfVertex[index].begin(), bonesOfVertex[index].end());
        perFace = std::max(perFace, bones.size());
    }
    out.Blank();
    out.Open("XSkinMeshHeader");
    out.Line(std::to_string(perVertex) + ";");
    out.Line(std::to_string(perFace) + ";");
    out.Line(std::to_string(mesh.skin.size()) + ";");
    out.Close();
}

void WriteDuplicationIndices(Writer& out, const MeshGeometry& geometry)
{
    // Each vertex names the first vertex written at the same position.
    std::map<std::string, size_t> firstAt;
    std::vector<std::string> indices;
    for (size_t i = 0; i < geometry.vertices.size(); ++i)
    {
        const auto found = firstAt.emplace(PositionKey(geometry.vertices[i].position), i).first;
        indices.push_back(std::to_string(found->second));
    }
    out.Blank();
    out.Open("VertexDuplicationIndices");
    out.Line(std::to_string(geometry.vertices.size()) + ";");
    out.Line(std::to_string(firstAt.size()) + ";");
    out.List(indices, ",", ";", 16);
    out.Close();
}

void WriteMesh(Writer& out, const Mesh& mesh)
{
    const MeshGeometry& geometry = mesh.geometry;
    out.Open("Mesh " + mesh.name);
    out.Line(std::to_string(geometry.vertices.size()) + ";");
    for (size_t i = 0; i < geometry.vertices.size(); ++i)
        out.Line(PositionKey(geometry.vertices[i].position) +
                 (i + 1 == geometry.vertices.size() ? ";;" : ";,"));
    out.Line(std::to_string(geometry.triangles.size()) + ";");
    for (size_t i = 0; i < geometry.triangles.size(); ++i)
    {
        const auto& t = geometry.triangles[i];
        out.Line("3;" + std::to_string(t[0]) + "," + std::to_string(t[1]) + "," + std::to_string(t[2]) +
                 (i + 1 == geometry.triangles.size() ? ";;" : ";,"));
    }

    out.Blank();
    out.Open("MeshTextureCoords");
    out.Line(std::to_string(geometry.vertices.size()) + ";");
    for (size_t i = 0; i < geometry.vertices.size(); ++i)
        out.Line(FormatNumber(geometry.vertices[i].u) + ";" + FormatNumber(geometry.vertices[i].v) +
                 (i + 1 == geometry.vertices.size() ? ";;" : ";,"));
    out.Close();

    out.Blank();
    out.Open("MeshMaterialList");
    out.Line("1;");
    out.Line(std::to_string(geometry.triangles.size()) + ";");
    out.List(std::vector<std::string>(geometry.triangles.size(), "0"), ",", ";;", 32);
    WriteMaterial(out, mesh.material);
    out.Close();

    if (!mesh.skin.empty())
        WriteSkin(out, mesh);
    WriteDuplicationIndices(out, geometry);

    for (const SkinWeights& skin : mesh.skin)
    {
        out.Blank();
        out.Open("SkinWeights");
        out.Line("\"" + skin.bone + "\";");
        out.Line(std::to_string(skin.vertices.size()) + ";");
        std::vector<std::string> indices;
        std::vector<std::string> weights;
        for (size_t i = 0; i < skin.vertices.size(); ++i)
        {
            indices.push_back(std::to_string(skin.vertices[i]));
            weights.push_back(FormatNumber(skin.weights[i]));
        }
        out.List(indices, ",", ";", 16);
        out.List(weights, ",", ";", 8);
        WriteMatrix(out, skin.offset, ";;");
        out.Close();
    }
    out.Close();
}

void WriteFrame(Writer& out, const Frame& frame)
{
    out.Open("Frame " + frame.name);
    out.Open("FrameTransformMatrix");
    WriteMatrix(out, frame.local, ";;");
    out.Close();
    for (const Mesh& mesh : frame.meshes)
    {
        out.Blank();
        WriteMesh(out, mesh);
    }
    for (const Frame& child : frame.children)
    {
        out.Blank();
        WriteFrame(out, child);
    }
    out.Close();
}

void WriteKeys(Writer& out, int type, const std::vector<AnimationKeyRecord>& keys)
{
    if (keys.empty())
        return;
    out.Blank();
    out.Open("AnimationKey");
    out.Line(std::to_string(type) + ";");
    out.Line(std::to_string(keys.size()) + ";");
    for (size_t i = 0; i < keys.size(); ++i)
        out.Line(std::to_string(keys[i].time) + ";" + std::to_string(keys[i].values.size()) + ";" +
                 Join(keys[i].values.data(), keys[i].values.size(), ",") +
                 (i + 1 == keys.size() ? ";;;" : ";;,"));
    out.Close();
}

void WriteAnimationSet(Writer& out, const AnimationSet& set)
{
    out.Open("AnimationSet " + set.name);
    for (size_t t = 0; t < set.tracks.size(); ++t)
    {
        const AnimationTrack& track = set.tracks[t];
        if (t)
            out.Blank();
        out.Open("Animation");
        out.Line("{ " + track.bone + " }");
        WriteKeys(out, 0, track.rotation);
        WriteKeys(out, 1, track.scale);
        WriteKeys(out, 2, track.position);
        out.Blank();
        out.Open("AnimationOptions");
        out.Line(set.looping ? "1;" : "0;");
        out.Line("0;");
        out.Close();
        out.Close();
    }
    out.Close();
}
} // namespace

std::string FormatNumber(double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.6f", value);
    const std::string result = text;
    return result == "-0.000000" ? "0.000000" : result;
}

std::string WriteXText(const XModel& model)
{
    Writer out;
    out.Line("xof 0303txt 0032");
    for (const std::string& line : model.comment)
        out.Line(line.empty() ? "//" : "// " + line);
    if (model.ticksPerSecond)
    {
        out.Blank();
        out.Open("AnimTicksPerSecond");
        out.Line(std::to_string(model.ticksPerSecond) + ";");
        out.Close();
    }
    for (const Frame& frame : model.frames)
    {
        out.Blank();
        WriteFrame(out, frame);
    }
    for (const AnimationSet& set : model.animations)
    {
        out.Blank();
        WriteAnimationSet(out, set);
    }
    return out.Text();
}

bool WriteXFile(const XModel& model, const std::string& folder, std::string& error)
{
    const std::string path = folder + "/" + model.fileName;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << WriteXText(model);
    file.close();
    if (!file)
    {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}
} // namespace meshgen
