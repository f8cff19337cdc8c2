#include <gtest/gtest.h>

#include "platform/sdl/VirtualKeys.h"

namespace rodavia {
namespace {

TEST(VirtualKeys, EveryMappedCodeComesBackFromItsKey) {
  int mapped = 0;
  for (int vk = 1; vk < 256; ++vk) {
    SDL_Scancode sc = ScancodeFromVirtualKey(vk);
    if (sc == SDL_SCANCODE_UNKNOWN) continue;
    ++mapped;
    int back = VirtualKeyFromScancode(sc);
    // The side-specific codes read back as the plain modifier.
    int expected = vk >= 160 && vk <= 165 ? 16 + (vk - 160) / 2 : vk;
    EXPECT_EQ(back, expected) << "vk " << vk;
    EXPECT_NE(VirtualKeyName(vk).rfind("Tecla ", 0), 0u) << "vk " << vk << " has no name";
  }
  // 8 9 13 16-20 27 32-40 45 46, 10 digits, 26 letters, 10 keypad digits,
  // 5 keypad operators, 12 F keys, 11 punctuation keys, 6 sided modifiers.
  EXPECT_EQ(mapped, 20 + 10 + 26 + 10 + 5 + 12 + 11 + 6);
}

TEST(VirtualKeys, KeysThatFilesStore) {
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_ESCAPE), 27);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RETURN), 13);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_ENTER), 13);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LEFT), 37);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UP), 38);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RIGHT), 39);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_DOWN), 40);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_0), 48);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_1), 49);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_9), 57);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_A), 65);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_Z), 90);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_0), 96);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_1), 97);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F1), 112);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F12), 123);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 16);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RCTRL), 17);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RALT), 18);
  EXPECT_EQ(ScancodeFromVirtualKey(16), SDL_SCANCODE_LSHIFT);
  EXPECT_EQ(ScancodeFromVirtualKey(165), SDL_SCANCODE_RALT);
}

TEST(VirtualKeys, UnknownCodesAreSafe) {
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F24), 0);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_Scancode(-5)), 0);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_Scancode(SDL_NUM_SCANCODES + 7)), 0);
  for (int vk : {0, -1, 255, 256, 70000, -32768})
    EXPECT_EQ(ScancodeFromVirtualKey(vk), SDL_SCANCODE_UNKNOWN) << vk;
  EXPECT_EQ(VirtualKeyName(0), "Ninguna");
  EXPECT_EQ(VirtualKeyName(-3), "Tecla -3");
  EXPECT_EQ(VirtualKeyName(300), "Tecla 300");
}

TEST(VirtualKeys, Names) {
  EXPECT_EQ(VirtualKeyName(38), "Flecha arriba");
  EXPECT_EQ(VirtualKeyName(37), "Flecha izquierda");
  EXPECT_EQ(VirtualKeyName(65), "A");
  EXPECT_EQ(VirtualKeyName(48), "0");
  EXPECT_EQ(VirtualKeyName(105), "Num 9");
  EXPECT_EQ(VirtualKeyName(112), "F1");
  EXPECT_EQ(VirtualKeyName(123), "F12");
  EXPECT_EQ(VirtualKeyName(32), "Espacio");
  EXPECT_EQ(VirtualKeyName(13), "Intro");
  EXPECT_EQ(VirtualKeyName(27), "Esc");
  EXPECT_EQ(VirtualKeyName(16), "Mayús");
}

}  // namespace
}  // namespace rodavia
