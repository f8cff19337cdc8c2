#include "platform/sdl/FormRenderer.h"

#include <SDL2/SDL_events.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <string>

#include "platform/sdl/LobbyTheme.h"
#include "platform/sdl/VirtualKeys.h"

namespace rodavia {

namespace {

ImVec2 operator+(ImVec2 a, ImVec2 b) { return ImVec2(a.x + b.x, a.y + b.y); }
ImVec2 operator-(ImVec2 a, ImVec2 b) { return ImVec2(a.x - b.x, a.y - b.y); }

// Position relative to the form's client area, through every parent.
ImVec2 Offset(const TControl& c) {
  ImVec2 o(0, 0);
  for (const TControl* p = &c; p; p = p->Parent) o = o + ImVec2(float(p->Left), float(p->Top));
  return o;
}

ImVec2 Size(const TControl& c) { return ImVec2(float(c.Width), float(c.Height)); }

// A control on a tab sheet that is not its page control's active page is
// hidden, whatever the sheet's own Visible says.
bool OnHiddenPage(const TControl& c) {
  for (const TControl* p = &c; p; p = p->Parent) {
    if (p->Kind() != ControlKind::TabSheet || !p->Parent || p->Parent->Kind() != ControlKind::PageControl)
      continue;
    const auto& pc = static_cast<const TPageControl&>(*p->Parent);
    const int a = pc.ActivePage();
    if (a < 0 || a >= int(pc.Pages.size()) || pc.Pages[a] != p) return true;
  }
  return false;
}

// Vertical padding that makes a one-line frame as tall as its control.
ImVec2 FramePaddingFor(const TControl& c) {
  const float pad = std::max(1.0f, (c.Height - ImGui::GetFontSize()) / 2 - 1);
  return ImVec2(6, std::min(pad, 8.0f));
}

// The player's typed character through the edit's key handler, which may
// change it or swallow it (0). Characters beyond Latin-1 pass unfiltered.
int FilterTypedKey(ImGuiInputTextCallbackData* data) {
  auto* e = static_cast<TEdit*>(data->UserData);
  if (!e->OnKeyPress || data->EventChar > 255) return 0;
  char key = char(data->EventChar);
  const char typed = key;
  e->OnKeyPress(key);
  if (key == 0) return 1;
  if (key != typed) data->EventChar = ImWchar(static_cast<unsigned char>(key));
  return 0;
}

// The edit's limit counts characters, not bytes: what an edit takes past it
// is taken back from just before the cursor, where it was typed or pasted.
void KeepWithinLimit(ImGuiInputTextCallbackData* data, int limit) {
  int excess = -limit;
  for (int i = 0; i < data->BufTextLen; ++i) excess += (static_cast<unsigned char>(data->Buf[i]) & 0xC0) != 0x80;
  int start = data->CursorPos;
  for (; excess > 0 && start > 0; --excess)
    do --start;
    while (start > 0 && (static_cast<unsigned char>(data->Buf[start]) & 0xC0) == 0x80);
  if (start < data->CursorPos) data->DeleteChars(start, data->CursorPos - start);
}

int EditCallback(ImGuiInputTextCallbackData* data) {
  if (data->EventFlag == ImGuiInputTextFlags_CallbackCharFilter) return FilterTypedKey(data);
  const int limit = static_cast<TEdit*>(data->UserData)->MaxLength;
  if (limit > 0) KeepWithinLimit(data, limit);
  return 0;
}

void DrawFrame(ImDrawList& dl, ImVec2 min, ImVec2 max) {
  dl.AddRect(min, max, ImGui::GetColorU32(ImGuiCol_Border), 4);
}

// A rounded frame with the caption set into its top edge.
void DrawCaptionedFrame(const TControl& c, ImVec2 min) {
  ImDrawList& dl = *ImGui::GetWindowDrawList();
  const float h = ImGui::GetFontSize();
  const ImVec2 max = min + Size(c);
  if (c.Color != clDefault) dl.AddRectFilled(min + ImVec2(0, h / 2), max, ToImColor(c.Color, clBtnFace), 4);
  DrawFrame(dl, min + ImVec2(0, h / 2), max);
  if (c.Caption.empty()) return;
  const ImVec2 text = ImGui::CalcTextSize(c.Caption.c_str());
  const ImVec2 at = min + ImVec2(10, 0);
  dl.AddRectFilled(at + ImVec2(-4, 0), at + ImVec2(text.x + 4, h), ImGui::GetColorU32(ImGuiCol_WindowBg));
  dl.AddText(at, ToImColor(c.FontColor, clWindowText), c.Caption.c_str());
}

void DrawCheckMark(ImDrawList& dl, ImVec2 at, float size) {
  dl.AddRectFilled(at, at + ImVec2(size, size), AccentColor(), 3);
  ImGui::RenderCheckMark(&dl, at + ImVec2(2, 2), IM_COL32_WHITE, size - 4);
}

void DrawProgressBar(const TProgressBar& pb, ImVec2 min) {
  ImDrawList& dl = *ImGui::GetWindowDrawList();
  const ImVec2 max = min + Size(pb);
  dl.AddRectFilled(min, max, ToImColor(pb.Color, clWindow), 3);
  const int range = pb.Max - pb.Min;
  const float f = range > 0 ? std::clamp(float(pb.Position - pb.Min) / range, 0.0f, 1.0f) : 0.0f;
  if (f > 0) {
    const ImVec2 fillMin = pb.Vertical ? ImVec2(min.x, max.y - (max.y - min.y) * f) : min;
    const ImVec2 fillMax = pb.Vertical ? max : ImVec2(min.x + (max.x - min.x) * f, max.y);
    dl.AddRectFilled(fillMin, fillMax, pb.BarColor == clDefault ? AccentColor() : ToImColor(pb.BarColor, clWindow), 3);
  }
  DrawFrame(dl, min, max);
}

ImGuiWindowFlags FixedWindow(bool input) {
  ImGuiWindowFlags f = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                       ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse;
  return input ? f : f | ImGuiWindowFlags_NoInputs;
}

// Every key going down (not its repeats) except Tab, for key-capture edits.
int RecordKey(void* keys, SDL_Event* e) {
  if (e->type != SDL_KEYDOWN || e->key.repeat || e->key.keysym.scancode == SDL_SCANCODE_TAB) return 0;
  const int vk = VirtualKeyFromScancode(e->key.keysym.scancode);
  if (vk == 0) return 0;
  const Uint16 mod = e->key.keysym.mod;
  const ShiftState shift{(mod & KMOD_SHIFT) != 0, (mod & KMOD_ALT) != 0, (mod & KMOD_CTRL) != 0};
  static_cast<std::vector<FormRenderer::PressedKey>*>(keys)->push_back({vk, shift});
  return 0;
}

// Every pointer move with the left button's state, for windows that follow
// the pointer: SDL's own button state stays right even when the window
// system does not report which window has the mouse.
int RecordMouse(void* moves, SDL_Event* e) {
  if (e->type == SDL_MOUSEMOTION)
    static_cast<std::vector<FormRenderer::MouseMove>*>(moves)->push_back(
        {e->motion.x, e->motion.y, (e->motion.state & SDL_BUTTON_LMASK) != 0});
  return 0;
}

}  // namespace

FormRenderer::FormRenderer() {
  SDL_AddEventWatch(RecordKey, &keysPressed_);
  SDL_AddEventWatch(RecordMouse, &mouseMoves_);
}

FormRenderer::~FormRenderer() {
  SDL_DelEventWatch(RecordMouse, &mouseMoves_);
  SDL_DelEventWatch(RecordKey, &keysPressed_);
}

void FormRenderer::DrawMain(TForm& form, const ScreenArea& area, bool input, bool barsOnly) {
  ImGui::SetNextWindowPos(ImVec2(area.x, area.y));
  ImGui::SetNextWindowSize(ImVec2(kScreenWidth, kScreenHeight));
  ImGuiWindowFlags flags = FixedWindow(input && !barsOnly) | ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                           ImGuiWindowFlags_NoBringToFrontOnFocus;
  if (barsOnly) flags |= ImGuiWindowFlags_NoBackground;
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0);
  ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0);
  ImGui::PushStyleColor(ImGuiCol_WindowBg, ToImVec4(form.Color, clBtnFace));
  ImGui::Begin("##main", nullptr, flags);
  ImGui::PopStyleColor();
  ImGui::PopStyleVar(3);
  input_ = input && !barsOnly;
  DrawControls(form, ImGui::GetCursorScreenPos(), barsOnly);
  ImGui::End();
}

