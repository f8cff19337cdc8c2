#include "platform/sdl/LobbyTheme.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/Controls.h"
#include "platform/Surface.h"

namespace rodavia {

namespace {

// Condensed faces keep captions inside the control sizes of the windows.
constexpr const char* kRegularFace = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf";
constexpr const char* kBoldFace = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
// Latin-1 and the four arrows that name the arrow keys.
constexpr ImWchar kGlyphs[] = {0x0020, 0x00FF, 0x2190, 0x2193, 0};
// The sizes the windows use, in pixels: 10 for the circuit editor's small
// captions (7 and 8 pt), 13 for the profile dialog (10 pt), 15 for the
// rest (the default, and 12 pt message boxes); bold 24 for "Jugar" (20 pt).
// Every face and size is one more block of the atlas texture.
constexpr float kRegularSizesPx[] = {10, 13, 15};
constexpr float kBoldSizesPx[] = {24};
constexpr float kDefaultPx = 15;

struct LoadedFont {
  float px;
  bool bold;
  ImFont* font;
};

std::vector<LoadedFont>& Fonts() {
  static std::vector<LoadedFont> fonts;
  return fonts;
}

// The palette of the system colours.
constexpr uint32_t kBtnFace = RGBColor(30, 36, 46);
constexpr uint32_t kWindow = RGBColor(20, 25, 33);
constexpr uint32_t kWindowText = RGBColor(228, 233, 240);
constexpr uint32_t kInfoBk = RGBColor(66, 58, 32);
constexpr uint32_t kAccent = RGBColor(0, 142, 214);

uint32_t Resolve(uint32_t color, uint32_t fallback) {
  if (color == clDefault) color = fallback;
  switch (color) {
    case clBtnFace: return kBtnFace;
    case clWindow: return kWindow;
    case clWindowText: return kWindowText;
    case clInfoBk: return kInfoBk;
    default: return IsSystemColor(color) ? kWindowText : color;
  }
}

ImVec4 Rgb(uint32_t c, float alpha = 1.0f) {
  return ImVec4((c & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, ((c >> 16) & 0xFF) / 255.0f, alpha);
}

void SetStyle() {
  ImGuiStyle& s = ImGui::GetStyle();
  s.WindowRounding = 6;
  s.ChildRounding = 4;
  s.FrameRounding = 4;
  s.PopupRounding = 4;
  s.GrabRounding = 4;
  s.TabRounding = 4;
  s.ScrollbarRounding = 6;
  s.FrameBorderSize = 1;
  s.WindowTitleAlign = ImVec2(0.5f, 0.5f);
  s.ItemSpacing = ImVec2(8, 5);

  ImVec4* c = s.Colors;
  const ImVec4 accent = Rgb(kAccent);
  c[ImGuiCol_Text] = Rgb(kWindowText);
  c[ImGuiCol_TextDisabled] = Rgb(RGBColor(120, 128, 140));
  c[ImGuiCol_WindowBg] = Rgb(kBtnFace);
  c[ImGuiCol_ChildBg] = Rgb(kWindow);
  c[ImGuiCol_PopupBg] = Rgb(RGBColor(26, 31, 40), 0.98f);
  c[ImGuiCol_Border] = Rgb(RGBColor(62, 72, 88));
  c[ImGuiCol_FrameBg] = Rgb(kWindow);
  c[ImGuiCol_FrameBgHovered] = Rgb(RGBColor(34, 44, 58));
  c[ImGuiCol_FrameBgActive] = Rgb(RGBColor(40, 54, 72));
  c[ImGuiCol_TitleBg] = Rgb(RGBColor(16, 20, 27));
  c[ImGuiCol_TitleBgActive] = Rgb(RGBColor(0, 92, 142));
  c[ImGuiCol_CheckMark] = accent;
  c[ImGuiCol_SliderGrab] = accent;
  c[ImGuiCol_SliderGrabActive] = Rgb(RGBColor(60, 180, 240));
  c[ImGuiCol_Button] = Rgb(RGBColor(48, 60, 78));
  c[ImGuiCol_ButtonHovered] = Rgb(RGBColor(0, 112, 172));
  c[ImGuiCol_ButtonActive] = accent;
  c[ImGuiCol_Header] = Rgb(RGBColor(0, 100, 155));
  c[ImGuiCol_HeaderHovered] = Rgb(RGBColor(0, 112, 172), 0.6f);
  c[ImGuiCol_HeaderActive] = accent;
  c[ImGuiCol_Tab] = Rgb(RGBColor(40, 50, 64));
  c[ImGuiCol_TabHovered] = Rgb(RGBColor(0, 112, 172));
  c[ImGuiCol_TabActive] = Rgb(RGBColor(0, 100, 155));
  c[ImGuiCol_PlotHistogram] = accent;
  c[ImGuiCol_ModalWindowDimBg] = ImVec4(0, 0, 0, 0.45f);
  c[ImGuiCol_NavHighlight] = Rgb(RGBColor(250, 200, 60));
}

}  // namespace

namespace {

std::vector<char> ReadFace(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each face is read once and lent to the atlas for all its sizes; once the
// atlas is built it no longer needs the faces, which go.
void AddFaces() {
  ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
  std::vector<char> regular = ReadFace(kRegularFace);
  std::vector<char> bold = ReadFace(kBoldFace);
  if (regular.empty() || bold.empty()) return;
  ImFontConfig config;
  config.FontDataOwnedByAtlas = false;
  // Glyphs at their drawn size on whole pixels: the software renderer copies
  // them pixel for pixel, without filtering.
  config.OversampleH = config.OversampleV = 1;
  config.PixelSnapH = true;
  auto add = [&](std::vector<char>& face, bool isBold, const auto& sizes) {
    for (float px : sizes)
      if (ImFont* f = atlas.AddFontFromMemoryTTF(face.data(), int(face.size()), px, &config, kGlyphs))
        Fonts().push_back({px, isBold, f});
  };
  add(regular, false, kRegularSizesPx);
  add(bold, true, kBoldSizesPx);
  if (!atlas.Build()) {
    atlas.Clear();
    Fonts().clear();
    return;
  }
  atlas.ClearInputData();
  for (const LoadedFont& f : Fonts())
    if (!f.bold && f.px == kDefaultPx) ImGui::GetIO().FontDefault = f.font;
}

}  // namespace

void SetUpLobbyTheme() {
  Fonts().clear();
  AddFaces();
  if (Fonts().empty()) Fonts().push_back({13, false, ImGui::GetIO().Fonts->AddFontDefault()});
  SetStyle();
}

ImFont* LobbyFont(int points, bool bold) {
  const float px = points > 0 ? points * 96.0f / 72.0f : kDefaultPx;
  ImFont* best = nullptr;
  float bestDistance = 0;
  for (const LoadedFont& f : Fonts()) {
    const float d = std::fabs(f.px - px) + (f.bold == bold ? 0 : 1000);
    if (!best || d < bestDistance) {
      best = f.font;
      bestDistance = d;
    }
  }
  return best;
}

ImU32 ToImColor(uint32_t color, uint32_t fallback, float alpha) {
  return ImGui::GetColorU32(Rgb(Resolve(color, fallback), alpha));
}

ImVec4 ToImVec4(uint32_t color, uint32_t fallback) { return Rgb(Resolve(color, fallback)); }

ImVec4 ToTextColor(uint32_t color) {
  ImVec4 c = Rgb(Resolve(color, clWindowText));
  const float luminance = 0.2126f * c.x + 0.7152f * c.y + 0.0722f * c.z;
  if (luminance < 0.18f) c = ImVec4((c.x + 1) / 2, (c.y + 1) / 2, (c.z + 1) / 2, c.w);
  return c;
}

ImU32 AccentColor() { return ImGui::GetColorU32(Rgb(kAccent)); }

}  // namespace rodavia
