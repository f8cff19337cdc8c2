// What each received frame changes, decided from this machine's session:
// every field read back, the conditions on this machine's own state, frames
// that only act for their sender or only come from the host, and malformed
// frames that change nothing.
#include <gtest/gtest.h>

#include "net/Receptores.h"
#include "platform/Clock.h"

namespace rodavia {
namespace {

constexpr MemberId kAzul = 11, kRojo = 22;

struct ReceptoresTest : ::testing::Test {
  ModeloSesion modelo;
  Remitente rojo{kRojo, "Rojo", 0, false};
  Remitente azul{kAzul, "Azul", 0, true};  // the host

  ReceptoresTest() {
    // This machine (Verde) has Vera; Azul added Ana (index 1), Rojo added Rosa (2) and Raul (4).
    modelo.jugadores = {{"Vera", 3, true, 0, "Verde"},
                        {"Ana", 1, false, kAzul, "Azul"},
                        {"Rosa", 2, false, kRojo, "Rojo"},
                        {"Raul", 4, false, kRojo, "Rojo"}};
    modelo.circuito = "Bahia";
    modelo.unidadesRecord = WireTimeUnits(0.001);
    modelo.circuitos = {"Bahia", "Roca&&Mar", "Valverde"};
    modelo.version = "0.79 BETA";
    modelo.imagenDisponible = [](const std::string& imagen) { return imagen == "F1-Vanto-Rojo.bmp"; };
  }

