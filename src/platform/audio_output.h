// The SDL2 side of sound: WAV decoding into the mixing format and the audio device that pulls
// the mixer. Only platform/audio_sdl.cpp includes SDL.
#pragma once

#include "platform/audio_mixer.h"

#include <string>

namespace plat
{
// Sample rates and lengths of sound we load; anything else is damaged or not meant for us.
constexpr std::uint32_t kMinWavRate = 8000;   // Hz
constexpr std::uint32_t kMaxWavRate = 192000; // Hz
constexpr double kMaxWavSeconds = 600.0;      // ten minutes

// Reads a WAV file (8000 to 192000 Hz, 8/16/32-bit or float, mono or stereo, at most ten
// minutes, at least one frame) and converts it to kMixRate 16-bit stereo. On failure returns
// false with a one-line reason in error and leaves out unchanged; never throws.
bool LoadWav(const std::string& path, SampleData& out, std::string& error);

// The SDL2 audio device. Open returns false (with the reason) when no device can be opened;
// the caller then runs silently.
class SdlAudioOutput
{
public:
    SdlAudioOutput() = default;
    ~SdlAudioOutput();
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    bool Open(AudioMixer* mixer, std::string& error);
    void Close();

private:
    std::uint32_t m_device = 0;
    bool m_subsystem = false;
};
} // namespace plat
