// The driving physics of a car, one tick at a time: controls, steering,
// pedals, movement, the ground under the car, laps, walls, skids, the state
// for the network, the label and the smoke.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/Clock.h"
#include "platform/ImageList.h"
#include "platform/Input.h"
#include "platform/Sound.h"
#include "platform/Text.h"
#include "race/Circuito.h"
#include "race/Coche.h"
#include "race/Entorno.h"
#include "race/Humo.h"
#include "race/PilotoOrdenador.h"

namespace rodavia {

namespace {
constexpr int Pulsado = 60;    // a control level above this counts as pressed
constexpr int NivelMaximo = 128;
constexpr double GradosPorUnidad = 5.7295779513;  // 180 / pi / 10: frames per radian
constexpr uint32_t Blanco = 0xFFFFFF;

int Redondear(double v) { return int(std::nearbyint(v)); }
int16_t Nivel(int v) { return int16_t(std::clamp(v, 0, NivelMaximo)); }

// A joystick level through its dead zones: 0 below `min`, full travel above
// 128 - `max`, scaled linearly between.
int16_t ZonaMuerta(int v, int min, int max) {
  if (v < min) return 0;
  if (v > NivelMaximo - max) return NivelMaximo;
  if (v == min) return 0;  // keeps the scale finite when min + max is 128
  return int16_t(Redondear(double(NivelMaximo) / (NivelMaximo - min - max) * (v - min)));
}

// Time of day of the clock, as a fraction of a day.
double HoraDelDia() {
  const double ahora = CurrentClock().Now();
  return ahora - std::floor(ahora);
}

}  // namespace

void TCoche::LeerControles() {
  if (Piloto) {
    const TControles c = Piloto->Decidir(*this, OtrosCoches());
    Acelerador = c.Acelerador, Freno = c.Freno, Izquierda = c.Izquierda, Derecha = c.Derecha;
    return;
  }
  if (!Entrada) return;
  Entrada->Poll();
  if (Joystick && JoystickAnalogico) {
    const int x = Entrada->EjeX(), y = Entrada->EjeY(), z = Entrada->EjeZ();
    if (EjesSeparados) {
      Acelerador = int16_t(NivelMaximo - (z + 128) / 2);
      Freno = int16_t(NivelMaximo - (y + 128) / 2);
    } else {
      Acelerador = int16_t(y > 0 ? y : 0);
      Freno = int16_t(y > 0 ? 0 : -y);
    }
    Derecha = int16_t(x > 0 ? x : 0);
    Izquierda = int16_t(x > 0 ? 0 : -x);
    Acelerador = ZonaMuerta(Acelerador, ZonaMuertaEjeZMin, ZonaMuertaEjeZMax);
    Freno = ZonaMuerta(Freno, ZonaMuertaEjeYMin, ZonaMuertaEjeYMax);
    Izquierda = ZonaMuerta(Izquierda, ZonaMuertaEjeXMin, ZonaMuertaEjeXMax);
    Derecha = ZonaMuerta(Derecha, ZonaMuertaEjeXMin, ZonaMuertaEjeXMax);
    return;
  }
  // Keys, or a joystick read as four directions: each level rises at its
  // press rate while held and falls at its release rate otherwise.
  auto mover = [this](TDireccion d, int16_t& nivel, int pulsar, int soltar) {
    const bool pulsado = Entrada->Pulsado(d);
    nivel = Nivel(pulsado ? nivel + pulsar : nivel - soltar);
    return pulsado;
  };
  mover(TDireccion::Arriba, Acelerador, PulsarAcelerar, SoltarAcelerar);
  mover(TDireccion::Abajo, Freno, PulsarFrenar, SoltarFrenar);
  if (Entrada->Pulsado(TDireccion::Derecha)) Izquierda = 0;
  mover(TDireccion::Derecha, Derecha, PulsarDerecha, SoltarDerecha);
  if (Entrada->Pulsado(TDireccion::Izquierda)) Derecha = 0;  // left wins over right
  mover(TDireccion::Izquierda, Izquierda, PulsarIzquierda, SoltarIzquierda);
}

std::vector<TOtroCoche> TCoche::OtrosCoches() const {
  std::vector<TOtroCoche> otros;
  if (!Parent) return otros;
  for (const TSprite* s : Parent->Children()) {
    const auto* c = dynamic_cast<const TCoche*>(s);
    if (!c || c == this || !c->Visible) continue;
    if (c->Local)
      otros.push_back({c->X, c->Y, c->Velocidad / 512.0 * c->Coseno, c->Velocidad / 512.0 * c->Seno});
    else
      otros.push_back({c->X, c->Y, c->paso.X, c->paso.Y});
  }
  return otros;
}

void TCoche::Step(int) {
  if (!Visible) return;
  if (!Local)
    SeguirTramas();
  else if (!Conducir())
    return;
  MostrarRotulo();
  EcharHumo();
  CheckCollisions();
}

bool TCoche::Conducir() {
  Sonidos[0]->SetFrequency((std::abs(Velocidad) + 150) * 5);

  double factorGiro = 20;
  if (std::abs(Velocidad) < 1000)
    factorGiro = Velocidad / 1000.0 * 20;
  else if (Velocidad > 5000)
    factorGiro = 5000.0 / Velocidad * 20;
  if (std::abs(Velocidad) < 10) factorGiro = 0;

  LeerControles();
  entorno_.MostrarNivelesControl(Derecha, Izquierda, Acelerador, Freno);

  bool derrapando = Girar(factorGiro);
  const bool pedal = Pedales(derrapando);
  if (!pedal) {  // coasting
    if (Velocidad >= Rozamiento) Velocidad = int16_t(Velocidad - Rozamiento);
    if (Velocidad <= -Rozamiento) Velocidad = int16_t(Velocidad + Rozamiento);
  }
  Avanzar();
  if (!PisarSuelo()) return false;
  Derrapar(derrapando);
  AnotarEstado();
  return true;
}

bool TCoche::Girar(double factorGiro) {
  // Rolling backwards the wheel acts the other way round and twice as fast.
  bool derrapando = false;
  auto girar = [&](int16_t nivel, int sentido) {
    if (nivel > Pulsado && Velocidad > 2000) {
      derrapando = true;
      if (Derrape < 60) ++Derrape;
    }
    if (Velocidad > 0)
      Rumbo = int16_t(Rumbo + sentido * Redondear(nivel / 128.0 * factorGiro));
    else
      Rumbo = int16_t(Rumbo - sentido * Redondear(nivel / 128.0 * factorGiro * 2));
  };
  girar(Izquierda, -1);
  girar(Derecha, +1);
  return derrapando;
}

bool TCoche::Pedales(bool& derrapando) {
  bool pedal = Acelerador > Pulsado;
  const int empuje = Redondear(Aceleracion * Acelerador / 128.0);
  Velocidad = std::min<int16_t>(int16_t(Velocidad + empuje), VelocidadMaxima);
  if (Freno > Pulsado) {
    pedal = derrapando = true;
    if (Derrape < 80) Derrape = int16_t(Derrape + 2);
    if (Velocidad <= 0) Derrape = 0;
  } else if (Derrape > 60) {
    --Derrape;
  }
  if (Velocidad > 0)
    Velocidad = int16_t(Velocidad - Redondear(Freno / 128.0 * 80));  // may go through 0
  else
    Velocidad = int16_t(Velocidad - empuje);  // the throttle does not slow a car rolling back
  if (Velocidad < -800) Velocidad = -800;
  return pedal;
}

void TCoche::Avanzar() {
  // Heading bounds: jumps of 3240 units, not whole turns.
  if (Rumbo < 360) Rumbo = int16_t(3600 - (360 - Rumbo));
  if (Rumbo > 8400) Rumbo = int16_t(3600 - (Rumbo - 8400));
  Coseno = std::cos(Rumbo / 256.0);
  Seno = std::sin(Rumbo / 256.0);
  X += Velocidad / 512.0 * Coseno;
  Y += Velocidad / 512.0 * Seno;
  Frame = std::abs(std::llrint(Rumbo / 256.0 * GradosPorUnidad + 9) % 36);
}

bool TCoche::PisarSuelo() {
  // A speed beyond `umbral` either way loses `perdida` towards 0.
  auto frenar = [this](int umbral, int perdida) {
    if (Velocidad > umbral) Velocidad = int16_t(Velocidad - perdida);
    if (Velocidad < -umbral) Velocidad = int16_t(Velocidad + perdida);
  };
  switch (entorno_.Circuito()->SueloEn(X, Y)) {
    case suelo::Asfalto: Humo = 1; break;
    case suelo::Hierba: Humo = 2; frenar(500, 80); break;
    case suelo::Arena: Humo = 3; frenar(250, 250); break;
    case suelo::Boxes:
      Humo = 4;
      frenar(800, 80);
      Rotulo = "BOXES";
      ContadorRotulo = 45;
      break;
    case suelo::BoxIn: Humo = 5; frenar(500, 160); break;
    case suelo::Meta: return CruzarMeta();
    case suelo::Parcial1: if (Parcial == 1) Parcial = 2; break;
    case suelo::Parcial2: if (Parcial == 2) Parcial = 0; break;
    case suelo::Pared: ChocarPared(); break;
    default: break;
  }
  return true;
}

bool TCoche::CruzarMeta() {
  if (Parcial != 0) return true;  // just crossed, or the splits are not both passed
  const double ahora = HoraDelDia();
  if (Vuelta == 0) {
    Vuelta = 1;  // the first crossing, from the grid
  } else {
    double tiempo = ahora - InicioVuelta;
    if (tiempo < 0) tiempo += 1;  // the lap spanned midnight
    Tiempos.push_back({Vuelta, tiempo});
    entorno_.EnviarTrama(Trama::Vuelta, ZeroPadded(Indice, 2) + ZeroPadded(std::clamp<int>(Vuelta, 0, 99), 2) +
                                            FormatWireTime(tiempo));
    if (entorno_.CompletarVuelta(*this, tiempo)) return false;
  }
  InicioVuelta = ahora;
  Parcial = 1;
  return true;
}

void TCoche::ChocarPared() {
  if (Velocidad > 500) Sonidos[2]->Play();
  if (Joystick && ForceFeedBack) Entrada->Golpe(std::min(1.0, std::abs(Velocidad) / 5000.0));
  CrearHumo("HumoMotor", X, Y);
  // Two steps back from here: one behind where the car was before this tick.
  X -= Velocidad / 512.0 * Coseno * 3;
  Y -= Velocidad / 512.0 * Seno * 3;
  const double c = std::fabs(Coseno), s = std::fabs(Seno);
  if (c < 0.1 || s < 0.1) {
    Velocidad = int16_t(-(Velocidad / 4));  // straight back at a quarter of the speed
    return;
  }
  // Diagonally: turn towards the nearer axis and keep 1/k of the speed.
  const int d = Velocidad / 20;
  const bool haciaY = s > c;
  if (Coseno * Seno > 0)
    Rumbo = int16_t(haciaY ? Rumbo + d : Rumbo - d);
  else
    Rumbo = int16_t(haciaY ? Rumbo - d : Rumbo + d);
  const int k = int(9 - 10 * std::min(c, s));
  Velocidad = int16_t(Velocidad / k);
}

void TCoche::Derrapar(bool derrapando) {
  if (!derrapando && Derrape > 0) {
    Derrape = int16_t(Derrape - 2);
    if (Derrape > Agarre + 25) Derrape = int16_t(Redondear(Agarre) + 25);
  }
  if (Derrape > 25) Agarre = std::max(Agarre - (Ruedas + 1) / 128.0, -20.0);  // tyre wear
  if (Derrape <= Agarre + 25) {
    if (Humo != 2 && Humo != 3) Humo = 0;
    else if (Velocidad < 700) Humo = 0;
    return;
  }
  // The car slides: the picture turns further than the path.
  if (Derrape > Agarre + 40) {
    Sonidos[1]->Play();
  } else {
    Sonidos[1]->Stop();
    if (Humo != 2 && Humo != 3) Humo = 0;
  }
  const int e = (Derrape - (Redondear(Agarre) + 25)) / 6;
  const int giro = Derrape >= 20 ? Redondear((Derrape - 20) / 60.0 * 4) : 0;
  const Keyboard& teclado = entorno_.Entradas().Teclado();
  if (teclado.KeyDown(TeclaDerecha)) {
    Frame += e;
    if (Frame > 35) Frame -= 36;
    Rumbo = int16_t(Rumbo + giro);
  }
  if (teclado.KeyDown(TeclaIzquierda)) {
    Frame -= e;
    if (Frame < 0) Frame += 36;
    Rumbo = int16_t(Rumbo - giro);
  }
}

void TCoche::AnotarEstado() {
  // Only on the tick on which the window will send, and only with a session
  // open: without one nothing would ever empty the frame being gathered.
  if (entorno_.SesionAbierta() && entorno_.FramesDesdeEnvio() + 1 > entorno_.FramesEntreTramas())
    entorno_.TramaCoches() += EstadoTrama();
}

void TCoche::MostrarRotulo() {
  if (Rotulo.empty()) return;
  TMarcador m;
  m.Texto = Rotulo;
  m.X = int16_t(Redondear(X) - 12);
  m.Y = int16_t(Redondear(Y) - 15);
  m.Color = Blanco;
  m.Tamanyo = 12;
  entorno_.EncolarMarcador(m);
  if (++ContadorRotulo > 50) Rotulo.clear();
}

void TCoche::EcharHumo() {
  if (Humo <= 0 || ++ContadorHumo < 4) return;
  ContadorHumo = 0;
  const char* imagen = Humo == 1 ? "HumoAsfalto" : "HumoNoAsfalto";
  const ImageSlot& slot = entorno_.Imagenes().slot(imagen);
  const int medioAncho = slot.frameWidth / 2 - 2, medioAlto = slot.frameHeight / 2 - 2;
  CrearHumo(imagen, RuedaTraseraDerechaX() - medioAncho, RuedaTraseraDerechaY() - medioAlto);
  CrearHumo(imagen, RuedaTraseraIzquierdaX() - medioAncho, RuedaTraseraIzquierdaY() - medioAlto);
}

void TCoche::CrearHumo(const char* imagen, double x, double y) {
  new THumo(entorno_.Motor(), entorno_.Imagenes().slot(imagen), x, y);  // the engine owns it
}

}  // namespace rodavia
