#include "game/app/CEngineLoader.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace
{
dorvo::SEngineConfigInfo LoadText(const std::string& xml)
{
    testsupport::TempWorkDir dir;
    std::ofstream("config.xml") << xml;
    QUORB::CEngineLoader loader;
    loader.Load("config.xml");
    return *loader.GetData();
}

// Standard error without the one line about the elements a small test file leaves out.
std::string WithoutMissingLine(const std::string& errors)
{
    const std::size_t at = errors.find("CEngineLoader::Load: config.xml: no <");
    if (at == std::string::npos)
        return errors;
    return errors.substr(0, at) + errors.substr(errors.find('\n', at) + 1);
}

const char* kFull = R"(<EngineConfig>
  <Graphics>
    <TextureRelativePath>tex/</TextureRelativePath>
    <MeshRelativePath>mesh/</MeshRelativePath>
    <FXRelativePath>fx/</FXRelativePath>
    <FullScreen>true</FullScreen>
    <ScreenDimension sw="1024" sh="768"/>
    <Wireframe>True</Wireframe>
    <Fog><Range start="10" end="90.5"/><Density d="0.25"/><Color a="0.4" r="0.1" g="0.2" b="0.3"/></Fog>
    <FXFiles><a>A.fx</a><b>B.fx</b><c>C.fx</c></FXFiles>
    <PostProcessFXFiles><!-- none --><f>Bloom.fx</f></PostProcessFXFiles>
    <Light><Type>point</Type><Ambient r="0.1" g="0.2" b="0.3"/><Diffuse r="1" g="1" b="1"/>
      <Specular r="0.5" g="0.5" b="0.5"/><Position x="1" y="2" z="3"/><Range r="50"/>
      <Attenuation a0="1" a1="0.5" a2="0.25"/></Light>
    <Light><Type>directional</Type></Light>
  </Graphics>
  <Sounds><SoundsRelativePath>snd/</SoundsRelativePath></Sounds>
</EngineConfig>)";
} // namespace

// The built-in configuration is the shipped one: a game whose file is lost still reaches its
// data, draws with its effects and is lit.
TEST(CEngineLoader, MissingOrMalformedFileGivesTheShippedConfiguration)
{
    const dorvo::SEngineConfigInfo shipped = QUORB::CEngineLoader::Shipped();
    for (const char* xml : {"", "<EngineConfig><Graphics>", "<Other/>", "<EngineConfig/>"})
    {
        SCOPED_TRACE(xml);
        dorvo::SEngineConfigInfo info = LoadText(xml);
        EXPECT_TRUE(info.useDefaults);
        EXPECT_FALSE(info.fullScreen);
        EXPECT_EQ(info.screenWidth, 800);
        EXPECT_EQ(info.screenHeight, 600);
        EXPECT_FALSE(info.wireframe);
        EXPECT_EQ(info.fxFiles, shipped.fxFiles);
        EXPECT_EQ(info.texturePath, "../../../../data/textures/");
        EXPECT_EQ(info.meshPath, shipped.meshPath);
        EXPECT_EQ(info.fxPath, shipped.fxPath);
        EXPECT_EQ(info.fogEnd, 600.0f);
        ASSERT_EQ(info.lights.size(), 1u);
        EXPECT_EQ(info.lights[0].light.Type, plat::D3DLIGHT_DIRECTIONAL);
    }
    QUORB::CEngineLoader loader;
    loader.Load("no/such/dorvo_engine_config.xml");
    EXPECT_TRUE(loader.GetData()->useDefaults);
    EXPECT_EQ(loader.GetData()->fxFiles.size(), 9u);
}

