// SPDX-License-Identifier: GPL-3.0-or-later
// Batch mode as a process against the simulator: the files it writes hold the sweep the
// device measured, its picture is the one the window shows, and a silent device, an
// unwritable file and a bad name end it with their own exit codes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "display/auswertung.h"
#include "display/filter_analysis.h"
#include "display/quickdraw.h"
#include "files/trace_tables.h"
#include "measure/netzwerktester.h"
#include "support/child_process.h"
#include "support/fake_ui.h"
#include "support/run_program.h"
#include "support/sim_readings.h"
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
constexpr int kPoints = 60;

// veka --sweep ... in the room's folder, with no display and no per-user port choice.
ProgramRun batch(const SimRoom& room, std::vector<std::string> args, bool asUser = false) {
    args.insert(args.begin(), {VEKA_BINARY, "--sweep"});
    const std::string ordner = room.dir.path().string();
    return runProgram(args, ordner, asUser,
                      {{"QT_QPA_PLATFORM", "none-such"}, {"XDG_CONFIG_HOME", ordner}});
}

std::vector<std::string> sweepArgs() {
    return {"--start",  std::to_string(kStart), "--step", std::to_string(kStep),
            "--points", std::to_string(kPoints)};
}

std::set<std::string> entries(const fs::path& dir) {
    std::set<std::string> namen;
    for (const auto& e : fs::directory_iterator(dir)) namen.insert(e.path().filename().string());
    return namen;
}

