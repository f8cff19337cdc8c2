#pragma once
// The circuit editor's canvas: a borderless window over the whole screen that
// shows a 1024 x 768 circuit picture, paints its ground grid with the mouse
// and places the 16 start positions and the pit. What to paint, the colours,
// the cursor size and the angle are chosen in the tool window above it.
// The circuit picture, a fine outline per drawn cell in its mask colour and
// the yellow cursor square are composed in software into the picture of
// Fondo; the cars of the start positions, with their numbers, are images
// above it.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "race/Circuito.h"

namespace rodavia {

class TF_ControlesCrearCircuito;

// The cursor square, in picture pixels.
struct TCuadro {
  int Left = 0, Top = 0, Width = 4, Height = 4;
  bool Visible = false;
  Rect Area() const { return {Left, Top, Left + Width, Top + Height}; }
};

using TMascara = decltype(TCircuito::Mascara);

class TF_CrearCircuito : public TForm {
 public:
  // Loads the default car's frames; without them the program cannot go on
  // (an error, then the program ends).
  explicit TF_CrearCircuito(TF_ControlesCrearCircuito& controles);
  ~TF_CrearCircuito() override;

  // Shows the canvas modally with the tool window floating above it, until
  // "Salir"; then the tool window is hidden again.
  void Mostrar();

  void FormCreate();
  void FormActivate();
  void FormMouseMove(int x, int y, bool botonIzquierdo);
  void FormClose();

  bool LeerCircuito();
  // The game lists circuits by their pictures in Circuitos: a picture opened
  // from elsewhere is copied there under the circuit's name, so that the
  // description saved beside it makes a circuit. False (after telling the
  // player) when it cannot be put there.
  bool ImagenEnCircuitos();
  void AgrandarCursor();
  void ReducirCursor();
  void PintarMascara();
  void GuardarUndo();
  void ColocarCoches();
  // Shows the bare picture: the cells drawn so far are wiped until the mask
  // is drawn again (painting still draws the cells it paints).
  void QuitarMascara();
  void VerCoches(bool ver);
  void PonerCursor(int lado);
  // The start-position image n = 1..17 (17 = "BOX"); nullptr outside.
  TImage* BuscarImagenCoche(int n) const;

  std::unique_ptr<TCircuito> CircuitoEditado;
  TMascara MascaraUndo{};
  bool CircuitoCargado = false;
  bool Grabado = true;
  bool NuevoTrazo = false;
  std::vector<Surface16> ListaCoches;  // the 36 frames of the default car
  TCuadro Cuadro;
  TOpenDialog AbrirCircuito;

  TImage& Fondo;
  std::array<TImage*, 17> Coches{};  // Coche1 .. Coche17

  // The mask colour of a cell code; false for a code that is no ground kind.
  bool ColorDeCodigo(char codigo, uint32_t& color) const;

 private:
  TF_ControlesCrearCircuito& controles_;
  Surface16 imagen_;  // the circuit picture; empty while Fondo is blank
  // Whether each cell's outline is on the canvas, same layout as the mask.
  std::array<bool, AnchoMascara * AltoMascara> marcada_{};

  void Redibujar(Rect zona);
  void DibujarCelda(int x, int y, uint32_t color);
  void PonerCoche(int n, const TSalida& s, const std::string& rotulo);
  void Colocar(int k);
  void Pintar(char codigo);
  bool SobreCoche(int x, int y) const;
};

// The text of a start-position image, drawn black on red into `to` at
// (x, y) in a small built-in font (digits, space, "BOX").
void EscribirRotulo(Surface16& to, int x, int y, const std::string& texto);

}  // namespace rodavia
