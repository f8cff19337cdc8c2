#include <gtest/gtest.h>

#include <cmath>

#include "CarreraComun.h"
#include "race/Humo.h"

namespace rodavia::test {
namespace {

// Headings (1/256 radian) within the bounds 360..8400 that point along the
// axes and the diagonal: 2 pi x 256 = 1608.495 units a turn.
constexpr int16_t HaciaDerecha = 3217;   // 2 turns: cos 1, sin 0.00004
constexpr int16_t HaciaAbajoDerecha = 3418;  // 2 turns + 201.06 (45 degrees) rounded down

struct Fisica : ::testing::Test {
  FakeEntorno e;
  TCoche* c = nullptr;

  // A local car of ratio 5 (acceleration 20, coasting loss 20, top speed
  // 4500) at rest at (500, 300) on asphalt.
  void SetUp() override {
    c = CocheEnPista(e, 500, 300);
    c->Rotulo.clear();
  }
  void Pulsar(int tecla) { e.entradas.keyboard.down.insert(tecla); }
  void Soltar(int tecla) { e.entradas.keyboard.down.erase(tecla); }
  // Cells from picture column x on, every row: the ground there is `suelo`.
  void Pintar(double x, char suelo) {
    e.Pintar(int(std::nearbyint((x + 14) / 4)), 0, AnchoMascara - 1, AltoMascara - 1, suelo);
  }
};

TEST_F(Fisica, FullThrottleFromRestGives20WithoutSteering) {
  c->PulsarAcelerar = 128;
  Pulsar(Arriba);
  Pulsar(Derecha);
  e.Tick();
  EXPECT_EQ(c->Acelerador, 128);
  EXPECT_EQ(c->Velocidad, 20);
  EXPECT_EQ(c->Rumbo, 3240);  // 0 is below 360: 3600 - (360 - 0); no steering at rest
  EXPECT_EQ(e.sonido.logs["Motor.wav"]->frequency, 750);
  e.Tick();
  EXPECT_EQ(e.sonido.logs["Motor.wav"]->frequency, (20 + 150) * 5);
}

TEST_F(Fisica, TopSpeedHoldsAndCoastingStopsBelowTheLoss) {
  c->PulsarAcelerar = 128;
  c->Rumbo = HaciaDerecha;
  c->X = 100;
  c->Velocidad = 4400;
  Pulsar(Arriba);
  for (int i = 0; i < 8; ++i) e.Tick();
  EXPECT_EQ(c->Velocidad, 4500);
  Soltar(Arriba);
  c->Velocidad = 105;
  e.Tick();  // the throttle falls from 128 to 64: still a pedal, +10
  EXPECT_EQ(c->Velocidad, 115);
  for (int expected : {95, 75, 55, 35, 15, 15}) {
    e.Tick();
    EXPECT_EQ(c->Velocidad, expected);
  }
  c->Velocidad = -45;
  for (int expected : {-25, -5, -5}) {
    e.Tick();
    EXPECT_EQ(c->Velocidad, expected);
  }
}

TEST_F(Fisica, FullBrakeAt100Gives20ThenMinus60) {
  c->PulsarFrenar = 128;
  c->Velocidad = 100;
  Pulsar(Abajo);
  e.Tick();
  EXPECT_EQ(c->Velocidad, 20);
  EXPECT_EQ(c->Derrape, 2);
  e.Tick();
  EXPECT_EQ(c->Velocidad, -60);  // braked through 0
  e.Tick();
  EXPECT_EQ(c->Velocidad, -60);  // the brake does nothing rolling back
  EXPECT_EQ(c->Derrape, 0);
}

TEST_F(Fisica, ThrottleKeepsABackwardSpeed) {
  c->PulsarAcelerar = 128;
  c->Velocidad = -300;
  Pulsar(Arriba);
  e.Tick();
  EXPECT_EQ(c->Velocidad, -300);
}

TEST_F(Fisica, WallAlongAnAxisBouncesAtAQuarter) {
  c->PulsarAcelerar = 128;
  c->Rumbo = HaciaDerecha;
  c->Velocidad = 3980;  // the throttle brings it to 4000
  Pulsar(Arriba);
  Pintar(507, suelo::Pared);  // 500 + 4000 / 512 = 507.8 is in the wall
  e.Tick();
  EXPECT_EQ(c->Velocidad, -1000);
  EXPECT_NEAR(c->X, 500 - 2 * 7.8125, 1e-6);  // two steps behind where it was
  EXPECT_EQ(e.sonido.logs["Golpe.wav"]->plays, 1);
  ASSERT_EQ(e.motor.Children().size(), 2u);  // the engine-smoke puff
  auto* humo = dynamic_cast<THumo*>(e.motor.Children()[1]);
  ASSERT_NE(humo, nullptr);
  EXPECT_EQ(humo->Image, e.imagenes.find("HumoMotor"));
  EXPECT_NEAR(humo->X, 507.8125, 1e-6);
  e.Tick();  // -1000 + 20 - 20, clamped by this tick
  EXPECT_EQ(c->Velocidad, -800);
}

TEST_F(Fisica, WallAt45DegreesKeepsTheSpeedAndTurnsTheHeading) {
  c->PulsarAcelerar = 128;
  c->Rumbo = HaciaAbajoDerecha;
  c->Velocidad = 2980;
  Pulsar(Arriba);
  Pintar(504, suelo::Pared);  // the car moves by (4.14, 4.14)
  e.Tick();
  // |cos| > |sin| just below 45 degrees and cos x sin > 0: Rumbo -= 3000 / 20;
  // k = trunc(9 - 7.07) = 1.
  EXPECT_EQ(c->Velocidad, 3000);
  EXPECT_EQ(c->Rumbo, HaciaAbajoDerecha - 150);
}

TEST_F(Fisica, ForceFeedbackJoltsOnAWallHit) {
  auto palanca = std::make_shared<FakeJoystickState>();
  e.entradas.joysticks = {palanca};
  c->Joystick = c->ForceFeedBack = true;
  c->ConfigurarEntrada();
  palanca->y = 128;  // full throttle on the combined axis
  c->Rumbo = HaciaDerecha;
  c->Velocidad = 3000;
  Pintar(505, suelo::Pared);
  e.Tick();
  EXPECT_TRUE(palanca->autoCenter);
  EXPECT_EQ(palanca->rumbles, 1);
}

TEST_F(Fisica, HeadingJumpsAtItsBounds) {
  for (auto [antes, despues] : {std::pair{359, 3599}, {360, 360}, {8400, 8400}, {8401, 3599}}) {
    c->Rumbo = int16_t(antes);
    e.Tick();
    EXPECT_EQ(c->Rumbo, despues) << antes;
  }
}

TEST_F(Fisica, LapsCountOnlyAfterSplitOneThenSplitTwo) {
  // The finish line under x = 100, split 1 under x = 200, split 2 under x = 300.
  e.Pintar(27, 0, 29, AltoMascara - 1, suelo::Meta);
  e.Pintar(52, 0, 56, AltoMascara - 1, suelo::Parcial1);
  e.Pintar(76, 0, 80, AltoMascara - 1, suelo::Parcial2);
  e.reloj.now = 0.25;
  auto en = [&](double x) {
    c->X = x;
    e.Tick();
  };
  en(100);  // the first crossing, from the grid: lap 1 starts
  EXPECT_EQ(c->Vuelta, 1);
  EXPECT_EQ(c->Parcial, 1);
  EXPECT_EQ(c->InicioVuelta, 0.25);
  for (double x : {100, 300, 100, 200, 100}) en(x);  // split 2 first does nothing
  EXPECT_EQ(c->Parcial, 2);
  EXPECT_TRUE(e.vueltas.empty());
  en(300);
  EXPECT_EQ(c->Parcial, 0);

  e.reloj.now = 0.25 + 83.456 / 86400;  // 1:23.456 later
  en(100);
  ASSERT_EQ(c->Tiempos.size(), 1u);
  EXPECT_EQ(c->Tiempos[0].Vuelta, 1);
  EXPECT_DOUBLE_EQ(c->Tiempos[0].Tiempo, 83.456 / 86400);
  ASSERT_EQ(e.tramas.size(), 1u);
  EXPECT_EQ(e.tramas[0].first, 6);
  EXPECT_EQ(e.tramas[0].second, "0101" "0009659259259");
  ASSERT_EQ(e.vueltas.size(), 1u);
  EXPECT_EQ(e.vueltas[0].coche, c);
  EXPECT_EQ(c->Parcial, 1);
  EXPECT_EQ(c->InicioVuelta, e.reloj.now);
  en(100);  // standing on the line counts nothing
  EXPECT_EQ(e.vueltas.size(), 1u);

  // The winning lap: the step ends at the lap handler.
  en(200);
  en(300);
  e.carreraTerminada = true;
  c->Vuelta = 2;
  c->Rotulo = "1:23:456";
  const double inicio = c->InicioVuelta;
  en(100);
  EXPECT_EQ(e.vueltas.size(), 2u);
  EXPECT_EQ(e.tramas[1].second.substr(0, 4), "0102");
  EXPECT_EQ(c->InicioVuelta, inicio);
  EXPECT_EQ(c->Parcial, 0);
  EXPECT_TRUE(e.marcadores.empty());  // no label on that tick
}

TEST_F(Fisica, LapOverMidnightIsStillPositive) {
  e.Pintar(27, 0, 29, AltoMascara - 1, suelo::Meta);
  c->X = 100;
  c->Vuelta = 1;
  c->InicioVuelta = 1 - 30.0 / 86400;  // 23:59:30
  e.reloj.now = 46001 + 60.0 / 86400;  // 00:01:00
  e.Tick();
  ASSERT_EQ(e.vueltas.size(), 1u);
  EXPECT_NEAR(e.vueltas[0].tiempo, 90.0 / 86400, 1e-9);
}

TEST_F(Fisica, PitLaneLabelStaysFiveTicksAfterLeaving) {
  e.Pintar(128, 78, 128, 78, suelo::Boxes);  // under (500, 300)
  e.Tick();
  EXPECT_EQ(c->Rotulo, "BOXES");
  EXPECT_EQ(c->ContadorRotulo, 46);
  c->X = 600;
  e.marcadores.clear();
  for (int i = 0; i < 10; ++i) e.Tick();
  EXPECT_EQ(e.marcadores.size(), 5u);
  EXPECT_EQ(e.marcadores[0].Texto, "BOXES");
}

TEST_F(Fisica, GrassAndSandSlowTheCar) {
  c->Rumbo = HaciaDerecha;
  Pintar(400, suelo::Hierba);
  c->Velocidad = 1000;
  e.Tick();
  EXPECT_EQ(c->Velocidad, 1000 - 20 - 80);  // coasting, then grass
  EXPECT_EQ(c->Humo, 2);  // grass smokes at 700 and more
  Pintar(400, suelo::Arena);
  c->Velocidad = 260;
  e.Tick();
  EXPECT_EQ(c->Velocidad, 260 - 20);  // 240 is not above 250
  EXPECT_EQ(c->Humo, 0);
}

TEST_F(Fisica, SoftTyresWearFrom15ToMinus20In1494SkiddingTicks) {
  e.carpeta.Write("Jugadores/Ana.ini", "[Perfil Circuito Prueba]\r\nRuedas=2\r\n");
  c->LeerPerfilCircuito();
  c->PrepararCarrera(0);
  c->Rotulo.clear();
  EXPECT_EQ(c->Agarre, 15);
  c->PulsarFrenar = 128;
  Pulsar(Abajo);
  int desgaste = 0;
  for (int i = 0; i < 3000 && c->Agarre > -20; ++i) {
    c->Velocidad = 1000;  // braking hard from 1000 on every tick
    c->X = 500;
    c->Y = 300;
    const double antes = c->Agarre;
    e.Tick();
    if (c->Agarre < antes) ++desgaste;
  }
  EXPECT_EQ(desgaste, 1494);  // 35 / (3 / 128) = 1493.3
  EXPECT_EQ(c->Agarre, -20);
  e.Tick();
  EXPECT_EQ(c->Agarre, -20);
  EXPECT_GT(e.sonido.logs["Derrape.wav"]->plays, 1000);
}

// ---- Controls -----------------------------------------------------------------

TEST_F(Fisica, KeysRiseAndFallAtTheirRatesAndLeftWins) {
  for (int expected : {32, 64, 96, 128, 128}) {
    Pulsar(Arriba);
    c->LeerControles();
    EXPECT_EQ(c->Acelerador, expected);
  }
  Soltar(Arriba);
  for (int expected : {64, 0, 0}) {
    c->LeerControles();
    EXPECT_EQ(c->Acelerador, expected);
  }
  // Both held: right clears left and rises, then left clears right and
  // rises from 0, so left steers at its press rate on every tick.
  Pulsar(Izquierda);
  Pulsar(Derecha);
  for (int i = 0; i < 3; ++i) {
    c->LeerControles();
    EXPECT_EQ(c->Izquierda, 32);
    EXPECT_EQ(c->Derecha, 0);
  }
  Soltar(Izquierda);
  c->LeerControles();
  EXPECT_EQ(c->Izquierda, 0);
  EXPECT_EQ(c->Derecha, 32);
}

struct Palanca : Fisica {
  std::shared_ptr<FakeJoystickState> p = std::make_shared<FakeJoystickState>();
  void SetUp() override {
    Fisica::SetUp();
    e.entradas.joysticks = {p};
    c->Joystick = true;
    c->ConfigurarEntrada();
  }
  void Leer(int x, int y, int z = 0) {
    p->x = x, p->y = y, p->z = z;
    c->LeerControles();
  }
};

TEST_F(Palanca, DeadZonesScaleTheSteering) {
  c->ZonaMuertaEjeXMin = c->ZonaMuertaEjeXMax = 10;
  Leer(10, 0);
  EXPECT_EQ(c->Derecha, 0);
  Leer(64, 0);
  EXPECT_EQ(c->Derecha, 64);  // round(128 / 108 x 54)
  Leer(119, 0);
  EXPECT_EQ(c->Derecha, 128);
  Leer(-64, 0);
  EXPECT_EQ(c->Izquierda, 64);
  EXPECT_EQ(c->Derecha, 0);
  c->ZonaMuertaEjeXMin = c->ZonaMuertaEjeXMax = 64;  // out of the dialog's range
  Leer(64, 0);
  EXPECT_EQ(c->Derecha, 0);
}

TEST_F(Palanca, PedalsOnOneAxisOrTwo) {
  Leer(0, 100);
  EXPECT_EQ(c->Acelerador, 100);
  EXPECT_EQ(c->Freno, 0);
  Leer(0, -50);
  EXPECT_EQ(c->Acelerador, 0);
  EXPECT_EQ(c->Freno, 50);
  c->EjesSeparados = true;
  Leer(0, 0, -128);
  EXPECT_EQ(c->Acelerador, 128);  // pedal fully down
  EXPECT_EQ(c->Freno, 64);
  Leer(0, -127, 128);
  EXPECT_EQ(c->Acelerador, 0);
  EXPECT_EQ(c->Freno, 128);  // 128 - (1 / 2)
}

TEST_F(Palanca, DigitalJoystickActsLikeKeys) {
  c->JoystickAnalogico = false;
  Pulsar(Arriba);  // the keyboard is not bound
  Leer(100, -100);
  EXPECT_EQ(c->Derecha, 32);
  EXPECT_EQ(c->Acelerador, 32);
  Leer(60, 0);
  EXPECT_EQ(c->Derecha, 0);
  EXPECT_EQ(c->Acelerador, 0);
}

// ---- A scripted drive -----------------------------------------------------------

TEST_F(Fisica, ScriptedDriveFollowsTheRules) {
  // Ratio 5: Aceleracion 20, Rozamiento 20, rates 32 up and 64 down. The car
  // starts at (100, 300) with frame 9, so Rumbo 0, which the first tick's
  // bound turns into 3240 (cos 0.995964, sin 0.089758; frame
  // round(3240 / 256 x 5.7295779513 + 9) = round(81.5) = 82, 82 mod 36 = 10).
  // Up is held on ticks 1-30, right on ticks 24-27, down on ticks 37-39.
  //  t1: Acelerador 32, +round(5) = 5; not a pedal (32 <= 60), 5 < 20 keeps.
  //  t2: Acelerador 64, +10 = 15.   t3: 96, +15 = 30.   t4: 128, +20 = 50.
  //  tk (4..30): 50 + 20 (k - 4): t23 430, t24 450, t27 510, t30 570.
  // Steering factor = V before the tick / 1000 x 20; Rumbo += round(Derecha / 128 x factor):
  //  t24: 430 -> 8.6 x 32/128 = 2.15 -> 2  (3242)
  //  t25: 450 -> 9.0 x 64/128 = 4.5 -> 4, half to even (3246)
  //  t26: 470 -> 9.4 x 96/128 = 7.05 -> 7  (3253)
  //  t27: 490 -> 9.8 x 1 = 9.8 -> 10       (3263)
  //  t28: released, Derecha 64: 510 -> 10.2 x 0.5 = 5.1 -> 5 (3268); then 0.
  //  t31: Acelerador 64 is still a pedal: +10 = 580.
  //  t32-36: no pedal, -20 a tick: 560, 540, 520, 500, 480.
  //  t37: Freno 32 (no pedal): -round(20) brake, -20 coasting = 440.
  //  t38: Freno 64: pedal, Derrape 2, -40 = 400.   t39: Freno 96: Derrape 4, -60 = 340.
  // Positions: X += V / 512 x cos(Rumbo / 256), Y likewise with sin, per tick.
  e.circuito->Salidas[1] = {100, 300, 9};
  c->PrepararCarrera(0);
  c->Rotulo.clear();
  const int velocidades[] = {5, 15, 30, 50, 70};
  for (int t = 1; t <= 39; ++t) {
    if (t == 1) Pulsar(Arriba);
    if (t == 24) Pulsar(Derecha);
    if (t == 28) Soltar(Derecha);
    if (t == 31) Soltar(Arriba);
    if (t == 37) Pulsar(Abajo);
    e.Tick();
    if (t <= 5) {
      EXPECT_EQ(c->Velocidad, velocidades[t - 1]) << t;
      EXPECT_EQ(c->Rumbo, 3240) << t;
      EXPECT_EQ(c->Frame, 10) << t;
    }
    if (t == 1) {
      EXPECT_NEAR(c->X, 100.00972620670, 1e-9);
      EXPECT_NEAR(c->Y, 300.00087654709, 1e-9);
    }
    if (t == 5) {
      EXPECT_NEAR(c->X, 100.33069102791, 1e-9);
      EXPECT_NEAR(c->Y, 300.02980260117, 1e-9);
    }
    if (t == 25) {
      EXPECT_EQ(c->Rumbo, 3246);
    }
    if (t == 30) {
      EXPECT_EQ(c->Velocidad, 570);
    }
  }
  EXPECT_EQ(c->Velocidad, 340);
  EXPECT_EQ(c->Rumbo, 3268);
  EXPECT_EQ(c->Frame, 10);  // round(82.14) mod 36
  EXPECT_EQ(c->Derrape, 4);
  EXPECT_EQ(c->Humo, 0);
  EXPECT_NEAR(c->X, 124.65487928669, 1e-9);
  EXPECT_NEAR(c->Y, 303.67546518985, 1e-9);
  EXPECT_EQ(e.sonido.logs["Motor.wav"]->frequency, (400 + 150) * 5);
  EXPECT_EQ(e.niveles, (std::vector<int>{0, 0, 0, 96}));
  EXPECT_EQ(e.motor.Children().size(), 1u);  // no smoke on asphalt without a slide
}

}  // namespace
}  // namespace rodavia::test
