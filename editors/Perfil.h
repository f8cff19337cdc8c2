#pragma once
// The profile dialog: a player's name, car picture, sounds and controls,
// edited on a working car of the profile, with a live test of the controls
// on four gauges. Only "Grabar" writes the profile (through the car).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/Timer.h"
#include "race/Entrada.h"

namespace rodavia {

class TCoche;
class TEntornoCarrera;
class TPruebaOrdenador;

// The control settings that "Salir" puts back: the device choice (keyboard,
// joystick or the computer, with its level), the joystick's reading mode, the key rates and the dead zones. Keys, joystick
// number and force feedback are left out: only "Grabar" writes those into
// the car.
struct TCopiaControles {
  bool Joystick = false, EjesSeparados = false, JoystickAnalogico = true;
  int16_t PulsarAcelerar = 0, PulsarFrenar = 0, PulsarDerecha = 0, PulsarIzquierda = 0;
  int16_t SoltarAcelerar = 0, SoltarFrenar = 0, SoltarDerecha = 0, SoltarIzquierda = 0;
  int16_t ZonaMuertaEjeXMin = 0, ZonaMuertaEjeXMax = 0;
  int16_t ZonaMuertaEjeYMin = 0, ZonaMuertaEjeYMax = 0;
  int16_t ZonaMuertaEjeZMin = 0, ZonaMuertaEjeZMax = 0;
  bool Ordenador = false;
  int16_t NivelOrdenador = 0;

  static TCopiaControles De(const TCoche& coche);
  void Devolver(TCoche& coche) const;
};

class TF_Perfil : public TForm {
 public:
  // `entorno`: the window the working car lives in (its engine, picture
  // slots, sound and input).
  explicit TF_Perfil(TEntornoCarrera& entorno);
  ~TF_Perfil() override;

  // Shows the dialog modally for NombreJugador ("" for a new profile):
  // mrOk after "Grabar" (NombreJugador is then the saved name), mrCancel
  // after "Salir" or the close box.
  int Mostrar();

  std::string NombreJugador;
  std::unique_ptr<TCoche> CochePerfil;
  TCopiaControles CopiaControles;

  void FormShow();
  void FormClose();
  void bb_anteriorClick();
  void bb_siguienteClick();
  void bb_GrabarClick();
  void bb_SalirClick();

  void e_acelerarKeyDown(int& key, ShiftState shift);
  void e_frenarKeyDown(int& key, ShiftState shift);
  void e_izquierdaKeyDown(int& key, ShiftState shift);
  void e_derechaKeyDown(int& key, ShiftState shift);
  void e_acelerarEnter() { MarcarTecla(e_acelerar, true); }
  void e_acelerarExit() { MarcarTecla(e_acelerar, false); }
  void e_frenarEnter() { MarcarTecla(e_frenar, true); }
  void e_frenarExit() { MarcarTecla(e_frenar, false); }
  void e_izquierdaEnter() { MarcarTecla(e_izquierda, true); }
  void e_izquierdaExit() { MarcarTecla(e_izquierda, false); }
  void e_derechaEnter() { MarcarTecla(e_derecha, true); }
  void e_derechaExit() { MarcarTecla(e_derecha, false); }

  void tb_acelerar_pulsarChange();
  void tb_frenar_pulsarChange();
  void tb_izquierda_pulsarChange();
  void tb_derecha_pulsarChange();
  void tb_acelerar_soltarChange();
  void tb_frenar_soltarChange();
  void tb_izquierda_soltarChange();
  void tb_derecha_soltarChange();
  void tb_zm_ejex_minChange();
  void tb_zm_ejey_minChange();
  void tb_zm_ejez_minChange();
  void tb_zm_ejex_maxChange();
  void tb_zm_ejey_maxChange();
  void tb_zm_ejez_maxChange();
  void se_JoystickChange();
  void cb_ffbClick();
  void cb_ejesClick();
  void cb_analogicoClick();
  void se_nivelChange();
  void pc_controlesChange();
  void t_controlesTimer();

  // The profile page.
  TLabel& l_nombre;
  TEdit& e_nombre;
  TButton& bb_anterior;
  TImage& i_coche;
  TButton& bb_siguiente;
  TComboBox& cb_coche;
  TGroupBox& gb_sonidos;
  TLabel& l_motor;
  TLabel& l_derrape;
  TLabel& l_golpe;
  TComboBox& cb_motor;
  TComboBox& cb_derrape;
  TComboBox& cb_golpe;

  // The controls group: the three pages (keyboard, joystick, computer) and
  // the gauge cross.
  TGroupBox& gb_controles;
  TPageControl& pc_controles;
  TTabSheet& ts_teclado;
  TTabSheet& ts_joystick;
  TTabSheet& ts_ordenador;
  TLabel& l_velocidad;
  TLabel& l_pulsar;
  TLabel& l_soltar;
  TLabel& l_acelerar;
  TLabel& l_frenar;
  TLabel& l_izquierda;
  TLabel& l_derecha;
  TEdit& e_acelerar;
  TEdit& e_frenar;
  TEdit& e_izquierda;
  TEdit& e_derecha;
  TTrackBar& tb_acelerar_pulsar;
  TTrackBar& tb_frenar_pulsar;
  TTrackBar& tb_izquierda_pulsar;
  TTrackBar& tb_derecha_pulsar;
  TTrackBar& tb_acelerar_soltar;
  TTrackBar& tb_frenar_soltar;
  TTrackBar& tb_izquierda_soltar;
  TTrackBar& tb_derecha_soltar;
  TCheckBox& cb_analogico;
  TCheckBox& cb_ejes;
  TCheckBox& cb_ffb;
  TLabel& l_joystick;
  TSpinEdit& se_Joystick;
  TLabel& l_minimo;
  TLabel& l_maximo;
  TLabel& l_zm_direccion;
  TLabel& l_zm_acelerador;
  TLabel& l_zm_freno;
  TTrackBar& tb_zm_ejex_min;
  TTrackBar& tb_zm_ejex_max;
  TTrackBar& tb_zm_ejez_min;
  TTrackBar& tb_zm_ejez_max;
  TTrackBar& tb_zm_ejey_min;
  TTrackBar& tb_zm_ejey_max;
  TLabel& l_nivel;
  TSpinEdit& se_nivel;
  TLabel& l_izq;
  TLabel& l_der;
  TProgressBar& g_izquierda;
  TProgressBar& g_derecha;
  TProgressBar& g_frenar;
  TProgressBar& g_acelerar;
  TLabel& l_fre;
  TLabel& l_ace;

  TButton& bb_Grabar;
  TButton& bb_Salir;
  TTimer t_controles;

  static constexpr int PaginaTeclado = 0;
  static constexpr int PaginaJoystick = 1;
  static constexpr int PaginaOrdenador = 2;

 private:
  void Conectar();
  void LlenarListas();
  bool CargarImagen(const std::string& nombre);
  void CargarImagenCoche();
  void MostrarControles();
  void GrabarControles();
  void MarcarTecla(TEdit& e, bool entrando);
  void CapturarTecla(int& key, int16_t TCoche::*tecla, TDireccion direccion, TEdit& e, TControl& siguiente);
  void ActivarDispositivo(int pagina);
  const TCoche& CocheProbado();

  TEntornoCarrera& entorno_;
  std::unique_ptr<TPruebaOrdenador> pruebaOrdenador_;  // the computer page's test car, while it shows
};

}  // namespace rodavia
