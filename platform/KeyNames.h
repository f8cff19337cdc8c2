#pragma once
// The names players read for the Windows virtual-key codes that profiles and
// the configuration store.
#include <string>

namespace rodavia {

// A short name a player recognises: the character of a letter or digit key,
// arrows for the arrow keys, "Esc", "Intro", "Espacio", "F1", "Num 0"...;
// "Ninguna" for 0 and "Tecla " + the code for a code without a name.
std::string VirtualKeyName(int virtualKey);

}  // namespace rodavia
