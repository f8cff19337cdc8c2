// The default data set: runs the built generator into a temporary program
// folder once and checks what the game will load from it.
#include <gtest/gtest.h>

#include <vector>
#include <utility>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "fakes/Camino.h"
#include "fakes/Fakes.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "race/Circuito.h"
#include "tools/Trazado.h"

namespace rodavia {
namespace {

using datos::Definiciones;
using datos::Punto;

std::string Leer(const std::filesystem::path& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

bool Generar(const std::filesystem::path& carpeta) {
  const std::string orden = std::string(RODAVIA_DATOS) + " '" + carpeta.string() + "'";
  return std::system(orden.c_str()) == 0;
}

// Every file of a folder tree with its bytes.
std::map<std::string, std::string> Contenido(const std::filesystem::path& carpeta) {
  std::map<std::string, std::string> r;
  for (const auto& e : std::filesystem::recursive_directory_iterator(carpeta))
    if (e.is_regular_file()) r[std::filesystem::relative(e.path(), carpeta).string()] = Leer(e.path());
  return r;
}

class Datos : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    carpeta_ = std::make_unique<test::TempProgramFolder>();
    ASSERT_TRUE(Generar(carpeta_->path()));
  }
  static void TearDownTestSuite() { carpeta_.reset(); }
  void SetUp() override { files::SetProgramFolder(carpeta_->path()); }

  static std::filesystem::path Ruta(const std::string& r) { return carpeta_->path() / r; }
  static Picture Imagen(const std::string& r) {
    Picture p;
    std::string error;
    EXPECT_TRUE(LoadPicture(Ruta(r), p, &error)) << r << ": " << error;
    return p;
  }

