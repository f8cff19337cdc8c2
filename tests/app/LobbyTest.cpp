// The lobby's setup, roster and statistics controls, driven as a player would.
#include <gtest/gtest.h>

#include "app/Mundo.h"
#include "editors/Perfil.h"
#include "net/Tramas.h"
#include "platform/Application.h"
#include "platform/Machine.h"
#include "race/Coche.h"

namespace rodavia {
namespace {

using namespace test;

struct LobbyTest : ::testing::Test, Mundo {
  std::unique_ptr<TF_Principal> p;

  LobbyTest() {
    for (const char* jugador : {"Ana", "Bea", "Cris"}) carpeta.Write(std::string("Jugadores/") + jugador + ".ini", "");
    Circuito("Norte");
    Circuito("Sur");
    p = Arrancar();
  }
  ~LobbyTest() override { p.reset(); }

  void ElegirPerfil(const std::string& nombre) { p->cb_Perfil->Choose(p->cb_Perfil->IndexOf(nombre)); }
  void ElegirCircuito(const std::string& nombre) { p->cb_Circuito->Choose(p->cb_Circuito->IndexOf(nombre)); }
  void Seleccionar(const std::string& jugador) {
    for (size_t i = 0; i < p->lv_jugadores->Items.size(); ++i)
      if (p->lv_jugadores->Items[i].Caption == jugador) p->lv_jugadores->Select(int(i));
  }
};

TEST_F(LobbyTest, GearRatioBarShowsItsSplitAndSetsTheWorkingCar) {
  EXPECT_EQ(p->l_relacion->Caption, "Aceleración [50%-50%] Velocidad") << "the default ratio is 5";
  p->tb_relacion->SetPosition(0);
  EXPECT_EQ(p->l_relacion->Caption, "Aceleración [100%-0%] Velocidad");
  p->tb_relacion->SetPosition(10);
  EXPECT_EQ(p->l_relacion->Caption, "Aceleración [0%-100%] Velocidad");
  p->tb_relacion->SetPosition(3);
  EXPECT_EQ(p->l_relacion->Caption, "Aceleración [70%-30%] Velocidad");
  EXPECT_EQ(p->CocheTrabajo()->RelacionCambio, 3);
  p->rg_Ruedas->SetItemIndex(2);
  EXPECT_EQ(p->CocheTrabajo()->Ruedas, 2);
  EXPECT_EQ(p->l_Gasolina->Caption, "Gasolina para 10 vueltas");
  EXPECT_FALSE(p->tb_Gasolina->Enabled);
}

TEST_F(LobbyTest, ACarPictureWithoutItsFramesGivesTheDefaultWithAChatLine) {
  carpeta.Write("Coches/Corto.bmp", Bmp(360, 36));  // 10 frames: invisible facing most ways
  carpeta.Write("Jugadores/Dani.ini", "[Perfil]\r\nImagenCoche=Corto.bmp\r\n");
  p.reset();
  p = Arrancar();
  ElegirPerfil("Dani");
  ASSERT_GE(p->l_Chat->Items.size(), 2u);
  EXPECT_EQ(p->l_Chat->Items.back(),
            "<Error> que no tiene los 36 fotogramas de 36 x 36 pixels. Se le asignará la imagen del "
            "coche por defecto.");
  EXPECT_EQ(p->CocheTrabajo()->ImagenCoche, ImagenCochePorDefecto);
  EXPECT_NE(carpeta.Read("Jugadores/Dani.ini").find("ImagenCoche=F1-Vanto-Rojo.bmp"), std::string::npos);
}

TEST_F(LobbyTest, EachCircuitKeepsTheSetupLastUsedThere) {
  EXPECT_EQ(p->cb_Perfil->Text(), "Ana");
  ElegirCircuito("Norte");
  p->tb_relacion->SetPosition(2);
  ElegirCircuito("Sur");
  EXPECT_EQ(p->tb_relacion->Position(), 5);
  p->tb_relacion->SetPosition(9);
  ElegirCircuito("Norte");
  EXPECT_EQ(p->tb_relacion->Position(), 2);
  ElegirCircuito("Sur");
  EXPECT_EQ(p->tb_relacion->Position(), 9);
  // Another profile has its own.
  ElegirPerfil("Bea");
  EXPECT_EQ(p->tb_relacion->Position(), 5);
  ElegirPerfil("Ana");
  EXPECT_EQ(p->tb_relacion->Position(), 9);
}

TEST_F(LobbyTest, LapCountIsKeptAsTwoDigits) {
  p->e_NumVueltas->SetText("7");
  p->e_NumVueltas->OnExit();
  EXPECT_EQ(p->e_NumVueltas->Text(), "07");
  p->e_NumVueltas->SetText("x");
  p->e_NumVueltas->OnExit();
  EXPECT_EQ(p->e_NumVueltas->Text(), "05");
}

TEST_F(LobbyTest, RemovingPlayersFreesTheirIndexAndAsksOnlyForOtherTeams) {
  for (const char* j : {"Ana", "Bea", "Cris"}) p->AnyadirJugador(j);
  p->bb_quitar_de_la_partida->Click();
  EXPECT_EQ(mensajes.Texts().back(), "Seleccione un jugador para quitar de la partida.");
  Seleccionar("Bea");
  p->bb_quitar_de_la_partida->Click();
  EXPECT_EQ(mensajes.shown.size(), 1u) << "a local player is removed without a question";
  EXPECT_EQ(p->l_Chat->Items.back(), "<Sistema> El jugador Bea ha dejado la partida.");
  p->AnyadirJugador("Bea");
  EXPECT_EQ(p->Jugadores().back()->Indice, 2);

  auto* remoto = new TCoche(*p, 9, false, "F1-Vanto-Rojo.bmp", "Azul", "Dani");
  p->Jugadores().push_back(remoto);
  p->sb_jugadoresClick();
  Seleccionar("Dani");
  mensajes.answers = {MsgResult::No};
  p->bb_quitar_de_la_partida->Click();
  EXPECT_EQ(mensajes.Texts().back(), "¿ Seguro que quiere echar de la partida un jugador de otro equipo ?.");
  EXPECT_EQ(p->Jugadores().size(), 4u);
  mensajes.answers = {MsgResult::Yes};
  p->bb_quitar_de_la_partida->Click();
  EXPECT_EQ(p->Jugadores().size(), 3u);
}

TEST_F(LobbyTest, TeamsViewDisablesRemoveAndInfo) {
  p->AnyadirJugador("Ana");
  p->sb_equipos->Click();
  EXPECT_TRUE(p->sb_equipos->Down());
  EXPECT_FALSE(p->sb_jugadores->Down());
  EXPECT_TRUE(p->lv_jugadores->Items.empty()) << "no session, no teams";
  EXPECT_FALSE(p->bb_quitar_de_la_partida->Enabled);
  EXPECT_FALSE(p->bb_Info->Enabled);
  p->sb_jugadores->Click();
  EXPECT_EQ(p->lv_jugadores->Items.size(), 1u);
  EXPECT_TRUE(p->bb_Info->Enabled);
}

TEST_F(LobbyTest, InfoWritesThePlayersStatisticsIntoTheChat) {
  p->bb_Info->Click();
  EXPECT_EQ(mensajes.Texts().back(), "Seleccione un jugador para ver su Ranking.");
  p->AnyadirJugador("Ana");
  Seleccionar("Ana");
  const size_t antes = p->l_Chat->Items.size();
  p->bb_Info->Click();
  const auto& chat = p->l_Chat->Items;
  ASSERT_EQ(chat.size(), antes + 16);
  EXPECT_EQ(chat[antes], "<Info> " + std::string(132, '-'));
  EXPECT_EQ(chat[antes + 1], "<Info> Nombre = Ana");
  EXPECT_EQ(chat[antes + 2], "<Info> Eqipo = " + EquipoPorDefecto(ComputerName()));
  EXPECT_EQ(chat[antes + 3], "<Info> Vuelta rápida en el circuito Norte = 36:00:000");
  EXPECT_EQ(chat[antes + 8], "<Info> Porcentaje de victorias en el circuito Norte = -- %");
  EXPECT_EQ(chat[antes + 12], "<Info> Porcentaje de victorias = -- %");
  EXPECT_EQ(chat[antes + 13], "<Info> Ranking = +0:00:000");
  EXPECT_EQ(chat[antes + 14], "<Info> Circuitos Jugados = 0");
}

TEST_F(LobbyTest, ChoosingALocalPlayerInTheRosterSelectsItsProfile) {
  p->AnyadirJugador("Cris");
  Seleccionar("Cris");
  EXPECT_EQ(p->cb_Perfil->Text(), "Cris");
  EXPECT_EQ(p->CocheTrabajo()->Nombre, "Cris");
}

TEST_F(LobbyTest, DeletingAProfileAsksAndRefusesPlayersInTheRace) {
  ElegirPerfil("Bea");
  p->AnyadirJugador("Bea");
  p->bb_Borrar->Click();
  EXPECT_EQ(mensajes.Texts().back(), "No se puede borrar un jugador que está dentro de la partida.");
  ElegirPerfil("Cris");
  mensajes.answers = {MsgResult::No};
  p->bb_Borrar->Click();
  EXPECT_TRUE(carpeta.Exists("Jugadores/Cris.ini"));
  p->bb_Borrar->Click();
  EXPECT_EQ(mensajes.Texts().back(), "¿ Está seguro que quiere borrar el perfil de Cris ?");
  EXPECT_FALSE(carpeta.Exists("Jugadores/Cris.ini"));
  EXPECT_EQ(p->cb_Perfil->Items, (std::vector<std::string>{"Ana", "Bea"}));
}

}  // namespace
}  // namespace rodavia