// The shipped configuration in the code is the committed file's, field by field.
TEST(CEngineLoader, TheShippedConfigurationIsTheCommittedFile)
{
    testsupport::LogCapture logged;
    QUORB::CEngineLoader loader;
    loader.Load(testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml"));
    EXPECT_EQ(logged.Text(), "");
    const dorvo::SEngineConfigInfo& file = *loader.GetData();
    const dorvo::SEngineConfigInfo shipped = QUORB::CEngineLoader::Shipped();
    EXPECT_EQ(file.useDefaults, shipped.useDefaults);
    EXPECT_EQ(file.texturePath, shipped.texturePath);
    EXPECT_EQ(file.meshPath, shipped.meshPath);
    EXPECT_EQ(file.fxPath, shipped.fxPath);
    EXPECT_EQ(file.soundsPath, shipped.soundsPath);
    EXPECT_EQ(file.fxFiles, shipped.fxFiles);
    EXPECT_EQ(file.postProcessFxFiles, shipped.postProcessFxFiles);
    EXPECT_EQ(file.fullScreen, shipped.fullScreen);
    EXPECT_EQ(file.wireframe, shipped.wireframe);
    EXPECT_EQ(file.screenWidth, shipped.screenWidth);
    EXPECT_EQ(file.screenHeight, shipped.screenHeight);
    EXPECT_EQ(file.fogStart, shipped.fogStart);
    EXPECT_EQ(file.fogEnd, shipped.fogEnd);
    EXPECT_EQ(file.fogDensity, shipped.fogDensity);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(file.fogColor[i], shipped.fogColor[i]) << i;
    ASSERT_EQ(file.lights.size(), 1u);
    ASSERT_EQ(shipped.lights.size(), 1u);
    const plat::D3DLIGHT9& a = file.lights[0].light;
    const plat::D3DLIGHT9& b = shipped.lights[0].light;
    EXPECT_EQ(a.Type, b.Type);
    for (const auto& pair : {std::make_pair(a.Ambient, b.Ambient), std::make_pair(a.Diffuse, b.Diffuse),
                             std::make_pair(a.Specular, b.Specular)})
    {
        EXPECT_EQ(pair.first.r, pair.second.r);
        EXPECT_EQ(pair.first.g, pair.second.g);
        EXPECT_EQ(pair.first.b, pair.second.b);
        EXPECT_EQ(pair.first.a, pair.second.a);
    }
    EXPECT_EQ(a.Direction.x, b.Direction.x);
    EXPECT_EQ(a.Direction.y, b.Direction.y);
    EXPECT_EQ(a.Direction.z, b.Direction.z);
}

// Folders that leave the run and data folders, and elements the file lacks, give the built-in
// values with one line each; a folder that does not exist gives way only where the shipped one
// does (a run folder four levels below the repository).
TEST(CEngineLoader, UnusableFoldersAndMissingElementsTakeTheShippedValues)
{
    testsupport::TempWorkDir dir;
    const std::string run = "a/b/c/d/";
    std::filesystem::create_directories(run + "data/textures");
    std::filesystem::create_directories(run + "a/b/c/d/mine");
    std::filesystem::current_path(run + "a/b/c/d");
    // From here "../../../../data/textures/" exists, the other shipped folders do not.
    std::ofstream("config.xml") << "<EngineConfig><Graphics>\n"
                                   "<TextureRelativePath>../../../../data/textuxes/</TextureRelativePath>\n"
                                   "<MeshRelativePath>/</MeshRelativePath>\n"
                                   "<FXRelativePath>mine/</FXRelativePath>\n"
                                   "<FullScreen>false</FullScreen>\n"
                                   "</Graphics><Sounds><SoundsRelativePath>"
                                << std::string(4096, 's') << "</SoundsRelativePath></Sounds></EngineConfig>";
    testsupport::LogCapture logged;
    QUORB::CEngineLoader loader;
    loader.Load("config.xml");
    const std::string errors = logged.Text();
    const dorvo::SEngineConfigInfo& info = *loader.GetData();
    EXPECT_FALSE(info.useDefaults);
    EXPECT_EQ(info.texturePath, "../../../../data/textures/");
    EXPECT_EQ(info.meshPath, "../../../../data/meshes/");
    EXPECT_EQ(info.fxPath, "mine/");
    EXPECT_EQ(info.soundsPath, "../../../../data/sounds/");
    EXPECT_EQ(info.fxFiles.size(), 9u);
    EXPECT_EQ(info.lights.size(), 1u);
    EXPECT_EQ(errors,
              "CEngineLoader::Load: config.xml: <TextureRelativePath> (line 2) "
              "\"../../../../data/textuxes/\" is no folder; the "
              "built-in \"../../../../data/textures/\" is used\n"
              "CEngineLoader::Load: config.xml: <MeshRelativePath> (line 3) \"/\" leaves the run folder and "
              "the data folder; the "
              "built-in \"../../../../data/meshes/\" is used\n"
              "CEngineLoader::Load: config.xml: no <FXFiles> entries, <Light> under <Graphics>; the built-in "
              "values are used\n"
              "CEngineLoader::Load: config.xml: <SoundsRelativePath> (line 6) \"" +
                  std::string(64, 's') +
                  "...\" is 4096 characters long (at most 260); the built-in \"../../../../data/sounds/\" is "
                  "used\n");
}

TEST(CEngineLoader, ReadsEveryField)
{
    dorvo::SEngineConfigInfo info = LoadText(kFull);
    EXPECT_FALSE(info.useDefaults);
    EXPECT_EQ(info.texturePath, "tex/");
    EXPECT_EQ(info.meshPath, "mesh/");
    EXPECT_EQ(info.fxPath, "fx/");
    EXPECT_TRUE(info.fullScreen);
    EXPECT_EQ(info.screenWidth, 1024);
    EXPECT_EQ(info.screenHeight, 768);
    EXPECT_FALSE(info.wireframe) << "only the exact text \"true\" is true";
    EXPECT_FLOAT_EQ(info.fogStart, 10.0f);
    EXPECT_FLOAT_EQ(info.fogEnd, 90.5f);
    EXPECT_FLOAT_EQ(info.fogDensity, 0.25f);
    // Stored r, g, b, a whatever the attribute order.
    EXPECT_FLOAT_EQ(info.fogColor[0], 0.1f);
    EXPECT_FLOAT_EQ(info.fogColor[1], 0.2f);
    EXPECT_FLOAT_EQ(info.fogColor[2], 0.3f);
    EXPECT_FLOAT_EQ(info.fogColor[3], 0.4f);
    EXPECT_EQ(info.fxFiles, (std::vector<std::string>{"A.fx", "B.fx", "C.fx"}));
    EXPECT_TRUE(info.postProcessFxFiles.empty()) << "a list opening with a comment stays empty";
    EXPECT_EQ(info.soundsPath, "snd/");

    ASSERT_EQ(info.lights.size(), 1u) << "only the first light is read";
    const plat::D3DLIGHT9& l = info.lights[0].light;
    EXPECT_EQ(info.lights[0].index, 0u);
    EXPECT_EQ(l.Type, plat::D3DLIGHT_POINT);
    EXPECT_FLOAT_EQ(l.Ambient.b, 0.3f);
    EXPECT_FLOAT_EQ(l.Ambient.a, 1.0f);
    EXPECT_FLOAT_EQ(l.Position.z, 3.0f);
    EXPECT_FLOAT_EQ(l.Range, 50.0f);
    EXPECT_FLOAT_EQ(l.Attenuation2, 0.25f);
}

TEST(CEngineLoader, LightTypesAndPartialFiles)
{
    struct Case
    {
        const char* type;
        plat::D3DLIGHTTYPE expected;
    } cases[] = {{"directional", plat::D3DLIGHT_DIRECTIONAL},
                 {"point", plat::D3DLIGHT_POINT},
                 {"spot", plat::D3DLIGHT_SPOT},
                 {"Point", plat::D3DLIGHT_SPOT}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        dorvo::SEngineConfigInfo info =
            LoadText(std::string("<EngineConfig><Graphics><Light><Type>") + c.type +
                     "</Type><Direction x=\"0\" y=\"-1\" z=\"0\"/></Light>"
                     "</Graphics></EngineConfig>");
        ASSERT_EQ(info.lights.size(), 1u);
        EXPECT_EQ(info.lights[0].light.Type, c.expected);
        EXPECT_FLOAT_EQ(info.lights[0].light.Direction.y,
                        c.expected == plat::D3DLIGHT_DIRECTIONAL ? -1.0f : 0.0f);
        // Everything the file did not name keeps its defined value, the shipped one.
        EXPECT_EQ(info.screenWidth, 800);
        EXPECT_EQ(info.texturePath, "../../../../data/textures/");
    }
    dorvo::SEngineConfigInfo bad =
        LoadText("<EngineConfig><Graphics><ScreenDimension sw=\"0\" sh=\"-5\"/></Graphics></EngineConfig>");
    EXPECT_EQ(bad.screenWidth, 800);
    EXPECT_EQ(bad.screenHeight, 600);
}

TEST(CEngineLoader, LoadingTwiceAppendsListsAndCommittedFileLoads)
{
    testsupport::TempWorkDir dir;
    std::ofstream("c.xml") << kFull;
    QUORB::CEngineLoader loader;
    loader.Load("c.xml");
    loader.Load("c.xml");
    EXPECT_EQ(loader.GetData()->fxFiles.size(), 6u);

    QUORB::CEngineLoader real;
    real.Load(testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml"));
    EXPECT_FALSE(real.GetData()->useDefaults);
    EXPECT_FALSE(real.GetData()->fullScreen);
    EXPECT_EQ(real.GetData()->screenWidth, 800);
}

TEST(CEngineLoader, WindowSizesADeviceCannotMakeAreRefusedWithALine)
{
    const struct
    {
        const char* sw;
        const char* sh;
        int width, height;
        bool reported;
    } cases[] = {
        {"0", "600", 800, 600, true},         {"800", "600", 800, 600, false},
        {"8192", "8192", 8192, 8192, false},  {"8193", "600", 800, 600, true},
        {"100000", "100000", 800, 600, true}, {"1024", "-768", 800, 600, true},
        {"1024", "768px", 800, 600, true},    {"99999999999", "768", 800, 600, true},
        {"1280", "720", 1280, 720, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.sw) + " x " + c.sh);
        testsupport::LogCapture logged;
        const dorvo::SEngineConfigInfo info =
            LoadText(std::string("<EngineConfig><Graphics><ScreenDimension sw=\"") + c.sw + "\" sh=\"" +
                     c.sh + "\"/></Graphics></EngineConfig>");
        const std::string errors = WithoutMissingLine(logged.Text());
        EXPECT_EQ(info.screenWidth, c.width);
        EXPECT_EQ(info.screenHeight, c.height);
        if (c.reported)
            EXPECT_EQ(errors,
                      std::string("CEngineLoader::Load: config.xml: <ScreenDimension> (line 1) sw=\"") +
                          c.sw + "\" sh=\"" + c.sh +
                          "\" is not a window size (1 to 8192 pixels a side); 800 x 600 is kept\n");
        else
            EXPECT_EQ(errors, "");
    }
}

TEST(CEngineLoader, NonFiniteFogValuesKeepTheFieldWithALine)
{
    testsupport::LogCapture logged;
    const dorvo::SEngineConfigInfo info =
        LoadText("<EngineConfig><Graphics><Fog><Range start=\"nan\" end=\"inf\"/><Density d=\"1e300\"/>"
                 "<Color a=\"-1e39\" r=\"0.5\" g=\"x\" b=\"0.25 \"/></Fog></Graphics></EngineConfig>");
    const std::string errors = WithoutMissingLine(logged.Text());
    // Kept: the shipped values.
    EXPECT_EQ(info.fogStart, 200.0f);
    EXPECT_EQ(info.fogEnd, 600.0f);
    EXPECT_EQ(info.fogDensity, 0.002f);
    EXPECT_EQ(info.fogColor[3], 1.0f);
    EXPECT_EQ(info.fogColor[0], 0.5f);
    EXPECT_EQ(info.fogColor[1], 0.6f);
    EXPECT_EQ(info.fogColor[2], 0.25f);
    EXPECT_EQ(errors, "CEngineLoader::Load: config.xml: <Range> \"start\" (line 1) = \"nan\" is not a finite "
                      "number; the value is kept\n"
                      "CEngineLoader::Load: config.xml: <Range> \"end\" (line 1) = \"inf\" is not a finite "
                      "number; the value is kept\n"
                      "CEngineLoader::Load: config.xml: <Density> \"d\" (line 1) = \"1e300\" is not a finite "
                      "number; the value is kept\n"
                      "CEngineLoader::Load: config.xml: <Color> \"a\" (line 1) = \"-1e39\" is not a finite "
                      "number; the value is kept\n"
                      "CEngineLoader::Load: config.xml: <Color> \"g\" (line 1) = \"x\" is not a finite "
                      "number; the value is kept\n");
}

TEST(CEngineLoader, DamagedFilesGiveOneLineAndTheDefaults)
{
    std::string nested;
    for (int i = 0; i < 35000; ++i)
        nested += "<a>";
    const struct
    {
        std::string xml;
        std::string line;
    } cases[] = {
        {"<?xml version=\"1.0\" ?><File>\xC3", "config.xml:1: not valid UTF-8"},
        {"<EngineConfig>\n" + nested, "config.xml:2: elements nested deeper than 256"},
        {"<EngineConfig>\n<Graphics>\n", "config.xml:3: Error reading end tag."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.line);
        testsupport::LogCapture logged;
        const dorvo::SEngineConfigInfo info = LoadText(c.xml);
        EXPECT_EQ(logged.Text(), "CEngineLoader::Load: " + c.line + "; the built-in configuration is used\n");
        EXPECT_TRUE(info.useDefaults);
        EXPECT_EQ(info.screenWidth, 800);
    }
    testsupport::LogCapture logged;
    QUORB::CEngineLoader loader;
    loader.Load("no/such/dorvo_engine_config.xml");
    EXPECT_EQ(logged.Text(),
              "CEngineLoader::Load: no/such/dorvo_engine_config.xml: cannot open the file; the built-in "
              "configuration is used\n");
}
