#pragma once
// One message box as the player sees it: a title by kind, the text (a CR
// alone or CR LF breaks a line) and the buttons of its kind. Enter answers
// with the first button, Escape with the cancelling one.
#include <imgui.h>

#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace rodavia {

class MessageBoxView {
 public:
  MessageBoxView(MsgKind kind, const std::string& text, MsgButtons buttons);

  const std::string& Title() const { return title_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<std::string>& ButtonCaptions() const { return captions_; }

  bool Answered() const { return answered_; }
  MsgResult Result() const { return result_; }
  void AnswerFirst() { Answer(buttons_.front()); }
  void AnswerCancel() { Answer(buttons_.back()); }

  // Draws the box as window `layer`, centred; `appearing` on its first
  // frame (front, keyboard focus on the first button).
  void Draw(int layer, bool appearing);

 private:
  void DrawText(ImVec2 room);
  void Answer(MsgResult r);
  std::string title_;
  std::vector<std::string> lines_;
  std::vector<MsgResult> buttons_;  // the cancelling one last
  std::vector<std::string> captions_;
  bool answered_ = false;
  MsgResult result_ = MsgResult::Ok;
};

}  // namespace rodavia
