// The game's committed sound project, data/sounds/QUORBSound.fev, as the game loads it through the
// sound system (headless: the recording backend): its five groups load with every WAV, every event
// the game plays is there, the WAVs have the agreed format, the music loops without a click and
// sits below the effects.
#include "engine/SoundSystem.h"

#include "platform/sound_events.h"
#include "platform/sound_project.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

const std::string kFolder = testsupport::RepoPath("data/sounds/");
const std::string kProject = kFolder + "QUORBSound.fev";

const char* const kGroups[] = {"QUORBSound/GUI", "QUORBSound/Editor", "QUORBSound/Collision",
                               "QUORBSound/Objective", "QUORBSound/Music"};
const char* const kEvents[] = {"QUORBSound/GUI/ButtonPress",          "QUORBSound/Editor/EditorError",
                               "QUORBSound/Editor/DeleteWidget",      "QUORBSound/Collision/MetalHit",
                               "QUORBSound/Collision/WoodHit",        "QUORBSound/Collision/NodeBreak",
                               "QUORBSound/Objective/InsideLocation", "QUORBSound/Objective/TargetHit",
                               "QUORBSound/Objective/TimerDone",      "QUORBSound/Music/PuzzleMusic"};
const char* const kMusic = "QUORBSound/Music/PuzzleMusic";

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

plat::SoundProjectDesc ParseProject()
{
    plat::SoundProjectDesc project;
    std::string error;
    EXPECT_TRUE(plat::ParseSoundProject(ReadText(kProject), kProject, kFolder, project, error)) << error;
    return project;
}

// A PCM WAV read straight from its bytes, so the test sees the file as written, not as the mixer
// converts it.
struct Wav
{
    int format = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int16_t> samples;
};

bool ReadWav(const std::string& path, Wav& wav, std::string& error)
{
    const std::string bytes = ReadText(path);
    auto u32 = [&](size_t at)
    {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    };
    auto u16 = [&](size_t at)
    {
        return static_cast<int>(static_cast<unsigned char>(bytes[at]) |
                                static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    {
        error = path + ": not a RIFF WAVE file";
        return false;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= bytes.size();)
    {
        const std::string id = bytes.substr(at, 4);
        const size_t size = u32(at + 4);
        if (at + 8 + size > bytes.size())
        {
            error = path + ": chunk \"" + id + "\" runs past the end";
            return false;
        }
        if (id == "fmt " && size >= 16)
        {
            wav.format = u16(at + 8);
            wav.channels = u16(at + 10);
            wav.rate = static_cast<int>(u32(at + 12));
            wav.bits = u16(at + 22);
            haveFormat = true;
        }
        else if (id == "data" && haveFormat && wav.bits == 16)
        {
            for (size_t i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(static_cast<int16_t>(u16(at + 8 + i)));
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat)
        error = path + ": no \"fmt \" chunk";
    return haveFormat;
}

Wav WavOf(const plat::SoundEventDesc& event)
{
    Wav wav;
    std::string error;
    EXPECT_TRUE(ReadWav(event.file, wav, error)) << error;
    return wav;
}

int Peak(const Wav& wav)
{
    int peak = 0;
    for (int16_t s : wav.samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

class GameSoundsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::soundtest::ClearFailures();
        plat::soundtest::ClearRecords();
        ASSERT_TRUE(m_sound.Init(256));
    }
    void TearDown() override
    {
        m_sound.Shutdown();
        EXPECT_EQ(0, plat::soundtest::LiveEventSystems());
        plat::soundtest::ClearRecords();
    }

    dorvo::SoundSystem& m_sound = dorvo::SoundSystem::Instance();
};
} // namespace

// The start-up steps: the project, then the five groups, whose loading reads every WAV; then
// every event the game plays starts.
TEST_F(GameSoundsTest, TheGameLoadsTheProjectAndPlaysEveryEvent)
{
    ASSERT_TRUE(m_sound.LoadProject(kProject));
    for (const char* group : kGroups)
        EXPECT_TRUE(m_sound.LoadGroup(group)) << group << ": " << plat::soundtest::LastError();
    for (const char* path : kEvents)
    {
        SCOPED_TRACE(path);
        plat::soundtest::ClearRecords();
        plat::FMOD::Event* event = nullptr;
        ASSERT_TRUE(m_sound.PlayEvent(path, nullptr, &event));
        ASSERT_EQ(plat::soundtest::Records().size(), 1u);
        EXPECT_EQ(plat::soundtest::Records()[0].action, "start");
        EXPECT_EQ(plat::soundtest::Records()[0].path, path);
        event->stop(true);
    }
}

TEST(GameSoundsProjectTest, HoldsTheGameGroupsAndEventsAndOnlyTheMusicLoops)
{
    const plat::SoundProjectDesc project = ParseProject();
    EXPECT_EQ(project.name, "QUORBSound");
    EXPECT_EQ(std::set<std::string>(project.groups.begin(), project.groups.end()),
              std::set<std::string>(std::begin(kGroups), std::end(kGroups)));
    std::set<std::string> events;
    for (const plat::SoundEventDesc& event : project.events)
    {
        SCOPED_TRACE(event.path);
        events.insert(event.path);
        EXPECT_EQ(event.loop, event.path == kMusic);
        EXPECT_FALSE(event.is3D);
        EXPECT_GT(event.volume, 0.0f);
    }
    EXPECT_EQ(events, std::set<std::string>(std::begin(kEvents), std::end(kEvents)));
}

// A sound the code plays by a path the project lacks would be silent: every "QUORBSound/..." the
// sources name is a group or an event of the committed project.
TEST(GameSoundsProjectTest, EverySoundTheCodeNamesIsInTheProject)
{
    const plat::SoundProjectDesc project = ParseProject();
    std::set<std::string> known(project.groups.begin(), project.groups.end());
    for (const plat::SoundEventDesc& event : project.events)
        known.insert(event.path);

    const std::regex named("\"(QUORBSound/[A-Za-z0-9_/]*[A-Za-z0-9_])\"");
    int found = 0;
    for (const char* root : {"src", "data/scripts"})
    {
        const fs::path folder = testsupport::RepoPath(root);
        if (!fs::is_directory(folder))
            continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        {
            if (!entry.is_regular_file())
                continue;
            const std::string text = ReadText(entry.path());
            for (std::sregex_iterator it(text.begin(), text.end(), named), end; it != end; ++it)
            {
                ++found;
                EXPECT_EQ(known.count((*it)[1].str()), 1u)
                    << entry.path().string() << " names " << (*it)[1].str() << ", which the project lacks";
            }
        }
    }
    EXPECT_GT(found, 0) << "no sound names found under src: is the pattern still right?";
}

// Mono, 16-bit, 22050 Hz; effects start and end at silence so that neither clicks; the whole
// set stays under a megabyte.
TEST(GameSoundsProjectTest, EveryWavHasTheAgreedFormat)
{
    const plat::SoundProjectDesc project = ParseProject();
    for (const plat::SoundEventDesc& event : project.events)
    {
        SCOPED_TRACE(event.path);
        const Wav wav = WavOf(event);
        EXPECT_EQ(wav.format, 1) << "PCM";
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.bits, 16);
        EXPECT_EQ(wav.rate, 22050);
        ASSERT_GT(wav.samples.size(), 1000u);
        EXPECT_GT(Peak(wav), 8000) << "audible";
        if (!event.loop)
        {
            EXPECT_LE(std::abs(static_cast<int>(wav.samples.front())), 300);
            EXPECT_LE(std::abs(static_cast<int>(wav.samples.back())), 300);
        }
    }
    uintmax_t total = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kFolder))
        total += entry.file_size();
    EXPECT_LT(total, 1024u * 1024u);
}

