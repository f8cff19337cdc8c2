#pragma once
// The first player profile, "Jugador 1", with the default car, sounds and
// arrow keys, and three computer drivers of low, middle and top level.
#include <string>
#include <vector>

namespace rodavia::datos {

// The text of Jugadores/Jugador 1.ini: section [Perfil], CR LF lines.
std::string PerfilInicial();

// Computer drivers of the default data set: file name (without .ini) and text.
struct PerfilOrdenador {
  std::string nombre;
  std::string texto;
};
std::vector<PerfilOrdenador> PerfilesOrdenador();

}  // namespace rodavia::datos