void FormRenderer::DrawDialog(TForm& form, bool input, bool appearing) {
  if (form.Borderless) {
    DrawBorderless(form, input, appearing);
    return;
  }
  const ImVec2 centre = ImGui::GetMainViewport()->GetCenter();
  ImGui::SetNextWindowPos(centre, appearing ? ImGuiCond_Always : ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
  ImGui::SetNextWindowSize(ImVec2(float(form.ClientWidth), form.ClientHeight + ImGui::GetFrameHeight()));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
  ImGui::PushStyleColor(ImGuiCol_WindowBg, ToImVec4(form.Color, clBtnFace));
  bool open = true;
  const std::string title = form.Caption + "###" + form.Name();
  ImGui::Begin(title.c_str(), &open, FixedWindow(input));
  ImGui::PopStyleColor();
  ImGui::PopStyleVar();
  if (appearing) {
    ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
    ImGui::SetWindowFocus();
  }
  input_ = input;
  DrawControls(form, ImGui::GetCursorScreenPos(), false);
  ImGui::End();
  if (!open) Later([&form] { form.Close(); });
}

// A window without a frame over the middle of the screen: it stays behind
// its tool window even when clicked, and reports the pointer's moves.
void FormRenderer::DrawBorderless(TForm& form, bool input, bool appearing) {
  ImGui::SetNextWindowPos(ImGui::GetMainViewport()->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  ImGui::SetNextWindowSize(ImVec2(float(form.ClientWidth), float(form.ClientHeight)));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0);
  ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0);
  ImGui::PushStyleColor(ImGuiCol_WindowBg, ToImVec4(form.Color, clBtnFace));
  const std::string title = "###" + form.Name();
  ImGui::Begin(title.c_str(), nullptr,
               FixedWindow(input) | ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                   ImGuiWindowFlags_NoBringToFrontOnFocus);
  ImGui::PopStyleColor();
  ImGui::PopStyleVar(3);
  if (appearing) ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
  input_ = input;
  const ImVec2 client = ImGui::GetCursorScreenPos();
  DrawControls(form, client, false);
  if (input && form.OnMouseMove && ImGui::IsWindowHovered(ImGuiHoveredFlags_AllowWhenBlockedByActiveItem))
    for (const MouseMove& m : mouseMoves_)
      Later([&form, m, client] { form.OnMouseMove(m.x - int(client.x), m.y - int(client.y), m.left); });
  ImGui::End();
}

