#pragma once

#include <cstdint>

namespace platform
{

class EventObject;

// An unnamed, auto-reset event object: a waiter that finds it signalled
// consumes the signal. Like a kernel handle it is reference counted, so a
// device that signals it may keep its own reference after the creator has
// closed it.
using EventHandle = EventObject *;

// A new event object, not signalled, with one reference.
EventHandle CreateEventObject();

// One more reference to the same object, for a second holder.
EventHandle DuplicateEventObject(EventHandle event);

// Drops one reference; the object goes with the last. A null handle is
// ignored.
void CloseEventObject(EventHandle event);

// Signals the object: one waiter, present or future, is released.
void SetEventObject(EventHandle event);

// Waits until the object is signalled or the time-out has passed.
// True when it was signalled (and the signal consumed), false on time-out.
// A null handle returns false at once.
bool WaitForEventObject(EventHandle event, std::uint32_t timeoutMs);

// How many event objects exist in the process, so that a test can prove
// that no handle is left behind.
int LiveEventObjectCount();

} // namespace platform
