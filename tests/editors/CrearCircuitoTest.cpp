// The circuit editor driven as a player drives it: the canvas gets mouse
// movements, the tool window gets clicks and choices, the picture-open
// choice and the message boxes answer from a script.
#include "editors/CrearCircuito.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "editors/ControlesCrearCircuito.h"
#include "fakes/Fakes.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Picture.h"

namespace rodavia::test {
namespace {

std::string Jpeg(int ancho, int alto) {
  const auto bytes = EncodeJpeg(RgbImage(ancho, alto), 90);
  return std::string(bytes.begin(), bytes.end());
}

// 36 frames, frame i filled with red 7 * i, so a frame can be recognised.
std::string CochePrueba() {
  RgbImage imagen(1296, 36);
  for (int y = 0; y < 36; ++y)
    for (int x = 0; x < 1296; ++x) imagen.at(x, y)[0] = uint8_t(7 * (x / 36));
  const auto bytes = EncodeBmp24(imagen);
  return std::string(bytes.begin(), bytes.end());
}

// A cell outline over the black test picture: half the mask colour.
uint16_t Tinte(uint32_t color) { return ColorRefTo565((color >> 1) & 0x7F7F7F); }

int CeldasCon(const TCircuito& c, char codigo) {
  return int(std::count(c.Mascara.begin(), c.Mascara.end(), codigo));
}

std::vector<std::string> Lineas(const std::string& texto) {
  std::vector<std::string> lineas;
  size_t inicio = 0;
  for (size_t fin; (fin = texto.find("\r\n", inicio)) != std::string::npos; inicio = fin + 2)
    lineas.push_back(texto.substr(inicio, fin - inicio));
  return lineas;
}

class CrearCircuitoTest : public ::testing::Test {
 protected:
  CrearCircuitoTest() {
    carpeta.Write("Coches/F1-Vanto-Rojo.bmp", CochePrueba());
    carpeta.Write("Circuitos/Ovalo.jpg", Jpeg(1024, 768));
    SetOpenDialog([this](TOpenDialog& d) {
      if (elegido.empty()) return false;
      d.FileName = d.InitialDir + "/" + elegido;
      return true;
    });
    lienzo = std::make_unique<TF_CrearCircuito>(controles);
    lienzo->FormActivate();
  }
  ~CrearCircuitoTest() override {
    SetOpenDialog(nullptr);
    SetShowModal(nullptr);
  }

  bool Cargar(const std::string& fichero) { return Cargar(*lienzo, fichero); }
  bool Cargar(TF_CrearCircuito& en, const std::string& fichero) {
    elegido = fichero;
    return en.LeerCircuito();
  }
  // A stroke: the button goes down on the first point and is released after the last.
  void Trazo(std::initializer_list<std::pair<int, int>> puntos) { Trazo(*lienzo, puntos); }
  static void Trazo(TF_CrearCircuito& en, std::initializer_list<std::pair<int, int>> puntos) {
    for (auto [x, y] : puntos) en.FormMouseMove(x, y, true);
    en.FormMouseMove(puntos.begin()->first, puntos.begin()->second, false);
  }
  uint16_t Pixel(int x, int y) const { return lienzo->Fondo.Picture.pixel(x, y); }
  TCircuito& Circuito() { return *lienzo->CircuitoEditado; }