// A tool window over a modal one: titled, movable, without a close box,
// centred when it first shows.
void FormRenderer::DrawTool(TForm& form, bool input, bool appearing) {
  const ImVec2 centre = ImGui::GetMainViewport()->GetCenter();
  ImGui::SetNextWindowPos(centre, appearing ? ImGuiCond_Always : ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
  ImGui::SetNextWindowSize(ImVec2(float(form.ClientWidth), form.ClientHeight + ImGui::GetFrameHeight()));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
  ImGui::PushStyleColor(ImGuiCol_WindowBg, ToImVec4(form.Color, clBtnFace));
  const std::string title = form.Caption + "###" + form.Name();
  ImGui::Begin(title.c_str(), nullptr, FixedWindow(input));
  ImGui::PopStyleColor();
  ImGui::PopStyleVar();
  if (appearing) ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
  input_ = input;
  DrawControls(form, ImGui::GetCursorScreenPos(), false);
  ImGui::End();
}

void DrawShade(int layer, bool appearing) {
  const ImGuiViewport& v = *ImGui::GetMainViewport();
  ImGui::SetNextWindowPos(v.Pos);
  ImGui::SetNextWindowSize(v.Size);
  ImGui::PushStyleColor(ImGuiCol_WindowBg, ImGui::GetStyleColorVec4(ImGuiCol_ModalWindowDimBg));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0);
  ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0);
  const std::string name = "##shade" + std::to_string(layer);
  ImGui::Begin(name.c_str(), nullptr, FixedWindow(false) | ImGuiWindowFlags_NoDecoration);
  if (appearing) ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
  ImGui::End();
  ImGui::PopStyleVar(2);
  ImGui::PopStyleColor();
}

// Focus moved from code is handed to ImGui once, in the frame after the
// move: the control takes it as it is drawn, and when it is no edit the edit
// being typed in lets go (so that the edit sees its exit). Whatever the
// focus, later frames leave ImGui's own state alone, so no focus can keep
// a press of the mouse from completing.
void FormRenderer::DrawControls(TForm& form, ImVec2 client, bool barsOnly) {
  const TControl*& shown = focusShown_[&form];
  // A press of the mouse in progress ends first: focus handed over now would
  // take it from the control being pressed (a click right after "Enviar",
  // whose handler gives the focus to the chat line).
  const bool pressing = ImGui::IsAnyMouseDown();
  focusFromCode_ = form.Focus != shown && !pressing ? form.Focus : nullptr;
  if (!pressing) shown = form.Focus;
  if (focusFromCode_ && focusFromCode_->Kind() != ControlKind::Edit && ImGui::GetActiveID() != 0)
    ImGui::ClearActiveID();
  for (auto& owned : form.Controls()) {
    TControl& c = *owned;
    if (!c.Showing() || OnHiddenPage(c)) continue;
    if (barsOnly && c.Kind() != ControlKind::ProgressBar) continue;
    DrawControl(form, c, client + Offset(c));
  }
}

