#pragma once
// Stand-ins for the platform in tests: a clock set by hand, scripted message
// boxes, silent recorded waves, a keyboard and joysticks set by hand, a text
// renderer and display that record, and a temporary program folder.
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"

namespace rodavia::test {

// Installed on construction, removed on destruction.
class FakeClock : public Clock {
 public:
  explicit FakeClock(double now = 46000.5, uint32_t ticks = 1000);
  ~FakeClock() override;
  double Now() const override { return now; }
  uint32_t Ticks() const override { return ticks; }
  double now;
  uint32_t ticks;
};

struct ShownMessage {
  MsgKind kind;
  std::string text;
  MsgButtons buttons;
};

// Records every box and answers from a script (then the first button).
class ScriptedMessages : public MessageBoxes {
 public:
  ScriptedMessages();
  ~ScriptedMessages() override;
  std::vector<ShownMessage> shown;
  std::deque<MsgResult> answers;
  // Runs while each box waits, as a player's box keeps the window going.
  std::function<void()> whileShown;
  std::vector<std::string> Texts() const;

 protected:
  MsgResult Ask(MsgKind kind, const std::string& text, MsgButtons buttons) override;
};

struct FakeWaveLog {
  int plays = 0, stops = 0;
  int frequency = 0;
  bool looped = false;
  int maxPlaying = 0;
};

class FakeWave : public Wave {
 public:
  explicit FakeWave(std::shared_ptr<FakeWaveLog> log) : log_(std::move(log)) {}
  void Play() override { ++log_->plays; }
  void Stop() override { ++log_->stops; }
  void SetFrequency(int hz) override { log_->frequency = hz; }
  int Frequency() const override { return log_->frequency; }
  void SetLooped(bool looped) override { log_->looped = looped; }
  void SetMaxPlayingCount(int count) override { log_->maxPlaying = count; }

 private:
  std::shared_ptr<FakeWaveLog> log_;
};

// Loads any existing file; logs[file name] tells what its waves did.
class FakeSound : public SoundSystem {
 public:
  std::unique_ptr<Wave> Load(const std::filesystem::path& path) override;
  std::set<std::string> missing;  // file names that fail to load even if present
  bool requireFile = true;        // fail when the file does not exist
  std::vector<std::string> loaded;
  std::map<std::string, std::shared_ptr<FakeWaveLog>> logs;
};

class FakeKeyboard : public Keyboard {
 public:
  bool KeyDown(int vk) const override { return down.count(vk) > 0; }
  std::set<int> down;
};

struct FakeJoystickState {
  int x = 0, y = 0, z = 0;
  std::vector<bool> buttons = std::vector<bool>(4, false);
  bool autoCenter = false;
  int rumbles = 0;
  bool forceFeedback = false;
};

class FakeJoystick : public JoystickDevice {
 public:
  explicit FakeJoystick(std::shared_ptr<FakeJoystickState> s) : s_(std::move(s)) {}
  bool Poll() override { return true; }
  int X() const override { return s_->x; }
  int Y() const override { return s_->y; }
  int Z() const override { return s_->z; }
  int ButtonCount() const override { return int(s_->buttons.size()); }
  bool Button(int i) const override { return i >= 0 && i < int(s_->buttons.size()) && s_->buttons[i]; }
  void SetAutoCenter(bool on) override { s_->autoCenter = on; }
  void Rumble(double, int) override { ++s_->rumbles; }

 private:
  std::shared_ptr<FakeJoystickState> s_;
};

class FakeInput : public InputSystem {
 public:
  const Keyboard& Teclado() const override { return keyboard; }
  int JoystickCount() const override { return int(joysticks.size()); }
  std::unique_ptr<JoystickDevice> OpenJoystick(int id, bool forceFeedback) override;
  FakeKeyboard keyboard;
  std::vector<std::shared_ptr<FakeJoystickState>> joysticks;
};

struct DrawnText {
  int x, y;
  std::string text;
  uint32_t color;
  int points;
};

class FakeText : public TextRenderer {
 public:
  void Draw(Surface16&, int x, int y, const std::string& utf8, uint32_t color, int points) override {
    drawn.push_back({x, y, utf8, color, points});
  }
  std::vector<DrawnText> drawn;
};

class FakeDisplay : public Display {
 public:
  void SetFullScreenOption(bool f) override { fullScreen = f; }
  bool FullScreenOption() const override { return fullScreen; }
  bool Initialize() override;
  void Finalize() override { initialized = false; }
  bool Initialized() const override { return initialized; }
  Surface16& BackBuffer() override { return back; }
  void Flip() override { ++flips; }
  void SetVisible(bool v) override { visible = v; }
  bool Visible() const override { return visible; }
  void SetCursorVisible(bool v) override { cursorVisible = v; }
  void SetBusyCursor(bool b) override { busy = b; }

  bool fullScreen = true, initialized = false, visible = false, cursorVisible = true, busy = false;
  bool failFullScreen = false;  // the full-screen mode cannot be set
  int initializations = 0, flips = 0;
  Surface16 back{1024, 768};
};

// A fresh temporary folder made the program folder; removed afterwards.
class TempProgramFolder {
 public:
  TempProgramFolder();
  ~TempProgramFolder();
  const std::filesystem::path& path() const { return path_; }
  // Writes a file (folders created), contents as given.
  void Write(const std::string& relative, const std::string& contents) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

}  // namespace rodavia::test
