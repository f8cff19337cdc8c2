#include "platform/DataFolder.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes/Fakes.h"

namespace rodavia {
namespace {

namespace fs = std::filesystem;
using files::ChooseDataFolder;
using files::DataFolderSituation;

// A machine where the folders in `withData` hold a data set and those in
// `writable` can be written.
DataFolderSituation Machine(const std::string& program, std::set<fs::path> withData, std::set<fs::path> writable,
                            const std::string& xdg = "/home/ana/.datos", const std::string& home = "/home/ana") {
  DataFolderSituation s;
  s.program = program;
  s.xdgDataHome = xdg;
  s.home = home;
  s.holdsData = [withData](const fs::path& p) { return withData.count(p) > 0; };
  s.writable = [writable](const fs::path& p) { return writable.count(p) > 0; };
  return s;
}

TEST(DataFolder, ABuildOrAWritableCopyKeepsItsDataBesideTheProgram) {
  auto build = ChooseDataFolder(Machine("/src/build/Rodavia", {"/src/build/Rodavia"}, {"/src/build/Rodavia"}));
  EXPECT_EQ(build.folder, "/src/build/Rodavia");
  EXPECT_TRUE(build.defaults.empty());
  EXPECT_TRUE(build.error.empty());
  // A bare build without data yet starts there too, as it always did.
  EXPECT_EQ(ChooseDataFolder(Machine("/src/build/Rodavia", {}, {"/src/build/Rodavia"})).folder, "/src/build/Rodavia");
  // A copy on a read-only disc fills the player's folder from itself.
  auto disc = ChooseDataFolder(Machine("/media/cd/Rodavia", {"/media/cd/Rodavia"}, {}));
  EXPECT_EQ(disc.folder, "/home/ana/.datos/rodavia");
  EXPECT_EQ(disc.defaults, "/media/cd/Rodavia");
}

TEST(DataFolder, AnInstalledGameKeepsTheDataInThePlayersFolderEvenWhenItsOwnIsWritable) {
  const fs::path shared = "/usr/share/games/rodavia";
  auto player = ChooseDataFolder(Machine("/usr/games", {shared}, {}));
  EXPECT_EQ(player.folder, "/home/ana/.datos/rodavia");
  EXPECT_EQ(player.defaults, shared);
  // Root may write /usr/games, and still the game writes nothing there.
  auto root = ChooseDataFolder(Machine("/usr/games", {shared}, {"/usr/games", shared}, "", "/root"));
  EXPECT_EQ(root.folder, "/root/.local/share/rodavia");
  EXPECT_EQ(root.defaults, shared);
  // A relative XDG_DATA_HOME is invalid and ignored.
  EXPECT_EQ(ChooseDataFolder(Machine("/usr/games", {shared}, {}, "datos", "/home/ana")).folder,
            "/home/ana/.local/share/rodavia");
  auto nowhere = ChooseDataFolder(Machine("/usr/games", {shared}, {}, "", ""));
  EXPECT_TRUE(nowhere.folder.empty());
  EXPECT_NE(nowhere.error.find("HOME"), std::string::npos);
}

TEST(DataFolder, AFolderThePlayerAsksForWinsButNeverTheInstalledOne) {
  const fs::path shared = "/usr/share/games/rodavia";
  auto old = Machine("/usr/games", {shared, "/home/ana/Rodavia"}, {"/home/ana/Rodavia"});
  old.requested = "/home/ana/Rodavia/";
  auto choice = ChooseDataFolder(old);
  EXPECT_EQ(choice.folder, "/home/ana/Rodavia");
  EXPECT_EQ(choice.defaults, shared);  // a newer default data set adds what the old copy lacks

  auto build = Machine("/src/build/Rodavia", {"/src/build/Rodavia"}, {"/src/build/Rodavia"});
  build.requested = "/src/build/Rodavia";
  EXPECT_TRUE(ChooseDataFolder(build).defaults.empty());  // nothing to copy onto itself

  for (const char* installed : {"/usr/share/games/rodavia", "/usr/games/", "/usr/games/../share/games/rodavia"}) {
    auto s = Machine("/usr/games", {shared}, {"/usr/games", shared});
    s.requested = installed;
    auto refused = ChooseDataFolder(s);
    EXPECT_TRUE(refused.folder.empty()) << installed;
    EXPECT_NE(refused.error.find("instalado"), std::string::npos) << installed;
  }
}

TEST(DataFolder, FirstStartCopiesTheDefaultsAndLaterStartsOnlyAddWhatIsMissing) {
  test::TempProgramFolder temp;
  const fs::path defaults = temp.path() / "share", player = temp.path() / "home/rodavia";
  temp.Write("share/Jugadores/Jugador 1.ini", "por defecto");
  temp.Write("share/Circuitos/Ovalo.cfg", "sin record");
  temp.Write("share/Sonidos/Motor.wav", "RIFF");
  std::string error;
  ASSERT_TRUE(files::PrepareDataFolder({player, defaults, ""}, error)) << error;
  EXPECT_EQ(temp.Read("home/rodavia/Jugadores/Jugador 1.ini"), "por defecto");
  EXPECT_EQ(temp.Read("home/rodavia/Sonidos/Motor.wav"), "RIFF");

  // The player saves; a newer default data set changes those files and adds one.
  temp.Write("home/rodavia/Jugadores/Jugador 1.ini", "mio");
  temp.Write("home/rodavia/Circuitos/Ovalo.cfg", "record 41.3");
  temp.Write("home/rodavia/Rodavia.ini", "[Perfil]");
  fs::rename(player / "Circuitos", player / "circuitos");  // an old copy's own spelling
  temp.Write("share/Jugadores/Jugador 1.ini", "nuevo por defecto");
  temp.Write("share/Circuitos/Ovalo.cfg", "nuevo");
  temp.Write("share/Circuitos/Nuevo.cfg", "nuevo circuito");
  ASSERT_TRUE(files::PrepareDataFolder({player, defaults, ""}, error)) << error;
  EXPECT_EQ(temp.Read("home/rodavia/Jugadores/Jugador 1.ini"), "mio");
  EXPECT_EQ(temp.Read("home/rodavia/circuitos/Ovalo.cfg"), "record 41.3");
  EXPECT_EQ(temp.Read("home/rodavia/circuitos/Nuevo.cfg"), "nuevo circuito");
  EXPECT_EQ(temp.Read("home/rodavia/Rodavia.ini"), "[Perfil]");
  EXPECT_FALSE(temp.Exists("home/rodavia/Circuitos"));
}

TEST(DataFolder, AFolderThatCannotBeMadeIsNamedInTheMessage) {
  test::TempProgramFolder temp;
  temp.Write("fichero", "no es una carpeta");
  const fs::path folder = temp.path() / "fichero/rodavia";
  std::string error;
  EXPECT_FALSE(files::PrepareDataFolder({folder, {}, ""}, error));
  EXPECT_NE(error.find(folder.string()), std::string::npos) << error;
}

}  // namespace
}  // namespace rodavia
