#pragma once
// The message and caption texts of the program, entries 1..42, with their built-in German
// defaults. A language section may replace them.

#include <array>
#include <string>

namespace veka {

class Meldungstabelle {
  public:
    static constexpr int Anzahl = 42;

    Meldungstabelle();  // the built-in German texts

    const std::string& operator[](int k) const { return texte_.at(static_cast<size_t>(k)); }
    void setzen(int k, std::string text) { texte_.at(static_cast<size_t>(k)) = std::move(text); }

  private:
    std::array<std::string, Anzahl + 1> texte_;  // index 0 unused
};

}  // namespace veka
