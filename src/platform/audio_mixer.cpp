#include "platform/audio_mixer.h"

#include <algorithm>
#include <cmath>

namespace plat
{
namespace
{
// A gain that is not a number (a sound placed at infinity) plays silent.
float SafeGain(float gain)
{
    return std::isfinite(gain) ? gain : 0.0f;
}
} // namespace

AudioMixer::AudioMixer(int maxVoices) : m_maxVoices(std::max(1, maxVoices)) {}

AudioMixer::VoiceId AudioMixer::Play(std::shared_ptr<const SampleData> sample, float leftGain,
                                     float rightGain, bool loop)
{
    if (!sample || sample->FrameCount() == 0)
        return 0;
    std::lock_guard<std::mutex> guard(m_lock);
    if (static_cast<int>(m_voices.size()) >= m_maxVoices)
        return 0;
    const VoiceId id = m_nextId++;
    if (m_nextId == 0)
        m_nextId = 1;
    m_voices.push_back(Voice{id, std::move(sample), 0, SafeGain(leftGain), SafeGain(rightGain), loop});
    return id;
}

void AudioMixer::Stop(VoiceId voice)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_voices.erase(
        std::remove_if(m_voices.begin(), m_voices.end(), [&](const Voice& v) { return v.id == voice; }),
        m_voices.end());
}

void AudioMixer::SetGains(VoiceId voice, float leftGain, float rightGain)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (Voice& v : m_voices)
    {
        if (v.id == voice)
        {
            v.leftGain = SafeGain(leftGain);
            v.rightGain = SafeGain(rightGain);
        }
    }
}

bool AudioMixer::IsPlaying(VoiceId voice) const
{
    if (voice == 0)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    return std::any_of(m_voices.begin(), m_voices.end(), [&](const Voice& v) { return v.id == voice; });
}

void AudioMixer::Mix(std::int16_t* out, int frames)
{
    if (frames <= 0)
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    m_accumulator.assign(static_cast<std::size_t>(frames) * 2, 0.0f);
    for (Voice& voice : m_voices)
    {
        const std::vector<std::int16_t>& samples = voice.sample->samples;
        const int length = voice.sample->FrameCount();
        for (int frame = 0; frame < frames; ++frame)
        {
            if (voice.position >= length)
            {
                if (!voice.loop)
                    break;
                voice.position = 0;
            }
            m_accumulator[2 * frame] += samples[2 * voice.position] * voice.leftGain;
            m_accumulator[2 * frame + 1] += samples[2 * voice.position + 1] * voice.rightGain;
            ++voice.position;
        }
    }
    m_voices.erase(std::remove_if(m_voices.begin(), m_voices.end(),
                                  [](const Voice& v)
                                  { return !v.loop && v.position >= v.sample->FrameCount(); }),
                   m_voices.end());
    for (std::size_t i = 0; i < m_accumulator.size(); ++i)
    {
        // Loud voices may sum to infinities of both signs: NaN plays as silence.
        const float value = std::isnan(m_accumulator[i]) ? 0.0f : std::round(m_accumulator[i]);
        out[i] = static_cast<std::int16_t>(std::clamp(value, -32768.0f, 32767.0f));
    }
}
} // namespace plat
