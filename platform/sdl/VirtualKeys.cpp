#include "platform/sdl/VirtualKeys.h"

#include <array>
#include <vector>

namespace rodavia {
namespace {

struct KeyEntry {
  int vk;
  SDL_Scancode scancode;
};

// Where a code appears twice, the first entry gives the reverse mapping:
// scancode RSHIFT reads as 16, and 16 gives the left key.
std::vector<KeyEntry> BuildKeyList() {
  std::vector<KeyEntry> keys = {
      {8, SDL_SCANCODE_BACKSPACE},
      {9, SDL_SCANCODE_TAB},
      {13, SDL_SCANCODE_RETURN},
      {13, SDL_SCANCODE_KP_ENTER},
      {16, SDL_SCANCODE_LSHIFT},
      {16, SDL_SCANCODE_RSHIFT},
      {17, SDL_SCANCODE_LCTRL},
      {17, SDL_SCANCODE_RCTRL},
      {18, SDL_SCANCODE_LALT},
      {18, SDL_SCANCODE_RALT},
      {160, SDL_SCANCODE_LSHIFT},
      {161, SDL_SCANCODE_RSHIFT},
      {162, SDL_SCANCODE_LCTRL},
      {163, SDL_SCANCODE_RCTRL},
      {164, SDL_SCANCODE_LALT},
      {165, SDL_SCANCODE_RALT},
      {19, SDL_SCANCODE_PAUSE},
      {20, SDL_SCANCODE_CAPSLOCK},
      {27, SDL_SCANCODE_ESCAPE},
      {32, SDL_SCANCODE_SPACE},
      {33, SDL_SCANCODE_PAGEUP},
      {34, SDL_SCANCODE_PAGEDOWN},
      {35, SDL_SCANCODE_END},
      {36, SDL_SCANCODE_HOME},
      {37, SDL_SCANCODE_LEFT},
      {38, SDL_SCANCODE_UP},
      {39, SDL_SCANCODE_RIGHT},
      {40, SDL_SCANCODE_DOWN},
      {45, SDL_SCANCODE_INSERT},
      {46, SDL_SCANCODE_DELETE},
      {106, SDL_SCANCODE_KP_MULTIPLY},
      {107, SDL_SCANCODE_KP_PLUS},
      {109, SDL_SCANCODE_KP_MINUS},
      {110, SDL_SCANCODE_KP_PERIOD},
      {111, SDL_SCANCODE_KP_DIVIDE},
      {186, SDL_SCANCODE_SEMICOLON},
      {187, SDL_SCANCODE_EQUALS},
      {188, SDL_SCANCODE_COMMA},
      {189, SDL_SCANCODE_MINUS},
      {190, SDL_SCANCODE_PERIOD},
      {191, SDL_SCANCODE_SLASH},
      {192, SDL_SCANCODE_GRAVE},
      {219, SDL_SCANCODE_LEFTBRACKET},
      {220, SDL_SCANCODE_BACKSLASH},
      {221, SDL_SCANCODE_RIGHTBRACKET},
      {222, SDL_SCANCODE_APOSTROPHE},
  };
  // SDL orders the digit rows 1..9 then 0; Windows orders them 0..9.
  keys.push_back({48, SDL_SCANCODE_0});
  keys.push_back({96, SDL_SCANCODE_KP_0});
  for (int d = 1; d <= 9; ++d) {
    keys.push_back({48 + d, SDL_Scancode(SDL_SCANCODE_1 + d - 1)});
    keys.push_back({96 + d, SDL_Scancode(SDL_SCANCODE_KP_1 + d - 1)});
  }
  for (int l = 0; l < 26; ++l) keys.push_back({65 + l, SDL_Scancode(SDL_SCANCODE_A + l)});
  for (int f = 0; f < 12; ++f) keys.push_back({112 + f, SDL_Scancode(SDL_SCANCODE_F1 + f)});
  return keys;
}

struct KeyTables {
  std::array<int, SDL_NUM_SCANCODES> vkOf{};
  std::array<SDL_Scancode, 256> scancodeOf{};
};

const KeyTables& Tables() {
  static const KeyTables tables = [] {
    KeyTables t;
    t.scancodeOf.fill(SDL_SCANCODE_UNKNOWN);
    for (const KeyEntry& k : BuildKeyList()) {
      if (t.vkOf[k.scancode] == 0) t.vkOf[k.scancode] = k.vk;
      if (t.scancodeOf[k.vk] == SDL_SCANCODE_UNKNOWN) t.scancodeOf[k.vk] = k.scancode;
    }
    return t;
  }();
  return tables;
}

bool InVirtualKeyRange(int vk) { return vk > 0 && vk < 256; }

}  // namespace

int VirtualKeyFromScancode(SDL_Scancode scancode) {
  if (scancode <= SDL_SCANCODE_UNKNOWN || scancode >= SDL_NUM_SCANCODES) return 0;
  return Tables().vkOf[scancode];
}

SDL_Scancode ScancodeFromVirtualKey(int virtualKey) {
  if (!InVirtualKeyRange(virtualKey)) return SDL_SCANCODE_UNKNOWN;
  return Tables().scancodeOf[virtualKey];
}

}  // namespace rodavia
