#pragma once
// Files and folders beside the program. The game builds paths like
// "graficos\Semaforo.bmp" for the folder Graficos: "\" and "/" both separate,
// and every existing name is matched without regard to case.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rodavia::files {

// The folder of the running executable; every path the game builds starts here.
void SetProgramFolder(const std::filesystem::path& folder);
const std::filesystem::path& ProgramFolder();

// Resolves a path relative to the program folder (or an absolute one),
// component by component without regard to case. Components that do not
// exist are kept as written, so the result can name a file to create.
std::filesystem::path Resolve(const std::string& path);

bool Exists(const std::string& path);
// Creates the folder and any missing parent; true when it exists afterwards.
bool CreateFolder(const std::string& path);
// Names of the ordinary files of a folder matching a mask like "*.jpg"
// (case-insensitive), sorted without regard to case.
std::vector<std::string> List(const std::string& folder, const std::string& mask);
bool ReadAll(const std::filesystem::path& path, std::vector<uint8_t>& bytes);
// Writes a temporary file beside the target and renames it over the target.
bool WriteAtomic(const std::filesystem::path& path, const std::string& contents);
bool Delete(const std::string& path);

// Case-insensitive comparisons for ASCII names (what the game's files use).
bool EqualNoCase(const std::string& a, const std::string& b);
bool LessNoCase(const std::string& a, const std::string& b);

}  // namespace rodavia::files