  TempProgramFolder carpeta;
  FakeClock reloj{46000.5, 10000};
  ScriptedMessages mensajes;
  TF_ControlesCrearCircuito controles;
  std::unique_ptr<TF_CrearCircuito> lienzo;
  std::string elegido;
};

TEST_F(CrearCircuitoTest, UnaImagenSinDescripcionAbreConHierbaYLaColumnaDeSalida) {
  EXPECT_EQ(lienzo->Caption, "CrearCircuito");
  EXPECT_EQ(controles.Caption, "Controles del editor");
  EXPECT_EQ(controles.ClientWidth, 226);
  EXPECT_EQ(controles.ClientHeight, 335);
  EXPECT_FALSE(Cargar(""));  // cancelled: nothing loaded
  EXPECT_FALSE(lienzo->CircuitoCargado);

  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  EXPECT_TRUE(lienzo->CircuitoCargado);
  EXPECT_TRUE(lienzo->Grabado);
  EXPECT_EQ(Circuito().Nombre, "Ovalo");
  EXPECT_EQ(CeldasCon(Circuito(), '1'), AnchoMascara * AltoMascara);
  EXPECT_EQ(lienzo->MascaraUndo, Circuito().Mascara);
  for (int n = 1; n <= 16; ++n) {
    const TImage* coche = lienzo->BuscarImagenCoche(n);
    EXPECT_EQ(coche->Left, 0);
    EXPECT_EQ(coche->Top, 40 * n);
    EXPECT_EQ(coche->Picture.pixel(0, 0), To565(63, 0, 0));  // frame 9
  }
  EXPECT_EQ(lienzo->BuscarImagenCoche(17)->Top, 680);
  EXPECT_EQ(lienzo->BuscarImagenCoche(18), nullptr);
  EXPECT_EQ(controles.e_Nombre.Text(), "Desconocido");
  EXPECT_EQ(controles.Colores[1]->Text(), "Verde");

  // Every cell is outlined in grass green over the picture; the centre and
  // the fourth row and column show the picture.
  const uint16_t verde = Tinte(0x008000);
  EXPECT_EQ(Pixel(100, 200), verde);
  EXPECT_EQ(Pixel(102, 202), verde);
  EXPECT_NE(Pixel(101, 201), verde);
  EXPECT_NE(Pixel(103, 200), verde);
  EXPECT_NE(Pixel(100, 203), verde);
  EXPECT_TRUE(mensajes.Texts().empty());
}

TEST_F(CrearCircuitoTest, ElCuadroSeCentraEnElPunteroSobreLaRejillaDe4) {
  lienzo->FormMouseMove(300, 300, false);
  EXPECT_FALSE(lienzo->Cuadro.Visible);  // nothing before a circuit is loaded
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  controles.bb_masClick();
  controles.bb_masClick();
  EXPECT_EQ(lienzo->Cuadro.Width, 12);
  lienzo->FormMouseMove(101, 203, false);
  EXPECT_TRUE(lienzo->Cuadro.Visible);
  EXPECT_EQ(lienzo->Cuadro.Left, 92);   // (101 - 6) div 4 * 4
  EXPECT_EQ(lienzo->Cuadro.Top, 196);   // (203 - 6) div 4 * 4
  EXPECT_EQ(Pixel(92, 196), To565(255, 255, 0));
  EXPECT_EQ(Pixel(103, 207), To565(255, 255, 0));
  // Division truncates toward zero, so near the left edge the square goes
  // one step less far out than a floor would take it.
  lienzo->FormMouseMove(1, 1, false);
  EXPECT_EQ(lienzo->Cuadro.Left, -4);
  EXPECT_EQ(Pixel(92, 196), Tinte(0x008000));  // the old square is gone
  for (int i = 0; i < 30; ++i) controles.bb_masClick();
  EXPECT_EQ(lienzo->Cuadro.Width, 80);
  for (int i = 0; i < 30; ++i) controles.bb_menosClick();
  EXPECT_EQ(lienzo->Cuadro.Height, 4);
  for (int x = 0; x < 50; x += 7) {
    lienzo->FormMouseMove(x, x + 3, false);
    EXPECT_EQ(lienzo->Cuadro.Left % 4, 0);
    EXPECT_EQ(lienzo->Cuadro.Top % 4, 0);
  }
}

TEST_F(CrearCircuitoTest, PintarSoloGuardaLasCeldasBajoElPincelDentroDeLaRejilla) {
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  controles.rg_pintar.SetItemIndex(3);  // Pared
  Trazo({{41, 22}});
  EXPECT_EQ(CeldasCon(Circuito(), 'P'), 1);
  EXPECT_EQ(Circuito().Celda(9, 5), 'P');
  EXPECT_FALSE(lienzo->Grabado);
  lienzo->FormMouseMove(400, 400, false);
  EXPECT_EQ(Pixel(36, 20), Tinte(0x0000FF));  // the wall cell, red, once the square left it

  for (int i = 0; i < 19; ++i) controles.bb_masClick();
  ASSERT_EQ(lienzo->Cuadro.Width, 80);
  controles.rg_pintar.SetItemIndex(2);  // Arena
  Trazo({{1030, 775}});                 // cells 247..266 x 183..202: only 10 x 10 inside
  EXPECT_EQ(CeldasCon(Circuito(), '2'), 100);
  EXPECT_EQ(Circuito().Celda(256, 192), '2');
  controles.rg_pintar.SetItemIndex(0);
  Trazo({{-30, -30}});  // cells -17..2 x -17..2
  EXPECT_EQ(CeldasCon(Circuito(), '0'), 9);
  EXPECT_EQ(Circuito().Celda(2, 2), '0');
}

TEST_F(CrearCircuitoTest, UnTrazoEsUnPasoDeDeshacerYDeshacerIntercambiaLasRejillas) {
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  controles.rg_pintar.SetItemIndex(0);
  Trazo({{10, 10}});
  const auto trasPrimero = Circuito().Mascara;
  Trazo({{100, 100}, {104, 100}, {108, 100}, {200, 300}});
  EXPECT_EQ(CeldasCon(Circuito(), '0'), 5);
  lienzo->Grabado = true;
  controles.bb_UndoClick();
  EXPECT_EQ(Circuito().Mascara, trasPrimero);
  EXPECT_TRUE(lienzo->Grabado);  // undo marks nothing
  EXPECT_EQ(Pixel(100, 96), Tinte(0x008000));
  controles.bb_UndoClick();
  EXPECT_EQ(CeldasCon(Circuito(), '0'), 5);
  EXPECT_EQ(Pixel(100, 96), Tinte(0x808080));
}

TEST_F(CrearCircuitoTest, ColocarJugadorAvanzaLaEleccionHastaBoxYNoSaleDeLas17) {
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  controles.rg_pintar.SetItemIndex(9);
  EXPECT_EQ(lienzo->Cuadro.Width, 36);
  EXPECT_FALSE(controles.bb_mas.Enabled);
  controles.bb_MasAnguloClick();
  controles.bb_MasAnguloClick();
  Trazo({{218, 318}});  // square at (200, 300)
  EXPECT_EQ(Circuito().Salidas[1].X, 200);
  EXPECT_EQ(Circuito().Salidas[1].Y, 300);
  EXPECT_EQ(Circuito().Salidas[1].Angulo, 2);
  EXPECT_EQ(controles.cb_jugador.Text(), " 2 ");
  EXPECT_EQ(lienzo->BuscarImagenCoche(1)->Left, 200);
  EXPECT_EQ(lienzo->BuscarImagenCoche(1)->Picture.pixel(0, 0), To565(14, 0, 0));
  EXPECT_EQ(CeldasCon(Circuito(), '1'), AnchoMascara * AltoMascara);  // placing paints nothing

  // The car just placed takes the mouse: moving over it does nothing.
  lienzo->FormMouseMove(220, 320, true);
  EXPECT_EQ(controles.cb_jugador.Text(), " 2 ");

  controles.cb_jugador.Choose(15);
  Trazo({{418, 418}});
  EXPECT_EQ(Circuito().Salidas[16].X, 400);
  EXPECT_EQ(controles.cb_jugador.Text(), "BOX");
  Trazo({{518, 518}});
  Trazo({{618, 518}});
  EXPECT_EQ(Circuito().Box.X, 600);
  EXPECT_EQ(controles.cb_jugador.Text(), "BOX");
  EXPECT_EQ(lienzo->BuscarImagenCoche(17)->Left, 600);
  for (int n = 2; n <= 15; ++n) EXPECT_EQ(Circuito().Salidas[size_t(n)].Y, 40 * n);
}

// A damaged description is told with the lobby's words, and never written
// back over.
TEST_F(CrearCircuitoTest, UnaDescripcionDanadaSeAvisaAlAbrirla) {
  std::string danada;
  for (int fila = 0; fila < 193; ++fila) danada += "\r\n";
  carpeta.Write("Circuitos/Ovalo.cfg", danada + "Ovalo\r\nT\r\nA\r\nE\r\nno es un número\r\n");
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"Error al crear la clase circuito. Su descripción está dañada: "
                                                       "no se guardarán en ella récords ni cambios."});
}

