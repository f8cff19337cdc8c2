// rodavia_carrera: computer cars race a circuit of a program folder as fast
// as the machine allows, with collisions on, and each car's laps, best lap
// and longest standstill are printed. Level 0 is a person who never drives:
// the car stays on its grid place. With --trazas, each car's last lap is
// drawn over the circuit's picture as a dot every 0.12 s (farther apart
// where it is faster), one colour a car, the first car on top, and written
// as a JPEG. With --referencia, on a default circuit, a plain follower of
// the centre line races the laps alone as a yardstick, and the time of the
// shortest way round on asphalt at top speed is printed.
//
//   rodavia_carrera [--trazas fichero.jpg] [--referencia] <program folder> <circuit> <laps> <level>...
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeEntorno.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "race/Circuito.h"
#include "race/Coche.h"
#include "race/PilotoOrdenador.h"
#include "race/Referencia.h"

namespace rodavia::test {
namespace {

constexpr double SegundosPorTick = 0.03;
constexpr double Dia = 86400;
constexpr double SegundosPorVuelta = 300;  // a car that takes longer is left behind
constexpr int MitadCoche = 18;             // a car picture is 36 x 36; X, Y is its top-left corner
constexpr int TicksEntrePuntos = 4;
constexpr int RadioPunto = 3;
constexpr double Quieto = 16;  // pixels: a car that stays this near one spot stands still

// One colour a car, bright on grass and asphalt alike.
constexpr uint8_t Colores[][3] = {{255, 40, 40},  {40, 120, 255}, {255, 220, 0},  {255, 0, 255},
                                  {0, 230, 230},  {255, 140, 0},  {140, 255, 60}, {255, 255, 255}};

struct Punto {
  int x, y;
};

int Uso() {
  std::fprintf(stderr,
               "uso: rodavia_carrera [--trazas fichero.jpg] [--referencia] <carpeta del programa> <circuito> <vueltas> "
               "<nivel 0..10>...\n");
  return 2;
}

// The circuit's picture with each car's dots, the first car's drawn last.
RgbImage Trazas(const TCircuito& circuito, const std::vector<std::vector<Punto>>& trazas) {
  Picture fondo;
  if (!LoadPicture(files::Resolve("Circuitos\\" + circuito.Nombre + ".jpg"), fondo)) return {};
  RgbImage imagen(fondo.pixels.width(), fondo.pixels.height());
  for (int y = 0; y < imagen.height; ++y)
    for (int x = 0; x < imagen.width; ++x) {
      const uint32_t c = Rgb565ToColorRef(fondo.pixels.pixel(x, y));
      uint8_t* p = imagen.at(x, y);
      p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
    }
  const TLineaCarrera& linea = circuito.Plan()->Linea();
  for (long i = 0; i < long(linea.Tamanyo()); ++i) {  // the racing line, a black dot at each point
    const int x = int(linea[i].x) + MitadCoche - 14, y = int(linea[i].y) + MitadCoche - 14;
    if (x >= 1 && y >= 1 && x + 1 < imagen.width && y + 1 < imagen.height)
      for (int d = 0; d < 4; ++d) std::fill_n(imagen.at(x + d % 2, y + d / 2), 3, uint8_t(0));
  }
  for (size_t i = trazas.size(); i-- > 0;)
    for (const Punto& punto : trazas[i])
      for (int dy = -RadioPunto; dy <= RadioPunto; ++dy)
        for (int dx = -RadioPunto; dx <= RadioPunto; ++dx) {
          if (dx * dx + dy * dy > RadioPunto * RadioPunto) continue;
          const int x = punto.x + dx, y = punto.y + dy;
          if (x < 0 || y < 0 || x >= imagen.width || y >= imagen.height) continue;
          std::copy_n(Colores[i % std::size(Colores)], 3, imagen.at(x, y));
        }
  return imagen;
}

// The centre-line follower's best lap alone on a default circuit, 0 on any other.
double MejorVueltaReferencia(const std::string& carpeta, const std::string& circuito, int vueltas) {
  const auto& definiciones = datos::Definiciones();
  const auto def = std::find_if(definiciones.begin(), definiciones.end(),
                                [&](const datos::DefinicionCircuito& d) { return d.nombre == circuito; });
  if (def == definiciones.end()) return 0;
  FakeEntorno e;
  files::SetProgramFolder(carpeta);
  e.circuito = std::make_unique<TCircuito>(circuito);
  return MejorVueltaReferencia(e, *def, vueltas);
}

int Correr(int argc, char** argv) {
  std::string ficheroTrazas;
  bool referencia = false;
  for (bool opcion = true; opcion && argc > 1;) {
    const std::string a = argv[1];
    if (a == "--trazas" && argc > 2) {
      ficheroTrazas = argv[2];
      argc -= 2, argv += 2;
    } else if (a == "--referencia") {
      referencia = true;
      --argc, ++argv;
    } else {
      opcion = false;
    }
  }
  if (argc < 5) return Uso();
  const std::string circuito = argv[2];
  const int vueltas = std::atoi(argv[3]);
  std::vector<int> niveles;
  for (int i = 4; i < argc; ++i) niveles.push_back(std::clamp(std::atoi(argv[i]), 0, NivelOrdenadorMaximo));
  if (vueltas < 1 || niveles.size() > 16) return Uso();

  FakeEntorno e;
  files::SetProgramFolder(argv[1]);
  if (!files::Exists("Circuitos\\" + circuito + ".jpg")) {
    std::fprintf(stderr, "no hay circuito %s en %s\n", circuito.c_str(), argv[1]);
    return 1;
  }
  e.circuito = std::make_unique<TCircuito>(circuito);
  std::vector<TCoche*> coches;
  for (size_t i = 0; i < niveles.size(); ++i) {
    TCoche* coche = new TCoche(e, int16_t(i + 1), true, "", "Equipo", "");  // the engine owns it
    coche->Nombre = "Nivel " + std::to_string(niveles[i]);
    coche->Ordenador = niveles[i] > 0;
    coche->NivelOrdenador = int16_t(niveles[i]);
    coche->PrepararCarrera(int(i));
    coches.push_back(coche);
  }
  std::vector<std::vector<Punto>> trazas(coches.size());
  // Each car's longest stay near one spot until it finishes its laps.
  std::vector<TPuntoReal> ancla(coches.size());
  std::vector<int> quieto(coches.size(), 0), quietoMaximo(coches.size(), 0);
  std::vector<Punto> dondeQuieto(coches.size(), Punto{0, 0});
  const int ticks = int(vueltas * SegundosPorVuelta / SegundosPorTick);
  for (int tick = 0; tick < ticks; ++tick) {
    e.reloj.now += SegundosPorTick / Dia;
    e.Tick();
    bool todos = true;
    for (size_t i = 0; i < coches.size(); ++i) {
      const TCoche& c = *coches[i];
      if (niveles[i] == 0) continue;
      const int hechas = int(c.Tiempos.size());
      if (hechas == vueltas - 1 && tick % TicksEntrePuntos == 0)
        trazas[i].push_back({int(c.X) + MitadCoche, int(c.Y) + MitadCoche});
      if (hechas < vueltas) {
        if (std::hypot(c.X - ancla[i].X, c.Y - ancla[i].Y) > Quieto) ancla[i] = {c.X, c.Y}, quieto[i] = 0;
        if (++quieto[i] > quietoMaximo[i])
          quietoMaximo[i] = quieto[i], dondeQuieto[i] = {int(c.X) + MitadCoche, int(c.Y) + MitadCoche};
      }
      todos &= hechas >= vueltas;
    }
    if (todos) break;
  }

  std::printf("%s, %d vueltas\n", circuito.c_str(), vueltas);
  for (size_t i = 0; i < coches.size(); ++i) {
    std::printf("coche %2zu, nivel %2d:", i + 1, niveles[i]);
    if (niveles[i] == 0) {
      std::printf(" parado en la parrilla\n");
      continue;
    }
    const size_t hechas = std::min(coches[i]->Tiempos.size(), size_t(vueltas));
    double mejor = 0;
    for (size_t v = 0; v < hechas; ++v) {
      const double segundos = coches[i]->Tiempos[v].Tiempo * Dia;
      std::printf(" %6.2f", segundos);
      if (mejor == 0 || segundos < mejor) mejor = segundos;
    }
    std::printf("  vueltas %zu/%d", hechas, vueltas);
    if (mejor > 0) std::printf(", mejor %.2f s", mejor);
    std::printf(", parado %.2f s en (%d, %d)\n", quietoMaximo[i] * SegundosPorTick, dondeQuieto[i].x, dondeQuieto[i].y);
  }

  if (referencia) {
    const double mejor = MejorVueltaReferencia(argv[1], circuito, vueltas);
    if (mejor > 0) std::printf("referencia, la línea central: mejor %.2f s\n", mejor);
    else std::printf("referencia: sin vueltas (sólo en los circuitos por defecto)\n");
    const int16_t velocidadMaxima = coches.empty() ? int16_t(4500) : coches[0]->VelocidadMaxima;
    std::printf("la línea más corta por asfalto a velocidad máxima: %.2f s\n",
                VueltaMasCorta(*e.circuito, velocidadMaxima));
  }

  if (!ficheroTrazas.empty()) {
    const RgbImage imagen = Trazas(*e.circuito, trazas);
    if (imagen.rgb.empty()) {
      std::fprintf(stderr, "no se puede leer la imagen del circuito %s\n", circuito.c_str());
      return 1;
    }
    const std::vector<uint8_t> jpeg = EncodeJpeg(imagen, 90);
    std::ofstream(ficheroTrazas, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
  }
  return 0;
}

}  // namespace
}  // namespace rodavia::test

int main(int argc, char** argv) { return rodavia::test::Correr(argc, argv); }