void FormRenderer::DrawControl(TForm& form, TControl& c, ImVec2 min) {
  drawn_.insert(&c);
  ImGui::PushID(&c);
  ImGui::PushFont(LobbyFont(c.FontSize, c.FontBold));
  ImGui::PushStyleColor(ImGuiCol_Text, ToTextColor(c.FontColor));
  ImGui::BeginDisabled(!c.Usable());
  ImGui::SetCursorScreenPos(min);
  const ImGuiID active = ImGui::GetActiveID();
  switch (c.Kind()) {
    case ControlKind::Label: DrawLabel(static_cast<TLabel&>(c), min); break;
    case ControlKind::Button: DrawButton(c, min, false); break;
    case ControlKind::SpeedButton: DrawButton(c, min, static_cast<TSpeedButton&>(c).Down()); break;
    case ControlKind::Edit: DrawEdit(form, static_cast<TEdit&>(c), min); break;
    case ControlKind::ComboBox: DrawComboBox(static_cast<TComboBox&>(c), min); break;
    case ControlKind::CheckBox: DrawCheckBox(static_cast<TCheckBox&>(c), min); break;
    case ControlKind::RadioGroup: DrawRadioGroup(static_cast<TRadioGroup&>(c), min); break;
    case ControlKind::TrackBar: DrawTrackBar(static_cast<TTrackBar&>(c), min); break;
    case ControlKind::SpinEdit: DrawSpinEdit(static_cast<TSpinEdit&>(c), min); break;
    case ControlKind::ListBox: DrawListBox(static_cast<TListBox&>(c), min); break;
    case ControlKind::ListView: DrawListView(static_cast<TListView&>(c), min); break;
    case ControlKind::Image: DrawImage(static_cast<TImage&>(c), min); break;
    case ControlKind::ProgressBar: DrawProgressBar(static_cast<TProgressBar&>(c), min); break;
    case ControlKind::GroupBox: DrawCaptionedFrame(c, min); break;
    case ControlKind::PageControl: DrawPageControl(static_cast<TPageControl&>(c), min); break;
    case ControlKind::TabSheet:
      if (c.Color != clDefault)
        ImGui::GetWindowDrawList()->AddRectFilled(min, min + Size(c), ToImColor(c.Color, clBtnFace));
      break;
  }
  ImGui::EndDisabled();
  // A control the player takes into use has the focus, as a click gives it:
  // a handler that gives the focus to a control moves it there whatever
  // had it before.
  if (input_ && ImGui::GetActiveID() != active && ImGui::GetActiveID() != 0) focusShown_[&form] = form.Focus = &c;
  if (&c == focusFromCode_ && c.Kind() != ControlKind::Edit) TakeNavigationFocus();
  ImGui::PopStyleColor();
  ImGui::PopFont();
  TrackHover(c, min);
  ImGui::PopID();
}

void FormRenderer::DrawLabel(TLabel& l, ImVec2 min) {
  ImDrawList& dl = *ImGui::GetWindowDrawList();
  const ImVec2 text = ImGui::CalcTextSize(l.Caption.c_str());
  const ImVec2 size(l.Width > 0 ? float(l.Width) : text.x, l.Height > 0 ? float(l.Height) : text.y);
  if (!l.Transparent) dl.AddRectFilled(min, min + size, ToImColor(l.Color, clBtnFace));
  const ImU32 colour = ImGui::GetColorU32(ImGuiCol_Text);
  const ImVec4 clip(min.x, min.y, min.x + std::max(size.x, text.x), min.y + std::max(size.y, text.y));
  dl.AddText(ImGui::GetFont(), ImGui::GetFontSize(), min, colour, l.Caption.c_str(), nullptr, 0, &clip);
  if (l.FontUnderline) dl.AddLine(min + ImVec2(0, text.y), min + text, colour);
  if ((l.OnClick || l.OnDblClick) && size.x > 0 && size.y > 0 && ImGui::InvisibleButton("##label", size))
    Later([&l] { l.Click(); });
}

void FormRenderer::DrawButton(TControl& b, ImVec2 min, bool down) {
  int colours = 0;
  if (down) {
    ImGui::PushStyleColor(ImGuiCol_Button, AccentColor());
    ++colours;
  } else if (b.Color != clDefault && b.Color != clBtnFace) {
    ImGui::PushStyleColor(ImGuiCol_Button, ToImColor(b.Color, clBtnFace));
    ++colours;
  }
  const auto arrow = b.Kind() == ControlKind::Button ? static_cast<TButton&>(b).Arrow : TButton::Glyph::None;
  const ImGuiDir dir = arrow == TButton::Glyph::Left ? ImGuiDir_Left : ImGuiDir_Right;
  bool pressed;
  if (arrow != TButton::Glyph::None && b.Caption.empty()) {
    pressed = ImGui::ArrowButtonEx("##arrow", dir, Size(b));
  } else {
    pressed = ImGui::Button(b.Caption.c_str(), Size(b));
    if (arrow != TButton::Glyph::None) {
      const float y = min.y + (b.Height - ImGui::GetFontSize()) / 2;
      const float x = arrow == TButton::Glyph::Left ? min.x + 6 : min.x + b.Width - 6 - ImGui::GetFontSize();
      ImGui::RenderArrow(ImGui::GetWindowDrawList(), ImVec2(x, y), ImGui::GetColorU32(ImGuiCol_Text), dir, 0.8f);
    }
  }
  ImGui::PopStyleColor(colours);
  if (pressed) Later([&b] { b.Click(); });
}