// The loop's last sample runs into its first like any two neighbours: the jump across the join
// is no larger than the steps on either side of it.
TEST(GameSoundsProjectTest, TheMusicLoopJoinsItsStartWithoutAJump)
{
    const plat::SoundProjectDesc project = ParseProject();
    const auto music = std::find_if(project.events.begin(), project.events.end(),
                                    [](const plat::SoundEventDesc& e) { return e.path == kMusic; });
    ASSERT_NE(music, project.events.end());
    const Wav wav = WavOf(*music);
    const std::vector<int16_t>& s = wav.samples;
    ASSERT_GT(s.size(), 64u);
    const size_t n = s.size();
    auto step = [&](size_t i) { return std::abs(static_cast<int>(s[(i + 1) % n]) - static_cast<int>(s[i])); };
    int around = 0;
    for (size_t k = 1; k <= 16; ++k)
        around = std::max({around, step(n - 1 - k), step(k - 1)});
    const int join = step(n - 1);
    EXPECT_LE(join, 2 * around + 16) << "last " << s[n - 1] << ", first " << s[0];
    EXPECT_LE(join, 1000);

    // A few bars: whole beats at a moderate tempo, long enough not to tire at once.
    const double seconds = static_cast<double>(n) / wav.rate;
    EXPECT_GE(seconds, 6.0);
    EXPECT_LE(seconds, 20.0);
}

TEST(GameSoundsProjectTest, TheMusicIsQuieterThanEveryEffect)
{
    const plat::SoundProjectDesc project = ParseProject();
    double music = 0.0;
    double quietestEffect = 1e9;
    for (const plat::SoundEventDesc& event : project.events)
    {
        const double level = Peak(WavOf(event)) * static_cast<double>(event.volume);
        if (event.path == kMusic)
            music = level;
        else
            quietestEffect = std::min(quietestEffect, level);
    }
    EXPECT_GT(music, 0.0);
    EXPECT_LT(music, 0.6 * quietestEffect);
}

// Nothing stops the music: mixed through the real mixer past its length it is still playing and
// still audible.
TEST_F(GameSoundsTest, TheMusicKeepsPlayingPastItsEnd)
{
    ASSERT_TRUE(m_sound.LoadProject(kProject));
    ASSERT_TRUE(m_sound.LoadGroup("QUORBSound/Music"));
    plat::FMOD::Event* event = nullptr;
    ASSERT_TRUE(m_sound.PlayEvent(kMusic, nullptr, &event));
    plat::FMOD::EventSystem* system = m_sound.GetEventSystem();
    const int second = 44100;
    std::vector<int16_t> out(static_cast<size_t>(second) * 2);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(plat::FMOD_OK, plat::soundtest::Mix(system, out.data(), second));
    plat::FMOD_EVENT_STATE state = 0;
    event->getState(&state);
    EXPECT_NE(state & plat::FMOD_EVENT_STATE_PLAYING, 0u);
    EXPECT_GT(*std::max_element(out.begin(), out.end()), 500);
    event->stop(true);
}
