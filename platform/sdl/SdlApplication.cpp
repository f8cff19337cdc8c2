#include "platform/sdl/SdlApplication.h"

#include <SDL2/SDL.h>
#include <backends/imgui_impl_sdlrenderer.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Timer.h"
#include "platform/WindowMessages.h"
#include "platform/sdl/FormRenderer.h"
#include "platform/sdl/Texture.h"
#include "platform/sdl/LobbyTheme.h"
#include "platform/sdl/MessageBoxView.h"
#include "platform/sdl/SdlDisplay.h"
#include "platform/sdl/SdlText.h"
#include "platform/sdl/VirtualKeys.h"

namespace rodavia {

namespace {

// Sound is OpenAL's: SDL's audio stays off.
constexpr uint32_t kSubsystems =
    SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER | SDL_INIT_HAPTIC;
constexpr uint32_t kEssentialSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK;

// At most about 60 frames a second, and one at once after each race frame.
constexpr uint32_t kFrameMs = 16;
// Frames drawn after anything happened: ImGui settles an input over a few
// frames (a press, its release, a list that sizes itself as it opens).
constexpr int kSettleFrames = 4;
// The longest a waiting loop sleeps with nothing due (a safety net: events,
// posted work and timers wake it sooner).
constexpr uint32_t kLongestSleepMs = 250;
// Game code that processes messages in a loop of its own gets the core
// back for at most this long when nothing is pending.
constexpr uint32_t kGameStepSleepMs = 1;

// Keys that only change what other keys mean.
bool IsModifier(SDL_Scancode sc) {
  return (sc >= SDL_SCANCODE_LCTRL && sc <= SDL_SCANCODE_RGUI) || sc == SDL_SCANCODE_MODE || sc == SDL_SCANCODE_CAPSLOCK;
}

// A key going down that edits text or moves through the window (Enter,
// Backspace, Tab, the arrows...): ImGui applies it after the frame's typed
// text, in an order of its own.
bool IsCommand(const SDL_Event& e) {
  const SDL_Scancode sc = e.key.keysym.scancode;
  return e.type == SDL_KEYDOWN && !e.key.repeat && !IsModifier(sc) && sc != SDL_SCANCODE_SPACE;
}

std::runtime_error SdlFailure(const std::string& what) {
  return std::runtime_error(what + ": " + SDL_GetError());
}

// The desktop's handler for the address, started on its own; the address is
// one argument, never read by a shell. A thread reaps the child.
void OpenWithDesktop(const std::string& address) {
  std::string argument = address;
  char program[] = "xdg-open";
  char* argv[] = {program, argument.data(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return;
  std::thread([pid] {
    int status;
    waitpid(pid, &status, 0);
  }).detach();
}

// The main window as the lobby shows it: 1024 x 768, centred, not scaled.
ScreenArea LobbyArea(const ImVec2& window) {
  ScreenArea a;
  a.x = std::max(0.0f, (window.x - kScreenWidth) / 2);
  a.y = std::max(0.0f, (window.y - kScreenHeight) / 2);
  return a;
}

template <class F>
struct OnExit {
  F f;
  ~OnExit() { f(); }
};
template <class F>
OnExit(F) -> OnExit<F>;

}  // namespace

class SdlApplication::Messages : public MessageBoxes {
 public:
  explicit Messages(SdlApplication& app) : app_(app) {}
  MsgResult Ask(MsgKind kind, const std::string& text, MsgButtons buttons) override {
    return app_.ShowMessage(kind, text, buttons);
  }

 private:
  SdlApplication& app_;
};

SdlApplication::SdlApplication() {
  try {
    StartVideo();
    display_ = std::make_unique<SdlDisplay>(window_);
    text_ = std::make_unique<SdlText>();
    StartImGui();
  } catch (const std::exception& e) {
    Shutdown();
    // Where a desktop answers the player sees why, not only a terminal.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rodavia", e.what(), nullptr);
    throw;
  }
  renderer_ = std::make_unique<FormRenderer>();
  messages_ = std::make_unique<Messages>(*this);
  wakeEvent_ = SDL_RegisterEvents(1);
  SetWindowWake([type = wakeEvent_] {
    SDL_Event e{};
    e.type = type;
    SDL_PushEvent(&e);  // thread-safe: wakes a loop waiting for events
  });
  SetProcessMessages([this] { ProcessMessagesOnce(kGameStepSleepMs); });
  SetRequestFrame([this] { WantFrames(1); });
  SetMessages(messages_.get());
  SetOpenAddress(OpenWithDesktop);
  SetShowModal([this](TForm& form) { return ShowModal(form); });
}

SdlApplication::~SdlApplication() {
  SetProcessMessages(nullptr);
  SetRequestFrame(nullptr);
  SetWindowWake(nullptr);
  SetMessages(nullptr);
  SetOpenAddress(nullptr);
  SetShowModal(nullptr);
  Shutdown();
}

void SdlApplication::StartVideo() {
  subsystems_ = kSubsystems;
  if (SDL_InitSubSystem(subsystems_) != 0) {
    subsystems_ = kEssentialSubsystems;  // no haptics or controllers: play without them
    if (SDL_InitSubSystem(subsystems_) != 0) {
      subsystems_ = 0;
      throw SdlFailure("No se puede iniciar SDL");
    }
  }
  RefuseWindowlessVideo();
  // Hidden until the display takes its mode, so a full-screen start never
  // shows a window first.
  window_ = SDL_CreateWindow("Rodavia", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth, kScreenHeight,
                             SDL_WINDOW_HIDDEN);
  if (!window_) throw SdlFailure("No se puede crear la ventana");
  // SDL's software renderer: the game is one 1024 x 768 picture and a lobby,
  // and loading a GL driver (with its shader compiler) costs more start-up
  // time and memory than drawing them in software. The hint sends the
  // window's pixels straight to the X server (shared memory) instead of
  // through a GL texture.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  sdlRenderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!sdlRenderer_) throw SdlFailure("No se puede crear el dibujo de la ventana");
  Texture::SetRenderer(sdlRenderer_);
}

// When the desktop cannot be used SDL falls back to a driver that draws
// nowhere, and the game would run on with nothing on the screen: only a
// driver named in the environment may be one.
void SdlApplication::RefuseWindowlessVideo() {
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (asked && *asked) return;
  const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  if (driver != "offscreen" && driver != "dummy" && driver != "evdev") return;
  const char* display = SDL_getenv("DISPLAY");
  throw std::runtime_error("No se puede abrir la ventana: no se puede usar el escritorio (DISPLAY=" +
                           std::string(display ? display : "") + ")");
}

void SdlApplication::StartImGui() {
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  imgui_ = true;
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // nothing written into the program folder
  io.LogFilename = nullptr;
  io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
  io.ConfigInputTextCursorBlink = false;  // frames are drawn only when something changes
  SetUpLobbyTheme();
  ImGui_ImplSDL2_InitForSDLRenderer(window_);
  ImGui_ImplSDLRenderer_Init(sdlRenderer_);
  // The font texture is made now, so the atlas's pixels can go: the
  // texture holds them from here on.
  if (!ImGui_ImplSDLRenderer_CreateDeviceObjects()) throw std::runtime_error("No se puede crear la letra");
  ImGui::GetIO().Fonts->ClearTexData();
}

void SdlApplication::Shutdown() {
  // Textures go while their renderer lives.
  renderer_.reset();
  display_.reset();
  text_.reset();
  if (imgui_) {
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    imgui_ = false;
  }
  Texture::SetRenderer(nullptr);
  if (sdlRenderer_) SDL_DestroyRenderer(sdlRenderer_);
  sdlRenderer_ = nullptr;
  if (window_) SDL_DestroyWindow(window_);
  window_ = nullptr;
  if (subsystems_) SDL_QuitSubSystem(subsystems_);
  subsystems_ = 0;
}

Display& SdlApplication::GetDisplay() { return *display_; }

TextRenderer& SdlApplication::Text() { return *text_; }

void SdlApplication::Run(TForm& mainForm) {
  mainForm_ = &mainForm;
  SDL_ShowWindow(window_);
  OnExit forget{[this] { mainForm_ = nullptr; }};
  mainForm.Visible = true;
  WantFrames(kSettleFrames);
  while (mainForm.Visible) ProcessMessagesOnce(kLongestSleepMs);
}

int SdlApplication::ShowModal(TForm& form) {
  form.ModalResult = 0;
  form.Visible = true;
  layers_.push_back({&form, nullptr, false});
  WantFrames(kSettleFrames);
  OnExit pop{[this, &form] {
    layers_.pop_back();
    form.Visible = false;
    WantFrames(kSettleFrames);
  }};
  while (form.Visible && form.ModalResult == 0) ProcessMessagesOnce(kLongestSleepMs);
  return form.ModalResult;
}

MsgResult SdlApplication::ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons) {
  SDL_ShowWindow(window_);  // a message before the display has its mode
  MessageBoxView box(kind, text, buttons);
  layers_.push_back({nullptr, &box, false});
  WantFrames(kSettleFrames);
  OnExit pop{[this] {
    layers_.pop_back();
    WantFrames(kSettleFrames);
  }};
  while (!box.Answered()) ProcessMessagesOnce(kLongestSleepMs);
  return box.Result();
}

void SdlApplication::ProcessMessagesOnce(uint32_t longestSleep) {
  bool happened = DeliverEvents();
  if (happened) WantFrames(kSettleFrames);
  // Work and timers change what windows show: one frame shows it, unless
  // they drew one themselves (the race processes messages after its flip).
  const uint64_t framesBefore = framesDrawn_;
  const bool worked = RunPostedWork();
  // The clock is read here: events and work may have run nested loops.
  const bool ticked = IdleAllTimers(CurrentClock().Ticks());
  happened |= worked || ticked;
  if ((worked || ticked) && framesDrawn_ == framesBefore) WantFrames(1);
  happened |= DrawIfDue();
  if (!happened) Sleep(std::min(longestSleep, UntilNextWork()));
}

void SdlApplication::WantFrames(int frames) { framesWanted_ = std::max(framesWanted_, frames); }

// Input held back for a later frame is drawn through at once: typing keeps
// up with the player however fast the keys come.
uint32_t SdlApplication::FramePace() const { return pending_.empty() ? kFrameMs : 0; }

// Milliseconds until a timer is due or a wanted frame may be drawn.
uint32_t SdlApplication::UntilNextWork() const {
  uint32_t wait = UntilNextTimer(CurrentClock().Ticks());
  if (framesWanted_ > 0) {
    const uint32_t sinceFrame = SDL_GetTicks() - lastFrame_;
    wait = std::min(wait, sinceFrame >= FramePace() ? 0 : FramePace() - sinceFrame);
  }
  return wait;
}

// Sleeps until an event arrives (posted work pushes one) or `ms` pass; the
// event waits in the queue for the next step.
void SdlApplication::Sleep(uint32_t ms) {
  if (ms == 0) return;
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, int(ms))) pending_.push_back(e);
}

