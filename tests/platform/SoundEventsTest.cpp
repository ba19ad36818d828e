#include "platform/audio_output.h"
#include "platform/sound_events.h"
#include "platform/sound_project.h"
#include "platform/win32.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace plat;

namespace
{
const std::string kProject = testsupport::RepoPath("tests/data/sound/QUORBSound.fev");

class SoundEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        soundtest::ClearRecords();
        ASSERT_EQ(FMOD_OK, FMOD::EventSystem_Create(&m_system));
        ASSERT_EQ(FMOD_OK, m_system->init(8, FMOD_INIT_NORMAL, nullptr, FMOD_EVENT_INIT_NORMAL));
        ASSERT_EQ(FMOD_OK, m_system->load(kProject.c_str(), nullptr, nullptr));
    }
    void TearDown() override
    {
        EXPECT_EQ(FMOD_OK, m_system->release());
        EXPECT_EQ(0, soundtest::LiveEventSystems());
        soundtest::ClearRecords();
    }
    FMOD::Event* Start(const char* path)
    {
        FMOD::Event* event = nullptr;
        EXPECT_EQ(FMOD_OK, m_system->getEvent(path, FMOD_EVENT_DEFAULT, &event));
        if (event)
        {
            EXPECT_EQ(FMOD_OK, event->start());
        }
        return event;
    }
    std::vector<std::int16_t> Mix(int frames)
    {
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2, 12345);
        EXPECT_EQ(FMOD_OK, soundtest::Mix(m_system, out.data(), frames));
        return out;
    }
    static bool Playing(FMOD::Event* event)
    {
        FMOD_EVENT_STATE state = 0;
        event->getState(&state);
        return (state & FMOD_EVENT_STATE_PLAYING) != 0;
    }

    FMOD::EventSystem* m_system = nullptr;
};
} // namespace

TEST(SoundProjectTest, TheTestProjectParses)
{
    const std::string text = "project QUORBSound\n"
                             "group GUI   # menus\n"
                             "  event ButtonPress\n"
                             "    file Click.wav\n"
                             "    volume 0.25\n"
                             "    3d 1\n"
                             "    distance 2 20\n"
                             "    parameter speed -5 5\n"
                             "  end\n"
                             "  group Inner\n"
                             "    event Deep\n"
                             "      file sub\\Deep.wav\n"
                             "      loop 1\n"
                             "    end\n"
                             "  end\n"
                             "end\n";
    SoundProjectDesc project;
    std::string error;
    ASSERT_TRUE(ParseSoundProject(text, "Test.fev", "sounds", project, error)) << error;
    EXPECT_EQ("QUORBSound", project.name);
    EXPECT_EQ((std::vector<std::string>{"QUORBSound/GUI", "QUORBSound/GUI/Inner"}), project.groups);
    ASSERT_EQ(2u, project.events.size());
    const SoundEventDesc& press = project.events[0];
    EXPECT_EQ("QUORBSound/GUI/ButtonPress", press.path);
    EXPECT_EQ("sounds/Click.wav", press.file);
    EXPECT_FLOAT_EQ(0.25f, press.volume);
    EXPECT_TRUE(press.is3D);
    EXPECT_FALSE(press.loop);
    EXPECT_FLOAT_EQ(2.0f, press.minDistance);
    EXPECT_FLOAT_EQ(20.0f, press.maxDistance);
    ASSERT_EQ(1u, press.parameters.size());
    EXPECT_EQ("speed", press.parameters[0].name);
    EXPECT_FLOAT_EQ(-5.0f, press.parameters[0].minimum);
    EXPECT_EQ("QUORBSound/GUI/Inner/Deep", project.events[1].path);
    EXPECT_EQ("sounds/sub\\Deep.wav", project.events[1].file);
    EXPECT_TRUE(project.events[1].loop);
}

