#pragma once
// Threads as the runtime starts them, and the few ways threads meet.
#include <cstdint>

namespace thread {

using BodyFn = void (*)(void* arg);
// Starts body(arg) in a new thread with the default stack; the thread's
// handle, or -1 (as an unsigned value) when it could not be started.
std::uintptr_t begin(BodyFn body, void* arg);
const std::uintptr_t Failed = static_cast<std::uintptr_t>(-1);

// The calling thread's identifier.
unsigned long currentId();
// Wakes the thread id if it sleeps waiting for messages.
void wake(unsigned long id);
void sleepMillis(unsigned ms);

}  // namespace thread
