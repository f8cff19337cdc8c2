#pragma once
// A circuit: the ground grid over its 1024 x 768 picture, its texts, lap
// record, mask colours, 16 start positions and the pit position, held in
// memory and kept in the description file Circuitos/<name>.cfg.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace rodavia {

class TPlanCircuito;

// Ground kinds, one character per grid cell.
namespace suelo {
constexpr char Asfalto = '0', Hierba = '1', Arena = '2', Pared = 'P', Boxes = 'B', BoxIn = 'b',
               Meta = 'M', Parcial1 = 'T', Parcial2 = 't';
}

constexpr double SinRecord = 0.9;  // no lap time yet
constexpr int AnchoMascara = 257, AltoMascara = 193;
// The size of a circuit's picture: the whole race screen.
constexpr int AnchoFotoCircuito = 1024, AltoFotoCircuito = 768;

struct TSalida {
  int16_t X = 0, Y = 0, Angulo = 0;
};

class TCircuito {
 public:
  // Opens the circuit of that name from the program folder's Circuitos.
  // Never fails as a whole: a missing description gives the defaults, a bad
  // one is reported and keeps what was read.
  explicit TCircuito(const std::string& nombre);

  // Writes the description back to Circuitos/<name it was opened with>.cfg
  // (never to a path built from the name line inside the file); true on
  // success. False without writing when the description failed to read, so
  // that the values after the damage are not saved over it as zeros, or when
  // the circuit's name cannot be a file name.
  bool Grabar() const;
  // The ground under a car whose picture's top-left corner is at (x, y).
  char SueloEn(double x, double y) const;

  // The description file's text (260 CR LF lines) and its reading; Grabar
  // and the constructor use them, the data generator and tests too.
  std::string Texto() const;
  // False at the first value that cannot be read; the fields read stay.
  bool Leer(const std::string& texto);

  char& Celda(int x, int y) { return Mascara[size_t(y) * AnchoMascara + x]; }
  char Celda(int x, int y) const { return Mascara[size_t(y) * AnchoMascara + x]; }

  std::array<char, AnchoMascara * AltoMascara> Mascara{};  // row-major: [y][x]
  std::string Nombre, Titulo, Autor, Email;
  double Record = 0;
  std::string AutorRecord;
  double FechaRecord = 0;
  std::array<uint32_t, 9> Colores{};          // mask colours of ground kinds 0..8
  std::array<TSalida, 17> Salidas{};          // 1..16; [0] unused
  TSalida Box;

  // Where computer drivers go, planned from the grid on first use: races
  // read the grid only, so the plan stays true while the circuit is open; a driver
  // holding it outlives a change of circuit safely.
  std::shared_ptr<const TPlanCircuito> Plan() const;

  // The defaults of every field except the grid.
  void PonerValoresPorDefecto(const std::string& nombre);

  // The 23-character real of the file: " 9.00000000000000E-0001".
  static std::string FormatoReal(double value);

 private:
  std::string fichero_;    // the name the circuit was opened with
  bool guardable_ = true;  // false after a failed read
  mutable std::shared_ptr<const TPlanCircuito> plan_;
};

}  // namespace rodavia
