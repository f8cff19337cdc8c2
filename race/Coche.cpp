#include "race/Coche.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/Files.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "platform/Sound.h"
#include "race/Circuito.h"
#include "race/Entorno.h"
#include "race/PilotoOrdenador.h"

namespace rodavia {

namespace {
constexpr int LadoFrame = 36, FramesCoche = 36;  // a car picture is a strip of 36 x 36 frames
constexpr int MaxCopiasSonido = 25;
constexpr int FrecuenciaParado = 750;
constexpr double LejosDeDestino = 100;  // beyond this a remote car jumps instead of gliding
constexpr int16_t TramasPerdidas = 60;  // ticks without frames before a remote car is parked
constexpr double Aparcado = -50;        // out of sight

int Redondear(double v) { return int(std::nearbyint(v)); }
}  // namespace

std::string ProblemaImagenCoche(const std::string& fichero) {
  Picture imagen;
  return ProblemaImagenCoche(LoadPicture(files::Resolve("Coches\\" + fichero), imagen) ? &imagen : nullptr);
}

std::string ProblemaImagenCoche(const Picture* imagen) {
  if (!imagen) return "que no existe";
  if ((imagen->pixels.width() / LadoFrame) * (imagen->pixels.height() / LadoFrame) < FramesCoche)
    return "que no tiene los 36 fotogramas de 36 x 36 pixels";
  return "";
}

TCoche::TCoche(TEntornoCarrera& entorno, int16_t indice, bool local, const std::string& imagenCoche,
               const std::string& equipo, const std::string& nombre)
    : TImageSprite(&entorno.Motor()),
      Nombre(nombre),
      Indice(indice),
      Local(local),
      Equipo(equipo),
      entorno_(entorno) {
  Visible = false;
  if (Local)
    LeerPerfil();
  else
    ImagenCoche = imagenCoche;
  CargarImagen();
  if (!Local) return;
  Entrada = std::make_unique<TEntrada>(entorno_.Entradas());
  ConfigurarEntrada();
  CargarSonidos();
}

TCoche::~TCoche() = default;

void TCoche::CargarImagen() {
  Picture imagen;
  if (!LoadPicture(files::Resolve("Coches\\" + ImagenCoche), imagen))
    entorno_.ErrorFatal("No se encuentra el fichero ..\\Coches\\" + ImagenCoche);
  ImageSlot& slot = entorno_.Imagenes().slot(std::to_string(Indice));
  slot.setPicture(std::move(imagen));  // also takes the picture's transparent colour
  slot.frameWidth = slot.frameHeight = LadoFrame;
  slot.transparent = true;
  Image = &slot;
  FrameCount = slot.frameCount();
  Width = slot.frameWidth;
  Height = slot.frameHeight;
  SetZ(Indice + 10);
  PixelExact = false;
  Collides = true;
}

void TCoche::CargarSonidos() {
  const bool enBucle[] = {true, false, false};
  const std::string* ficheros[] = {&SonidoMotor, &SonidoDerrape, &SonidoGolpe};
  for (int i = 0; i < 3; ++i) {
    auto onda = entorno_.Sonido().Load(files::Resolve("Sonidos\\" + *ficheros[i]));
    if (!onda) entorno_.ErrorFatal("No se encuentra el fichero ..\\Sonidos\\" + *ficheros[i]);
    onda->SetLooped(enBucle[i]);
    onda->SetMaxPlayingCount(MaxCopiasSonido);
    Sonidos.push_back(std::move(onda));
  }
}

void TCoche::ConfigurarEntrada() {
  if (!Entrada) return;
  Entrada->AbrirJoystick(IDJoystick, ForceFeedBack);
  Entrada->JoystickActivo = Joystick;
  Entrada->TecladoActivo = !Joystick;
  Entrada->AsignarTecla(TDireccion::Arriba, TeclaAcelerar);
  Entrada->AsignarTecla(TDireccion::Abajo, TeclaFrenar);
  Entrada->AsignarTecla(TDireccion::Izquierda, TeclaIzquierda);
  Entrada->AsignarTecla(TDireccion::Derecha, TeclaDerecha);
}

void TCoche::PrepararCarrera(int posicion) {
  TCircuito* circuito = entorno_.Circuito();
  if (!circuito) return;
  CircuitoPerfil = circuito->Nombre;
  LeerPerfilCircuito();
  Visible = true;

  const TSalida& salida = circuito->Salidas[size_t(std::clamp(posicion + 1, 1, 16))];
  X = salida.X;
  Y = salida.Y;
  destino = destinoAnterior = {X, Y};
  // A remote car shows only from its second state frame of this race, not
  // from where the last race's frames left it.
  framesDesdeTrama = framesEntreUltimasTramas = 0;
  paso = {};
  Frame = salida.Angulo;
  Rumbo = int16_t(Redondear((salida.Angulo - 9) * UnidadesPorFrame));
  Velocidad = 0;

  if (Local) {
    Piloto = Ordenador ? std::make_unique<TPilotoOrdenador>(circuito->Plan(), NivelOrdenador) : nullptr;
    static constexpr double AgarrePorRuedas[] = {-5, 5, 15};  // Duras, Medias, Blandas
    Agarre = AgarrePorRuedas[std::clamp<int>(Ruedas, 0, 2)];
    VelocidadMaxima = int16_t(RelacionCambio * 100 + 4000);
    Aceleracion = int16_t(30 - 2 * RelacionCambio);
    Rozamiento = int16_t(25 - RelacionCambio);
    Sonidos[0]->SetFrequency(FrecuenciaParado);
    Sonidos[0]->Play();
  }

  Rotulo = Nombre;
  ContadorRotulo = -100;  // the name shows for the first 151 ticks
  Vuelta = 0;
  Parcial = 0;
  InicioVuelta = 0;
  Tiempos.clear();
}

// ---- Remote cars --------------------------------------------------------------

void TCoche::RecibirEstado(int xCampo, int yCampo, int frame, int humo) {
  destinoAnterior = destino;
  framesEntreUltimasTramas = framesDesdeTrama;
  framesDesdeTrama = 0;
  destino = {double(xCampo + 12), double(yCampo)};
  Frame = frame;
  const double rumbo = (frame - 9) * UnidadesPorFrame / 256;
  Coseno = std::cos(rumbo);
  Seno = std::sin(rumbo);
  Humo = int16_t(humo);
  if (std::fabs(X - destino.X) > LejosDeDestino || std::fabs(Y - destino.Y) > LejosDeDestino) {
    X = destino.X;
    Y = destino.Y;
  }
  if (framesEntreUltimasTramas >= 2) {
    // Head for where the car will be one state interval after this report,
    // at the speed it showed between the last two. A pace of 0 frames
    // between states would divide by zero: one tick is the least.
    const int intervalo = std::max(entorno_.FramesEntreTramas(), 1);
    const double cuenta = entorno_.FramesEntreTramas();
    const double prevX = destino.X + (destino.X - destinoAnterior.X) / framesEntreUltimasTramas * cuenta;
    const double prevY = destino.Y + (destino.Y - destinoAnterior.Y) / framesEntreUltimasTramas * cuenta;
    paso = {(prevX - X) / intervalo, (prevY - Y) / intervalo};
  }
}

void TCoche::SeguirTramas() {
  if (framesDesdeTrama < INT16_MAX) ++framesDesdeTrama;  // stays parked however long it waits
  if (framesDesdeTrama >= TramasPerdidas || framesEntreUltimasTramas <= 1) {
    X = Y = Aparcado;
  } else {
    X += paso.X;
    Y += paso.Y;
  }
}

std::string TCoche::EstadoTrama() const {
  // x - 12 travels in three digits ("0000" without its first character), a
  // negative one as 000; y has no sign and three digits.
  const int x = std::clamp(Redondear(X - 12), 0, 999);
  const int y = std::clamp(Redondear(Y), 0, 999);
  char bloque[16];
  std::snprintf(bloque, sizeof bloque, "%02d%03d%03d%02d%01d", Indice % 100, x, y,
                Redondear(Frame) % 100, Humo % 10);
  return bloque;
}

// ---- Wheels and collisions ----------------------------------------------------

int TCoche::RuedaTraseraIzquierdaX() const { return int(X + 16 - 12 * Coseno + 10 * Seno); }
int TCoche::RuedaTraseraIzquierdaY() const { return int(Y + 16 - 12 * Seno - 10 * Coseno); }
int TCoche::RuedaTraseraDerechaX() const { return int(X + 16 - 12 * Coseno - 10 * Seno); }
int TCoche::RuedaTraseraDerechaY() const { return int(Y + 16 - 12 * Seno + 10 * Coseno); }

void TCoche::Collide(TSprite* otro, bool&) {
  // Each machine pushes only its own cars; the other car reacts in its own pass.
  if (!Local || !entorno_.Colisiones()) return;
  const auto* coche = dynamic_cast<const TCoche*>(otro);
  if (!coche) return;
  if (std::fabs(X - coche->X) >= 15 || std::fabs(Y - coche->Y) >= 15) return;
  if (X < coche->X && X > coche->X - 16) X = coche->X - 16;
  if (Y < coche->Y && Y > coche->Y - 16) Y = coche->Y - 16;
  if (X > coche->X && X < coche->X + 16) X = coche->X + 16;
  if (Y > coche->Y && Y < coche->Y + 16) Y = coche->Y + 16;
  Velocidad = int16_t(Velocidad / 2);
}

}  // namespace rodavia
