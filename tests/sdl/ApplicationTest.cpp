// The application on the offscreen video driver: the race display, the
// loop, keys, modal windows, message boxes and the player's clicks reaching
// the controls' handlers.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "platform/Application.h"
#include "platform/Timer.h"
#include "platform/WindowMessages.h"
#include "platform/sdl/MessageBoxView.h"
#include "platform/sdl/SdlApplication.h"
#include "platform/sdl/SdlDisplay.h"

namespace rodavia {
namespace {

void Push(SDL_Event e) { SDL_PushEvent(&e); }

void PushKeyEvent(Uint32 type, SDL_Scancode sc, Uint16 mod = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.scancode = sc;
  e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
  e.key.keysym.mod = mod;
  Push(e);
}

// A press and its release at once: enough for the window's key handling,
// too quick for ImGui, which must see the key down in a frame.
void PushKey(SDL_Scancode sc, Uint16 mod = 0) {
  PushKeyEvent(SDL_KEYDOWN, sc, mod);
  PushKeyEvent(SDL_KEYUP, sc, mod);
}

void PushButton(SDL_Window* w, Uint32 type, int x, int y) {
  SDL_Event e{};
  e.type = type;
  e.button.windowID = SDL_GetWindowID(w);
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = x;
  e.button.y = y;
  Push(e);
}

void PushMotion(SDL_Window* w, int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = SDL_GetWindowID(w);
  e.motion.x = x;
  e.motion.y = y;
  Push(e);
}

void PushText(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
  Push(e);
}

// Runs one step of a player's script on each tick of a timer, from inside
// whatever loop is running (the main one, a modal window, a message box).
class Script {
 public:
  explicit Script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
    timer_.Interval = 40;
    timer_.OnTimer = [this] {
      if (next_ < steps_.size()) steps_[next_++]();
    };
    timer_.SetEnabled(true);
  }
  bool Done() const { return next_ == steps_.size(); }

 private:
  std::vector<std::function<void()>> steps_;
  size_t next_ = 0;
  TTimer timer_;
};

// A click is a move, a press and a release, each seen by its own frame.
std::vector<std::function<void()>> ClickAt(SDL_Window* w, int x, int y) {
  return {[=] { PushMotion(w, x, y); }, [=] { PushButton(w, SDL_MOUSEBUTTONDOWN, x, y); },
          [=] { PushButton(w, SDL_MOUSEBUTTONUP, x, y); }, [] {}};
}

std::vector<std::function<void()>> operator+(std::vector<std::function<void()>> a,
                                             const std::vector<std::function<void()>>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ApplicationTest : public ::testing::Test {
 protected:
  // A loop that never ends must fail the run rather than hang it (SDL turns
  // SIGTERM into a quit event, so an outer timeout may not stop it).
  void SetUp() override { alarm(60); }
  void TearDown() override { alarm(0); }
  SdlApplication app;
};

TEST(ScreenFit, LetterboxesKeepingTheAspect) {
  const ScreenArea same = FitScreen(1024, 768);
  EXPECT_EQ(same.x, 0);
  EXPECT_EQ(same.width, 1024);
  const ScreenArea tall = FitScreen(1280, 1024);
  EXPECT_FLOAT_EQ(tall.width, 1280);
  EXPECT_FLOAT_EQ(tall.height, 960);
  EXPECT_FLOAT_EQ(tall.y, 32);
  const ScreenArea wide = FitScreen(1920, 1080);
  EXPECT_FLOAT_EQ(wide.height, 1080);
  EXPECT_FLOAT_EQ(wide.width, 1440);
  EXPECT_FLOAT_EQ(wide.x, 240);
}

TEST(MessageBoxLook, TitlesButtonsAndLineBreaks) {
  MessageBoxView error(MsgKind::Error, "Uno\r\nDos\rTres", MsgButtons::Ok);
  EXPECT_EQ(error.Title(), "Error");
  EXPECT_EQ(error.Lines(), (std::vector<std::string>{"Uno", "Dos", "Tres"}));
  EXPECT_EQ(error.ButtonCaptions(), (std::vector<std::string>{"Aceptar"}));
  MessageBoxView ask(MsgKind::Confirmation, "¿Seguro?", MsgButtons::YesNo);
  EXPECT_EQ(ask.Title(), "Confirmación");
  EXPECT_EQ(ask.ButtonCaptions(), (std::vector<std::string>{"Sí", "No"}));
  ask.AnswerCancel();
  ask.AnswerFirst();  // the first answer stands
  EXPECT_EQ(ask.Result(), MsgResult::No);
  MessageBoxView retry(MsgKind::Warning, "", MsgButtons::RetryCancel);
  EXPECT_EQ(retry.Title(), "Advertencia");
  EXPECT_EQ(retry.ButtonCaptions(), (std::vector<std::string>{"Reintentar", "Cancelar"}));
  EXPECT_EQ(MessageBoxView(MsgKind::Information, "", MsgButtons::Ok).Title(), "Información");
}

TEST_F(ApplicationTest, BackBufferIsWhatTheWindowShowsAfterAFlip) {
  Display& d = app.GetDisplay();
  d.SetFullScreenOption(false);
  ASSERT_TRUE(d.Initialize());
  ASSERT_EQ(d.BackBuffer().width(), 1024);
  ASSERT_EQ(d.BackBuffer().height(), 768);
  d.BackBuffer().fill(To565(255, 0, 0));
  for (int y = 700; y < 768; ++y)
    for (int x = 0; x < 100; ++x) d.BackBuffer().setPixel(x, y, To565(0, 0, 255));
  d.SetVisible(true);
  d.Flip();
  app.ProcessMessagesOnce();
  // The frame just presented: read it back.
  std::vector<uint8_t> rgba(1024 * 768 * 4);
  SDL_Renderer* renderer = SDL_GetRenderer(app.Window());
  ASSERT_NE(renderer, nullptr);
  ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, rgba.data(), 1024 * 4), 0);
  auto at = [&](int x, int y) { return rgba.data() + (y * 1024 + x) * 4; };
  EXPECT_GT(at(500, 300)[0], 240);
  EXPECT_LT(at(500, 300)[2], 16);
  EXPECT_GT(at(50, 740)[2], 240);
  EXPECT_LT(at(50, 740)[0], 16);
}

