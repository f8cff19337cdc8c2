#include "platform/sdl/VirtualKeys.h"

#include <array>
#include <vector>

namespace rodavia {
namespace {

// Appending avoids g++ 12's false -Wrestrict on "literal" + std::string.
std::string Numbered(const char* prefix, int n) {
  std::string text = prefix;
  text += std::to_string(n);
  return text;
}

struct KeyEntry {
  int vk;
  SDL_Scancode scancode;
  std::string name;
};

// Where a code appears twice, the first entry gives the reverse mapping and
// the name: scancode RSHIFT reads as 16, and 16 names the left key.
std::vector<KeyEntry> BuildKeyList() {
  std::vector<KeyEntry> keys = {
      {8, SDL_SCANCODE_BACKSPACE, "Retroceso"},
      {9, SDL_SCANCODE_TAB, "Tab"},
      {13, SDL_SCANCODE_RETURN, "Intro"},
      {13, SDL_SCANCODE_KP_ENTER, "Intro"},
      {16, SDL_SCANCODE_LSHIFT, "Mayús"},
      {16, SDL_SCANCODE_RSHIFT, "Mayús"},
      {17, SDL_SCANCODE_LCTRL, "Ctrl"},
      {17, SDL_SCANCODE_RCTRL, "Ctrl"},
      {18, SDL_SCANCODE_LALT, "Alt"},
      {18, SDL_SCANCODE_RALT, "Alt"},
      {160, SDL_SCANCODE_LSHIFT, "Mayús izquierda"},
      {161, SDL_SCANCODE_RSHIFT, "Mayús derecha"},
      {162, SDL_SCANCODE_LCTRL, "Ctrl izquierda"},
      {163, SDL_SCANCODE_RCTRL, "Ctrl derecha"},
      {164, SDL_SCANCODE_LALT, "Alt izquierda"},
      {165, SDL_SCANCODE_RALT, "Alt Gr"},
      {19, SDL_SCANCODE_PAUSE, "Pausa"},
      {20, SDL_SCANCODE_CAPSLOCK, "Bloq Mayús"},
      {27, SDL_SCANCODE_ESCAPE, "Esc"},
      {32, SDL_SCANCODE_SPACE, "Espacio"},
      {33, SDL_SCANCODE_PAGEUP, "Re Pág"},
      {34, SDL_SCANCODE_PAGEDOWN, "Av Pág"},
      {35, SDL_SCANCODE_END, "Fin"},
      {36, SDL_SCANCODE_HOME, "Inicio"},
      {37, SDL_SCANCODE_LEFT, "Flecha izquierda"},
      {38, SDL_SCANCODE_UP, "Flecha arriba"},
      {39, SDL_SCANCODE_RIGHT, "Flecha derecha"},
      {40, SDL_SCANCODE_DOWN, "Flecha abajo"},
      {45, SDL_SCANCODE_INSERT, "Insert"},
      {46, SDL_SCANCODE_DELETE, "Supr"},
      {106, SDL_SCANCODE_KP_MULTIPLY, "Num *"},
      {107, SDL_SCANCODE_KP_PLUS, "Num +"},
      {109, SDL_SCANCODE_KP_MINUS, "Num -"},
      {110, SDL_SCANCODE_KP_PERIOD, "Num ."},
      {111, SDL_SCANCODE_KP_DIVIDE, "Num /"},
      {186, SDL_SCANCODE_SEMICOLON, ";"},
      {187, SDL_SCANCODE_EQUALS, "="},
      {188, SDL_SCANCODE_COMMA, ","},
      {189, SDL_SCANCODE_MINUS, "-"},
      {190, SDL_SCANCODE_PERIOD, "."},
      {191, SDL_SCANCODE_SLASH, "/"},
      {192, SDL_SCANCODE_GRAVE, "`"},
      {219, SDL_SCANCODE_LEFTBRACKET, "["},
      {220, SDL_SCANCODE_BACKSLASH, "\\"},
      {221, SDL_SCANCODE_RIGHTBRACKET, "]"},
      {222, SDL_SCANCODE_APOSTROPHE, "'"},
  };
  // SDL orders the digit rows 1..9 then 0; Windows orders them 0..9.
  keys.push_back({48, SDL_SCANCODE_0, "0"});
  keys.push_back({96, SDL_SCANCODE_KP_0, "Num 0"});
  for (int d = 1; d <= 9; ++d) {
    keys.push_back({48 + d, SDL_Scancode(SDL_SCANCODE_1 + d - 1), std::to_string(d)});
    keys.push_back({96 + d, SDL_Scancode(SDL_SCANCODE_KP_1 + d - 1), Numbered("Num ", d)});
  }
  for (int l = 0; l < 26; ++l)
    keys.push_back({65 + l, SDL_Scancode(SDL_SCANCODE_A + l), std::string(1, char('A' + l))});
  for (int f = 0; f < 12; ++f)
    keys.push_back({112 + f, SDL_Scancode(SDL_SCANCODE_F1 + f), Numbered("F", f + 1)});
  return keys;
}

struct KeyTables {
  std::array<int, SDL_NUM_SCANCODES> vkOf{};
  std::array<SDL_Scancode, 256> scancodeOf{};
  std::array<std::string, 256> nameOf;
};

const KeyTables& Tables() {
  static const KeyTables tables = [] {
    KeyTables t;
    t.scancodeOf.fill(SDL_SCANCODE_UNKNOWN);
    for (const KeyEntry& k : BuildKeyList()) {
      if (t.vkOf[k.scancode] == 0) t.vkOf[k.scancode] = k.vk;
      if (t.scancodeOf[k.vk] == SDL_SCANCODE_UNKNOWN) {
        t.scancodeOf[k.vk] = k.scancode;
        t.nameOf[k.vk] = k.name;
      }
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

std::string VirtualKeyName(int virtualKey) {
  if (virtualKey == 0) return "Ninguna";
  if (InVirtualKeyRange(virtualKey) && !Tables().nameOf[virtualKey].empty())
    return Tables().nameOf[virtualKey];
  return Numbered("Tecla ", virtualKey);
}

}  // namespace rodavia
