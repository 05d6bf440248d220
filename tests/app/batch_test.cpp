// Batch mode as a process against the simulator: the files it writes hold the sweep the
// device measured, its picture is the one the window shows, and a silent device, an
// unwritable file and a bad name end it with their own exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "display/quickdraw.h"
#include "measure/netzwerktester.h"
#include "support/sim_readings.h"
#include "support/fake_ui.h"
#include "support/run_program.h"
#include "support/sim_room.h"

// The tests start the program as a child process, which only executes it: ThreadSanitizer may
// let a child of this multi-threaded process go on.
extern "C" const char* __tsan_default_options() {
    return "die_after_fork=0";
}

namespace veka::test {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kStart = 10100000;
constexpr int32_t kStep = 2000;
constexpr int kPunkte = 60;

// veka --sweep ... in the room's folder, with no display and no per-user port choice.
ProgramRun batch(const SimRoom& room, std::vector<std::string> args, bool asUser = false) {
    args.insert(args.begin(), {VEKA_BINARY, "--sweep"});
    const std::string ordner = room.dir.path().string();
    return runProgram(args, ordner, asUser,
                      {{"QT_QPA_PLATFORM", "none-such"}, {"XDG_CONFIG_HOME", ordner}});
}

std::vector<std::string> sweepArgs() {
    return {"--start",  std::to_string(kStart), "--step", std::to_string(kStep),
            "--points", std::to_string(kPunkte)};
}

std::set<std::string> eintraege(const fs::path& dir) {
    std::set<std::string> namen;
    for (const auto& e : fs::directory_iterator(dir)) namen.insert(e.path().filename().string());
    return namen;
}

std::vector<std::string> zeilen(const std::string& text) {
    std::vector<std::string> z;
    std::istringstream in(text);
    for (std::string zeile; std::getline(in, zeile);) {
        if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
        z.push_back(zeile);
    }
    return z;
}

// The display value the window would store for the device's reading at a tuning word.
// The same sweeps in the program logic, as the window runs them: its picture.
Anzeigebitmap fensterbild() {
    FakeUi ui;
    Netzwerktester logik(ui);
    logik.FormCreate(std::nullopt);
    Instrument& s = logik.inst();
    s.e.Startfrequenz = kStart;
    s.e.Schrittweite = kStep;
    s.e.Messpunkte = kPunkte;
    s.Cursorpunkt = kPunkte / 2;
    logik.Button5Click();
    EXPECT_TRUE(logik.sweep().warteAufDurchlauf(2));
    logik.stopAndWait();
    logik.Timer2Timer();
    return logik.anzeige();
}

TEST(Batch, FilesHoldTheSimulatorsSweep) {
    SimRoom room;
    const vekasim::Options o;
    std::vector<std::string> args = sweepArgs();
    for (const char* name : {"s.csv", "s.png", "s.svg", "s.pdf", "s.dat"})
        args.insert(args.end(), {"--out", name});
    args.insert(args.end(), {"--count", "2"});
    const ProgramRun run = batch(room, args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "") << "progress only on a terminal";
    EXPECT_TRUE(fs::exists("vekami.cfg")) << "the start-up file is created when missing";

    // Start-up contact, two sweeps, then the source parked on the start frequency.
    const auto ex = room.sim->exchanges();
    ASSERT_EQ(ex.size(), 2u + 2 * kPunkte);
    const std::vector<std::string> csv = zeilen(dateiInhalt("s.csv"));
    ASSERT_EQ(csv.size(), 7u + kPunkte);
    EXPECT_EQ(csv[0], "# Messart,Durchgangsmessung");
    EXPECT_EQ(csv[4], "# Korrekturfaktor1,50");
    EXPECT_EQ(csv[6], "Frequenz (Hz),Anzeigewert,Pegel (dB)");
    for (int k = 1; k <= kPunkte; ++k) {
        const auto& e = ex[static_cast<size_t>(kPunkte + k)];  // the second sweep
        const int32_t f = kStart + (k - 1) * kStep;
        EXPECT_EQ(e.frequencyHz, f) << k;
        const int32_t wert = test::anzeigewert(o, e);
        const std::string db = std::to_string(runden((wert - 400) / 5.0));
        EXPECT_EQ(csv[6 + static_cast<size_t>(k)],
                  std::to_string(f) + "," + std::to_string(wert) + "," + db);
    }

    QImage png;
    ASSERT_TRUE(png.load("s.png", "PNG"));
    ASSERT_EQ(png.format(), QImage::Format_Indexed8);
    const Anzeigebitmap bild = fensterbild();
    int abweichend = 0;
    for (int y = 0; y < Anzeigebitmap::Hoehe; ++y)
        for (int x = 0; x < Anzeigebitmap::Breite; ++x)
            abweichend += png.pixelIndex(x, y) != bild.at(x, y);
    EXPECT_EQ(abweichend, 0) << "the batch picture differs from the window's";

    const std::string dat = dateiInhalt("s.dat");
    EXPECT_EQ(zeilen(dat).size(), 5u + kPunkte);
    EXPECT_EQ(dat.substr(0, 24), "Durchgangsmessung VEKA\r\n");

    for (const char* werkzeug : {"rsvg-convert", "pdfimages"})
        if (QStandardPaths::findExecutable(werkzeug).isEmpty())
            GTEST_SKIP() << werkzeug << " missing";
    EXPECT_EQ(QProcess::execute("rsvg-convert", {"s.svg", "-o", "svg.png"}), 0);
    EXPECT_TRUE(QImage("svg.png").width() >= Anzeigebitmap::Breite);
    QProcess liste;
    liste.start("pdfimages", {"-list", "s.pdf"});
    ASSERT_TRUE(liste.waitForFinished(60000));
    const QStringList bilder =
        QString::fromUtf8(liste.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(bilder.size(), 3);
    const QStringList spalten = bilder[2].simplified().split(' ');
    EXPECT_EQ(spalten.mid(3, 2), QStringList({"641", "481"}));
    EXPECT_EQ(spalten[8], "image") << "the picture must not be a JPEG";
}

TEST(Batch, RunsExactlyTheCountOfSweeps) {
    for (const int anzahl : {1, 3}) {
        SimRoom room;
        const ProgramRun run =
            batch(room, {"--points", "10", "--count", std::to_string(anzahl), "--out", "n.csv"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        // The start-up contact, the sweeps, then the source parked on the start frequency.
        EXPECT_EQ(room.sim->exchangeCount(), 2u + 10u * static_cast<size_t>(anzahl)) << anzahl;
    }
}

TEST(Batch, OptionsChooseModeAndScale) {
    SimRoom room;
    std::vector<std::string> args = sweepArgs();
    args.insert(args.end(), {"--mode", "spectrum", "--linear", "--points", "5", "--out", "l.csv"});
    ASSERT_EQ(batch(room, args).exitCode, 0);
    const std::vector<std::string> csv = zeilen(dateiInhalt("l.csv"));
    ASSERT_EQ(csv.size(), 7u + 5);
    EXPECT_EQ(csv[0], "# Messart,Spektralmessung");
    EXPECT_EQ(csv[1], "# Detektor,lin");
    EXPECT_EQ(csv[6], "Frequenz (Hz),Anzeigewert,Pegel (linear)");
    EXPECT_EQ(room.sim->exchanges()[1].control & 1, 1) << "the linear detector was used";
    // The configuration itself is left as it was.
    EXPECT_EQ(dateiInhalt("vekami.cfg").find("Messpunkte=5"), std::string::npos);
}

TEST(Batch, SilentDeviceEndsWithThreeAndWritesNothing) {
    vekasim::Options o;
    o.silent = true;
    SimRoom room(o);
    const ProgramRun run = batch(room, {"--out", "x.csv", "--out", "x.png"});
    EXPECT_EQ(run.exitCode, 3);
    const std::string erwartet =
        "no reply from the device on " + room.sim->slavePath() + ": no answer within 4 s\n";
    EXPECT_EQ(run.err, erwartet);
    EXPECT_FALSE(fs::exists("x.csv"));
    EXPECT_FALSE(fs::exists("x.png"));
}

TEST(Batch, DeviceLostDuringTheRunEndsWithThree) {
    vekasim::Options o;
    o.vanishAfter = 5;  // the cable is pulled in the first sweep
    SimRoom room(o);
    const ProgramRun run = batch(room, {"--points", "20", "--count", "50", "--out", "x.csv"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err.rfind("no reply from the device on ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists("x.csv")) << "no demonstration readings";
}

TEST(Batch, BadNamesAreUsageErrors) {
    SimRoom room;
    const ProgramRun run = batch(room, {"--out", "x.csv", "--out", "bild.bmp"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("bild.bmp"), std::string::npos) << run.err;
    EXPECT_EQ(room.sim->exchangeCount(), 0u) << "nothing is measured";
    EXPECT_EQ(eintraege(room.dir.path()), (std::set<std::string>{"COM2"}));
}

// A file that cannot be written ends the run with 4 and leaves nothing under its name, while
// the files that could be written are there.
TEST(Batch, UnwritableFileEndsWithFourLeavingNothingBehind) {
    struct Fall {
        const char* name;
        std::vector<std::string> vorweg;  // a wrapper in front of the program
        bool alsBenutzer;
    } faelle[] = {
        {"fehlt/x.pdf", {}, false},
        // Over the file-size limit half-way through the write.
        {"gross.pdf", {"/usr/bin/prlimit", "--fsize=8000", "--"}, false},
        // A folder without write permission, as a normal user.
        {"zu/x.pdf", {}, true},
    };
    for (const Fall& f : faelle) {
        SimRoom room;
        ::chmod(room.dir.path().c_str(), 0777);
        ::chmod(room.sim->slavePath().c_str(), 0666);
        fs::create_directory("zu");
        ::chmod("zu", 0555);
        std::vector<std::string> args = {VEKA_BINARY, "--sweep", "--points", "20",
                                         "--out",     "ok.csv",  "--out",    f.name};
        args.insert(args.begin(), f.vorweg.begin(), f.vorweg.end());
        const std::string ordner = room.dir.path().string();
        const ProgramRun run =
            runProgram(args, ordner, f.alsBenutzer,
                       {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", ordner}});
        EXPECT_EQ(run.exitCode, 4) << f.name << ": " << run.err;
        EXPECT_NE(run.err.find(f.name), std::string::npos) << run.err;
        EXPECT_TRUE(fs::exists("ok.csv")) << f.name;
        EXPECT_EQ(eintraege(room.dir.path()),
                  (std::set<std::string>{"COM2", "vekami.cfg", "ok.csv", "zu"}))
            << f.name;
        EXPECT_TRUE(fs::is_empty("zu")) << f.name;
        ::chmod("zu", 0755);
    }
}

}  // namespace
}  // namespace veka::test