TEST_F(ApplicationTest, FullScreenFailureCanBeForcedAndTheWindowStillWorks) {
  Display& d = app.GetDisplay();
  setenv("RODAVIA_FALLA_PANTALLA_COMPLETA", "1", 1);
  d.SetFullScreenOption(true);
  EXPECT_FALSE(d.Initialize());
  EXPECT_FALSE(d.Initialized());
  unsetenv("RODAVIA_FALLA_PANTALLA_COMPLETA");
  d.Finalize();
  d.SetFullScreenOption(false);
  EXPECT_TRUE(d.Initialize());
  EXPECT_TRUE(d.Initialized());
  int w, h;
  SDL_GetWindowSize(app.Window(), &w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  EXPECT_FALSE(SDL_GetWindowFlags(app.Window()) & SDL_WINDOW_FULLSCREEN);
}

// The window stays hidden until the display has its mode; a message shown
// before (a broken file found at start-up) must still be seen.
TEST_F(ApplicationTest, MessageBoxAnswersByKeyWhileTimersRun) {
  EXPECT_FALSE(SDL_GetWindowFlags(app.Window()) & SDL_WINDOW_SHOWN);
  int ticks = 0;
  bool shown = false;
  TTimer t;
  t.Interval = 10;
  t.OnTimer = [&] {
    shown = SDL_GetWindowFlags(app.Window()) & SDL_WINDOW_SHOWN;
    if (++ticks == 3) PushKey(SDL_SCANCODE_RETURN);
  };
  t.SetEnabled(true);
  EXPECT_EQ(Messages().Show(MsgKind::Confirmation, "¿Borrar?\r\nNo se puede deshacer.", MsgButtons::YesNo),
            MsgResult::Yes);
  EXPECT_GE(ticks, 3);
  EXPECT_TRUE(shown);

  ticks = 0;
  t.OnTimer = [&] {
    if (++ticks % 2 == 0) PushKey(SDL_SCANCODE_ESCAPE);
  };
  EXPECT_EQ(Messages().Show(MsgKind::Error, "Fallo", MsgButtons::RetryCancel), MsgResult::Cancel);
  EXPECT_EQ(Messages().Show(MsgKind::Warning, "Aviso", MsgButtons::YesNo), MsgResult::No) << "Escape is No";
}

TEST_F(ApplicationTest, MessageBoxShowsOverTheRace) {
  Display& d = app.GetDisplay();
  d.SetFullScreenOption(false);
  ASSERT_TRUE(d.Initialize());
  d.SetVisible(true);
  Script player({[] {}, [] { PushKey(SDL_SCANCODE_KP_ENTER); }});
  EXPECT_EQ(Messages().Show(MsgKind::Information, "Ganador: Jugador 1", MsgButtons::Ok), MsgResult::Ok);
}

class KeyForm : public TForm {
 public:
  KeyForm() : TForm("F_Teclas") { KeyPreview = true; }
  void KeyDown(int key, ShiftState shift) override {
    keys.push_back(key);
    if (key == 13 && shift.alt) altEnter = true;
    if (key == 27) Close();
  }
  std::vector<int> keys;
  bool altEnter = false;
};

TEST_F(ApplicationTest, KeysReachTheMainWindowBeforeItsControls) {
  KeyForm form;
  auto& chat = form.Add<TEdit>("e_chat", 10, 10, 200, 24);
  form.Focus = &chat;
  PushKey(SDL_SCANCODE_A);
  PushKey(SDL_SCANCODE_RETURN, KMOD_LALT);
  PushKey(SDL_SCANCODE_ESCAPE);
  app.Run(form);  // Escape closes it
  EXPECT_EQ(form.keys, (std::vector<int>{65, 13, 27}));
  EXPECT_TRUE(form.altEnter);
  EXPECT_FALSE(form.Visible);
}

TEST_F(ApplicationTest, ModalWindowEndsWithItsResultOrZeroWhenClosed) {
  TForm dialog("F_Dialogo");
  dialog.Caption = "Perfil";
  dialog.ClientWidth = 300;
  dialog.ClientHeight = 200;
  auto& ok = dialog.Add<TButton>("bb_Grabar", 0, 0, 300, 200);
  ok.Caption = "Grabar";
  ok.OnClick = [&] { dialog.ModalResult = 1; };
  {
    Script player(ClickAt(app.Window(), 512, 400));
    EXPECT_EQ(app.ShowModal(dialog), 1);
  }
  EXPECT_FALSE(dialog.Visible);
  {
    Script player({[] {}, [] {
                     SDL_Event e{};
                     e.type = SDL_QUIT;
                     Push(e);
                   }});
    EXPECT_EQ(app.ShowModal(dialog), 0);
  }
}

// A lobby-like window with every kind of control.
struct Lobby : TForm {
  Lobby() : TForm("F_Lobby") {
    Caption = "Rodavia";
    ClientWidth = 1024;
    ClientHeight = 768;
    auto& version = Add<TLabel>("l_Version", 900, 740, 110, 16);
    version.Caption = "Versión 0.79 BETA";
    auto& web = Add<TLabel>("l_web", 700, 740, 150, 16);
    web.Caption = "http://rodavia.example";
    web.Hint = "Ir a la página web del autor";
    web.HandCursor = true;
    web.OnMouseEnter = [&web] { web.FontUnderline = true; };
    web.OnMouseLeave = [&web] { web.FontUnderline = false; };
    auto& jugar = Add<TButton>("bb_Jugar", 10, 10, 100, 30);
    jugar.Caption = "Jugar";
    jugar.OnClick = [this] { ++clicks; };
    auto& sb = Add<TSpeedButton>("sb_jugadores", 120, 10, 100, 30);
    sb.Caption = "Jugadores";
    sb.GroupIndex = 1;
    auto& colisiones = Add<TCheckBox>("cb_colisiones", 10, 50, 150, 22);
    colisiones.Caption = "Colisiones";
    chat = &Add<TEdit>("e_chat", 10, 80, 200, 24);
    chat->MaxLength = 20;
    chat->OnKeyPress = [this](char& key) {
      if (key >= '0' && key <= '9') key = 0;
      if (key == '\r') {
        ++enters;
        textAtEnter = chat->Text();
      }
    };
    auto& circuito = Add<TComboBox>("cb_Circuito", 10, 110, 200, 24);
    circuito.Items = {"Monza", "Jerez"};
    circuito.SetItemIndex(0);
    auto& grupo = Add<TGroupBox>("gb_Ajustes", 240, 50, 300, 250);
    grupo.Caption = "Ajustes";
    auto& ruedas = Add<TRadioGroup>("rg_Ruedas", 10, 20, 280, 60, &grupo);
    ruedas.Caption = "Neumáticos";
    ruedas.Items = {"Blandos", "Medios", "Duros"};
    ruedas.Columns = 3;
    ruedas.SetItemIndex(1);
    auto& relacion = Add<TTrackBar>("tb_relacion", 10, 90, 280, 30, &grupo);
    relacion.Max = 20;
    auto& vueltas = Add<TSpinEdit>("se_Vueltas", 10, 130, 100, 24, &grupo);
    vueltas.SetValue(3);
    auto& gasolina = Add<TProgressBar>("pb_acelerador", 10, 170, 20, 60, &grupo);
    gasolina.Vertical = true;
    gasolina.Max = 128;
    gasolina.Position = 64;
    auto& lista = Add<TListBox>("l_Chat", 560, 10, 440, 200);
    lista.Items = {"<Sistema> Bienvenido", "<Info> Hola", "<Error> Fallo"};
    lista.ItemColor = [](const std::string& line) { return line[1] == 'E' ? RGBColor(255, 0, 0) : RGBColor(0, 255, 255); };
    lista.ScrollToEnd = true;
    pictures.assign(2, Surface16(36, 36, To565(255, 255, 255)));
    pictures[0].fill(To565(200, 0, 0));
    auto& jugadores = Add<TListView>("lv_jugadores", 560, 220, 440, 200);
    jugadores.Images = &pictures;
    jugadores.Items = {{"Jugador 1", 0, true}, {"Jugador 2", 1, false}};
    auto& imagen = Add<TImage>("i_Circuito", 10, 320, 200, 150);
    imagen.Stretch = true;
    imagen.SetPicture(Surface16(1024, 768, To565(0, 128, 0)));
    auto& paginas = Add<TPageControl>("pc_Perfil", 240, 320, 300, 200);
    auto& uno = Add<TTabSheet>("ts_Teclado", 2, 26, 296, 172, &paginas);
    uno.Caption = "Teclado";
    auto& dos = Add<TTabSheet>("ts_Joystick", 2, 26, 296, 172, &paginas);
    dos.Caption = "Joystick";
    paginas.Pages = {&uno, &dos};
    auto& enPagina = Add<TLabel>("l_Tecla", 10, 10, 100, 16, &dos);
    enPagina.Caption = "Eje X";
  }
  int clicks = 0, enters = 0;
  std::string textAtEnter;
  TEdit* chat = nullptr;
  std::vector<Surface16> pictures;
};

TEST_F(ApplicationTest, PlayersClicksAndTypingReachTheControls) {
  Lobby lobby;
  SDL_Window* w = app.Window();
  Script player(ClickAt(w, 60, 25) + ClickAt(w, 20, 61) + ClickAt(w, 100, 92) +
                std::vector<std::function<void()>>{
                    [] { PushText("h1ola"); }, [] {}, [] { PushKeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RETURN); },
                    [] { PushKeyEvent(SDL_KEYUP, SDL_SCANCODE_RETURN); }, [] {},
                    [&lobby] { lobby.Close(); }});
  app.Run(lobby);
  EXPECT_TRUE(player.Done());
  EXPECT_EQ(lobby.clicks, 1);
  EXPECT_TRUE(static_cast<TCheckBox*>(lobby.Find("cb_colisiones"))->Checked());
  EXPECT_EQ(lobby.chat->Text(), "hola") << "the key handler swallows digits";
  EXPECT_EQ(lobby.enters, 1);
  EXPECT_FALSE(static_cast<TListBox*>(lobby.Find("l_Chat"))->ScrollToEnd);
}

