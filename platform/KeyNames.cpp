#include "platform/KeyNames.h"

#include <array>

namespace rodavia {
namespace {

// Appending avoids g++ 12's false -Wrestrict on "literal" + std::string.
std::string Numbered(const char* prefix, int n) {
  std::string text = prefix;
  text += std::to_string(n);
  return text;
}

using NameTable = std::array<std::string, 256>;

NameTable BuildNames() {
  NameTable n;
  const std::pair<int, const char*> named[] = {
      {8, "Retroceso"},   {9, "Tab"},          {13, "Intro"},         {16, "Mayús"},
      {17, "Ctrl"},       {18, "Alt"},         {19, "Pausa"},         {20, "Bloq Mayús"},
      {27, "Esc"},        {32, "Espacio"},     {33, "Re Pág"},        {34, "Av Pág"},
      {35, "Fin"},        {36, "Inicio"},      {37, "←"},             {38, "↑"},
      {39, "→"},          {40, "↓"},           {45, "Insert"},        {46, "Supr"},
      {106, "Num *"},     {107, "Num +"},      {109, "Num -"},        {110, "Num ."},
      {111, "Num /"},     {160, "Mayús izquierda"}, {161, "Mayús derecha"}, {162, "Ctrl izquierda"},
      {163, "Ctrl derecha"}, {164, "Alt izquierda"}, {165, "Alt Gr"}, {186, ";"},
      {187, "="},         {188, ","},          {189, "-"},            {190, "."},
      {191, "/"},         {192, "`"},          {219, "["},            {220, "\\"},
      {221, "]"},         {222, "'"},
  };
  for (const auto& [vk, name] : named) n[size_t(vk)] = name;
  for (int d = 0; d <= 9; ++d) {
    n[size_t(48 + d)] = std::to_string(d);
    n[size_t(96 + d)] = Numbered("Num ", d);
  }
  for (int l = 0; l < 26; ++l) n[size_t(65 + l)] = std::string(1, char('A' + l));
  for (int f = 0; f < 12; ++f) n[size_t(112 + f)] = Numbered("F", f + 1);
  return n;
}

}  // namespace

std::string VirtualKeyName(int virtualKey) {
  static const NameTable names = BuildNames();
  if (virtualKey == 0) return "Ninguna";
  if (virtualKey > 0 && virtualKey < 256 && !names[size_t(virtualKey)].empty()) return names[size_t(virtualKey)];
  return Numbered("Tecla ", virtualKey);
}

}  // namespace rodavia
