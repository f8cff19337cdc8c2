#include "race/Circuito.h"

#include <gtest/gtest.h>

#include "fakes/Fakes.h"
#include "platform/Files.h"

namespace rodavia {
namespace {

using test::FakeClock;
using test::ScriptedMessages;
using test::TempProgramFolder;

std::vector<std::string> Lineas(const std::string& texto) {
  std::vector<std::string> lineas;
  size_t inicio = 0;
  for (size_t fin; (fin = texto.find("\r\n", inicio)) != std::string::npos; inicio = fin + 2)
    lineas.push_back(texto.substr(inicio, fin - inicio));
  EXPECT_EQ(inicio, texto.size()) << "every line ends in CR LF";
  return lineas;
}

// Writes Circuitos/<nombre>.cfg from its lines.
void Escribir(const TempProgramFolder& carpeta, const std::string& nombre,
              const std::vector<std::string>& lineas) {
  std::string t;
  for (auto& s : lineas) t += s + "\r\n";
  carpeta.Write("Circuitos/" + nombre + ".cfg", t);
}

// A circuit with a value of its own in every field; the program folder must
// not hold an "Ejemplo" description yet.
TCircuito Ejemplo() {
  TCircuito c("Ejemplo");
  c.Celda(0, 0) = 'P';
  c.Celda(256, 0) = 'M';
  c.Celda(0, 192) = 'b';
  c.Titulo = "Óvalo rápido";
  c.Autor = "Equipo";
  c.Email = "equipo@ejemplo.org";
  c.Record = 0.000965925925925926;
  c.AutorRecord = "Ana";
  c.FechaRecord = 46000;
  c.Colores[4] = 123;
  c.Colores[8] = 456;
  c.Salidas[1] = {100, 200, 9};
  c.Salidas[16] = {-5, 742, 35};
  c.Box = {500, 600, 27};
  return c;
}

TEST(CircuitoTest, RealsUseTheFixed23CharacterForm) {
  EXPECT_EQ(TCircuito::FormatoReal(0.9), " 9.00000000000000E-0001");
  EXPECT_EQ(TCircuito::FormatoReal(37000), " 3.70000000000000E+0004");
  EXPECT_EQ(TCircuito::FormatoReal(-0.5), "-5.00000000000000E-0001");
  EXPECT_EQ(TCircuito::FormatoReal(0), " 0.00000000000000E+0000");
  EXPECT_EQ(TCircuito::FormatoReal(0.9).size(), 23u);
}

TEST(CircuitoTest, DescriptionHas260LinesInTheFileOrder) {
  TempProgramFolder carpeta;
  const auto l = Lineas(Ejemplo().Texto());
  ASSERT_EQ(l.size(), 260u);
  EXPECT_EQ(l[0].size(), 257u);
  EXPECT_EQ(l[0][0], 'P');
  EXPECT_EQ(l[0][256], 'M');
  EXPECT_EQ(l[192][0], 'b');
  EXPECT_EQ(l[193], "Ejemplo");
  EXPECT_EQ(l[194], "Óvalo rápido");
  EXPECT_EQ(l[197], " 9.65925925925926E-0004");
  EXPECT_EQ(l[199], " 4.60000000000000E+0004");
  EXPECT_EQ(l[200], "8421504");   // asphalt colour
  EXPECT_EQ(l[204], "16777215");  // finish line colour comes fifth
  EXPECT_EQ(l[206], "456");       // split 2
  EXPECT_EQ(l[207], "100");       // start 1: X, Y, angle
  EXPECT_EQ(l[209], "9");
  EXPECT_EQ(l[252], "-5");        // start 16
  EXPECT_EQ(l[255], "123");       // pit lane colour after the starts
  EXPECT_EQ(l[257], "500");       // pit position
  EXPECT_EQ(l[259], "27");
}

TEST(CircuitoTest, WritingAndOpeningAgainGivesTheSameFields) {
  TempProgramFolder carpeta;
  const TCircuito escrito = Ejemplo();
  EXPECT_FALSE(escrito.Grabar()) << "no Circuitos folder yet";
  files::CreateFolder("Circuitos");
  ASSERT_TRUE(escrito.Grabar());
  ScriptedMessages mensajes;
  const TCircuito leido("Ejemplo");
  EXPECT_TRUE(mensajes.shown.empty());
  EXPECT_EQ(leido.Mascara, escrito.Mascara);
  EXPECT_EQ(leido.Titulo, escrito.Titulo);
  EXPECT_EQ(leido.Email, escrito.Email);
  EXPECT_DOUBLE_EQ(leido.Record, escrito.Record);
  EXPECT_EQ(leido.AutorRecord, "Ana");
  EXPECT_DOUBLE_EQ(leido.FechaRecord, 46000);
  EXPECT_EQ(leido.Colores, escrito.Colores);
  EXPECT_EQ(leido.Salidas[16].X, -5);
  EXPECT_EQ(leido.Salidas[16].Y, 742);
  EXPECT_EQ(leido.Box.Angulo, 27);
  EXPECT_EQ(leido.Texto(), escrito.Texto());
}

TEST(CircuitoTest, MissingDescriptionGivesGrassAndDefaultsWithoutAMessage) {
  TempProgramFolder carpeta;
  FakeClock reloj(46123.75);
  ScriptedMessages mensajes;
  const TCircuito c("Nuevo");
  EXPECT_TRUE(mensajes.shown.empty());
  EXPECT_EQ(c.Celda(128, 96), '1');
  EXPECT_EQ(c.Nombre, "Nuevo");
  EXPECT_EQ(c.Titulo, "Desconocido");
  EXPECT_EQ(c.AutorRecord, "Desconocido");
  EXPECT_DOUBLE_EQ(c.Record, SinRecord);
  EXPECT_DOUBLE_EQ(c.FechaRecord, 46123);  // today, time of day dropped
  EXPECT_EQ(c.Colores[3], 0x0000FFu);
  EXPECT_EQ(c.Salidas[3].Y, 120);
  EXPECT_EQ(c.Salidas[3].Angulo, 9);
  EXPECT_EQ(c.Box.Y, 680);
}

TEST(CircuitoTest, EmptyNameLineBringsTheDefaultsButKeepsTheGrid) {
  TempProgramFolder carpeta;
  FakeClock reloj(46200.2);
  auto l = Lineas(Ejemplo().Texto());
  l[193] = "";
  Escribir(carpeta, "Copia", l);
  const TCircuito c("Copia");
  EXPECT_EQ(c.Nombre, "Copia");
  EXPECT_EQ(c.Celda(0, 0), 'P');
  EXPECT_EQ(c.Titulo, "Desconocido");
  EXPECT_DOUBLE_EQ(c.Record, SinRecord);
  EXPECT_DOUBLE_EQ(c.FechaRecord, 46200);
  EXPECT_EQ(c.Salidas[1].X, 0);
  EXPECT_EQ(c.Colores[4], 0x808080u);
}

TEST(CircuitoTest, FileEndingAfterTheGridReadsEmptyAndZeroWithoutAMessage) {
  TempProgramFolder carpeta;
  auto l = Lineas(Ejemplo().Texto());
  l.resize(200);  // up to the record date
  Escribir(carpeta, "Corto", l);
  ScriptedMessages mensajes;
  const TCircuito c("Corto");
  EXPECT_TRUE(mensajes.shown.empty());
  EXPECT_EQ(c.Titulo, "Óvalo rápido");
  EXPECT_EQ(c.Colores[0], 0u);
  EXPECT_EQ(c.Salidas[1].Y, 0);
  EXPECT_EQ(c.Box.Angulo, 0);
}

TEST(CircuitoTest, NumberThatDoesNotParseStopsTheReadingWithAMessage) {
  TempProgramFolder carpeta;
  auto l = Lineas(Ejemplo().Texto());
  l[207] = "12x";  // start 1, X
  Escribir(carpeta, "Malo", l);
  ScriptedMessages mensajes;
  TCircuito c("Malo");
  ASSERT_EQ(mensajes.Texts().size(), 1u);
  EXPECT_EQ(mensajes.Texts()[0].rfind("Error al crear la clase circuito.", 0), 0u);
  EXPECT_NE(mensajes.Texts()[0].find("no se guardarán"), std::string::npos);
  EXPECT_EQ(c.Colores[8], 456u);  // read before the failure
  EXPECT_EQ(c.Salidas[1].X, 0);   // not read, and no defaults applied
  EXPECT_EQ(c.Salidas[2].Y, 0);
  EXPECT_EQ(c.Box.Y, 0);
  // A new record is kept in memory but never saved over what the file holds.
  const std::string antes = carpeta.Read("Circuitos/Malo.cfg");
  c.Record = 0.0005;
  EXPECT_FALSE(c.Grabar());
  EXPECT_EQ(carpeta.Read("Circuitos/Malo.cfg"), antes);
}

TEST(CircuitoTest, TheDescriptionIsWrittenBackToTheFileItWasReadFrom) {
  TempProgramFolder carpeta;
  auto l = Lineas(Ejemplo().Texto());
  for (const char* nombre : {"../../fuera", "Otro"}) {
    l[193] = nombre;
    Escribir(carpeta, "Pista", l);
    carpeta.Write("Circuitos/Otro.cfg", "el otro circuito");
    TCircuito c("Pista");
    c.Record = 0.0005;
    ASSERT_TRUE(c.Grabar()) << nombre;
    EXPECT_EQ(carpeta.Read("Circuitos/Otro.cfg"), "el otro circuito") << nombre;
    EXPECT_EQ(TCircuito("Pista").Record, 0.0005) << nombre;
  }
  EXPECT_FALSE(std::filesystem::exists(carpeta.path().parent_path().parent_path() / "fuera.cfg"));
  // A name that is no file name opens as the defaults and is never written.
  TCircuito fuera("../Jugadores/Ana");
  EXPECT_EQ(fuera.Titulo, "Desconocido");
  EXPECT_FALSE(fuera.Grabar());
  EXPECT_FALSE(carpeta.Exists("Jugadores/Ana.cfg"));
}

TEST(CircuitoTest, NegativeMaskColoursKeepTheirSign) {
  TempProgramFolder carpeta;
  auto l = Lineas(Ejemplo().Texto());
  l[200] = "-16777201";   // colour of Asfalto: a system colour
  l[255] = "4278190095";  // colour of Boxes: the same colour written unsigned
  Escribir(carpeta, "Sistema", l);
  const auto escrito = Lineas(TCircuito("Sistema").Texto());
  EXPECT_EQ(escrito[200], "-16777201");
  EXPECT_EQ(escrito[255], "-16777201");
  EXPECT_EQ(escrito[201], "32768");
}

TEST(CircuitoTest, NumbersSkipBlankLinesAndKeepTheLow16Bits) {
  TempProgramFolder carpeta;
  auto l = Lineas(Ejemplo().Texto());
  l[207] = "65636";            // 65636 & 0xFFFF = 100
  l[208] = "\r\n  -3 trailing text";
  Escribir(carpeta, "Raro", l);
  const TCircuito c("Raro");
  EXPECT_EQ(c.Salidas[1].X, 100);
  EXPECT_EQ(c.Salidas[1].Y, -3);
  EXPECT_EQ(c.Salidas[1].Angulo, 9);
}

TEST(CircuitoTest, ShortGridLinesReadAsGrassBeyondTheirEnd) {
  TempProgramFolder carpeta;
  auto l = Lineas(Ejemplo().Texto());
  l[5] = "000";
  Escribir(carpeta, "Corta", l);
  const TCircuito c("Corta");
  EXPECT_EQ(c.Celda(2, 5), '0');
  EXPECT_EQ(c.Celda(3, 5), '1');
  EXPECT_EQ(c.Celda(256, 5), '1');
  EXPECT_EQ(c.Titulo, "Óvalo rápido");
}

TEST(CircuitoTest, GroundLookupBoxAndHalfToEvenCells) {
  TempProgramFolder carpeta;
  TCircuito c = Ejemplo();
  c.Mascara.fill('0');
  EXPECT_EQ(c.SueloEn(-10, 100), '0');
  EXPECT_EQ(c.SueloEn(998, 100), '0');
  EXPECT_EQ(c.SueloEn(100, -10), '0');
  EXPECT_EQ(c.SueloEn(100, 742), '0');
  EXPECT_EQ(c.SueloEn(-10.01, 100), 'P');
  EXPECT_EQ(c.SueloEn(998.01, 100), 'P');
  EXPECT_EQ(c.SueloEn(100, 742.01), 'P');
  EXPECT_EQ(c.SueloEn(100, -10.5), 'P');
  // (X + 14) / 4 = 2.5 rounds to cell 2, 3.5 to cell 4.
  c.Celda(2, 10) = 'T';
  c.Celda(3, 10) = 'x';
  c.Celda(4, 10) = 't';
  EXPECT_EQ(c.SueloEn(-4, 26), 'T');
  EXPECT_EQ(c.SueloEn(0, 26), 't');
  EXPECT_EQ(c.SueloEn(-2.1, 26), 'x');
  // The far corners of the box stay within the grid.
  c.Celda(253, 189) = 'M';
  EXPECT_EQ(c.SueloEn(998, 742), 'M');
}

}  // namespace
}  // namespace rodavia
