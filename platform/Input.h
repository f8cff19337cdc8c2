#pragma once
// Keyboard and joysticks. Keys are Windows virtual-key codes (27 Escape,
// 13 Enter, 37..40 arrows, 65..90 letters, 112.. F keys).
#include <memory>

namespace rodavia {

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Whether the key is held now (what GetKeyState tells).
  virtual bool KeyDown(int virtualKey) const = 0;
};

class JoystickDevice {
 public:
  virtual ~JoystickDevice() = default;
  // Reads the device; false when it is gone.
  virtual bool Poll() = 0;
  // Axes after the last poll, each -128..128.
  virtual int X() const = 0;
  virtual int Y() const = 0;
  virtual int Z() const = 0;
  virtual int ButtonCount() const = 0;
  virtual bool Button(int index) const = 0;
  // Force feedback; nothing on a device without it.
  virtual void SetAutoCenter(bool on) = 0;
  virtual void Rumble(double strength, int milliseconds) = 0;
};

class InputSystem {
 public:
  virtual ~InputSystem() = default;
  virtual const Keyboard& Teclado() const = 0;
  virtual int JoystickCount() const = 0;
  // nullptr when there is no joystick with that device number.
  virtual std::unique_ptr<JoystickDevice> OpenJoystick(int id, bool forceFeedback) = 0;
};

}  // namespace rodavia
