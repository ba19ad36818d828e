// WAV loading on any file, then the mixer playing what loaded: a refusal is one line naming the
// file, a sound that loads has at least one frame and plays.
// Bounded run: 6000 inputs
#include "FuzzSupport.h"

#include "platform/audio_mixer.h"
#include "platform/audio_output.h"

#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    fuzzsupport::WriteFile("Sound.wav", std::string(reinterpret_cast<const char*>(data), size));
    auto sample = std::make_shared<plat::SampleData>();
    std::string error;
    if (!plat::LoadWav("Sound.wav", *sample, error))
    {
        FUZZ_CHECK(fuzzsupport::IsOneLine(error), "the refusal is not one line: " + error);
        FUZZ_CHECK(error.compare(0, 11, "Sound.wav: ") == 0, "the refusal does not name the file: " + error);
        FUZZ_CHECK(sample->samples.empty(), "a refused sound left data");
        return 0;
    }
    FUZZ_CHECK(sample->FrameCount() >= 1, "a loaded sound has no frame");
    FUZZ_CHECK(sample->samples.size() % 2 == 0, "a loaded sound is not stereo");
    FUZZ_CHECK(static_cast<double>(sample->FrameCount()) <= 600.0 * plat::kMixRate + 1024,
               "longer than ten minutes");
    plat::AudioMixer mixer(4);
    const plat::AudioMixer::VoiceId once = mixer.Play(sample, 1.0f, 0.5f, false);
    const plat::AudioMixer::VoiceId looped = mixer.Play(sample, -1.0f, 1e30f, true);
    FUZZ_CHECK(once != 0 && looped != 0, "a loaded sound does not play");
    std::vector<std::int16_t> out(2 * 1000);
    mixer.Mix(out.data(), 1000);
    mixer.Stop(looped);
    return 0;
}