TEST(SoundProjectTest, MalformedProjectsAreRejectedWithTheLineAndTheReason)
{
    struct Case
    {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"group GUI\nend\n", "P.fev:1: the file must begin with \"project <name>\""},
        {"project P\ngroup GUI\n event E\n  file a.wav\n  volme 1\n end\nend\n",
         "P.fev:5: unknown statement \"volme\""},
        {"project P\ngroup GUI\n event E\n  file a.wav\n  volume 2\n end\nend\n",
         "P.fev:5: \"volume\" needs a number from 0 to 1"},
        {"project P\ngroup G\n event E\n  file a.wav\n  parameter p 1 0\n end\nend\n",
         "P.fev:5: \"parameter\" needs a name (at most 64 characters), a minimum and a maximum not below it"},
        {"project P\ngroup G\n event E\n end\nend\n", "P.fev:4: event \"P/G/E\" names no \"file\""},
        {"project P\nevent E\n", "P.fev:2: \"event\" outside a group"},
        {"project P\ngroup G\n event E\n  file a.wav\n",
         "P.fev:4: event \"P/G/E\" is not closed with \"end\""},
        {"project P\ngroup G\nend\nend\n", "P.fev:4: \"end\" with nothing open"},
        {"project P\ngroup G\n event E\n  file a\n  loop yes\n end\nend\n", "P.fev:5: \"loop\" needs 0 or 1"},
        {"project P\ngroup G\n event E\n  file a\n end\n event E\n  file b\n end\nend\n",
         "P.fev:6: event \"P/G/E\" defined twice"},
        {"project P\ngroup G\n event E\n  file ../../../../etc/passwd\n end\nend\n",
         "P.fev:4: \"file\" \"../../../../etc/passwd\" leaves the project's folder"},
        {"project P\ngroup G\n event E\n  file /dev/zero\n end\nend\n",
         "P.fev:4: \"file\" \"/dev/zero\" leaves the project's folder"},
        {"", "P.fev:0: no \"project\" line"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        SoundProjectDesc project;
        std::string error;
        EXPECT_FALSE(ParseSoundProject(c.text, "P.fev", "", project, error));
        EXPECT_EQ(c.error, error);
    }
}

// Nesting has a limit, as XML files have; so have the groups and events a project holds, and
// reading stays in proportion to the text: a project of 100,000 events is cut at the limit with
// one line, and a duplicate is found however many events come before it.
TEST(SoundProjectTest, HugeAndDeepProjectsAreRefusedOrCutAtTheirLimits)
{
    std::string deep = "project P\n";
    for (int i = 0; i < 50000; ++i)
        deep += "group G\n";
    SoundProjectDesc project;
    std::string error;
    EXPECT_FALSE(ParseSoundProject(deep, "P.fev", "", project, error));
    EXPECT_EQ("P.fev:" + std::to_string(kMaxSoundGroupDepth + 2) + ": groups nested deeper than " +
                  std::to_string(kMaxSoundGroupDepth),
              error);

    std::string many = "project P\n";
    for (std::size_t g = 0; g < kMaxSoundGroups + 3; ++g)
        many += "group G" + std::to_string(g) + "\nend\n";
    many += "group Events\n";
    for (int i = 0; i < 100000; ++i)
        many += " event E" + std::to_string(i) + "\n  file Click.wav\n end\n";
    many += "end\n";
    ASSERT_TRUE(ParseSoundProject(many, "P.fev", "", project, error)) << error;
    EXPECT_EQ(project.groups.size(), kMaxSoundGroups);
    ASSERT_EQ(project.events.size(), kMaxSoundEvents);
    EXPECT_EQ(project.events.back().path, "P/Events/E" + std::to_string(kMaxSoundEvents - 1));
    EXPECT_EQ(project.cut, "P.fev:" + std::to_string(2 * kMaxSoundGroups + 2) + ": 4 groups past the first " +
                               std::to_string(kMaxSoundGroups) + " and " +
                               std::to_string(100000 - kMaxSoundEvents) + " events past the first " +
                               std::to_string(kMaxSoundEvents) + " are left out");

    // Past the cut events are still read, so a mistake or a duplicate there is still found.
    const std::string duplicate =
        many.substr(0, many.size() - 4) + " event E99999\n  file Click.wav\n end\nend\n";
    EXPECT_FALSE(ParseSoundProject(duplicate, "P.fev", "", project, error));
    EXPECT_NE(error.find("event \"P/Events/E99999\" defined twice"), std::string::npos) << error;

    const std::string longName = "project P\ngroup " + std::string(100000, 'g') + "\nend\n";
    EXPECT_FALSE(ParseSoundProject(longName, "P.fev", "", project, error));
    EXPECT_EQ("P.fev:2: \"group\" needs one name (at most 64 characters, no '/')", error);
}

