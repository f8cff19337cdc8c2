#pragma once
// Files and folders beside the program. The game builds paths like
// "graficos\Semaforo.bmp" for the folder Graficos: "\" and "/" both separate,
// and every existing name is matched without regard to case.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rodavia::files {

// The data folder (DataFolder.h): every path the game builds starts here.
void SetProgramFolder(const std::filesystem::path& folder);
const std::filesystem::path& ProgramFolder();

// Resolves a path relative to the program folder (or an absolute one),
// component by component without regard to case. Components that do not
// exist are kept as written, so the result can name a file to create.
std::filesystem::path Resolve(const std::string& path);
// The same inside another folder.
std::filesystem::path ResolveIn(const std::filesystem::path& base, const std::string& path);

bool Exists(const std::string& path);
// Creates the folder and any missing parent; true when it exists afterwards.
bool CreateFolder(const std::string& path);
// Names of the ordinary files of a folder matching a mask like "*.jpg"
// (case-insensitive), sorted without regard to case.
std::vector<std::string> List(const std::string& folder, const std::string& mask);
bool ReadAll(const std::filesystem::path& path, std::vector<uint8_t>& bytes);
// Writes "<target>.tmp" beside the target, flushes it to disk, renames it over
// the target and flushes the folder, so a power cut leaves either the old or
// the new file. The temporary name is one per target: an interrupted save
// leaves at most that one file, which the next save reuses.
bool WriteAtomic(const std::filesystem::path& path, const std::string& contents);
bool Delete(const std::string& path);

// True when a name given by a player, read from a file or received from
// another machine can become one file name inside one of the game's folders:
// not empty, no "/" or "\\", not "." or "..", no drive ("C:"), none of
// < > : " | ? * and no control characters.
bool IsSafeFileName(const std::string& name);

// Case-insensitive comparisons for ASCII names (what the game's files use).
bool EqualNoCase(const std::string& a, const std::string& b);
bool LessNoCase(const std::string& a, const std::string& b);

}  // namespace rodavia::files