  Decision De(const Remitente& de, Trama tipo, const std::string& texto) {
    const auto m = SobreTrama(tipo, texto);
    return Decidir(modelo, de, m.data(), m.size());
  }
  bool Nada(const Decision& d) {
    return d.lineas.empty() && !d.admitir && !d.quitar && !d.estadoRemitente && !d.armarSalida && d.mover.empty() &&
           !d.vuelta && !d.ajustes && d.ocultar.empty() && !d.record && d.estadisticas.empty() &&
           !d.framesEntreTramas && !d.versionDistinta;
  }
};

TEST_F(ReceptoresTest, FrameTypesKeepTheirWireNumbers) {
  const std::vector<std::pair<Trama, int>> numeros = {
      {Trama::Chat, 0},     {Trama::JugadorEntra, 1},  {Trama::JugadorSale, 2},    {Trama::EstadoEquipo, 3},
      {Trama::Empezar, 4},  {Trama::Coches, 5},        {Trama::Vuelta, 6},         {Trama::NuevoServidor, 8},
      {Trama::Opciones, 9}, {Trama::SinCircuito, 10},  {Trama::CochesFuera, 11},   {Trama::RecordCircuitoYPerfilJugadores, 12},
      {Trama::FramesEntreTramas, 13}, {Trama::Version, 14}};
  for (const auto& [tipo, numero] : numeros) EXPECT_EQ(SobreTrama(tipo, "")[0], numero);
}

TEST_F(ReceptoresTest, AJoiningPlayerIsAdmittedForItsSenderOrRefusedWithTheReason) {
  Decision d = De(rojo, Trama::JugadorEntra, "Rita&&05F1-Vanto-Rojo.bmp");
  ASSERT_TRUE(d.admitir);
  EXPECT_EQ(d.admitir->nombre, "Rita");
  EXPECT_EQ(d.admitir->indice, 5);
  EXPECT_EQ(d.admitir->imagen, "F1-Vanto-Rojo.bmp");
  EXPECT_EQ(d.lineas, (std::vector<LineaChat>{{"Sistema", "El jugador Rita del equipo Rojo se ha unido a la partida."}}));

  // A picture this machine lacks, or that names a path: the default car.
  d = De(rojo, Trama::JugadorEntra, "Rita&&05../../x.bmp");
  ASSERT_TRUE(d.admitir);
  EXPECT_EQ(d.admitir->imagen, "");
  EXPECT_EQ(d.lineas.front().texto,
            "El jugador Rita del equipo Rojo tiene la imagen del coche \"..Coches\\../../x.bmp\" que este equipo no posee.");

  d = De(rojo, Trama::JugadorEntra, "Ana&&05F1-Vanto-Rojo.bmp");
  EXPECT_FALSE(d.admitir);
  EXPECT_EQ(d.lineas, (std::vector<LineaChat>{{"Error", "El jugador Ana intenta entrar desde el equipo Rojo,"},
                                              {"Error", "pero ya existe un jugador Ana del equipo Azul."}}));
  d = De(rojo, Trama::JugadorEntra, "Rita&&01F1-Vanto-Rojo.bmp");
  EXPECT_FALSE(d.admitir);
  ASSERT_EQ(d.lineas.size(), 3u);
  EXPECT_EQ(d.lineas[1].texto, "pero el jugador Ana del equipo Azul tiene el mismo índice.");

  while (modelo.jugadores.size() < 16) modelo.jugadores.push_back({"X" + std::to_string(modelo.jugadores.size()), 0, true, 0, "Verde"});
  d = De(rojo, Trama::JugadorEntra, "Rita&&05F1-Vanto-Rojo.bmp");
  EXPECT_FALSE(d.admitir);
  EXPECT_EQ(d.lineas.back().texto, "El jugador Rita intenta entrar desde el equipo Rojo, pero ya hay 16 jugadores.");
}

TEST_F(ReceptoresTest, FramesAboutPlayersAndCarsOnlyTouchTheSendersOwn) {
  // Leaving: only a player the sender added, never this machine's or another team's.
  EXPECT_TRUE(Nada(De(rojo, Trama::JugadorSale, "Ana")));
  EXPECT_TRUE(Nada(De(rojo, Trama::JugadorSale, "Vera")));
  Decision d = De(rojo, Trama::JugadorSale, "Raul");
  EXPECT_EQ(d.quitar, 3u);
  EXPECT_EQ(d.lineas, (std::vector<LineaChat>{{"Sistema", "El jugador Raul del equipo Rojo ha dejado la partida."}}));

  modelo.estadoPropio = 2;
  // Index 1 is Azul's Ana and 3 this machine's Vera: only Rojo's 2 and 4 move.
  d = De(rojo, Trama::Coches, "01100200091" "02488301091" "03100200091" "04012345355");
  ASSERT_EQ(d.mover.size(), 2u);
  EXPECT_EQ(d.mover[0].first, 2u);
  EXPECT_EQ(d.mover[0].second.xCampo, 488);
  EXPECT_EQ(d.mover[0].second.y, 301);
  EXPECT_EQ(d.mover[0].second.frame, 9);
  EXPECT_EQ(d.mover[0].second.humo, 1);
  EXPECT_EQ(d.mover[1].first, 3u);
  EXPECT_EQ(d.mover[1].second.xCampo, 12);
  EXPECT_EQ(d.mover[1].second.y, 345);
  EXPECT_EQ(d.mover[1].second.frame, 35);
  EXPECT_EQ(d.mover[1].second.humo, 5);

  EXPECT_FALSE(De(rojo, Trama::Vuelta, "01030009659259259").vuelta);
  d = De(rojo, Trama::Vuelta, "04030009659259259");
  ASSERT_TRUE(d.vuelta);
  EXPECT_EQ(d.vuelta->posicion, 3u);
  EXPECT_EQ(d.vuelta->vuelta, 3);
  EXPECT_DOUBLE_EQ(d.vuelta->tiempo, 0.0009659259259);

  EXPECT_EQ(De(rojo, Trama::CochesFuera, "").ocultar, (std::vector<size_t>{2, 3}));
}

TEST_F(ReceptoresTest, RaceFramesActOnlyWhileRacingAndSettingsOnlyInTheLobby) {
  for (int16_t estado : {0, 1}) {
    modelo.estadoPropio = estado;
    EXPECT_TRUE(Nada(De(rojo, Trama::Coches, "02488301091"))) << "a car frame in the lobby changes nothing";
    EXPECT_TRUE(Nada(De(rojo, Trama::Vuelta, "02030009659259259")));
    EXPECT_TRUE(De(azul, Trama::Opciones, "051Valverde").ajustes);
  }
  modelo.estadoPropio = 2;
  EXPECT_TRUE(Nada(De(azul, Trama::Opciones, "051Valverde")));
  EXPECT_TRUE(Nada(De(rojo, Trama::SinCircuito, "Valverde")));

  // A start frame arms the start of a ready machine that is not racing, once.
  for (int16_t estado : {0, 2}) {
    modelo.estadoPropio = estado;
    EXPECT_FALSE(De(rojo, Trama::Empezar, "").armarSalida);
  }
  modelo.estadoPropio = 1;
  EXPECT_TRUE(De(rojo, Trama::Empezar, "").armarSalida);
  modelo.enCarrera = true;
  EXPECT_FALSE(De(rojo, Trama::Empezar, "").armarSalida) << "a second start while racing";
}

TEST_F(ReceptoresTest, OnlyTheHostSetsTheRaceAndItsVersionIsChecked) {
  for (Trama t : {Trama::Opciones, Trama::FramesEntreTramas, Trama::Version})
    EXPECT_TRUE(Nada(De(rojo, t, "071Valverde"))) << "from a guest: " << int(t);

  Decision d = De(azul, Trama::Opciones, "120Valverde ");
  ASSERT_TRUE(d.ajustes);
  EXPECT_EQ(d.ajustes->opciones.vueltas, 12);
  EXPECT_FALSE(d.ajustes->opciones.colisiones);
  EXPECT_EQ(d.ajustes->indiceCircuito, 2);
  EXPECT_TRUE(d.lineas.empty());
  // A circuit found by the name it travels under.
  EXPECT_EQ(De(azul, Trama::Opciones, "031Roca__Mar").ajustes->indiceCircuito, 1);
  d = De(azul, Trama::Opciones, "031Luna");
  EXPECT_EQ(d.ajustes->indiceCircuito, -1);
  EXPECT_EQ(d.lineas, (std::vector<LineaChat>{{"Error", "No tienes el circuito \"Luna\" que se ha seleccionado."}}));

  EXPECT_EQ(De(azul, Trama::FramesEntreTramas, "07").framesEntreTramas, 7);
  EXPECT_FALSE(De(azul, Trama::Version, "0.71 BETA").versionDistinta) << "the first three characters match";
  EXPECT_EQ(De(azul, Trama::Version, "1.0 BETA").versionDistinta, "1.0 BETA");
}

TEST_F(ReceptoresTest, ABetterRecordForThisCircuitIsTakenAndStatisticsGoToTheSendersCars) {
  auto record = [&](double dias, const std::string& circuito, std::vector<EstadisticasJugador> bloques = {}) {
    std::string texto = TextoRecord({WireTimeUnits(dias), 46001, "Rosa", circuito});
    for (const EstadisticasJugador& e : bloques) texto += TextoEstadisticas(e);
    return De(rojo, Trama::RecordCircuitoYPerfilJugadores, texto);
  };
  Decision d = record(0.0009, "Bahia");
  ASSERT_TRUE(d.record);
  EXPECT_EQ(d.record->autor, "Rosa");
  EXPECT_EQ(d.record->fecha, 46001);
  EXPECT_EQ(d.record->unidades, WireTimeUnits(0.0009));
  EXPECT_FALSE(record(0.001, "Bahia").record) << "an equal record";
  EXPECT_FALSE(record(0.0011, "Bahia").record) << "a slower one";
  EXPECT_FALSE(record(0.0009, "Valverde").record) << "another circuit";
  modelo.unidadesRecord = d.record->unidades;
  EXPECT_FALSE(record(0.0009, "Bahia").record) << "our own record coming back";

  EstadisticasJugador e;
  e.vueltaRapida = 0.0012;
  e.fechaVueltaRapida = 45000;
  e.vecesJugadas = 8;
  e.vecesGanadas = 3;
  e.vueltasDadas = 40;
  e.totalPartidas = 20;
  e.totalVictorias = 6;
  e.totalVueltas = 99;
  e.ranking = 0.0002;
  e.circuitosJugados = 2;
  e.indice = 2;
  EstadisticasJugador deAna = e;
  deAna.indice = 1;
  d = record(0.002, "Valverde", {deAna, e});
  EXPECT_EQ(d.circuitoEstadisticas, "Valverde");
  ASSERT_EQ(d.estadisticas.size(), 1u) << "Ana is Azul's";
  const auto& [posicion, leida] = d.estadisticas[0];
  EXPECT_EQ(posicion, 2u);
  EXPECT_DOUBLE_EQ(leida.vueltaRapida, 0.0012);
  EXPECT_EQ(leida.fechaVueltaRapida, 45000);
  EXPECT_EQ(leida.vecesJugadas, 8);
  EXPECT_EQ(leida.vecesGanadas, 3);
  EXPECT_EQ(leida.vueltasDadas, 40);
  EXPECT_EQ(leida.totalPartidas, 20);
  EXPECT_EQ(leida.totalVictorias, 6);
  EXPECT_EQ(leida.totalVueltas, 99);
  EXPECT_DOUBLE_EQ(leida.ranking, 0.0002);
  EXPECT_EQ(leida.circuitosJugados, 2);
}

TEST_F(ReceptoresTest, TeamStatesAndChatLinesAreKeptWithinTheirFields) {
  rojo.estado = 2;
  Decision d = De(rojo, Trama::EstadoEquipo, "00");
  EXPECT_EQ(d.estadoRemitente, 0);
  EXPECT_EQ(d.lineas, (std::vector<LineaChat>{{"Sistema", "El equipo Rojo ha salido del circuito."}}));
  rojo.estado = 1;
  d = De(rojo, Trama::EstadoEquipo, "00");
  EXPECT_TRUE(d.lineas.empty()) << "from ready, not from racing";
  EXPECT_EQ(De(rojo, Trama::EstadoEquipo, "02").estadoRemitente, 2);

  d = De(rojo, Trama::Chat, std::string(5000, 'a'));
  ASSERT_EQ(d.lineas.size(), 1u);
  EXPECT_EQ(d.lineas[0].tipo, "Rojo");
  EXPECT_EQ(d.lineas[0].texto, std::string(kLongitudChat, 'a'));
  std::string enes;
  for (int i = 0; i < 80; ++i) enes += "ñ";
  EXPECT_EQ(De(rojo, Trama::Chat, enes).lineas[0].texto.size(), 2 * kLongitudChat) << "characters, not bytes";
  EXPECT_EQ(De(rojo, Trama::Chat, "a\xFF" "b\tc").lineas[0].texto, "a\xEF\xBF\xBD" "b c");
  EXPECT_EQ(De(rojo, Trama::SinCircuito, "Luna").lineas,
            (std::vector<LineaChat>{{"Error", "El equipo Rojo no tiene el circuito \"Luna\"."}}));
  EXPECT_EQ(De(rojo, Trama::NuevoServidor, "").lineas,
            (std::vector<LineaChat>{{"Sistema", "El equipo Rojo pasa a ser el servidor de la sesión."}}));
}

TEST_F(ReceptoresTest, AMalformedFrameIsRefusedWholeBeforeAnythingChanges) {
  modelo.estadoPropio = 2;
  // The second block is bad: not even the first car moves.
  EXPECT_THROW(De(rojo, Trama::Coches, "02488301091" "04x12345355"), ErrorConversion);
  EXPECT_THROW(De(rojo, Trama::Coches, "02488301361"), ErrorConversion) << "frame 36";
  EXPECT_THROW(De(rojo, Trama::Coches, "02488301096"), ErrorConversion) << "smoke 6";
  // A better record followed by a short block: the record is not taken either.
  EXPECT_THROW(De(rojo, Trama::RecordCircuitoYPerfilJugadores,
                  TextoRecord({WireTimeUnits(0.0001), 46001, "Rosa", "Bahia"}) + "0001"),
               ErrorConversion);
  for (const char* texto : {"Rita&&00F1-Vanto-Rojo.bmp", "Rita&&17F1-Vanto-Rojo.bmp", "&&05F1-Vanto-Rojo.bmp",
                            "Rita&&5"})
    EXPECT_THROW(De(rojo, Trama::JugadorEntra, texto), ErrorConversion) << texto;
  EXPECT_THROW(De(rojo, Trama::JugadorEntra, std::string(65, 'r') + "&&05F1-Vanto-Rojo.bmp"), ErrorConversion);
  for (const char* texto : {"03", "0", "x1", "99"}) EXPECT_THROW(De(rojo, Trama::EstadoEquipo, texto), ErrorConversion);
  EXPECT_THROW(De(azul, Trama::FramesEntreTramas, "x"), ErrorConversion);
  EXPECT_THROW(De(rojo, Trama::Vuelta, "0403000965"), ErrorConversion);

  // Envelopes too short or of an unknown type are dropped without a word.
  const std::vector<uint8_t> corto{1, 0, 0};
  EXPECT_TRUE(Nada(Decidir(modelo, rojo, corto.data(), corto.size())));
  std::vector<uint8_t> tipo15 = SobreTrama(Trama::Chat, "hola");
  tipo15[0] = 15;
  EXPECT_TRUE(Nada(Decidir(modelo, rojo, tipo15.data(), tipo15.size())));
}

TEST(AvisarTramaErroneaTest, AtMostOneLineASecondForEachMember) {
  uint32_t ultimo = 0;
  EXPECT_TRUE(AvisarTramaErronea(ultimo, 5000));
  EXPECT_FALSE(AvisarTramaErronea(ultimo, 5999));
  EXPECT_TRUE(AvisarTramaErronea(ultimo, 6000));
  uint32_t alPrincipio = 0;
  EXPECT_TRUE(AvisarTramaErronea(alPrincipio, 0));
  EXPECT_FALSE(AvisarTramaErronea(alPrincipio, 10)) << "a clock at zero still counts as told";
}

}  // namespace
}  // namespace rodavia
