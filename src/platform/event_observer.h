// Observers of the raw backend events. The SDL backend hands every event it pumps to each
// observer (as an SDL_Event pointer, typed void so this header stays free of SDL) before it
// turns the event into a window message; the input devices listen here.
#pragma once

namespace plat
{
using RawEventObserver = void (*)(const void* event, void* user);

void AddRawEventObserver(RawEventObserver observer, void* user);
void RemoveRawEventObserver(RawEventObserver observer, void* user);

// Called by the backend for each pumped event.
void NotifyRawEvent(const void* event);
} // namespace plat