// Hands the queued events to the windows in order, as many in a frame as
// ImGui can tell apart: it reads keys, mouse buttons and the pointer once a
// frame and applies the frame's typed text before its keys. So a frame
// takes no event that would reach it merged or out of order; what follows
// waits for the next frame.
bool SdlApplication::DeliverEvents() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) pending_.push_back(e);
  bool any = false;
  while (!pending_.empty()) {
    e = pending_.front();
    const bool typing = TypingKey(e, pending_.size() > 1 ? &pending_[1] : nullptr);
    if (!JoinsFrame(e, typing)) break;
    pending_.pop_front();
    any = true;
    HandleEvent(e, typing);
  }
  return any;
}

// A key whose press typed the character that follows it, or the release of
// such a key: an edit needs the character, never the key, so typed text
// flows in a frame at a time. Space presses the focused button as a key.
bool SdlApplication::TypingKey(const SDL_Event& e, const SDL_Event* next) const {
  if (e.type == SDL_KEYUP) return typingKeys_.test(e.key.keysym.scancode);
  return e.type == SDL_KEYDOWN && next && next->type == SDL_TEXTINPUT && e.key.keysym.scancode != SDL_SCANCODE_SPACE;
}

// Whether the event may reach ImGui in the frame being gathered, noting
// what it changes when it may:
// - a key or a button changes once (a press and its release, a click and a
//   double click, in frames of their own);
// - a click never shares a frame with keys or text (the key that moved the
//   focus, the text of the edit the click leaves);
// - neither text, a second command nor a modifier follows a command key
//   (ImGui would apply the text first, or read the command with the wrong
//   Ctrl or Shift);
// - text and presses of the mouse wait while the keyboard focus is on its
//   way to a control (text would be lost, a press taken over by the focus);
// - the pointer stays where a button changed, so a button is judged where
//   it was pressed and released.
bool SdlApplication::JoinsFrame(const SDL_Event& e, bool typing) {
  FrameInput& f = frameInput_;
  if (typing && e.type == SDL_KEYUP) return true;  // nothing ImGui reads
  if (e.type == SDL_TEXTINPUT || typing) {
    if (f.buttons || f.command || renderer_->FocusArriving(TopForm())) return false;
    f.keyboard = true;
    return true;
  }
  if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
    if (e.key.repeat) return true;  // ImGui repeats a held key itself
    const SDL_Scancode sc = e.key.keysym.scancode;
    const bool command = IsCommand(e);
    if (f.buttons || f.keys.test(sc) || (f.command && (command || IsModifier(sc)))) return false;
    f.keys.set(sc);
    f.keyboard = true;
    f.command |= command;
    return true;
  }
  if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) {
    const uint32_t mask = SDL_BUTTON(e.button.button);
    const bool press = e.type == SDL_MOUSEBUTTONDOWN;
    if (f.keyboard || (f.buttons & mask) || (press && renderer_->FocusArriving(TopForm()))) return false;
    f.buttons |= mask;
    return true;
  }
  if (e.type == SDL_MOUSEMOTION) return f.buttons == 0;
  return true;
}