void FormRenderer::DrawEdit(TForm& form, TEdit& e, ImVec2 min) {
  (void)min;
  const std::string& text = e.Text();
  // Room for the limit's characters at four bytes each, and the one that the
  // limit then takes back.
  std::vector<char> buffer(e.MaxLength > 0 ? 4 * size_t(e.MaxLength + 1) + 1
                                          : std::max<size_t>(1024, text.size() + 256));
  std::memcpy(buffer.data(), text.data(), std::min(text.size(), buffer.size() - 1));

  if (focusFromCode_ == &e) {
    ImGui::SetKeyboardFocusHere();
    focusAsked_ = true;
  }
  const bool capture = bool(e.OnKeyDown);
  if (capture && ImGui::GetActiveID() == ImGui::GetID("##edit")) CaptureKeys(e);

  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, FramePaddingFor(e));
  ImGui::PushStyleColor(ImGuiCol_FrameBg, ToImVec4(e.Color, clWindow));
  ImGui::SetNextItemWidth(float(e.Width));
  ImGuiInputTextFlags flags = ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_CallbackEdit;
  if (!capture) flags |= ImGuiInputTextFlags_EnterReturnsTrue;
  if (e.ReadOnly || capture) flags |= ImGuiInputTextFlags_ReadOnly;
  const bool enter = ImGui::InputText("##edit", buffer.data(), buffer.size(), flags, EditCallback, &e);
  ImGui::PopStyleColor();
  ImGui::PopStyleVar();

  if (ImGui::IsItemActivated()) {
    focusShown_[&form] = form.Focus = &e;
    if (e.OnEnter) Later(e.OnEnter);
  }
  std::string typed(buffer.data());
  if (typed != text) Later([&e, typed] { e.SetText(typed); });
  if (enter) {
    // The edit keeps the focus from the next frame on, so the player types on
    // without losing what follows Enter.
    ImGui::SetKeyboardFocusHere(-1);
    focusAsked_ = true;
    Later([&e] {
      char key = '\r';
      if (e.OnKeyPress) e.OnKeyPress(key);
    });
  } else if (ImGui::IsItemDeactivated() && e.OnExit) {
    Later(e.OnExit);
  }
}

// The keys pressed since the last frame to the edit's key handler.
void FormRenderer::CaptureKeys(TEdit& e) {
  for (const PressedKey& k : keysPressed_)
    Later([&e, k] {
      int key = k.virtualKey;
      if (e.OnKeyDown) e.OnKeyDown(key, k.shift);
    });
  keysPressed_.clear();
}

// The control just drawn becomes ImGui's keyboard-navigation item (Space
// presses a button).
void FormRenderer::TakeNavigationFocus() {
  ImGui::SetFocusID(ImGui::GetItemID(), ImGui::GetCurrentWindow());
  GImGui->NavDisableHighlight = false;
}

void FormRenderer::DrawComboBox(TComboBox& cb, ImVec2 min) {
  if (!cb.Swatches.empty()) {
    DrawColorChooser(cb, min);
    return;
  }
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, FramePaddingFor(cb));
  ImGui::PushStyleColor(ImGuiCol_FrameBg, ToImVec4(cb.Color, clWindow));
  ImGui::SetNextItemWidth(float(cb.Width));
  const std::string current = cb.Text();
  if (ImGui::BeginCombo("##combo", current.c_str())) {
    for (int i = 0; i < int(cb.Items.size()); ++i) {
      ImGui::PushID(i);
      if (ImGui::Selectable(cb.Items[i].c_str(), i == cb.ItemIndex())) Later([&cb, i] { cb.Choose(i); });
      if (i == cb.ItemIndex() && ImGui::IsWindowAppearing()) ImGui::SetScrollHereY();
      ImGui::PopID();
    }
    ImGui::EndCombo();
  }
  ImGui::PopStyleColor();
  ImGui::PopStyleVar();
}

