#pragma once
// The main window: the lobby between races and, with its drawing surface
// shown over it, the race screen. It owns the current circuit, the race
// roster, the working car of the selected profile, the sprite engine with
// its pictures, the main sounds and the frame loop.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/ImageList.h"
#include "platform/Sound.h"
#include "platform/Timer.h"
#include "platform/Transport.h"
#include "net/Descubrimiento.h"
#include "net/Receptores.h"
#include "race/Entorno.h"
#include "sprites/Sprites.h"

namespace rodavia {

class Display;
class TextRenderer;
class InputSystem;
class TCircuito;
class TCoche;
class IniFile;
class TF_ControlesCrearCircuito;
class TDXPlay;
struct Picture;
struct TDXPlayPlayer;

// The platform pieces the window draws, plays and reads with.
struct Dispositivos {
  Display& pantalla;
  TextRenderer& texto;
  SoundSystem& sonido;
  InputSystem& entrada;
  Transport& red;
};

inline constexpr const char* kVersion = "0.79 BETA";
inline constexpr const char* kPaginaWeb = "https://rodavia.example.org";
inline constexpr const char* kCorreo = "equipo@rodavia.example.org";
inline constexpr const char* kCocheDefecto = "F1-Vanto-Rojo.bmp";
inline constexpr const char* kSesion = "Rodavia";
inline constexpr uint16_t kPuertoDefecto = 6666;

class TF_Principal : public TForm, public TEntornoCarrera {
 public:
  explicit TF_Principal(Dispositivos dispositivos);
  ~TF_Principal() override;

  // The start-up sequence. Ends the program (ProgramEnd) when a sound, a
  // picture or every circuit is missing.
  void FormCreate();
  // The shut-down sequence; the window closes afterwards.
  void FormClose();

  bool LeerConfiguracion();
  bool GuardarConfiguracion();
  void PonerModoPantalla(bool pantallaCompleta);
  void EnlazarPantalla();
  void LlenarListaCircuitos();
  void LlenarListaPerfiles();
  void CargarSonidos();
  void CargarGraficos();

  // Lobby handlers: circuit, profile, setup.
  void cb_CircuitosClick();
  void cb_PerfilChange();
  void MostrarDatosCircuito();
  void MostrarSetupCoche();
  void tb_relacionChange();
  void rg_RuedasClick();
  void tb_GasolinaChange();
  void e_NumVueltasExit();
  void cb_colisionesClick();
  void bb_CrearClick();
  void bb_modificarClick();
  void bb_BorrarClick();
  void bb_InfoClick();
  static std::string TextoRelacion(int posicion);
  static std::string TextoGasolina(int posicion);
  void sb_salirClick() { Close(); }
  void sb_editarClick();

  // The network session: connecting and leaving, the session's events and
  // the host check.
  void rg_conectarClick();
  void bb_ConectarClick();
  void bb_DesconectarClick();
  void Desconectar();
  void PonerDesconectado();
  void PonerConectadoServidor();
  void PonerConectadoCliente();
  void PonerControlesConexion(bool conectado, bool cliente);
  void MostrarConectando(const std::string& direccion, bool primerIntento);
  void DXPlayOpen();
  void DXPlayClose();
  void DXPlayAddPlayer(TDXPlayPlayer& equipo);
  void DXPlayDeletePlayer(TDXPlayPlayer& equipo);
  void DXPlaySessionLost();
  void t_ComprobarSiSoyServerTimer();
  // The sessions on the network while "Unirse" is chosen, and this
  // session's answer to machines that look for it.
  void MostrarListaPartidas();
  void t_PartidasTimer();
  void MostrarPartidas(const std::vector<FoundSession>& respuestas);
  void lb_PartidasClick();
  AnuncioPartida Anuncio() const;
  // host or host:port of e_IP, with the configured port where none is given.
  static void DireccionConexion(const std::string& ip, int puertoConfigurado, std::string& host,
                                uint16_t& puerto);

