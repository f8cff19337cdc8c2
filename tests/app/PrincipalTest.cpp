#include "app/Principal.h"

#include <gtest/gtest.h>

#include "app/Mundo.h"
#include "net/Tramas.h"
#include "platform/Application.h"
#include "platform/Machine.h"
#include "race/Coche.h"

namespace rodavia {
namespace {

using namespace test;

// Two circuits, named so that case decides their order.
struct MundoPrincipal : Mundo {
  MundoPrincipal() {
    Circuito("Bosque");
    Circuito("alameda");
  }
};

TEST(PrincipalTest, StartsWithTheDefaultsWhenThereIsNoConfiguration) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  EXPECT_TRUE(m.mensajes.shown.empty());
  for (const char* carpeta : {"Circuitos", "Coches", "Graficos", "Jugadores", "Sonidos"})
    EXPECT_TRUE(m.carpeta.Exists(carpeta));
  EXPECT_TRUE(m.pantalla.fullScreen);
  EXPECT_TRUE(m.pantalla.initialized);
  EXPECT_TRUE(p->Borderless);
  EXPECT_EQ(p->e_NumVueltas->Text(), "3");
  EXPECT_EQ(p->e_IP->Text(), "192.168.0.1");
  EXPECT_EQ(p->e_Equipo->Text(), EquipoPorDefecto(ComputerName()));
  EXPECT_TRUE(p->cb_colisiones->Checked());
  EXPECT_EQ(p->framesEntreTramas, 3);
  EXPECT_EQ(p->TeclaSalir, 27);
  EXPECT_EQ(p->TeclaFrames, 27);
  EXPECT_EQ(p->TeclaControles, 27);
  EXPECT_FALSE(p->VerFrames);
  // Circuits in name order without regard to case.
  EXPECT_EQ(p->cb_Circuito->Items, (std::vector<std::string>{"alameda", "Bosque"}));
  EXPECT_EQ(p->cb_Circuito->Text(), "alameda");
  EXPECT_EQ(p->Circuito()->Nombre, "alameda");
  EXPECT_EQ(p->e_Record->Text(), "36:00:000");
  EXPECT_EQ(p->l_Version->Caption, "Versión 0.79 BETA");
  // The circuit picture is the background, the light sits over it.
  EXPECT_EQ(p->Fondo->Z(), -1);
  EXPECT_EQ(p->Semaforo->Width, 50);
  EXPECT_EQ(p->Semaforo->Height, 50);
  EXPECT_EQ(p->DXImageList.find("Circuito")->picture().width(), 1024);
  // The lobby's preview shows that same picture, not a copy.
  EXPECT_EQ(&p->i_circuito->Shown(), &p->DXImageList.find("Circuito")->picture());
}

TEST(PrincipalTest, OffersOnlyCircuitsWithBothFilesAndSelectsTheConfiguredOne) {
  MundoPrincipal m;
  m.carpeta.Write("Circuitos/SoloFoto.jpg", "x");
  m.carpeta.Write("Circuitos/SoloDatos.cfg", "x");
  m.carpeta.Write("Rodavia.ini", "[Circuito]\r\nNombre=BOSQUE\r\n");
  auto p = m.Arrancar();
  EXPECT_EQ(p->cb_Circuito->Items.size(), 2u);
  EXPECT_EQ(p->cb_Circuito->Text(), "Bosque");

  m.carpeta.Write("Rodavia.ini", "[Circuito]\r\nNombre=Borrado\r\n");
  p->LlenarListaCircuitos();
  EXPECT_EQ(p->cb_Circuito->Text(), "alameda");
}

// A picture of another size than the screen is no circuit: when it would be
// chosen the player is told which and why, it leaves the list and the next
// one is chosen; with none left the program ends as without circuits.
TEST(PrincipalTest, ACircuitPictureOfAnotherSizeIsToldAndNotRaced) {
  MundoPrincipal m;
  const auto pequena = EncodeJpeg(RgbImage(800, 600), 80);
  m.carpeta.Write("Circuitos/Chico.jpg", std::string(pequena.begin(), pequena.end()));
  m.carpeta.Write("Circuitos/Chico.cfg", "");
  m.carpeta.Write("Rodavia.ini", "[Circuito]\r\nNombre=Chico\r\n");
  auto p = m.Arrancar();
  EXPECT_EQ(m.mensajes.Texts(), std::vector<std::string>{"El circuito ..\\Circuitos\\Chico.jpg ha de ser de 1024 X 768 "
                                                         "pixels: no se puede jugar en él."});
  EXPECT_EQ(p->cb_Circuito->Items, (std::vector<std::string>{"alameda", "Bosque"}));
  EXPECT_EQ(p->cb_Circuito->Text(), "alameda");
  EXPECT_EQ(p->Circuito()->Nombre, "alameda");
}

TEST(PrincipalTest, EscapeInTheLobbyClosesAndSavesTheNineKeysInSectionOrder) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  p->Visible = true;
  p->FormKeyDown(27, {});
  EXPECT_FALSE(p->Visible);
  // Escape is also the frame-rate and control-bar key: both flags toggle first.
  EXPECT_EQ(m.carpeta.Read("Rodavia.ini"),
            "[Perfil]\r\nNombre=\r\nColisiones=1\r\n"
            "[Circuito]\r\nNombre=alameda\r\nVueltas=3\r\n"
            "[Conexiones]\r\nIP=192.168.0.1\r\nEquipo=" + EquipoPorDefecto(ComputerName()) + "\r\n"
            "[Pantalla]\r\nPantallaCompleta=1\r\nVerFrames=1\r\nVerControles=1\r\n");
}

