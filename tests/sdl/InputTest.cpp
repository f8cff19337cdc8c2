#include <gtest/gtest.h>

#include "platform/KeyNames.h"
#include "platform/sdl/SdlInput.h"
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

TEST(VirtualKeys, KeysThatFilesStoreAndTheirNames) {
  struct Case {
    SDL_Scancode scancode;
    int vk;
    const char* name;
  } cases[] = {
      {SDL_SCANCODE_ESCAPE, 27, "Esc"},      {SDL_SCANCODE_RETURN, 13, "Intro"},
      {SDL_SCANCODE_SPACE, 32, "Espacio"},   {SDL_SCANCODE_LEFT, 37, "←"},
      {SDL_SCANCODE_UP, 38, "↑"}, {SDL_SCANCODE_DOWN, 40, "↓"},
      {SDL_SCANCODE_0, 48, "0"},             {SDL_SCANCODE_9, 57, "9"},
      {SDL_SCANCODE_A, 65, "A"},             {SDL_SCANCODE_Z, 90, "Z"},
      {SDL_SCANCODE_KP_0, 96, "Num 0"},      {SDL_SCANCODE_KP_9, 105, "Num 9"},
      {SDL_SCANCODE_F1, 112, "F1"},          {SDL_SCANCODE_F12, 123, "F12"},
      {SDL_SCANCODE_LSHIFT, 16, "Mayús"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << c.name;
    EXPECT_EQ(VirtualKeyName(c.vk), c.name);
  }
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_ENTER), 13);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 16);
  EXPECT_EQ(ScancodeFromVirtualKey(165), SDL_SCANCODE_RALT);
  // Unknown codes, either way, are harmless.
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F24), 0);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_Scancode(-5)), 0);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_Scancode(SDL_NUM_SCANCODES + 7)), 0);
  for (int vk : {0, -1, 255, 256, -32768}) EXPECT_EQ(ScancodeFromVirtualKey(vk), SDL_SCANCODE_UNKNOWN);
  EXPECT_EQ(VirtualKeyName(0), "Ninguna");
  EXPECT_EQ(VirtualKeyName(300), "Tecla 300");
}

TEST(Axes, FullTravelReadsMinus128To128) {
  EXPECT_EQ(ScaleAxis(-32768), -128);
  EXPECT_EQ(ScaleAxis(0), 0);
  EXPECT_EQ(ScaleAxis(-1), 0);
  EXPECT_EQ(ScaleAxis(32767), 128);
  EXPECT_EQ(ScaleAxis(16384), 64);
  EXPECT_EQ(ScaleAxis(-16384), -64);
  int previous = -128;
  for (int v = -32768; v <= 32767; ++v) {
    int scaled = ScaleAxis(Sint16(v));
    ASSERT_GE(scaled, previous) << v;
    ASSERT_LE(scaled - previous, 1) << v;
    ASSERT_LE(std::abs(scaled + ScaleAxis(Sint16(-1 - v))), 1) << "not symmetric at " << v;
    previous = scaled;
  }
}

// Keys are simulated by writing into the state array SDL keeps for the
// keyboard, which is what it does itself when a key event is pumped.
class Keys : public ::testing::Test {
 protected:
  ~Keys() override { std::fill(state, state + count, 0); }
  void Press(SDL_Scancode s) { state[s] = 1; }
  SdlKeyboard keyboard;
  int count = 0;
  Uint8* state = const_cast<Uint8*>(SDL_GetKeyboardState(&count));
};

TEST_F(Keys, AnswerWhatIsHeldOnEitherSide) {
  Press(SDL_SCANCODE_UP);
  Press(SDL_SCANCODE_KP_ENTER);
  Press(SDL_SCANCODE_RSHIFT);
  Press(SDL_SCANCODE_LCTRL);
  for (int vk : {38, 13, 16, 17, 161, 162}) EXPECT_TRUE(keyboard.KeyDown(vk)) << vk;
  for (int vk : {40, 18, 160, 163, 0, -38, 100000}) EXPECT_FALSE(keyboard.KeyDown(vk)) << vk;
}

struct RumbleLog {
  int calls = 0;
  Uint16 low = 0, high = 0;
};

int SDLCALL RecordRumble(void* userdata, Uint16 low, Uint16 high) {
  auto* log = static_cast<RumbleLog*>(userdata);
  if (low || high) ++log->calls;  // SDL itself sends zeros when a rumble ends
  log->low = low;
  log->high = high;
  return 0;
}