  // The frames: sending, and the receivers by frame type.
  void EnviarTrama(MemberId a, Trama tipo, const std::string& texto);
  void EnviarTramaOpciones(MemberId a);
  void EnviarTramaRecordCircuitoYPerfilJugadores(MemberId a = AllMembers);
  void DXPlayMessage(TDXPlayPlayer& de, const uint8_t* datos, size_t tamanyo);
  // This machine's session as the receivers of frames see it.
  ModeloSesion Modelo() const;
  void t_ajugarTimer();

  // The race roster, its two views and the chat.
  void bb_anyadir_a_partidaClick() { AnyadirJugador(cb_Perfil->Text()); }
  void bb_quitar_de_la_partidaClick();
  void sb_jugadoresClick();
  void sb_equiposClick();
  void lv_jugadoresChange(int item);
  void MostrarJugadores();
  void MostrarEquipos();
  void bb_ChatClick();
  void EnviarChat(const std::string& texto);
  void EscribirChat(const std::string& tipo, const std::string& texto);

  // The frame loop's tick.
  void t_cochesTimer();
  void FormKeyDown(int key, ShiftState shift);

  // Race start and end.
  void sb_jugarClick();
  void EmpezarCarrera();
  void EncenderSemaforo();
  void t_semaforoTimer();
  void TerminarCarrera();
  void OcultarControles();
  void MostrarControles();

  // Laps and results.
  std::string TablaResultados(const TCoche& ganador);

  // TForm
  void KeyDown(int key, ShiftState shift) override { FormKeyDown(key, shift); }
  void Close() override;

  // TEntornoCarrera
  TSpriteEngine& Motor() override { return *DXSpriteEngine; }
  ImageList& Imagenes() override { return DXImageList; }
  SoundSystem& Sonido() override { return dispositivos_.sonido; }
  InputSystem& Entradas() override { return dispositivos_.entrada; }
  TCircuito* Circuito() override { return circuito_.get(); }
  void RecordCambiado() override { MostrarDatosCircuito(); }
  [[noreturn]] void ErrorFatal(const std::string& mensaje) override;
  bool Colisiones() const override { return cb_colisiones->Checked(); }
  void EncolarMarcador(const TMarcador& marcador) override { Marcadores.push_back(marcador); }
  void MostrarNivelesControl(int derecha, int izquierda, int acelerador, int freno) override;
  bool CompletarVuelta(TCoche& coche, double tiempo) override;
  void EnviarTrama(Trama tipo, const std::string& texto) override { EnviarTrama(AllMembers, tipo, texto); }
  bool SesionAbierta() const override;
  std::string& TramaCoches() override { return tramaCoches; }
  int FramesDesdeEnvio() const override { return framesDesdeEnvio; }
  int FramesEntreTramas() const override { return framesEntreTramas; }

  // State read by tests and the race.
  Display& DXDraw;
  ImageList DXImageList;
  std::unique_ptr<TSpriteEngine> DXSpriteEngine;
  // The main waves, in the order they are loaded.
  enum OndaPrincipal { UltimaVuelta, Victoria, RecordCircuito, Sirena };
  std::vector<std::unique_ptr<Wave>> DXWaveList;
  TDXTimer t_coches;
  TTimer t_semaforo;
  TTimer t_ComprobarSiSoyServer, t_ajugar, t_Partidas;
  std::unique_ptr<TDXPlay> DXPlay;
  bool equipoRepetido = false;

  bool VerFrames = false, VerControles = false;
  int16_t TeclaSalir = 27, TeclaFrames = 27, TeclaControles = 27;
  int16_t NumVueltas = 0;
  std::string Resultados;
  std::vector<TMarcador> Marcadores;
  std::string MensajeCarrera;
  uint32_t ColorMensaje = 0xFFFFFF;
  int16_t ContadorMensaje = 0;
  std::string tramaCoches;
  int32_t framesDesdeEnvio = 0, framesEntreTramas = 3;

  TBackgroundSprite* Fondo = nullptr;
  TImageSprite* Semaforo = nullptr;
  TCoche* CocheTrabajo() { return cocheTrabajo_.get(); }
  std::vector<TCoche*>& Jugadores() { return jugadores_; }
  // Adds a local player of that profile to the race roster.
  void AnyadirJugador(const std::string& nombre);
  void QuitarTodosLosJugadores();

