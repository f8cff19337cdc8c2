#include "app/Principal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Picture.h"
#include "platform/Text.h"
#include "race/Circuito.h"
#include "race/Coche.h"
#include "race/Humo.h"
#include "editors/ControlesCrearCircuito.h"
#include "net/DXPlay.h"
#include "net/Tramas.h"

namespace rodavia {

namespace {
constexpr const char* kConfiguracion = "Rodavia.ini";
constexpr const char* kCarpetas[] = {"Circuitos", "Coches", "Graficos", "Jugadores", "Sonidos"};

struct FicheroOnda {
  const char* clave;
  const char* defecto;
};
// The main waves, in index order: last lap, victory, record, start siren.
constexpr FicheroOnda kOndas[] = {{"UltimaVuelta", "UltimaVuelta.wav"},
                                    {"Victoria", "Victoria.wav"},
                                    {"Record", "Record.wav"},
                                    {"Sirena", "Sirena.wav"}};

// A key of section "Teclas", used by its absolute value: Escape (27) when
// that value names no key, since a stop key no one can press would leave a
// race no way to end.
int16_t LeerTecla(const IniFile& ini, const char* clave) {
  const int valor = ini.ReadInteger("Teclas", clave, 27);
  const long long codigo = std::llabs(valor);
  return codigo >= MinCodigoTecla && codigo <= MaxCodigoTecla ? int16_t(valor) : int16_t(27);
}

}  // namespace

TF_Principal::TF_Principal(Dispositivos d)
    : TForm("F_Principal"), DXDraw(d.pantalla), DXSpriteEngine(std::make_unique<TSpriteEngine>()),
      dispositivos_(d), controlesCrearCircuito_(std::make_unique<TF_ControlesCrearCircuito>()) {
  Caption = "Rodavia";
  ClientWidth = 1024;
  ClientHeight = 768;
  KeyPreview = true;
  t_coches.Interval = 30;
  t_coches.OnTimer = [this] { t_cochesTimer(); };
  t_semaforo.Interval = 750;
  t_semaforo.OnTimer = [this] { t_semaforoTimer(); };
  t_ComprobarSiSoyServer.Interval = 100;
  t_ComprobarSiSoyServer.OnTimer = [this] { t_ComprobarSiSoyServerTimer(); };
  t_ajugar.Interval = 100;
  t_ajugar.OnTimer = [this] { t_ajugarTimer(); };
  t_Partidas.Interval = 1000;
  t_Partidas.OnTimer = [this] { t_PartidasTimer(); };
  t_Partidas.ShowsTicks = false;  // the idle lobby draws only when the list changes
  CrearControles();
  CrearSesion();
}

void TF_Principal::CrearSesion() {
  DXPlay = std::make_unique<TDXPlay>(dispositivos_.red);
  DXPlay->OnOpen = [this] { DXPlayOpen(); };
  DXPlay->OnClose = [this] { DXPlayClose(); };
  DXPlay->OnAddPlayer = [this](TDXPlayPlayer& equipo) { DXPlayAddPlayer(equipo); };
  DXPlay->OnDeletePlayer = [this](TDXPlayPlayer& equipo) { DXPlayDeletePlayer(equipo); };
  DXPlay->OnSessionLost = [this] { DXPlaySessionLost(); };
  DXPlay->OnMessage = [this](TDXPlayPlayer& de, const uint8_t* datos, size_t tamanyo) {
    DXPlayMessage(de, datos, tamanyo);
  };
  DXPlay->OnError = [this](const std::string& texto) { EscribirChat("Error", texto); };
}

TF_Principal::~TF_Principal() {
  DXPlay.reset();
  // Cars leave the engine as they are freed: free them while it exists.
  for (TCoche* c : jugadores_) delete c;
  jugadores_.clear();
  cocheTrabajo_.reset();
  DXSpriteEngine.reset();
}

// ---- Start-up and shut-down ------------------------------------------------

void TF_Principal::FormCreate() {
  std::random_device semilla;
  SembrarAleatorio(semilla());
  DXDraw.SetVisible(false);
  l_Version->Caption = std::string("Versión ") + kVersion;
  std::filesystem::current_path(files::ProgramFolder());
  for (const char* carpeta : kCarpetas) files::CreateFolder(carpeta);
  cocheTrabajo_ = std::make_unique<TCoche>(*this, 0, true, "", "", "");
  LlenarListaPerfiles();
  CargarSonidos();
  LlenarListaCircuitos();
  CargarGraficos();
  LeerConfiguracion();
}

void TF_Principal::Close() {
  if (cerrado_) return;
  cerrado_ = true;
  FormClose();
  Visible = false;
}

void TF_Principal::FormClose() {
  DXDraw.SetBusyCursor(true);
  ProcessMessages();
  DXPlay->Close();
  t_coches.SetEnabled(false);
  t_semaforo.SetEnabled(false);
  if (cocheTrabajo_) cocheTrabajo_->GrabarPerfilCircuito();
  if (circuito_) GuardarConfiguracion();
  QuitarTodosLosJugadores();
  cocheTrabajo_.reset();
  DXSpriteEngine->SetSurface(nullptr);
  DXDraw.Finalize();
  DXDraw.SetBusyCursor(false);
}

void TF_Principal::ErrorFatal(const std::string& mensaje) {
  DXSpriteEngine->SetSurface(nullptr);
  DXDraw.Finalize();
  ShowError(mensaje);
  EndProgram();
}

IniFile TF_Principal::Configuracion() const { return IniFile(files::Resolve(kConfiguracion)); }

bool TF_Principal::LeerConfiguracion() {
  IniFile ini = Configuracion();
  // A file that cannot be read gives its message and reads as the defaults,
  // so the display is set all the same and races can be seen.
  const bool leido = ini.readable();
  if (!leido) ShowError("Error leyendo datos del fichero de configuración.");
  PonerModoPantalla(ini.ReadBool("Pantalla", "PantallaCompleta", true));
  VerFrames = ini.ReadBool("Pantalla", "VerFrames", false);
  VerControles = ini.ReadBool("Pantalla", "VerControles", false);
  e_NumVueltas->SetText(ini.ReadString("Circuito", "Vueltas", "3"));
  e_IP->SetText(ini.ReadString("Conexiones", "IP", "192.168.0.1"));
  direccionDescubrir_ = ini.ReadString("Conexiones", "Descubrir", "255.255.255.255");
  puertoSesion_ = uint16_t(ini.ReadInteger("Conexiones", "Puerto", kPuertoDefecto));
  // Two fresh machines must not collide on one default team name.
  e_Equipo->SetText(ini.ReadString("Conexiones", "Equipo", EquipoPorDefecto(ComputerName())));
  framesEntreTramas = ini.ReadInteger("Conexiones", "FramesEntreTramas", 3);
  TeclaSalir = LeerTecla(ini, "Salir");
  TeclaFrames = LeerTecla(ini, "Frames");
  TeclaControles = LeerTecla(ini, "Controles");
  cb_colisiones->SetChecked(ini.ReadBool("Perfil", "Colisiones", true));
  return leido;
}

bool TF_Principal::GuardarConfiguracion() {
  IniFile ini = Configuracion();
  ini.WriteString("Perfil", "Nombre", cb_Perfil->Text());
  ini.WriteString("Circuito", "Nombre", circuito_ ? circuito_->Nombre : "");
  ini.WriteString("Circuito", "Vueltas", e_NumVueltas->Text());
  ini.WriteString("Conexiones", "IP", e_IP->Text());
  ini.WriteString("Conexiones", "Equipo", e_Equipo->Text());
  ini.WriteBool("Perfil", "Colisiones", cb_colisiones->Checked());
  ini.WriteBool("Pantalla", "PantallaCompleta", DXDraw.FullScreenOption());
  ini.WriteBool("Pantalla", "VerFrames", VerFrames);
  ini.WriteBool("Pantalla", "VerControles", VerControles);
  if (ini.Flush()) return true;
  ShowError("Error guardando datos en el fichero de configuración.");
  return false;
}

void TF_Principal::PonerModoPantalla(bool pantallaCompleta) {
  DXSpriteEngine->SetSurface(nullptr);
  DXDraw.Finalize();
  DXDraw.SetFullScreenOption(pantallaCompleta);
  Borderless = pantallaCompleta;
  if (!DXDraw.Initialize()) {
    DXDraw.Finalize();
    DXDraw.SetFullScreenOption(false);
    Borderless = false;
    ShowError("No se puede poner el modo de pantalla a 1024x768x16");
    DXDraw.Initialize();
  }
  if (DXDraw.Visible()) EnlazarPantalla();
}

// The sprites draw on the back buffer only while the race display is shown,
// so the buffer is taken when the first race starts, not at start-up.
void TF_Principal::EnlazarPantalla() {
  if (DXDraw.Initialized()) DXSpriteEngine->SetSurface(&DXDraw.BackBuffer());
}

void TF_Principal::CargarSonidos() {
  IniFile ini = Configuracion();
  for (const FicheroOnda& onda : kOndas) {
    const std::string fichero = ini.ReadString("Sonidos", onda.clave, onda.defecto);
    std::unique_ptr<Wave> w = Sonido().Load(files::Resolve("Sonidos\\" + fichero));
    if (!w) ErrorFatal("No se encuentra el fichero ..\\Sonidos\\" + fichero);
    w->SetLooped(false);
    w->SetMaxPlayingCount(25);
    DXWaveList.push_back(std::move(w));
  }
}

void TF_Principal::CargarGrafico(const IniFile& configuracion, const std::string& clave, bool semaforo) {
  const std::string fichero = configuracion.ReadString("Graficos", clave, clave + ".bmp");
  Picture imagen;
  if (!LoadPicture(files::Resolve("graficos\\" + fichero), imagen))
    ErrorFatal("No se encuentra el fichero ..\\Graficos\\" + fichero);
  ImageSlot& slot = DXImageList.slot(clave);
  slot.setPicture(std::move(imagen));
  slot.frameHeight = slot.picture().height();
  slot.frameWidth = semaforo ? slot.picture().width() / 6 : slot.picture().height();
  slot.transparent = true;
}

void TF_Principal::CargarGraficos() {
  const IniFile configuracion = Configuracion();
  CargarGrafico(configuracion, "Semaforo", true);
  for (const char* humo : {"HumoAsfalto", "HumoNoAsfalto", "HumoMotor"})
    CargarGrafico(configuracion, humo, false);
  Fondo = new TBackgroundSprite(DXSpriteEngine.get());
  Fondo->SetMapSize(1, 1);
  Fondo->Image = &DXImageList.slot("Circuito");
  Fondo->Tile = false;
  Fondo->SetZ(-1);
  Semaforo = new TImageSprite(DXSpriteEngine.get());
  Semaforo->Image = &DXImageList.slot("Semaforo");
  Semaforo->Width = Semaforo->Image->frameWidth;
  Semaforo->Height = Semaforo->Image->frameHeight;
  Semaforo->SetZ(0);
}

void TF_Principal::LlenarListaCircuitos() {
  cb_Circuito->Clear();
  for (const std::string& jpg : files::List("Circuitos", "*.jpg")) {
    const std::string nombre = jpg.substr(0, jpg.size() - 4);
    if (files::Exists("Circuitos\\" + nombre + ".cfg")) cb_Circuito->Items.push_back(nombre);
  }
  const std::string elegido = Configuracion().ReadString("Circuito", "Nombre", "");
  cb_Circuito->SetItemIndex(cb_Circuito->Items.empty() ? -1 : 0);
  for (size_t i = 0; i < cb_Circuito->Items.size(); ++i)
    if (files::EqualNoCase(cb_Circuito->Items[i], elegido)) cb_Circuito->SetItemIndex(int(i));
  cb_CircuitosClick();
}

void TF_Principal::LlenarListaPerfiles() {
  cb_Perfil->Clear();
  for (const std::string& ini : files::List("Jugadores", "*.ini"))
    cb_Perfil->Items.push_back(ini.substr(0, ini.size() - 4));
  const std::string elegido = Configuracion().ReadString("Perfil", "Nombre", "Jugador 1");
  const int i = cb_Perfil->IndexOf(elegido);
  cb_Perfil->SetItemIndex(i >= 0 ? i : (cb_Perfil->Items.empty() ? -1 : 0));
  cb_PerfilChange();
}

// ---- Frame loop -----------------------------------------------------------------

void TF_Principal::t_cochesTimer() {
  if (!MensajeCarrera.empty()) {
    Marcadores.push_back({MensajeCarrera, 50, 40, ColorMensaje, 16});
    if (++ContadorMensaje > 200) MensajeCarrera.clear();
  }
  DXSpriteEngine->Move(0);
  DXSpriteEngine->FreeDead();
  if (SesionAbierta()) {
    ++framesDesdeEnvio;
    if (framesDesdeEnvio > framesEntreTramas && !tramaCoches.empty()) {
      EnviarTrama(AllMembers, Trama::Coches, tramaCoches);
      tramaCoches.clear();
      framesDesdeEnvio = 0;
    }
  }
  if (DXDraw.Initialized()) {
    Surface16& buffer = DXDraw.BackBuffer();
    DXSpriteEngine->Draw();
    DibujarMarcadores(buffer);
    if (VerFrames)
      dispositivos_.texto.Draw(buffer, 0, 10, "FPS: " + std::to_string(t_coches.FrameRate()),
                               0xFFFFFF, 12);
    DXDraw.Flip();
  }
  ProcessMessages();
}

void TF_Principal::DibujarMarcadores(Surface16& buffer) {
  TextRenderer& texto = dispositivos_.texto;
  for (const TMarcador& m : Marcadores) {
    const size_t barra = m.Texto.find('/');
    if (barra == std::string::npos) {
      texto.Draw(buffer, m.X, m.Y, m.Texto, m.Color, m.Tamanyo);
      continue;
    }
    texto.Draw(buffer, m.X, m.Y - 16, m.Texto.substr(0, barra), m.Color, m.Tamanyo);
    texto.Draw(buffer, m.X, m.Y, TrimBlanks(Utf8Prefix(m.Texto.substr(barra + 1), 100)), m.Color, m.Tamanyo);
  }
  Marcadores.clear();
}

void TF_Principal::MostrarNivelesControl(int derecha, int izquierda, int acelerador, int freno) {
  if (!VerControles) return;
  pb_derecha->Position = derecha;
  pb_izquierda->Position = izquierda;
  pb_acelerador->Position = acelerador;
  pb_freno->Position = freno;
}

void TF_Principal::FormKeyDown(int key, ShiftState shift) {
  // Closing the lobby happens once the key has been handled, so the two
  // toggles below still reach the configuration it saves.
  bool cerrar = false;
  if (key == std::abs(int(TeclaSalir))) {
    if (DXDraw.Visible())
      TerminarCarrera();
    else
      cerrar = true;
  }
  if (key == std::abs(int(TeclaFrames))) VerFrames = !VerFrames;
  if (key == std::abs(int(TeclaControles))) {
    VerControles = !VerControles;
    if (DXDraw.Visible())
      for (TProgressBar* b : {pb_acelerador, pb_freno, pb_izquierda, pb_derecha})
        b->Visible = VerControles;
  }
  if (shift.alt && key == 13) PonerModoPantalla(!DXDraw.FullScreenOption());
  if (cerrar) Close();
}

// ---- Race start and end ------------------------------------------------------

void TF_Principal::sb_jugarClick() {
  if (cocheTrabajo_) cocheTrabajo_->GrabarPerfilCircuito();
  if (!sb_jugar->Down()) {
    sb_jugar->Caption = "Jugar";
    AnunciarEstado(0);
    sb_equiposClick();
    return;
  }
  if (jugadores_.empty()) {
    ShowWarning("Hay que añadir a la partida almenos un jugador.");
    sb_jugar->SetDown(false);
    return;
  }
  if (cb_Circuito->ItemIndex() < 0) {
    ShowWarning("No hay circuitos donde jugar.");
    sb_jugar->SetDown(false);
    return;
  }
  if (SesionAbierta()) {
    const bool conLocales = std::any_of(jugadores_.begin(), jugadores_.end(), [](TCoche* c) { return c->Local; });
    if (!conLocales &&
        Messages().Show(MsgKind::Confirmation,
                        "No ha insertado ningún jugador a la partida. Si continua entrará como espectador.\r"
                        "¿ Desea continuar ?",
                        MsgButtons::YesNo) != MsgResult::Yes) {
      sb_jugar->SetDown(false);
      return;
    }
    sb_jugar->Caption = "Preparado";
    AnunciarEstado(1);
    sb_equiposClick();
    // The last team to get ready starts everybody; the others wait.
    if (!DXPlay->TodosEnEstado(1)) return;
    EnviarTrama(AllMembers, Trama::Empezar, "");
    if (DXPlay->SoyServidor()) EnviarTramaOpciones(AllMembers);
  }
  EmpezarCarrera();
}

void TF_Principal::EmpezarCarrera() {
  enCarrera_ = true;
  cb_Circuito->Enabled = false;
  cb_Circuito->Color = clInfoBk;
  DXDraw.SetCursorVisible(false);
  DXDraw.SetVisible(true);
  EnlazarPantalla();
  OcultarControles();
  Resultados.clear();
  if (SesionAbierta() && DXPlay->SoyServidor()) {
    framesEntreTramas = std::clamp<int32_t>(Configuracion().ReadInteger("Conexiones", "FramesEntreTramas", 3), 0, 99);
    EnviarTrama(AllMembers, Trama::FramesEntreTramas, Digitos(framesEntreTramas, 2));
  }
  MensajeCarrera.clear();
  tramaCoches.clear();
  framesDesdeEnvio = 0;
  for (size_t p = 0; p < jugadores_.size(); ++p) jugadores_[p]->PrepararCarrera(int(p));
  // A lap count that is not a number (only a hand-edited settings file can
  // bring one) races the lobby's default of 5 laps instead of failing.
  long long vueltas = 0;
  NumVueltas = IniFile::ParseInteger(e_NumVueltas->Text(), vueltas) ? int16_t(vueltas) : 5;
  Semaforo->Frame = 0;
  Semaforo->Visible = true;
  DibujarSprites();
  ProcessMessages();
  // Every machine waits on its still grid until all have reached it. The
  // stop key ends the race while it waits: the start is then abandoned.
  bool todos = false;
  while (enCarrera_ && SesionAbierta() && !todos) {
    AnunciarEstado(2);
    todos = DXPlay->TodosEnEstado(2);
    Esperar(200);
  }
  if (enCarrera_) EncenderSemaforo();
}

void TF_Principal::Esperar(uint32_t ms) {
  const uint32_t inicio = CurrentClock().Ticks();
  do ProcessMessages();
  while (CurrentClock().Ticks() - inicio < ms);
}

void TF_Principal::EncenderSemaforo() {
  if (t_semaforo.Enabled()) return;
  DXWaveList[Sirena]->Play();
  t_semaforo.SetEnabled(true);
}

void TF_Principal::t_semaforoTimer() {
  Semaforo->Frame += 1;
  if (Semaforo->Frame == 1 && t_coches.Enabled()) {
    t_semaforo.SetEnabled(false);
    Semaforo->Visible = false;
  }
  if (Semaforo->Frame == 6) t_coches.SetEnabled(true);
  Semaforo->Frame = std::fmod(std::nearbyint(Semaforo->Frame), 6.0);
  DibujarSprites();
}

void TF_Principal::DibujarSprites() {
  if (!DXDraw.Initialized()) return;
  DXSpriteEngine->Draw();
  DXDraw.Flip();
}

void TF_Principal::TerminarCarrera() {
  enCarrera_ = false;
  MostrarControles();
  DXDraw.SetVisible(false);
  DXDraw.SetCursorVisible(true);
  t_coches.SetEnabled(false);
  t_semaforo.SetEnabled(false);
  DXWaveList[Sirena]->Stop();  // a start stopped during its countdown
  for (TCoche* c : jugadores_) {
    c->LeerPerfilCircuito();
    if (c->Local) {
      if (!c->Sonidos.empty()) c->Sonidos[0]->Stop();
      c->Visible = false;
    }
  }
  EnviarTrama(AllMembers, Trama::CochesFuera, "");
  if (circuito_) circuito_->Grabar();
  if (!Resultados.empty()) ShowInformation(Resultados);
  if (SesionAbierta()) {
    AnunciarEstado(0);
    sb_equiposClick();
  }
  MostrarDatosCircuito();
  if (cocheTrabajo_) cocheTrabajo_->LeerPerfilCircuito();
  EnviarTramaRecordCircuitoYPerfilJugadores();
  sb_jugar->Caption = "Jugar";
  sb_jugar->SetDown(false);
  if (!SesionAbierta() || DXPlay->SoyServidor()) {
    cb_Circuito->Enabled = true;
    cb_Circuito->Color = clWindow;
  }
}

std::vector<TControl*> TF_Principal::ControlesDelLobby() const {
  std::vector<TControl*> lobby;
  for (auto& c : Controls())
    if (c->Parent == nullptr && c.get() != pb_acelerador && c.get() != pb_freno &&
        c.get() != pb_izquierda && c.get() != pb_derecha)
      lobby.push_back(c.get());
  return lobby;
}

void TF_Principal::OcultarControles() {
  for (TControl* c : ControlesDelLobby()) c->Visible = false;
  for (TProgressBar* b : {pb_acelerador, pb_freno, pb_izquierda, pb_derecha}) b->Visible = VerControles;
}

void TF_Principal::MostrarControles() {
  for (TControl* c : ControlesDelLobby()) c->Visible = true;
  for (TProgressBar* b : {pb_acelerador, pb_freno, pb_izquierda, pb_derecha}) b->Visible = false;
}

}  // namespace rodavia
