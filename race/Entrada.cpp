#include "race/Entrada.h"

#include "platform/Input.h"

namespace rodavia {

namespace {
// A joystick read as four directions: an axis beyond half its travel counts
// as held. Up is the negative Y side, as joysticks report pushing forward.
constexpr int MedioRecorrido = 64;
constexpr int DuracionGolpeMs = 150;
}  // namespace

TEntrada::TEntrada(InputSystem& sistema) : sistema_(sistema) {}
TEntrada::~TEntrada() = default;

void TEntrada::AsignarTecla(TDireccion direccion, int tecla) {
  Teclas[size_t(direccion)].fill(tecla);
}

void TEntrada::AbrirJoystick(int id, bool forceFeedback) {
  idJoystick_ = id;
  forceFeedback_ = forceFeedback;
  joystick_ = sistema_.OpenJoystick(id, forceFeedback);
  if (joystick_ && forceFeedback) joystick_->SetAutoCenter(true);
}

void TEntrada::Poll() {
  estados_.fill(false);
  if (TecladoActivo) {
    const Keyboard& teclado = sistema_.Teclado();
    for (size_t d = 0; d < Teclas.size(); ++d)
      for (int tecla : Teclas[d]) estados_[d] = estados_[d] || teclado.KeyDown(tecla);
  }
  if (!joystick_ || !joystick_->Poll()) {
    x_ = y_ = z_ = 0;
    return;
  }
  x_ = joystick_->X();
  y_ = joystick_->Y();
  z_ = joystick_->Z();
  if (JoystickActivo) {
    estados_[size_t(TDireccion::Arriba)] |= y_ < -MedioRecorrido;
    estados_[size_t(TDireccion::Abajo)] |= y_ > MedioRecorrido;
    estados_[size_t(TDireccion::Izquierda)] |= x_ < -MedioRecorrido;
    estados_[size_t(TDireccion::Derecha)] |= x_ > MedioRecorrido;
  }
}

void TEntrada::Golpe(double fuerza) {
  if (joystick_ && forceFeedback_) joystick_->Rumble(fuerza, DuracionGolpeMs);
}

}  // namespace rodavia
