#include "platform/MessageBox.h"

#include <cstdio>

namespace rodavia {

namespace {
// Without a window (tools, early start-up) messages go to standard error and
// take the first answer.
class ConsoleMessages : public MessageBoxes {
 public:
  MsgResult Ask(MsgKind, const std::string& text, MsgButtons buttons) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    switch (buttons) {
      case MsgButtons::YesNo: return MsgResult::Yes;
      case MsgButtons::RetryCancel: return MsgResult::Cancel;
      default: return MsgResult::Ok;
    }
  }
};

MessageBoxes*& Installed() {
  static MessageBoxes* boxes = nullptr;
  return boxes;
}

int showing = 0;  // boxes open, one inside another's loop included
}  // namespace

MsgResult MessageBoxes::Show(MsgKind kind, const std::string& text, MsgButtons buttons) {
  ++showing;
  struct Closed {
    ~Closed() { --showing; }
  } closed;
  return Ask(kind, text, buttons);
}

bool MessageBoxShowing() { return showing > 0; }

MessageBoxes& Messages() {
  static ConsoleMessages console;
  return Installed() ? *Installed() : console;
}

void SetMessages(MessageBoxes* boxes) { Installed() = boxes; }

}  // namespace rodavia
