#include "race/Circuito.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "race/PilotoOrdenador.h"

namespace rodavia {

namespace {

std::string RutaDescripcion(const std::string& nombre) { return "Circuitos\\" + nombre + ".cfg"; }

// Reads the description text as the runtime's text files do: whole lines for
// the grid and the texts, and numbers as the next token (blank lines before
// it skipped), the rest of its line dropped. Past the end everything reads as
// empty or zero.
class Lector {
 public:
  explicit Lector(const std::string& t) : t_(t) {}

  std::string Linea() {
    const size_t fin = t_.find('\n', pos_);
    std::string linea = t_.substr(pos_, fin == std::string::npos ? std::string::npos : fin - pos_);
    pos_ = fin == std::string::npos ? t_.size() : fin + 1;
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    return linea;
  }

  bool Real(double& valor) {
    std::string token;
    if (!Token(token)) return (valor = 0, true);
    return IniFile::ParseReal(token, valor) && (SaltarLinea(), true);
  }

  bool Entero(long long& valor) {
    std::string token;
    if (!Token(token)) return (valor = 0, true);
    if (!IniFile::ParseInteger(token, valor) || valor < INT32_MIN || valor > UINT32_MAX) return false;
    SaltarLinea();
    return true;
  }

 private:
  static bool Blanco(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  bool Token(std::string& token) {
    while (pos_ < t_.size() && Blanco(t_[pos_])) ++pos_;
    const size_t inicio = pos_;
    while (pos_ < t_.size() && !Blanco(t_[pos_])) ++pos_;
    token = t_.substr(inicio, pos_ - inicio);
    return !token.empty();
  }
  void SaltarLinea() { Linea(); }

  const std::string& t_;
  size_t pos_ = 0;
};

}  // namespace

TCircuito::TCircuito(const std::string& nombre) : fichero_(nombre) {
  guardable_ = files::IsSafeFileName(nombre);
  const auto ruta = files::Resolve(RutaDescripcion(nombre));
  if (!guardable_ || !std::filesystem::exists(ruta)) {
    Mascara.fill(suelo::Hierba);
    PonerValoresPorDefecto(nombre);
    return;
  }
  std::vector<uint8_t> bytes;
  if (!files::ReadAll(ruta, bytes) || !Leer(std::string(bytes.begin(), bytes.end()))) {
    guardable_ = false;
    ShowError("Error al crear la clase circuito. Su descripción está dañada: "
              "no se guardarán en ella récords ni cambios.");
    return;
  }
  if (Nombre.empty()) Nombre = nombre;  // set by the defaults of an empty line 194
}

void TCircuito::PonerValoresPorDefecto(const std::string& nombre) {
  Nombre = nombre;
  Titulo = Autor = Email = AutorRecord = "Desconocido";
  Record = SinRecord;
  FechaRecord = Today();
  Colores = {0x808080, 0x008000, 0x00FFFF, 0x0000FF, 0x808080, 0x808080, 0xFFFFFF, 0xC0C0C0, 0x808000};
  for (int i = 1; i <= 16; ++i) Salidas[i] = {0, int16_t(40 * i), 9};
  Box = {0, 680, 9};
}

bool TCircuito::Leer(const std::string& texto) {
  Lector l(texto);
  for (int y = 0; y < AltoMascara; ++y) {
    const std::string fila = l.Linea();
    for (int x = 0; x < AnchoMascara; ++x)
      Celda(x, y) = x < int(fila.size()) ? fila[x] : suelo::Hierba;
  }
  long long n = 0;
  auto entero16 = [&](int16_t& campo) {
    if (!l.Entero(n)) return false;
    campo = int16_t(uint16_t(n & 0xFFFF));
    return true;
  };
  auto color = [&](int i) {
    if (!l.Entero(n)) return false;
    Colores[i] = uint32_t(n);
    return true;
  };
  Nombre = l.Linea();
  Titulo = l.Linea();
  Autor = l.Linea();
  Email = l.Linea();
  if (!l.Real(Record)) return false;
  AutorRecord = l.Linea();
  if (!l.Real(FechaRecord)) return false;
  for (int i : {0, 1, 2, 3, 6, 7, 8})
    if (!color(i)) return false;
  for (int i = 1; i <= 16; ++i)
    if (!entero16(Salidas[i].X) || !entero16(Salidas[i].Y) || !entero16(Salidas[i].Angulo))
      return false;
  if (!color(4) || !color(5)) return false;
  if (!entero16(Box.X) || !entero16(Box.Y) || !entero16(Box.Angulo)) return false;
  if (Nombre.empty()) {
    // An empty name line brings every default but keeps the grid. The caller
    // gives the name the circuit was opened with.
    PonerValoresPorDefecto("");
  }
  return true;
}

std::string TCircuito::FormatoReal(double value) {
  char mantisa[48];
  std::snprintf(mantisa, sizeof mantisa, "%.14E", value);  // "9.00000000000000E-01"
  std::string s = mantisa;
  const size_t e = s.find('E');
  const int exponente = std::atoi(s.c_str() + e + 1);
  char cola[16];
  std::snprintf(cola, sizeof cola, "E%c%04d", exponente < 0 ? '-' : '+', std::abs(exponente));
  s = s.substr(0, e) + cola;
  return s[0] == '-' ? s : " " + s;
}

std::string TCircuito::Texto() const {
  std::string t;
  t.reserve(AltoMascara * (AnchoMascara + 2) + 2048);
  auto linea = [&t](const std::string& s) { t += s; t += "\r\n"; };
  for (int y = 0; y < AltoMascara; ++y)
    linea(std::string(&Mascara[size_t(y) * AnchoMascara], AnchoMascara));
  linea(Nombre);
  linea(Titulo);
  linea(Autor);
  linea(Email);
  linea(FormatoReal(Record));
  linea(AutorRecord);
  linea(FormatoReal(FechaRecord));
  // A colour is a signed 32-bit number in the file: system colours such as
  // -16777201 keep their sign, as the readers of other machines expect.
  auto color = [&](int i) { linea(std::to_string(int32_t(Colores[size_t(i)]))); };
  for (int i : {0, 1, 2, 3, 6, 7, 8}) color(i);
  for (int i = 1; i <= 16; ++i) {
    linea(std::to_string(Salidas[i].X));
    linea(std::to_string(Salidas[i].Y));
    linea(std::to_string(Salidas[i].Angulo));
  }
  color(4);
  color(5);
  linea(std::to_string(Box.X));
  linea(std::to_string(Box.Y));
  linea(std::to_string(Box.Angulo));
  return t;
}

bool TCircuito::Grabar() const {
  return guardable_ && files::WriteAtomic(files::Resolve(RutaDescripcion(fichero_)), Texto());
}

char TCircuito::SueloEn(double x, double y) const {
  if (x < -10 || x > 998 || y < -10 || y > 742) return suelo::Pared;
  // Rounding to nearest with halves to even (the default rounding mode).
  const int cx = int(std::nearbyint((x + 14) / 4));
  const int cy = int(std::nearbyint((y + 14) / 4));
  return Celda(cx, cy);
}

std::shared_ptr<const TPlanCircuito> TCircuito::Plan() const {
  if (!plan_) plan_ = std::make_shared<const TPlanCircuito>(*this);
  return plan_;
}

}  // namespace rodavia
