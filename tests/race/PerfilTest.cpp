#include <gtest/gtest.h>

#include "CarreraComun.h"
#include "platform/Clock.h"

namespace rodavia::test {
namespace {

TEST(PerfilTest, MissingFileGivesTheDefaults) {
  FakeEntorno e;
  TCoche* c = CocheLocal(e, 0, "Nadie");
  EXPECT_EQ(c->ImagenCoche, "F1-Vanto-Rojo.bmp");
  EXPECT_EQ(c->SonidoMotor, "Motor.wav");
  EXPECT_EQ(c->SonidoDerrape, "Derrape.wav");
  EXPECT_EQ(c->SonidoGolpe, "Golpe.wav");
  EXPECT_EQ(c->TeclaAcelerar, 38);
  EXPECT_EQ(c->TeclaIzquierda, 37);
  EXPECT_FALSE(c->Joystick);
  EXPECT_TRUE(c->JoystickAnalogico);
  EXPECT_EQ(c->PulsarFrenar, 32);
  EXPECT_EQ(c->SoltarDerecha, 64);
  EXPECT_TRUE(e.mensajes.shown.empty());
  EXPECT_FALSE(e.carpeta.Exists("Jugadores/Nadie.ini"));  // reading creates nothing
}

TEST(PerfilTest, ValueFormsAsTheFileHoldsThem) {
  FakeEntorno e;
  e.carpeta.Write("Sonidos/Pum.wav", "RIFF");
  TCoche* c = CocheLocal(e, 0, "Ana",
                         "[Perfil]\r\nTeclaAcelerar=0x26\r\nTeclaFrenar=$28\r\nJoystick=2\r\n"
                         "PulsarAcelerar=70000\r\nSoltarFrenar=basura\r\nSonigoGolpe=Pum.wav\r\n"
                         "[Perfil Circuito Prueba]\r\nVueltaRapida=0,5\r\nVecesJugadas=-3\r\n");
  EXPECT_EQ(c->TeclaAcelerar, 38);
  EXPECT_EQ(c->TeclaFrenar, 40);
  EXPECT_TRUE(c->Joystick);
  EXPECT_EQ(c->PulsarAcelerar, 32);    // beyond the control levels: the default
  EXPECT_EQ(c->SoltarFrenar, 64);      // unparsable: the default
  EXPECT_EQ(c->SonidoGolpe, "Pum.wav");
  ASSERT_TRUE(c->LeerPerfilCircuito());
  EXPECT_DOUBLE_EQ(c->VueltaRapida, 0.5);  // a comma separator reads too
  EXPECT_EQ(c->VecesJugadas, -3);
  EXPECT_EQ(c->RelacionCambio, 5);
  EXPECT_EQ(c->Ruedas, 1);
  EXPECT_EQ(c->Gasolina, 10);
  EXPECT_DOUBLE_EQ(c->FechaVueltaRapida, Today());

  ASSERT_TRUE(c->GrabarPerfil());
  const std::string f = e.carpeta.Read("Jugadores/Ana.ini");
  EXPECT_NE(f.find("Joystick=1"), std::string::npos);  // a boolean is written back as 1
  EXPECT_NE(f.find("TeclaAcelerar=38"), std::string::npos);
  EXPECT_NE(f.find("SonigoGolpe=Pum.wav"), std::string::npos);
  EXPECT_NE(f.find("Nombre=Ana"), std::string::npos);
  EXPECT_NE(f.find("VueltaRapida=0.5"), std::string::npos);
  EXPECT_NE(f.find("VecesJugadas=-3"), std::string::npos);
}

TEST(PerfilTest, WrittenProfileReadsBackWhole) {
  FakeEntorno e;
  TCoche* a = CocheLocal(e, 1, "Ana");
  a->ImagenCoche = "Otro.bmp";
  a->TeclaDerecha = 68;
  a->Joystick = a->EjesSeparados = a->ForceFeedBack = true;
  a->JoystickAnalogico = false;
  a->IDJoystick = 3;
  a->SoltarIzquierda = 7;
  a->ZonaMuertaEjeZMax = 50;
  a->CircuitoPerfil = "Prueba";
  a->VueltaRapida = 0.0009659259259;
  a->FechaVueltaRapida = 46000;
  a->VueltasDadas = 123456;
  a->RelacionCambio = 10;
  a->Ruedas = 2;
  a->Gasolina = 3;
  ASSERT_TRUE(a->GrabarPerfil());
  const std::string f = e.carpeta.Read("Jugadores/Ana.ini");
  EXPECT_LT(f.find("[Perfil]"), f.find("[Perfil Circuito Prueba]"));
  EXPECT_NE(f.find("VueltaRapida=0.0009659259259\r\n"), std::string::npos);
  EXPECT_NE(f.find("Joystick=1"), std::string::npos);

  e.carpeta.Write("Coches/Otro.bmp", e.carpeta.Read("Coches/F1-Vanto-Rojo.bmp"));
  TCoche* b = CocheLocal(e, 2, "Ana");
  ASSERT_TRUE(b->LeerPerfilCircuito());
  EXPECT_EQ(b->ImagenCoche, "Otro.bmp");
  EXPECT_EQ(b->TeclaDerecha, 68);
  EXPECT_TRUE(b->Joystick && b->EjesSeparados && b->ForceFeedBack);
  EXPECT_FALSE(b->JoystickAnalogico);
  EXPECT_EQ(b->IDJoystick, 3);
  EXPECT_EQ(b->SoltarIzquierda, 7);
  EXPECT_EQ(b->ZonaMuertaEjeZMax, 50);
  EXPECT_DOUBLE_EQ(b->VueltaRapida, 0.0009659259259);
  EXPECT_DOUBLE_EQ(b->FechaVueltaRapida, 46000);
  EXPECT_EQ(b->VueltasDadas, 123456);
  EXPECT_EQ(b->RelacionCambio, 10);
  EXPECT_EQ(b->Ruedas, 2);
  EXPECT_EQ(b->Gasolina, 3);
}

TEST(PerfilTest, UnknownKeysSurviveARewrite) {
  FakeEntorno e;
  TCoche* c = CocheLocal(e, 0, "Ana", "[Perfil]\r\nColorFavorito=rojo\r\n[Otra]\r\nx=1\r\n");
  ASSERT_TRUE(c->GrabarPerfil());
  const std::string f = e.carpeta.Read("Jugadores/Ana.ini");
  EXPECT_NE(f.find("ColorFavorito=rojo"), std::string::npos);
  EXPECT_NE(f.find("[Otra]"), std::string::npos);
}

TEST(PerfilTest, NoNameOrRemoteCarWritesNothing) {
  FakeEntorno e;
  TCoche* sinNombre = CocheLocal(e, 0, "");
  sinNombre->CircuitoPerfil = "Prueba";
  EXPECT_TRUE(sinNombre->GrabarPerfil());
  EXPECT_TRUE(sinNombre->GrabarPerfilCircuito());
  EXPECT_FALSE(e.carpeta.Exists("Jugadores/.ini"));

  TCoche* remoto = CocheRemoto(e, 2, "Luis");
  remoto->VueltaRapida = 0.0001;
  EXPECT_TRUE(remoto->LeerPerfil());
  EXPECT_TRUE(remoto->GrabarPerfil());
  EXPECT_TRUE(remoto->LeerPerfilCircuito());
  EXPECT_TRUE(remoto->GrabarPerfilCircuito());
  EXPECT_TRUE(remoto->CalcularTotales());
  EXPECT_FALSE(e.carpeta.Exists("Jugadores/Luis.ini"));
  EXPECT_DOUBLE_EQ(e.circuito->Record, SinRecord);  // a remote best raises nothing
}

TEST(PerfilTest, UnreadableOrUnwritableFileIsReported) {
  FakeEntorno e;
  TCoche* c = CocheLocal(e, 0, "Ana");
  std::filesystem::create_directories(e.carpeta.path() / "Jugadores" / "Ana.ini");  // not a file
  EXPECT_FALSE(c->LeerPerfil());
  EXPECT_FALSE(c->LeerPerfilCircuito());
  c->TotalVictorias = 4;
  EXPECT_FALSE(c->CalcularTotales());
  EXPECT_EQ(c->TotalVictorias, 4);  // the totals keep their values
  EXPECT_FALSE(c->GrabarPerfil());
  EXPECT_EQ(e.mensajes.Texts(),
            (std::vector<std::string>{"Error leyedo el perfil del jugador.",
                                      "Error leyedo el perfil del jugador.",
                                      "Error leyedo el perfil del jugador.",
                                      "Error guardando datos en el perfil del jugador."}));
  EXPECT_EQ(e.mensajes.shown[0].kind, MsgKind::Error);
}

TEST(PerfilTest, BestLapBelowTheRecordBecomesTheRecord) {
  FakeEntorno e;
  const double fecha = EncodeDateTime(2003, 5, 17);
  TCoche* c = CocheLocal(e, 0, "Ana",
                         "[Perfil Circuito Prueba]\r\nVueltaRapida=0.0009\r\nFechaVueltaRapida=" +
                             std::to_string(int(fecha)) + "\r\n");
  ASSERT_TRUE(c->LeerPerfilCircuito());
  EXPECT_EQ(c->CircuitoPerfil, "Prueba");
  EXPECT_DOUBLE_EQ(e.circuito->Record, 0.0009);
  EXPECT_DOUBLE_EQ(e.circuito->FechaRecord, fecha);
  EXPECT_EQ(e.circuito->AutorRecord, "Ana");
  EXPECT_EQ(e.recordsCambiados, 1);
  TCircuito escrito("Prueba");  // the description file was rewritten
  EXPECT_DOUBLE_EQ(escrito.Record, 0.0009);
  EXPECT_EQ(escrito.AutorRecord, "Ana");

  // An equal best is not strictly below: nothing changes again.
  e.circuito->AutorRecord = "Otro";
  ASSERT_TRUE(c->LeerPerfilCircuito());
  EXPECT_EQ(e.circuito->AutorRecord, "Otro");
  EXPECT_EQ(e.recordsCambiados, 1);
}

TEST(PerfilTest, TotalsOverTheCircuitSections) {
  FakeEntorno e;
  TCircuito a("Alfa");
  a.Record = 0.0008;
  ASSERT_TRUE(a.Grabar());
  TCircuito b("Beta");
  b.Record = 0.002;
  ASSERT_TRUE(b.Grabar());
  TCoche* c = CocheLocal(e, 0, "Ana",
                         "[Perfil Circuito Alfa]\r\nVueltaRapida=0.001\r\nVecesJugadas=3\r\n"
                         "VecesGanadas=1\r\nVueltasDadas=20\r\n"
                         // A new record not yet written into Beta's file: it
                         // counts as the record, never below zero.
                         "[Perfil Circuito Beta]\r\nVueltaRapida=0.0015\r\n"
                         "[Perfil]\r\nTeclaAcelerar=38\r\n"
                         // The circuit file of Borrado was deleted: it still counts races.
                         "[Perfil Circuito Borrado ]\r\nVueltaRapida=0.002\r\nVecesJugadas=2\r\n"
                         "VueltasDadas=5\r\n"
                         // Without a recorded lap a section counts nowhere.
                         "[Perfil Circuito Sin]\r\nVueltaRapida=0.9\r\nVecesJugadas=3\r\n"
                         "[Perfil Circuito Nada]\r\nVecesJugadas=4\r\nVueltasDadas=9\r\n");
  ASSERT_TRUE(c->CalcularTotales());
  EXPECT_EQ(c->TotalPartidasJugadas, 5);
  EXPECT_EQ(c->TotalVictorias, 1);
  EXPECT_EQ(c->TotalVueltasDadas, 25);
  EXPECT_EQ(c->CircuitosJugados, 2);
  EXPECT_NEAR(c->Ranking, 0.0002, 1e-15);
  EXPECT_TRUE(e.mensajes.shown.empty());
}

TEST(PerfilTest, ProfileWithoutCircuitsTotalsZero) {
  FakeEntorno e;
  TCoche* c = CocheLocal(e, 0, "Ana", "[Perfil]\r\nTeclaAcelerar=38\r\n");
  c->TotalPartidasJugadas = 9;
  c->Ranking = 1;
  ASSERT_TRUE(c->CalcularTotales());
  EXPECT_EQ(c->TotalPartidasJugadas, 0);
  EXPECT_EQ(c->CircuitosJugados, 0);
  EXPECT_EQ(c->Ranking, 0);
}

TEST(PerfilTest, ValuesNoDialogCanProduceReadAsTheirDefaults) {
  FakeEntorno e;
  TCoche* c = CocheLocal(e, 0, "Ana",
                         "[Perfil]\r\nTeclaAcelerar=-32768\r\nTeclaFrenar=300\r\nTeclaDerecha=0\r\n"
                         "SoltarAcelerar=-5\r\nPulsarDerecha=129\r\nSoltarIzquierda=128\r\n"
                         "ZonaMuertaEjeXMin=-1\r\nZonaMuertaEjeZMax=200\r\n"
                         "[Perfil Circuito Prueba]\r\nVueltaRapida=-1e300\r\nRuedas=-3\r\n"
                         "RelacionCambio=11\r\nGasolina=0\r\n");
  EXPECT_EQ(c->TeclaAcelerar, 38);
  EXPECT_EQ(c->TeclaFrenar, 40);
  EXPECT_EQ(c->TeclaDerecha, 39);
  EXPECT_EQ(c->SoltarAcelerar, 64);
  EXPECT_EQ(c->PulsarDerecha, 32);
  EXPECT_EQ(c->SoltarIzquierda, 128);  // the top of the range is a level the dialog sets
  EXPECT_EQ(c->ZonaMuertaEjeXMin, 0);
  EXPECT_EQ(c->ZonaMuertaEjeZMax, 0);
  ASSERT_TRUE(c->LeerPerfilCircuito());
  EXPECT_DOUBLE_EQ(c->VueltaRapida, SinRecord);
  EXPECT_DOUBLE_EQ(e.circuito->Record, SinRecord);  // no record no one could beat
  EXPECT_EQ(e.recordsCambiados, 0);
  EXPECT_EQ(c->Ruedas, 1);
  EXPECT_EQ(c->RelacionCambio, 5);
  EXPECT_EQ(c->Gasolina, 10);
  ASSERT_TRUE(c->CalcularTotales());
  EXPECT_EQ(c->Ranking, 0);
}

TEST(PerfilTest, ANameThatIsNoFileNameNeverBecomesAPath) {
  FakeEntorno e;
  e.carpeta.Write("Ana.ini", "[Perfil]\r\nTeclaAcelerar=65\r\n");
  // What Circuitos\..\Fuera.cfg would reach: a description in the program folder.
  e.carpeta.Write("Fuera.cfg", TCircuito("Fuera").Texto());
  TCoche* c = CocheLocal(e, 0, "../Ana");
  EXPECT_EQ(c->TeclaAcelerar, 38);  // not read from outside Jugadores
  c->TeclaAcelerar = 66;
  EXPECT_TRUE(c->GrabarPerfil());
  EXPECT_EQ(e.carpeta.Read("Ana.ini"), "[Perfil]\r\nTeclaAcelerar=65\r\n");

  TCoche* d = CocheLocal(e, 1, "Luis",
                         "[Perfil Circuito ../Fuera]\r\nVueltaRapida=0.001\r\nVecesJugadas=1\r\n");
  ASSERT_TRUE(d->CalcularTotales());
  EXPECT_EQ(d->TotalPartidasJugadas, 1);
  EXPECT_EQ(d->CircuitosJugados, 0);  // its record is not looked up outside Circuitos
}

}  // namespace
}  // namespace rodavia::test