TEST(PrincipalTest, ClosingKeepsKeysItDoesNotWrite) {
  MundoPrincipal m;
  m.carpeta.Write("Rodavia.ini",
                  "[Teclas]\r\nSalir=-13\r\n[Conexiones]\r\nPuerto=7000\r\nIP=10.0.0.1\r\n");
  auto p = m.Arrancar();
  EXPECT_EQ(p->TeclaSalir, -13);
  p->FormKeyDown(27, {});
  EXPECT_TRUE(p->VerFrames);  // Escape still toggles the frame rate
  p->Visible = true;
  p->FormKeyDown(13, {});  // |-13| is Enter: the stop key
  EXPECT_FALSE(p->Visible);
  const std::string ini = m.carpeta.Read("Rodavia.ini");
  EXPECT_EQ(ini.find("[Teclas]\r\nSalir=-13\r\n[Conexiones]\r\nPuerto=7000\r\nIP=10.0.0.1\r\nEquipo="),
            0u);
  EXPECT_EQ(ini.find("Sonidos"), std::string::npos);
  EXPECT_EQ(ini.find("FramesEntreTramas"), std::string::npos);
}

TEST(PrincipalTest, AKeyThatNamesNoKeyReadsAsEscape) {
  MundoPrincipal m;
  m.carpeta.Write("Rodavia.ini", "[Teclas]\r\nSalir=-32768\r\nFrames=255\r\nControles=0\r\n");
  auto p = m.Arrancar();
  EXPECT_EQ(p->TeclaSalir, 27);
  EXPECT_EQ(p->TeclaFrames, 27);
  EXPECT_EQ(p->TeclaControles, 27);
  p->Visible = true;
  p->FormKeyDown(27, {});
  EXPECT_FALSE(p->Visible);  // the race can be stopped
}

TEST(PrincipalTest, MissingFilesEndTheProgramAfterTheirMessage) {
  struct Caso {
    const char* fichero;
    const char* mensaje;
  } casos[] = {
      {"Sonidos/Sirena.wav", "No se encuentra el fichero ..\\Sonidos\\Sirena.wav"},
      {"Graficos/HumoMotor.bmp", "No se encuentra el fichero ..\\Graficos\\HumoMotor.bmp"},
      {"Circuitos/alameda.jpg", nullptr},  // the other circuit still starts
      {"Coches/F1-Vanto-Rojo.bmp", "No se encuentra el fichero ..\\Coches\\F1-Vanto-Rojo.bmp"},
  };
  for (const Caso& caso : casos) {
    MundoPrincipal m;
    std::filesystem::remove(m.carpeta.path() / caso.fichero);
    if (!caso.mensaje) {
      EXPECT_EQ(m.Arrancar()->cb_Circuito->Text(), "Bosque");
      continue;
    }
    EXPECT_THROW(m.Arrancar(), ProgramEnd) << caso.fichero;
    EXPECT_EQ(m.mensajes.Texts(), std::vector<std::string>{caso.mensaje});
    EXPECT_FALSE(m.pantalla.initialized);
    EXPECT_FALSE(m.carpeta.Exists("Rodavia.ini"));
  }
}

TEST(PrincipalTest, NoCircuitAtAllEndsTheProgram) {
  MundoPrincipal m;
  std::filesystem::remove_all(m.carpeta.path() / "Circuitos");
  EXPECT_THROW(m.Arrancar(), ProgramEnd);
  EXPECT_EQ(m.mensajes.Texts(),
            std::vector<std::string>{"No se encuentra ningún circuito en la carpeta ..\\Circuitos."});
}

TEST(PrincipalTest, FullScreenFailureFallsBackToAWindowAfterItsMessage) {
  MundoPrincipal m;
  m.pantalla.failFullScreen = true;
  auto p = m.Arrancar();
  EXPECT_EQ(m.mensajes.Texts(),
            std::vector<std::string>{"No se puede poner el modo de pantalla a 1024x768x16"});
  EXPECT_TRUE(m.pantalla.initialized);
  EXPECT_FALSE(m.pantalla.fullScreen);
  EXPECT_FALSE(p->Borderless);
  // Alt+Enter asks for full screen again.
  m.pantalla.failFullScreen = false;
  p->FormKeyDown(13, {false, true, false});
  EXPECT_TRUE(m.pantalla.fullScreen);
}

