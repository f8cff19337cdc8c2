#include <gtest/gtest.h>

#include <cmath>

#include "CarreraComun.h"
#include "platform/ImageList.h"
#include "race/Humo.h"

namespace rodavia::test {
namespace {

TEST(CocheTest, LocalCarTakesItsSlotSoundsAndInput) {
  FakeEntorno e;
  TCoche* c = CocheLocal(e, 16, "Ana");
  EXPECT_FALSE(c->Visible);
  EXPECT_EQ(c->Image, e.imagenes.find("16"));
  EXPECT_EQ(c->Z(), 26);
  EXPECT_EQ(c->Width, 36);
  EXPECT_EQ(c->Height, 36);
  EXPECT_EQ(c->FrameCount, 36);
  EXPECT_TRUE(c->Collides);
  EXPECT_FALSE(c->PixelExact);
  EXPECT_TRUE(c->Image->transparent);
  EXPECT_EQ(c->Image->transparentColor, 0xFF00FFu);  // the bitmap's bottom-left pixel
  ASSERT_NE(c->Entrada, nullptr);
  EXPECT_EQ(c->Entrada->Teclas[size_t(TDireccion::Arriba)], (std::array<int, 3>{38, 38, 38}));
  EXPECT_TRUE(c->Entrada->TecladoActivo);
  EXPECT_FALSE(c->Entrada->JoystickActivo);
  ASSERT_EQ(c->Sonidos.size(), 3u);
  EXPECT_EQ(e.sonido.loaded, (std::vector<std::string>{"Motor.wav", "Derrape.wav", "Golpe.wav"}));
  EXPECT_TRUE(e.sonido.logs["Motor.wav"]->looped);
  EXPECT_FALSE(e.sonido.logs["Golpe.wav"]->looped);
  EXPECT_EQ(e.sonido.logs["Derrape.wav"]->maxPlaying, 25);
}

TEST(CocheTest, RemoteCarHasNoInputNorSounds) {
  FakeEntorno e;
  TCoche* c = CocheRemoto(e, 3, "Luis");
  EXPECT_EQ(c->Entrada, nullptr);
  EXPECT_TRUE(c->Sonidos.empty());
  EXPECT_EQ(c->ImagenCoche, "F1-Vanto-Rojo.bmp");
  EXPECT_EQ(c->Equipo, "Otro");
  EXPECT_EQ(c->Z(), 13);
}

TEST(CocheTest, MissingCarPictureOrSoundIsFatal) {
  FakeEntorno e;
  e.carpeta.Write("Jugadores/Ana.ini", "[Perfil]\r\nImagenCoche=Nada.bmp\r\n");
  EXPECT_THROW(new TCoche(e, 1, true, "", "E", "Ana"), FinDelPrograma);
  e.sonido.missing.insert("Golpe.wav");
  EXPECT_THROW(CocheLocal(e, 2, "Luis"), FinDelPrograma);
  EXPECT_EQ(e.errores, (std::vector<std::string>{"No se encuentra el fichero ..\\Coches\\Nada.bmp",
                                                 "No se encuentra el fichero ..\\Sonidos\\Golpe.wav"}));
  EXPECT_TRUE(e.motor.Children().empty());  // the half-built cars left the engine
}

TEST(CocheTest, JoystickProfileBindsTheJoystick) {
  FakeEntorno e;
  e.entradas.joysticks = {std::make_shared<FakeJoystickState>(), std::make_shared<FakeJoystickState>()};
  TCoche* c = CocheLocal(e, 1, "Ana", "[Perfil]\r\nJoystick=1\r\nIDJoystick=1\r\nForceFeedBack=1\r\n");
  EXPECT_TRUE(c->Entrada->JoystickActivo);
  EXPECT_FALSE(c->Entrada->TecladoActivo);
  EXPECT_EQ(c->Entrada->IDJoystick(), 1);
  EXPECT_TRUE(e.entradas.joysticks[1]->forceFeedback);
  EXPECT_TRUE(e.entradas.joysticks[1]->autoCenter);
  EXPECT_FALSE(e.entradas.joysticks[0]->autoCenter);
}

TEST(CocheTest, RaceStartPlacesTheCarWithItsSetup) {
  FakeEntorno e;
  e.circuito->Salidas[3] = {200, 120, 0};
  TCoche* c = CocheLocal(e, 1, "Ana", "[Perfil Circuito Prueba]\r\nRelacionCambio=10\r\nRuedas=2\r\n");
  c->Tiempos.push_back({1, 0.001});
  c->Vuelta = 4;
  c->PrepararCarrera(2);
  EXPECT_TRUE(c->Visible);
  EXPECT_EQ(c->X, 200);
  EXPECT_EQ(c->Y, 120);
  EXPECT_EQ(c->destino.X, 200);
  EXPECT_EQ(c->destinoAnterior.Y, 120);
  EXPECT_EQ(c->Frame, 0);
  EXPECT_EQ(c->Rumbo, -402);  // round(-9 x 44.6802488) = round(-402.12)
  EXPECT_EQ(c->VelocidadMaxima, 5000);
  EXPECT_EQ(c->Aceleracion, 10);
  EXPECT_EQ(c->Rozamiento, 15);
  EXPECT_EQ(c->Agarre, 15);
  EXPECT_EQ(e.sonido.logs["Motor.wav"]->frequency, 750);
  EXPECT_EQ(e.sonido.logs["Motor.wav"]->plays, 1);
  EXPECT_EQ(c->Rotulo, "Ana");
  EXPECT_EQ(c->ContadorRotulo, -100);
  EXPECT_EQ(c->Vuelta, 0);
  EXPECT_TRUE(c->Tiempos.empty());
}

TEST(CocheTest, NameLabelShowsFor151Ticks) {
  FakeEntorno e;
  TCoche* c = CocheEnPista(e, 500, 300);
  for (int i = 0; i < 160; ++i) e.Tick();
  ASSERT_EQ(e.marcadores.size(), 151u);
  const TMarcador& m = e.marcadores.front();
  EXPECT_EQ(m.Texto, "Ana");
  EXPECT_EQ(m.X, int(std::nearbyint(c->X)) - 12);
  EXPECT_EQ(m.Color, 0xFFFFFFu);
  EXPECT_EQ(m.Tamanyo, 12);
  EXPECT_TRUE(c->Rotulo.empty());
}

// ---- Car-state frames ---------------------------------------------------------

TEST(CocheTest, StateBlockForTheNetwork) {
  FakeEntorno e;
  TCoche* c = CocheLocal(e, 3, "Ana");
  c->X = 500.4;
  c->Y = 300.6;
  c->Frame = 9;
  c->Humo = 1;
  EXPECT_EQ(c->EstadoTrama(), "03488301091");
  c->X = 5;  // x - 12 negative
  c->Y = -4;  // above the top edge
  EXPECT_EQ(c->EstadoTrama().substr(2, 6), "000000");
}

TEST(CocheTest, StateIsGatheredOnlyOnTheSendingTickOfAnOpenSession) {
  FakeEntorno e;
  TCoche* c = CocheEnPista(e, 500, 300);
  c->Rotulo.clear();
  e.Tick();
  EXPECT_TRUE(e.tramaCoches.empty());  // no session
  e.sesionAbierta = true;
  e.framesDesdeEnvio = 2;  // 2 + 1 > 3 is false
  e.Tick();
  EXPECT_TRUE(e.tramaCoches.empty());
  e.framesDesdeEnvio = 3;
  e.Tick();
  EXPECT_EQ(e.tramaCoches, c->EstadoTrama());
}

TEST(CocheTest, RemoteCarSentAtFiveIsReceivedAtTwelve) {
  FakeEntorno e;
  TCoche* c = CocheRemoto(e, 2, "Luis");
  c->PrepararCarrera(1);
  c->RecibirEstado(0, 80, 27, 3);
  EXPECT_EQ(c->destino.X, 12);
  EXPECT_EQ(c->destino.Y, 80);
  EXPECT_EQ(c->Frame, 27);
  EXPECT_EQ(c->Humo, 3);
  EXPECT_NEAR(c->Coseno, -1, 1e-4);  // frame 27 heads left
  EXPECT_NEAR(c->Seno, 0, 1e-4);
}

TEST(CocheTest, RemoteCarJumpsBeyond100PixelsAndGlidesOtherwise) {
  FakeEntorno e;
  TCoche* c = CocheRemoto(e, 2, "Luis");
  c->PrepararCarrera(1);  // the default grid puts position 1 at (0, 80)
  c->X = 200;
  c->Y = 200;
  c->RecibirEstado(288, 300, 9, 0);  // exactly 100 away on both axes
  EXPECT_EQ(c->X, 200);
  c->RecibirEstado(289, 200, 9, 0);  // 101 away on x
  EXPECT_EQ(c->X, 301);
  EXPECT_EQ(c->Y, 200);
}

TEST(CocheTest, RemoteCarHeadsForItsPredictedPlace) {
  FakeEntorno e;
  e.circuito->Salidas[2] = {100, 100, 9};
  TCoche* c = CocheRemoto(e, 2, "Luis");
  c->PrepararCarrera(1);
  c->Visible = true;
  c->RecibirEstado(88, 100, 9, 0);  // at (100, 100)
  for (int i = 0; i < 4; ++i) e.Tick();
  c->X = c->Y = 100;  // where the sender was then
  c->RecibirEstado(96, 104, 9, 0);  // (108, 104), 4 ticks later
  // predicted = (108, 104) + (8, 4) / 4 x 3 = (114, 107); paso = (14, 7) / 3
  EXPECT_EQ(c->framesEntreUltimasTramas, 4);
  EXPECT_DOUBLE_EQ(c->paso.X, 14.0 / 3);
  EXPECT_DOUBLE_EQ(c->paso.Y, 7.0 / 3);
  e.Tick();
  EXPECT_DOUBLE_EQ(c->X, 100 + 14.0 / 3);
  EXPECT_DOUBLE_EQ(c->Y, 100 + 7.0 / 3);
}

TEST(CocheTest, RemoteCarParksOutOfSight) {
  FakeEntorno e;
  TCoche* c = CocheRemoto(e, 2, "Luis");
  c->PrepararCarrera(1);
  c->Rotulo.clear();
  e.Tick();  // no frame yet this race: out of sight
  EXPECT_EQ(c->X, -50);
  EXPECT_EQ(c->Y, -50);

  // Two frames within one tick: 0 ticks between them parks the car too.
  c->RecibirEstado(288, 300, 9, 0);
  e.Tick();
  e.Tick();
  c->RecibirEstado(288, 300, 9, 0);
  c->RecibirEstado(288, 300, 9, 0);
  EXPECT_EQ(c->X, 300);
  e.Tick();
  EXPECT_EQ(c->X, -50);

  // Frames 2 ticks apart: it shows and glides; 60 ticks without frames park it.
  e.Tick();
  c->RecibirEstado(288, 300, 9, 0);
  EXPECT_EQ(c->X, 300);
  for (int i = 0; i < 59; ++i) e.Tick();
  EXPECT_EQ(c->X, 300);
  e.Tick();
  EXPECT_EQ(c->X, -50);
  for (int i = 0; i < 100; ++i) e.Tick();
  EXPECT_EQ(c->X, -50);
  c->RecibirEstado(288, 300, 9, 0);  // the next frame brings it back
  EXPECT_EQ(c->X, 300);
}

TEST(CocheTest, PaceOfZeroDoesNotThrowTheCarToInfinity) {
  FakeEntorno e;
  e.framesEntreTramas = 0;
  TCoche* c = CocheRemoto(e, 2, "Luis");
  c->PrepararCarrera(1);
  c->RecibirEstado(288, 300, 9, 0);
  e.Tick();
  e.Tick();
  c->X = c->Y = 300;
  c->RecibirEstado(290, 300, 9, 0);
  EXPECT_TRUE(std::isfinite(c->paso.X));
  EXPECT_EQ(c->paso.X, 2);  // to the latest report in one tick
}

// ---- Collisions ---------------------------------------------------------------

struct Choque : ::testing::Test {
  FakeEntorno e;
  TCoche* a = CocheLocal(e, 1, "Ana");
  TCoche* b = CocheLocal(e, 2, "Bea");
  void Poner(double ax, double ay, double bx, double by, int16_t velocidad) {
    a->X = ax, a->Y = ay, b->X = bx, b->Y = by;
    a->Velocidad = velocidad;
  }
};

TEST_F(Choque, CloseCarIsPushed16ApartAndSlowed) {
  Poner(100, 100, 114, 103, 3001);
  EXPECT_EQ(a->CheckCollisions(), 1);
  EXPECT_EQ(a->X, 98);
  EXPECT_EQ(a->Y, 87);
  EXPECT_EQ(a->Velocidad, 1500);
  EXPECT_EQ(b->X, 114);  // the other car reacts only in its own pass
  Poner(114, 103, 100, 100, -3001);
  a->CheckCollisions();
  EXPECT_EQ(a->X, 116);
  EXPECT_EQ(a->Y, 116);
  EXPECT_EQ(a->Velocidad, -1500);
}

TEST_F(Choque, CarsOnTopOfEachOtherStayButSlow) {
  Poner(100, 100, 100, 100, 3000);
  a->CheckCollisions();
  a->CheckCollisions();
  EXPECT_EQ(a->X, 100);
  EXPECT_EQ(a->Y, 100);
  EXPECT_EQ(a->Velocidad, 750);
}

TEST_F(Choque, NoReactionWhenFarOffOrSwitchedOffOrRemote) {
  Poner(100, 100, 115, 100, 3000);  // 15 apart: rectangles overlap, no push
  a->CheckCollisions();
  EXPECT_EQ(a->X, 100);
  EXPECT_EQ(a->Velocidad, 3000);
  Poner(100, 100, 110, 100, 3000);
  e.colisiones = false;
  a->CheckCollisions();
  EXPECT_EQ(a->X, 100);
  e.colisiones = true;
  a->Local = false;
  a->CheckCollisions();
  EXPECT_EQ(a->Velocidad, 3000);
  a->Local = true;
  b->Collides = false;
  new THumo(e.motor, e.imagenes.slot("HumoMotor"), 100, 100);  // a puff is not a car
  EXPECT_EQ(a->CheckCollisions(), 1);
  EXPECT_EQ(a->Velocidad, 3000);
}

// ---- Smoke --------------------------------------------------------------------

TEST(HumoTest, FramesByAgeAndDeathAt40) {
  FakeEntorno e;
  SembrarAleatorio(7);
  auto* h = new THumo(e.motor, e.imagenes.slot("HumoAsfalto"), 100, 100);
  EXPECT_EQ(h->Z(), 30);
  EXPECT_EQ(h->FrameCount, 4);
  EXPECT_EQ(h->Width, 16);
  for (int edad = 1; edad < 40; ++edad) {
    e.Tick();
    ASSERT_EQ(h->Vida, edad);
    ASSERT_EQ(h->Frame, edad / 10) << edad;
    ASSERT_FALSE(h->Dead);
  }
  EXPECT_GE(h->X, 61);  // drifts up and left by 0 or 1 a tick
  EXPECT_LE(h->X, 100);
  h->Step(0);
  EXPECT_TRUE(h->Dead);
  e.motor.FreeDead();
  EXPECT_TRUE(e.motor.Children().empty());
}

TEST(HumoTest, SeededDriftRepeats) {
  auto deriva = [] {
    FakeEntorno e;
    SembrarAleatorio(1234);
    auto* h = new THumo(e.motor, e.imagenes.slot("HumoAsfalto"), 0, 0);
    for (int i = 0; i < 30; ++i) e.Tick();
    return std::pair(h->X, h->Y);
  };
  const auto una = deriva();
  EXPECT_EQ(una, deriva());
  EXPECT_LT(una.first, 0);  // 30 ticks without any leftward step would be 1 in 2^30
}

TEST(HumoTest, SmokingCarLeavesTwoPuffsAtTheRearWheelsEveryFourthTick) {
  FakeEntorno e;
  e.circuito->Salidas[2] = {200, 100, 9};
  TCoche* c = CocheRemoto(e, 2, "Luis");
  c->PrepararCarrera(1);
  c->Rotulo.clear();
  c->RecibirEstado(188, 100, 9, 0);
  e.Tick();
  e.Tick();
  c->RecibirEstado(188, 100, 9, 2);  // heading right (Coseno 1, Seno 0), on grass
  for (int i = 0; i < 3; ++i) e.Tick();
  ASSERT_EQ(e.motor.Children().size(), 1u);
  e.Tick();
  ASSERT_EQ(e.motor.Children().size(), 3u);
  auto* derecha = dynamic_cast<THumo*>(e.motor.Children()[1]);
  auto* izquierda = dynamic_cast<THumo*>(e.motor.Children()[2]);
  ASSERT_TRUE(derecha && izquierda);
  EXPECT_EQ(derecha->Image, e.imagenes.find("HumoNoAsfalto"));
  // Right rear wheel (200 + 16 - 12, 100 + 16 + 10) = (204, 126), less 16 / 2 - 2.
  EXPECT_EQ(c->RuedaTraseraDerechaX(), 204);
  EXPECT_EQ(c->RuedaTraseraDerechaY(), 126);
  EXPECT_EQ(derecha->X, 198);
  EXPECT_EQ(derecha->Y, 120);
  // Left rear wheel (204, 106).
  EXPECT_EQ(izquierda->X, 198);
  EXPECT_EQ(izquierda->Y, 100);
}

}  // namespace
}  // namespace rodavia::test