// Keys as a fast typist's keyboard sends them: each press, its character,
// its release.
void PushTyped(const std::string& text) {
  for (const char c : text) {
    const SDL_Scancode sc = SDL_GetScancodeFromKey(SDL_Keycode(c));
    PushKeyEvent(SDL_KEYDOWN, sc);
    PushText(std::string(1, c).c_str());
    PushKeyEvent(SDL_KEYUP, sc);
  }
}

void PushClick(SDL_Window* w, int x, int y) {
  PushMotion(w, x, y);
  PushButton(w, SDL_MOUSEBUTTONDOWN, x, y);
  PushButton(w, SDL_MOUSEBUTTONUP, x, y);
}

// Everything a player does faster than frames are drawn, queued at once:
// text chosen with Ctrl+A and typed over, a correction and Enter, more text,
// then a click on a button and at once on a check box. Each arrives whole
// and in order: the text before Enter holds the correction, the text after
// it is typed on, and each click lands where it was made.
TEST_F(ApplicationTest, InputFasterThanFramesArrivesWholeAndInOrder) {
  Lobby lobby;
  SDL_Window* w = app.Window();
  auto& colisiones = *static_cast<TCheckBox*>(lobby.Find("cb_colisiones"));
  // Like "Enviar", the button gives the focus back to the text line: the
  // click that follows at once must not lose its press to that focus.
  static_cast<TButton*>(lobby.Find("bb_Jugar"))->OnClick = [&lobby] {
    ++lobby.clicks;
    lobby.Focus = lobby.chat;
  };
  const uint32_t start = SDL_GetTicks();
  TTimer done;
  done.Interval = 20;
  done.OnTimer = [&] {
    if ((lobby.clicks == 1 && colisiones.Checked()) || SDL_GetTicks() - start > 5000) lobby.Close();
  };
  Script player(ClickAt(w, 100, 92) + std::vector<std::function<void()>>{[] {
                  PushTyped("xyz");  // all of it chosen with Ctrl+A, Ctrl let go first, and typed over
                  PushKeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LCTRL, KMOD_LCTRL);
                }, [&] {
                  PushKeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, KMOD_LCTRL);
                  PushKeyEvent(SDL_KEYUP, SDL_SCANCODE_LCTRL);
                  PushKeyEvent(SDL_KEYUP, SDL_SCANCODE_A);
                  PushTyped("holx");
                  PushKey(SDL_SCANCODE_BACKSPACE);
                  PushTyped("a mundo");
                  PushKey(SDL_SCANCODE_RETURN);
                  PushTyped("otra");
                  PushClick(w, 60, 25);
                  PushClick(w, 20, 61);
                  done.SetEnabled(true);
                }});
  app.Run(lobby);
  EXPECT_EQ(lobby.textAtEnter, "hola mundo");
  EXPECT_EQ(lobby.enters, 1);
  EXPECT_EQ(lobby.chat->Text(), "hola mundootra");
  EXPECT_EQ(lobby.clicks, 1);
  EXPECT_TRUE(colisiones.Checked());
}

