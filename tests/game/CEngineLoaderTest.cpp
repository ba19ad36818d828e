#include "game/CEngineLoader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

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

TEST(CEngineLoader, MissingOrMalformedFileKeepsDefaults)
{
    for (const char* xml : {"", "<EngineConfig><Graphics>", "<Other/>"})
    {
        SCOPED_TRACE(xml);
        dorvo::SEngineConfigInfo info = LoadText(xml);
        EXPECT_TRUE(info.useDefaults);
        EXPECT_FALSE(info.fullScreen);
        EXPECT_EQ(info.screenWidth, 800);
        EXPECT_EQ(info.screenHeight, 600);
        EXPECT_FALSE(info.wireframe);
        EXPECT_TRUE(info.fxFiles.empty());
    }
    QUORB::CEngineLoader loader;
    loader.Load("no/such/dorvo_engine_config.xml");
    EXPECT_TRUE(loader.GetData()->useDefaults);
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
        // Everything the file did not name keeps its defined value.
        EXPECT_EQ(info.screenWidth, 800);
        EXPECT_TRUE(info.texturePath.empty());
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
        ::testing::internal::CaptureStderr();
        const dorvo::SEngineConfigInfo info =
            LoadText(std::string("<EngineConfig><Graphics><ScreenDimension sw=\"") + c.sw + "\" sh=\"" +
                     c.sh + "\"/></Graphics></EngineConfig>");
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(info.screenWidth, c.width);
        EXPECT_EQ(info.screenHeight, c.height);
        if (c.reported)
            EXPECT_EQ(errors, std::string("config.xml: <ScreenDimension> (line 1) sw=\"") + c.sw +
                                  "\" sh=\"" + c.sh +
                                  "\" is not a window size (1 to 8192 pixels a side); 800 x 600 is kept\n");
        else
            EXPECT_EQ(errors, "");
    }
}

TEST(CEngineLoader, NonFiniteFogValuesKeepTheFieldWithALine)
{
    ::testing::internal::CaptureStderr();
    const dorvo::SEngineConfigInfo info =
        LoadText("<EngineConfig><Graphics><Fog><Range start=\"nan\" end=\"inf\"/><Density d=\"1e300\"/>"
                 "<Color a=\"-1e39\" r=\"0.5\" g=\"x\" b=\"0.25 \"/></Fog></Graphics></EngineConfig>");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(info.fogStart, 0.0f);
    EXPECT_EQ(info.fogEnd, 0.0f);
    EXPECT_EQ(info.fogDensity, 0.0f);
    EXPECT_EQ(info.fogColor[3], 0.0f);
    EXPECT_EQ(info.fogColor[0], 0.5f);
    EXPECT_EQ(info.fogColor[1], 0.0f);
    EXPECT_EQ(info.fogColor[2], 0.25f);
    EXPECT_EQ(errors,
              "config.xml: <Range> \"start\" (line 1) = \"nan\" is not a finite number; the value is kept\n"
              "config.xml: <Range> \"end\" (line 1) = \"inf\" is not a finite number; the value is kept\n"
              "config.xml: <Density> \"d\" (line 1) = \"1e300\" is not a finite number; the value is kept\n"
              "config.xml: <Color> \"a\" (line 1) = \"-1e39\" is not a finite number; the value is kept\n"
              "config.xml: <Color> \"g\" (line 1) = \"x\" is not a finite number; the value is kept\n");
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
        ::testing::internal::CaptureStderr();
        const dorvo::SEngineConfigInfo info = LoadText(c.xml);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  c.line + "; the built-in configuration is used\n");
        EXPECT_TRUE(info.useDefaults);
        EXPECT_EQ(info.screenWidth, 800);
    }
    ::testing::internal::CaptureStderr();
    QUORB::CEngineLoader loader;
    loader.Load("no/such/dorvo_engine_config.xml");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "no/such/dorvo_engine_config.xml: cannot open the file; the built-in configuration is used\n");
}
