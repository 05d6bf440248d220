// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "files/config_file.h"
#include "measure/netzwerktester.h"
#include "export/export_format.h"
#include "files/series_file.h"
#include "support/fake_ui.h"
#include "support/hang_guard.h"
#include "support/odd_files.h"
#include "support/sim_room.h"

namespace veka {
namespace {

namespace fs = std::filesystem;
using test::fileContents;

// The window's file commands in a fresh folder, without a device.
struct Dateien {
    test::WorkDir dir;
    test::FakeUi ui;
    Netzwerktester core{ui};
    Instrument& inst = core.inst();
};

TEST(Speichern, WritesTheConfigurationWhereTheUserChose) {
    Dateien d;
    d.inst.Konfigurationsdatei = "vekami.cfg";
    d.inst.e.Startfrequenz = -123;
    d.ui.files = {"neu.cfg"};
    d.core.Speichern1Click();
    ASSERT_EQ(d.ui.fileRequests.size(), 1u);
    const FileDialogRequest& r = d.ui.fileRequests[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.filter, "Konfiguration|*.cfg|Alle|*.*");
    EXPECT_EQ(r.defaultSuffix, "cfg");
    EXPECT_EQ(r.offeredName, "vekami.cfg");
    EXPECT_EQ(fileContents("neu.cfg"), konfigurationSchreiben(d.inst.e));
    EXPECT_TRUE(d.ui.errors.empty());
    d.core.Speichern1Click();  // cancelled; the start-up name is offered again
    EXPECT_EQ(d.ui.fileRequests[1].offeredName, "vekami.cfg");
}

TEST(Speichern, FailureIsShownAndLeavesTheOldFile) {
    Dateien d;
    std::filesystem::create_directory("ordner");
    d.ui.files = {"ordner", "datei.cfg/unter.cfg"};
    { std::ofstream("datei.cfg") << "alt"; }
    d.core.Speichern1Click();
    d.core.Speichern1Click();
    EXPECT_EQ(d.ui.errors.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory("ordner"));
    EXPECT_EQ(fileContents("datei.cfg"), "alt");
}

// A file the user may not write, in a read-only folder: root ignores permissions, so the save
// runs as an ordinary user there.
TEST(Speichern, ReadOnlyFolderKeepsTheOldFileIntact) {
    Dateien d;
    std::filesystem::create_directory("nurlesen");
    { std::ofstream("nurlesen/alt.cfg", std::ios::binary) << "Hardwareversion  =VEKA\r\n"; }
    ::chmod("nurlesen/alt.cfg", 0444);
    ::chmod(d.dir.path().c_str(), 0755);
    ::chmod("nurlesen", 0555);
    const pid_t kind = ::fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        test::FakeUi ui;
        Netzwerktester core(ui);
        ui.files = {"nurlesen/alt.cfg"};
        core.Speichern1Click();
        ::_exit(ui.errors.size() == 1 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(kind, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save should have failed and said so";
    EXPECT_EQ(fileContents("nurlesen/alt.cfg"), "Hardwareversion  =VEKA\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("nurlesen"), {}), 1);
    ::chmod("nurlesen", 0755);
}

TEST(Oeffnen, LoadsThenShowsAndRedrawsWhateverHappened) {
    Dateien d;
    Einstellungen andere;
    andere.Startfrequenz = 5000000;
    andere.Schrittweite = 2500;
    andere.Comport = 7;
    { std::ofstream("andere.cfg", std::ios::binary) << konfigurationSchreiben(andere); }
    d.ui.files = {"andere.cfg", "fehlt.cfg"};
    d.core.ffnen1Click();
    EXPECT_EQ(d.ui.fileRequests[0].offeredName, "veka");
    EXPECT_EQ(d.inst.e.Startfrequenz, 5000000);
    EXPECT_EQ(d.inst.e.Comport, 7);
    EXPECT_EQ(d.inst.fenster.text(Control::Label1), "5.000.000 Hz");
    EXPECT_EQ(d.inst.fenster.text(Control::Label2), "2.500 Hz");
    EXPECT_TRUE(d.inst.fenster.timer1());
    d.inst.fenster.setText(Control::Label1, "");
    d.core.ffnen1Click();  // a file that cannot be opened: labels still shown
    EXPECT_EQ(d.ui.fileRequests[1].offeredName, "andere.cfg");
    EXPECT_EQ(d.inst.fenster.text(Control::Label1), "5.000.000 Hz");
    EXPECT_TRUE(d.ui.messages.empty());
    d.inst.fenster.setText(Control::Label1, "");
    d.core.ffnen1Click();  // cancelled: nothing at all
    EXPECT_EQ(d.inst.fenster.text(Control::Label1), "");
}

TEST(Messreihe, SavedSweepLoadsBackWithTheSameDiagramAndEvaluation) {
    Dateien d;
    d.inst.e.Messpunkte = 100;
    d.inst.e.Schrittweite = 1000;
    for (int k = 1; k <= 100; ++k)
        d.inst.daten.Messwerte[k] = 400 - 2 * std::abs(k - 50);  // a peak at point 50
    d.ui.files = {"reihe.dat", "reihe.dat"};
    d.core.MessreiheSpeichern1Click();
    EXPECT_EQ(d.ui.fileRequests[0].offeredName, "vek");
    EXPECT_EQ(d.ui.fileRequests[0].filter, "Daten|*.dat|Alle|*.*");
    const auto gespeichert = d.inst.daten.Messwerte;
    maxminwert(d.inst);
    const std::string maximum = d.inst.fenster.text(Control::Label7);

    // The grid of the same settings, as the renderer draws it.
    {
        std::lock_guard lock(d.inst.datenMutex);
        DiagrammZeichnen(d.inst, d.inst.daten);
    }
    const TBildfeld raster = d.inst.daten.Rasterbild;

    d.inst.daten.Messwerte.fill(1);
    d.core.Messreiheladen1Click();
    EXPECT_EQ(d.ui.fileRequests[1].filter, "Messreihe|*.dat|Alle|*.*");
    for (int k = 1; k <= 100; ++k) EXPECT_EQ(d.inst.daten.Messwerte[k], gespeichert[k]) << k;
    EXPECT_EQ(d.inst.daten.Rasterbild.pixel, raster.pixel);
    EXPECT_EQ(maximum.rfind(d.inst.fenster.text(Control::Label7), 0), 0u)  // frequency only
        << maximum << " / " << d.inst.fenster.text(Control::Label7);
    EXPECT_EQ(d.inst.fenster.text(Control::Label11), "24.000 Hz (6 dB)");
    EXPECT_EQ(d.inst.e.Messpunkte, 100);
}

TEST(Messreihe, WrongFileSaysSoAndChangesNothing) {
    Dateien d;
    { std::ofstream("fremd.dat", std::ios::binary) << "durchgangsmessung VEKA\r\nx\r\n"; }
    d.inst.daten.Messwerte[1] = 77;
    d.ui.files = {"fremd.dat", std::nullopt};
    d.core.Messreiheladen1Click();
    EXPECT_EQ(d.ui.messages, std::vector<std::string>{"Keine VEKA-Messdatendatei"});
    EXPECT_EQ(d.inst.daten.Messwerte[1], 77);
    EXPECT_TRUE(d.inst.fenster.timer2());
    d.inst.fenster.setTimer2(false);
    d.core.Messreiheladen1Click();  // cancelled: the refresh still starts
    EXPECT_TRUE(d.inst.fenster.timer2());
    EXPECT_EQ(d.ui.fileRequests[1].offeredName, "fremd.dat");
}

// Too large, a pipe, a device: loaded like a file that cannot be opened, silently, and nothing
// blocks; the labels and the refresh follow as always.
TEST(Dateien, OddFilesLoadNothing) {
    for (const test::OddFile kind : test::kOddFiles) {
        Dateien d;
        Einstellungen andere;
        andere.Startfrequenz = 5000000;
        test::makeOddFile(kind, "andere.cfg", MaxKonfigBytes, konfigurationSchreiben(andere));
        test::makeOddFile(kind, "reihe.dat", MaxMessreiheBytes,
                          "Durchgangsmessung VEKA\r\nx\r\nlog\r\n\r\n\r\n1000;50;0\r\n");
        d.ui.files = {"andere.cfg", "reihe.dat"};
        const test::HangGuard guard(std::string("loading ") + describe(kind));
        d.core.ffnen1Click();
        EXPECT_EQ(d.inst.e.Startfrequenz, Einstellungen{}.Startfrequenz) << describe(kind);
        EXPECT_EQ(d.inst.fenster.text(Control::Label1), FrequenzText(d.inst.e.Startfrequenz));
        d.inst.daten.Messwerte[1] = 77;
        d.core.Messreiheladen1Click();
        EXPECT_EQ(d.inst.daten.Messwerte[1], 77) << describe(kind);
        EXPECT_TRUE(d.inst.fenster.timer2());
        EXPECT_TRUE(d.ui.messages.empty());
        EXPECT_TRUE(d.ui.errors.empty());
    }
}

TEST(Messreihe, OtherModesWriteAnEmptyFile) {
    Dateien d;
    d.inst.Messart = VFO;
    d.ui.files = {"leer.dat"};
    d.core.MessreiheSpeichern1Click();
    EXPECT_TRUE(std::filesystem::exists("leer.dat"));
    EXPECT_EQ(std::filesystem::file_size("leer.dat"), 0u);
}

// "Exportieren …": the dialog, the file, and failures in the error box.
TEST(Exportieren1Click, DialogFileAndErrors) {
    Dateien d;
    fs::create_directory("ordner");
    struct Fall {
        std::optional<std::string> gewaehlt;
        bool fehler;
        bool datei;
    } faelle[] = {
        {std::nullopt, false, false},        // cancelled
        {"tabelle.csv", false, true},        // written
        {"fehlt/tabelle.csv", true, false},  // no such folder
        {"bild.bmp", true, false},           // no such format
        {"ordner", true, false},             // a folder, not a file
    };
    std::string angeboten = "vek";
    for (const Fall& f : faelle) {
        d.ui.fileRequests.clear();
        d.ui.errors.clear();
        d.ui.files.push_back(f.gewaehlt);
        const std::string vorher = angeboten;
        d.core.Exportieren1Click();
        ASSERT_EQ(d.ui.fileRequests.size(), 1u);
        const FileDialogRequest& r = d.ui.fileRequests[0];
        EXPECT_TRUE(r.save);
        EXPECT_EQ(r.filter, exportFilter());
        EXPECT_EQ(r.defaultSuffix, "csv");
        EXPECT_EQ(r.offeredName, vorher);
        angeboten = f.gewaehlt.value_or(vorher);
        EXPECT_EQ(d.ui.errors.size(), f.fehler ? 1u : 0u) << f.gewaehlt.value_or("-");
        if (f.gewaehlt && f.gewaehlt != "ordner") {
            EXPECT_EQ(fs::exists(*f.gewaehlt), f.datei) << *f.gewaehlt;
        }
    }
    size_t eintraege = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(".")) ++eintraege;
    EXPECT_EQ(eintraege, 2u) << "only tabelle.csv and the folder, no temporary files";
    d.ui.errors.clear();
    d.ui.files.push_back("bild.bmp");
    d.core.Exportieren1Click();
    ASSERT_EQ(d.ui.errors.size(), 1u);
    EXPECT_EQ(d.ui.errors[0], d.inst.meldungen[Zusatztext::ExportFormatUnbekannt]);
}

}  // namespace
}  // namespace veka
