#include "platform/sdl/MessageBoxView.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "platform/sdl/LobbyTheme.h"

namespace rodavia {

namespace {

// The least room between a box and the edges of the screen.
constexpr float kMargin = 12;

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

// The lines as they are when they fit in `room`; otherwise in a panel of
// that size that scrolls both ways (a race of 16 players' results), so
// every line and column can be reached.
void MessageBoxView::DrawText(ImVec2 room) {
  ImVec2 size(0, 0);
  for (const std::string& line : lines_) size.x = std::max(size.x, ImGui::CalcTextSize(line.c_str()).x);
  size.y = lines_.size() * ImGui::GetTextLineHeightWithSpacing();
  const bool fits = size.x <= room.x && size.y <= room.y;
  if (!fits) {
    const float bar = ImGui::GetStyle().ScrollbarSize;
    const ImVec2 panel(std::min(size.x + bar, room.x), std::min(size.y + bar, room.y));
    ImGui::BeginChild("##text", panel, false, ImGuiWindowFlags_HorizontalScrollbar);
  }
  for (const std::string& line : lines_) ImGui::TextUnformatted(line.empty() ? " " : line.c_str());
  if (!fits) ImGui::EndChild();
}

void MessageBoxView::Answer(MsgResult r) {
  if (answered_) return;
  answered_ = true;
  result_ = r;
}

void MessageBoxView::Draw(int layer, bool appearing) {
  const ImGuiViewport& screen = *ImGui::GetMainViewport();
  const ImVec2 padding(20, 16);
  const ImVec2 largest(screen.Size.x - 2 * kMargin, screen.Size.y - 2 * kMargin);
  ImGui::SetNextWindowPos(screen.GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  ImGui::SetNextWindowSizeConstraints(ImVec2(std::min(300.0f, largest.x), 0), largest);
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, padding);
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
  // The room the text has inside the largest box, under the title and over
  // the gap and the buttons.
  const float buttonsHeight = 8 + 2 * ImGui::GetStyle().ItemSpacing.y + ImGui::GetFrameHeight();
  const ImVec2 room(largest.x - 2 * padding.x, largest.y - ImGui::GetFrameHeight() - 2 * padding.y - buttonsHeight);
  DrawText(room);
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
