// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <future>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

#include "app/quit_signals.h"
#include "files/config_file.h"
#include "files/sprache.h"
#include "support/fake_ui.h"
#include "support/raw_line.h"
#include "support/sim_room.h"
#include "ui/vek32.h"

namespace veka {
namespace {

// The real window on a simulated device, its boxes answered through the same interface the
// logic uses.
struct Fenster {
    Fenster() {
        w.FormCreate(std::nullopt);
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    test::SimRoom room;
    test::FakeUi ui;
    TForm1 w{&ui};
    Instrument& inst = w.logik().inst();

    QString text(Control c) const { return w.label(c)->text(); }
    void taste(int key, Qt::KeyboardModifiers mod = Qt::NoModifier) {
        QTest::keyClick(&w, static_cast<Qt::Key>(key), mod);
    }
    void klick(Control c) { QTest::mouseClick(w.button(c), Qt::LeftButton); }
    double ausgang() const { return room.sim->exchanges().back().frequencyHz; }
};

// "Sto&p" returns at once; the rest of the stop comes as a task for the window thread when the
// sweep in progress has ended. Run it as the event loop would.
void stopAbwarten(Fenster& f) {
    while (f.w.logik().messungLaeuft()) {
        ASSERT_TRUE(f.ui.waitForPosted(std::chrono::seconds(20)));
        f.ui.runPosted();
    }
}

TEST(Hauptfenster, LayoutAsDesigned) {
    Fenster f;
    EXPECT_EQ(f.w.centralWidget()->size(), QSize(792, 554));
    EXPECT_EQ(f.w.diagram()->geometry(), QRect(5, 30, 641, 481));
    EXPECT_EQ(f.w.button(Control::Button5)->geometry(), QRect(656, 0, 121, 25));
    EXPECT_EQ(f.w.button(Control::Button7)->geometry().topLeft(), QPoint(656, 520));
    EXPECT_EQ(f.w.button(Control::Button8)->y(), 520);
    EXPECT_EQ(f.w.button(Control::Button18)->geometry(), QRect(584, 4, 41, 17));
    EXPECT_TRUE(f.w.label(Control::Label1)->font().bold());
    EXPECT_EQ(f.w.label(Control::Label1)->font().pointSize(), 10);
    EXPECT_EQ(f.w.font().pointSize(), 8);
    EXPECT_FALSE(f.w.windowFlags() & Qt::WindowMaximizeButtonHint);
    // Not resizable, and placed by its frame.
    EXPECT_EQ(f.w.minimumSize(), f.w.maximumSize());
    EXPECT_EQ(f.w.size(), QSize(792, 554 + f.w.menuBar()->height()));
    EXPECT_EQ(f.w.frameGeometry().topLeft(), QPoint(1, 1));
    EXPECT_EQ(f.w.windowTitle(), "Netzwerktester (Labor)  V7.3     COM 2");
    EXPECT_EQ(f.w.menuBar()->actions().size(), 6);  // with the added "&Analyse"
    // Designed start state: transmission.
    EXPECT_FALSE(f.w.button(Control::Button6)->isEnabled());
    EXPECT_FALSE(f.w.button(Control::Button18)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::ZFEingabe1)->isEnabled());
    EXPECT_TRUE(f.w.action(Control::Durchgangsmessung2)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Linie41)->isEnabled());
}

TEST(Hauptfenster, CursorButtonsAreNamedAndExplained) {
    Fenster f;
    const std::pair<Control, const char*> cases[] = {{Control::Button12, "Cursor links"},
                                                     {Control::Button13, "Cursor rechts"}};
    for (const auto& [c, name] : cases) {
        QPushButton* b = f.w.button(c);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), name);
        EXPECT_EQ(b->toolTip(), name);
    }
    // The captions stay as designed.
    EXPECT_EQ(f.w.button(Control::Button12)->text(), "&-");
    EXPECT_EQ(f.w.button(Control::Button13)->text(), "&+");
}

