#pragma once
// Work handed to the window thread from other threads (the network's
// receiving thread): queued here, run by "process pending window messages",
// so the game's handlers only ever run on the window thread, one at a time.
#include <functional>

namespace rodavia {

// Thread-safe: queues `work` and wakes a window loop that waits for events.
void PostToWindow(std::function<void()> work);
// On the window thread: runs what was queued until now; true when anything ran.
bool RunPostedWork();
// How a sleeping window loop is woken (the SDL application pushes an event).
void SetWindowWake(std::function<void()> wake);

}  // namespace rodavia