TEST_F(CrearCircuitoTest, UnaImagenDeOtroTamanoAvisaYConservaElCircuitoAnterior) {
  carpeta.Write("Circuitos/Chico.jpg", Jpeg(800, 600));
  carpeta.Write("Circuitos/Roto.jpg", "no es una imagen");
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  EXPECT_FALSE(Cargar("Roto.jpg"));
  EXPECT_FALSE(Cargar("Chico.jpg"));
  EXPECT_EQ(mensajes.Texts(),
            (std::vector<std::string>{"Error al cargar el circuito.", "El circuito ha de ser de 1024 X 768 pixels."}));
  EXPECT_EQ(Circuito().Nombre, "Ovalo");
  EXPECT_FALSE(lienzo->Fondo.Visible);
  EXPECT_EQ(Pixel(100, 200), 0);  // the picture area is blank
  controles.rg_pintar.SetItemIndex(3);
  Trazo({{42, 42}});
  EXPECT_EQ(CeldasCon(Circuito(), 'P'), 1);  // painting still edits the earlier circuit
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  EXPECT_TRUE(lienzo->Fondo.Visible);
}

TEST_F(CrearCircuitoTest, GrabarEscribeLaDescripcionConLosTextosDeLaVentana) {
  controles.bb_GrabarClick();
  controles.bb_UndoClick();
  controles.sb_mascara.Click();
  controles.sb_coches.Click();
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>(4, "Primero ha de cargar un circuito."));
  EXPECT_TRUE(controles.sb_mascara.Down());
  EXPECT_TRUE(controles.sb_coches.Down());
  mensajes.shown.clear();

  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  controles.rg_pintar.SetItemIndex(6);  // Meta: 3 x 3 cells
  Trazo({{60, 60}});
  controles.e_Nombre.SetText("Óvalo rápido");
  controles.e_Autor.SetText("");
  controles.e_email.SetText("yo@example.com");
  controles.bb_GrabarClick();
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"El circuito se ha grabado."});
  EXPECT_TRUE(lienzo->Grabado);
  const auto lineas = Lineas(carpeta.Read("Circuitos/Ovalo.cfg"));
  ASSERT_EQ(lineas.size(), 260u);
  EXPECT_EQ(lineas[13].substr(12, 5), "1MMM1");
  EXPECT_EQ(lineas[193], "Ovalo");
  EXPECT_EQ(lineas[194], "Óvalo rápido");
  EXPECT_EQ(lineas[195], "");
  EXPECT_EQ(lineas[196], "yo@example.com");

  // The description is read back when the picture is opened again.
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  EXPECT_EQ(controles.e_Nombre.Text(), "Óvalo rápido");
  EXPECT_EQ(CeldasCon(Circuito(), 'M'), 9);

  // A description that cannot be written: an error, and still unsaved.
  Trazo({{160, 160}});
  std::filesystem::remove(carpeta.path() / "Circuitos" / "Ovalo.cfg");
  std::filesystem::create_directories(carpeta.path() / "Circuitos" / "Ovalo.cfg" / "x");
  mensajes.shown.clear();
  controles.bb_GrabarClick();
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"Error al guardar el circuito."});
  EXPECT_FALSE(lienzo->Grabado);
}

