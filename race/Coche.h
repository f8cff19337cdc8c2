#pragma once
// One car and its driver: an image sprite of the race's sprite engine that
// carries the player's profile settings, its physics state and its lap
// times. A local car is driven here from its own keyboard or joystick, with
// its own sounds; a remote car is driven on another machine and placed from
// that machine's car-state frames.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "race/Entrada.h"
#include "sprites/Sprites.h"

namespace rodavia {

struct Picture;
class IniFile;
class TPilotoOrdenador;
struct TOtroCoche;
class TEntornoCarrera;
class Wave;

// One completed lap.
struct TTiemposCarrera {
  int16_t Vuelta = 0;  // lap number, 1 for the first
  double Tiempo = 0;   // fraction of a day
};

struct TPuntoReal {
  double X = 0, Y = 0;
};

// Heading units in one 10-degree picture frame (a heading unit is 1/256 radian).
constexpr double UnidadesPorFrame = 44.6802488;
constexpr const char* ImagenCochePorDefecto = "F1-Vanto-Rojo.bmp";

// Why Coches\<fichero> cannot be a car in the race, as the end of the
// sentence "...tiene la imagen del coche X": "que no existe", that it is not a
// strip of the 36 frames of 36 x 36 pixels (a car facing a missing frame
// would be invisible), or "" when it can.
std::string ProblemaImagenCoche(const std::string& fichero);
// The same for a picture already read; nullptr when it could not be read.
std::string ProblemaImagenCoche(const Picture* imagen);

class TCoche : public TImageSprite {
 public:
  // Builds the car in the window's sprite engine, invisible until a race
  // places it. A local car takes its picture, sounds and controls from the
  // profile of `nombre`; `imagenCoche` is used only for a remote car. A
  // missing picture or sound is fatal (TEntornoCarrera::ErrorFatal).
  TCoche(TEntornoCarrera& entorno, int16_t indice, bool local, const std::string& imagenCoche,
         const std::string& equipo, const std::string& nombre);
  ~TCoche() override;

  // The profile file Jugadores\<Nombre>.ini; for a remote car each does
  // nothing and answers true.
  bool LeerPerfil();
  bool GrabarPerfil();
  bool LeerPerfilCircuito();
  bool GrabarPerfilCircuito();
  bool CalcularTotales();

  // Race start for roster position `posicion` (0-based): onto its start
  // position, with the driving values of its circuit setup.
  void PrepararCarrera(int posicion);
  // Applies the profile's control settings to the input component.
  void ConfigurarEntrada();

  // Keyboard, joystick or the computer driver into the four control levels.
  void LeerControles();
  // The other cars of the race, as a computer driver sees them.
  std::vector<TOtroCoche> OtrosCoches() const;
  // One tick: physics for a local car, following the frames for a remote one.
  void Step(int count) override;
  // Pushes this local car out of another car it touches.
  void Collide(TSprite* otro, bool& done) override;

  // A remote car's received state: the frame's x field (x - 12), y, picture
  // frame and smoke kind.
  void RecibirEstado(int xCampo, int yCampo, int frame, int humo);
  // The 11-character state block this car sends.
  std::string EstadoTrama() const;

  // The rear wheels, 12 pixels behind and 10 to either side of the centre.
  int RuedaTraseraIzquierdaX() const;
  int RuedaTraseraIzquierdaY() const;
  int RuedaTraseraDerechaX() const;
  int RuedaTraseraDerechaY() const;

  std::string Nombre;
  int16_t Indice = 0;
  bool Local = false;
  std::string Equipo;
  uint32_t Miembro = 0;  // the session member whose machine drives a remote car
  std::string ImagenCoche;
  std::string SonidoMotor, SonidoDerrape, SonidoGolpe;
  TPuntoReal destino, destinoAnterior;
  TPuntoReal paso;
  int16_t framesDesdeTrama = 0;
  int16_t framesEntreUltimasTramas = 0;
  int16_t Rumbo = 0;  // 1/256 radian, clockwise from +x
  double Coseno = 0, Seno = 0;
  int16_t Velocidad = 0;  // 1/512 pixel per tick
  int16_t VelocidadMaxima = 0;
  int16_t Aceleracion = 0;
  int16_t Rozamiento = 0;
  int16_t Derrape = 0;
  int16_t Humo = 0;  // 0 none, 1 asphalt, 2 grass, 3 sand, 4 pit lane, 5 pit entry
  int16_t ContadorHumo = 0;
  double Agarre = 0;
  std::vector<std::unique_ptr<Wave>> Sonidos;  // local: engine, skid, crash
  std::unique_ptr<TEntrada> Entrada;           // local only

  bool Joystick = false;
  int16_t IDJoystick = 0;
  bool EjesSeparados = false;
  bool JoystickAnalogico = true;
  bool ForceFeedBack = false;
  int16_t TeclaAcelerar = 38, TeclaFrenar = 40, TeclaDerecha = 39, TeclaIzquierda = 37;
  int16_t PulsarAcelerar = 32, PulsarFrenar = 32, PulsarDerecha = 32, PulsarIzquierda = 32;
  int16_t SoltarAcelerar = 64, SoltarFrenar = 64, SoltarDerecha = 64, SoltarIzquierda = 64;
  int16_t ZonaMuertaEjeXMin = 0, ZonaMuertaEjeXMax = 0;
  int16_t ZonaMuertaEjeYMin = 0, ZonaMuertaEjeYMax = 0;
  int16_t ZonaMuertaEjeZMin = 0, ZonaMuertaEjeZMax = 0;
  bool Ordenador = false;       // driven by the computer instead of keys or joystick
  int16_t NivelOrdenador = 10;  // its skill, 1..10
  std::unique_ptr<TPilotoOrdenador> Piloto;  // a local computer car in a race

  int16_t Acelerador = 0, Freno = 0, Izquierda = 0, Derecha = 0;  // 0..128
  std::string Rotulo;
  int16_t ContadorRotulo = 0;
  int16_t Vuelta = 0;
  int16_t Parcial = 0;  // 0 the finish line counts, 1 split 1 due, 2 split 2 due
  double InicioVuelta = 0;
  std::vector<TTiemposCarrera> Tiempos;

  std::string CircuitoPerfil;
  double VueltaRapida = 0.9, FechaVueltaRapida = 0;
  int16_t VecesJugadas = 0, VecesGanadas = 0, RelacionCambio = 5, Ruedas = 1, Gasolina = 10;
  int32_t VueltasDadas = 0;
  int16_t CircuitosJugados = 0, TotalPartidasJugadas = 0, TotalVictorias = 0;
  int32_t TotalVueltasDadas = 0;
  double Ranking = 0;

 private:
  void CargarImagen();
  void CargarSonidos();
  void EscribirSeccionCircuito(IniFile& perfil) const;

  // The steps of a tick.
  void SeguirTramas();
  bool Conducir();  // false when the lap just completed ended the race
  bool Girar(double factorGiro);
  bool Pedales(bool& derrapando);
  void Avanzar();
  bool PisarSuelo();
  bool CruzarMeta();
  void ChocarPared();
  void Derrapar(bool derrapando);
  void AnotarEstado();
  void MostrarRotulo();
  void EcharHumo();
  void CrearHumo(const char* imagen, double x, double y);

  TEntornoCarrera& entorno_;
};

}  // namespace rodavia