TEST(PrincipalTest, AnUnreadableConfigurationIsReportedAndTheDisplayStillSet) {
  MundoPrincipal m;
  std::filesystem::create_directories(m.carpeta.path() / "Rodavia.ini");  // exists, cannot be read
  auto p = m.Arrancar();
  EXPECT_EQ(m.mensajes.Texts(), std::vector<std::string>{"Error leyendo datos del fichero de configuración."});
  EXPECT_TRUE(m.pantalla.initialized) << "races must be visible";
  EXPECT_EQ(p->e_NumVueltas->Text(), "3");
}

TEST(PrincipalTest, LightFramesAreASixthOfThePictureWidthInWholePixels) {
  MundoPrincipal m;
  m.carpeta.Write("Graficos/Semaforo.bmp", Bmp(303, 40));
  auto p = m.Arrancar();
  EXPECT_EQ(p->DXImageList.find("Semaforo")->frameWidth, 50);
  EXPECT_EQ(p->DXImageList.find("Semaforo")->frameCount(), 6);
  EXPECT_EQ(p->DXImageList.find("HumoMotor")->frameCount(), 4);
}

TEST(PrincipalTest, TextsWithASlashAreDrawnOnTwoLines) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  p->EncolarMarcador({"1:23:456/ 2 Laps", 100, 200, 0xFFFFFF, 12});
  p->EncolarMarcador({"/abajo", 10, 20, 0xFF, 16});
  p->EncolarMarcador({"Ana", 5, 6, 0xFFFFFF, 12});
  p->t_cochesTimer();
  ASSERT_EQ(m.texto.drawn.size(), 5u);
  EXPECT_EQ(m.texto.drawn[0].text, "1:23:456");
  EXPECT_EQ(m.texto.drawn[0].y, 184);
  EXPECT_EQ(m.texto.drawn[1].text, "2 Laps");
  EXPECT_EQ(m.texto.drawn[1].x, 100);
  EXPECT_EQ(m.texto.drawn[1].y, 200);
  EXPECT_EQ(m.texto.drawn[2].text, "");
  EXPECT_EQ(m.texto.drawn[3].text, "abajo");
  EXPECT_EQ(m.texto.drawn[3].points, 16);
  EXPECT_EQ(m.texto.drawn[4].text, "Ana");
  EXPECT_TRUE(p->Marcadores.empty());
  EXPECT_EQ(m.pantalla.flips, 1);
}

TEST(PrincipalTest, TheSecondLineKeepsItsFirst100CharactersWhole) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  std::string larga;
  for (int i = 0; i < 60; ++i) larga += "ñá";  // two bytes a character
  p->EncolarMarcador({"Chat/" + larga, 10, 20, 0xFFFFFF, 12});
  p->EncolarMarcador({"x/" + std::string(99, 'a') + "€b", 10, 40, 0xFFFFFF, 12});
  p->t_cochesTimer();
  ASSERT_EQ(m.texto.drawn.size(), 4u);
  EXPECT_EQ(m.texto.drawn[1].text, larga.substr(0, 200));
  EXPECT_EQ(m.texto.drawn[3].text, std::string(99, 'a') + "€");
}

TEST(PrincipalTest, TextsWaitForAFrameThatCanBeDrawn) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  m.pantalla.initialized = false;
  p->EncolarMarcador({"uno", 0, 0, 0xFFFFFF, 12});
  p->t_cochesTimer();
  EXPECT_TRUE(m.texto.drawn.empty());
  m.pantalla.initialized = true;
  p->EncolarMarcador({"dos", 0, 0, 0xFFFFFF, 12});
  p->t_cochesTimer();
  ASSERT_EQ(m.texto.drawn.size(), 2u);
  EXPECT_EQ(m.texto.drawn[0].text, "uno");
}

TEST(PrincipalTest, AChatLineShowsOverTheRaceOn201Frames) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  p->EscribirChat("Sistema", "hola");
  int mostrado = 0;
  for (int tick = 0; tick < 300; ++tick) {
    m.texto.drawn.clear();
    p->t_cochesTimer();
    for (auto& d : m.texto.drawn)
      if (d.text == "<Sistema> hola") {
        ++mostrado;
        EXPECT_EQ(d.x, 50);
        EXPECT_EQ(d.y, 40);
        EXPECT_EQ(d.points, 16);
        EXPECT_EQ(d.color, 0xFFFF00u);  // aqua
      }
  }
  EXPECT_EQ(mostrado, 201);
}

TEST(PrincipalTest, FrameRateIsShownWhenAsked) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  p->VerFrames = true;
  p->t_cochesTimer();
  ASSERT_EQ(m.texto.drawn.size(), 1u);
  EXPECT_EQ(m.texto.drawn[0].text, "FPS: 0");
  EXPECT_EQ(m.texto.drawn[0].y, 10);
}

TEST(PrincipalTest, FrameTimerCountsItsRateOverEachSecond) {
  MundoPrincipal m;
  auto p = m.Arrancar();
  p->t_coches.SetEnabled(true);
  for (int i = 0; i < 34; ++i) {
    m.reloj.ticks += 30;
    p->t_coches.Idle(m.reloj.ticks);
  }
  EXPECT_EQ(p->t_coches.FrameRate(), 33);
  p->t_coches.SetEnabled(false);
}

}  // namespace
}  // namespace rodavia
