// A race on the main window without a network: the start button, the grid,
// the starting light's timing, driving from the keyboard and the stop key.
#include <gtest/gtest.h>

#include "app/Mundo.h"
#include "platform/Application.h"
#include "race/Coche.h"

namespace rodavia {
namespace {

using namespace test;

struct CarreraTest : ::testing::Test, Mundo {
  std::unique_ptr<TF_Principal> p;

  CarreraTest() {
    carpeta.Write("Jugadores/Ana.ini", "[Perfil]\r\nNombre=Ana\r\n");
    Circuito("Pista", [](TCircuito& c) { c.Salidas[1] = {400, 300, 9}; });  // facing right
    p = Arrancar();
    p->Visible = true;
  }
  ~CarreraTest() override { p.reset(); }

  // Lets the clock run, ticking every timer as the idle loop would.
  void Esperar(int ms) {
    for (int t = 0; t < ms; t += 10) {
      reloj.ticks += 10;
      IdleAllTimers(reloj.ticks);
    }
  }
};

TEST_F(CarreraTest, PlayIsRefusedWithoutPlayers) {
  p->sb_jugar->Click();
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"Hay que añadir a la partida almenos un jugador."});
  EXPECT_FALSE(p->sb_jugar->Down());
  EXPECT_FALSE(pantalla.visible);
}

TEST_F(CarreraTest, TheRaceStartsOnTheGridAndTheLightCountsDown) {
  p->AnyadirJugador("Ana");
  ASSERT_EQ(p->Jugadores().size(), 1u);
  TCoche& coche = *p->Jugadores()[0];
  EXPECT_EQ(coche.Indice, 1);
  EXPECT_EQ(p->l_Chat->Items.back(), "<Sistema> El jugador Ana de este equipo se ha unido a la partida.");

  p->sb_jugar->Click();
  EXPECT_TRUE(p->sb_jugar->Down());
  EXPECT_TRUE(pantalla.visible);
  EXPECT_FALSE(pantalla.cursorVisible);
  EXPECT_FALSE(p->cb_Circuito->Showing());
  EXPECT_FALSE(p->sb_salir->Showing());
  EXPECT_TRUE(coche.Visible);
  EXPECT_EQ(coche.X, 400);
  EXPECT_EQ(coche.Y, 300);
  EXPECT_EQ(coche.Rotulo, "Ana");
  EXPECT_EQ(p->NumVueltas, 3);
  EXPECT_EQ(sonido.logs["Sirena.wav"]->plays, 1);
  EXPECT_EQ(sonido.logs["Motor.wav"]->frequency, 750);

  // Frames 1..5 every 750 ms, nothing moves; at 4500 ms the loop starts.
  entrada.keyboard.down.insert(38);  // up arrow held from the start
  for (int frame = 1; frame <= 5; ++frame) {
    Esperar(750);
    EXPECT_EQ(p->Semaforo->Frame, frame);
    EXPECT_FALSE(p->t_coches.Enabled());
    EXPECT_EQ(coche.X, 400);
  }
  Esperar(750);
  EXPECT_TRUE(p->t_coches.Enabled());
  EXPECT_EQ(p->Semaforo->Frame, 0);
  EXPECT_TRUE(p->Semaforo->Visible);
  Esperar(750);
  EXPECT_FALSE(p->t_semaforo.Enabled());
  EXPECT_FALSE(p->Semaforo->Visible);
  EXPECT_GT(coche.X, 400);  // driving right, about 5 degrees down after the heading jump
  EXPECT_LT(coche.Y - 300, (coche.X - 400) / 5);
  EXPECT_GT(pantalla.flips, 20);

  // The stop key ends it without results and brings the lobby back.
  p->FormKeyDown(27, {});
  EXPECT_FALSE(pantalla.visible);
  EXPECT_TRUE(pantalla.cursorVisible);
  EXPECT_FALSE(p->t_coches.Enabled());
  EXPECT_FALSE(coche.Visible);
  EXPECT_GE(sonido.logs["Motor.wav"]->stops, 1);
  EXPECT_TRUE(p->cb_Circuito->Showing());
  EXPECT_TRUE(p->cb_Circuito->Enabled);
  EXPECT_FALSE(p->sb_jugar->Down());
  EXPECT_TRUE(p->Visible) << "Escape during a race does not close the window";
  EXPECT_EQ(mensajes.shown.size(), 0u);
}