TEST_F(CrearCircuitoTest, LosColoresSeCambianEnElCircuitoYLosDesconocidosSeConservan) {
  {
    TCircuito c("Ovalo");
    c.Colores[3] = 0x123456;
    c.Mascara.fill('P');
    ASSERT_TRUE(c.Grabar());
  }
  controles.Colores[0]->Choose(9);
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"Primero ha de cargar un circuito."});
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  EXPECT_EQ(controles.Colores[0]->Text(), "Gris");  // the circuit's own colour
  EXPECT_EQ(controles.Colores[3]->ItemIndex(), -1);
  EXPECT_EQ(Pixel(0, 0), Tinte(0x123456));
  controles.Colores[3]->Choose(12);  // blue
  EXPECT_EQ(Circuito().Colores[3], 0xFF0000u);
  EXPECT_EQ(Pixel(500, 500), Tinte(0xFF0000));
  EXPECT_TRUE(lienzo->Grabado);  // a colour marks nothing as unsaved

  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  controles.Colores[0]->Choose(10);
  EXPECT_EQ(Circuito().Colores[0], 0x00FF00u);
  EXPECT_EQ(Circuito().Colores[3], 0x123456u);

  // The bare picture, then the mask again.
  controles.sb_mascara.Click();
  EXPECT_NE(Pixel(500, 500), Tinte(0x123456));
  controles.sb_mascara.Click();
  EXPECT_EQ(Pixel(500, 500), Tinte(0x123456));

  // The next "Grabar" saves the changed colour, and the unknown one as it was.
  controles.bb_GrabarClick();
  const TCircuito grabado("Ovalo");
  EXPECT_EQ(grabado.Colores[0], 0x00FF00u);
  EXPECT_EQ(grabado.Colores[3], 0x123456u);
}