void SdlApplication::HandleEvent(const SDL_Event& e, bool typing) {
  if (e.type == wakeEvent_) return;  // the posted work runs in every step
  // The close box of the only window arrives as SDL_QUIT (as does Ctrl+C).
  if (e.type == SDL_QUIT) {
    HandleClose();
    return;
  }
  if (e.type == SDL_KEYDOWN && HandleKey(e)) return;
  if (typing) {
    typingKeys_.set(e.key.keysym.scancode, e.type == SDL_KEYDOWN);
    return;
  }
  TrackMouse(e);
  ImGui_ImplSDL2_ProcessEvent(&e);
  if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
    // The modifiers as they were with this key, not as they are now.
    ImGuiIO& io = ImGui::GetIO();
    io.KeyShift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
    io.KeyCtrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
    io.KeyAlt = (e.key.keysym.mod & KMOD_ALT) != 0;
  }
}

// Keys reach the front window before ImGui sees them, so that the main
// window's keys (Escape, Alt+Enter) work even while a text field has the
// focus. Answers whether the key was used up.
bool SdlApplication::HandleKey(const SDL_Event& e) {
  const SDL_Scancode sc = e.key.keysym.scancode;
  if (!layers_.empty() && layers_.back().box) {
    MessageBoxView& box = *layers_.back().box;
    if (sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) box.AnswerFirst();
    else if (sc == SDL_SCANCODE_ESCAPE) box.AnswerCancel();
    else return false;
    return true;
  }
  TForm* top = TopForm();
  const int vk = VirtualKeyFromScancode(sc);
  if (top && top->KeyPreview && vk != 0) {
    const Uint16 mod = e.key.keysym.mod;
    top->KeyDown(vk, ShiftState{(mod & KMOD_SHIFT) != 0, (mod & KMOD_ALT) != 0, (mod & KMOD_CTRL) != 0});
  }
  return false;
}

