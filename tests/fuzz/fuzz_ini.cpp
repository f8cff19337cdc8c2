// The INI reader: any file reads without fault, and a key written into the
// section of a circuit reads back as written. The input is the circuit's
// name, the value and the file, each up to the next NUL.
// fuzz-seeds: Jugadores/*.ini
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

namespace {

std::string Part(const std::string& input, size_t& at) {
  if (at >= input.size()) return "";
  const size_t end = std::min(input.find('\0', at), input.size());
  std::string part = input.substr(at, end - at);
  at = end + 1;
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("rodavia_fuzz_" + std::to_string(::getpid()) + ".ini");
  const std::string input(reinterpret_cast<const char*>(data), size);
  size_t at = 0;
  const std::string circuito = Part(input, at);
  const std::string valor = Part(input, at);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << (at < input.size() ? input.substr(at) : "");

  rodavia::IniFile ini(path);
  for (const std::string& seccion : ini.SectionNames()) ini.ReadReal(seccion, "VueltaRapida", 0.9);
  // Only what the game writes: sections of circuits named as files, values
  // on one line.
  if (!rodavia::files::IsSafeFileName(circuito) || valor.find_first_of("\r\n") != std::string::npos) return 0;
  const std::string seccion = "Perfil Circuito " + circuito;
  ini.WriteString(seccion, "Ruedas", valor);
  if (!ini.Flush()) std::abort();
  std::string esperado = rodavia::TrimBlanks(valor).substr(0, 2047);
  if (rodavia::IniFile(path).ReadString(seccion, "Ruedas", "?") != esperado) std::abort();
  return 0;
}
