#pragma once
// The application: processing pending window messages from anywhere (nested
// loops, waits), and ending the program after a fatal message.
#include <functional>
#include <string>

namespace rodavia {

class TForm;

// Thrown by EndProgram and caught by the program entry, which then closes
// down cleanly. Nothing else catches it.
struct ProgramEnd {};

[[noreturn]] void EndProgram();

// Handles pending events, work posted to the window, timers and drawing
// once. The real application installs its loop step; tests may install their
// own (without one, only the posted work runs).
void ProcessMessages();
void SetProcessMessages(std::function<void()> step);

// Asks for one more frame of the windows: their controls changed outside
// any event, timer that shows its ticks or posted work.
void RequestFrame();
void SetRequestFrame(std::function<void()> request);

// Shows a window modally: a nested loop until its ModalResult is set or it
// is closed; answers the ModalResult (0 when closed). The real application
// installs its loop; tests install their own (by default 0 at once).
int ShowModal(TForm& form);
void SetShowModal(std::function<int(TForm&)> show);

// Opens an address ("http://...", "mailto:...") with the desktop's handler.
void OpenAddress(const std::string& address);
void SetOpenAddress(std::function<void(const std::string&)> open);

}  // namespace rodavia
