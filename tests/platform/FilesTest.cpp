#include "platform/Files.h"

#include <gtest/gtest.h>

#include "fakes/Fakes.h"

namespace rodavia {
namespace {

namespace fs = std::filesystem;

TEST(Files, ResolveMatchesExistingNamesWithoutRegardToCase) {
  test::TempProgramFolder folder;
  folder.Write("Graficos/Semaforo.bmp", "x");
  EXPECT_EQ(files::Resolve("graficos\\SEMAFORO.BMP"), folder.path() / "Graficos" / "Semaforo.bmp");
  EXPECT_EQ(files::Resolve("GRAFICOS/semaforo.bmp"), folder.path() / "Graficos" / "Semaforo.bmp");
  // Missing parts are kept as written, below the matched ones.
  EXPECT_EQ(files::Resolve("graficos\\Nuevo\\A.bmp"), folder.path() / "Graficos" / "Nuevo" / "A.bmp");
}

TEST(Files, ResolvePrefersTheExactNameWhenSeveralDifferOnlyInCase) {
  test::TempProgramFolder folder;
  folder.Write("Datos/a.ini", "1");
  folder.Write("Datos/A.ini", "2");
  EXPECT_EQ(files::Resolve("Datos/A.ini"), folder.path() / "Datos" / "A.ini");
  EXPECT_EQ(files::Resolve("Datos/a.ini"), folder.path() / "Datos" / "a.ini");
}

TEST(Files, ExistsCreateFolderAndDelete) {
  test::TempProgramFolder folder;
  EXPECT_FALSE(files::Exists("Jugadores"));
  EXPECT_TRUE(files::CreateFolder("Jugadores\\Viejos\\Mas"));
  EXPECT_TRUE(fs::is_directory(folder.path() / "Jugadores" / "Viejos" / "Mas"));
  EXPECT_TRUE(files::CreateFolder("jugadores"));  // already there, any case
  EXPECT_FALSE(fs::exists(folder.path() / "jugadores"));

  folder.Write("Jugadores/Ana.ini", "[Perfil]\r\n");
  EXPECT_TRUE(files::Exists("JUGADORES\\ana.INI"));
  EXPECT_TRUE(files::Delete("jugadores\\ANA.ini"));
  EXPECT_FALSE(folder.Exists("Jugadores/Ana.ini"));
  EXPECT_FALSE(files::Delete("jugadores\\ANA.ini"));
  EXPECT_FALSE(files::Delete("Jugadores"));  // folders are not deleted
}

TEST(Files, CreateFolderFailsWhereAFileStands) {
  test::TempProgramFolder folder;
  folder.Write("Coches", "not a folder");
  EXPECT_FALSE(files::CreateFolder("Coches"));
}

TEST(Files, ListGivesMatchingOrdinaryFilesSortedWithoutRegardToCase) {
  test::TempProgramFolder folder;
  folder.Write("Circuitos/zeta.jpg", "");
  folder.Write("Circuitos/Alfa.JPG", "");
  folder.Write("Circuitos/beta.jpg", "");
  folder.Write("Circuitos/beta.cfg", "");
  folder.Write("Circuitos/jpg", "");
  folder.Write("Circuitos/Carpeta.jpg/x", "");  // a folder, not listed
  EXPECT_EQ(files::List("circuitos", "*.jpg"),
            (std::vector<std::string>{"Alfa.JPG", "beta.jpg", "zeta.jpg"}));
  EXPECT_EQ(files::List("CIRCUITOS", "*.CFG"), (std::vector<std::string>{"beta.cfg"}));
  EXPECT_TRUE(files::List("NoHay", "*.jpg").empty());
}

TEST(Files, ReadAllAndWriteAtomic) {
  test::TempProgramFolder folder;
  const fs::path target = folder.path() / "Rodavia.ini";
  ASSERT_TRUE(files::WriteAtomic(target, std::string("a\0b\r\n", 5)));
  ASSERT_TRUE(files::WriteAtomic(target, "second"));  // replaces
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(files::ReadAll(target, bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");
  // Nothing but the target is left beside it.
  int entries = 0;
  for (auto& e : fs::directory_iterator(folder.path())) entries += e.path() != target;
  EXPECT_EQ(entries, 0);
  EXPECT_FALSE(files::ReadAll(folder.path() / "missing", bytes));
  EXPECT_FALSE(files::ReadAll(folder.path(), bytes));  // a folder
}

TEST(Files, WriteAtomicFailureLeavesNoTemporaryFile) {
  test::TempProgramFolder folder;
  fs::create_directories(folder.path() / "Ocupado" / "dentro");
  // The target is a non-empty folder: the rename fails.
  EXPECT_FALSE(files::WriteAtomic(folder.path() / "Ocupado", "x"));
  EXPECT_FALSE(files::WriteAtomic(folder.path() / "NoHay" / "a.ini", "x"));
  int entries = 0;
  for (auto& e : fs::directory_iterator(folder.path())) entries += e.path().filename() != "Ocupado";
  EXPECT_EQ(entries, 0);
}

TEST(Files, AnInterruptedSaveLeavesOneTemporaryFileThatTheNextSaveReplaces) {
  test::TempProgramFolder folder;
  const fs::path target = folder.path() / "Jugadores.ini";
  // What a save cut off before its rename leaves behind: its temporary file.
  folder.Write("Jugadores.ini.tmp", std::string(1 << 20, 'x'));
  ASSERT_TRUE(files::WriteAtomic(target, "[Perfil]"));
  EXPECT_EQ(folder.Read("Jugadores.ini"), "[Perfil]");
  std::vector<fs::path> left;
  for (auto& e : fs::directory_iterator(folder.path())) left.push_back(e.path().filename());
  EXPECT_EQ(left, std::vector<fs::path>{"Jugadores.ini"});
}

TEST(Files, SafeFileNamesStayInsideTheirFolder) {
  for (const char* bueno : {"Ana", "Pista [2]", "Señor Ñandú", "a.b", "F1-Vanto-Rojo.bmp"})
    EXPECT_TRUE(files::IsSafeFileName(bueno)) << bueno;
  for (const std::string& malo : std::vector<std::string>{"", "..", "../../x", "a/b", "a\\b", "...", "x..", "C:", "C:x", "a<b",
                                 "a>b", "a\"b", "a|b", "a?b", "a*b", "a\tb", "a\nb", std::string("a\0b", 3),
                                 "a\x7f"})
    EXPECT_FALSE(files::IsSafeFileName(malo)) << malo;
}

}  // namespace
}  // namespace rodavia
