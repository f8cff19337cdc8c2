#include "platform/sdl/MessageBoxView.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "platform/sdl/LobbyTheme.h"

namespace rodavia {

namespace {

const char* TitleOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Error: return "Error";
    case MsgKind::Warning: return "Advertencia";
    case MsgKind::Information: return "Información";
    case MsgKind::Confirmation: return "Confirmación";
  }
  return "";
}

std::vector<MsgResult> ButtonsOf(MsgButtons b) {
  switch (b) {
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::RetryCancel: return {MsgResult::Retry, MsgResult::Cancel};
    case MsgButtons::Ok: break;
  }
  return {MsgResult::Ok};
}

const char* CaptionOf(MsgResult r) {
  switch (r) {
    case MsgResult::Ok: return "Aceptar";
    case MsgResult::Yes: return "Sí";
    case MsgResult::No: return "No";
    case MsgResult::Retry: return "Reintentar";
    case MsgResult::Cancel: return "Cancelar";
  }
  return "";
}

// CR LF, a CR alone and LF alone all end a line.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

}  // namespace

MessageBoxView::MessageBoxView(MsgKind kind, const std::string& text, MsgButtons buttons)
    : title_(TitleOf(kind)), lines_(SplitLines(text)), buttons_(ButtonsOf(buttons)) {
  for (MsgResult r : buttons_) captions_.push_back(CaptionOf(r));
}

void MessageBoxView::Answer(MsgResult r) {
  if (answered_) return;
  answered_ = true;
  result_ = r;
}

void MessageBoxView::Draw(int layer, bool appearing) {
  const ImVec2 centre = ImGui::GetMainViewport()->GetCenter();
  ImGui::SetNextWindowPos(centre, ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  ImGui::SetNextWindowSizeConstraints(ImVec2(300, 0), ImVec2(900, 700));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(20, 16));
  const std::string name = title_ + "###message" + std::to_string(layer);
  ImGui::Begin(name.c_str(), nullptr,
               ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoMove |
                   ImGuiWindowFlags_NoSavedSettings);
  ImGui::PopStyleVar();
  if (appearing) {
    ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
    ImGui::SetWindowFocus();
  }
  ImGui::PushFont(LobbyFont(12, false));
  for (const std::string& line : lines_) ImGui::TextUnformatted(line.empty() ? " " : line.c_str());
  ImGui::PopFont();
  ImGui::Dummy(ImVec2(0, 8));

  const float width = 100, spacing = ImGui::GetStyle().ItemSpacing.x;
  const float row = buttons_.size() * width + (buttons_.size() - 1) * spacing;
  ImGui::SetCursorPosX(std::max(ImGui::GetCursorPosX(), (ImGui::GetWindowWidth() - row) / 2));
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (i > 0) ImGui::SameLine();
    if (i == 0 && appearing) ImGui::SetKeyboardFocusHere();
    if (ImGui::Button(captions_[i].c_str(), ImVec2(width, 0))) Answer(buttons_[i]);
  }
  ImGui::End();
}

}  // namespace rodavia
