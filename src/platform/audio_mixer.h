// Mixes the playing sounds into 16-bit stereo at the mixing rate. The audio device's thread
// pulls from it while the main thread starts, stops and places voices, so every operation
// takes the mixer's lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace plat
{
// The mixing format: 44.1 kHz, 16-bit signed, stereo interleaved.
constexpr int kMixRate = 44100;

// Decoded sound: interleaved left/right 16-bit frames at kMixRate.
struct SampleData
{
    std::vector<std::int16_t> samples;
    int FrameCount() const { return static_cast<int>(samples.size() / 2); }
};

class AudioMixer
{
public:
    using VoiceId = std::uint32_t; // 0 is no voice

    explicit AudioMixer(int maxVoices);

    // 0 when every voice is busy or the sample is empty.
    VoiceId Play(std::shared_ptr<const SampleData> sample, float leftGain, float rightGain, bool loop);
    void Stop(VoiceId voice);
    void SetGains(VoiceId voice, float leftGain, float rightGain);
    bool IsPlaying(VoiceId voice) const;

    // Adds every voice's next frames with its gains, clamps to 16 bits and writes out
    // (stereo interleaved). Voices that reach their end stop; looping ones wrap.
    void Mix(std::int16_t* out, int frames);

private:
    struct Voice
    {
        VoiceId id;
        std::shared_ptr<const SampleData> sample;
        int position; // frames
        float leftGain;
        float rightGain;
        bool loop;
    };

    mutable std::mutex m_lock;
    std::vector<Voice> m_voices;
    std::vector<float> m_accumulator;
    int m_maxVoices;
    VoiceId m_nextId = 1;
};
} // namespace plat
