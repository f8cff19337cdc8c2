#pragma once
// Which folder holds the game's data (circuits, cars, sounds, profiles,
// records and Rodavia.ini). A build or an unpacked copy keeps it beside the
// executable. An installed game cannot write its own folder: it keeps the
// data in the player's folder and fills it from the default data set
// installed with it, adding only what is missing, so nothing a player saved
// is ever replaced.
#include <filesystem>
#include <functional>
#include <string>

namespace rodavia::files {

// Where an installed game's default data set lies, from the executable's
// folder: /usr/games/rodavia reads /usr/share/games/rodavia.
inline constexpr const char* kInstalledDataFromProgram = "../share/games/rodavia";

// Everything the choice depends on, gathered by CurrentSituation; tests pass
// their own.
struct DataFolderSituation {
  std::filesystem::path program;    // the executable's folder
  std::filesystem::path requested;  // asked for by the player (absolute), or empty
  std::string xdgDataHome, home;    // $XDG_DATA_HOME and $HOME, empty when unset
  std::function<bool(const std::filesystem::path&)> holdsData;  // has the data set's folders
  std::function<bool(const std::filesystem::path&)> writable;
};

struct DataFolderChoice {
  std::filesystem::path folder;    // empty when there is none: see error
  std::filesystem::path defaults;  // the default data set to add from, or empty
  std::string error;
};

DataFolderChoice ChooseDataFolder(const DataFolderSituation& situation);

// The situation of this process: the environment and the real file system.
DataFolderSituation CurrentSituation(const std::filesystem::path& program,
                                     const std::filesystem::path& requested);

// Creates the folder, adds every file of the default data set that it lacks
// (names matched without regard to case) and checks that the game can write
// there. False, with a message naming the folder, when it cannot.
bool PrepareDataFolder(const DataFolderChoice& choice, std::string& error);

}  // namespace rodavia::files
