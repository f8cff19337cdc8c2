#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include "fakes/Fakes.h"

namespace rodavia {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  std::filesystem::path Path() const { return folder.path() / "Rodavia.ini"; }
  test::TempProgramFolder folder;
};

TEST_F(IniFileTest, ReadsValuesWithoutRegardToCaseTrimmedAndCapped) {
  folder.Write("Rodavia.ini",
               "; comentario\n[Conexiones]\n  IP =  10.0.0.7  \r\nEquipo=\n"
               "[circuito]\r\nNombre=Monza=2\nLargo=" + std::string(3000, 'x') + "\n");
  IniFile ini(Path());
  ASSERT_TRUE(ini.readable());
  EXPECT_EQ(ini.ReadString("conexiones", "ip", "?"), "10.0.0.7");
  EXPECT_EQ(ini.ReadString("Conexiones", "Equipo", "Desconocido"), "");
  EXPECT_EQ(ini.ReadString("Conexiones", "Puerto", "6666"), "6666");
  EXPECT_EQ(ini.ReadString("CIRCUITO", "NOMBRE", "?"), "Monza=2");
  EXPECT_EQ(ini.ReadString("Circuito", "Largo", "").size(), 2047u);
  EXPECT_EQ(ini.ReadString("NoHay", "IP", "def"), "def");
  EXPECT_TRUE(ini.HasKey("circuito", "nombre"));
  EXPECT_FALSE(ini.HasKey("circuito", "ip"));  // keys belong to their own section
}

TEST_F(IniFileTest, IntegerBooleanAndRealForms) {
  folder.Write("Rodavia.ini",
               "[V]\ndec=-12\ndolar=$26\nhex=0x26\nHEX=0X1f\nmal=abc\nmedio=12abc\nvacio=\n"
               "dos=2\ncero=0\npunto=0.0009659259259\ncoma=1,25\nexp=1e-3\ngrande=99999999999\n");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("V", "dec", 0), -12);
  EXPECT_EQ(ini.ReadInteger("V", "dolar", 0), 38);
  EXPECT_EQ(ini.ReadInteger("V", "hex", 0), 38);
  EXPECT_EQ(ini.ReadInteger("V", "mal", 7), 7);
  EXPECT_EQ(ini.ReadInteger("V", "medio", 7), 7);
  EXPECT_EQ(ini.ReadInteger("V", "vacio", 7), 7);
  EXPECT_EQ(ini.ReadInteger("V", "grande", 7), 7);  // beyond 32 bits
  EXPECT_EQ(ini.ReadInteger("V", "falta", 27), 27);
  EXPECT_TRUE(ini.ReadBool("V", "dos", false));
  EXPECT_FALSE(ini.ReadBool("V", "cero", true));
  EXPECT_TRUE(ini.ReadBool("V", "mal", true));
  EXPECT_FALSE(ini.ReadBool("V", "falta", false));
  EXPECT_DOUBLE_EQ(ini.ReadReal("V", "punto", 0), 0.0009659259259);
  EXPECT_DOUBLE_EQ(ini.ReadReal("V", "coma", 0), 1.25);
  EXPECT_DOUBLE_EQ(ini.ReadReal("V", "exp", 0), 0.001);
  EXPECT_DOUBLE_EQ(ini.ReadReal("V", "mal", 0.9), 0.9);
}

