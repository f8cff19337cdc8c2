#pragma once
// The look of the game's windows: a dark lobby palette for the system
// colours, DejaVu Sans in a few sizes, and ImGui's style to match.
#include <cstdint>

#include <imgui.h>

namespace rodavia {

// Loads the fonts into ImGui's atlas (ImGui's own font when DejaVu is
// missing) and sets the style. Call once, before the first frame.
void SetUpLobbyTheme();

// The loaded font closest to a size in points (0 = the windows' default).
ImFont* LobbyFont(int points, bool bold);

// A control colour (0x00BBGGRR or a system colour) for ImGui; clDefault
// takes `fallback`, itself usually a system colour.
ImU32 ToImColor(uint32_t color, uint32_t fallback, float alpha = 1.0f);
ImVec4 ToImVec4(uint32_t color, uint32_t fallback);

// A text colour as ToImVec4, with colours too dark to read on the dark
// palette (pure blue, black) lifted halfway to white, keeping their hue.
ImVec4 ToTextColor(uint32_t color);

// The accent of pressed toggle buttons and selections.
ImU32 AccentColor();

}  // namespace rodavia
