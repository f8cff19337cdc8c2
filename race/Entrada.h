#pragma once
// The input component of a local car: its keyboard and its joystick. After
// each Poll the car reads four direction states (from the bound devices)
// and the joystick's X, Y and Z axes in -128..128.
#include <array>
#include <memory>

namespace rodavia {

class InputSystem;
class JoystickDevice;

// Key codes are Windows virtual-key codes, 1 to 254.
constexpr int MinCodigoTecla = 1, MaxCodigoTecla = 254;

enum class TDireccion { Arriba, Abajo, Izquierda, Derecha };

class TEntrada {
 public:
  explicit TEntrada(InputSystem& sistema);
  ~TEntrada();

  // Whether each device feeds the direction states (its BindInputStates).
  bool TecladoActivo = true;
  bool JoystickActivo = false;

  // Three key codes per direction state; any of them held sets the state.
  std::array<std::array<int, 3>, 4> Teclas{};
  // Puts the key into all three slots of the direction.
  void AsignarTecla(TDireccion direccion, int tecla);

  // Opens joystick `id` (nothing when there is none); with force feedback
  // its stick centres itself.
  void AbrirJoystick(int id, bool forceFeedback);
  int IDJoystick() const { return idJoystick_; }
  bool ForceFeedback() const { return forceFeedback_; }

  // Reads the devices.
  void Poll();
  bool Pulsado(TDireccion direccion) const { return estados_[size_t(direccion)]; }
  int EjeX() const { return x_; }
  int EjeY() const { return y_; }
  int EjeZ() const { return z_; }

  // A short jolt of the joystick, when force feedback is on.
  void Golpe(double fuerza);

 private:
  InputSystem& sistema_;
  std::unique_ptr<JoystickDevice> joystick_;
  int idJoystick_ = 0;
  bool forceFeedback_ = false;
  std::array<bool, 4> estados_{};
  int x_ = 0, y_ = 0, z_ = 0;
};

}  // namespace rodavia