// Alt letters that open or press more than one thing: among the buttons and menu titles, and
// among the items of each menu.
QStringList doppelteBuchstaben(const TForm1& w) {
    QStringList doppelt;
    const auto pruefen = [&doppelt](const QStringList& texte) {
        QMap<QKeySequence, QStringList> nachTaste;
        for (const QString& t : texte) {
            const QKeySequence taste = QKeySequence::mnemonic(t);
            if (!taste.isEmpty()) nachTaste[taste].append(t);
        }
        for (const QStringList& gleich : nachTaste)
            if (gleich.size() > 1) doppelt.append(gleich.join(u'/'));
    };
    QStringList oben;
    for (int i = 0; i < ControlCount; ++i)
        if (QPushButton* b = w.button(static_cast<Control>(i))) oben.append(b->text());
    for (const QAction* menu : w.menuBar()->actions()) {
        oben.append(menu->text());
        QStringList eintraege;
        for (const QAction* a : menu->menu()->actions()) eintraege.append(a->text());
        pruefen(eintraege);
    }
    pruefen(oben);
    return doppelt;
}

TEST(Hauptfenster, AltOpensTheMenuBarAndAMenuWinsItsLetter) {
    Fenster f;
    // Alt alone: the menu bar takes the keyboard, its first menu highlighted; Esc leaves it.
    QTest::keyPress(&f.w, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(&f.w, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(f.w.menuBar()->activeAction(), f.w.menuBar()->actions().at(0));
    QTest::keyClick(f.w.menuBar(), Qt::Key_Escape);
    EXPECT_EQ(f.w.menuBar()->activeAction(), nullptr);
    // The designed captions share one letter; the menu takes it, Minus keeps F6.
    EXPECT_EQ(doppelteBuchstaben(f.w), QStringList{"&Minus/&Messung"});
    EXPECT_TRUE(f.w.button(Control::Button3)->shortcut().isEmpty());
    EXPECT_EQ(f.w.button(Control::Button2)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_U));
    f.taste(Qt::Key_M, Qt::AltModifier);
    QMenu* messung = f.w.menuBar()->actions().at(1)->menu();
    // The menu bar opens the menu from its event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == messung; }));
    if (QWidget* popup = QApplication::activePopupWidget()) QTest::keyClick(popup, Qt::Key_Escape);
    QTest::keyClick(f.w.menuBar(), Qt::Key_Escape);
    EXPECT_EQ(f.text(Control::Label1), "10.000.000 Hz");  // Minus was not pressed
    // F10 stays the designed "Dämpfung +".
    f.taste(Qt::Key_F10);
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "10 dB");
}

TEST(Hauptfenster, ShippedEnglishGivesEveryAltLetterOneUse) {
    Fenster f;
    const IniFile sprachen = IniFile::load(VEKA_ASSET_DIR "/LANG.INI");
    ASSERT_EQ(sprachen.sections(), (std::vector<std::string>{"-DL", "-EN"}));
    Sprache_setzen(f.inst, "-DL", sprachen);
    f.w.spiegeln();
    EXPECT_EQ(doppelteBuchstaben(f.w), QStringList{"&Minus/&Messung"});
    Sprache_setzen(f.inst, "-EN", sprachen);
    f.w.spiegeln();
    ASSERT_EQ(f.w.button(Control::Button3)->text(), "&Minus");
    EXPECT_EQ(doppelteBuchstaben(f.w), QStringList{});
    for (int i = 0; i < ControlCount; ++i) {
        if (QPushButton* b = f.w.button(static_cast<Control>(i))) {
            EXPECT_EQ(b->shortcut(), QKeySequence::mnemonic(b->text())) << b->text().toStdString();
        }
    }
}

