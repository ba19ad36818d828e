#include "game/files/SaveXmlAtomically.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST(SaveXmlAtomicallyTest, WritesTheBytesOfTinyXmlsOwnSaveAndKeepsTheOldFileOnFailure)
{
    testsupport::TempWorkDir dir;
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "", ""));
    TiXmlElement root("File");
    root.SetAttribute("name", "a \"quoted\" & <odd> name");
    TiXmlElement child("string");
    child.InsertEndChild(TiXmlText("  spaced text "));
    root.InsertEndChild(child);
    root.InsertEndChild(TiXmlElement("Empty"));
    document.InsertEndChild(root);

    ASSERT_TRUE(QUORB::SaveXmlAtomically(document, "Atomic.xml"));
    ASSERT_TRUE(document.SaveFile("Plain.xml"));
    EXPECT_EQ(ReadFile("Atomic.xml"), ReadFile("Plain.xml"));
    EXPECT_FALSE(std::filesystem::exists("Atomic.xml.tmp"));

    std::filesystem::create_directory("Folder.xml"); // a folder where the file should go
    EXPECT_FALSE(QUORB::SaveXmlAtomically(document, "Folder.xml"));
    EXPECT_FALSE(QUORB::SaveXmlAtomically(document, "NoSuchFolder/Atomic.xml"));
    EXPECT_FALSE(std::filesystem::exists("Folder.xml.tmp"));
}
