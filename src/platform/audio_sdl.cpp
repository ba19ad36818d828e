#include "platform/audio_output.h"
#include "platform/files.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace plat
{
namespace
{
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::FILE* file = OpenFile(path, "rb");
    if (!file)
        return false;
    unsigned char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return true;
}

void SDLCALL PullMixer(void* user, Uint8* stream, int length)
{
    static_cast<AudioMixer*>(user)->Mix(reinterpret_cast<std::int16_t*>(stream),
                                        length / static_cast<int>(2 * sizeof(std::int16_t)));
}
} // namespace

bool LoadWav(const std::string& path, SampleData& out, std::string& error)
{
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes))
    {
        error = path + ": cannot open the file";
        return false;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!stream || !SDL_LoadWAV_RW(stream, 1, &spec, &data, &length))
    {
        error = path + ": not a WAV file we can read (" + SDL_GetError() + ")";
        return false;
    }
    // 16-bit sound at the mixing rate is copied as it is (mono doubled): SDL's converter goes
    // through float and would move loud samples by one step.
    if (spec.freq == kMixRate && spec.format == AUDIO_S16SYS && (spec.channels == 1 || spec.channels == 2))
    {
        const std::size_t frames = length / (spec.channels * sizeof(std::int16_t));
        out.samples.resize(frames * 2);
        const auto* source = reinterpret_cast<const std::int16_t*>(data);
        for (std::size_t frame = 0; frame < frames; ++frame)
        {
            out.samples[2 * frame] = source[spec.channels * frame];
            out.samples[2 * frame + 1] = source[spec.channels * frame + spec.channels - 1];
        }
        SDL_FreeWAV(data);
        return true;
    }
    SDL_AudioCVT convert;
    const int build =
        SDL_BuildAudioCVT(&convert, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 2, kMixRate);
    if (build < 0)
    {
        SDL_FreeWAV(data);
        error = path + ": cannot convert the sound (" + SDL_GetError() + ")";
        return false;
    }
    std::vector<Uint8> buffer(static_cast<std::size_t>(length) * static_cast<std::size_t>(convert.len_mult) +
                              16);
    std::memcpy(buffer.data(), data, length);
    SDL_FreeWAV(data);
    int converted = static_cast<int>(length);
    if (build == 1)
    {
        convert.buf = buffer.data();
        convert.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&convert) != 0)
        {
            error = path + ": cannot convert the sound (" + SDL_GetError() + ")";
            return false;
        }
        converted = convert.len_cvt;
    }
    const std::size_t frames = static_cast<std::size_t>(converted) / (2 * sizeof(std::int16_t));
    out.samples.resize(frames * 2);
    std::memcpy(out.samples.data(), buffer.data(), frames * 2 * sizeof(std::int16_t));
    return true;
}

SdlAudioOutput::~SdlAudioOutput()
{
    Close();
}

bool SdlAudioOutput::Open(AudioMixer* mixer, std::string& error)
{
    Close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        error = std::string("no audio driver: ") + SDL_GetError();
        return false;
    }
    m_subsystem = true;
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = kMixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024; // about 23 ms a block
    wanted.callback = &PullMixer;
    wanted.userdata = mixer;
    SDL_AudioSpec obtained;
    // No changes allowed: SDL converts to what the device wants, the mixer keeps one format.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0)
    {
        error = std::string("no audio device: ") + SDL_GetError();
        Close();
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioOutput::Close()
{
    if (m_device != 0)
    {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    if (m_subsystem)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_subsystem = false;
    }
}
} // namespace plat
