#pragma once
// Keyboard and joysticks through SDL. The keyboard answers from the state SDL
// keeps while the window's events are pumped; joysticks are numbered in
// SDL's device order and feel force feedback through SDL's haptics.
#include <SDL2/SDL.h>

#include <vector>

#include "platform/Input.h"

namespace rodavia {

class SdlKeyboard : public Keyboard {
 public:
  // 16, 17 and 18 are down when either Shift, Ctrl or Alt key is.
  bool KeyDown(int virtualKey) const override;
};

class SdlJoystick : public JoystickDevice {
 public:
  // Takes both; haptic may be null. Without forceFeedback it never rumbles.
  SdlJoystick(SDL_Joystick* joystick, SDL_Haptic* haptic, bool forceFeedback);
  ~SdlJoystick() override;
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  bool Poll() override;
  int X() const override { return axes_[0]; }
  int Y() const override { return axes_[1]; }
  int Z() const override { return axes_[2]; }
  int ButtonCount() const override { return int(buttons_.size()); }
  bool Button(int index) const override;
  void SetAutoCenter(bool on) override;
  void Rumble(double strength, int milliseconds) override;

 private:
  SDL_Joystick* joystick_;
  SDL_Haptic* haptic_;
  bool forceFeedback_;
  bool rumbleReady_ = false;
  int axes_[3] = {0, 0, 0};
  std::vector<bool> buttons_;
};

class SdlInput : public InputSystem {
 public:
  SdlInput();
  ~SdlInput() override;
  const Keyboard& Teclado() const override { return keyboard_; }
  int JoystickCount() const override;
  std::unique_ptr<JoystickDevice> OpenJoystick(int id, bool forceFeedback) override;

 private:
  SdlKeyboard keyboard_;
  Uint32 subsystems_ = 0;
};

// An SDL axis, −32768..32767, as −128..128.
int ScaleAxis(Sint16 value);

}  // namespace rodavia