TEST(Hauptfenster, FunctionKeysReachTheirCommands) {
    Fenster f;
    f.taste(Qt::Key_F10);
    f.taste(Qt::Key_F10);
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "20 dB");
    f.taste(Qt::Key_F9);
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "10 dB");
    EXPECT_EQ(f.inst.Daempfung, 16);
    f.taste(Qt::Key_F7);  // Plus
    EXPECT_EQ(f.text(Control::Label1), "10.010.000 Hz");
    f.taste(Qt::Key_F6);  // Minus
    EXPECT_EQ(f.text(Control::Label1), "10.000.000 Hz");
    f.ui.answers = {"abc"};
    f.taste(Qt::Key_F8);  // Schrittweite
    EXPECT_EQ(f.text(Control::Label2), "50.000 Hz");
    f.ui.answers = {"7000000"};
    f.taste(Qt::Key_F5);  // Frequenz
    EXPECT_EQ(f.text(Control::Label1), "7.000.000 Hz");
    f.taste(Qt::Key_F2);
    f.taste(Qt::Key_F3);
    ASSERT_EQ(f.ui.fileRequests.size(), 2u);
    EXPECT_TRUE(f.ui.fileRequests[0].save);
    EXPECT_EQ(f.ui.fileRequests[0].offeredName, "vekami.cfg");
    EXPECT_FALSE(f.ui.fileRequests[1].save);
    EXPECT_EQ(f.ui.fileRequests[1].offeredName, "veka");
}

TEST(Hauptfenster, SweepLocksCommandsOutAndStopLiftsIt) {
    Fenster f;
    f.klick(Control::Button5);
    EXPECT_FALSE(f.w.button(Control::Button1)->isEnabled());
    EXPECT_TRUE(f.w.button(Control::Button6)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Dmpfung2)->isEnabled());
    const size_t vorher = f.ui.fileRequests.size();
    f.taste(Qt::Key_F10);  // its menu is disabled: nothing happens
    f.taste(Qt::Key_F2);
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "  0 dB");
    EXPECT_EQ(f.ui.fileRequests.size(), vorher);
    // The attenuator arrows stay usable during the sweep.
    QTest::mouseClick(f.w.upDownArrow(true), Qt::LeftButton);
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "10 dB");
    ASSERT_TRUE(f.room.sim->waitForExchanges(600, std::chrono::seconds(20)));
    f.klick(Control::Button6);
    stopAbwarten(f);
    EXPECT_TRUE(f.w.button(Control::Button1)->isEnabled());
    EXPECT_FALSE(f.w.button(Control::Button6)->isEnabled());
    EXPECT_TRUE(f.w.action(Control::Dmpfung2)->isEnabled());
    EXPECT_FALSE(f.text(Control::Label7).isEmpty());  // evaluated after the stop
    f.taste(Qt::Key_F10);
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "20 dB");
}

TEST(Hauptfenster, VfoWithTheIfToggles) {
    Fenster f;
    f.klick(Control::Button15);
    EXPECT_FALSE(f.w.button(Control::Button5)->isEnabled());
    EXPECT_TRUE(f.w.action(Control::Zwischenfrequenz1)->isEnabled());
    EXPECT_TRUE(f.w.action(Control::Taktgenerator1)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Spektralmessung2)->isEnabled());
    EXPECT_TRUE(f.text(Control::Label5).startsWith("VFO   "));
    f.w.action(Control::Zwischenfrequenz1)->trigger();
    EXPECT_TRUE(f.w.action(Control::Zwischenfrequenz1)->isChecked());
    EXPECT_NEAR(f.ausgang(), 10000000 - 9000000, 1);
    f.w.action(Control::AdditionvsSubtraktion1)->trigger();
    EXPECT_NEAR(f.ausgang(), 10000000 + 9000000, 1);
    f.klick(Control::Button8);  // leaving VFO
    EXPECT_FALSE(f.w.action(Control::Zwischenfrequenz1)->isEnabled());
    EXPECT_TRUE(f.w.button(Control::Button5)->isEnabled());
    f.taste(Qt::Key_F7);
    EXPECT_NEAR(f.ausgang(), 10010000, 1);  // the offset no longer applies
    EXPECT_EQ(f.inst.e.ZFBerechnung, 3);
}

TEST(Hauptfenster, ModeButtonsSetTheEnablingTable) {
    Fenster f;
    f.klick(Control::Button9);
    EXPECT_TRUE(f.w.button(Control::Button18)->isEnabled());
    EXPECT_TRUE(f.w.action(Control::Linie11)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Durchgangsmessung2)->isEnabled());
    EXPECT_TRUE(f.text(Control::Label5).startsWith("Reflexionsmessung   "));
    f.w.action(Control::Spektralmessung1)->trigger();
    EXPECT_FALSE(f.w.button(Control::Button18)->isEnabled());
    EXPECT_TRUE(f.w.action(Control::Spektralmessung2)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Linie11)->isEnabled());
    EXPECT_EQ(f.inst.Messart, Spektrum);
}

