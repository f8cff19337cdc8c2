// Program entry: the data folder, the SDL application, the main window and
// its message loop.
// rodavia [--datos CARPETA]: CARPETA (or $RODAVIA_DATOS) holds the game's
// data instead of the folder chosen by DataFolder.h.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>

#include "app/Principal.h"
#include "platform/Application.h"
#include "platform/AsioTransport.h"
#include "platform/DataFolder.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/sdl/OpenAlSound.h"
#include "platform/sdl/SdlApplication.h"
#include "platform/sdl/SdlInput.h"

namespace {

// The data folder the player asked for, the option before the variable;
// false on an argument the game does not take.
bool CarpetaPedida(int argc, char** argv, std::filesystem::path& carpeta) {
  if (const char* entorno = std::getenv("RODAVIA_DATOS")) carpeta = entorno;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--datos") != 0 || i + 1 == argc) return false;
    carpeta = argv[++i];
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace rodavia;
  std::filesystem::path pedida;
  if (!CarpetaPedida(argc, argv, pedida)) {
    std::fprintf(stderr, "uso: rodavia [--datos CARPETA]\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::path programa = std::filesystem::canonical("/proc/self/exe", ec);
  if (ec) programa = std::filesystem::absolute(argv[0]);
  const files::DataFolderChoice datos =
      files::ChooseDataFolder(files::CurrentSituation(programa.parent_path(), pedida));
  std::string error = datos.error;
  if (error.empty() && files::PrepareDataFolder(datos, error)) {
    std::printf("Rodavia: carpeta de datos %s\n", datos.folder.c_str());
    std::fflush(stdout);
    files::SetProgramFolder(datos.folder);
  } else {
    std::fprintf(stderr, "Rodavia: %s\n", error.c_str());
  }
  try {
    SdlApplication aplicacion;
    if (!error.empty()) {
      // Never a start that could save nothing.
      ShowError(error);
      return 1;
    }
    OpenAlSound sonido;
    SdlInput entrada;
    AsioTransport red;
    TF_Principal principal({aplicacion.GetDisplay(), aplicacion.Text(), sonido, entrada, red});
    try {
      principal.FormCreate();
      aplicacion.Run(principal);
    } catch (const ProgramEnd&) {
      // A fatal message was shown; nothing is saved.
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Rodavia: %s\n", e.what());
    return 1;
  }
  return 0;
}