// The pointer and its buttons as the events handed over so far leave them;
// SDL's own state may be ahead, holding events still queued.
void SdlApplication::TrackMouse(const SDL_Event& e) {
  if (e.type == SDL_MOUSEMOTION) {
    mouseKnown_ = true;
    mouseX_ = e.motion.x;
    mouseY_ = e.motion.y;
  } else if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) {
    mouseKnown_ = true;
    mouseX_ = e.button.x;
    mouseY_ = e.button.y;
    const uint32_t mask = SDL_BUTTON(e.button.button);
    buttons_ = e.type == SDL_MOUSEBUTTONDOWN ? buttons_ | mask : buttons_ & ~mask;
  } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_LEAVE) {
    mouseKnown_ = false;
  }
}

void SdlApplication::HandleClose() {
  if (!layers_.empty() && layers_.back().box) {
    layers_.back().box->AnswerCancel();
    return;
  }
  if (TForm* top = TopForm()) top->Close();
}

TForm* SdlApplication::TopForm() const { return layers_.empty() ? mainForm_ : layers_.back().form; }

// Draws a frame at once after a race frame was flipped, otherwise when
// frames are wanted and the last one is old enough; then runs the handlers
// of the input that frame gathered.
bool SdlApplication::DrawIfDue() {
  if (drawing_) return false;
  const uint32_t now = SDL_GetTicks();
  if (!display_->TakeFlip() && (framesWanted_ == 0 || now - lastFrame_ < FramePace())) return false;
  lastFrame_ = now;
  ++framesDrawn_;
  if (framesWanted_ > 0) --framesWanted_;
  DrawFrame();
  ReturnFreedMemory();
  frameInput_ = {};
  // Held buttons (a spin button repeating) and queued events need frames.
  if (renderer_->HasActions() || ImGui::IsAnyMouseDown() || !pending_.empty()) WantFrames(kSettleFrames);
  renderer_->RunActions();
  return true;
}

