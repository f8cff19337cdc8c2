// What a session announces to machines that look for games: read back
// whole, names cut to fit, anything else refused; an answer never larger
// than its query.
#include <gtest/gtest.h>

#include "net/Descubrimiento.h"
#include "platform/DiscoveryProtocol.h"

namespace rodavia {
namespace {

TEST(DescubrimientoTest, AnAnnouncementTravelsWholeInsideAnyAnswerToAQuery) {
  const AnuncioPartida a{"Azul", "Bahía", 12, 3, true, "0.79 BETA", 0xA1B2C3D4, true};
  const std::vector<uint8_t> bytes = CodificarAnuncio(a);
  const auto query = discovery::EncodeQuery();
  const auto answer = discovery::AnswerTo(query.data(), query.size(), 7000, bytes);
  ASSERT_TRUE(answer);
  EXPECT_LE(answer->size(), query.size());
  const auto parsed = discovery::ParseAnswer(answer->data(), answer->size());
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->port, 7000);
  const auto leido = LeerAnuncio(parsed->announcement);
  ASSERT_TRUE(leido);
  EXPECT_EQ(leido->equipoServidor, "Azul");
  EXPECT_EQ(leido->circuito, "Bahía");
  EXPECT_EQ(leido->vueltas, 12);
  EXPECT_EQ(leido->jugadores, 3);
  EXPECT_TRUE(leido->enCarrera);
  EXPECT_EQ(leido->version, "0.79 BETA");
  EXPECT_EQ(leido->sesion, 0xA1B2C3D4u);
  EXPECT_TRUE(leido->desdeServidor);
  EXPECT_EQ(TextoPartida({"10.0.0.1:7000", *leido, true}), "Azul - Bahía, 12 vueltas, 3/16, en carrera");
  EXPECT_EQ(TextoPartida({"10.0.0.1:7000", *leido, false}), "Azul - Bahía, 12 vueltas, 3/16, en carrera (versión 0.79 BETA)");

  // The longest names still fit the smallest query, cut between characters.
  std::string largo;
  for (int i = 0; i < 200; ++i) largo += "ñ";
  const auto grande = CodificarAnuncio({largo, largo, 99, 16, false, largo, 1, false});
  EXPECT_LE(discovery::kAnswerHeader + grande.size(), 170u);
  const auto recortado = LeerAnuncio(grande);
  ASSERT_TRUE(recortado);
  EXPECT_EQ(recortado->equipoServidor, std::string(largo, 0, 62));
}

TEST(DescubrimientoTest, DatagramsThatAreNotOursGetNoAnswerAndReadAsNothing) {
  const std::vector<uint8_t> anuncio = CodificarAnuncio({"Azul", "Bahia", 3, 1, false, "0.79 BETA", 1, true});
  auto query = discovery::EncodeQuery();
  EXPECT_FALSE(discovery::AnswerTo(query.data(), 17, 7000, anuncio)) << "an answer larger than its query";
  std::vector<uint8_t> otro(query);
  otro[7] = '!';
  EXPECT_FALSE(discovery::AnswerTo(otro.data(), otro.size(), 7000, anuncio)) << "another tag";
  EXPECT_FALSE(discovery::ParseAnswer(query.data(), query.size())) << "a query is no answer";

  std::vector<uint8_t> malo = anuncio;
  malo[0] = 100;  // laps beyond two digits
  EXPECT_FALSE(LeerAnuncio(malo));
  malo = anuncio;
  malo.push_back(0);  // a byte too many
  EXPECT_FALSE(LeerAnuncio(malo));
  malo = anuncio;
  malo.pop_back();  // a name running past the end
  EXPECT_FALSE(LeerAnuncio(malo));
  EXPECT_FALSE(LeerAnuncio({}));
}

}  // namespace
}  // namespace rodavia
