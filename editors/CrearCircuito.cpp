#include "editors/CrearCircuito.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "editors/ControlesCrearCircuito.h"
#include "net/Tramas.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Picture.h"

namespace rodavia {

namespace {

constexpr int AnchoImagen = 1024, AltoImagen = 768;
constexpr int LadoCoche = 36, FramesCoche = 36;
constexpr uint16_t Transparente = To565(255, 0, 255);
constexpr uint16_t Amarillo = To565(255, 255, 0);
constexpr char CodigosSuelo[9] = {suelo::Asfalto, suelo::Hierba, suelo::Arena, suelo::Pared, suelo::Boxes,
                                  suelo::BoxIn,   suelo::Meta,   suelo::Parcial1, suelo::Parcial2};
constexpr int ItemJugador = 9;

size_t Indice(int x, int y) { return size_t(y) * AnchoMascara + x; }

Rect Interseccion(Rect a, Rect b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// Glyphs of 3 x 5 dots, one row a character of the string ('#' = ink).
const char* Glifo(char c) {
  switch (c) {
    case '0': return "####.##.##.####";
    case '1': return ".#.##..#..#.###";
    case '2': return "###..#####..###";
    case '3': return "###..####..####";
    case '4': return "#.##.####..#..#";
    case '5': return "####..###..####";
    case '6': return "####..####.####";
    case '7': return "###..#..#..#..#";
    case '8': return "####.#####.####";
    case '9': return "####.####..####";
    case 'B': return "##.#.###.#.###.";
    case 'O': return ".#.#.##.##.#.#.";
    case 'X': return "#.##.#.#.#.##.#";
    default: return "...............";
  }
}

}  // namespace

void EscribirRotulo(Surface16& to, int x, int y, const std::string& texto) {
  constexpr int Escala = 2, Paso = 4 * Escala;
  const uint16_t rojo = To565(255, 0, 0), negro = To565(0, 0, 0);
  auto punto = [&](int px, int py, uint16_t color) {
    if (px >= 0 && py >= 0 && px < to.width() && py < to.height()) to.setPixel(px, py, color);
  };
  const int ancho = int(texto.size()) * Paso, alto = 6 * Escala;
  for (int py = y; py < y + alto; ++py)
    for (int px = x; px < x + ancho; ++px) punto(px, py, rojo);
  for (size_t i = 0; i < texto.size(); ++i) {
    const char* g = Glifo(texto[i]);
    for (int d = 0; d < 15; ++d) {
      if (g[d] != '#') continue;
      const int gx = x + int(i) * Paso + Escala / 2 + (d % 3) * Escala, gy = y + Escala / 2 + (d / 3) * Escala;
      for (int sy = 0; sy < Escala; ++sy)
        for (int sx = 0; sx < Escala; ++sx) punto(gx + sx, gy + sy, negro);
    }
  }
}

TF_CrearCircuito::TF_CrearCircuito(TF_ControlesCrearCircuito& controles)
    : TForm("F_CrearCircuito"), Fondo(Add<TImage>("Fondo", 0, 0, AnchoImagen, AltoImagen)), controles_(controles) {
  Caption = "CrearCircuito";
  Borderless = true;
  ClientWidth = AnchoImagen;
  ClientHeight = AltoImagen;
  Color = RGBColor(0, 0, 0);
  for (int n = 1; n <= 17; ++n) {
    TImage& coche = Add<TImage>(std::string("Coche").append(std::to_string(n)), 0, 0, LadoCoche, LadoCoche);
    coche.Transparent = true;
    coche.TransparentColor = Transparente;
    Coches[size_t(n - 1)] = &coche;
  }
  OnMouseMove = [this](int x, int y, bool izquierdo) { FormMouseMove(x, y, izquierdo); };
  FormCreate();
}

TF_CrearCircuito::~TF_CrearCircuito() {
  if (controles_.Lienzo == this) controles_.Lienzo = nullptr;
}

void TF_CrearCircuito::FormCreate() {
  CircuitoCargado = false;
  Grabado = true;
  Fondo.SetPicture(Surface16(AnchoImagen, AltoImagen, 0));
  Picture coche;
  if (!LoadPicture(files::Resolve("coches\\F1-Vanto-Rojo.bmp"), coche)) {
    ShowError("No se encuentra el fichero ..\\Coches\\F1-Vanto-Rojo.bmp");
    EndProgram();
  }
  ListaCoches.clear();
  for (int i = 0; i < FramesCoche; ++i) {
    Surface16 frame(LadoCoche, LadoCoche, Transparente);
    frame.blit(coche.pixels, {i * LadoCoche, 0, (i + 1) * LadoCoche, LadoCoche}, 0, 0);
    ListaCoches.push_back(std::move(frame));
  }
}

void TF_CrearCircuito::Mostrar() {
  FormActivate();
  ShowModal(*this);
  FormClose();
  controles_.Visible = false;
  controles_.Lienzo = nullptr;
  Floating = nullptr;
}

void TF_CrearCircuito::FormActivate() {
  Floating = &controles_;
  controles_.Mostrar(*this);
}

void TF_CrearCircuito::FormClose() {
  CircuitoEditado.reset();
  CircuitoCargado = false;
}

bool TF_CrearCircuito::LeerCircuito() {
  AbrirCircuito.InitialDir = "Circuitos";
  AbrirCircuito.Mask = "*.jpg";
  if (!AbrirCircuito.Execute()) return false;
  Picture imagen;
  if (!LoadPicture(files::Resolve(AbrirCircuito.FileName), imagen)) {
    ShowError("Error al cargar el circuito.");
    return false;
  }
  if (imagen.pixels.width() != AnchoImagen || imagen.pixels.height() != AltoImagen) {
    ShowWarning("El circuito ha de ser de 1024 X 768 pixels.");
    imagen_ = Surface16();
    Fondo.Visible = false;
    Redibujar({0, 0, AnchoImagen, AltoImagen});
    return false;
  }
  std::string nombre = std::filesystem::path(AbrirCircuito.FileName).filename().string();
  nombre.resize(nombre.size() > 4 ? nombre.size() - 4 : 0);
  if (!NombreViajaIntacto(nombre)) {
    ShowWarning("El nombre del circuito no puede llevar & ni $: cambie el nombre de la imagen.");
    return false;
  }
  imagen_ = std::move(imagen.pixels);
  Fondo.Visible = true;
  CircuitoEditado = std::make_unique<TCircuito>(nombre);
  CircuitoCargado = true;
  Grabado = true;
  controles_.PasarDatosAControles(*CircuitoEditado);
  PintarMascara();
  GuardarUndo();
  ColocarCoches();
  return true;
}

bool TF_CrearCircuito::ImagenEnCircuitos() {
  const std::string nombre = "Circuitos\\" + CircuitoEditado->Nombre + ".jpg";
  const std::filesystem::path origen = files::Resolve(AbrirCircuito.FileName), destino = files::Resolve(nombre);
  std::error_code error;
  if (std::filesystem::equivalent(origen, destino, error)) return true;
  std::vector<uint8_t> imagen, otra;
  if (!files::ReadAll(origen, imagen)) {
    ShowError("Error al guardar el circuito.");
    return false;
  }
  if (std::filesystem::exists(destino, error)) {
    // The same picture may already be there; another one is never replaced.
    if (!files::ReadAll(destino, otra) || otra != imagen) {
      ShowError("Ya hay otra imagen ..\\" + nombre + "; cambie el nombre de la suya.");
      return false;
    }
  } else if (!files::WriteAtomic(destino, std::string(imagen.begin(), imagen.end()))) {
    ShowError("Error al guardar el circuito.");
    return false;
  }
  AbrirCircuito.FileName = destino.string();
  return true;
}

bool TF_CrearCircuito::ColorDeCodigo(char codigo, uint32_t& color) const {
  const char* fin = CodigosSuelo + 9;
  const char* p = std::find(CodigosSuelo, fin, codigo);
  if (p == fin || !CircuitoEditado) return false;
  color = CircuitoEditado->Colores[size_t(p - CodigosSuelo)];
  return true;
}

void TF_CrearCircuito::PintarMascara() {
  marcada_.fill(true);
  Redibujar({0, 0, AnchoImagen, AltoImagen});
}

void TF_CrearCircuito::QuitarMascara() {
  marcada_.fill(false);
  Redibujar({0, 0, AnchoImagen, AltoImagen});
}

void TF_CrearCircuito::GuardarUndo() {
  if (CircuitoEditado) MascaraUndo = CircuitoEditado->Mascara;
}

// Composes the area from the picture, the outlines of the drawn cells and
// the cursor square, clipped to the picture.
void TF_CrearCircuito::Redibujar(Rect zona) {
  Surface16& lienzo = Fondo.Picture;
  zona = Interseccion(zona, {0, 0, lienzo.width(), lienzo.height()});
  if (zona.empty()) return;
  const bool conImagen = Fondo.Visible && !imagen_.empty();
  for (int y = zona.top; y < zona.bottom; ++y) {
    uint16_t* fila = lienzo.row(y) + zona.left;
    if (conImagen)
      std::copy_n(imagen_.row(y) + zona.left, zona.width(), fila);
    else
      std::fill_n(fila, zona.width(), uint16_t(0));
  }
  if (conImagen && CircuitoEditado) {
    for (int cy = zona.top / 4; cy <= (zona.bottom - 1) / 4; ++cy)
      for (int cx = zona.left / 4; cx <= (zona.right - 1) / 4; ++cx) {
        uint32_t color;
        if (marcada_[Indice(cx, cy)] && ColorDeCodigo(CircuitoEditado->Celda(cx, cy), color))
          DibujarCelda(cx, cy, color);
      }
  }
  if (Cuadro.Visible) {
    const Rect c = Interseccion(zona, Cuadro.Area());
    for (int y = c.top; y < c.bottom; ++y) std::fill_n(lienzo.row(y) + c.left, std::max(0, c.width()), Amarillo);
  }
  ++Fondo.PictureVersion;
}

// The outline of a 3 x 3 square in the cell's top-left corner, half the
// mask colour and half the picture; the centre and the cell's fourth row and
// column leave the picture as it is.
void TF_CrearCircuito::DibujarCelda(int x, int y, uint32_t color) {
  Surface16& lienzo = Fondo.Picture;
  constexpr uint16_t SinBitBajo = 0x7BEF;  // each 565 channel halved without spilling
  const uint16_t mitad = uint16_t((ColorRefTo565(color) >> 1) & SinBitBajo);
  for (int dy = 0; dy < 3; ++dy)
    for (int dx = 0; dx < 3; ++dx) {
      const int px = 4 * x + dx, py = 4 * y + dy;
      if ((dx == 1 && dy == 1) || px >= lienzo.width() || py >= lienzo.height()) continue;
      lienzo.setPixel(px, py, uint16_t(mitad + ((lienzo.pixel(px, py) >> 1) & SinBitBajo)));
    }
}

void TF_CrearCircuito::PonerCursor(int lado) {
  const Rect antes = Cuadro.Area();
  Cuadro.Width = Cuadro.Height = lado;
  Redibujar(antes);
  Redibujar(Cuadro.Area());
}

void TF_CrearCircuito::AgrandarCursor() {
  if (Cuadro.Height < 80) PonerCursor(Cuadro.Height + 4);
}

void TF_CrearCircuito::ReducirCursor() {
  if (Cuadro.Height >= 5) PonerCursor(Cuadro.Height - 4);
}

TImage* TF_CrearCircuito::BuscarImagenCoche(int n) const {
  return n >= 1 && n <= 17 ? Coches[size_t(n - 1)] : nullptr;
}

void TF_CrearCircuito::PonerCoche(int n, const TSalida& s, const std::string& rotulo) {
  TImage* imagen = BuscarImagenCoche(n);
  if (!imagen) return;
  // An angle out of 0..35 (from a hand-edited description) shows no car.
  Surface16 dibujo = s.Angulo >= 0 && s.Angulo < int(ListaCoches.size())
                         ? ListaCoches[size_t(s.Angulo)]
                         : Surface16(LadoCoche, LadoCoche, Transparente);
  EscribirRotulo(dibujo, 10, 10, rotulo);
  imagen->SetPicture(std::move(dibujo));
  imagen->Left = s.X;
  imagen->Top = s.Y;
}

void TF_CrearCircuito::ColocarCoches() {
  if (!CircuitoEditado) return;
  for (int n = 1; n <= 17; ++n)
    PonerCoche(n, n <= 16 ? CircuitoEditado->Salidas[size_t(n)] : CircuitoEditado->Box,
               controles_.cb_jugador.Items[size_t(n - 1)]);
}

void TF_CrearCircuito::VerCoches(bool ver) {
  for (TImage* coche : Coches) coche->Visible = ver;
}

bool TF_CrearCircuito::SobreCoche(int x, int y) const {
  return std::any_of(Coches.begin(), Coches.end(), [&](const TImage* c) {
    return c->Visible && !c->Picture.empty() && x >= c->Left && x < c->Left + c->Width && y >= c->Top &&
           y < c->Top + c->Height;
  });
}

void TF_CrearCircuito::FormMouseMove(int x, int y, bool botonIzquierdo) {
  if (!CircuitoCargado || SobreCoche(x, y)) return;
  const Rect antes = Cuadro.Area();
  const bool visibleAntes = Cuadro.Visible;
  Cuadro.Visible = true;
  // Integer division truncates toward zero, as the grid snapping expects.
  Cuadro.Left = ((x - Cuadro.Width / 2) / 4) * 4;
  Cuadro.Top = ((y - Cuadro.Height / 2) / 4) * 4;
  if (!botonIzquierdo) {
    NuevoTrazo = true;
  } else {
    if (NuevoTrazo) GuardarUndo();
    NuevoTrazo = false;
    Grabado = false;
    const int item = controles_.rg_pintar.ItemIndex();
    if (item >= 0 && item < ItemJugador)
      Pintar(CodigosSuelo[item]);
    else if (item == ItemJugador)
      Colocar(controles_.cb_jugador.ItemIndex());
  }
  if (visibleAntes) Redibujar(antes);
  Redibujar(Cuadro.Area());
}

void TF_CrearCircuito::Pintar(char codigo) {
  const int c0 = Cuadro.Left / 4, r0 = Cuadro.Top / 4;
  for (int c = std::max(c0, 0); c < std::min(c0 + Cuadro.Width / 4, AnchoMascara); ++c)
    for (int r = std::max(r0, 0); r < std::min(r0 + Cuadro.Height / 4, AltoMascara); ++r) {
      CircuitoEditado->Celda(c, r) = codigo;
      marcada_[Indice(c, r)] = true;
    }
}

// Places position k + 1 (k = 16: the pit) under the cursor and moves the
// choice on to the next position; the pit stays chosen once reached.
void TF_CrearCircuito::Colocar(int k) {
  if (k < 0 || k > 16) return;
  const TSalida s{int16_t(Cuadro.Left), int16_t(Cuadro.Top), controles_.AnguloActual};
  (k < 16 ? CircuitoEditado->Salidas[size_t(k + 1)] : CircuitoEditado->Box) = s;
  PonerCoche(k + 1, s, controles_.cb_jugador.Text());
  if (k < 16) controles_.cb_jugador.SetItemIndex(k + 1);
}

}  // namespace rodavia
