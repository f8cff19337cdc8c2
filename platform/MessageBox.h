#pragma once
// Modal message boxes: Show blocks the caller until the player answers, while
// the window keeps drawing. Tests install a scripted one.
#include <string>

namespace rodavia {

enum class MsgKind { Error, Warning, Information, Confirmation };
enum class MsgButtons { Ok, YesNo, RetryCancel };
enum class MsgResult { Ok, Yes, No, Retry, Cancel };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons);

 protected:
  virtual MsgResult Ask(MsgKind kind, const std::string& text, MsgButtons buttons) = 0;
};

MessageBoxes& Messages();
void SetMessages(MessageBoxes* boxes);
// Whether a message box is waiting for its answer (its loop is running).
bool MessageBoxShowing();

inline void ShowError(const std::string& text) { Messages().Show(MsgKind::Error, text, MsgButtons::Ok); }
inline void ShowWarning(const std::string& text) { Messages().Show(MsgKind::Warning, text, MsgButtons::Ok); }
inline void ShowInformation(const std::string& text) {
  Messages().Show(MsgKind::Information, text, MsgButtons::Ok);
}

}  // namespace rodavia