TEST_F(CrearCircuitoTest, LosBotonesDeLaVentanaDeControles) {
  controles.rg_pintar.SetItemIndex(6);
  EXPECT_EQ(lienzo->Cuadro.Width, 12);
  EXPECT_FALSE(controles.bb_menos.Enabled);
  controles.rg_pintar.SetItemIndex(0);
  EXPECT_TRUE(controles.bb_menos.Enabled);
  EXPECT_EQ(lienzo->Cuadro.Width, 12);
  // Showing the window resets the choice, the cursor and the angle.
  controles.e_Autor.SetText("x");
  controles.rg_pintar.SetItemIndex(9);
  controles.FormShow();
  EXPECT_EQ(controles.rg_pintar.ItemIndex(), 0);
  EXPECT_EQ(lienzo->Cuadro.Width, 4);
  EXPECT_EQ(controles.e_Autor.Text(), "");
  EXPECT_EQ(controles.AnguloActual, 0);
  EXPECT_EQ(controles.Coche.Picture.pixel(0, 0), To565(0, 0, 0));
  controles.bb_MenosAnguloClick();
  EXPECT_EQ(controles.AnguloActual, 35);
  controles.bb_MasAnguloClick();
  EXPECT_EQ(controles.AnguloActual, 0);
  EXPECT_EQ(controles.cb_jugador.Items.size(), 17u);
  EXPECT_EQ(controles.cb_jugador.Items[8], " 9 ");
  EXPECT_EQ(controles.cb_jugador.Items[9], " 10");

  // Hiding the cars frees the picture under them for painting.
  ASSERT_TRUE(Cargar("Ovalo.jpg"));
  Trazo({{2, 42}});
  EXPECT_EQ(CeldasCon(Circuito(), '0'), 0);
  controles.sb_coches.Click();
  EXPECT_FALSE(lienzo->BuscarImagenCoche(1)->Visible);
  Trazo({{2, 42}});
  EXPECT_EQ(CeldasCon(Circuito(), '0'), 1);
}

TEST_F(CrearCircuitoTest, SalirConCambiosSinGrabarPregunta) {
  int preguntas = 0;
  using Editor = TF_CrearCircuito;
  auto salir = [&](std::function<void(Editor&)> antes, std::initializer_list<MsgResult> respuestas) {
    SetShowModal([&, antes, respuestas](TForm& f) {
      f.Visible = true;
      EXPECT_TRUE(controles.Visible);
      EXPECT_EQ(f.Floating, &controles);
      antes(static_cast<Editor&>(f));
      for (MsgResult r : respuestas) {
        mensajes.answers.push_back(r);
        controles.bb_SalirClick();
        if (!f.Visible) break;
      }
      preguntas = int(mensajes.shown.size());
      return 0;
    });
    mensajes.shown.clear();
    mensajes.answers.clear();
    TF_CrearCircuito editor(controles);
    editor.Mostrar();
    EXPECT_FALSE(editor.Visible);
    EXPECT_FALSE(controles.Visible);
  };
  salir([&](Editor& e) { Cargar(e, "Ovalo.jpg"); }, {MsgResult::No});
  EXPECT_EQ(preguntas, 0);  // loading leaves nothing unsaved
  salir([&](Editor& e) { Cargar(e, "Ovalo.jpg"); controles.rg_pintar.SetItemIndex(1); Trazo(e, {{9, 9}}); },
        {MsgResult::No, MsgResult::Yes});
  EXPECT_EQ(preguntas, 2);
  EXPECT_EQ(mensajes.shown[0].text, "¿ Esta seguro que quiere salir sin grabar el circuito  ?");
  EXPECT_EQ(mensajes.shown[0].buttons, MsgButtons::YesNo);
  salir([&](Editor& e) { Cargar(e, "Ovalo.jpg"); Trazo(e, {{9, 9}}); controles.bb_GrabarClick(); },
        {MsgResult::No});
  EXPECT_EQ(preguntas, 1);  // only the saved message
  salir([&](Editor& e) { Cargar(e, "Ovalo.jpg"); controles.bb_GrabarClick(); Trazo(e, {{9, 9}}); },
        {MsgResult::No, MsgResult::Yes});
  EXPECT_EQ(preguntas, 3);  // saved, then asked twice: the stroke after saving is unsaved
}

TEST_F(CrearCircuitoTest, SinElCocheDeMuestraElProgramaTermina) {
  std::filesystem::remove(carpeta.path() / "Coches" / "F1-Vanto-Rojo.bmp");
  EXPECT_THROW(TF_CrearCircuito otro(controles), ProgramEnd);
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"No se encuentra el fichero ..\\Coches\\F1-Vanto-Rojo.bmp"});
}