TEST_F(CarreraTest, ALapCountThatIsNotANumberRacesFiveLaps) {
  p->AnyadirJugador("Ana");
  p->e_NumVueltas->SetText("x");
  p->sb_jugar->Click();
  EXPECT_EQ(p->NumVueltas, 5);
  EXPECT_TRUE(mensajes.shown.empty());
}

TEST_F(CarreraTest, EscapeDuringTheCountdownStopsBothTimers) {
  p->AnyadirJugador("Ana");
  p->sb_jugar->Click();
  Esperar(1600);
  p->FormKeyDown(27, {});
  EXPECT_FALSE(p->t_semaforo.Enabled());
  EXPECT_FALSE(p->t_coches.Enabled());
  Esperar(5000);
  EXPECT_FALSE(p->t_coches.Enabled());
}

// However many starts were stopped during the countdown, the next one lights
// its lights 750 ms apart, with its own siren only.
TEST_F(CarreraTest, AfterStoppedStartsTheCountdownTakesItsFullTime) {
  p->AnyadirJugador("Ana");
  for (int parada = 0; parada < 3; ++parada) {
    p->sb_jugar->Click();
    Esperar(1000 + 370 * parada);
    p->FormKeyDown(27, {});
    EXPECT_EQ(sonido.logs["Sirena.wav"]->stops, parada + 1);
    Esperar(200);
  }
  p->sb_jugar->Click();
  for (int frame = 1; frame <= 5; ++frame) {
    Esperar(740);
    EXPECT_EQ(p->Semaforo->Frame, frame - 1);
    Esperar(10);
    EXPECT_EQ(p->Semaforo->Frame, frame);
  }
  EXPECT_FALSE(p->t_coches.Enabled());
}

TEST_F(CarreraTest, EscapeWhileTheGridIsShownAbandonsTheStart) {
  p->AnyadirJugador("Ana");
  // The player presses Escape while the start shows the still grid.
  bool pulsado = false;
  SetProcessMessages([&] {
    if (!pulsado) p->FormKeyDown(27, {});
    pulsado = true;
  });
  p->sb_jugar->Click();
  SetProcessMessages(nullptr);
  ASSERT_TRUE(pulsado);
  EXPECT_FALSE(pantalla.visible);
  EXPECT_FALSE(p->sb_jugar->Down());
  EXPECT_FALSE(p->t_semaforo.Enabled()) << "no light in the lobby";
  EXPECT_EQ(sonido.logs["Sirena.wav"]->plays, 0);
  Esperar(6000);
  EXPECT_FALSE(p->t_coches.Enabled());
}

TEST_F(CarreraTest, ControlBarsShowDuringTheRaceOnlyWhenAsked) {
  p->AnyadirJugador("Ana");
  p->sb_jugar->Click();
  EXPECT_FALSE(p->pb_acelerador->Showing());
  p->TeclaSalir = 0;  // keep Escape from ending the race here
  p->FormKeyDown(27, {});
  EXPECT_TRUE(p->VerControles);
  EXPECT_TRUE(p->pb_acelerador->Showing());
  entrada.keyboard.down.insert(38);
  Esperar(5400);
  EXPECT_GT(p->pb_acelerador->Position, 60);
  p->TerminarCarrera();
  EXPECT_FALSE(p->pb_acelerador->Showing());
}

TEST_F(CarreraTest, RosterRefusesTheSamePlayerAndTakesTheSmallestFreeIndex) {
  carpeta.Write("Jugadores/Bea.ini", "[Perfil]\r\n");
  carpeta.Write("Jugadores/Cris.ini", "[Perfil]\r\n");
  p->AnyadirJugador("Ana");
  p->AnyadirJugador("Ana");
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"En la partida ya hay un jugador con el mismo nombre."});
  p->AnyadirJugador("Bea");
  p->AnyadirJugador("Cris");
  EXPECT_EQ(p->Jugadores()[2]->Indice, 3);
  EXPECT_EQ(p->Jugadores()[2]->Z(), 13);
  EXPECT_EQ(p->lv_jugadores->Items.size(), 3u);
  EXPECT_TRUE(p->lv_jugadores->Items[0].Checked);
}

}  // namespace
}  // namespace rodavia
