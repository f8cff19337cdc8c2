#include "tools/Perfil.h"

#include <utility>
#include <vector>

namespace rodavia::datos {

std::string PerfilInicial() {
  // The keys in the order the game writes them, with its defaults.
  const std::vector<std::pair<const char*, const char*>> claves = {
      {"Nombre", "Jugador 1"},      {"ImagenCoche", "F1-Vanto-Rojo.bmp"},
      {"SonidoMotor", "Motor.wav"}, {"SonidoDerrape", "Derrape.wav"},
      {"SonigoGolpe", "Golpe.wav"}, {"TeclaAcelerar", "38"},
      {"TeclaFrenar", "40"},        {"TeclaDerecha", "39"},
      {"TeclaIzquierda", "37"},     {"Joystick", "0"},
      {"IDJoystick", "0"},          {"EjesSeparados", "0"},
      {"JoystickAnalogico", "1"},   {"ForceFeedBack", "0"},
      {"PulsarAcelerar", "32"},     {"PulsarFrenar", "32"},
      {"PulsarDerecha", "32"},      {"PulsarIzquierda", "32"},
      {"SoltarAcelerar", "64"},     {"SoltarFrenar", "64"},
      {"SoltarDerecha", "64"},      {"SoltarIzquierda", "64"},
      {"ZonaMuertaEjeXMin", "0"},   {"ZonaMuertaEjeXMax", "0"},
      {"ZonaMuertaEjeYMin", "0"},   {"ZonaMuertaEjeYMax", "0"},
      {"ZonaMuertaEjeZMin", "0"},   {"ZonaMuertaEjeZMax", "0"},
  };
  std::string texto = "[Perfil]\r\n";
  for (const auto& [clave, valor] : claves) texto += std::string(clave) + "=" + valor + "\r\n";
  return texto;
}

std::vector<PerfilOrdenador> PerfilesOrdenador() {
  struct Piloto {
    const char* nombre;
    const char* coche;
    int nivel;
  };
  static constexpr Piloto pilotos[] = {
      {"Tortuga", "F1-Vanto-Verde.bmp", 1},
      {"Centella", "F1-Vanto-Amarillo.bmp", 5},
      {"Relampago", "F1-Vanto-Negro.bmp", 10},
  };
  std::vector<PerfilOrdenador> perfiles;
  for (const Piloto& p : pilotos)
    perfiles.push_back({p.nombre, std::string("[Perfil]\r\nNombre=") + p.nombre + "\r\nImagenCoche=" + p.coche +
                                      "\r\nOrdenador=1\r\nNivelOrdenador=" + std::to_string(p.nivel) + "\r\n"});
  return perfiles;
}

}  // namespace rodavia::datos