TEST(IniFileParse, Integers) {
  long long v = 0;
  EXPECT_TRUE(IniFile::ParseInteger(" +42 ", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(IniFile::ParseInteger("$fF", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(IniFile::ParseInteger("-0x10", v));
  EXPECT_EQ(v, -16);
  EXPECT_TRUE(IniFile::ParseInteger("-9223372036854775808", v));
  EXPECT_EQ(v, INT64_MIN);
  v = 5;
  for (const char* bad : {"", " ", "$", "0x", "1 2", "--1", "1.5", "9223372036854775808", "$g", "0x-1"})
    EXPECT_FALSE(IniFile::ParseInteger(bad, v)) << bad;
  EXPECT_EQ(v, 5);  // untouched on failure
}

TEST(IniFileParse, Reals) {
  double v = 0;
  EXPECT_TRUE(IniFile::ParseReal("-3,5", v));
  EXPECT_EQ(v, -3.5);
  EXPECT_TRUE(IniFile::ParseReal(" .5 ", v));
  EXPECT_EQ(v, 0.5);
  EXPECT_TRUE(IniFile::ParseReal("1E+20", v));
  EXPECT_EQ(v, 1e20);
  EXPECT_TRUE(IniFile::ParseReal("7", v));
  EXPECT_EQ(v, 7);
  v = 2;
  for (const char* bad : {"", ".", "1,2,3", "1.2.3", "1e", "1e+", "inf", "nan", "0x1p3", "1 2", "abc", "1e999"})
    EXPECT_FALSE(IniFile::ParseReal(bad, v)) << bad;
  EXPECT_EQ(v, 2);
}

TEST(IniFileParse, FormatRealIsShortestWithFifteenDigits) {
  EXPECT_EQ(IniFile::FormatReal(0.9), "0.9");
  EXPECT_EQ(IniFile::FormatReal(0.0009659259259), "0.0009659259259");
  EXPECT_EQ(IniFile::FormatReal(3), "3");
  EXPECT_EQ(IniFile::FormatReal(-2.5), "-2.5");
  EXPECT_EQ(IniFile::FormatReal(0.1 + 0.2), "0.3");  // 15 digits, not 17
  EXPECT_EQ(IniFile::FormatReal(1.0 / 3), "0.333333333333333");
  double back = 0;
  ASSERT_TRUE(IniFile::ParseReal(IniFile::FormatReal(1e-7), back));
  EXPECT_DOUBLE_EQ(back, 1e-7);
}

TEST_F(IniFileTest, RewriteKeepsLinesInPlaceAndUnknownContent) {
  folder.Write("Rodavia.ini",
               "; cabecera\n[Pantalla]\nPantallaCompleta=1\nOtra=x\n\n[Ajena]\nClave=valor\n\n"
               "[Perfil]\nNombre=Ana\n");
  IniFile ini(Path());
  ini.WriteBool("pantalla", "pantallacompleta", false);
  ini.WriteString("Perfil", "Nombre", "Luis");
  ASSERT_TRUE(ini.Flush());
  EXPECT_EQ(folder.Read("Rodavia.ini"),
            "; cabecera\r\n[Pantalla]\r\npantallacompleta=0\r\nOtra=x\r\n\r\n[Ajena]\r\n"
            "Clave=valor\r\n\r\n[Perfil]\r\nNombre=Luis\r\n");
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastKeyOfItsSection) {
  folder.Write("Rodavia.ini", "[Pantalla]\r\nVerFrames=0\r\n\r\n\r\n[Perfil]\r\nNombre=Ana\r\n");
  IniFile ini(Path());
  ini.WriteBool("Pantalla", "VerControles", true);
  ini.WriteBool("Perfil", "Colisiones", true);
  ini.WriteString("Vacia", "A", "1");
  ASSERT_TRUE(ini.Flush());
  EXPECT_EQ(folder.Read("Rodavia.ini"),
            "[Pantalla]\r\nVerFrames=0\r\nVerControles=1\r\n\r\n\r\n[Perfil]\r\nNombre=Ana\r\n"
            "Colisiones=1\r\n[Vacia]\r\nA=1\r\n");
  EXPECT_EQ(IniFile(Path()).SectionNames(), (std::vector<std::string>{"Pantalla", "Perfil", "Vacia"}));
}

TEST_F(IniFileTest, NewFileFollowsTheOrderOfFirstWrites) {
  {
    IniFile ini(Path());
    EXPECT_TRUE(ini.readable());
    ini.WriteString("Perfil", "Nombre", "Jugador 1");
    ini.WriteString("Circuito", "Nombre", "Monza");
    ini.WriteString("Conexiones", "IP", "192.168.0.1");
    ini.WriteBool("Pantalla", "PantallaCompleta", true);
    ini.WriteBool("Perfil", "Colisiones", true);
    ini.WriteString("Circuito", "Vueltas", "3");
    ini.WriteReal("Pantalla", "Escala", 0.9);
    ini.WriteInteger("Conexiones", "Puerto", 6666);
    ASSERT_TRUE(ini.Flush());
  }
  IniFile back(Path());
  EXPECT_EQ(back.SectionNames(),
            (std::vector<std::string>{"Perfil", "Circuito", "Conexiones", "Pantalla"}));
  EXPECT_EQ(folder.Read("Rodavia.ini"),
            "[Perfil]\r\nNombre=Jugador 1\r\nColisiones=1\r\n[Circuito]\r\nNombre=Monza\r\n"
            "Vueltas=3\r\n[Conexiones]\r\nIP=192.168.0.1\r\nPuerto=6666\r\n[Pantalla]\r\n"
            "PantallaCompleta=1\r\nEscala=0.9\r\n");
  EXPECT_DOUBLE_EQ(back.ReadReal("Pantalla", "Escala", 0), 0.9);
  EXPECT_EQ(back.ReadInteger("conexiones", "PUERTO", 0), 6666);
}

TEST_F(IniFileTest, FlushWritesOnlyWhenSomethingWasWritten) {
  IniFile untouched(Path());
  EXPECT_TRUE(untouched.Flush());
  EXPECT_FALSE(folder.Exists("Rodavia.ini"));
}

TEST_F(IniFileTest, LineBreaksInAValueCannotForgeLines) {
  IniFile ini(Path());
  ini.WriteString("Perfil", "Nombre", "Ana\r\n[Trampa]\nClave=1");
  ASSERT_TRUE(ini.Flush());
  IniFile back(Path());
  EXPECT_EQ(back.SectionNames(), (std::vector<std::string>{"Perfil"}));
  EXPECT_EQ(back.ReadString("Perfil", "Nombre", ""), "Ana  [Trampa] Clave=1");
}

TEST_F(IniFileTest, UnreadableFileIsReportedAndNeverOverwritten) {
  std::filesystem::create_directories(Path());  // exists, but is no file
  IniFile ini(Path());
  EXPECT_FALSE(ini.readable());
  EXPECT_EQ(ini.ReadInteger("Conexiones", "Puerto", 6666), 6666);
  ini.WriteInteger("Conexiones", "Puerto", 1);
  EXPECT_FALSE(ini.Flush());
  EXPECT_TRUE(std::filesystem::is_directory(Path()));
}

TEST_F(IniFileTest, FirstOfDuplicateSectionsAndKeysWins) {
  folder.Write("Rodavia.ini", "\xEF\xBB\xBF[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
  EXPECT_EQ(ini.ReadInteger("A", "j", 0), 0);
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"A"}));
}

TEST_F(IniFileTest, ASectionNameHoldingBracketsIsFoundAgainAfterSaving) {
  for (int guardado = 0; guardado < 3; ++guardado) {
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Perfil Circuito Pista [2]", "VecesJugadas", 0), guardado);
    ini.WriteInteger("Perfil Circuito Pista [2]", "VecesJugadas", guardado + 1);
    ASSERT_TRUE(ini.Flush());
  }
  EXPECT_EQ(IniFile(Path()).SectionNames(), std::vector<std::string>{"Perfil Circuito Pista [2]"});
}

}  // namespace
}  // namespace rodavia