class Joysticks : public ::testing::Test {
 protected:
  ~Joysticks() override {
    for (SDL_Joystick* j : handles) SDL_JoystickClose(j);
    while (SDL_NumJoysticks() > 0) SDL_JoystickDetachVirtual(0);
  }
  // Attaches a virtual joystick; returns its device number.
  int Attach(int axes, int buttons) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = Uint16(axes);
    desc.nbuttons = Uint16(buttons);
    desc.name = "Volante de prueba";
    desc.userdata = &rumble;
    desc.Rumble = RecordRumble;
    int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    handles.push_back(SDL_JoystickOpen(index));
    return index;
  }
  SDL_Joystick* Handle(int index) { return handles[size_t(index)]; }

  SdlInput input;
  std::vector<SDL_Joystick*> handles;
  RumbleLog rumble;
};

TEST_F(Joysticks, AxesAndButtonsAfterAPoll) {
  int id = Attach(3, 4);
  ASSERT_EQ(input.JoystickCount(), 1);
  auto device = input.OpenJoystick(id, false);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->ButtonCount(), 4);
  SDL_JoystickSetVirtualAxis(Handle(id), 0, -32768);
  SDL_JoystickSetVirtualAxis(Handle(id), 1, 0);
  SDL_JoystickSetVirtualAxis(Handle(id), 2, 32767);
  SDL_JoystickSetVirtualButton(Handle(id), 2, SDL_PRESSED);
  EXPECT_EQ(device->X(), 0) << "nothing is read before a poll";
  ASSERT_TRUE(device->Poll());
  EXPECT_EQ(device->X(), -128);
  EXPECT_EQ(device->Y(), 0);
  EXPECT_EQ(device->Z(), 128);
  for (int b = -1; b <= 4; ++b) EXPECT_EQ(device->Button(b), b == 2) << b;

  SDL_JoystickSetVirtualAxis(Handle(id), 0, 32767);
  SDL_JoystickSetVirtualAxis(Handle(id), 1, -32768);
  SDL_JoystickSetVirtualButton(Handle(id), 2, SDL_RELEASED);
  ASSERT_TRUE(device->Poll());
  EXPECT_EQ(device->X(), 128);
  EXPECT_EQ(device->Y(), -128);
  EXPECT_FALSE(device->Button(2));
}

TEST_F(Joysticks, AMissingZAxisReadsCentred) {
  int id = Attach(2, 2);
  auto device = input.OpenJoystick(id, false);
  SDL_JoystickSetVirtualAxis(Handle(id), 1, 32767);
  ASSERT_TRUE(device->Poll());
  EXPECT_EQ(device->Y(), 128);
  EXPECT_EQ(device->Z(), 0);
}

TEST_F(Joysticks, DeviceNumbersFollowSdlOrder) {
  Attach(3, 1);
  int second = Attach(3, 1);
  ASSERT_EQ(second, 1);
  EXPECT_EQ(input.JoystickCount(), 2);
  SDL_JoystickSetVirtualAxis(Handle(second), 0, 32767);
  auto first = input.OpenJoystick(0, false);
  auto other = input.OpenJoystick(1, false);
  ASSERT_TRUE(first->Poll());
  ASSERT_TRUE(other->Poll());
  EXPECT_EQ(first->X(), 0);
  EXPECT_EQ(other->X(), 128);
  EXPECT_EQ(input.OpenJoystick(2, false), nullptr);
  EXPECT_EQ(input.OpenJoystick(-1, false), nullptr);
  EXPECT_EQ(input.OpenJoystick(15, true), nullptr);
}

TEST_F(Joysticks, PollFailsOnceDetached) {
  int id = Attach(3, 4);
  auto device = input.OpenJoystick(id, true);
  ASSERT_TRUE(device->Poll());
  SDL_JoystickDetachVirtual(id);
  EXPECT_FALSE(device->Poll());
  device->Rumble(1.0, 100);  // harmless on a gone device
  device->SetAutoCenter(true);
}

TEST_F(Joysticks, RumbleOnlyWithForceFeedback) {
  int id = Attach(3, 4);
  auto plain = input.OpenJoystick(id, false);
  plain->SetAutoCenter(true);
  plain->Rumble(1.0, 200);
  EXPECT_EQ(rumble.calls, 0);

  auto felt = input.OpenJoystick(id, true);
  felt->SetAutoCenter(true);  // the virtual device has no centring spring: nothing
  felt->Rumble(0.5, 200);
  EXPECT_EQ(rumble.calls, 1);
  EXPECT_EQ(rumble.low, 32768);
  EXPECT_EQ(rumble.high, 32768);
  felt->Rumble(7.0, 200);  // held to full strength
  EXPECT_EQ(rumble.low, 65535);
}

}  // namespace
}  // namespace rodavia
