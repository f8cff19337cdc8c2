// Program entry: the SDL application, the main window and its message loop.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/Principal.h"
#include "platform/Application.h"
#include "platform/AsioTransport.h"
#include "platform/Files.h"
#include "platform/sdl/OpenAlSound.h"
#include "platform/sdl/SdlApplication.h"
#include "platform/sdl/SdlInput.h"

int main(int, char** argv) {
  using namespace rodavia;
  std::error_code ec;
  std::filesystem::path programa = std::filesystem::canonical("/proc/self/exe", ec);
  if (ec) programa = std::filesystem::absolute(argv[0]);
  files::SetProgramFolder(programa.parent_path());
  try {
    SdlApplication aplicacion;
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
