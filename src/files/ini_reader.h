// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A reader for INI files with the lookup rules of private-profile files: sections in square
// brackets (a line "[name" without "]" starts none), "key=value" entries, names compared
// without regard to letter case, blanks around section names, keys and values ignored (in the
// file and in the query), one pair of enclosing double quotes removed, the first match counts,
// ";" starts a comment line, values at most 2047 characters. The file is parsed once.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veka {

inline constexpr size_t MaxIniWertlaenge = 2047;

// A language file has a few KB per language; a larger file than this is not read.
inline constexpr size_t MaxIniBytes = size_t{4} << 20;

class IniFile {
  public:
    // An empty file: every lookup gives its default.
    IniFile() = default;

    // Parses a file's bytes (UTF-8, or Windows-1252 when they are not valid UTF-8).
    static IniFile parse(std::string_view bytes);

    // Reads and parses a file; a file that cannot be read, is over MaxIniBytes or exhausts
    // memory gives an empty IniFile, as a missing one does.
    static IniFile load(const std::string& path);

    bool fileFound() const { return found_; }

    // The value (UTF-8) of the key in the section, or the default when the section or the key
    // is missing. A key present with an empty value gives "".
    std::string get(std::string_view section, std::string_view key,
                    std::string_view fallback = "ERROR") const;

    // All section names in file order, as written.
    const std::vector<std::string>& sections() const { return names_; }

  private:
    using Entries = std::unordered_map<std::string, std::string>;  // folded key -> value

    void addSection(std::string name);
    void addEntry(std::string_view key, std::string_view value);
    void parseLine(std::string_view line);

    bool found_ = false;
    std::vector<std::string> names_;
    std::vector<Entries> entries_;                   // per section, parallel to names_
    std::unordered_map<std::string, size_t> index_;  // folded name -> first such section
    static constexpr size_t kNoSection = static_cast<size_t>(-1);
    size_t current_ = kNoSection;  // where entries go while parsing
};

// Letter case folded for comparison: ASCII and the Latin-1 capitals in UTF-8.
std::string foldCase(std::string_view text);

}  // namespace veka