// The chosen colour fills the box (nothing does when it is none of the
// swatches); the list opens as a grid of swatches without names.
void FormRenderer::DrawColorChooser(TComboBox& cb, ImVec2 min) {
  constexpr int kPerRow = 4;
  constexpr float kSwatch = 22;
  const ImGuiStyle& style = ImGui::GetStyle();
  const float gridWidth = kPerRow * (kSwatch + style.ItemSpacing.x) - style.ItemSpacing.x + 2 * style.WindowPadding.x;
  ImGui::SetNextWindowSizeConstraints(ImVec2(gridWidth, 0), ImVec2(gridWidth, FLT_MAX));
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, FramePaddingFor(cb));
  const float height = ImGui::GetFrameHeight();
  ImGui::SetNextItemWidth(float(cb.Width));
  if (ImGui::BeginCombo("##colours", "", ImGuiComboFlags_HeightLargest)) {
    for (int i = 0; i < int(cb.Swatches.size()) && i < int(cb.Items.size()); ++i) {
      if (i % kPerRow) ImGui::SameLine();
      ImGui::PushID(i);
      const ImGuiColorEditFlags flags = ImGuiColorEditFlags_NoTooltip | ImGuiColorEditFlags_NoDragDrop;
      if (ImGui::ColorButton("##swatch", ToImVec4(cb.Swatches[i], clWindow), flags, ImVec2(kSwatch, kSwatch))) {
        Later([&cb, i] { cb.Choose(i); });
        ImGui::CloseCurrentPopup();
      }
      if (i == cb.ItemIndex())
        ImGui::GetWindowDrawList()->AddRect(ImGui::GetItemRectMin() - ImVec2(2, 2), ImGui::GetItemRectMax() + ImVec2(2, 2),
                                            AccentColor(), 3, 0, 2);
      ImGui::PopID();
    }
    ImGui::EndCombo();
  }
  ImGui::PopStyleVar();
  const int chosen = cb.ItemIndex();
  if (chosen >= 0 && chosen < int(cb.Swatches.size()))
    ImGui::GetWindowDrawList()->AddRectFilled(min + ImVec2(3, 3), min + ImVec2(cb.Width - height - 2, height - 3),
                                              ToImColor(cb.Swatches[size_t(chosen)], clWindow), 2);
}

void FormRenderer::DrawCheckBox(TCheckBox& cb, ImVec2 min) {
  const float box = ImGui::GetFrameHeight();
  ImGui::SetCursorScreenPos(min + ImVec2(0, std::max(0.0f, (cb.Height - box) / 2)));
  bool checked = cb.Checked();
  if (ImGui::Checkbox(cb.Caption.c_str(), &checked)) Later([&cb] { cb.Click(); });
}

void FormRenderer::DrawRadioGroup(TRadioGroup& rg, ImVec2 min) {
  DrawCaptionedFrame(rg, min);
  const int count = int(rg.Items.size());
  if (count == 0) return;
  const int columns = std::max(1, rg.Columns);
  const int rows = (count + columns - 1) / columns;
  const float top = ImGui::GetFontSize() + 4;
  const float rowHeight = std::max(ImGui::GetFrameHeight(), (rg.Height - top - 4) / rows);
  const float columnWidth = (rg.Width - 16.0f) / columns;
  for (int i = 0; i < count; ++i) {
    ImGui::SetCursorScreenPos(min + ImVec2(10 + (i / rows) * columnWidth, top + (i % rows) * rowHeight));
    ImGui::PushID(i);
    if (ImGui::RadioButton(rg.Items[i].c_str(), i == rg.ItemIndex())) Later([&rg, i] { rg.SetItemIndex(i); });
    ImGui::PopID();
  }
}

void FormRenderer::DrawTrackBar(TTrackBar& tb, ImVec2 min) {
  ImGui::SetCursorScreenPos(min + ImVec2(0, std::max(0.0f, (tb.Height - ImGui::GetFrameHeight()) / 2)));
  ImGui::SetNextItemWidth(float(tb.Width));
  int position = tb.Position();
  if (ImGui::SliderInt("##track", &position, tb.Min, tb.Max, "")) Later([&tb, position] { tb.SetPosition(position); });
}

void FormRenderer::DrawSpinEdit(TSpinEdit& se, ImVec2 min) {
  (void)min;
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, FramePaddingFor(se));
  ImGui::SetNextItemWidth(float(se.Width));
  int value = se.Value();
  if (se.EditorEnabled) {
    if (ImGui::InputInt("##spin", &value)) Later([&se, value] { se.SetValue(value); });
  } else {
    // The number as text, then the two spin buttons.
    const float button = ImGui::GetFrameHeight();
    const float spacing = ImGui::GetStyle().ItemInnerSpacing.x;
    std::string number = std::to_string(value);
    ImGui::SetNextItemWidth(std::max(1.0f, se.Width - 2 * (button + spacing)));
    ImGui::InputText("##value", number.data(), number.size() + 1, ImGuiInputTextFlags_ReadOnly);
    ImGui::PushButtonRepeat(true);
    for (const int step : {-1, 1}) {
      ImGui::SameLine(0, spacing);
      if (ImGui::Button(step < 0 ? "-" : "+", ImVec2(button, button)))
        Later([&se, value, step] { se.SetValue(value + step); });
    }
    ImGui::PopButtonRepeat();
  }
  ImGui::PopStyleVar();
}

