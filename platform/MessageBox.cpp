#include "platform/MessageBox.h"

#include <cstdio>

namespace rodavia {

namespace {
// Without a window (tools, early start-up) messages go to standard error and
// take the first answer.
class ConsoleMessages : public MessageBoxes {
 public:
  MsgResult Show(MsgKind, const std::string& text, MsgButtons buttons) override {
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
}  // namespace

MessageBoxes& Messages() {
  static ConsoleMessages console;
  return Installed() ? *Installed() : console;
}

void SetMessages(MessageBoxes* boxes) { Installed() = boxes; }

}  // namespace rodavia
