#include "editors/ControlesCrearCircuito.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

#include "editors/CrearCircuito.h"
#include "platform/MessageBox.h"

namespace rodavia {

const std::array<uint32_t, 16> ColoresEstandar = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

namespace {

// The names of the 16 colours: the choosers' items, which show as swatches.
const char* const NombresColores[16] = {"Negro", "Granate", "Verde", "Oliva", "Marino", "Púrpura",
                                        "Turquesa", "Gris", "Plata", "Rojo", "Lima", "Amarillo",
                                        "Azul", "Fucsia", "Aguamarina", "Blanco"};
// grey, green, yellow, red, white, silver, teal, silver, teal
constexpr std::array<uint32_t, 9> ColoresIniciales = {0x808080, 0x008000, 0x00FFFF, 0x0000FF, 0xFFFFFF,
                                                      0xC0C0C0, 0x808000, 0xC0C0C0, 0x808000};
constexpr int Fila = 21, InicioPintar = 86;

}  // namespace

TF_ControlesCrearCircuito::TF_ControlesCrearCircuito()
    : TForm("F_ControlesCrearCircuito"),
      e_Nombre(Add<TEdit>("e_Nombre", 52, 4, 170, 20)),
      e_Autor(Add<TEdit>("e_Autor", 52, 26, 170, 20)),
      e_email(Add<TEdit>("e_email", 52, 48, 170, 20)),
      rg_pintar(Add<TRadioGroup>("rg_pintar", 4, 70, 100, 231)),
      cb_jugador(Add<TComboBox>("cb_jugador", 106, InicioPintar + 9 * Fila, 46, 20)),
      Coche(Add<TImage>("Coche", 170, 76, 36, 36)),
      bb_MenosAngulo(Add<TButton>("bb_MenosAngulo", 160, 116, 26, 22)),
      bb_MasAngulo(Add<TButton>("bb_MasAngulo", 190, 116, 26, 22)),
      gb_cursor(Add<TGroupBox>("gb_cursor", 156, 144, 66, 52)),
      bb_menos(Add<TButton>("bb_menos", 6, 22, 26, 24, &gb_cursor)),
      bb_mas(Add<TButton>("bb_mas", 36, 22, 26, 24, &gb_cursor)),
      sb_coches(Add<TSpeedButton>("sb_coches", 156, 204, 66, 24)),
      sb_mascara(Add<TSpeedButton>("sb_mascara", 156, 234, 66, 24)),
      bb_Undo(Add<TButton>("bb_Undo", 4, 306, 52, 25)),
      bb_LeerCircuito(Add<TButton>("bb_LeerCircuito", 60, 306, 52, 25)),
      bb_Grabar(Add<TButton>("bb_Grabar", 116, 306, 52, 25)),
      bb_Salir(Add<TButton>("bb_Salir", 172, 306, 50, 25)) {
  Caption = "Controles del editor";
  ClientWidth = 226;
  ClientHeight = 335;
  int y = 6;
  for (const char* texto : {"Nombre", "Autor", "e-mail"}) {
    Add<TLabel>(std::string("l_") + texto, 4, y, 46, 16).Caption = texto;
    y += 22;
  }
  rg_pintar.Caption = "Pintamos";
  rg_pintar.Items = {"Asfalto", "Hierba", "Arena", "Pared", "Boxes", "Box In", "Meta", "Parcial 1 ", "Parcial 2",
                     "Jugador"};
  rg_pintar.OnClick = [this] { rg_pintarClick(); };
  for (int i = 0; i < 9; ++i) {
    TComboBox& c = Add<TComboBox>(std::string("Color").append(std::to_string(i)), 106, InicioPintar + i * Fila, 46, 20);
    c.Items.assign(std::begin(NombresColores), std::end(NombresColores));
    c.Swatches.assign(ColoresEstandar.begin(), ColoresEstandar.end());
    c.OnChange = [this, i] {
      const int elegido = Colores[size_t(i)]->ItemIndex();
      if (elegido >= 0) PonerColor(i, ColoresEstandar[size_t(elegido)]);
      CambioColor();
    };
    Colores[size_t(i)] = &c;
    PonerColor(i, ColoresIniciales[size_t(i)]);
  }
  for (int n = 1; n <= 16; ++n) {
    std::string item(" ");
    item += std::to_string(n);
    if (n < 10) item += ' ';
    cb_jugador.Items.push_back(item);
  }
  cb_jugador.Items.push_back("BOX");
  Coche.Transparent = true;
  Coche.TransparentColor = To565(255, 0, 255);
  bb_MenosAngulo.Arrow = TButton::Glyph::Left;
  bb_MasAngulo.Arrow = TButton::Glyph::Right;
  bb_MenosAngulo.OnClick = [this] { bb_MenosAnguloClick(); };
  bb_MasAngulo.OnClick = [this] { bb_MasAnguloClick(); };
  gb_cursor.Caption = "Tamño cursor";
  bb_menos.Caption = "-";
  bb_mas.Caption = "+";
  bb_menos.OnClick = [this] { bb_menosClick(); };
  bb_mas.OnClick = [this] { bb_masClick(); };
  for (TControl* c : std::initializer_list<TControl*>{&sb_coches, &sb_mascara}) c->FontSize = 8;
  gb_cursor.FontSize = 7;
  sb_coches.Caption = "Ver Coches";
  sb_mascara.Caption = "Ver Circuito";
  for (TSpeedButton* b : {&sb_coches, &sb_mascara}) {
    b->AllowAllUp = true;
    b->SetDown(true);
  }
  sb_coches.OnClick = [this] { sb_cochesClick(); };
  sb_mascara.OnClick = [this] { sb_mascaraClick(); };
  bb_Undo.Caption = "Undo";
  bb_LeerCircuito.Caption = "Cargar";
  bb_Grabar.Caption = "Grabar";
  bb_Salir.Caption = "Salir";
  bb_Undo.OnClick = [this] { bb_UndoClick(); };
  bb_LeerCircuito.OnClick = [this] { bb_LeerCircuitoClick(); };
  bb_Grabar.OnClick = [this] { bb_GrabarClick(); };
  bb_Salir.OnClick = [this] { bb_SalirClick(); };
}

void TF_ControlesCrearCircuito::Mostrar(TF_CrearCircuito& lienzo) {
  Lienzo = &lienzo;
  Visible = true;
  FormShow();
}

void TF_ControlesCrearCircuito::FormShow() {
  rg_pintar.SetItemIndex(0);
  Lienzo->PonerCursor(4);
  e_Nombre.SetText("");
  e_Autor.SetText("");
  e_email.SetText("");
  cb_jugador.SetItemIndex(0);
  AnguloActual = 1;
  bb_MenosAngulo.Click();
}

void TF_ControlesCrearCircuito::rg_pintarClick() {
  const int item = rg_pintar.ItemIndex();
  const bool tamanoLibre = item <= 5;
  bb_menos.Enabled = bb_mas.Enabled = tamanoLibre;
  if (!tamanoLibre && Lienzo) Lienzo->PonerCursor(item == 9 ? 36 : 12);
}

void TF_ControlesCrearCircuito::bb_masClick() {
  if (Lienzo) Lienzo->AgrandarCursor();
}

void TF_ControlesCrearCircuito::bb_menosClick() {
  if (Lienzo) Lienzo->ReducirCursor();
}

void TF_ControlesCrearCircuito::bb_MenosAnguloClick() {
  AnguloActual = AnguloActual == 0 ? 35 : int16_t(AnguloActual - 1);
  MostrarAngulo();
}

void TF_ControlesCrearCircuito::bb_MasAnguloClick() {
  AnguloActual = AnguloActual == 35 ? 0 : int16_t(AnguloActual + 1);
  MostrarAngulo();
}

void TF_ControlesCrearCircuito::MostrarAngulo() {
  if (Lienzo && size_t(AnguloActual) < Lienzo->ListaCoches.size())
    Coche.SetPicture(Lienzo->ListaCoches[size_t(AnguloActual)]);
}

// A colour outside the 16 is kept, and its chooser shows no swatch.
void TF_ControlesCrearCircuito::PonerColor(int i, uint32_t color) {
  colores_[size_t(i)] = color;
  const auto p = std::find(ColoresEstandar.begin(), ColoresEstandar.end(), color);
  Colores[size_t(i)]->SetItemIndex(p == ColoresEstandar.end() ? -1 : int(p - ColoresEstandar.begin()));
}

void TF_ControlesCrearCircuito::PasarDatosAControles(const TCircuito& c) {
  for (int i = 0; i < 9; ++i) PonerColor(i, c.Colores[size_t(i)]);
  e_Nombre.SetText(c.Titulo);
  e_Autor.SetText(c.Autor);
  e_email.SetText(c.Email);
}

bool TF_ControlesCrearCircuito::SinCircuito() {
  if (Lienzo && Lienzo->CircuitoCargado) return false;
  ShowWarning("Primero ha de cargar un circuito.");
  return true;
}

void TF_ControlesCrearCircuito::CambioColor() {
  if (SinCircuito()) return;
  Lienzo->CircuitoEditado->Colores = colores_;
  Lienzo->PintarMascara();
}

void TF_ControlesCrearCircuito::sb_mascaraClick() {
  if (SinCircuito()) {
    sb_mascara.SetDown(true);
    return;
  }
  if (sb_mascara.Down())
    Lienzo->PintarMascara();
  else
    Lienzo->QuitarMascara();
}

void TF_ControlesCrearCircuito::sb_cochesClick() {
  if (SinCircuito()) {
    sb_coches.SetDown(true);
    return;
  }
  Lienzo->VerCoches(sb_coches.Down());
}

void TF_ControlesCrearCircuito::bb_UndoClick() {
  if (SinCircuito()) return;
  std::swap(Lienzo->CircuitoEditado->Mascara, Lienzo->MascaraUndo);
  Lienzo->PintarMascara();
}

void TF_ControlesCrearCircuito::bb_LeerCircuitoClick() {
  if (Lienzo) Lienzo->LeerCircuito();
}

void TF_ControlesCrearCircuito::bb_GrabarClick() {
  if (SinCircuito()) return;
  TCircuito& c = *Lienzo->CircuitoEditado;
  c.Titulo = e_Nombre.Text();
  c.Autor = e_Autor.Text();
  c.Email = e_email.Text();
  if (!Lienzo->ImagenEnCircuitos()) return;
  if (c.Grabar()) {
    ShowInformation("El circuito se ha grabado.");
    Lienzo->Grabado = true;
  } else {
    ShowError("Error al guardar el circuito.");
  }
}

void TF_ControlesCrearCircuito::bb_SalirClick() {
  if (!Lienzo) return;
  if (Lienzo->Grabado ||
      Messages().Show(MsgKind::Confirmation, "¿ Esta seguro que quiere salir sin grabar el circuito  ?",
                      MsgButtons::YesNo) != MsgResult::No)
    Lienzo->Close();
}

}  // namespace rodavia
