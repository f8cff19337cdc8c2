#pragma once
// Small text helpers shared by the settings files, the screen texts and the
// lobby.
#include <string>

namespace rodavia {

// The text without the blanks (spaces, tabs, line ends) around it.
std::string TrimBlanks(const std::string& text);
// A whole number written with at least `width` digits, zeros in front: 7 → "07".
std::string ZeroPadded(long long value, int width);

}  // namespace rodavia
