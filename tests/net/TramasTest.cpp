// The frames on the wire: envelope, time and fixed-width fields, names that
// hold separators, and texts from other machines that do not fit their layout.
#include <gtest/gtest.h>

#include "net/Tramas.h"
#include "platform/Clock.h"

namespace rodavia {
namespace {

TEST(TramasTest, EnvelopeIsTypeLengthTextZeroAndPadding) {
  const std::vector<uint8_t> sobre = SobreTrama(Trama::EstadoEquipo, "01");
  EXPECT_EQ(sobre, (std::vector<uint8_t>{3, 0, 0, 0, 2, 0, 0, 0, '0', '1', 0, 0, 0, 0}));
  EXPECT_EQ(SobreTrama(Trama::Empezar, "").size(), 12u);

  int tipo = -1;
  std::string texto;
  ASSERT_TRUE(AbrirSobre(sobre.data(), sobre.size(), tipo, texto));
  EXPECT_EQ(tipo, 3);
  EXPECT_EQ(texto, "01");

  // A length beyond the message, or a zero inside the text, never reads past it.
  std::vector<uint8_t> mentiroso{9, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'};
  ASSERT_TRUE(AbrirSobre(mentiroso.data(), mentiroso.size(), tipo, texto));
  EXPECT_EQ(texto, "ab");
  std::vector<uint8_t> conCero{0, 0, 0, 0, 5, 0, 0, 0, 'h', 0, 'x', 'y', 'z'};
  ASSERT_TRUE(AbrirSobre(conCero.data(), conCero.size(), tipo, texto));
  EXPECT_EQ(texto, "h");

  std::vector<uint8_t> tipo15{15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(AbrirSobre(tipo15.data(), tipo15.size(), tipo, texto)) << "types above 14 are ignored";
  EXPECT_FALSE(AbrirSobre(sobre.data(), 7, tipo, texto));
}

TEST(TramasTest, TimesTravelAsThirteenDigitsWhateverTheirValue) {
  EXPECT_EQ(FormatWireTime(83.456 / 86400), "0009659259259");
  EXPECT_EQ(FormatWireTime(-0.0001), "0000000000000") << "a negative ranking keeps the width";
  EXPECT_EQ(FormatWireTime(1.5), "9999999999999");
  EXPECT_DOUBLE_EQ(LeerTiempo("0009659259259", 0), 0.0009659259259);

  EstadisticasJugador e;
  e.vueltaRapida = 0.9;
  e.ranking = -0.25;
  e.vecesJugadas = 12345;  // wider than its four digits
  e.indice = 7;
  const std::string bloque = TextoEstadisticas(e);
  ASSERT_EQ(bloque.size(), LongitudEstadisticas);
  const EstadisticasJugador leido = LeerEstadisticas(bloque);
  EXPECT_EQ(leido.indice, 7);
  EXPECT_EQ(leido.vecesJugadas, 9999);
  EXPECT_EQ(leido.ranking, 0);
  EXPECT_DOUBLE_EQ(leido.vueltaRapida, 0.9);
}

// Names ending in a separator, or holding a doubled one, travel in one agreed
// form ("&" and "$" as "_") and every field after them stays in place.
TEST(TramasTest, NamesHoldingOrEndingInSeparatorsCannotSplitAFrame) {
  EXPECT_EQ(NombreEnTrama("A&&B$$$C&D"), "A__B___C_D");
  for (const char* autor : {"Ana&", "Ana$", "Pe&&pe"})
    for (const char* circuito : {"Bahia$", "Roca&&Mar", "&Bahia"}) {
      const std::string texto = TextoRecord({WireTimeUnits(0.001), 46000, autor, circuito});
      std::string resto;
      const RecordEnTrama r = LeerRecord(texto + TextoEstadisticas({}), resto);
      EXPECT_EQ(r.autor, NombreEnTrama(autor));
      EXPECT_EQ(r.circuito, NombreEnTrama(circuito));
      EXPECT_EQ(r.fecha, 46000);
      EXPECT_EQ(resto.size(), LongitudEstadisticas);
    }
  for (const char* nombre : {"Ana&", "Ana$", "Ana&&Eva"}) {
    const JugadorEntra j = LeerJugadorEntra(TextoJugadorEntra({nombre, 3, " coche.bmp\r\n"}));
    EXPECT_EQ(j.nombre, NombreEnTrama(nombre));
    EXPECT_EQ(j.indice, 3);
    EXPECT_EQ(j.imagen, "coche.bmp");
  }
  EXPECT_EQ(LeerOpciones(TextoOpciones({3, true, "Bahia$"})).circuito, "Bahia_");
  EXPECT_TRUE(NombreViajaIntacto("Ana María"));
  EXPECT_FALSE(NombreViajaIntacto("Ana&"));
  EXPECT_FALSE(NombreViajaIntacto("Bahia$"));
}

// Two fresh machines take their computers' names as teams.
TEST(TramasTest, TheDefaultTeamIsTheComputersNameMadeSafe) {
  EXPECT_EQ(EquipoPorDefecto("sala-3.escuela.local"), "sala-3");
  EXPECT_EQ(EquipoPorDefecto("ordenador-de-maría-grande"), "ordenador-de-ma") << "15 characters, not bytes";
  EXPECT_EQ(EquipoPorDefecto("a/b\\c&d$e:f"), "abcdef");
  EXPECT_EQ(EquipoPorDefecto(""), "Desconocido");
  EXPECT_EQ(EquipoPorDefecto("&$"), "Desconocido");
}

TEST(TramasTest, TextsShorterThanTheirLayoutOrWithLettersRaiseConversionErrors) {
  const EstadoCoche e = LeerEstadoCoche("03488301091");
  EXPECT_EQ(e.indice, 3);
  EXPECT_EQ(e.xCampo, 488);
  EXPECT_EQ(e.y, 301);
  EXPECT_EQ(e.frame, 9);
  EXPECT_EQ(e.humo, 1);
  EXPECT_THROW(LeerEstadoCoche("0348830109"), ErrorConversion);
  EXPECT_THROW(LeerEstadoCoche("03x88301091"), ErrorConversion);
  EXPECT_THROW(LeerVuelta("0102000965925925"), ErrorConversion);
  EXPECT_THROW(LeerJugadorEntra("sin separador"), ErrorConversion);
  EXPECT_THROW(LeerJugadorEntra("Ana&&"), ErrorConversion);
  std::string resto;
  EXPECT_THROW(LeerRecord("0000000000001046000Pepe", resto), ErrorConversion);
  EXPECT_THROW(LeerOpciones("x"), ErrorConversion);

  const Opciones o = LeerOpciones("071 Bahía ");
  EXPECT_EQ(o.vueltas, 7);
  EXPECT_TRUE(o.colisiones);
  EXPECT_EQ(o.circuito, "Bahía");
  EXPECT_EQ(TextoOpciones({3, false, "Bahia"}), "030Bahia") << "laps always travel in two digits";
}

}  // namespace
}  // namespace rodavia