TEST(Hauptfenster, QuitDuringASweepStopsTheWorkerFirst) {
    Fenster f;
    f.klick(Control::Button5);
    ASSERT_TRUE(f.room.sim->waitForExchanges(50, std::chrono::seconds(20)));
    f.klick(Control::Button7);
    EXPECT_FALSE(f.w.isVisible());
    EXPECT_FALSE(f.w.logik().messungLaeuft());
}

TEST(Hauptfenster, RefreshPaintsOnlyWhenSomethingChanged) {
    Fenster f;
    f.w.logik().Timer2Timer();
    EXPECT_FALSE(f.w.logik().Timer2Timer());
    f.klick(Control::Button17);  // li&n. redraws the grid
    EXPECT_TRUE(f.w.logik().Timer2Timer());
    EXPECT_FALSE(f.w.logik().Timer2Timer());
}

// ---- Program end in every state: within a moment, nothing pops up afterwards, the port is
// free. (The window test cases above belong to the layout and command map.) ----

// What must hold once the window has closed, whatever it was doing.
void beendetUndFrei(Fenster& f) {
    EXPECT_FALSE(f.w.isVisible());
    EXPECT_TRUE(f.w.beendet());
    EXPECT_FALSE(f.w.logik().messungLaeuft());
    EXPECT_FALSE(f.w.logik().link().portOpen());
    f.ui.runPosted();  // what the worker posted on its way out never shows
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_FALSE(f.inst.DemoModus);
}

// The added menu "Analyse": its dialogues reach the additions, its check marks follow them,
// and the analysis of a sweep comes as a report.
TEST(Hauptfenster, AnalyseMenuSwitchesTheAdditions) {
    Fenster f;
    const auto waehlen = [&](Control c) { f.w.action(c)->trigger(); };
    f.ui.answers = {"8"};
    waehlen(Control::Mittelung1);
    EXPECT_EQ(f.ui.requests.back().caption, "Mittelung");
    EXPECT_TRUE(f.w.action(Control::Mittelung1)->isChecked());
    EXPECT_EQ(f.w.logik().ops().extras().averageCount, 8);
    waehlen(Control::MaxHalten1);
    waehlen(Control::MinHalten1);  // the one hold replaces the other
    EXPECT_FALSE(f.w.action(Control::MaxHalten1)->isChecked());
    EXPECT_TRUE(f.w.action(Control::MinHalten1)->isChecked());
    waehlen(Control::Normieren1);  // nothing stored to normalise to
    EXPECT_FALSE(f.w.action(Control::Normieren1)->isChecked());
    EXPECT_EQ(f.ui.messages.back(), "Der Speicher passt nicht zu den eingestellten Frequenzen.");
    f.ui.answers = {"1"};
    waehlen(Control::Mittelung1);
    EXPECT_FALSE(f.w.action(Control::Mittelung1)->isChecked());
    f.klick(Control::Button5);
    ASSERT_TRUE(f.room.sim->waitForExchanges(600, std::chrono::seconds(20)));
    f.klick(Control::Button6);
    stopAbwarten(f);
    waehlen(Control::Filteranalyse1);
    EXPECT_EQ(f.ui.messages.back().rfind("Maximum: ", 0), 0u) << f.ui.messages.back();
    EXPECT_NE(f.ui.messages.back().find("-3 dB: "), std::string::npos);
}

TEST(Programmende, QuitWhileTheWorkerWaitsForAReply) {
    Fenster f;
    f.klick(Control::Button5);
    ASSERT_TRUE(f.room.sim->waitForExchanges(20, std::chrono::seconds(20)));
    f.room.sim->stop();  // the cable is pulled: the next reply wait lasts four seconds
    QSignalSpy geschlossen(&f.w, &TForm1::geschlossen);
    f.klick(Control::Button7);
    EXPECT_EQ(geschlossen.count(), 1);
    beendetUndFrei(f);
}