std::vector<std::string> lines(const std::string& text) {
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
Anzeigebitmap windowPicture() {
    FakeUi ui;
    Netzwerktester logik(ui);
    logik.FormCreate(std::nullopt);
    Instrument& s = logik.inst();
    s.e.Startfrequenz = kStart;
    s.e.Schrittweite = kStep;
    s.e.Messpunkte = kPoints;
    s.Cursorpunkt = kPoints / 2;
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
    args.insert(args.end(), {"--count", "2", "--summary", "s.json"});
    const ProgramRun run = batch(room, args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "") << "progress only on a terminal";
    EXPECT_TRUE(fs::exists("vekami.cfg")) << "the start-up file is created when missing";

    // Start-up contact, two sweeps, then the source parked on the start frequency.
    const auto ex = room.sim->exchanges();
    ASSERT_EQ(ex.size(), 2u + 2 * kPoints);
    const std::vector<std::string> csv = lines(fileContents("s.csv"));
    ASSERT_EQ(csv.size(), 1u + kPoints);
    EXPECT_EQ(csv[0], "frequency_hz,level_db,display_value,raw_reading");
    for (int k = 1; k <= kPoints; ++k) {
        const auto& e = ex[static_cast<size_t>(kPoints + k)];  // the second sweep
        const int32_t f = kStart + (k - 1) * kStep;
        EXPECT_EQ(e.frequencyHz, f) << k;
        const int32_t wert = test::anzeigewert(o, e);
        EXPECT_EQ(csv[static_cast<size_t>(k)], std::to_string(f) + "," + Pegeltext(wert, false) +
                                                   "," + std::to_string(wert) + "," +
                                                   std::to_string(test::rohwert(o, e)));
    }
    // The summary: what was measured and the evaluation, as numbers.
    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(fileContents("s.json"))).object();
    EXPECT_EQ(summary["mode"].toString(), "transmission");
    EXPECT_EQ(summary["sweep"]["stop_hz"].toInt(), kStart + (kPoints - 1) * kStep);
    EXPECT_EQ(summary["correction"]["k2"].toInt(), 250);
    EXPECT_TRUE(summary["exported"].toString().contains('T'));
    EXPECT_TRUE(summary["maximum"]["level_db"].isDouble());

    QImage png;
    ASSERT_TRUE(png.load("s.png", "PNG"));
    ASSERT_EQ(png.format(), QImage::Format_Indexed8);
    const Anzeigebitmap bild = windowPicture();
    int abweichend = 0;
    for (int y = 0; y < Anzeigebitmap::Hoehe; ++y)
        for (int x = 0; x < Anzeigebitmap::Breite; ++x)
            abweichend += png.pixelIndex(x, y) != bild.at(x, y);
    EXPECT_EQ(abweichend, 0) << "the batch picture differs from the window's";

    const std::string dat = fileContents("s.dat");
    EXPECT_EQ(lines(dat).size(), 5u + kPoints);
    EXPECT_EQ(dat.substr(0, 24), "Durchgangsmessung VEKA\r\n");

    for (const char* tool : {"rsvg-convert", "pdfimages"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " missing";
    EXPECT_EQ(QProcess::execute("rsvg-convert", {"s.svg", "-o", "svg.png"}), 0);
    EXPECT_TRUE(QImage("svg.png").width() >= Anzeigebitmap::Breite);
    QProcess liste;
    liste.start("pdfimages", {"-list", "s.pdf"});
    ASSERT_TRUE(liste.waitForFinished(60000));
    const QStringList bilder =
        QString::fromUtf8(liste.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(bilder.size(), 2) << "the diagram is drawn as vectors";
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
    const std::vector<std::string> csv = lines(fileContents("l.csv"));
    ASSERT_EQ(csv.size(), 1u + 5);
    EXPECT_EQ(csv[0], "frequency_hz,level_linear,display_value,raw_reading");
    EXPECT_EQ(room.sim->exchanges()[1].control & 1, 1) << "the linear detector was used";
    // The configuration itself is left as it was.
    EXPECT_EQ(fileContents("vekami.cfg").find("Messpunkte=5"), std::string::npos);
}

TEST(Batch, SilentDeviceEndsWithThreeAndWritesNothing) {
    vekasim::Options o;
    o.silent = true;
    SimRoom room(o);
    const ProgramRun run = batch(room, {"--out", "x.csv", "--out", "x.png"});
    EXPECT_EQ(run.exitCode, 3);
    const std::string erwartet =
        "veka: no reply from the device on " + room.sim->slavePath() + ": no answer within 4 s\n";
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
    EXPECT_EQ(run.err.rfind("veka: no reply from the device on ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists("x.csv")) << "no demonstration readings";
}

TEST(Batch, BadNamesAreUsageErrors) {
    SimRoom room;
    const ProgramRun run = batch(room, {"--out", "x.csv", "--out", "bild.bmp"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("bild.bmp"), std::string::npos) << run.err;
    EXPECT_EQ(room.sim->exchangeCount(), 0u) << "nothing is measured";
    EXPECT_EQ(entries(room.dir.path()), (std::set<std::string>{"COM2"}));
}

// A file that fails while it is written ends the run with 4 and leaves nothing under its
// name, while the files that could be written are there.
TEST(Batch, FailedWriteEndsWithFourLeavingNothingBehind) {
    SimRoom room;
    // Over the file-size limit half-way through the write.
    const std::vector<std::string> args = {"/usr/bin/prlimit", "--fsize=8000", "--", VEKA_BINARY,
                                           "--sweep", "--points", "20", "--out", "ok.csv",
                                           "--out", "gross.pdf"};
    const std::string ordner = room.dir.path().string();
    const ProgramRun run = runProgram(args, ordner, false,
                                      {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", ordner}});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(run.err.rfind("veka: cannot write gross.pdf: File too large", 0), 0u) << run.err;
    EXPECT_EQ(entries(room.dir.path()), (std::set<std::string>{"COM2", "vekami.cfg", "ok.csv"}));
}

// What cannot work ends at once, before any sweep, with one line and its exit code.
TEST(Batch, ImpossibleRequestsEndAtOnceWithOneLine) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* text;
        size_t exchanges;  // 1: only the start-up contact
        bool asUser = false;
        std::function<void(SimRoom&)> setUp = {};
        bool rootOnly = false;  // needs root to give a link to another user
    } cases[] = {
        {{"--out", "x.csv", "b.png"}, 2, "'b.png' is no option", 0},
        {{"--start", "2147000000", "--step", "100000", "--out", "x.csv"},
         2,
         "impossible sweep: the last point",
         1},
        {{"--start", "20000000", "--stop", "10000000", "--out", "x.csv"}, 2, "lies below", 1},
        {{"--start", "0", "--stop", "1000", "--points", "4", "--out", "x.csv"},
         2,
         "does not divide into 3 whole steps",
         1},
        {{"--out", "fehlt/x.csv"}, 4, "no such folder", 0},
        {{"--out", "zu/x.csv"}, 4, "cannot write in zu", 0, true},
        {{"--out", "ordner.csv"}, 4, "is a folder", 0},
        {{"--port", "/dev/veka-none", "--out", "x.csv"}, 3, "/dev/veka-none: not present", 0},
        {{"--port", "text.txt", "--out", "x.csv"}, 3, "not a serial device", 0},
        {{"--out", "x.csv"},
         3,
         "permission denied",
         0,
         true,
         [](SimRoom& r) { ::chmod(r.sim->slavePath().c_str(), 0600); }},
        {{"--out", "x.csv"},
         3,
         "in use by another program",
         0,
         true,
         [](SimRoom& r) {
             static int held = -1;  // held until the next case's room replaces it
             if (held >= 0) ::close(held);
             held = ::open(r.sim->slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
             ::ioctl(held, TIOCEXCL);
         }},
        // Another user's link in a shared sticky folder, as one could plant in /tmp.
        {{"--out", "shared/x.csv"},
         4,
         "symbolic link of another user",
         0,
         true,
         [](SimRoom&) {
             fs::create_directory("shared");
             ::chmod("shared", 01777);
             fs::create_symlink("../victim.csv", "shared/x.csv");
             if (::lchown("shared/x.csv", 4242, 4242) != 0) ADD_FAILURE() << "lchown";
         },
         true},
    };
    for (Case& f : cases) {
        if (f.rootOnly && !test::runningAsRoot()) continue;
        SimRoom room;
        ::chmod(room.dir.path().c_str(), 0777);
        ::chmod(room.sim->slavePath().c_str(), 0666);
        fs::create_directory("zu");
        ::chmod("zu", 0555);
        fs::create_directory("ordner.csv");
        { std::ofstream("text.txt") << "kein Geraet"; }
        if (f.setUp) f.setUp(room);
        const ProgramRun run = batch(room, f.args, f.asUser);
        const std::string what = f.args.front() + " " + f.text;
        EXPECT_EQ(run.exitCode, f.exitCode) << what << ": " << run.err;
        EXPECT_NE(run.err.find(f.text), std::string::npos) << run.err;
        EXPECT_EQ(run.err.rfind("veka: ", 0), 0u) << run.err;
        // One line, and for a wrong command line the usual pointer to --help.
        const size_t hint = run.err.find("Try 'veka --help'.\n");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), hint == std::string::npos ? 1 : 2)
            << run.err;
        EXPECT_EQ(room.sim->exchangeCount(), f.exchanges) << what;
        EXPECT_FALSE(fs::exists("x.csv")) << what;
        EXPECT_FALSE(fs::exists("victim.csv")) << what;
        ::chmod("zu", 0755);
    }
}

// TERM, INT and HUP end a run at once: the port is free for the next run, no temporary file
// stays and an older output is kept.
TEST(Batch, SignalsEndTheRunAndFreeThePort) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SimRoom room;
        ::chmod(room.dir.path().c_str(), 0777);
        ::chmod(room.sim->slavePath().c_str(), 0666);
        { std::ofstream("x.csv") << "alt"; }
        ::chmod("x.csv", 0666);
        bool sent = false;
        const auto whileRunning = [&](pid_t pid, const ProgramRun&) {
            if (!sent && room.sim->exchangeCount() > 30) sent = ::kill(pid, signal) == 0;
        };
        const std::string ordner = room.dir.path().string();
        const ProgramRun run = runProgram(
            withDroppedPrivileges({VEKA_BINARY, "--sweep", "--count", "1000", "--points", "50",
                                   "--out", "x.csv"}),
            ordner, false, {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", ordner}}, {},
            whileRunning);
        EXPECT_TRUE(sent) << signal;
        EXPECT_EQ(run.signal, signal) << run.err;
        EXPECT_EQ(fileContents("x.csv"), "alt");
        EXPECT_EQ(entries(room.dir.path()), (std::set<std::string>{"COM2", "vekami.cfg", "x.csv"}));
        // Left exclusive, the line would refuse every later run of a normal user.
        EXPECT_EQ(batch(room, {"--points", "5", "--out", "y.csv"}, true).exitCode, 0) << signal;
    }
}

// --out - writes the table to standard output; a standard output that cannot take it fails.
TEST(Batch, TableToStandardOutput) {
    SimRoom room;
    const ProgramRun run = batch(room, {"--points", "5", "--out", "-", "--out", "t.csv"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, fileContents("t.csv"));
    const int voll = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(voll, 0);
    const std::string ordner = room.dir.path().string();
    const ProgramRun full =
        runProgram({VEKA_BINARY, "--sweep", "--points", "5", "--out", "-"}, ordner, false,
                   {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", ordner}}, {}, {}, voll);
    ::close(voll);
    EXPECT_EQ(full.exitCode, 4);
    EXPECT_EQ(full.err, "veka: cannot write to standard output: No space left on device\n");
}

// The table opens with the defaults of the tools users read it with, whatever locale writes
// or reads it: pandas and Python's csv module, and gnuplot once told the separator.
TEST(Batch, TableOpensInPandasCsvAndGnuplotInAnyLocale) {
    const char* werkzeuge[] = {"/usr/bin/python3", "/usr/bin/gnuplot", "/usr/bin/localedef"};
    for (const char* w : werkzeuge)
        if (!fs::exists(w)) GTEST_SKIP() << w << " is not installed";
    SimRoom room;
    const std::string ordner = room.dir.path().string();
    // A German locale of our own: nothing needs to be installed system-wide for it.
    fs::create_directory(ordner + "/loc");
    const bool deutsch = runProgram({"/usr/bin/localedef", "-i", "de_DE", "-f", "UTF-8",
                                     ordner + "/loc/de_DE.UTF-8"},
                                    ordner, false)
                             .exitCode == 0;
    EXPECT_TRUE(deutsch) << "localedef de_DE";
    const char* pruefung = R"(
import csv, sys, pandas as pd
f, n = sys.argv[1], int(sys.argv[2])
d = pd.read_csv(f)
assert list(d.columns) == ['frequency_hz', 'level_db', 'display_value', 'raw_reading'], d.columns
assert len(d) == n and d.frequency_hz.dtype == 'int64' and d.level_db.dtype == 'float64'
assert ((d.level_db * 5 + 400) - d.display_value).abs().max() < 1e-9
text = open(f, newline='').read()
assert csv.Sniffer().sniff(text).delimiter == ',' and csv.Sniffer().has_header(text)
rows = list(csv.reader(open(f, newline='')))
assert len(rows) == n + 1 and all(len(r) == 4 for r in rows)
print('ok')
)";
    for (const std::string locale : {"C.UTF-8", "de_DE.UTF-8"}) {
        if (locale != "C.UTF-8" && !deutsch) continue;
        const Environment env = {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", ordner},
                                 {"LOCPATH", ordner + "/loc"}, {"LC_ALL", locale}};
        const std::string name = "t-" + locale + ".csv";
        const ProgramRun run =
            runProgram({VEKA_BINARY, "--sweep", "--points", "40", "--out", name}, ordner, false, env);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        for (const std::string leser : {"C.UTF-8", "de_DE.UTF-8"}) {
            if (leser != "C.UTF-8" && !deutsch) continue;
            Environment lesen = env;
            lesen.back().second = leser;
            const ProgramRun py =
                runProgram({"/usr/bin/python3", "-c", pruefung, name, "40"}, ordner, false, lesen);
            EXPECT_EQ(py.out, "ok\n") << locale << " read in " << leser << ": " << py.err;
            const ProgramRun gp = runProgram(
                {"/usr/bin/gnuplot", "-e",
                 "set datafile separator comma; set print '-'; stats '" + name +
                     "' using 1:2 nooutput; print STATS_records"},
                ordner, false, lesen);
            EXPECT_EQ(gp.out, "40\n") << locale << " read in " << leser << ": " << gp.err;
        }
    }
}

// The levels of a table as the export wrote it.
std::vector<double> levels(const std::string& name) {
    const auto t = readTraceTable(fileContents(name));
    return std::holds_alternative<TraceTable>(t) ? std::get<TraceTable>(t).levels : std::vector<double>{};
}

// Averaging, limits and a reference from the command line, on the simulator's band-pass.
TEST(Batch, AveragingLimitsAndReference) {
    vekasim::Options o;
    o.noiseDb = 2;
    SimRoom room(o);
    const std::vector<std::string> sweep = {"--start", "10000000", "--step", "5000", "--points", "60"};
    const auto run = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), sweep.begin(), sweep.end());
        return batch(room, extra);
    };
    // 16 sweeps averaged scatter about a quarter as much around the model as one.
    ASSERT_EQ(run({"--out", "one.csv"}).exitCode, 0);
    ASSERT_EQ(run({"--average", "16", "--out", "avg.csv"}).exitCode, 0);
    const auto scatter = [&](const std::vector<double>& l) {
        double sum = 0;
        for (size_t k = 0; k < l.size(); ++k) {
            const double model = vekasim::levelDb(o, 10000000.0 + 5000.0 * static_cast<double>(k));
            sum += (l[k] - model) * (l[k] - model);
        }
        return std::sqrt(sum / static_cast<double>(l.size()));
    };
    const double ratio = scatter(levels("one.csv")) / scatter(levels("avg.csv"));
    EXPECT_GT(ratio, 3.0);
    EXPECT_LT(ratio, 5.5);
    // Without noise: a limit 1 dB below the top fails from the first point above it; the
    // summary's analysis is the one the table gives.
    room.sim->setNoiseDb(0);
    ASSERT_EQ(run({"--out", "clean.csv", "--summary", "clean.json"}).exitCode, 0);
    const std::vector<double> clean = levels("clean.csv");
    const size_t first = std::find_if(clean.begin(), clean.end(), [](double l) { return l > -1; }) -
                         clean.begin();
    ASSERT_LT(first, clean.size());
    { std::ofstream("tight.csv") << "frequency_hz,upper,lower\n9900000,-1,\n10400000,-1,\n"; }
    { std::ofstream("wide.csv") << "frequency_hz,upper,lower\n9900000,1,-90\n10400000,1,-90\n"; }
    const ProgramRun fails = run({"--limits", "tight.csv", "--out", "l.csv"});
    EXPECT_EQ(fails.exitCode, 6);
    EXPECT_NE(fails.err.find(std::to_string(10000000 + 5000 * first) + " Hz"), std::string::npos)
        << fails.err;
    EXPECT_TRUE(fs::exists("l.csv")) << "the files are written all the same";
    EXPECT_EQ(run({"--limits", "wide.csv", "--out", "l.csv"}).exitCode, 0);
    // Against its own reference the sweep reads 0 dB at every point.
    ASSERT_EQ(run({"--reference", "clean.csv", "--out", "norm.csv"}).exitCode, 0);
    const std::vector<std::string> norm = lines(fileContents("norm.csv"));
    ASSERT_EQ(norm.size(), 61u);
    EXPECT_EQ(norm[0], "frequency_hz,level_db,display_value,raw_reading,reference_db,normalised_db");
    for (size_t k = 1; k < norm.size(); ++k)
        EXPECT_TRUE(norm[k].ends_with(",0.0")) << norm[k];
    // The analysis in the summary comes out of the table, number for number.
    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(fileContents("clean.json"))).object();
    const auto t = std::get<TraceTable>(readTraceTable(fileContents("clean.csv")));
    const FilterAnalysis a = analyseFilter({t.startHz, t.stepHz, t.linear, false, t.levels});
    ASSERT_TRUE(a.q && a.bands[0].widthHz());
    const QJsonObject json = summary["analysis"].toObject();
    EXPECT_EQ(json["maximum_hz"].toDouble(), a.maximumHz);
    EXPECT_EQ(json["bands"].toArray()[0].toObject()["width_hz"].toDouble(), *a.bands[0].widthHz());
    EXPECT_EQ(json["q"].toDouble(), *a.q);
}

}  // namespace
}  // namespace veka::test
