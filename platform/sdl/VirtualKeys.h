#pragma once
// Translation between SDL scancodes and the Windows virtual-key codes that
// profiles and the configuration store. Scancodes name physical keys, so a
// stored key means the same key whatever the keyboard layout.
#include <SDL2/SDL_scancode.h>

namespace rodavia {

// The virtual-key code of a physical key; 0 when the key has none. Both
// Shift keys give 16, both Ctrl keys 17, both Alt keys 18, both Enters 13.
int VirtualKeyFromScancode(SDL_Scancode scancode);

// The physical key of a virtual-key code; SDL_SCANCODE_UNKNOWN when there is
// none. 16, 17 and 18 give the left key; 160..165 name each side.
SDL_Scancode ScancodeFromVirtualKey(int virtualKey);

}  // namespace rodavia
