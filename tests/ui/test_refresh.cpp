// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram refresh of the main window: it runs only while something is pending, and what
// it repaints piece by piece adds up to exactly the window picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <functional>
#include <mutex>

#include "display/quickdraw.h"
#include "support/fake_ui.h"
#include "support/sim_room.h"
#include "ui/vek32.h"

namespace veka {
namespace {

using namespace std::chrono_literals;

struct Fenster {
    explicit Fenster(vekasim::Options o = {}) : room(o) {
        w.FormCreate(std::nullopt);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    test::SimRoom room;
    test::FakeUi ui;
    TForm1 w{&ui};

    bool ruhig() {
        return QTest::qWaitFor([this] { return !w.refreshLaeuft(); }, 5000);
    }
    // Pixels of the diagram as they reached the window (not painted anew for the check) that
    // differ from the window picture in the palette's colours.
    int abweichungen() { return abweichungen(w.logik().anzeige()); }
    // The same against the surfaces as they are now, combined anew.
    int abweichungenVonDenFlaechen() {
        Anzeigebitmap frisch;
        {
            Instrument& inst = w.logik().inst();
            std::lock_guard lock(inst.datenMutex);
            BilderVerknuepfen(frisch, inst.daten.Rasterbild, inst.daten.Diagrammbild);
        }
        return abweichungen(frisch);
    }
    int abweichungen(const Anzeigebitmap& bild) {
        QWidget* d = w.diagram();
        const QPoint o = d->mapTo(&w, QPoint(0, 0));
        const QImage schirm = w.screen()
                                  ->grabWindow(w.winId(), o.x(), o.y(), d->width(), d->height())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        const auto& palette = Halbtonpalette();
        int n = 0;
        for (int y = 0; y < Anzeigebitmap::Hoehe; ++y) {
            for (int x = 0; x < Anzeigebitmap::Breite; ++x)
                n += schirm.pixel(x, y) != palette[bild.at(x, y)];
        }
        return n;
    }
};

TEST(Refresh, IdleWindowHasNoTimerRunningAndShowsThePicture) {
    Fenster f;
    ASSERT_TRUE(f.ruhig());
    EXPECT_EQ(f.abweichungen(), 0);
    EXPECT_FALSE(f.w.logik().Timer2Timer());  // nothing left to combine
}

// Every command that draws starts the refresh; when it has stopped again, the window shows
// what the command drew, although only the changed rectangle was repainted.
TEST(Refresh, DrawingCommandsStartItAndTheWindowFollows) {
    Fenster f;
    ASSERT_TRUE(f.ruhig());
    const Control befehle[] = {Control::Button17, Control::Button9,  Control::Button16,
                               Control::Button19, Control::Button10, Control::Button8};
    for (Control c : befehle) {
        QTest::mouseClick(f.w.button(c), Qt::LeftButton);
        EXPECT_TRUE(f.w.refreshLaeuft()) << static_cast<int>(c);
        ASSERT_TRUE(f.ruhig()) << static_cast<int>(c);
        EXPECT_EQ(f.abweichungen(), 0) << static_cast<int>(c);
    }
}

// Drawing done outside the window's commands (as a remote command does) shows after
// spiegeln(), the one entry point for "something changed"; each repaint covers what changed.
TEST(Refresh, ChangesAnnouncedBySpiegelnShowUpExactly) {
    Fenster f;
    ASSERT_TRUE(f.ruhig());
    struct Fall {
        const char* name;
        std::function<void(Messdaten&)> zeichnen;
    };
    const Fall faelle[] = {
        {"pixel, left edge", [](Messdaten& d) { PunktSetzen(d.Diagrammbild, 1, 200, 0); }},
        {"pixel", [](Messdaten& d) { PunktSetzen(d.Diagrammbild, 300, 17, 0); }},
        {"pixel, right edge", [](Messdaten& d) { PunktSetzen(d.Rasterbild, 640, 480, 9); }},
        {"short line", [](Messdaten& d) { LinieZiehen(d.Diagrammbild, 401, 9, 403, 300, 5); }},
        {"text", [](Messdaten& d) { TextMalen(d.Rasterbild, 600, 100, "1.5", 0); }},
        {"sweep step",
         [](Messdaten& d) { SpaltenWischen(d.Diagrammbild, 30, 410, 50, 50, 70, 255, 24); }},
    };
    Instrument& inst = f.w.logik().inst();
    for (const Fall& fall : faelle) {
        {
            std::lock_guard lock(inst.datenMutex);
            fall.zeichnen(inst.daten);
        }
        f.w.spiegeln();
        EXPECT_TRUE(f.w.refreshLaeuft()) << fall.name;
        ASSERT_TRUE(f.ruhig()) << fall.name;
        EXPECT_EQ(f.abweichungen(), 0) << fall.name;
    }
}

// A sweep keeps the refresh running; the strip the worker draws shows up tick by tick;
// the stop, which arrives as a posted task, is mirrored at once.
TEST(Refresh, SweepKeepsItRunningAndThePostedStopIsMirrored) {
    Fenster f;
    ASSERT_TRUE(f.ruhig());
    QTest::mouseClick(f.w.button(Control::Button5), Qt::LeftButton);
    ASSERT_TRUE(f.room.sim->waitForExchanges(40, 20s));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.abweichungen() == 0; }, 5000));
    EXPECT_TRUE(f.w.refreshLaeuft());
    QTest::mouseClick(f.w.button(Control::Button6), Qt::LeftButton);
    while (f.w.logik().messungLaeuft()) {
        ASSERT_TRUE(f.ui.waitForPosted(20s));
        f.ui.runPosted();  // the end of the stop, as the event loop would run it
    }
    // Mirrored by the task itself, before any timer could have done it.
    EXPECT_TRUE(f.w.button(Control::Button5)->isEnabled());
    EXPECT_FALSE(f.w.button(Control::Button6)->isEnabled());
    ASSERT_TRUE(f.ruhig());
    EXPECT_EQ(f.abweichungen(), 0);
}

// Over a flat curve the refresh rests while the sweep goes on; the sweep's next change wakes
// it, and the window shows the new curve although nothing else happened in the window.
TEST(Refresh, ARestingRefreshWakesForTheSweepsNextChange) {
    vekasim::Options flach;
    flach.dut = vekasim::Dut::Through;
    Fenster f(flach);
    ASSERT_TRUE(f.ruhig());
    QTest::mouseClick(f.w.button(Control::Button5), Qt::LeftButton);
    ASSERT_TRUE(f.room.sim->waitForExchanges(700, 20s));  // past the first sweep
    // The 1 s timer of the start has run out: nothing but the sweep can wake the refresh.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.w.logik().inst().fenster.timer1(); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.w.refreshRuht(); }, 5000));
    EXPECT_EQ(f.abweichungenVonDenFlaechen(), 0);
    f.room.sim->setDut(vekasim::Dut::Open);  // flat again, elsewhere
    const size_t jetzt = f.room.sim->exchangeCount();
    ASSERT_TRUE(f.room.sim->waitForExchanges(jetzt + 700, 20s));
    // Still resting from before, the wake queued: only the wake brings the window up to date.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return f.w.refreshRuht() && f.abweichungenVonDenFlaechen() == 0; }, 5000));
    QTest::mouseClick(f.w.button(Control::Button6), Qt::LeftButton);
    while (f.w.logik().messungLaeuft()) {
        ASSERT_TRUE(f.ui.waitForPosted(20s));
        f.ui.runPosted();
    }
}

}  // namespace
}  // namespace veka