namespace rodavia {
namespace {

using namespace test;

// The profile buttons open the profile dialog; its answer is scripted here.
struct BotonesPerfilTest : LobbyTest {
  ~BotonesPerfilTest() override { SetShowModal(nullptr); }
  void Dialogo(std::function<void(TF_Perfil&)> guion) {
    SetShowModal([guion](TForm& f) {
      guion(static_cast<TF_Perfil&>(f));
      return f.ModalResult;
    });
  }
};

TEST_F(BotonesPerfilTest, NewProfileIsSelectedAfterSaving) {
  Dialogo([](TF_Perfil& d) {
    EXPECT_EQ(d.NombreJugador, "");
    d.e_nombre.SetText("Dani");
    d.bb_Grabar.Click();
  });
  p->bb_Crear->Click();
  EXPECT_TRUE(carpeta.Exists("Jugadores/Dani.ini"));
  EXPECT_EQ(p->cb_Perfil->Text(), "Dani");
  EXPECT_EQ(p->CocheTrabajo()->Nombre, "Dani");
}

TEST_F(BotonesPerfilTest, ModifyIsRefusedForAPlayerInTheRaceAndReloadsAfterwards) {
  p->AnyadirJugador("Ana");
  p->bb_modificar->Click();
  EXPECT_EQ(mensajes.Texts().back(), "No se pueden modificar los datos de un jugador que está dentro de la partida.");

  ElegirPerfil("Bea");
  p->tb_relacion->SetPosition(8);
  Dialogo([](TF_Perfil& d) {
    EXPECT_EQ(d.NombreJugador, "Bea");
    d.bb_Salir.Click();
  });
  p->bb_modificar->Click();
  EXPECT_EQ(p->cb_Perfil->Text(), "Bea");
  // The setup chosen before was not saved over the file the dialog had open.
  EXPECT_EQ(p->tb_relacion->Position(), 5);
}

}  // namespace
}  // namespace rodavia

namespace rodavia {
namespace {

using namespace test;

TEST_F(LobbyTest, CircuitsSavedInTheEditorAreListedWhenItCloses) {
  SetShowModal([this](TForm& editor) {
    EXPECT_EQ(editor.Caption, "CrearCircuito");
    Circuito("Oeste");  // what a save from the editor leaves behind
    return 0;
  });
  p->sb_editar->Click();
  SetShowModal(nullptr);
  EXPECT_FALSE(p->sb_editar->Down());
  EXPECT_EQ(p->cb_Circuito->Items, (std::vector<std::string>{"Norte", "Oeste", "Sur"}));
}

}  // namespace
}  // namespace rodavia