// A handler that gives the focus to a control moves it there whatever had it
// before: the edit takes what is typed after each click on the button, the
// second time too, when the window's focus already named the edit.
TEST_F(ApplicationTest, FocusGivenByAHandlerMovesEveryTime) {
  Lobby lobby;
  SDL_Window* w = app.Window();
  auto& jugar = *static_cast<TButton*>(lobby.Find("bb_Jugar"));
  jugar.OnClick = [&] { lobby.Focus = lobby.chat; };
  const auto typed = [](const char* text) {
    return std::vector<std::function<void()>>{[text] { PushTyped(text); }, [] {}};
  };
  Script player(ClickAt(w, 60, 25) + typed("ab") + ClickAt(w, 60, 25) + typed("cd") +
                std::vector<std::function<void()>>{[&lobby] { lobby.Close(); }});
  app.Run(lobby);
  EXPECT_EQ(lobby.chat->Text(), "abcd");
}

// An edit's limit counts characters, however many bytes each takes: typed
// and set from code alike.
TEST_F(ApplicationTest, EditLimitsCountCharacters) {
  Lobby lobby;
  Script player(ClickAt(app.Window(), 100, 92) +
                std::vector<std::function<void()>>{[] { PushText("ñandú pingüino "); }, [] { PushText("cigüeña ñu"); },
                                                   [] {}, [&lobby] { lobby.Close(); }});
  app.Run(lobby);
  EXPECT_EQ(lobby.chat->Text(), "ñandú pingüino cigüe");
  lobby.chat->SetText("ñññññññññññññññññññññññ");
  EXPECT_EQ(lobby.chat->Text(), "ññññññññññññññññññññ");
}

// An idle loop sleeps; work posted from the network's thread must wake it
// at once rather than when its sleep runs out.
TEST_F(ApplicationTest, WorkPostedFromAnotherThreadWakesTheSleepingLoop) {
  TForm form("F_Espera");
  uint32_t posted = 0, ran = 0;
  std::thread network([&] {
    SDL_Delay(400);  // the loop has drawn its first frames and sleeps
    posted = SDL_GetTicks();
    PostToWindow([&] {
      ran = SDL_GetTicks();
      form.Visible = false;
    });
  });
  app.Run(form);
  network.join();
  EXPECT_LT(ran - posted, 100u);
}

TEST_F(ApplicationTest, ProcessMessagesIsTheLoopStep) {
  int ticks = 0;
  TTimer t;
  t.Interval = 5;
  t.OnTimer = [&] { ++ticks; };
  t.SetEnabled(true);
  const uint32_t end = SDL_GetTicks() + 5000;
  while (ticks < 5 && SDL_GetTicks() < end) ProcessMessages();
  EXPECT_EQ(ticks, 5);
}

}  // namespace
}  // namespace rodavia
