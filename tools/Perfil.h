#pragma once
// The first player profile, "Jugador 1", with the default car, sounds and
// arrow keys.
#include <string>

namespace rodavia::datos {

// The text of Jugadores/Jugador 1.ini: section [Perfil], CR LF lines.
std::string PerfilInicial();

}  // namespace rodavia::datos