void FormRenderer::DrawListBox(TListBox& lb, ImVec2 min) {
  (void)min;
  ImGui::PushStyleColor(ImGuiCol_ChildBg, ToImVec4(lb.Color, clWindow));
  ImGui::BeginChild("##list", Size(lb), true, input_ ? 0 : ImGuiWindowFlags_NoInputs);
  const float line = ImGui::GetTextLineHeight();
  for (int i = 0; i < int(lb.Items.size()); ++i) {
    const std::string& item = lb.Items[i];
    const ImVec2 at = ImGui::GetCursorScreenPos();
    ImGui::PushID(i);
    // The release that ends a double click presses the line once more: the
    // double click has already chosen it (and may have changed the list).
    const bool endOfDoubleClick = ImGui::IsMouseReleased(ImGuiMouseButton_Left) && ImGui::GetIO().MouseClickedLastCount[0] == 2;
    if (ImGui::Selectable("##line", i == lb.ItemIndex, ImGuiSelectableFlags_AllowDoubleClick, ImVec2(0, line)) &&
        !endOfDoubleClick) {
      const bool twice = ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
      Later([&lb, i, twice] {
        lb.ItemIndex = i;
        lb.Click();
        if (twice && lb.OnDblClick) lb.OnDblClick();
      });
    }
    ImGui::PopID();
    const uint32_t colour = lb.ItemColor ? lb.ItemColor(item) : lb.FontColor;
    ImGui::GetWindowDrawList()->AddText(at, ImGui::GetColorU32(ToTextColor(colour)), item.c_str());
  }
  if (lb.ScrollToEnd) {
    ImGui::SetScrollHereY(1.0f);
    lb.ScrollToEnd = false;
  }
  ImGui::EndChild();
  ImGui::PopStyleColor();
}

void FormRenderer::DrawListView(TListView& lv, ImVec2 min) {
  (void)min;
  const std::vector<Texture>& images = Images(lv);
  ImGui::PushStyleColor(ImGuiCol_ChildBg, ToImVec4(lv.Color, clWindow));
  ImGui::BeginChild("##view", Size(lv), true, input_ ? 0 : ImGuiWindowFlags_NoInputs);
  ImDrawList& dl = *ImGui::GetWindowDrawList();
  const bool icons = lv.ViewStyle == TListView::Style::Icon;
  const float line = ImGui::GetTextLineHeight();
  const float icon = icons ? 36 : std::max(16.0f, line);
  const ImVec2 cell = icons ? ImVec2(88, icon + 8 + 2 * line) : ImVec2(ImGui::GetContentRegionAvail().x, icon + 4);
  const int perRow = std::max(1, int(ImGui::GetContentRegionAvail().x / cell.x));
  const ImVec2 origin = ImGui::GetCursorPos();
  for (int i = 0; i < int(lv.Items.size()); ++i) {
    const TListItem& item = lv.Items[i];
    ImGui::SetCursorPos(origin + ImVec2((i % perRow) * cell.x, (i / perRow) * cell.y));
    const ImVec2 at = ImGui::GetCursorScreenPos();
    ImGui::PushID(i);
    if (ImGui::Selectable("##item", i == lv.Selected(), ImGuiSelectableFlags_AllowDoubleClick, ImVec2(cell.x - 4, cell.y - 4))) {
      const bool twice = ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
      Later([&lv, i, twice] {
        lv.Select(i);
        if (twice && lv.OnDblClick) lv.OnDblClick();
      });
    }
    ImGui::PopID();
    const ImVec2 iconAt = icons ? at + ImVec2((cell.x - 4 - icon) / 2, 2) : at + ImVec2(2, 0);
    if (item.ImageIndex >= 0 && item.ImageIndex < int(images.size()))
      images[item.ImageIndex].Draw(dl, iconAt, iconAt + ImVec2(icon, icon));
    if (item.Checked) DrawCheckMark(dl, iconAt, icons ? 14 : 10);
    const ImU32 colour = ToImColor(lv.FontColor, clWindowText);
    if (icons) {
      const float wrap = cell.x - 8;
      const ImVec2 text = ImGui::CalcTextSize(item.Caption.c_str(), nullptr, false, wrap);
      const ImVec4 clip(at.x, at.y, at.x + cell.x - 4, at.y + cell.y - 4);
      dl.AddText(ImGui::GetFont(), ImGui::GetFontSize(), at + ImVec2((cell.x - 4 - text.x) / 2, icon + 6), colour,
                 item.Caption.c_str(), nullptr, wrap, &clip);
    } else {
      dl.AddText(at + ImVec2(icon + 8, (cell.y - 4 - line) / 2), colour, item.Caption.c_str());
    }
  }
  ImGui::EndChild();
  ImGui::PopStyleColor();
}

