#include "platform/sdl/SdlApplication.h"

#include <SDL2/SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <GL/gl.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Timer.h"
#include "platform/WindowMessages.h"
#include "platform/sdl/FormRenderer.h"
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

struct GlChoice {
  int major, minor;
  const char* glsl;
};
constexpr GlChoice kGlChoices[] = {{3, 0, "#version 130"}, {2, 1, "#version 120"}};

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
  MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override {
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
  } catch (...) {
    Shutdown();
    throw;
  }
  renderer_ = std::make_unique<FormRenderer>();
  messages_ = std::make_unique<Messages>(*this);
  SetProcessMessages([this] { ProcessMessagesOnce(); });
  SetMessages(messages_.get());
  SetOpenAddress(OpenWithDesktop);
  SetShowModal([this](TForm& form) { return ShowModal(form); });
}

SdlApplication::~SdlApplication() {
  SetProcessMessages(nullptr);
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
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  window_ = SDL_CreateWindow("Rodavia", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth, kScreenHeight,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (!window_) throw SdlFailure("No se puede crear la ventana");
  for (const GlChoice& c : kGlChoices) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, c.major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, c.minor);
    gl_ = SDL_GL_CreateContext(window_);
    if (gl_) {
      glsl_ = c.glsl;
      break;
    }
  }
  if (!gl_) throw SdlFailure("No se puede crear el contexto OpenGL");
  SDL_GL_MakeCurrent(window_, gl_);
  SDL_GL_SetSwapInterval(0);  // the loop paces itself; a blocking swap would hold up the timers
}

void SdlApplication::StartImGui() {
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  imgui_ = true;
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // nothing written into the program folder
  io.LogFilename = nullptr;
  io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
  SetUpLobbyTheme();
  ImGui_ImplSDL2_InitForOpenGL(window_, gl_);
  ImGui_ImplOpenGL3_Init(glsl_);
}

void SdlApplication::Shutdown() {
  // Textures go while their GL context lives.
  renderer_.reset();
  display_.reset();
  text_.reset();
  if (imgui_) {
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    imgui_ = false;
  }
  if (gl_) SDL_GL_DeleteContext(gl_);
  gl_ = nullptr;
  if (window_) SDL_DestroyWindow(window_);
  window_ = nullptr;
  if (subsystems_) SDL_QuitSubSystem(subsystems_);
  subsystems_ = 0;
}

Display& SdlApplication::GetDisplay() { return *display_; }

TextRenderer& SdlApplication::Text() { return *text_; }

void SdlApplication::Run(TForm& mainForm) {
  mainForm_ = &mainForm;
  OnExit forget{[this] { mainForm_ = nullptr; }};
  mainForm.Visible = true;
  while (mainForm.Visible) ProcessMessagesOnce();
}

int SdlApplication::ShowModal(TForm& form) {
  form.ModalResult = 0;
  form.Visible = true;
  layers_.push_back({&form, nullptr, false});
  OnExit pop{[this, &form] {
    layers_.pop_back();
    form.Visible = false;
  }};
  while (form.Visible && form.ModalResult == 0) ProcessMessagesOnce();
  return form.ModalResult;
}

MsgResult SdlApplication::ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons) {
  MessageBoxView box(kind, text, buttons);
  layers_.push_back({nullptr, &box, false});
  OnExit pop{[this] { layers_.pop_back(); }};
  while (!box.Answered()) ProcessMessagesOnce();
  return box.Result();
}

void SdlApplication::ProcessMessagesOnce() {
  bool events = PumpEvents();
  events |= RunPostedWork();
  IdleAllTimers(CurrentClock().Ticks());
  const bool drew = DrawIfDue();
  if (!events && !drew) SDL_Delay(1);  // idle: leave the core to others
}

bool SdlApplication::PumpEvents() {
  bool any = false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    any = true;
    // The close box of the only window arrives as SDL_QUIT (as does Ctrl+C).
    if (e.type == SDL_QUIT) {
      HandleClose();
      continue;
    }
    if (e.type == SDL_KEYDOWN && HandleKey(e)) continue;
    TrackMouse(e);
    ImGui_ImplSDL2_ProcessEvent(&e);
  }
  return any;
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

void SdlApplication::TrackMouse(const SDL_Event& e) {
  if (e.type == SDL_MOUSEMOTION) {
    mouseKnown_ = true;
    mouseX_ = e.motion.x;
    mouseY_ = e.motion.y;
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

bool SdlApplication::DrawIfDue() {
  if (drawing_) return false;
  const uint32_t now = SDL_GetTicks();
  if (!display_->TakeFlip() && now - lastFrame_ < kFrameMs) return false;
  lastFrame_ = now;
  DrawFrame();
  renderer_->RunActions();
  return true;
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
  ImGui_ImplOpenGL3_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  // When SDL cannot tell which window the mouse is over (no window manager,
  // the offscreen driver), the backend leaves the position unknown: take the
  // last one the events reported.
  if (!ImGui::IsMousePosValid() && mouseKnown_) io.MousePos = ImVec2(float(mouseX_), float(mouseY_));
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
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(window_, &w, &h);
  glViewport(0, 0, w, h);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
  SDL_GL_SwapWindow(window_);
  renderer_->EndFrame();
}

}  // namespace rodavia
