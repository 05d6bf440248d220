// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers of the renderer and evaluation tests: a fresh instrument, a scripted user
// interface and pixel queries on a surface.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "display/quickdraw.h"
#include "state/instrument.h"
#include "state/user_interface.h"

namespace veka::testing {

inline constexpr uint8_t BackgroundColour = 255;
inline constexpr uint8_t GridColour = 0;
inline constexpr uint8_t CurveColour = 230;
inline constexpr uint8_t MarkColour = 150;
inline constexpr uint8_t CursorColour = 24;

// The instrument is too big for a test's stack frame.
inline std::unique_ptr<Instrument> makeInstrument(int32_t messart = Durchgang, bool linear = false,
                                                  int32_t punkte = 280) {
    auto inst = std::make_unique<Instrument>();
    inst->e.Startfrequenz = 10000000;
    inst->e.Schrittweite = 1000;
    inst->e.Messpunkte = punkte;
    inst->Messart = messart;
    inst->Linear = linear;
    inst->Dezimaltrenner = ',';
    return inst;
}

// Scripted answers; records every request and whether the data lock was free when asked.
class FakeUi : public UserInterface {
  public:
    explicit FakeUi(Instrument* inst = nullptr) : inst_(inst) {}
    // Whose data lock must be free whenever the user is asked.
    void watch(Instrument* inst) { inst_ = inst; }

    std::vector<std::string> messages;
    std::vector<WertEingabeAnfrage> anfragen;
    std::vector<std::string> antworten;  // empty: behave like cancel
    bool lockWasHeld = false;

    void showMessage(const std::string& text) override {
        checkLock();
        messages.push_back(text);
    }
    std::string WertEingabe(const WertEingabeAnfrage& a) override {
        checkLock();
        anfragen.push_back(a);
        if (antworten.empty()) return a.startText;
        std::string s = antworten.front();
        antworten.erase(antworten.begin());
        return s;
    }
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return {}; }
    void showError(const std::string& text) override { messages.push_back(text); }
    void postToWindowThread(std::function<void()> task) override { task(); }

  private:
    void checkLock() {
        if (!inst_) return;
        if (inst_->datenMutex.try_lock()) {
            inst_->datenMutex.unlock();
        } else {
            lockWasHeld = true;
        }
    }
    Instrument* inst_;
};

// Rows y where every pixel from x1 to x2 has the colour.
inline std::vector<int> fullRows(const TBildfeld& f, int x1, int x2, uint8_t farbe) {
    std::vector<int> rows;
    for (int y = 1; y <= BildHoehe; ++y) {
        bool all = true;
        for (int x = x1; x <= x2 && all; ++x) all = f.at(x, y) == farbe;
        if (all) rows.push_back(y);
    }
    return rows;
}

// Columns x (from xFrom on) where every pixel from y1 to y2 has the colour.
inline std::vector<int> fullColumns(const TBildfeld& f, int y1, int y2, uint8_t farbe,
                                    int xFrom = 1) {
    std::vector<int> cols;
    for (int x = xFrom; x <= BildBreite; ++x) {
        bool all = true;
        for (int y = y1; y <= y2 && all; ++y) all = f.at(x, y) == farbe;
        if (all) cols.push_back(x);
    }
    return cols;
}

inline int countColour(const TBildfeld& f, uint8_t farbe) {
    int n = 0;
    for (uint8_t p : f.pixel) n += p == farbe;
    return n;
}

// True when every glyph pixel of the text drawn at (x, y) shows the colour in f and the text
// has at least one visible glyph pixel.
inline bool hasText(const TBildfeld& f, int x, int y, const std::string& text, uint8_t farbe) {
    auto ref = std::make_unique<TBildfeld>();
    BildLoeschen(*ref, 0);
    TextMalen(*ref, x, y, text, 1);
    int seen = 0;
    for (size_t i = 0; i < ref->pixel.size(); ++i) {
        if (ref->pixel[i] != 1) continue;
        ++seen;
        if (f.pixel[i] != farbe) return false;
    }
    return seen > 0;
}

inline std::vector<int> stepsFrom(int first, int step, int count) {
    std::vector<int> v;
    for (int k = 0; k < count; ++k) v.push_back(first + step * k);
    return v;
}

}  // namespace veka::testing
