// The sound project parser and, for projects it accepts, the event system the game drives: load,
// group data, start, stop, 3D placement with any floats, parameters, update and mixing. The input
// is the project text, a NUL byte, then the bytes that choose the calls. Events may name the
// sounds "Click.wav" and "Hum.wav" of the tests, which sit beside the project.
// Bounded run: 10000 inputs
#include "FuzzSupport.h"

#include "platform/sound_events.h"
#include "platform/sound_project.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace plat;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    fuzzsupport::InWorkFolder here;
    for (const char* name : {"Click.wav", "Hum.wav"})
        fuzzsupport::WriteFile(
            name, fuzzsupport::ReadFile(fuzzsupport::RepoPath(std::string("tests/data/sound/") + name)));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string text = input.substr(0, cut);
    const std::string calls = cut == std::string::npos ? std::string() : input.substr(cut + 1);

    SoundProjectDesc project;
    std::string error;
    if (!ParseSoundProject(text, "Project.fev", "", project, error))
    {
        FUZZ_CHECK(fuzzsupport::IsOneLine(error), "the refusal is not one line: " + error);
        return 0;
    }
    fuzzsupport::WriteFile("Project.fev", text);
    FMOD::EventSystem* system = nullptr;
    FUZZ_CHECK(FMOD::EventSystem_Create(&system) == FMOD_OK, "no event system");
    FUZZ_CHECK(system->init(16, FMOD_INIT_NORMAL, nullptr) == FMOD_OK, "no output");
    FUZZ_CHECK(system->load("Project.fev", nullptr, nullptr) == FMOD_OK, "an accepted project does not load");

    FuzzedDataProvider choose(reinterpret_cast<const std::uint8_t*>(calls.data()), calls.size());
    std::vector<FMOD::Event*> events;
    std::vector<std::int16_t> mixed;
    auto anyFloat = [&]()
    {
        return choose.ConsumeBool() ? choose.ConsumeFloatingPoint<float>()
                                    : choose.ConsumeFloatingPointInRange(-20.0f, 20.0f);
    };
    for (const std::string& group : project.groups)
    {
        FMOD::EventGroup* handle = nullptr;
        if (system->getGroup(group.c_str(), true, &handle) == FMOD_OK)
            handle->loadEventData();
    }
    for (int step = 0; step < 64 && choose.remaining_bytes() > 0; ++step)
    {
        const int what = choose.ConsumeIntegralInRange(0, 7);
        if (what == 0 && !project.events.empty())
        {
            const SoundEventDesc& desc =
                project.events[choose.ConsumeIntegralInRange<std::size_t>(0, project.events.size() - 1)];
            FMOD::Event* event = nullptr;
            if (system->getEvent(desc.path.c_str(), FMOD_EVENT_DEFAULT, &event) == FMOD_OK)
                events.push_back(event);
            continue;
        }
        if (what == 5)
        {
            FMOD_VECTOR position{anyFloat(), anyFloat(), anyFloat()};
            FMOD_VECTOR forward{anyFloat(), anyFloat(), anyFloat()};
            FMOD_VECTOR up{anyFloat(), anyFloat(), anyFloat()};
            system->set3DListenerAttributes(0, &position, nullptr, &forward, &up);
            continue;
        }
        if (what == 6)
        {
            system->update();
            continue;
        }
        if (what == 7)
        {
            mixed.assign(2 * 256, 0);
            FUZZ_CHECK(soundtest::Mix(system, mixed.data(), 256) == FMOD_OK, "mixing failed");
            continue;
        }
        if (events.empty())
            continue;
        FMOD::Event* event = events[choose.ConsumeIntegralInRange<std::size_t>(0, events.size() - 1)];
        if (what == 1)
            event->start();
        else if (what == 2)
            event->stop();
        else if (what == 3)
        {
            FMOD_VECTOR position{anyFloat(), anyFloat(), anyFloat()};
            FMOD_VECTOR velocity{anyFloat(), anyFloat(), anyFloat()};
            FMOD_VECTOR forward{anyFloat(), anyFloat(), anyFloat()};
            event->set3DAttributes(&position, &velocity, &forward);
        }
        else
        {
            const std::string name = choose.ConsumeRandomLengthString(16);
            FMOD::EventParameter* parameter = nullptr;
            if (event->getParameter(name.c_str(), &parameter) == FMOD_OK)
            {
                parameter->setValue(anyFloat());
                parameter->setVelocity(anyFloat());
                float minimum = 0.0f, maximum = 0.0f, value = 0.0f;
                parameter->getRange(&minimum, &maximum);
                parameter->getValue(&value);
                FUZZ_CHECK(value >= minimum && value <= maximum, "a parameter left its range");
            }
        }
    }
    mixed.assign(2 * 512, 0);
    FUZZ_CHECK(soundtest::Mix(system, mixed.data(), 512) == FMOD_OK, "mixing failed");
    system->release();
    soundtest::ClearRecords();
    return 0;
}