// Without a scripted chooser, "Cargar" opens a window that starts in
// Circuitos and goes to other folders. The game lists circuits by their
// pictures in Circuitos, so a picture from elsewhere is copied there at the
// first "Grabar"; another picture of that name is never replaced.
TEST_F(CrearCircuitoTest, CargarRecorreCarpetasYGrabarLlevaLaImagenACircuitos) {
  carpeta.Write("Circuitos/Ovalo.cfg", "");
  carpeta.Write("Circuitos/bosque.JPG", Jpeg(1024, 768));
  carpeta.Write("Fotos/Lago.jpg", Jpeg(1024, 768));
  carpeta.Write("Fotos/notas.txt", "");
  const auto otra = EncodeJpeg(RgbImage(1024, 768), 40);
  carpeta.Write("Fotos/Bosque.jpg", std::string(otra.begin(), otra.end()));
  SetOpenDialog(nullptr);
  std::vector<std::vector<std::string>> listados;
  std::vector<std::string> abrir;  // what the player opens in turn; "" cancels
  SetShowModal([&](TForm& f) {
    auto& lista = static_cast<TListBox&>(*f.Find("lb_ficheros"));
    f.Find("bb_abrir")->Click();  // nothing chosen yet: stays open
    EXPECT_EQ(f.ModalResult, 0);
    listados.clear();
    for (const std::string& item : abrir) {
      listados.push_back(lista.Items);
      if (item.empty()) {
        f.Find("bb_cancelar")->Click();
        break;
      }
      const auto p = std::find(lista.Items.begin(), lista.Items.end(), item);
      if (p == lista.Items.end()) {
        ADD_FAILURE() << item << " is not listed";
        return 0;
      }
      lista.ItemIndex = int(p - lista.Items.begin());
      if (item[0] == '[')
        lista.OnDblClick();  // a folder opens with a double click too
      else
        f.Find("bb_abrir")->Click();
    }
    return f.ModalResult;
  });
  using Lista = std::vector<std::string>;
  abrir = {""};
  EXPECT_FALSE(lienzo->LeerCircuito());
  EXPECT_EQ(listados[0], (Lista{"[..]", "bosque.JPG", "Ovalo.jpg"}));
  abrir = {"bosque.JPG"};
  ASSERT_TRUE(lienzo->LeerCircuito());
  EXPECT_EQ(Circuito().Nombre, "bosque");

  abrir = {"[..]", "[Fotos]", "Lago.jpg"};
  ASSERT_TRUE(lienzo->LeerCircuito());
  EXPECT_NE(std::find(listados[1].begin(), listados[1].end(), "[Circuitos]"), listados[1].end());
  EXPECT_EQ(listados[2], (Lista{"[..]", "Bosque.jpg", "Lago.jpg"}));
  EXPECT_EQ(Circuito().Nombre, "Lago");
  EXPECT_FALSE(std::filesystem::exists(carpeta.path() / "Circuitos" / "Lago.jpg"));
  controles.bb_GrabarClick();
  EXPECT_EQ(mensajes.Texts(), Lista{"El circuito se ha grabado."});
  EXPECT_EQ(carpeta.Read("Circuitos/Lago.jpg"), carpeta.Read("Fotos/Lago.jpg"));
  EXPECT_EQ(Lineas(carpeta.Read("Circuitos/Lago.cfg")).size(), 260u);

  abrir = {"[..]", "[Fotos]", "Bosque.jpg"};
  ASSERT_TRUE(lienzo->LeerCircuito());
  mensajes.shown.clear();
  controles.bb_GrabarClick();
  EXPECT_EQ(mensajes.Texts(), Lista{"Ya hay otra imagen ..\\Circuitos\\Bosque.jpg; cambie el nombre de la suya."});
  EXPECT_EQ(carpeta.Read("Circuitos/bosque.JPG"), Jpeg(1024, 768));
  EXPECT_FALSE(std::filesystem::exists(carpeta.path() / "Circuitos" / "Bosque.cfg"));
}

TEST(RotuloTest, EscribeNegroSobreRojo) {
  Surface16 s(36, 36, 0xFFFF);
  EscribirRotulo(s, 10, 10, "BOX");
  EXPECT_EQ(s.pixel(10, 10), To565(255, 0, 0));
  EXPECT_EQ(s.pixel(11, 11), To565(0, 0, 0));  // the B's first dot
  EXPECT_EQ(s.pixel(9, 10), 0xFFFF);
  EXPECT_EQ(s.pixel(34, 21), 0xFFFF);
  EscribirRotulo(s, 30, 30, " 16");  // clipped at the edges, no fault
}

}  // namespace
}  // namespace rodavia::test
