#include "platform/DataFolder.h"

#include <cstdlib>
#include <unistd.h>

#include "platform/Files.h"

namespace fs = std::filesystem;

namespace rodavia::files {

namespace {

// The folders of a data set, and the one file beside them a copy carries over.
constexpr const char* kDataFolders[] = {"Circuitos", "Coches", "Graficos", "Jugadores", "Sonidos"};
constexpr const char* kSettings = "Rodavia.ini";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Adds `from` as `relative` inside the data folder unless a file of that name
// (in any case) is there already. The copy is atomic, so a start cut short
// never leaves half a file that would then count as present.
bool AddIfMissing(const fs::path& from, const fs::path& folder, const std::string& relative) {
  const fs::path to = ResolveIn(folder, relative);
  std::error_code ec;
  if (fs::exists(to, ec)) return true;
  fs::create_directories(to.parent_path(), ec);
  std::vector<uint8_t> bytes;
  return ReadAll(from, bytes) && WriteAtomic(to, std::string(bytes.begin(), bytes.end()));
}

bool AddMissingFiles(const fs::path& defaults, const fs::path& folder) {
  bool ok = true;
  std::error_code ec;
  const fs::path settings = ResolveIn(defaults, kSettings);
  if (fs::is_regular_file(settings, ec)) ok &= AddIfMissing(settings, folder, kSettings);
  for (const char* name : kDataFolders) {
    const fs::path from = ResolveIn(defaults, name);
    if (!fs::is_directory(from, ec)) continue;
    fs::recursive_directory_iterator it(from, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      std::error_code typeError;
      if (it->is_regular_file(typeError))
        ok &= AddIfMissing(it->path(), folder, (fs::path(name) / it->path().lexically_relative(from)).string());
    }
    ok &= !ec;  // a set read only in part is not a complete copy
  }
  return ok;
}

// The data folder and every folder in it must take new files.
bool Writable(const fs::path& folder) {
  if (::access(folder.c_str(), W_OK) != 0) return false;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError) && ::access(it->path().c_str(), W_OK) != 0) return false;
  }
  return !ec;
}

// The path without "." and ".." parts or a trailing "/", so equal folders compare equal.
fs::path Normal(const fs::path& path) {
  fs::path normal = path.lexically_normal();
  return normal.has_relative_path() && !normal.has_filename() ? normal.parent_path() : normal;
}

}  // namespace

DataFolderChoice ChooseDataFolder(const DataFolderSituation& s) {
  const fs::path installed = Normal(s.program / kInstalledDataFromProgram);
  fs::path defaults;
  if (s.holdsData(s.program))
    defaults = s.program;
  else if (s.holdsData(installed))
    defaults = installed;
  // An installed game's own folders are never written, not even by root.
  const bool isInstalled = defaults == installed;
  if (!s.requested.empty()) {
    const fs::path folder = Normal(s.requested);
    if (isInstalled && (folder == installed || folder == Normal(s.program)))
      return {{}, {}, "La carpeta " + folder.string() + " es del juego instalado: elija otra para los datos."};
    return {folder, folder == defaults ? fs::path() : defaults, ""};
  }
  if (!isInstalled && s.writable(s.program)) return {s.program, {}, ""};
  if (!s.xdgDataHome.empty() && fs::path(s.xdgDataHome).is_absolute())
    return {fs::path(s.xdgDataHome) / "rodavia", defaults, ""};
  if (!s.home.empty()) return {fs::path(s.home) / ".local/share/rodavia", defaults, ""};
  return {{}, {}, "No hay carpeta para los datos: ni XDG_DATA_HOME ni HOME dicen cuál es la del jugador."};
}

DataFolderSituation CurrentSituation(const fs::path& program, const fs::path& requested) {
  DataFolderSituation s;
  s.program = program;
  s.requested = requested.empty() ? requested : fs::absolute(requested);
  s.xdgDataHome = Environment("XDG_DATA_HOME");
  s.home = Environment("HOME");
  s.holdsData = [](const fs::path& folder) {
    std::error_code ec;
    for (const char* name : kDataFolders)
      if (!fs::is_directory(ResolveIn(folder, name), ec)) return false;
    return true;
  };
  s.writable = [](const fs::path& folder) { return ::access(folder.c_str(), W_OK) == 0; };
  return s;
}

bool PrepareDataFolder(const DataFolderChoice& choice, std::string& error) {
  const fs::path& folder = choice.folder;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) {
    error = "No se puede crear la carpeta de datos " + folder.string() + ".";
    return false;
  }
  if (!choice.defaults.empty() && !AddMissingFiles(choice.defaults, folder)) {
    error = "No se pueden copiar los datos de " + choice.defaults.string() + " a la carpeta de datos " +
            folder.string() + ".";
    return false;
  }
  if (!Writable(folder)) {
    error = "No se puede escribir en la carpeta de datos " + folder.string() + ".";
    return false;
  }
  return true;
}

}  // namespace rodavia::files
