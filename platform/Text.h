#pragma once
// Small text helpers shared by the settings files, the screen texts and the
// lobby.
#include <string>

namespace rodavia {

// The text without the blanks (spaces, tabs, line ends) around it.
std::string TrimBlanks(const std::string& text);
// The first `count` characters of UTF-8 text (all of it when shorter); a
// character is never split, whatever its number of bytes.
std::string Utf8Prefix(const std::string& text, size_t count);
// The text with every byte sequence that is not UTF-8 replaced by U+FFFD
// (one for each bad byte), so it can be shown and kept safely.
std::string ValidUtf8(const std::string& text);
// A whole number written with at least `width` digits, zeros in front: 7 → "07".
std::string ZeroPadded(long long value, int width);

}  // namespace rodavia