  // Controls of the lobby.
  TComboBox* cb_Circuito;
  TImage* i_circuito;
  TEdit *e_Nombre, *e_Autor, *e_Email, *e_Record, *e_AutorRecord, *e_FechaRecord;
  TEdit* e_NumVueltas;
  TCheckBox* cb_colisiones;
  TComboBox* cb_Perfil;
  TImage* i_coche;
  TButton *bb_Crear, *bb_modificar, *bb_Borrar;
  TLabel *l_relacion, *l_Gasolina;
  TTrackBar *tb_relacion, *tb_Gasolina;
  TRadioGroup* rg_Ruedas;
  TButton* bb_anyadir_a_partida;
  TSpeedButton *sb_jugadores, *sb_equipos;
  TButton *bb_quitar_de_la_partida, *bb_Info;
  TEdit* e_chat;
  TButton* bb_Chat;
  TEdit *e_Equipo, *e_IP;
  TRadioGroup* rg_conectar;
  TButton *bb_Conectar, *bb_Desconectar;
  TLabel* l_conectar;
  TGroupBox* gb_Partidas;
  TListBox* lb_Partidas;
  TListBox* l_Chat;
  TListView* lv_jugadores;
  TSpeedButton *sb_jugar, *sb_editar, *sb_salir;
  TLabel *l_Version, *l_web, *l_email;
  TProgressBar *pb_acelerador, *pb_freno, *pb_izquierda, *pb_derecha;

 private:
  void CrearControles();
  void CrearSesion();
  std::vector<TControl*> ControlesDelLobby() const;
  IniFile Configuracion() const;
  void CargarGrafico(const IniFile& configuracion, const std::string& clave, bool semaforo);
  void DibujarMarcadores(Surface16& buffer);
  void DibujarSprites();
  TCoche* JugadorLlamado(const std::string& nombre) const;
  // The first frame of a car strip, as the lobby shows it.
  static Surface16 PrimerFotograma(const Picture& imagen);
  // What a received frame was decided to change.
  void Aplicar(TDXPlayPlayer& de, const Decision& d);
  void AdmitirJugador(const TDXPlayPlayer& de, const JugadorEntra& j);
  void TomarRecord(const RecordEnTrama& r);
  void AplicarOpciones(const Decision::Ajustes& a);
  int16_t EstadoPropio() const;
  // Sets this machine's team state and tells every other team.
  void AnunciarEstado(int16_t estado);
  // Every team is ready: tell them all to start, and start here shortly.
  void EmpezarSiTodosPreparados(const TDXPlayPlayer* saliente = nullptr);
  // The players that member added, as it leaves.
  void QuitarJugadoresDelMiembro(MemberId miembro);
  void PublicarAnuncio();
  void BuscarPartidas();
  // Waits `ms` while window messages go on being handled.
  static void Esperar(uint32_t ms);

  Dispositivos dispositivos_;
  std::unique_ptr<TCircuito> circuito_;
  std::unique_ptr<TCoche> cocheTrabajo_;
  std::vector<TCoche*> jugadores_;
  std::vector<Surface16> imagenesJugadores_;
  std::vector<Surface16> iconosEstado_;  // one a team state: waiting, ready, racing
  std::vector<PartidaEncontrada> partidas_;  // the rows of lb_Partidas
  // Where the list asks for sessions: a broadcast address and the port
  // sessions answer at (Rodavia.ini: Descubrir and Puerto of Conexiones).
  std::string direccionDescubrir_ = "255.255.255.255";
  uint16_t puertoSesion_ = kPuertoDefecto;
  // From the race start to its end; a start stopped meanwhile is abandoned.
  bool enCarrera_ = false;
  // The circuit editor's tool window lives as long as the program.
  std::unique_ptr<TF_ControlesCrearCircuito> controlesCrearCircuito_;
  bool cerrado_ = false;
};

}  // namespace rodavia