// Start-up and the change between lobby and race free large buffers (font
// files, decoded pictures, the other screen's textures), but glibc keeps
// freed memory below the heap's top. Once the first frame of a screen is
// drawn, what is free goes back to the system.
void SdlApplication::ReturnFreedMemory() {
  const bool race = display_->Showing();
  if (trimmedScreen_ == race) return;
  trimmedScreen_ = race;
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

void SdlApplication::DrawFrame() {
  drawing_ = true;
  OnExit done{[this] { drawing_ = false; }};
  ImGuiIO& io = ImGui::GetIO();
  if (display_->OwnsCursor()) {
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
    display_->ApplyCursor();
  } else {
    io.ConfigFlags &= ~ImGuiConfigFlags_NoMouseCursorChange;
  }
  ImGui_ImplSDLRenderer_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  // The pointer as the handed-over events leave it: the backend reads SDL's
  // current state, which may include events still queued (and knows no
  // position when SDL cannot tell which window the mouse is over).
  if (mouseKnown_) io.MousePos = ImVec2(float(mouseX_), float(mouseY_));
  io.MouseDown[0] = (buttons_ & SDL_BUTTON_LMASK) != 0;
  io.MouseDown[1] = (buttons_ & SDL_BUTTON_RMASK) != 0;
  io.MouseDown[2] = (buttons_ & SDL_BUTTON_MMASK) != 0;
  ImGui::NewFrame();

  const bool racing = display_->Showing();
  if (racing) display_->Draw(*ImGui::GetBackgroundDrawList(), FitScreen(io.DisplaySize.x, io.DisplaySize.y));
  if (mainForm_ && mainForm_->Visible) renderer_->DrawMain(*mainForm_, LobbyArea(io.DisplaySize), layers_.empty(), racing);
  for (size_t i = 0; i < layers_.size(); ++i) {
    Layer& l = layers_[i];
    const bool appearing = !l.appeared;
    DrawShade(int(i) + 1, appearing);
    if (l.box)
      l.box->Draw(int(i) + 1, appearing);
    else
      renderer_->DrawDialog(*l.form, i + 1 == layers_.size(), appearing);
    if (l.form && l.form->Floating && l.form->Floating->Visible) {
      renderer_->DrawTool(*l.form->Floating, i + 1 == layers_.size(), !l.floatingShown);
      l.floatingShown = true;
    } else if (l.form) {
      l.floatingShown = false;
    }
    l.appeared = true;
  }

  ImGui::Render();
  SDL_SetRenderDrawColor(sdlRenderer_, 0, 0, 0, 255);
  SDL_RenderClear(sdlRenderer_);
  ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
  SDL_RenderPresent(sdlRenderer_);
  renderer_->EndFrame();
}

}  // namespace rodavia
