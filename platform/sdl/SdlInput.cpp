#include "platform/sdl/SdlInput.h"

#include <algorithm>
#include <cmath>

#include "platform/sdl/VirtualKeys.h"

namespace rodavia {

int ScaleAxis(Sint16 value) {
  // The whole range maps linearly onto −128..128, as DirectInput ranges do.
  double scaled = (double(value) + 32768.0) * 256.0 / 65535.0 - 128.0;
  return std::clamp(int(std::nearbyint(scaled)), -128, 128);
}

bool SdlKeyboard::KeyDown(int virtualKey) const {
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  switch (virtualKey) {
    case 16: return state[SDL_SCANCODE_LSHIFT] || state[SDL_SCANCODE_RSHIFT];
    case 17: return state[SDL_SCANCODE_LCTRL] || state[SDL_SCANCODE_RCTRL];
    case 18: return state[SDL_SCANCODE_LALT] || state[SDL_SCANCODE_RALT];
    case 13: return state[SDL_SCANCODE_RETURN] || state[SDL_SCANCODE_KP_ENTER];
  }
  SDL_Scancode scancode = ScancodeFromVirtualKey(virtualKey);
  return scancode != SDL_SCANCODE_UNKNOWN && state[scancode];
}

SdlJoystick::SdlJoystick(SDL_Joystick* joystick, SDL_Haptic* haptic, bool forceFeedback)
    : joystick_(joystick), haptic_(haptic), forceFeedback_(forceFeedback),
      buttons_(size_t(std::max(0, SDL_JoystickNumButtons(joystick))), false) {}

SdlJoystick::~SdlJoystick() {
  if (haptic_) SDL_HapticClose(haptic_);
  SDL_JoystickClose(joystick_);
}

bool SdlJoystick::Poll() {
  SDL_JoystickUpdate();
  if (!SDL_JoystickGetAttached(joystick_)) return false;
  int axisCount = SDL_JoystickNumAxes(joystick_);
  for (int a = 0; a < 3; ++a) axes_[a] = a < axisCount ? ScaleAxis(SDL_JoystickGetAxis(joystick_, a)) : 0;
  for (size_t b = 0; b < buttons_.size(); ++b) buttons_[b] = SDL_JoystickGetButton(joystick_, int(b)) != 0;
  return true;
}

bool SdlJoystick::Button(int index) const {
  return index >= 0 && index < int(buttons_.size()) && buttons_[size_t(index)];
}

void SdlJoystick::SetAutoCenter(bool on) {
  if (haptic_ && (SDL_HapticQuery(haptic_) & SDL_HAPTIC_AUTOCENTER))
    SDL_HapticSetAutocenter(haptic_, on ? 100 : 0);
}

void SdlJoystick::Rumble(double strength, int milliseconds) {
  if (!forceFeedback_) return;
  strength = std::clamp(strength, 0.0, 1.0);
  milliseconds = std::max(0, milliseconds);
  if (haptic_) {
    if (!rumbleReady_) rumbleReady_ = SDL_HapticRumbleSupported(haptic_) == SDL_TRUE &&
                                      SDL_HapticRumbleInit(haptic_) == 0;
    if (rumbleReady_) SDL_HapticRumblePlay(haptic_, float(strength), Uint32(milliseconds));
    return;
  }
  // Pads without a haptic device often still rumble through the joystick.
  Uint16 level = Uint16(std::lround(strength * 0xFFFF));
  SDL_JoystickRumble(joystick_, level, level, Uint32(milliseconds));
}

SdlInput::SdlInput() {
  // Each subsystem on its own: a machine without haptics still has joysticks.
  for (Uint32 subsystem : {Uint32(SDL_INIT_JOYSTICK), Uint32(SDL_INIT_HAPTIC)})
    if (SDL_InitSubSystem(subsystem) == 0) subsystems_ |= subsystem;
}

SdlInput::~SdlInput() {
  if (subsystems_ & SDL_INIT_HAPTIC) SDL_QuitSubSystem(SDL_INIT_HAPTIC);
  if (subsystems_ & SDL_INIT_JOYSTICK) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

int SdlInput::JoystickCount() const { return std::max(0, SDL_NumJoysticks()); }

std::unique_ptr<JoystickDevice> SdlInput::OpenJoystick(int id, bool forceFeedback) {
  if (id < 0 || id >= JoystickCount()) return nullptr;
  SDL_Joystick* joystick = SDL_JoystickOpen(id);
  if (!joystick) return nullptr;
  SDL_Haptic* haptic = forceFeedback && SDL_JoystickIsHaptic(joystick) == SDL_TRUE
                           ? SDL_HapticOpenFromJoystick(joystick)
                           : nullptr;
  return std::make_unique<SdlJoystick>(joystick, haptic, forceFeedback);
}

}  // namespace rodavia
