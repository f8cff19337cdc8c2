#pragma once
// INI files as the game reads and writes them: settings and profiles, key by
// key. Section and key names match without regard to case; a write replaces
// the key's line in place, or appends it at the end of its section, or
// appends the section; unknown sections and keys survive. The file is read
// when the object is made and rewritten atomically by Flush.
#include <filesystem>
#include <string>
#include <vector>

namespace rodavia {

class IniFile {
 public:
  explicit IniFile(std::filesystem::path path);

  // False when the file exists but could not be read.
  bool readable() const { return readable_; }

  // The value after "=", blanks around it removed, at most 2047 characters.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  // Decimal, or hexadecimal after "$" or "0x"; a missing or unparsable value
  // gives the default.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  // Accepts "." or "," as the decimal separator.
  double ReadReal(const std::string& section, const std::string& key, double def) const;
  bool HasKey(const std::string& section, const std::string& key) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, long long value);
  void WriteBool(const std::string& section, const std::string& key, bool value);  // 1 or 0
  // Shortest general form with up to 15 significant digits, "." separator.
  void WriteReal(const std::string& section, const std::string& key, double value);

  // Section names in file order.
  std::vector<std::string> SectionNames() const;

  // Rewrites the file when anything was written; false on failure.
  bool Flush();

  // Helpers for other text values of the game.
  static bool ParseInteger(const std::string& text, long long& value);
  static bool ParseReal(const std::string& text, double& value);
  static std::string FormatReal(double value);

 private:
  int findSection(const std::string& section) const;
  int findKey(int sectionLine, const std::string& key) const;

  std::filesystem::path path_;
  std::vector<std::string> lines_;
  bool readable_ = true;
  bool dirty_ = false;
};

}  // namespace rodavia
