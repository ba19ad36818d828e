// The mesh tests' world: the headless graphics world with a mesh folder "meshes/" holding copies
// of the hand-written test meshes and the game's "Invalid.x", the mesh cache emptied around each
// test, and what a request says on standard error.
#pragma once

#include "GfxTestWorld.h"
#include "LogCapture.h"
#include "engine/gfx/mesh/CMeshManager.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace gfxtest
{
class MeshWorld : public HeadlessGfx
{
protected:
    static constexpr char kMeshFolder[] = "meshes/";

    void SetUp() override
    {
        HeadlessGfx::SetUp();
        namespace fs = std::filesystem;
        fs::create_directories(kMeshFolder);
        for (const auto& entry : fs::directory_iterator(testsupport::RepoPath("tests/data/meshes")))
            fs::copy_file(entry.path(), fs::path(kMeshFolder) / entry.path().filename());
        fs::copy_file(testsupport::RepoPath("data/meshes/Invalid.x"), fs::path(kMeshFolder) / "Invalid.x");
        dorvo::gfx::SetMeshFolder(kMeshFolder);
        meshes.Release();
    }

    void TearDown() override
    {
        meshes.Release();
        dorvo::gfx::SetMeshFolder("");
        HeadlessGfx::TearDown();
    }

    // A file written into the mesh folder.
    static void WriteMesh(const std::string& name, const std::string& text)
    {
        std::ofstream(std::string(kMeshFolder) + name, std::ios::binary) << text;
    }

    // The mesh, and what asking for it said on standard error.
    dorvo::gfx::CMeshManager::SMeshInfo* Get(const std::string& name, std::string* said = nullptr)
    {
        testsupport::LogCapture logged;
        dorvo::gfx::CMeshManager::SMeshInfo* info = meshes.GetMesh(name);
        const std::string text = logged.Text();
        if (said)
            *said = text;
        else
            EXPECT_EQ(text, "") << name;
        return info;
    }

    static int Lines(const std::string& text)
    {
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    dorvo::gfx::CMeshManager& meshes = dorvo::gfx::CMeshManager::Instance();
};
} // namespace gfxtest
