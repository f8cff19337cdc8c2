#pragma once
// The application: SDL with one 1024 x 768 window "Rodavia", its software
// renderer and Dear ImGui; the main loop and the nested loops of modal windows and
// message boxes; the race display and the race text. Constructing it
// installs the loop step (ProcessMessages), the message boxes and the
// address opener for the game.
#include <SDL2/SDL_events.h>

#include <bitset>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Controls.h"
#include "platform/Display.h"
#include "platform/MessageBox.h"

struct SDL_Renderer;
struct SDL_Window;

namespace rodavia {

class SdlDisplay;
class SdlText;
class FormRenderer;
class MessageBoxView;

class SdlApplication {
 public:
  // Throws std::runtime_error with a clear message when SDL, the window, its
  // renderer or the race font cannot start.
  explicit SdlApplication();
  ~SdlApplication();
  SdlApplication(const SdlApplication&) = delete;
  SdlApplication& operator=(const SdlApplication&) = delete;

  Display& GetDisplay();
  TextRenderer& Text();
  SDL_Window* Window() const { return window_; }

  // Shows the main window and loops until it is no longer visible.
  void Run(TForm& mainForm);
  // Shows a modal window over everything and loops until its ModalResult is
  // set or it is closed; answers ModalResult (0 when closed).
  int ShowModal(TForm& form);
  // A blocking message box over everything, answered by the player.
  MsgResult ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons);
  // One loop step: pending events, posted work, due timers, a frame when
  // one is wanted. When nothing was pending it sleeps until an event, the
  // next due timer or frame, or `longestSleep` ms, whichever comes first.
  void ProcessMessagesOnce(uint32_t longestSleep = 0);

 private:
  // A window over the main one: a modal form or a message box.
  struct Layer {
    TForm* form = nullptr;
    MessageBoxView* box = nullptr;
    bool appeared = false;
    bool floatingShown = false;  // its tool window was drawn last frame
  };
  class LayerScope;
  class Messages;

  void StartVideo();
  void RefuseWindowlessVideo();
  void StartImGui();
  void Shutdown();
  void WantFrames(int frames);
  uint32_t FramePace() const;
  uint32_t UntilNextWork() const;
  void Sleep(uint32_t ms);
  bool DeliverEvents();
  bool TypingKey(const SDL_Event& e, const SDL_Event* next) const;
  bool JoinsFrame(const SDL_Event& e, bool typing);
  void HandleEvent(const SDL_Event& e, bool typing);
  bool HandleKey(const SDL_Event& e);
  void TrackMouse(const SDL_Event& e);
  void HandleClose();
  bool DrawIfDue();
  void DrawFrame();
  void ReturnFreedMemory();
  TForm* TopForm() const;

  uint32_t subsystems_ = 0;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* sdlRenderer_ = nullptr;
  bool imgui_ = false;
  std::unique_ptr<SdlDisplay> display_;
  std::unique_ptr<SdlText> text_;
  std::unique_ptr<FormRenderer> renderer_;
  std::unique_ptr<Messages> messages_;
  TForm* mainForm_ = nullptr;
  std::vector<Layer> layers_;
  uint32_t lastFrame_ = 0;
  int framesWanted_ = 0;
  uint64_t framesDrawn_ = 0;
  std::optional<bool> trimmedScreen_;  // the screen (race or not) memory was last returned on
  std::deque<SDL_Event> pending_;  // events not yet handed to the windows
  // What the events handed to ImGui since the last frame changed: ImGui
  // reads keys, buttons and the pointer once a frame.
  struct FrameInput {
    std::bitset<SDL_NUM_SCANCODES> keys;  // pressed or released
    uint32_t buttons = 0;                 // SDL_BUTTON masks pressed or released
    bool keyboard = false;                // a key or typed text
    bool command = false;                 // a key pressed that edits or moves (Enter, Tab, arrows, Backspace)
  };
  FrameInput frameInput_;
  // Keys whose press typed a character: ImGui gets the character only.
  std::bitset<SDL_NUM_SCANCODES> typingKeys_;
  uint32_t wakeEvent_ = 0;
  bool mouseKnown_ = false;
  int mouseX_ = 0, mouseY_ = 0;
  uint32_t buttons_ = 0;  // SDL_BUTTON masks of the buttons held
  bool drawing_ = false;
};

}  // namespace rodavia