// Thousands of events that play one file share its samples, and a missing file is named once.
TEST(SoundEventSystemTest, EventsOfOneFileShareItsSamplesAndAMissingFileIsNamedOnce)
{
    testsupport::TempWorkDir dir;
    std::filesystem::copy_file(testsupport::RepoPath("tests/data/sound/Click.wav"), "Click.wav");
    std::string text = "project Big\ngroup G\n";
    for (std::size_t i = 0; i < kMaxSoundEvents + 10; ++i)
        text +=
            " event E" + std::to_string(i) + "\n  file " + (i % 2 ? "Click.wav" : "Gone.wav") + "\n end\n";
    text += "end\n";
    std::FILE* file = std::fopen("Big.fev", "w");
    ASSERT_NE(nullptr, file);
    std::fputs(text.c_str(), file);
    std::fclose(file);

    FMOD::EventSystem* system = nullptr;
    ASSERT_EQ(FMOD_OK, FMOD::EventSystem_Create(&system));
    ASSERT_EQ(FMOD_OK, system->init(4, FMOD_INIT_NORMAL, nullptr));
    testsupport::LogCapture logged;
    ASSERT_EQ(FMOD_OK, system->load("Big.fev", nullptr, nullptr));
    FMOD::EventGroup* group = nullptr;
    ASSERT_EQ(FMOD_OK, system->getGroup("Big/G", true, &group));
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, group->loadEventData());
    FMOD::Event* first = nullptr;
    FMOD::Event* last = nullptr;
    ASSERT_EQ(FMOD_OK, system->getEvent("Big/G/E1", FMOD_EVENT_DEFAULT, &first));
    ASSERT_EQ(FMOD_OK, system->getEvent(("Big/G/E" + std::to_string(kMaxSoundEvents - 1)).c_str(),
                                        FMOD_EVENT_DEFAULT, &last));
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, system->getEvent("Big/G/E2", FMOD_EVENT_DEFAULT, &first));
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND, system->getEvent(("Big/G/E" + std::to_string(kMaxSoundEvents)).c_str(),
                                                        FMOD_EVENT_DEFAULT, &last));
    const std::string err = logged.Text();
    EXPECT_EQ(FMOD_OK, system->release());
    std::size_t goneLines = 0;
    for (std::size_t at = err.find("Gone.wav"); at != std::string::npos; at = err.find("Gone.wav", at + 1))
        ++goneLines;
    EXPECT_EQ(goneLines, 1u) << err;
    EXPECT_NE(err.find("Big.fev:" + std::to_string(3 * kMaxSoundEvents + 3) + ": 10 events past the first"),
              std::string::npos)
        << err;
}

TEST(SoundEventSystemTest, AMalformedProjectFileFailsToLoadWithAClearMessage)
{
    testsupport::TempWorkDir dir;
    std::FILE* file = std::fopen("Bad.fev", "w");
    ASSERT_NE(nullptr, file);
    std::fputs("project Bad\ngroup G\n  event E\n    file x.wav\n    speed 3\n  end\nend\n", file);
    std::fclose(file);

    FMOD::EventSystem* system = nullptr;
    ASSERT_EQ(FMOD_OK, FMOD::EventSystem_Create(&system));
    ASSERT_EQ(FMOD_OK, system->init(4, FMOD_INIT_NORMAL, nullptr));
    EXPECT_EQ(FMOD_ERR_FILE_BAD, system->load("Bad.fev", nullptr, nullptr));
    EXPECT_EQ("Bad.fev:5: unknown statement \"speed\"", soundtest::LastError());
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, system->load("Missing.fev", nullptr, nullptr));
    FMOD::Event* event = nullptr;
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND, system->getEvent("Bad/G/E", FMOD_EVENT_DEFAULT, &event));
    // An event missing from every project is named the first time it is asked for, not every time.
    EXPECT_EQ("no event \"Bad/G/E\"; it stays silent", soundtest::LastError());
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, system->load("Missing.fev", nullptr, nullptr));
    const std::string missing = soundtest::LastError();
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND, system->getEvent("Bad/G/E", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ(missing, soundtest::LastError());
    EXPECT_EQ(FMOD_OK, system->release());
}

