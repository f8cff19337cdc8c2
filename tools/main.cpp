// rodavia_datos <program folder>: writes the default data set (circuits,
// cars, race pictures, sounds and the first profile) into the program
// folder. Only missing files are written: players' profiles and circuit
// records that exist are never touched. Every run writes the same bytes.
// rodavia_datos --icono <file.png>: writes the desktop icon.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Picture.h"
#include "tools/Circuitos.h"
#include "tools/Coches.h"
#include "tools/Graficos.h"
#include "tools/Icono.h"
#include "tools/Perfil.h"
#include "tools/Sonidos.h"

using namespace rodavia;
using namespace rodavia::datos;

namespace {

std::string Texto(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Writes the file made by `hacer` when it is missing; false on failure.
bool Escribir(const std::string& ruta, const std::function<std::string()>& hacer) {
  if (files::Exists(ruta)) return true;
  const std::string contenido = hacer();
  if (contenido.empty() || !files::WriteAtomic(files::Resolve(ruta), contenido)) {
    std::fprintf(stderr, "rodavia_datos: no se pudo escribir %s\n", ruta.c_str());
    return false;
  }
  return true;
}

bool Circuitos() {
  bool ok = true;
  for (const auto& def : Definiciones()) {
    const std::string base = "Circuitos/" + def.nombre;
    if (files::Exists(base + ".jpg") && files::Exists(base + ".cfg")) continue;
    const Pista pista(def);
    ok &= Escribir(base + ".jpg", [&] { return Texto(EncodeJpeg(pista.Pintar(), 92)); });
    ok &= Escribir(base + ".cfg", [&] {
      TCircuito circuito(def.nombre);  // no description yet: the defaults
      pista.Describir(circuito);
      return circuito.Texto();
    });
  }
  return ok;
}

bool Coches() {
  bool ok = true;
  for (const auto& modelo : ModelosCoche())
    ok &= Escribir("Coches/" + modelo.archivo, [&] { return Texto(EncodeBmp24(PintarCoche(modelo))); });
  return ok;
}

bool Graficos() {
  bool ok = Escribir("Graficos/Semaforo.bmp", [] { return Texto(EncodeBmp24(PintarSemaforo())); });
  for (const auto& humo : TiposHumo())
    ok &= Escribir("Graficos/" + humo.archivo, [&] { return Texto(EncodeBmp24(PintarHumo(humo))); });
  return ok;
}

bool Sonidos() {
  bool ok = true;
  for (const auto& sonido : ListaSonidos())
    ok &= Escribir("Sonidos/" + sonido.archivo, [&] { return CodificarWav(sonido.sintetizar(), sonido.frecuencia); });
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--icono") {
    const std::vector<uint8_t> png = CodificarPng(LadoIcono, LadoIcono, PintarIcono());
    return files::WriteAtomic(argv[2], Texto(png)) ? 0 : 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "uso: rodavia_datos <carpeta del programa> | --icono <archivo.png>\n");
    return 2;
  }
  files::SetProgramFolder(argv[1]);
  for (const char* carpeta : {"Circuitos", "Coches", "Graficos", "Jugadores", "Sonidos"})
    if (!files::CreateFolder(carpeta)) {
      std::fprintf(stderr, "rodavia_datos: no se pudo crear la carpeta %s\n", carpeta);
      return 1;
    }
  bool ok = Circuitos();
  ok &= Coches();
  ok &= Graficos();
  ok &= Sonidos();
  ok &= Escribir("Jugadores/Jugador 1.ini", PerfilInicial);
  for (const auto& perfil : PerfilesOrdenador())
    ok &= Escribir("Jugadores/" + perfil.nombre + ".ini", [&] { return perfil.texto; });
  return ok ? 0 : 1;
}