TEST(Programmende, QuitWhileStopWaitsForTheSweep) {
    Fenster f;
    f.inst.e.Messpunkte = 300;
    f.klick(Control::Button5);
    ASSERT_TRUE(f.room.sim->waitForExchanges(5, std::chrono::seconds(20)));
    f.klick(Control::Button6);
    EXPECT_FALSE(f.w.button(Control::Button6)->isEnabled());
    EXPECT_FALSE(f.w.button(Control::Button1)->isEnabled());  // the sweep goes on
    EXPECT_TRUE(f.w.button(Control::Button7)->isEnabled());
    f.klick(Control::Button7);
    const size_t gesendet = f.room.sim->exchangeCount();
    beendetUndFrei(f);
    EXPECT_TRUE(f.text(Control::Label7).isEmpty());    // no evaluation after the end
    EXPECT_EQ(f.room.sim->exchangeCount(), gesendet);  // and nothing parked
}

TEST(Programmende, TerminationSignalClosesTheWindow) {
    Fenster f;
    f.klick(Control::Button5);
    ASSERT_TRUE(f.room.sim->waitForExchanges(5, std::chrono::seconds(20)));
    {
        QuitSignals signale(f.w.logik().link().abortEvent(), [&f] { f.w.close(); });
        ::raise(SIGTERM);
        EXPECT_TRUE(f.w.logik().link().aborted());  // at once, from the handler itself
        EXPECT_TRUE(QTest::qWaitFor([&f] { return f.w.beendet(); }, 20000));
    }
    beendetUndFrei(f);
}

// The built program in a child process, ended by a signal while it waits for the device at
// start-up: it must leave by itself, with exit status 0, and send nothing more.
struct Programm {
    Programm() {
        pid = ::fork();
        if (pid == 0) {
            ::execl(VEKA_PROGRAM, "veka", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        EXPECT_GT(pid, 0);
    }
    // Sends the signal and waits (with a generous guard against a hang) for the end.
    int beenden(int signal) {
        ::kill(pid, signal);
        auto ende = std::async(std::launch::async, [this] {
            int status = 0;
            return ::waitpid(pid, &status, 0) == pid ? status : -1;
        });
        if (ende.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            ADD_FAILURE() << "the program did not end";
            ::kill(pid, SIGKILL);
        }
        return ende.get();
    }
    pid_t pid = -1;
};

TEST(Programmende, SigtermWhileTheStartupWaitsForAReply) {
    vekasim::Options o;
    o.silent = true;
    test::SimRoom room(o);
    Programm veka;
    ASSERT_TRUE(room.sim->waitForExchanges(1, std::chrono::seconds(30)));
    const int status = veka.beenden(SIGTERM);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(room.sim->exchangeCount(), 1u);
}

TEST(Programmende, SigintInTheDelayPause) {
    test::WorkDir dir;
    test::RawLine line;
    Einstellungen e;
    e.Delay = INT32_MAX;
    { std::ofstream("vekami.cfg", std::ios::binary) << konfigurationSchreiben(e); }
    Programm veka;
    ASSERT_EQ(line.lesen(4, std::chrono::seconds(30)).size(), 4u);  // now in the pause
    const int status = veka.beenden(SIGINT);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(line.wartet()) << "the control byte went out after all";
    EXPECT_EQ(test::fileContents("vekami.cfg"), konfigurationSchreiben(e));  // nothing saved
}

TEST(QtTexte, StandardDialogsSpeakGerman) {
    QTranslator uebersetzer;
    ASSERT_TRUE(qtTexteDeutsch(uebersetzer));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), "Datei&name:");
    QCoreApplication::removeTranslator(&uebersetzer);
}

TEST(QtTexte, FileFilterInQtsForm) {
    EXPECT_EQ(qtFilter("Konfiguration|*.cfg|Alle|*.*"), "Konfiguration (*.cfg);;Alle (*.*)");
    EXPECT_EQ(qtFilter("Messreihe|*.dat|Alle|*.*"), "Messreihe (*.dat);;Alle (*.*)");
}

}  // namespace
}  // namespace veka
