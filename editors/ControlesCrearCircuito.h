#pragma once
// The circuit editor's tool window, floating above the canvas: what the mouse
// paints, the mask colours, the cursor size and the start angle, the
// circuit's title, author and e-mail, and the buttons to load, save, undo,
// show or hide the mask and the cars, and leave. It lives as long as the
// program; each canvas attaches itself while it is shown.
#include <array>
#include <cstdint>

#include "platform/Controls.h"

namespace rodavia {

class TF_CrearCircuito;
class TCircuito;

// The 16 colours a mask colour chooser offers, 0x00BBGGRR, in its order.
extern const std::array<uint32_t, 16> ColoresEstandar;

class TF_ControlesCrearCircuito : public TForm {
 public:
  TF_ControlesCrearCircuito();

  // Makes the window visible for `lienzo` and runs its showing steps.
  void Mostrar(TF_CrearCircuito& lienzo);

  void FormShow();
  void rg_pintarClick();
  void bb_masClick();
  void bb_menosClick();
  void bb_MenosAnguloClick();
  void bb_MasAnguloClick();
  void CambioColor();
  void sb_mascaraClick();
  void sb_cochesClick();
  void bb_UndoClick();
  void bb_LeerCircuitoClick();
  void bb_GrabarClick();
  void bb_SalirClick();

  // Shows a loaded circuit's colours, title, author and e-mail.
  void PasarDatosAControles(const TCircuito& c);
  // The colour chooser i (0..8): its colour, and setting it without firing
  // CambioColor. A colour outside the 16 is kept and shows no swatch.
  uint32_t Color(int i) const { return colores_[i]; }
  void PonerColor(int i, uint32_t color);

  int16_t AnguloActual = 0;
  TF_CrearCircuito* Lienzo = nullptr;  // the canvas shown, if any

  TEdit& e_Nombre;
  TEdit& e_Autor;
  TEdit& e_email;
  TRadioGroup& rg_pintar;
  std::array<TComboBox*, 9> Colores{};  // Color0 .. Color8
  TComboBox& cb_jugador;
  TImage& Coche;
  TButton& bb_MenosAngulo;
  TButton& bb_MasAngulo;
  TGroupBox& gb_cursor;
  TButton& bb_menos;
  TButton& bb_mas;
  TSpeedButton& sb_coches;
  TSpeedButton& sb_mascara;
  TButton& bb_Undo;
  TButton& bb_LeerCircuito;
  TButton& bb_Grabar;
  TButton& bb_Salir;

 private:
  std::array<uint32_t, 9> colores_{};
  bool SinCircuito();  // warns when no circuit is loaded yet
  void MostrarAngulo();
};

}  // namespace rodavia
