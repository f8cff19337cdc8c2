// The lap handler: labels, the circuit record, the last-lap bell, the winner,
// the results table and the statistics it saves.
#include <gtest/gtest.h>

#include "app/Mundo.h"
#include "platform/IniFile.h"
#include "race/Circuito.h"
#include "race/Coche.h"

namespace rodavia {
namespace {

using namespace test;

double Segundos(double s) { return s / 86400; }

struct VueltasTest : ::testing::Test, Mundo {
  std::unique_ptr<TF_Principal> p;

  VueltasTest() {
    carpeta.Write("Jugadores/Ana.ini", "[Perfil]\r\n");
    Circuito("Pista");
    p = Arrancar();
    p->Visible = true;
  }
  ~VueltasTest() override { p.reset(); }

  TCoche& Local(const std::string& nombre) {
    p->AnyadirJugador(nombre);
    return *p->Jugadores().back();
  }
  TCoche& Remoto(int16_t indice, const std::string& nombre) {
    auto* c = new TCoche(*p, indice, false, "F1-Vanto-Rojo.bmp", "Azul", nombre);
    p->Jugadores().push_back(c);
    return *c;
  }
  void Empezar(const std::string& vueltas) {
    p->e_NumVueltas->SetText(vueltas);
    p->sb_jugar->Click();
    for (TCoche* c : p->Jugadores()) c->Vuelta = 1;  // every car crossed the line once
  }
  // What a car does when it completes a lap: record it, then ask the handler.
  bool Vuelta(TCoche& c, double segundos) {
    c.Tiempos.push_back({c.Vuelta, Segundos(segundos)});
    return p->CompletarVuelta(c, Segundos(segundos));
  }
  int Tocada(const char* onda) { return sonido.logs[onda]->plays; }
};

TEST_F(VueltasTest, AThreeLapRaceLabelsRingsAndWinsAlone) {
  TCoche& ana = Local("Ana");
  Empezar("3");
  ASSERT_EQ(p->NumVueltas, 3);

  EXPECT_FALSE(Vuelta(ana, 83.456));
  EXPECT_EQ(ana.Rotulo, "1:23:456/ 2 Laps");
  EXPECT_EQ(ana.ContadorRotulo, 0);
  EXPECT_EQ(ana.Vuelta, 2);
  EXPECT_EQ(Tocada("UltimaVuelta.wav"), 0);
  EXPECT_EQ(Tocada("Record.wav"), 1);  // the first lap beats "no record"

  EXPECT_FALSE(Vuelta(ana, 80));
  EXPECT_EQ(ana.Rotulo, "1:20:000/ 1 Laps");
  EXPECT_EQ(Tocada("UltimaVuelta.wav"), 1);
  EXPECT_EQ(Tocada("Record.wav"), 2);

  EXPECT_TRUE(Vuelta(ana, 81.5));
  EXPECT_EQ(ana.Rotulo, "1:21:500/ 0 Laps");
  EXPECT_EQ(Tocada("Victoria.wav"), 1);
  EXPECT_FALSE(p->t_coches.Enabled());
  EXPECT_FALSE(pantalla.visible) << "back in the lobby";
  ASSERT_EQ(mensajes.shown.size(), 1u);
  EXPECT_EQ(mensajes.shown[0].kind, MsgKind::Information);
  EXPECT_EQ(mensajes.shown[0].text,
            "Carrera ganada por Ana.\r\r"
            "Vuelta    Ana     \r"
            "   01       1:23:456\r"
            "   02       1:20:000\r"
            "   03       1:21:500\r\r"
            "Vuelta más rápida 1:20:000 hecha por Ana\r"
            "Record del circuito 1:20:000 hecho por Ana el 09/12/2025");

  // Racing alone counts laps and the best lap, not races or wins.
  IniFile perfil(carpeta.path() / "Jugadores/Ana.ini");
  EXPECT_EQ(perfil.ReadInteger("Perfil Circuito Pista", "VueltasDadas", -1), 3);
  EXPECT_EQ(perfil.ReadInteger("Perfil Circuito Pista", "VecesJugadas", -1), 0);
  EXPECT_EQ(perfil.ReadInteger("Perfil Circuito Pista", "VecesGanadas", -1), 0);
  EXPECT_NEAR(perfil.ReadReal("Perfil Circuito Pista", "VueltaRapida", 0), Segundos(80), 1e-12);
  // The race end wrote the new record into the circuit.
  EXPECT_EQ(TCircuito("Pista").AutorRecord, "Ana");
}

TEST_F(VueltasTest, ARemoteWinnerOverAnotherCarShowsBothColumns) {
  TCoche& ana = Local("Ana");
  TCoche& bart = Remoto(2, "Bartolomeo");
  Empezar("2");
  EXPECT_FALSE(Vuelta(bart, 70));
  EXPECT_FALSE(Vuelta(ana, 70));  // equal to the record: not taken, but fastest later
  EXPECT_EQ(Tocada("Record.wav"), 1);
  EXPECT_TRUE(Vuelta(bart, 75));
  EXPECT_EQ(Tocada("Victoria.wav"), 0) << "no victory sound for a car of another machine";
  ASSERT_EQ(mensajes.shown.size(), 1u);
  EXPECT_EQ(mensajes.shown[0].text,
            "Carrera ganada por Bartolomeo.\r\r"
            "Vuelta    Ana         Bartolomeo\r"
            "   01       1:10:000    1:10:000\r"
            "   02       -:--:---    1:15:000\r\r"
            "Vuelta más rápida 1:10:000 hecha por Bartolomeo\r"
            "Record del circuito 1:10:000 hecho por Bartolomeo el 09/12/2025");
  EXPECT_EQ(bart.VecesGanadas, 1);
  IniFile perfil(carpeta.path() / "Jugadores/Ana.ini");
  EXPECT_EQ(perfil.ReadInteger("Perfil Circuito Pista", "VecesJugadas", -1), 1);
  EXPECT_EQ(perfil.ReadInteger("Perfil Circuito Pista", "VecesGanadas", -1), 0);
  EXPECT_EQ(perfil.ReadInteger("Perfil Circuito Pista", "VueltasDadas", -1), 1);
}

TEST_F(VueltasTest, AFastestLapTiedAcrossRowsGoesToTheLaterRow) {
  TCoche& ana = Local("Ana");
  TCoche& bea = Remoto(2, "Bea");
  Empezar("2");
  Vuelta(ana, 80);
  Vuelta(bea, 70);
  Vuelta(ana, 70);  // Ana wins; her 70 s in row 2 ties Bea's in row 1
  ASSERT_EQ(mensajes.shown.size(), 1u);
  EXPECT_NE(mensajes.shown[0].text.find("Vuelta más rápida 1:10:000 hecha por Ana\r"), std::string::npos);
}

TEST_F(VueltasTest, AStoppedRaceKeepsTheNewRecordButNotTheLaps) {
  TCoche& ana = Local("Ana");
  Empezar("5");
  Vuelta(ana, 65);
  p->FormKeyDown(27, {});
  EXPECT_TRUE(mensajes.shown.empty()) << "no results for a stopped race";
  const TCircuito leido("Pista");
  EXPECT_NEAR(leido.Record, Segundos(65), 1e-9);
  EXPECT_EQ(leido.AutorRecord, "Ana");
  IniFile perfil(carpeta.path() / "Jugadores/Ana.ini");
  EXPECT_EQ(perfil.ReadInteger("Perfil Circuito Pista", "VueltasDadas", 0), 0);
  EXPECT_EQ(ana.VueltasDadas, 0) << "the profile is read again";
}

TEST_F(VueltasTest, OneLapWinsAtOnceAndZeroLapsNeverEnds) {
  TCoche& ana = Local("Ana");
  Empezar("1");
  EXPECT_TRUE(Vuelta(ana, 90));
  EXPECT_EQ(Tocada("UltimaVuelta.wav"), 0);

  Empezar("0");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Vuelta(ana, 90));
  EXPECT_EQ(ana.Rotulo, "1:30:000/ -3 Laps");
  EXPECT_TRUE(p->sb_jugar->Down());
}

}  // namespace
}  // namespace rodavia
