// Small pieces the control tests share: events, records, a hit test steered by the test, and
// callbacks that count their calls and their deletions.
#pragma once

#include "common/InputEvent.h"
#include "engine/gfx/gui/ButtonPressedFunct.h"
#include "engine/gfx/gui/HeldOverFunct.h"
#include "engine/gfx/gui/PointInsideFunct.h"
#include "engine/gfx/gui/TextSubmitFunct.h"
#include "engine/gfx/sprites/SpriteAnimation.h"

#include <cstdint>
#include <string>

namespace controltest
{
inline dorvo::input::InputEvent Event(std::uint32_t code, std::int32_t value)
{
    dorvo::input::InputEvent event;
    event.code = code;
    event.value = value;
    return event;
}

// One frame of width x height from the texture's top left, pivot (0, 0).
inline dorvo::gfx::SpriteAnimation Record(int width, int height, const std::string& name = "")
{
    dorvo::gfx::SpriteAnimation record;
    record.frameWidth = width;
    record.frameHeight = height;
    record.frameCount = 1;
    record.name = name;
    return record;
}

// Where the test says the pointer is.
struct Pointer
{
    bool inside = false;
    plat::POINT asked; // the last point a hit test was given
    int calls = 0;
};

class SteeredHitTest : public dorvo::gfx::PointInsideFunct
{
public:
    explicit SteeredHitTest(Pointer& pointer) : m_pointer(pointer) {}
    bool operator()(const plat::POINT& point) override
    {
        m_pointer.asked = point;
        ++m_pointer.calls;
        return m_pointer.inside;
    }

private:
    Pointer& m_pointer;
};

// Counts calls and deletions into ints the test keeps.
struct Counts
{
    int calls = 0;
    int deletions = 0;
};

class CountingPress : public dorvo::gfx::ButtonPressedFunct
{
public:
    explicit CountingPress(Counts& counts) : m_counts(counts) {}
    ~CountingPress() override { ++m_counts.deletions; }
    void operator()() override { ++m_counts.calls; }

private:
    Counts& m_counts;
};

class CountingHeldOver : public dorvo::gfx::HeldOverFunct
{
public:
    CountingHeldOver(Counts& counts, float delaySeconds) : m_counts(counts) { delay = delaySeconds; }
    ~CountingHeldOver() override { ++m_counts.deletions; }
    void operator()() override { ++m_counts.calls; }

private:
    Counts& m_counts;
};

class CountingSubmit : public dorvo::gfx::TextSubmitFunct
{
public:
    explicit CountingSubmit(Counts& counts) : m_counts(counts) {}
    ~CountingSubmit() override { ++m_counts.deletions; }
    void operator()() override { ++m_counts.calls; }

private:
    Counts& m_counts;
};
} // namespace controltest
