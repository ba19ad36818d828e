// The committed meshes are exactly what the generator writes: a change to tools/meshgen that is
// not followed by a regeneration (or a hand edit of data/meshes, or of the binary and compressed
// copies in tests/data/meshes) fails here.
#include "Catalogue.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The first line where two texts differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b)
{
    std::istringstream left(a);
    std::istringstream right(b);
    std::string l;
    std::string r;
    for (int line = 1;; ++line)
    {
        const bool hasLeft = static_cast<bool>(std::getline(left, l));
        const bool hasRight = static_cast<bool>(std::getline(right, r));
        if (!hasLeft && !hasRight)
            return "the same lines, other bytes";
        if (hasLeft != hasRight || l != r)
            return "line " + std::to_string(line) + ": generated \"" + l + "\", committed \"" + r + "\"";
    }
}
} // namespace

TEST(MeshGenTest, RegeneratingGivesTheCommittedFilesByteForByte)
{
    testsupport::TempWorkDir dir;
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(meshgen::WriteCatalogue(dir.Path(), written, error)) << error;

    const fs::path committed = testsupport::RepoPath("data/meshes");
    std::set<std::string> committedNames;
    for (const fs::directory_entry& entry : fs::directory_iterator(committed))
        if (entry.path().extension() == ".x")
            committedNames.insert(entry.path().filename().string());
    EXPECT_EQ(committedNames, std::set<std::string>(written.begin(), written.end()))
        << "data/meshes holds other files than the generator writes";

    for (const std::string& name : written)
    {
        SCOPED_TRACE(name);
        const std::string generated = ReadBytes(fs::path(dir.Path()) / name);
        const std::string stored = ReadBytes(committed / name);
        EXPECT_FALSE(generated.empty());
        EXPECT_TRUE(generated == stored)
            << FirstDifference(generated, stored) << "; regenerate with: meshgen data/meshes";
    }
}

// The binary and compressed copies that the .X reader's tests read are what the generator
// writes now.
TEST(MeshGenTest, TheBinaryAndCompressedCopiesAreTheCommittedFiles)
{
    testsupport::TempWorkDir dir;
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(meshgen::WriteForms(dir.Path(), written, error)) << error;
    EXPECT_EQ(written.size(), 4 * meshgen::FormModels().size());
    for (const std::string& name : written)
    {
        SCOPED_TRACE(name);
        const std::string generated = ReadBytes(fs::path(dir.Path()) / name);
        const std::string stored = ReadBytes(testsupport::RepoPath("tests/data/meshes/" + name));
        EXPECT_GT(generated.size(), 16u);
        EXPECT_TRUE(generated == stored) << "regenerate with: meshgen data/meshes tests/data/meshes";
    }
}

TEST(MeshGenTest, TwoRunsWriteTheSameBytes)
{
    testsupport::TempWorkDir dir;
    const fs::path first = fs::path(dir.Path()) / "first";
    const fs::path second = fs::path(dir.Path()) / "second";
    fs::create_directories(first);
    fs::create_directories(second);
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(meshgen::WriteCatalogue(first.string(), written, error)) << error;
    ASSERT_TRUE(meshgen::WriteCatalogue(second.string(), written, error)) << error;
    for (const fs::directory_entry& entry : fs::directory_iterator(first))
    {
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_TRUE(ReadBytes(entry.path()) == ReadBytes(second / entry.path().filename()));
    }
}

TEST(MeshGenTest, AMissingOutputFolderIsReported)
{
    testsupport::TempWorkDir dir;
    std::vector<std::string> written;
    std::string error;
    EXPECT_FALSE(meshgen::WriteCatalogue(dir.Path() + "/no/such/folder", written, error));
    EXPECT_NE(error.find("no/such/folder"), std::string::npos) << error;
    EXPECT_TRUE(written.empty());
}
