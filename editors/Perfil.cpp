#include "editors/Perfil.h"

#include <algorithm>
#include <cctype>

#include "editors/PruebaOrdenador.h"
#include "net/Tramas.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/KeyNames.h"
#include "platform/MessageBox.h"
#include "platform/Picture.h"
#include "platform/Text.h"
#include "race/Coche.h"
#include "race/Entorno.h"
#include "race/PilotoOrdenador.h"

namespace rodavia {

namespace {

constexpr int AnchoTira = 1296;  // a car picture: 36 frames of 36 x 36
constexpr int LadoCoche = 36;
constexpr int IntervaloPruebaMs = 30;
constexpr int ZonaMuertaMaxima = 50;
constexpr int RitmoMaximo = 64;
constexpr int IDJoystickMaximo = 15;
constexpr int NivelMaximo = 128;

constexpr uint32_t clRed = 0x000000FF;
constexpr uint32_t clMaroon = 0x00000080;
constexpr uint32_t clWhite = 0x00FFFFFF;

// The dialog's controls use a small face so its fixed layout holds.
constexpr int PuntosDialogo = 10;

std::string Minusculas(std::string texto) {
  std::transform(texto.begin(), texto.end(), texto.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return texto;
}

// A key shows by the name a player reads on it ("↑", "Esc", "A"); the stored
// code stays what it was. No key shows nothing.
std::string TextoTecla(int tecla) { return tecla == 0 ? std::string() : VirtualKeyName(tecla); }

std::string NoSeEncuentra(const std::string& nombre) { return "No se encuentra el fichero ..\\Coches\\" + nombre; }

// A list with nothing chosen keeps the profile's value: an empty sound or
// picture name would stop the program the next time the profile is loaded.
void TomarEleccion(const TComboBox& lista, std::string& valor) {
  if (lista.ItemIndex() >= 0) valor = lista.Text();
}

void Elegir(TComboBox& lista, const std::string& nombre) { lista.SetItemIndex(lista.IndexOf(Minusculas(nombre))); }

void Barra(TTrackBar& barra, int minimo, int maximo) {
  barra.Min = minimo;
  barra.Max = maximo;
  barra.SetPosition(1);
}

void Medidor(TProgressBar& g, int minimo, int maximo, uint32_t barra, uint32_t fondo, bool vertical) {
  g.Min = minimo;
  g.Max = maximo;
  g.Position = 0;
  g.BarColor = barra;
  g.Color = fondo;
  g.Vertical = vertical;
}

int PaginaDe(const TCoche& coche) {
  if (coche.Ordenador) return TF_Perfil::PaginaOrdenador;
  return coche.Joystick ? TF_Perfil::PaginaJoystick : TF_Perfil::PaginaTeclado;
}

}  // namespace

TCopiaControles TCopiaControles::De(const TCoche& c) {
  return {c.Joystick,          c.EjesSeparados,     c.JoystickAnalogico, c.PulsarAcelerar,    c.PulsarFrenar,
          c.PulsarDerecha,     c.PulsarIzquierda,   c.SoltarAcelerar,    c.SoltarFrenar,      c.SoltarDerecha,
          c.SoltarIzquierda,   c.ZonaMuertaEjeXMin, c.ZonaMuertaEjeXMax, c.ZonaMuertaEjeYMin, c.ZonaMuertaEjeYMax,
          c.ZonaMuertaEjeZMin, c.ZonaMuertaEjeZMax, c.Ordenador,         c.NivelOrdenador};
}

void TCopiaControles::Devolver(TCoche& c) const {
  c.Joystick = Joystick;
  c.EjesSeparados = EjesSeparados;
  c.JoystickAnalogico = JoystickAnalogico;
  c.PulsarAcelerar = PulsarAcelerar;
  c.PulsarFrenar = PulsarFrenar;
  c.PulsarDerecha = PulsarDerecha;
  c.PulsarIzquierda = PulsarIzquierda;
  c.SoltarAcelerar = SoltarAcelerar;
  c.SoltarFrenar = SoltarFrenar;
  c.SoltarDerecha = SoltarDerecha;
  c.SoltarIzquierda = SoltarIzquierda;
  c.ZonaMuertaEjeXMin = ZonaMuertaEjeXMin;
  c.ZonaMuertaEjeXMax = ZonaMuertaEjeXMax;
  c.ZonaMuertaEjeYMin = ZonaMuertaEjeYMin;
  c.ZonaMuertaEjeYMax = ZonaMuertaEjeYMax;
  c.ZonaMuertaEjeZMin = ZonaMuertaEjeZMin;
  c.ZonaMuertaEjeZMax = ZonaMuertaEjeZMax;
  c.Ordenador = Ordenador;
  c.NivelOrdenador = NivelOrdenador;
}

// The layout, as a form file would hold it; positions are relative to the
// parent given last.
TF_Perfil::TF_Perfil(TEntornoCarrera& entorno)
    : TForm("F_Perfil"),
      l_nombre(Add<TLabel>("l_nombre", 10, 18, 0, 0)),
      e_nombre(Add<TEdit>("e_nombre", 64, 14, 150, 22)),
      bb_anterior(Add<TButton>("bb_anterior", 252, 8, 26, 36)),
      i_coche(Add<TImage>("i_coche", 290, 8, LadoCoche, LadoCoche)),
      bb_siguiente(Add<TButton>("bb_siguiente", 338, 8, 26, 36)),
      cb_coche(Add<TComboBox>("cb_coche", 64, 40, 150, 22)),
      gb_sonidos(Add<TGroupBox>("gb_sonidos", 8, 52, 381, 64)),
      l_motor(Add<TLabel>("l_motor", 10, 18, 0, 0, &gb_sonidos)),
      l_derrape(Add<TLabel>("l_derrape", 133, 18, 0, 0, &gb_sonidos)),
      l_golpe(Add<TLabel>("l_golpe", 256, 18, 0, 0, &gb_sonidos)),
      cb_motor(Add<TComboBox>("cb_motor", 10, 34, 115, 22, &gb_sonidos)),
      cb_derrape(Add<TComboBox>("cb_derrape", 133, 34, 115, 22, &gb_sonidos)),
      cb_golpe(Add<TComboBox>("cb_golpe", 256, 34, 115, 22, &gb_sonidos)),
      gb_controles(Add<TGroupBox>("gb_controles", 8, 122, 381, 202)),
      pc_controles(Add<TPageControl>("pc_controles", 8, 18, 262, 176, &gb_controles)),
      ts_teclado(Add<TTabSheet>("ts_teclado", 0, 24, 262, 152, &pc_controles)),
      ts_joystick(Add<TTabSheet>("ts_joystick", 0, 24, 262, 152, &pc_controles)),
      ts_ordenador(Add<TTabSheet>("ts_ordenador", 0, 24, 262, 152, &pc_controles)),
      l_velocidad(Add<TLabel>("l_velocidad", 8, 6, 0, 0, &ts_teclado)),
      l_pulsar(Add<TLabel>("l_pulsar", 138, 26, 0, 0, &ts_teclado)),
      l_soltar(Add<TLabel>("l_soltar", 206, 26, 0, 0, &ts_teclado)),
      l_acelerar(Add<TLabel>("l_acelerar", 8, 49, 0, 0, &ts_teclado)),
      l_frenar(Add<TLabel>("l_frenar", 8, 74, 0, 0, &ts_teclado)),
      l_izquierda(Add<TLabel>("l_izquierda", 8, 99, 0, 0, &ts_teclado)),
      l_derecha(Add<TLabel>("l_derecha", 8, 124, 0, 0, &ts_teclado)),
      e_acelerar(Add<TEdit>("e_acelerar", 66, 46, 52, 20, &ts_teclado)),
      e_frenar(Add<TEdit>("e_frenar", 66, 71, 52, 20, &ts_teclado)),
      e_izquierda(Add<TEdit>("e_izquierda", 66, 96, 52, 20, &ts_teclado)),
      e_derecha(Add<TEdit>("e_derecha", 66, 121, 52, 20, &ts_teclado)),
      tb_acelerar_pulsar(Add<TTrackBar>("tb_acelerar_pulsar", 124, 46, 62, 20, &ts_teclado)),
      tb_frenar_pulsar(Add<TTrackBar>("tb_frenar_pulsar", 124, 71, 62, 20, &ts_teclado)),
      tb_izquierda_pulsar(Add<TTrackBar>("tb_izquierda_pulsar", 124, 96, 62, 20, &ts_teclado)),
      tb_derecha_pulsar(Add<TTrackBar>("tb_derecha_pulsar", 124, 121, 62, 20, &ts_teclado)),
      tb_acelerar_soltar(Add<TTrackBar>("tb_acelerar_soltar", 192, 46, 62, 20, &ts_teclado)),
      tb_frenar_soltar(Add<TTrackBar>("tb_frenar_soltar", 192, 71, 62, 20, &ts_teclado)),
      tb_izquierda_soltar(Add<TTrackBar>("tb_izquierda_soltar", 192, 96, 62, 20, &ts_teclado)),
      tb_derecha_soltar(Add<TTrackBar>("tb_derecha_soltar", 192, 121, 62, 20, &ts_teclado)),
      cb_analogico(Add<TCheckBox>("cb_analogico", 8, 4, 160, 20, &ts_joystick)),
      cb_ejes(Add<TCheckBox>("cb_ejes", 8, 26, 160, 20, &ts_joystick)),
      cb_ffb(Add<TCheckBox>("cb_ffb", 8, 48, 160, 20, &ts_joystick)),
      l_joystick(Add<TLabel>("l_joystick", 176, 6, 0, 0, &ts_joystick)),
      se_Joystick(Add<TSpinEdit>("se_Joystick", 176, 24, 80, 20, &ts_joystick)),
      l_minimo(Add<TLabel>("l_minimo", 149, 74, 0, 0, &ts_joystick)),
      l_maximo(Add<TLabel>("l_maximo", 205, 74, 0, 0, &ts_joystick)),
      l_zm_direccion(Add<TLabel>("l_zm_direccion", 8, 93, 0, 0, &ts_joystick)),
      l_zm_acelerador(Add<TLabel>("l_zm_acelerador", 8, 112, 0, 0, &ts_joystick)),
      l_zm_freno(Add<TLabel>("l_zm_freno", 8, 131, 0, 0, &ts_joystick)),
      tb_zm_ejex_min(Add<TTrackBar>("tb_zm_ejex_min", 142, 90, 54, 18, &ts_joystick)),
      tb_zm_ejex_max(Add<TTrackBar>("tb_zm_ejex_max", 201, 90, 54, 18, &ts_joystick)),
      tb_zm_ejez_min(Add<TTrackBar>("tb_zm_ejez_min", 142, 109, 54, 18, &ts_joystick)),
      tb_zm_ejez_max(Add<TTrackBar>("tb_zm_ejez_max", 201, 109, 54, 18, &ts_joystick)),
      tb_zm_ejey_min(Add<TTrackBar>("tb_zm_ejey_min", 142, 128, 54, 18, &ts_joystick)),
      tb_zm_ejey_max(Add<TTrackBar>("tb_zm_ejey_max", 201, 128, 54, 18, &ts_joystick)),
      l_nivel(Add<TLabel>("l_nivel", 8, 6, 0, 0, &ts_ordenador)),
      se_nivel(Add<TSpinEdit>("se_nivel", 8, 24, 80, 20, &ts_ordenador)),
      l_izq(Add<TLabel>("l_izq", 286, 34, 0, 0, &gb_controles)),
      l_der(Add<TLabel>("l_der", 336, 34, 0, 0, &gb_controles)),
      g_izquierda(Add<TProgressBar>("g_izquierda", 278, 52, 46, 16, &gb_controles)),
      g_derecha(Add<TProgressBar>("g_derecha", 324, 52, 46, 16, &gb_controles)),
      g_frenar(Add<TProgressBar>("g_frenar", 292, 78, 18, 92, &gb_controles)),
      g_acelerar(Add<TProgressBar>("g_acelerar", 338, 78, 18, 92, &gb_controles)),
      l_fre(Add<TLabel>("l_fre", 290, 174, 0, 0, &gb_controles)),
      l_ace(Add<TLabel>("l_ace", 336, 174, 0, 0, &gb_controles)),
      bb_Grabar(Add<TButton>("bb_Grabar", 226, 330, 78, 24)),
      bb_Salir(Add<TButton>("bb_Salir", 311, 330, 78, 24)),
      entorno_(entorno) {
  Caption = "Perfil de un jugador";
  ClientWidth = 397;
  ClientHeight = 360;

  l_nombre.Caption = "Nombre";
  e_nombre.MaxLength = 15;
  bb_anterior.Arrow = TButton::Glyph::Left;
  bb_siguiente.Arrow = TButton::Glyph::Right;
  i_coche.Transparent = true;
  cb_coche.Visible = false;
  gb_sonidos.Caption = "Sonidos";
  l_motor.Caption = "Motor";
  l_derrape.Caption = "Derrape";
  l_golpe.Caption = "Golpe";
  bb_Grabar.Caption = "Grabar";
  bb_Salir.Caption = "Salir";

  gb_controles.Caption = "Contoles";
  ts_teclado.Caption = "Teclado";
  ts_joystick.Caption = "Joystick";
  ts_ordenador.Caption = "Ordenador";
  pc_controles.Pages = {&ts_teclado, &ts_joystick, &ts_ordenador};
  pc_controles.SetActivePage(PaginaJoystick);

  l_velocidad.Caption = "Velocidad de respuesta teclas";
  l_pulsar.Caption = "Pulsar";
  l_soltar.Caption = "Soltar";
  l_acelerar.Caption = "Acelerar";
  l_frenar.Caption = "Frenar";
  l_izquierda.Caption = "Izquierda";
  l_derecha.Caption = "Derecha";
  for (TTrackBar* b : {&tb_acelerar_pulsar, &tb_frenar_pulsar, &tb_izquierda_pulsar, &tb_derecha_pulsar,
                       &tb_acelerar_soltar, &tb_frenar_soltar, &tb_izquierda_soltar, &tb_derecha_soltar})
    Barra(*b, 1, RitmoMaximo);

  cb_ffb.Caption = "Force Feed Back";
  cb_ffb.SetChecked(true);
  cb_ejes.Caption = "Ejes separados";
  cb_analogico.Caption = "Controles analógicos";
  cb_analogico.SetChecked(true);
  l_joystick.Caption = "ID Joystick";
  se_Joystick.MinValue = 0;
  se_Joystick.MaxValue = IDJoystickMaximo;
  se_Joystick.EditorEnabled = false;
  l_nivel.Caption = "Nivel (1 el más lento, 10 el más rápido)";
  se_nivel.MinValue = NivelOrdenadorMinimo;
  se_nivel.MaxValue = NivelOrdenadorMaximo;
  se_nivel.EditorEnabled = false;
  l_minimo.Caption = "Mínimo";
  l_maximo.Caption = "Máximo";
  l_zm_direccion.Caption = "Zona muerta dirección";
  l_zm_acelerador.Caption = "Zona muerta acelerador";
  l_zm_freno.Caption = "Zona muerta freno";
  for (TTrackBar* b : {&tb_zm_ejex_min, &tb_zm_ejex_max, &tb_zm_ejez_min, &tb_zm_ejez_max, &tb_zm_ejey_min,
                       &tb_zm_ejey_max})
    Barra(*b, 0, ZonaMuertaMaxima);

  Medidor(g_izquierda, -NivelMaximo, 0, clWhite, clMaroon, false);
  Medidor(g_derecha, 0, NivelMaximo, clMaroon, clWindow, false);
  Medidor(g_frenar, 0, NivelMaximo, clMaroon, clWindow, true);
  Medidor(g_acelerar, 0, NivelMaximo, clMaroon, clWindow, true);
  for (TLabel* l : {&l_izq, &l_der, &l_fre, &l_ace}) l->Caption = "000";

  t_controles.Interval = IntervaloPruebaMs;
  for (auto& c : Controls()) c->FontSize = PuntosDialogo;
  Conectar();
}

TF_Perfil::~TF_Perfil() = default;

void TF_Perfil::Conectar() {
  bb_anterior.OnClick = [this] { bb_anteriorClick(); };
  bb_siguiente.OnClick = [this] { bb_siguienteClick(); };
  bb_Grabar.OnClick = [this] { bb_GrabarClick(); };
  bb_Salir.OnClick = [this] { bb_SalirClick(); };

  e_acelerar.OnKeyDown = [this](int& k, ShiftState s) { e_acelerarKeyDown(k, s); };
  e_frenar.OnKeyDown = [this](int& k, ShiftState s) { e_frenarKeyDown(k, s); };
  e_izquierda.OnKeyDown = [this](int& k, ShiftState s) { e_izquierdaKeyDown(k, s); };
  e_derecha.OnKeyDown = [this](int& k, ShiftState s) { e_derechaKeyDown(k, s); };
  e_acelerar.OnEnter = [this] { e_acelerarEnter(); };
  e_acelerar.OnExit = [this] { e_acelerarExit(); };
  e_frenar.OnEnter = [this] { e_frenarEnter(); };
  e_frenar.OnExit = [this] { e_frenarExit(); };
  e_izquierda.OnEnter = [this] { e_izquierdaEnter(); };
  e_izquierda.OnExit = [this] { e_izquierdaExit(); };
  e_derecha.OnEnter = [this] { e_derechaEnter(); };
  e_derecha.OnExit = [this] { e_derechaExit(); };

  tb_acelerar_pulsar.OnChange = [this] { tb_acelerar_pulsarChange(); };
  tb_frenar_pulsar.OnChange = [this] { tb_frenar_pulsarChange(); };
  tb_izquierda_pulsar.OnChange = [this] { tb_izquierda_pulsarChange(); };
  tb_derecha_pulsar.OnChange = [this] { tb_derecha_pulsarChange(); };
  tb_acelerar_soltar.OnChange = [this] { tb_acelerar_soltarChange(); };
  tb_frenar_soltar.OnChange = [this] { tb_frenar_soltarChange(); };
  tb_izquierda_soltar.OnChange = [this] { tb_izquierda_soltarChange(); };
  tb_derecha_soltar.OnChange = [this] { tb_derecha_soltarChange(); };
  tb_zm_ejex_min.OnChange = [this] { tb_zm_ejex_minChange(); };
  tb_zm_ejey_min.OnChange = [this] { tb_zm_ejey_minChange(); };
  tb_zm_ejez_min.OnChange = [this] { tb_zm_ejez_minChange(); };
  tb_zm_ejex_max.OnChange = [this] { tb_zm_ejex_maxChange(); };
  tb_zm_ejey_max.OnChange = [this] { tb_zm_ejey_maxChange(); };
  tb_zm_ejez_max.OnChange = [this] { tb_zm_ejez_maxChange(); };

  se_Joystick.OnChange = [this] { se_JoystickChange(); };
  cb_ffb.OnClick = [this] { cb_ffbClick(); };
  cb_ejes.OnClick = [this] { cb_ejesClick(); };
  cb_analogico.OnClick = [this] { cb_analogicoClick(); };
  se_nivel.OnChange = [this] { se_nivelChange(); };
  pc_controles.OnChange = [this] { pc_controlesChange(); };
  t_controles.OnTimer = [this] { t_controlesTimer(); };
}

int TF_Perfil::Mostrar() {
  FormShow();
  const int resultado = ShowModal(*this);
  FormClose();
  return resultado == mrOk ? mrOk : mrCancel;
}

void TF_Perfil::LlenarListas() {
  cb_coche.Clear();
  for (const std::string& nombre : files::List("Coches", "*.bmp")) cb_coche.Items.push_back(Minusculas(nombre));
  for (TComboBox* lista : {&cb_motor, &cb_derrape, &cb_golpe}) lista->Clear();
  for (const std::string& nombre : files::List("Sonidos", "*.wav"))
    for (TComboBox* lista : {&cb_motor, &cb_derrape, &cb_golpe}) lista->Items.push_back(Minusculas(nombre));
}

void TF_Perfil::FormShow() {
  LlenarListas();
  CochePerfil = std::make_unique<TCoche>(entorno_, 0, true, "", "", NombreJugador);
  TCoche& coche = *CochePerfil;
  if (!NombreJugador.empty()) {  // an existing profile keeps its name
    e_nombre.Enabled = false;
    e_nombre.Color = clInfoBk;
  }
  e_nombre.SetText(coche.Nombre);
  Elegir(cb_coche, coche.ImagenCoche);
  // A picture that cannot be shown is reported, but the rest of the dialog
  // is still filled from the profile: a half-filled dialog would save its
  // blank values over the player's sounds and controls.
  if (!CargarImagen(cb_coche.Text())) ShowError(NoSeEncuentra(cb_coche.Text()));
  Elegir(cb_motor, coche.SonidoMotor);
  Elegir(cb_derrape, coche.SonidoDerrape);
  Elegir(cb_golpe, coche.SonidoGolpe);
  MostrarControles();
  CopiaControles = TCopiaControles::De(coche);
  t_controles.SetEnabled(true);
}

void TF_Perfil::FormClose() {
  t_controles.SetEnabled(false);
  pruebaOrdenador_.reset();
  CochePerfil.reset();
}

bool TF_Perfil::CargarImagen(const std::string& nombre) {
  Picture imagen;
  if (nombre.empty() || !LoadPicture(files::Resolve("Coches\\" + nombre), imagen)) return false;
  i_coche.TransparentColor = ColorRefTo565(imagen.transparentColor);
  i_coche.SetPicture(std::move(imagen.pixels));
  return true;
}

void TF_Perfil::CargarImagenCoche() {
  i_coche.Visible = false;
  const std::string nombre = cb_coche.Text();
  if (!CargarImagen(nombre)) {
    ShowError(NoSeEncuentra(nombre));
    return;
  }
  if (i_coche.Picture.width() != AnchoTira || i_coche.Picture.height() != LadoCoche) {
    ShowWarning("Las imágenes de los coches han de ser de 1296 x 36.\rLa imagen ..\\Coches\\" + nombre +
                " no tiene dichas medidas.");
    bb_anterior.Click();
  }
  // The control stays 36 x 36: only the strip's first frame shows.
  i_coche.Visible = true;
}

void TF_Perfil::bb_anteriorClick() {
  if (cb_coche.ItemIndex() <= 0) return;
  cb_coche.SetItemIndex(cb_coche.ItemIndex() - 1);
  CargarImagenCoche();
}

void TF_Perfil::bb_siguienteClick() {
  if (cb_coche.ItemIndex() >= int(cb_coche.Items.size()) - 1) return;
  cb_coche.SetItemIndex(cb_coche.ItemIndex() + 1);
  CargarImagenCoche();
}

void TF_Perfil::bb_GrabarClick() {
  if (e_nombre.Text().empty()) {
    ShowWarning("Es preciso indicar el nombre del jugador.");
    return;
  }
  if (!files::IsSafeFileName(e_nombre.Text())) {
    ShowWarning("El nombre del jugador no puede llevar \\ / : * ? \" < > | ni \"..\".");
    return;
  }
  if (!NombreViajaIntacto(e_nombre.Text())) {
    ShowWarning("El nombre del jugador no puede llevar & ni $.");
    return;
  }
  TCoche& coche = *CochePerfil;
  NombreJugador = e_nombre.Text();
  coche.Nombre = NombreJugador;
  TomarEleccion(cb_coche, coche.ImagenCoche);
  TomarEleccion(cb_motor, coche.SonidoMotor);
  TomarEleccion(cb_derrape, coche.SonidoDerrape);
  TomarEleccion(cb_golpe, coche.SonidoGolpe);
  GrabarControles();
  coche.GrabarPerfil();  // reports its own errors; the dialog closes either way
  ModalResult = mrOk;
}

void TF_Perfil::bb_SalirClick() {
  CopiaControles.Devolver(*CochePerfil);
  CochePerfil->ConfigurarEntrada();  // joystick number, force feedback, keys, device
  ModalResult = mrCancel;
}

// Showing the controls: every control set from the car fires its handler
// when its value changes, which writes the value (clamped to the control's
// range) back into the car and its devices.
void TF_Perfil::MostrarControles() {
  TCoche& coche = *CochePerfil;
  pc_controles.SetActivePage(PaginaDe(coche));
  ActivarDispositivo(pc_controles.ActivePage());
  se_nivel.SetValue(coche.NivelOrdenador);

  e_acelerar.SetText(TextoTecla(coche.TeclaAcelerar));
  e_frenar.SetText(TextoTecla(coche.TeclaFrenar));
  e_derecha.SetText(TextoTecla(coche.TeclaDerecha));
  e_izquierda.SetText(TextoTecla(coche.TeclaIzquierda));

  se_Joystick.SetValue(coche.IDJoystick);
  // A number clamped onto the value already shown fires no change, yet the
  // device must take the number shown.
  if (coche.Entrada->IDJoystick() != se_Joystick.Value()) se_JoystickChange();

  cb_ejes.SetChecked(coche.EjesSeparados);
  cb_ffb.SetChecked(coche.ForceFeedBack);
  cb_analogico.SetChecked(coche.JoystickAnalogico);

  tb_acelerar_pulsar.SetPosition(coche.PulsarAcelerar);
  tb_frenar_pulsar.SetPosition(coche.PulsarFrenar);
  tb_izquierda_pulsar.SetPosition(coche.PulsarIzquierda);
  tb_derecha_pulsar.SetPosition(coche.PulsarDerecha);
  tb_acelerar_soltar.SetPosition(coche.SoltarAcelerar);
  tb_frenar_soltar.SetPosition(coche.SoltarFrenar);
  tb_izquierda_soltar.SetPosition(coche.SoltarIzquierda);
  tb_derecha_soltar.SetPosition(coche.SoltarDerecha);

  tb_zm_ejex_min.SetPosition(coche.ZonaMuertaEjeXMin);
  tb_zm_ejey_min.SetPosition(coche.ZonaMuertaEjeYMin);
  tb_zm_ejez_min.SetPosition(coche.ZonaMuertaEjeZMin);
  tb_zm_ejex_max.SetPosition(ZonaMuertaMaxima - coche.ZonaMuertaEjeXMax);
  tb_zm_ejey_max.SetPosition(ZonaMuertaMaxima - coche.ZonaMuertaEjeYMax);
  tb_zm_ejez_max.SetPosition(ZonaMuertaMaxima - coche.ZonaMuertaEjeZMax);
}

void TF_Perfil::GrabarControles() {
  TCoche& coche = *CochePerfil;
  coche.IDJoystick = int16_t(se_Joystick.Value());
  coche.EjesSeparados = cb_ejes.Checked();
  coche.JoystickAnalogico = cb_analogico.Checked();
  coche.ForceFeedBack = cb_ffb.Checked();
  const auto& teclas = coche.Entrada->Teclas;
  coche.TeclaAcelerar = int16_t(teclas[size_t(TDireccion::Arriba)][0]);
  coche.TeclaFrenar = int16_t(teclas[size_t(TDireccion::Abajo)][0]);
  coche.TeclaIzquierda = int16_t(teclas[size_t(TDireccion::Izquierda)][0]);
  coche.TeclaDerecha = int16_t(teclas[size_t(TDireccion::Derecha)][0]);
  // A computer profile keeps the device its player chose last.
  coche.Ordenador = pc_controles.ActivePage() == PaginaOrdenador;
  if (!coche.Ordenador) coche.Joystick = pc_controles.ActivePage() == PaginaJoystick;
}

// The computer page listens to neither device.
void TF_Perfil::ActivarDispositivo(int pagina) {
  CochePerfil->Entrada->TecladoActivo = pagina == PaginaTeclado;
  CochePerfil->Entrada->JoystickActivo = pagina == PaginaJoystick;
}

void TF_Perfil::MarcarTecla(TEdit& e, bool entrando) { e.Color = entrando ? clRed : clWindow; }

// The key goes into the car and its keyboard at once, so the live test
// answers it before saving; the focus moves on to the next row.
void TF_Perfil::CapturarTecla(int& key, int16_t TCoche::*tecla, TDireccion direccion, TEdit& e,
                              TControl& siguiente) {
  CochePerfil.get()->*tecla = int16_t(key);
  CochePerfil->Entrada->AsignarTecla(direccion, key);
  e.SetText(TextoTecla(key));
  key = 0;
  Focus = &siguiente;
}

void TF_Perfil::e_acelerarKeyDown(int& key, ShiftState) {
  CapturarTecla(key, &TCoche::TeclaAcelerar, TDireccion::Arriba, e_acelerar, e_frenar);
}
void TF_Perfil::e_frenarKeyDown(int& key, ShiftState) {
  CapturarTecla(key, &TCoche::TeclaFrenar, TDireccion::Abajo, e_frenar, e_izquierda);
}
void TF_Perfil::e_izquierdaKeyDown(int& key, ShiftState) {
  CapturarTecla(key, &TCoche::TeclaIzquierda, TDireccion::Izquierda, e_izquierda, e_derecha);
}
void TF_Perfil::e_derechaKeyDown(int& key, ShiftState) {
  CapturarTecla(key, &TCoche::TeclaDerecha, TDireccion::Derecha, e_derecha, bb_Grabar);
}

void TF_Perfil::tb_acelerar_pulsarChange() { CochePerfil->PulsarAcelerar = int16_t(tb_acelerar_pulsar.Position()); }
void TF_Perfil::tb_frenar_pulsarChange() { CochePerfil->PulsarFrenar = int16_t(tb_frenar_pulsar.Position()); }
void TF_Perfil::tb_izquierda_pulsarChange() {
  CochePerfil->PulsarIzquierda = int16_t(tb_izquierda_pulsar.Position());
}
void TF_Perfil::tb_derecha_pulsarChange() { CochePerfil->PulsarDerecha = int16_t(tb_derecha_pulsar.Position()); }
void TF_Perfil::tb_acelerar_soltarChange() { CochePerfil->SoltarAcelerar = int16_t(tb_acelerar_soltar.Position()); }
void TF_Perfil::tb_frenar_soltarChange() { CochePerfil->SoltarFrenar = int16_t(tb_frenar_soltar.Position()); }
void TF_Perfil::tb_izquierda_soltarChange() {
  CochePerfil->SoltarIzquierda = int16_t(tb_izquierda_soltar.Position());
}
void TF_Perfil::tb_derecha_soltarChange() { CochePerfil->SoltarDerecha = int16_t(tb_derecha_soltar.Position()); }

// A "Mínimo" bar holds its dead zone; a "Máximo" bar holds it inverted, so
// that the bar's right end means saturation only at full travel.
void TF_Perfil::tb_zm_ejex_minChange() { CochePerfil->ZonaMuertaEjeXMin = int16_t(tb_zm_ejex_min.Position()); }
void TF_Perfil::tb_zm_ejey_minChange() { CochePerfil->ZonaMuertaEjeYMin = int16_t(tb_zm_ejey_min.Position()); }
void TF_Perfil::tb_zm_ejez_minChange() { CochePerfil->ZonaMuertaEjeZMin = int16_t(tb_zm_ejez_min.Position()); }
void TF_Perfil::tb_zm_ejex_maxChange() {
  CochePerfil->ZonaMuertaEjeXMax = int16_t(ZonaMuertaMaxima - tb_zm_ejex_max.Position());
}
void TF_Perfil::tb_zm_ejey_maxChange() {
  CochePerfil->ZonaMuertaEjeYMax = int16_t(ZonaMuertaMaxima - tb_zm_ejey_max.Position());
}
void TF_Perfil::tb_zm_ejez_maxChange() {
  CochePerfil->ZonaMuertaEjeZMax = int16_t(ZonaMuertaMaxima - tb_zm_ejez_max.Position());
}

// The joystick number and force feedback reach the car only on saving; the
// device takes them at once for the live test.
void TF_Perfil::se_JoystickChange() {
  CochePerfil->Entrada->AbrirJoystick(se_Joystick.Value(), CochePerfil->Entrada->ForceFeedback());
}

void TF_Perfil::cb_ffbClick() {
  CochePerfil->Entrada->AbrirJoystick(CochePerfil->Entrada->IDJoystick(), cb_ffb.Checked());
}

void TF_Perfil::cb_ejesClick() { CochePerfil->EjesSeparados = cb_ejes.Checked(); }

// Separate pedal axes exist only with analogue control.
void TF_Perfil::cb_analogicoClick() {
  CochePerfil->JoystickAnalogico = cb_analogico.Checked();
  if (!cb_analogico.Checked()) cb_ejes.SetChecked(false);
  cb_ejes.Enabled = cb_analogico.Checked();
}

void TF_Perfil::se_nivelChange() { CochePerfil->NivelOrdenador = int16_t(se_nivel.Value()); }

void TF_Perfil::pc_controlesChange() {
  const int pagina = pc_controles.ActivePage();
  CochePerfil->Ordenador = pagina == PaginaOrdenador;
  if (!CochePerfil->Ordenador) CochePerfil->Joystick = pagina == PaginaJoystick;
  ActivarDispositivo(pagina);
}

// The keyboard and joystick pages test the working car's device. The
// computer page shows what the driver does on the lobby's circuit: a test car
// of the profile races there at the level shown, started afresh from the grid
// when the level or the circuit changes.
const TCoche& TF_Perfil::CocheProbado() {
  if (pc_controles.ActivePage() != PaginaOrdenador || !entorno_.Circuito()) {
    pruebaOrdenador_.reset();
    CochePerfil->LeerControles();
    return *CochePerfil;
  }
  const int nivel = CochePerfil->NivelOrdenador;
  if (!pruebaOrdenador_ || !pruebaOrdenador_->Sigue(nivel))
    pruebaOrdenador_ = std::make_unique<TPruebaOrdenador>(entorno_, NombreJugador, nivel);
  return pruebaOrdenador_->Avanzar();
}

void TF_Perfil::t_controlesTimer() {
  const TCoche& coche = CocheProbado();
  g_acelerar.Position = coche.Acelerador;
  g_frenar.Position = coche.Freno;
  g_derecha.Position = coche.Derecha;
  g_izquierda.Position = -coche.Izquierda;
  l_izq.Caption = ZeroPadded(coche.Izquierda, 3);
  l_der.Caption = ZeroPadded(coche.Derecha, 3);
  l_ace.Caption = ZeroPadded(coche.Acelerador, 3);
  l_fre.Caption = ZeroPadded(coche.Freno, 3);
}

}  // namespace rodavia