void FormRenderer::DrawImage(TImage& im, ImVec2 min) {
  const Texture& t = Picture(im);
  const ImVec2 max = min + Size(im);
  if (!t.empty()) {
    ImDrawList& dl = *ImGui::GetWindowDrawList();
    dl.PushClipRect(min, max, true);
    t.Draw(dl, min, im.Stretch ? max : min + ImVec2(float(t.width()), float(t.height())));
    dl.PopClipRect();
  }
  if ((im.OnClick || im.OnDblClick) && im.Width > 0 && im.Height > 0 && ImGui::InvisibleButton("##image", Size(im)))
    Later([&im] { im.Click(); });
}

void FormRenderer::DrawPageControl(TPageControl& pc, ImVec2 min) {
  const float tabs = ImGui::GetFrameHeight();
  DrawFrame(*ImGui::GetWindowDrawList(), min + ImVec2(0, tabs), min + Size(pc));
  ImGui::BeginChild("##tabs", ImVec2(float(pc.Width), tabs + 2), false,
                    ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoScrollbar |
                        (input_ ? 0 : ImGuiWindowFlags_NoInputs));
  int& shown = pageShown_.try_emplace(&pc, -1).first->second;
  // What ImGui showed last frame: a page chosen from code is pressed on ImGui
  // until it shows it, and only a tab the player picked over the page the
  // model already shows becomes the model's page.
  const int before = shown;
  if (ImGui::BeginTabBar("##bar")) {
    for (int i = 0; i < int(pc.Pages.size()); ++i) {
      ImGui::PushID(i);
      const ImGuiTabItemFlags flags = i == pc.ActivePage() && before != i ? ImGuiTabItemFlags_SetSelected : 0;
      if (ImGui::BeginTabItem(pc.Pages[i]->Caption.c_str(), nullptr, flags)) {
        if (before == pc.ActivePage() && i != before) Later([&pc, i] { pc.SetActivePage(i); });
        shown = i;
        ImGui::EndTabItem();
      }
      ImGui::PopID();
    }
    ImGui::EndTabBar();
  }
  ImGui::EndChild();
}

void FormRenderer::TrackHover(TControl& c, ImVec2 min) {
  const bool over = input_ && ImGui::IsMouseHoveringRect(min, min + Size(c)) &&
                    ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows);
  const bool was = hovered_.count(&c) > 0;
  if (over) {
    hoveredNow_.insert(&c);
    if (c.HandCursor) ImGui::SetMouseCursor(ImGuiMouseCursor_Hand);
    if (!c.Hint.empty()) ImGui::SetTooltip("%s", c.Hint.c_str());
  }
  if (over && !was && c.OnMouseEnter) Later(c.OnMouseEnter);
  if (!over && was && c.OnMouseLeave) Later(c.OnMouseLeave);
}

const Texture& FormRenderer::Picture(const TImage& im) {
  PictureCache& p = pictures_[&im];
  const Surface16& picture = im.Shown();
  const void* pixels = picture.pixels().data();
  if (p.version != im.PictureVersion || p.pixels != pixels) {
    p.version = im.PictureVersion;
    p.pixels = pixels;
    if (im.Transparent)
      p.texture.UploadKeyed(picture, im.TransparentColor);
    else
      p.texture.Upload(picture);
  }
  return p.texture;
}

// List pictures are shown without their background: the colour of each
// picture's bottom-left pixel, the game's transparent colour.
const std::vector<Texture>& FormRenderer::Images(const TListView& lv) {
  ImageSetCache& s = imageSets_[&lv];
  if (s.version != lv.ImagesVersion || s.images != lv.Images) {
    s.version = lv.ImagesVersion;
    s.images = lv.Images;
    s.textures.clear();
    if (lv.Images)
      for (const Surface16& picture : *lv.Images) {
        Texture& t = s.textures.emplace_back();
        if (!picture.empty()) t.UploadKeyed(picture, picture.pixel(0, picture.height() - 1));
      }
  }
  return s.textures;
}

bool FormRenderer::FocusArriving(const TForm* form) const {
  if (focusArriving_ || !form) return focusArriving_;
  const auto shown = focusShown_.find(form);
  return shown != focusShown_.end() && shown->second != form->Focus;
}

void FormRenderer::EndFrame() {
  focusArriving_ = focusAsked_;
  focusAsked_ = false;
  keysPressed_.clear();
  mouseMoves_.clear();
  hovered_ = std::move(hoveredNow_);
  hoveredNow_.clear();
  std::erase_if(pictures_, [this](const auto& p) { return !drawn_.count(p.first); });
  std::erase_if(imageSets_, [this](const auto& s) { return !drawn_.count(s.first); });
  std::erase_if(pageShown_, [this](const auto& s) { return !drawn_.count(s.first); });
  drawn_.clear();
}

void FormRenderer::RunActions() {
  // A handler may start a nested loop whose frames gather actions of their
  // own: take this batch out first.
  std::vector<std::function<void()>> batch = std::move(actions_);
  actions_.clear();
  for (auto& action : batch) action();
}

}  // namespace rodavia
