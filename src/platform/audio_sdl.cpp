#include "platform/audio_output.h"
#include "platform/files.h"

#include <SDL.h>
#include <dlfcn.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace plat
{
namespace
{
// ALSA's library writes lines of its own to standard error when it finds no sound card, about
// ten before SDL gives up on it, and the player then reads our one line about running without
// sound after them. Its error hook is given a handler that drops them. The library is found by
// name, so the build needs no ALSA package; where it is missing, nothing needs quieting.
void DropAlsaLine(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa()
{
    static const bool quieted = []
    {
        using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetErrorHandler = int (*)(ErrorHandler);
        // Kept open: SDL loads the same library, and the hook is that library's.
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        void* symbol = library ? dlsym(library, "snd_lib_error_set_handler") : nullptr;
        if (!symbol)
            return false;
        SetErrorHandler set = nullptr;
        std::memcpy(&set, &symbol, sizeof set);
        return set(&DropAlsaLine) == 0;
    }();
    (void)quieted;
}

void SDLCALL PullMixer(void* user, Uint8* stream, int length)
{
    static_cast<AudioMixer*>(user)->Mix(reinterpret_cast<std::int16_t*>(stream),
                                        length / static_cast<int>(2 * sizeof(std::int16_t)));
}
} // namespace

namespace
{
std::uint32_t ReadLe32(const std::vector<unsigned char>& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::string ChunkName(const std::vector<unsigned char>& bytes, std::size_t at)
{
    std::string name;
    for (std::size_t i = 0; i < 4; ++i)
    {
        const unsigned char c = bytes[at + i];
        if (c < 32 || c > 126)
            return "a";
        name += static_cast<char>(c);
    }
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name.empty() ? "a" : name;
}

// Walks the RIFF chunks before SDL sees them: SDL allocates what a chunk claims, so a damaged
// size would cost gigabytes. Also refuses sample rates we do not play. SDL also reads files
// whose RIFF header is missing (they begin with "WAVE"); files that are neither are left to SDL,
// which refuses them.
bool CheckWavChunks(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
    std::size_t first = 0;
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
        std::memcmp(bytes.data() + 8, "WAVE", 4) == 0)
        first = 12;
    else if (bytes.size() >= 4 && std::memcmp(bytes.data(), "WAVE", 4) == 0)
        first = 4;
    else
        return true;
    for (std::size_t at = first; at + 8 <= bytes.size();)
    {
        const std::uint32_t size = ReadLe32(bytes, at + 4);
        const std::size_t holds = bytes.size() - (at + 8);
        if (size > holds)
        {
            error = path + ": " + ChunkName(bytes, at) + " chunk claims " + std::to_string(size) +
                    " bytes, the file holds " + std::to_string(holds);
            return false;
        }
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 8)
        {
            const std::uint32_t rate = ReadLe32(bytes, at + 12);
            if (rate < kMinWavRate || rate > kMaxWavRate)
            {
                error = path + ": sample rate " + std::to_string(rate) + " Hz is outside " +
                        std::to_string(kMinWavRate) + " to " + std::to_string(kMaxWavRate) + " Hz";
                return false;
            }
        }
        at += 8 + static_cast<std::size_t>(size) + (size & 1u);
    }
    return true;
}

bool Decode(const std::string& path, const std::vector<unsigned char>& bytes, SampleData& out,
            std::string& error)
{
    if (!CheckWavChunks(path, bytes, error))
        return false;
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!stream || !SDL_LoadWAV_RW(stream, 1, &spec, &data, &length))
    {
        error = path + ": not a WAV file we can read (" + SDL_GetError() + ")";
        return false;
    }
    // From here SDL's buffer must be freed on every way out.
    struct FreeWav
    {
        Uint8* data;
        ~FreeWav() { SDL_FreeWAV(data); }
    } owner{data};
    const std::size_t frameBytes = static_cast<std::size_t>(spec.channels) *
                                   static_cast<std::size_t>(SDL_AUDIO_BITSIZE(spec.format) / 8);
    if (!data || frameBytes == 0 || length < frameBytes)
    {
        error = path + ": no sound data";
        return false;
    }
    if (spec.freq < static_cast<int>(kMinWavRate) || spec.freq > static_cast<int>(kMaxWavRate))
    {
        error = path + ": sample rate " + std::to_string(spec.freq) + " Hz is outside " +
                std::to_string(kMinWavRate) + " to " + std::to_string(kMaxWavRate) + " Hz";
        return false;
    }
    const double seconds = static_cast<double>(length / frameBytes) / spec.freq;
    if (seconds > kMaxWavSeconds)
    {
        error = path + ": the sound lasts " + std::to_string(static_cast<long long>(seconds)) +
                " seconds, more than the " + std::to_string(static_cast<int>(kMaxWavSeconds)) + " we play";
        return false;
    }
    // 16-bit sound at the mixing rate is copied as it is (mono doubled): SDL's converter goes
    // through float and would move loud samples by one step.
    if (spec.freq == kMixRate && spec.format == AUDIO_S16SYS && (spec.channels == 1 || spec.channels == 2))
    {
        const std::size_t frames = length / (spec.channels * sizeof(std::int16_t));
        std::vector<std::int16_t> samples(frames * 2);
        const auto* source = reinterpret_cast<const std::int16_t*>(data);
        for (std::size_t frame = 0; frame < frames; ++frame)
        {
            samples[2 * frame] = source[spec.channels * frame];
            samples[2 * frame + 1] = source[spec.channels * frame + spec.channels - 1];
        }
        out.samples.swap(samples);
        return true;
    }
    SDL_AudioCVT convert;
    const int build =
        SDL_BuildAudioCVT(&convert, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 2, kMixRate);
    if (build < 0)
    {
        error = path + ": cannot convert the sound (" + SDL_GetError() + ")";
        return false;
    }
    std::vector<Uint8> buffer(static_cast<std::size_t>(length) * static_cast<std::size_t>(convert.len_mult) +
                              16);
    std::memcpy(buffer.data(), data, length);
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
    if (frames == 0)
    {
        error = path + ": no sound data";
        return false;
    }
    std::vector<std::int16_t> samples(frames * 2);
    std::memcpy(samples.data(), buffer.data(), frames * 2 * sizeof(std::int16_t));
    out.samples.swap(samples);
    return true;
}
} // namespace

bool LoadWav(const std::string& path, SampleData& out, std::string& error)
{
    try
    {
        std::vector<unsigned char> bytes;
        if (!ReadDataFile(path, DataKind::Media, bytes, error))
            return false;
        if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        {
            error = path + ": the file is too large for a sound";
            return false;
        }
        return Decode(path, bytes, out, error);
    }
    catch (const std::bad_alloc&)
    {
        error = path + ": not enough memory to load the sound";
        return false;
    }
}

SdlAudioOutput::~SdlAudioOutput()
{
    Close();
}

bool SdlAudioOutput::Open(AudioMixer* mixer, std::string& error)
{
    Close();
    QuietAlsa();
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