  static std::unique_ptr<test::TempProgramFolder> carpeta_;
};
std::unique_ptr<test::TempProgramFolder> Datos::carpeta_;

constexpr uint32_t Magenta = 0xFF00FF;
constexpr uint16_t Magenta565 = ColorRefTo565(Magenta);

// Frames of a strip that hold nothing but the key colour.
int FramesVacios(const Picture& p, int ancho) {
  int vacios = 0;
  for (int f = 0; f < p.pixels.width() / ancho; ++f) {
    bool vacio = true;
    for (int y = 0; y < p.pixels.height(); ++y)
      for (int x = 0; x < ancho; ++x) vacio &= p.pixels.pixel(f * ancho + x, y) == Magenta565;
    vacios += vacio;
  }
  return vacios;
}

TEST_F(Datos, CarStripsHave36KeyedFramesWithoutPinkEdges) {
  for (const char* color : {"Rojo", "Azul", "Verde", "Amarillo", "Negro", "Blanco"}) {
    const Picture p = Imagen(std::string("Coches/F1-Vanto-") + color + ".bmp");
    ASSERT_EQ(p.pixels.width(), 1296) << color;
    ASSERT_EQ(p.pixels.height(), 36);
    EXPECT_EQ(p.transparentColor, Magenta) << color;
    EXPECT_EQ(FramesVacios(p, 36), 0) << color;
    // No pixel next to the background may be a washed-out pink.
    for (int y = 0; y < 36; ++y)
      for (int x = 0; x < 1296; ++x) {
        const uint32_t c = Rgb565ToColorRef(p.pixels.pixel(x, y));
        const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        if (c == Magenta) continue;
        EXPECT_FALSE(r > 150 && b > 150 && g < 100) << color << " " << x << "," << y;
      }
  }
}

TEST_F(Datos, CarFacesTheWayItsFrameSays) {
  // Frame 9 faces right, frame 27 left, 0 up and 18 down.
  const Picture p = Imagen("Coches/F1-Vanto-Rojo.bmp");
  auto alto = [&](int frame, int columna) {  // car pixels in one column
    int n = 0;
    for (int y = 0; y < 36; ++y) n += p.pixels.pixel(frame * 36 + columna, y) != Magenta565;
    return n;
  };
  // The rear tyres are wider than the front ones: the car is widest behind its middle.
  int delante = 0, detras = 0;
  for (int x = 19; x < 31; ++x) delante = std::max(delante, alto(9, x));
  for (int x = 5; x < 17; ++x) detras = std::max(detras, alto(9, x));
  EXPECT_GT(detras, delante);
  for (int x = 0; x < 36; ++x) EXPECT_NEAR(alto(9, x), alto(27, 35 - x), 1) << x;
  int distintos = 0;  // frame 0 faces up, frame 18 down: the same outline turned round
  for (int y = 0; y < 36; ++y)
    for (int x = 0; x < 36; ++x)
      distintos += (p.pixels.pixel(x, y) == Magenta565) != (p.pixels.pixel(18 * 36 + x, 35 - y) == Magenta565);
  EXPECT_LE(distintos, 6);
}

TEST_F(Datos, RacePicturesHaveTheirFramesAndKey) {
  const Picture semaforo = Imagen("Graficos/Semaforo.bmp");
  EXPECT_EQ(semaforo.pixels.width() % 6, 0);
  EXPECT_EQ(semaforo.transparentColor, Magenta);
  EXPECT_EQ(FramesVacios(semaforo, semaforo.pixels.width() / 6), 0);
  // Each frame lights one more lamp: more bright red pixels each time.
  int antes = -1;
  for (int f = 0; f < 6; ++f) {
    int rojos = 0;
    const int w = semaforo.pixels.width() / 6;
    for (int y = 0; y < semaforo.pixels.height(); ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t c = Rgb565ToColorRef(semaforo.pixels.pixel(f * w + x, y));
        rojos += (c & 0xFF) > 200 && ((c >> 8) & 0xFF) < 120 && ((c >> 16) & 0xFF) < 120;
      }
    EXPECT_GT(rojos, antes) << f;
    antes = rojos;
  }
  for (const char* humo : {"HumoAsfalto", "HumoNoAsfalto", "HumoMotor"}) {
    const Picture p = Imagen(std::string("Graficos/") + humo + ".bmp");
    const int lado = p.pixels.height();
    EXPECT_EQ(p.pixels.width() % lado, 0) << humo;
    EXPECT_GE(p.pixels.width() / lado, 2) << humo;
    EXPECT_EQ(p.transparentColor, Magenta) << humo;
    EXPECT_EQ(FramesVacios(p, lado), 0) << humo;
  }
}

struct Wav {
  int formato = 0, canales = 0, frecuencia = 0, bits = 0;
  std::vector<int16_t> muestras;
};

Wav LeerWav(const std::string& b) {
  auto u16 = [&](size_t i) { return int(uint8_t(b[i]) | uint8_t(b[i + 1]) << 8); };
  auto u32 = [&](size_t i) { return uint32_t(u16(i)) | uint32_t(u16(i + 2)) << 16; };
  Wav w;
  if (b.size() < 44 || b.compare(0, 4, "RIFF") || b.compare(8, 8, "WAVEfmt ")) return w;
  w.formato = u16(20), w.canales = u16(22), w.frecuencia = int(u32(24)), w.bits = u16(34);
  if (b.compare(36, 4, "data") || 44 + u32(40) != b.size()) return w;
  w.muestras.resize(u32(40) / 2);
  std::memcpy(w.muestras.data(), b.data() + 44, w.muestras.size() * 2);
  return w;
}

TEST_F(Datos, SoundsAreSmallMonoPcm) {
  for (const char* s : {"Motor", "Derrape", "Golpe", "UltimaVuelta", "Victoria", "Record", "Sirena"}) {
    const std::string bytes = Leer(Ruta(std::string("Sonidos/") + s + ".wav"));
    const Wav w = LeerWav(bytes);
    EXPECT_EQ(w.formato, 1) << s;
    EXPECT_EQ(w.canales, 1) << s;
    EXPECT_EQ(w.bits, 16) << s;
    EXPECT_LT(bytes.size(), 300u * 1024) << s;
    ASSERT_GT(w.muestras.size(), size_t(w.frecuencia / 10)) << s;  // at least 0.1 s
    int pico = 0;
    for (int16_t v : w.muestras) pico = std::max(pico, std::abs(int(v)));
    EXPECT_GT(pico, 16000) << s;  // clearly audible
  }
}

TEST_F(Datos, EngineLoopIdlesLowAndJoinsWithoutAClick) {
  const Wav w = LeerWav(Leer(Ruta("Sonidos/Motor.wav")));
  // The game plays it at 750 Hz at rest: one firing every 36 samples is a
  // 21 Hz idle; the loop holds whole firings.
  EXPECT_EQ(w.frecuencia, 11025);
  ASSERT_EQ(w.muestras.size() % 36, 0u);
  const double idle = 750.0 / 36, tope = 25750.0 / 36;
  EXPECT_GT(idle, 18);
  EXPECT_LT(idle, 32);
  EXPECT_NEAR(tope / idle, 34.3, 0.1);
  // The strongest period of the wave is the firing (or twice it, for the
  // alternating strong and weak firings).
  auto correlacion = [&](size_t retardo) {
    double suma = 0;
    for (size_t i = 0; i < w.muestras.size(); ++i)
      suma += double(w.muestras[i]) * w.muestras[(i + retardo) % w.muestras.size()];
    return suma;
  };
  EXPECT_GT(correlacion(36), correlacion(18));
  EXPECT_GT(correlacion(72), correlacion(54));
  // Seamless: the jump from the last sample to the first is no bigger than
  // the wave's usual steps.
  int paso = 0;
  for (size_t i = 1; i < w.muestras.size(); ++i) paso = std::max(paso, std::abs(w.muestras[i] - w.muestras[i - 1]));
  EXPECT_LE(std::abs(w.muestras.front() - w.muestras.back()), paso);
}

TEST_F(Datos, FirstProfileHoldsTheDefaultsInOrder) {
  const std::string t = Leer(Ruta("Jugadores/Jugador 1.ini"));
  const char* esperado =
      "[Perfil]\r\nNombre=Jugador 1\r\nImagenCoche=F1-Vanto-Rojo.bmp\r\nSonidoMotor=Motor.wav\r\n"
      "SonidoDerrape=Derrape.wav\r\nSonigoGolpe=Golpe.wav\r\nTeclaAcelerar=38\r\nTeclaFrenar=40\r\n"
      "TeclaDerecha=39\r\nTeclaIzquierda=37\r\nJoystick=0\r\nIDJoystick=0\r\nEjesSeparados=0\r\n"
      "JoystickAnalogico=1\r\nForceFeedBack=0\r\nPulsarAcelerar=32\r\nPulsarFrenar=32\r\n"
      "PulsarDerecha=32\r\nPulsarIzquierda=32\r\nSoltarAcelerar=64\r\nSoltarFrenar=64\r\n"
      "SoltarDerecha=64\r\nSoltarIzquierda=64\r\nZonaMuertaEjeXMin=0\r\nZonaMuertaEjeXMax=0\r\n"
      "ZonaMuertaEjeYMin=0\r\nZonaMuertaEjeYMax=0\r\nZonaMuertaEjeZMin=0\r\nZonaMuertaEjeZMax=0\r\n";
  EXPECT_EQ(t, esperado);
}

TEST_F(Datos, CircuitFilesHaveTheirSizeAndFormat) {
  ASSERT_GE(Definiciones().size(), 3u);
  for (const auto& def : Definiciones()) {
    const Picture p = Imagen("Circuitos/" + def.nombre + ".jpg");
    EXPECT_EQ(p.pixels.width(), 1024);
    EXPECT_EQ(p.pixels.height(), 768);
    const std::string cfg = Leer(Ruta("Circuitos/" + def.nombre + ".cfg"));
    size_t lineas = 0;
    for (size_t i = 0; i < cfg.size(); ++i)
      if (cfg[i] == '\n') {
        ++lineas;
        EXPECT_TRUE(i > 0 && cfg[i - 1] == '\r') << def.nombre << " line " << lineas;
      }
    EXPECT_EQ(lineas, 260u) << def.nombre;
    EXPECT_EQ(cfg.back(), '\n');
    EXPECT_NE(cfg.find("\r\n 9.00000000000000E-0001\r\n"), std::string::npos);  // no record
  }
}

class CircuitoDatos : public Datos {
 protected:
  std::unique_ptr<TCircuito> Abrir(const std::string& nombre) {
    test::ScriptedMessages mensajes;
    auto c = std::make_unique<TCircuito>(nombre);
    EXPECT_TRUE(mensajes.shown.empty()) << nombre;
    return c;
  }
};

TEST_F(CircuitoDatos, GridHoldsKnownGroundAndWallsAllRound) {
  const std::string conocidos = "012PBbMTt";
  for (const auto& def : Definiciones()) {
    const auto c = Abrir(def.nombre);
    EXPECT_EQ(c->Nombre, def.nombre);
    EXPECT_EQ(c->Autor, "Equipo Rodavia");
    EXPECT_EQ(c->Record, SinRecord);
    std::set<char> vistos;
    for (int y = 0; y < AltoMascara; ++y)
      for (int x = 0; x < AnchoMascara; ++x) {
        const char s = c->Celda(x, y);
        EXPECT_NE(conocidos.find(s), std::string::npos) << def.nombre << " " << x << "," << y;
        vistos.insert(s);
      }
    EXPECT_EQ(vistos.size(), conocidos.size()) << def.nombre;  // every kind appears
    // Everything a car can probe at the edges of the box is wall.
    for (double x = -10; x <= 998; x += 1) {
      EXPECT_EQ(c->SueloEn(x, -10), suelo::Pared);
      EXPECT_EQ(c->SueloEn(x, 742), suelo::Pared);
    }
    for (double y = -10; y <= 742; y += 1) {
      EXPECT_EQ(c->SueloEn(-10, y), suelo::Pared);
      EXPECT_EQ(c->SueloEn(998, y), suelo::Pared);
    }
  }
}

TEST_F(CircuitoDatos, StartPositionsStandApartOnAsphaltFacingTheRace) {
  for (const auto& def : Definiciones()) {
    const auto c = Abrir(def.nombre);
    const auto linea = datos::Muestrear(def);
    for (int i = 1; i <= 16; ++i) {
      const TSalida& s = c->Salidas[i];
      for (int y = s.Y / 4; y <= (s.Y + 35) / 4; ++y)
        for (int x = s.X / 4; x <= (s.X + 35) / 4; ++x)
          EXPECT_EQ(c->Celda(x, y), suelo::Asfalto) << def.nombre << " start " << i;
      for (int j = 1; j < i; ++j) {
        const TSalida& o = c->Salidas[j];
        EXPECT_TRUE(std::abs(s.X - o.X) >= 20 || std::abs(s.Y - o.Y) >= 20) << def.nombre << " " << i << "," << j;
      }
      // Facing along the track: frame f heads (f - 9) x 10 degrees.
      const double rumbo = (s.Angulo - 9) * M_PI / 18;
      const datos::Punto d = linea.Direccion(linea.Cercano({s.X + 18.0, s.Y + 18.0}));
      EXPECT_GT(d.x * std::cos(rumbo) + d.y * std::sin(rumbo), 0.98) << def.nombre << " start " << i;
    }
    // The pit position lies in the pit lane.
    EXPECT_EQ(c->SueloEn(c->Box.X, c->Box.Y), suelo::Boxes) << def.nombre;
  }
}

// The ground a car meets driving along a path, one probe every `paso`
// pixels, with repeats of the same ground collapsed.
std::string Recorrer(const TCircuito& c, const std::vector<Punto>& camino) {
  std::string r;
  for (const Punto& p : camino) {
    const char s = c.SueloEn(p.x - 18, p.y - 18);  // p is the car's centre
    if (r.empty() || r.back() != s) r += s;
  }
  return r;
}

std::vector<Punto> Vuelta(const datos::LineaCentral& l, double desde, double largo, double paso) {
  std::vector<Punto> r;
  for (double s = desde; s <= desde + largo; s += paso) r.push_back(l.En(s));
  return r;
}

TEST_F(CircuitoDatos, RacingLineMeetsTheLinesInOrderWithoutWalls) {
  for (const auto& def : Definiciones()) {
    const auto c = Abrir(def.nombre);
    const auto linea = datos::Muestrear(def);
    const auto hitos = datos::CalcularHitos(def, linea);
    const std::string suelos = Recorrer(*c, Vuelta(linea, hitos.meta - 60, linea.largo + 100, 1));
    EXPECT_EQ(suelos.find(suelo::Pared), std::string::npos) << def.nombre << ": " << suelos;
    std::string lineas;
    for (char s : suelos)
      if (s == 'M' || s == 'T' || s == 't') lineas += s;
    EXPECT_EQ(lineas, "MTtM") << def.nombre << ": " << suelos;
    // At top speed a car moves 9.8 px a tick: from any starting point it
    // still lands on every line.
    for (double desfase = 0; desfase < 9.8; desfase += 0.7) {
      const std::string rapido = Recorrer(*c, Vuelta(linea, hitos.meta - 30 + desfase, linea.largo, 9.8));
      for (char s : {'M', 'T', 't'})
        EXPECT_NE(rapido.find(s), std::string::npos) << def.nombre << " " << s << " " << desfase;
    }
  }
}

TEST_F(CircuitoDatos, PitLaneLeadsThroughEntryAndPitsOverTheFinishLine) {
  for (const auto& def : Definiciones()) {
    const auto c = Abrir(def.nombre);
    const auto linea = datos::Muestrear(def);
    const auto hitos = datos::CalcularHitos(def, linea);
    const std::string suelos = Recorrer(*c, datos::LineaBoxes(hitos, linea));
    EXPECT_EQ(suelos.find(suelo::Pared), std::string::npos) << def.nombre << ": " << suelos;
    const size_t entrada = suelos.find('b'), boxes = suelos.find('B'), meta = suelos.find('M');
    ASSERT_NE(entrada, std::string::npos) << def.nombre << ": " << suelos;
    ASSERT_NE(meta, std::string::npos) << def.nombre << ": " << suelos;
    EXPECT_LT(entrada, boxes) << def.nombre << ": " << suelos;
    EXPECT_EQ(suelos.find_first_of("Tt"), std::string::npos) << def.nombre << ": " << suelos;
  }
}

// Shortest way, in pixels, over any ground but wall from line `desde` to
// line `hasta` without touching line `veda`: cells and their diagonals.
double Atajo(const TCircuito& c, char desde, char hasta, char veda) {
  return 4 * test::CaminoMasCorto(c, desde, hasta, [veda](char s) { return s != suelo::Pared && s != veda; });
}

// No way over grass or asphalt cuts a third of the lap short: Bahia's loop
// after split 1 could once be skipped across an open apron.
TEST_F(CircuitoDatos, NoWayCutsALapShort) {
  for (const auto& def : Definiciones()) {
    const auto c = Abrir(def.nombre);
    const double tercio = datos::Muestrear(def).largo / 3;
    const double tramos[] = {Atajo(*c, suelo::Meta, suelo::Parcial1, suelo::Parcial2),
                             Atajo(*c, suelo::Parcial1, suelo::Parcial2, suelo::Meta),
                             Atajo(*c, suelo::Parcial2, suelo::Meta, suelo::Parcial1)};
    for (int i = 0; i < 3; ++i) EXPECT_GT(tramos[i], 0.55 * tercio) << def.nombre << ", tramo " << i + 1;
  }
}

// No push of one car by another (16 pixels on either axis or both) takes a
// car on the track through a wall into the pit lane: the pit walls are
// 20 pixels thick, not the 4 to 8 they once were.
TEST_F(CircuitoDatos, NoPushPutsACarThroughThePitWall) {
  for (const auto& def : Definiciones()) {
    const auto c = Abrir(def.nombre);
    int atravesados = 0;
    for (int y = 0; y < AltoMascara; ++y)
      for (int x = 0; x < AnchoMascara; ++x) {
        if (c->Celda(x, y) != suelo::Asfalto) continue;
        for (const auto& [dx, dy] : {std::pair{4, 0}, {-4, 0}, {0, 4}, {0, -4}, {4, 4}, {4, -4}, {-4, 4}, {-4, -4}}) {
          const int x1 = x + dx, y1 = y + dy;
          if (x1 < 0 || y1 < 0 || x1 >= AnchoMascara || y1 >= AltoMascara) continue;
          if (c->Celda(x1, y1) != suelo::Boxes && c->Celda(x1, y1) != suelo::BoxIn) continue;
          atravesados += c->Celda(x + dx / 2, y + dy / 2) == suelo::Pared;  // across a wall, not round its end
        }
      }
    EXPECT_EQ(atravesados, 0) << def.nombre;
  }
}

TEST(DatosGenerador, WritesOnlyWhatIsMissingAndTheSameBytesEveryRun) {
  test::TempProgramFolder a, b;
  ASSERT_TRUE(Generar(a.path()));
  a.Write("Jugadores/Jugador 1.ini", "[Perfil]\r\nNombre=Ana\r\n");  // a player's own profile
  std::filesystem::remove(a.path() / "Coches" / "F1-Vanto-Azul.bmp");
  const auto antes = Contenido(a.path());
  ASSERT_TRUE(Generar(a.path()));
  const auto despues = Contenido(a.path());
  EXPECT_EQ(a.Read("Jugadores/Jugador 1.ini"), "[Perfil]\r\nNombre=Ana\r\n");
  ASSERT_TRUE(Generar(b.path()));
  const auto nuevo = Contenido(b.path());
  EXPECT_EQ(despues.size(), nuevo.size());
  for (const auto& [ruta, bytes] : despues)
    if (ruta != "Jugadores/Jugador 1.ini") {
      EXPECT_TRUE(nuevo.at(ruta) == bytes) << ruta;
    }
  EXPECT_TRUE(despues.at("Coches/F1-Vanto-Azul.bmp") == nuevo.at("Coches/F1-Vanto-Azul.bmp"));
  EXPECT_EQ(antes.count("Coches/F1-Vanto-Azul.bmp"), 0u);
}

TEST(DatosGenerador, FailsClearlyWithoutAFolderArgument) {
  EXPECT_NE(std::system(RODAVIA_DATOS " 2>/dev/null"), 0);
}

}  // namespace
}  // namespace rodavia