TEST(SoundWavTest, OtherRatesAndSampleSizesAreConvertedToTheMixingFormat)
{
    // 8-bit unsigned mono at 22.05 kHz: silence, loudest up, loudest down, silence.
    testsupport::TempWorkDir dir;
    const unsigned char wav[] = {'R',  'I',  'F', 'F', 40,   0,    0, 0, 'W', 'A', 'V', 'E',
                                 'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   1,   0,
                                 0x22, 0x56, 0,   0,   0x22, 0x56, 0, 0, 1,   0,   8,   0,
                                 'd',  'a',  't', 'a', 4,    0,    0, 0, 128, 255, 0,   128};
    std::FILE* file = std::fopen("Low.wav", "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(wav, 1, sizeof(wav), file);
    std::fclose(file);

    SampleData sample;
    std::string error;
    ASSERT_TRUE(LoadWav("Low.wav", sample, error)) << error;
    // Twice the frames (the resampler may trim one at the end), stereo, both sides equal.
    EXPECT_GE(sample.FrameCount(), 7);
    EXPECT_LE(sample.FrameCount(), 8);
    std::int16_t loudest = 0, quietest = 0;
    for (int frame = 0; frame < sample.FrameCount(); ++frame)
    {
        EXPECT_EQ(sample.samples[2 * frame], sample.samples[2 * frame + 1]);
        loudest = std::max(loudest, sample.samples[2 * frame]);
        quietest = std::min(quietest, sample.samples[2 * frame]);
    }
    EXPECT_GT(loudest, 16000);
    EXPECT_LT(quietest, -16000);

    EXPECT_FALSE(LoadWav("Missing.wav", sample, error));
    EXPECT_EQ("Missing.wav: cannot open the file", error);
    file = std::fopen("Text.wav", "wb");
    ASSERT_NE(nullptr, file);
    std::fputs("not a wav", file);
    std::fclose(file);
    EXPECT_FALSE(LoadWav("Text.wav", sample, error));
    EXPECT_EQ(0u, error.find("Text.wav: not a WAV file we can read"));
}

namespace
{
void PutLe(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A PCM WAV file: header, format chunk and a data chunk of `data` bytes (claiming `claim`
// bytes when that is given).
std::string MakeWav(int channels, std::uint32_t rate, int bits, const std::string& data,
                    std::uint32_t claim = 0xFFFFFFFFu)
{
    std::string bytes = "RIFF";
    PutLe(bytes, static_cast<std::uint32_t>(36 + data.size()), 4);
    bytes += "WAVEfmt ";
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2);
    PutLe(bytes, static_cast<std::uint32_t>(channels), 2);
    PutLe(bytes, rate, 4);
    PutLe(bytes, rate * static_cast<std::uint32_t>(channels * bits / 8), 4);
    PutLe(bytes, static_cast<std::uint32_t>(channels * bits / 8), 2);
    PutLe(bytes, static_cast<std::uint32_t>(bits), 2);
    bytes += "data";
    PutLe(bytes, claim != 0xFFFFFFFFu ? claim : static_cast<std::uint32_t>(data.size()), 4);
    return bytes + data;
}

void WriteBytes(const char* name, const std::string& bytes)
{
    std::FILE* file = std::fopen(name, "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}
} // namespace

TEST(SoundWavTest, DamagedOrHostileWavFilesAreRefusedWithOneLine)
{
    testsupport::TempWorkDir dir;
    const struct
    {
        const char* name;
        std::string bytes;
        std::string error;
    } cases[] = {
        {"Empty.wav", MakeWav(1, 44100, 16, ""), "Empty.wav: no sound data"},
        {"OneByte.wav", MakeWav(1, 44100, 16, std::string(1, '\x7F')), "OneByte.wav: no sound data"},
        {"StereoHalf.wav", MakeWav(2, 22050, 16, std::string(3, '\x10')), "StereoHalf.wav: no sound data"},
        {"OneHertz.wav", MakeWav(1, 1, 8, std::string(1024, '\x80')),
         "OneHertz.wav: sample rate 1 Hz is outside 8000 to 192000 Hz"},
        {"TooFast.wav", MakeWav(1, 192001, 8, std::string(16, '\x80')),
         "TooFast.wav: sample rate 192001 Hz is outside 8000 to 192000 Hz"},
        {"Claims.wav", MakeWav(1, 44100, 16, std::string(8, '\0'), 4294967280u),
         "Claims.wav: data chunk claims 4294967280 bytes, the file holds 8"},
        {"NoRiff.wav", MakeWav(2, 48000, 32, std::string(8, '\0'), 0xFFFFFF20u).substr(8),
         "NoRiff.wav: data chunk claims 4294967072 bytes, the file holds 8"},
        {"TooLong.wav", MakeWav(1, 8000, 8, std::string(8000 * 601, '\x80')),
         "TooLong.wav: the sound lasts 601 seconds, more than the 600 we play"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteBytes(c.name, c.bytes);
        SampleData sample;
        sample.samples = {1, 2};
        std::string error;
        EXPECT_FALSE(LoadWav(c.name, sample, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(sample.samples, (std::vector<std::int16_t>{1, 2}));
    }
    EXPECT_EQ(MakeWav(1, 44100, 16, std::string(8, '\0'), 4294967280u).size(), 52u);

    // The shortest good sound still loads.
    WriteBytes("OneFrame.wav", MakeWav(1, 44100, 16, std::string("\x10\x00", 2)));
    SampleData sample;
    std::string error;
    ASSERT_TRUE(LoadWav("OneFrame.wav", sample, error)) << error;
    EXPECT_EQ(sample.samples, (std::vector<std::int16_t>{16, 16}));

    // An event whose sound has no data fails with the format error and the file's line.
    std::FILE* project = std::fopen("P.fev", "w");
    ASSERT_NE(nullptr, project);
    std::fputs("project P\ngroup G\n event E\n  file Empty.wav\n end\nend\n", project);
    std::fclose(project);
    FMOD::EventSystem* system = nullptr;
    ASSERT_EQ(FMOD_OK, FMOD::EventSystem_Create(&system));
    ASSERT_EQ(FMOD_OK, system->init(4, FMOD_INIT_NORMAL, nullptr));
    ASSERT_EQ(FMOD_OK, system->load("P.fev", nullptr, nullptr));
    FMOD::Event* event = nullptr;
    EXPECT_EQ(FMOD_ERR_FORMAT, system->getEvent("P/G/E", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ("event \"P/G/E\": Empty.wav: no sound data", soundtest::LastError());
    EXPECT_EQ(FMOD_OK, system->release());
}

TEST(SoundWavTest, TheTestSoundsLoadUnchanged)
{
    SampleData click, hum;
    std::string error;
    ASSERT_TRUE(LoadWav(testsupport::RepoPath("tests/data/sound/Click.wav"), click, error)) << error;
    ASSERT_TRUE(LoadWav(testsupport::RepoPath("tests/data/sound/Hum.wav"), hum, error)) << error;
    EXPECT_EQ(click.samples, (std::vector<std::int16_t>{1000, 1000, 2000, 2000, -3000, -3000, 4000, 4000,
                                                        30000, 30000, 30000, 30000}));
    EXPECT_EQ(hum.samples,
              (std::vector<std::int16_t>{500, -500, 500, -500, 500, -500, 500, -500, 10000, -10000}));
}

TEST(SoundEventSystemTest, WithoutAnAudioDeviceTheSystemRunsSilently)
{
    // Not headless, and an audio driver that does not exist: no device is touched, and the
    // system still comes up.
    const std::string headless = std::getenv("DORVO_HEADLESS") ? std::getenv("DORVO_HEADLESS") : "";
    ::setenv("DORVO_HEADLESS", "0", 1);
    ::setenv("SDL_AUDIODRIVER", "dorvo_no_such_driver", 1);
    FMOD::EventSystem* system = nullptr;
    ASSERT_EQ(FMOD_OK, FMOD::EventSystem_Create(&system));
    const FMOD_RESULT init = system->init(256, FMOD_INIT_NORMAL, nullptr);
    ::setenv("DORVO_HEADLESS", headless.c_str(), 1);
    ::unsetenv("SDL_AUDIODRIVER");
    ASSERT_EQ(FMOD_OK, init);
    FMOD::System* lowLevel = nullptr;
    ASSERT_EQ(FMOD_OK, system->getSystemObject(&lowLevel));
    FMOD_OUTPUTTYPE output = FMOD_OUTPUTTYPE_SDL;
    ASSERT_EQ(FMOD_OK, lowLevel->getOutput(&output));
    EXPECT_EQ(FMOD_OUTPUTTYPE_NOSOUND, output);

    // Playback still runs on the clock, so one-shot sounds finish.
    ASSERT_EQ(FMOD_OK, system->load(kProject.c_str(), nullptr, nullptr));
    FMOD::Event* event = nullptr;
    ASSERT_EQ(FMOD_OK, system->getEvent("QUORBSound/GUI/ButtonPress", FMOD_EVENT_DEFAULT, &event));
    ASSERT_EQ(FMOD_OK, event->start());
    soundtest::ClearRecords();
    system->update();
    testclock::Advance(0.01);
    system->update();
    FMOD_EVENT_STATE state = FMOD_EVENT_STATE_PLAYING;
    event->getState(&state);
    EXPECT_EQ(0u, state & FMOD_EVENT_STATE_PLAYING);
    EXPECT_TRUE(soundtest::Records().empty()); // only the headless backend records
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND, system->getEvent("QUORBSound/GUI/NoSuch", FMOD_EVENT_DEFAULT, &event));
    EXPECT_TRUE(soundtest::MissingEvents().empty());
    EXPECT_EQ(FMOD_OK, system->release());
}

// A player without a sound card reads one line about it: the sound library's own lines (ALSA
// writes them straight to standard error, so that is where this test looks) are dropped. On a
// machine with a card there is nothing to check; where SDL has no ALSA, its line says so.
TEST(SoundEventSystemTest, WithoutASoundCardTheOneLineIsOursAndALSASaysNothing)
{
    const std::string headless = std::getenv("DORVO_HEADLESS") ? std::getenv("DORVO_HEADLESS") : "";
    ::setenv("DORVO_HEADLESS", "0", 1);
    ::setenv("SDL_AUDIODRIVER", "alsa", 1);
    FMOD::EventSystem* system = nullptr;
    ASSERT_EQ(FMOD_OK, FMOD::EventSystem_Create(&system));
    testsupport::LogCapture logged;
    ::testing::internal::CaptureStderr();
    const FMOD_RESULT init = system->init(256, FMOD_INIT_NORMAL, nullptr);
    const std::string err = ::testing::internal::GetCapturedStderr();
    ::setenv("DORVO_HEADLESS", headless.c_str(), 1);
    ::unsetenv("SDL_AUDIODRIVER");
    EXPECT_EQ(FMOD_OK, init);
    FMOD::System* lowLevel = nullptr;
    FMOD_OUTPUTTYPE output = FMOD_OUTPUTTYPE_NOSOUND;
    if (system->getSystemObject(&lowLevel) == FMOD_OK && lowLevel->getOutput(&output) == FMOD_OK &&
        output == FMOD_OUTPUTTYPE_SDL)
    {
        system->release();
        GTEST_SKIP() << "this machine has a sound card";
    }
    EXPECT_EQ(err, "");
    ASSERT_EQ(logged.Lines().size(), 1u) << logged.Text();
    EXPECT_EQ(logged.Lines()[0].rfind("EventSystem::init: no audio ", 0), 0u) << logged.Lines()[0];
    EXPECT_NE(logged.Lines()[0].find("; running without sound"), std::string::npos) << logged.Lines()[0];
    EXPECT_EQ(FMOD_OK, system->release());
}

TEST(SoundEventSystemTest, InstancesFetchedButNeverStartedAreTakenBackAtTheLimit)
{
    FMOD::EventSystem* system = nullptr;
    ASSERT_EQ(FMOD_OK, FMOD::EventSystem_Create(&system));
    ASSERT_EQ(FMOD_OK, system->init(64, FMOD_INIT_NORMAL, nullptr));
    ASSERT_EQ(FMOD_OK, system->load(kProject.c_str(), nullptr, nullptr));
    // Callers that fetch an event and drop it must not leave the event mute for good.
    std::set<FMOD::Event*> fetched;
    for (int i = 0; i < 40; ++i)
    {
        FMOD::Event* event = nullptr;
        ASSERT_EQ(FMOD_OK, system->getEvent("QUORBSound/GUI/Hum", FMOD_EVENT_DEFAULT, &event)) << i;
        fetched.insert(event);
    }
    EXPECT_EQ(32u, fetched.size());
    // Only when every instance plays does the event fail.
    for (FMOD::Event* event : fetched)
        ASSERT_EQ(FMOD_OK, event->start());
    FMOD::Event* event = nullptr;
    EXPECT_EQ(FMOD_ERR_EVENT_FAILED, system->getEvent("QUORBSound/GUI/Hum", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ(nullptr, event);
    EXPECT_EQ(FMOD_OK, system->release());
    soundtest::ClearRecords();
}

TEST_F(SoundEventsTest, HeadlessOutputIsTheRecording)
{
    FMOD::System* lowLevel = nullptr;
    ASSERT_EQ(FMOD_OK, m_system->getSystemObject(&lowLevel));
    FMOD_OUTPUTTYPE output = FMOD_OUTPUTTYPE_SDL;
    ASSERT_EQ(FMOD_OK, lowLevel->getOutput(&output));
    EXPECT_EQ(FMOD_OUTPUTTYPE_RECORDING, output);
}

TEST_F(SoundEventsTest, TwoSoundsMixIntoOneBufferSampleBySample)
{
    Start("QUORBSound/GUI/ButtonPress"); // mono, the same on both sides
    Start("QUORBSound/GUI/Hum");         // stereo, looping
    const auto out = Mix(8);
    const std::vector<std::int16_t> expected = {
        1500,  500,   // 1000 + (500, -500)
        2500,  1500,  // 2000
        -2500, -3500, // -3000
        4500,  3500,  // 4000
        32767, 20000, // 30000 + (10000, -10000): left clamped
        30500, 29500, // 30000 + Hum looped to its first frame
        500,   -500,  // Click has ended
        500,   -500,
    };
    EXPECT_EQ(expected, out);
}

TEST_F(SoundEventsTest, StartsAndStopsAreRecordedWithParameterValues)
{
    FMOD::Event* press = nullptr;
    ASSERT_EQ(FMOD_OK, m_system->getEvent("QUORBSound/GUI/ButtonPress", FMOD_EVENT_DEFAULT, &press));
    FMOD::EventParameter* speed = nullptr;
    ASSERT_EQ(FMOD_OK, press->getParameter("speed", &speed));
    EXPECT_EQ(FMOD_OK, speed->setValue(9.0f)); // clamped to the range
    FMOD::EventParameter* missing = nullptr;
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND, press->getParameter("volume", &missing));
    ASSERT_EQ(FMOD_OK, press->start());
    ASSERT_EQ(FMOD_OK, press->stop());
    EXPECT_EQ(FMOD_OK, press->stop()); // stopping a stopped event is harmless

    const auto& records = soundtest::Records();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("start", records[0].action);
    EXPECT_EQ("QUORBSound/GUI/ButtonPress", records[0].path);
    const std::vector<std::pair<std::string, float>> parameters = {{"pitch", 0.0f}, {"speed", 5.0f}};
    EXPECT_EQ(parameters, records[0].parameters);
    EXPECT_EQ("stop", records[1].action);
}

TEST_F(SoundEventsTest, FinishedEventsAreReusedAndHeldHandlesStayValid)
{
    FMOD::Event* hum = Start("QUORBSound/GUI/Hum");
    FMOD::Event* first = Start("QUORBSound/GUI/ButtonPress");
    FMOD::Event* second = nullptr;
    ASSERT_EQ(FMOD_OK, m_system->getEvent("QUORBSound/GUI/ButtonPress", FMOD_EVENT_DEFAULT, &second));
    EXPECT_NE(first, second); // the first is still playing
    Mix(100);                 // the click ends, the hum loops on
    EXPECT_FALSE(Playing(first));
    EXPECT_TRUE(Playing(hum));
    EXPECT_EQ(FMOD_OK, first->stop()); // a finished event: nothing happens
    FMOD::Event* third = nullptr;
    ASSERT_EQ(FMOD_OK, m_system->getEvent("QUORBSound/GUI/ButtonPress", FMOD_EVENT_DEFAULT, &third));
    EXPECT_EQ(first, third);
    ASSERT_EQ(FMOD_OK, hum->stop());
    EXPECT_FALSE(Playing(hum));
}

TEST_F(SoundEventsTest, GroupsLoadTheirDataAndReportMissingFiles)
{
    FMOD::EventGroup* group = nullptr;
    ASSERT_EQ(FMOD_OK, m_system->getGroup("QUORBSound/GUI", true, &group));
    EXPECT_EQ(FMOD_OK, group->loadEventData());
    ASSERT_EQ(FMOD_OK, m_system->getGroup("QUORBSound/Music", true, &group));
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND, group->loadEventData());
    EXPECT_NE(std::string::npos, soundtest::LastError().find("QUORBSound/Music/Theme"));
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND, m_system->getGroup("QUORBSound/Editor", true, &group));
    FMOD::Event* event = nullptr;
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND,
              m_system->getEvent("QUORBSound/Music/Theme", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ(nullptr, event);
}

TEST_F(SoundEventsTest, EventsAndGroupsNoProjectHasAreListedOnceUntilTheRecordsAreCleared)
{
    FMOD::Event* event = nullptr;
    FMOD::EventGroup* group = nullptr;
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND,
              m_system->getEvent("QUORBSound/GUI/NoSuch", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND, m_system->getGroup("QUORBSound/Editor", true, &group));
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND,
              m_system->getEvent("QUORBSound/GUI/NoSuch", FMOD_EVENT_DEFAULT, &event));
    // Known ones are not listed, not even one whose sound file is missing.
    EXPECT_EQ(FMOD_OK, m_system->getEvent("QUORBSound/GUI/ButtonPress", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ(FMOD_OK, m_system->getGroup("QUORBSound/GUI", true, &group));
    EXPECT_EQ(FMOD_ERR_FILE_NOTFOUND,
              m_system->getEvent("QUORBSound/Music/Theme", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ(std::vector<std::string>({"QUORBSound/GUI/NoSuch", "QUORBSound/Editor"}),
              soundtest::MissingEvents());

    // Cleared with the records; asked for again, listed again (stderr names it only once).
    soundtest::ClearRecords();
    EXPECT_TRUE(soundtest::MissingEvents().empty());
    EXPECT_EQ(FMOD_ERR_EVENT_NOTFOUND,
              m_system->getEvent("QUORBSound/GUI/NoSuch", FMOD_EVENT_DEFAULT, &event));
    EXPECT_EQ(std::vector<std::string>({"QUORBSound/GUI/NoSuch"}), soundtest::MissingEvents());
}

TEST_F(SoundEventsTest, ThreeDimensionalSoundsFadeWithDistanceAndPanToTheirSide)
{
    // WoodHit: volume 0.5, full up to 1 unit, silent from 11. Listener at the origin looking
    // down +z with y up, so +x is to the right.
    struct Case
    {
        FMOD_VECTOR position;
        std::int16_t left;
        std::int16_t right;
    };
    const Case cases[] = {
        {{0.0f, 0.0f, 0.5f}, 500, 500}, // ahead, within the minimum distance
        {{0.0f, 0.0f, 6.0f}, 250, 250}, // half-way to silence
        {{0.0f, 0.0f, 20.0f}, 0, 0},    // beyond the maximum
        {{1.0f, 0.0f, 0.0f}, 0, 500},   // hard right: the left side is silent
        {{-1.0f, 0.0f, 0.0f}, 500, 0},  // hard left
        {{3.0f, 0.0f, 4.0f}, 120, 300}, // 5 away (0.6), 0.6 to the right: left 0.5 x 0.6 x 0.4
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.position.x * 100 + c.position.z);
        FMOD::Event* event = nullptr;
        ASSERT_EQ(FMOD_OK, m_system->getEvent("QUORBSound/Collision/WoodHit", FMOD_EVENT_DEFAULT, &event));
        ASSERT_EQ(FMOD_OK, event->set3DAttributes(&c.position, nullptr, nullptr));
        ASSERT_EQ(FMOD_OK, event->start());
        const auto out = Mix(1); // first Click frame: 1000
        EXPECT_EQ(c.left, out[0]);
        EXPECT_EQ(c.right, out[1]);
        event->stop();
    }
    // Turning the listener around swaps the sides of a playing sound.
    FMOD::Event* event = nullptr;
    ASSERT_EQ(FMOD_OK, m_system->getEvent("QUORBSound/Collision/WoodHit", FMOD_EVENT_DEFAULT, &event));
    const FMOD_VECTOR right{1.0f, 0.0f, 0.0f};
    event->set3DAttributes(&right, nullptr, nullptr);
    event->start();
    const FMOD_VECTOR origin, back{0.0f, 0.0f, -1.0f}, up{0.0f, 1.0f, 0.0f};
    ASSERT_EQ(FMOD_OK, m_system->set3DListenerAttributes(0, &origin, &origin, &back, &up));
    const auto out = Mix(1);
    EXPECT_EQ(500, out[0]);
    EXPECT_EQ(0, out[1]);
}

TEST_F(SoundEventsTest, ParameterVelocityMovesTheValueWithinItsRangeOnUpdate)
{
    FMOD::Event* event = Start("QUORBSound/GUI/ButtonPress");
    FMOD::EventParameter* speed = nullptr;
    ASSERT_EQ(FMOD_OK, event->getParameter("speed", &speed));
    speed->setValue(0.0f);
    speed->setVelocity(4.0f); // units a second
    m_system->update();
    testclock::Advance(0.5);
    m_system->update();
    float value = 0.0f;
    speed->getValue(&value);
    EXPECT_FLOAT_EQ(2.0f, value);
    testclock::Advance(1.0);
    m_system->update();
    speed->getValue(&value);
    EXPECT_FLOAT_EQ(5.0f, value);
}
