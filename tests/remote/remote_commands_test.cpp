// SPDX-License-Identifier: GPL-3.0-or-later
// The remote commands on the program logic over a simulated device: each runs the window's
// handler, answers what the window shows, and is refused exactly when the window refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include <unistd.h>

#include "remote/line_runner.h"
#include "remote/remote_instrument.h"
#include "support/fake_ui.h"
#include "support/sim_readings.h"
#include "support/sim_room.h"

namespace veka {
namespace {

// The logic on a simulated device, driven only through remote command lines.
struct Console : RemoteHost {
    explicit Console(vekasim::Options o = {}) : room(o) { core.FormCreate(std::nullopt); }

    Netzwerktester& logic() override { return core; }
    void runCommand(const std::function<void()>& command) override {
        ++commands;
        command();
    }
    bool asking() const override { return windowAsking; }
    void setLock(WindowLock l) override { lock = l; }

    // Runs a line to its end; while a command waits, what the worker posts runs as the
    // window's event loop would run it.
    std::string line(std::string_view text) {
        LineRunner r(text);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!r.run(remote)) {
            if (fake.runPosted() == 0) std::this_thread::yield();
            if (std::chrono::steady_clock::now() > end) return "<timeout>";
        }
        fake.runPosted();
        return r.answer().value_or("");
    }
    std::string error() { return line("SYST:ERR?"); }

    test::SimRoom room;
    test::FakeUi fake;
    Netzwerktester core{fake};
    Instrument& inst = core.inst();
    RemoteInstrument remote{*this, "9.9"};
    int commands = 0;
    bool windowAsking = false;
    WindowLock lock = WindowLock::Local;
};

constexpr char kNoError[] = "0,\"No error\"";

TEST(RemoteCommands, SetUpRunsTheWindowHandlers) {
    Console c;
    const struct {
        const char* command;
        const char* query;
        const char* answer;
        Control label;
        const char* text;
    } cases[] = {
        {"SENS:FREQ:STAR 7000000", "FREQ:STAR?", "7000000", Control::Label1, "7.000.000 Hz"},
        {"sense:frequency:step 2 kHz", "FREQ:STEP?", "2000", Control::Label2, "2.000 Hz"},
        {"SWE:POIN 50", "SWE:POIN?", "50", Control::Label1, "7.000.000 Hz"},
        {"FREQ:STAR 7.0MHZ", "FREQ:STAR?;STOP?;CENT?;SPAN?", "7000000;7098000;7049000;98000",
         Control::Label1, "7.000.000 Hz"},
        {"FREQ:SPAN 49 kHz", "FREQ:STEP?;CENT?", "1000;7049000", Control::Label2, "1.000 Hz"},
        {"FREQ:STOP 7.049E6", "FREQ:STEP?;STAR?", "500;7024500", Control::Label1, "7.024.500 Hz"},
        {"FREQ:CENT 7049000", "FREQ:STAR?", "7036750", Control::Label1, "7.036.750 Hz"},
        {"FREQ:STAR 7000000", "FREQ:STAR? MAX;STEP? MIN;:SWE:POIN? DEF", "99975499;1;280",
         Control::Label1, "7.000.000 Hz"},
        {"SOUR:ATT 20 DB", "SOUR:ATT?", "20", Control::AttenuatorLabel, "20 dB"},
        {"SOUR:ATT MIN", "SOUR:ATT?;ATT? MAX", "0;30", Control::AttenuatorLabel, "  0 dB"},
        {"CALC:CURS:FREQ 7010000", "CALC:CURS:FREQ?", "7010000", Control::Label12, "7.010.000 Hz"},
        {"DET LIN", "DET?", "LIN", Control::Label1, "7.000.000 Hz"},
        {"DET LOG", "DET?", "LOG", Control::Label1, "7.000.000 Hz"},
        {"SENS:MODE SPEC", "SENS:MODE?", "SPEC", Control::Label5, ""},
        {"SENS:MODE TRAN", "SENS:MODE?;:SWE:TIME?", "TRAN;0.3125", Control::Label5, ""},
        {"AVER:COUN 8", "AVER:COUN?;COUN? MAX;COUN? MIN", "8;64;1", Control::Label5, ""},
        {"SENS:AVER ON", "AVER?;AVER:STAT?", "1;1", Control::Label5, ""},
        {"CALC:HOLD MIN", "CALC:HOLD?", "MIN", Control::Label5, ""},
        {"AVER:CLE", "AVER?;:CALC:HOLD?;:CALC:MATH:STAT?;:CALC:LIM:STAT?", "1;MIN;0;0",
         Control::Label5, ""},
    };
    for (const auto& k : cases) {
        const int before = c.commands;
        EXPECT_EQ(c.line(k.command), "") << k.command;
        EXPECT_EQ(c.commands, before + 1) << k.command << ": not run through the front";
        EXPECT_EQ(c.line(k.query), k.answer) << k.command;
        if (*k.text) {
            EXPECT_EQ(c.inst.fenster.text(k.label), k.text) << k.command;
        }
        EXPECT_EQ(c.error(), kNoError) << k.command;
    }
    EXPECT_EQ(c.inst.Daempfung, 0);
    EXPECT_EQ(c.inst.Cursorpunkt, 20);
    // The device was parked on the typed start frequency, as "&Frequenz" does.
    EXPECT_NEAR(c.room.sim->exchanges().back().frequencyHz, 7000000, 1);
    EXPECT_TRUE(c.fake.requests.empty()) << "no input box may be shown for a remote value";
    EXPECT_EQ(c.line("*IDN?"), "veka,network tester front end V7.3,0,9.9");
    c.inst.e.Hardwareversion = "V8,\xc3\xa4 \"beta\"";
    EXPECT_EQ(c.line("*IDN?;*OPT?;:SYST:VERS?"),
              "veka,network tester front end V8 beta,0,9.9;0;1999.0");
}

TEST(RemoteCommands, BadInputGoesToTheErrorQueue) {
    Console c;
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"FREQ:BOGUS 5", "-113,\"Undefined header\""},
        {"FREQ:STAR?;FREQ:BOGUS?", "-113,\"Undefined header\""},
        {"*IDN", "-113,\"Undefined header\""},
        {"INIT?", "-113,\"Undefined header\""},
        {"SOUR:ATT 15", "-222,\"Data out of range\""},
        {"SOUR:ATT 40", "-222,\"Data out of range\""},
        {"SOUR:ATT 10 HZ", "-131,\"Invalid suffix\""},
        {"SWE:POIN 301", "-222,\"Data out of range\""},
        {"SWE:POIN 10 HZ", "-138,\"Suffix not allowed\""},
        {"SWE:POIN 0", "-222,\"Data out of range\""},
        {"FREQ:STEP 0", "-222,\"Data out of range\""},
        {"FREQ:STAR -1", "-222,\"Data out of range\""},
        {"FREQ:STOP 5 MHZ", "-222,\"Data out of range\""},
        {"FREQ:SPAN 1 GHZ", "-222,\"Data out of range\""},
        {"SENS:MODE BOGUS", "-224,\"Illegal parameter value\""},
        {"SWE:POIN", "-109,\"Missing parameter\""},
        {"*IDN? 1", "-108,\"Parameter not allowed\""},
        {"SENS:MODE 1", "-104,\"Data type error\""},
        {"FREQ:STAR 1.5.", "-121,\"Invalid character in number\""},
        {"FREQ:STAR \x01", "-101,\"Invalid character\""},
        {"FORM REAL,16", "-222,\"Data out of range\""},
        {"TRAC?", "-230,\"Data corrupt or stale;no completed sweep\""},
        {"CALC:MAX?", "-230,\"Data corrupt or stale;no completed sweep\""},
        {"SOUR:FREQ 5000000", "-221,\"Settings conflict\""},
        {"SOUR:IF:STAT ON", "-221,\"Settings conflict\""},
        {"SOUR:IF:FREQ 1000", "-221,\"Settings conflict\""},
        {"AVER:COUN 65", "-222,\"Data out of range\""},
        {"CALC:HOLD PEAK", "-224,\"Illegal parameter value\""},
        {"CALC:MATH:STAT ON", "-221,\"Settings conflict;no reference is stored\""},
        {"TRAC:MEM?", "-221,\"Settings conflict;no reference is stored\""},
        {"CALC:LIM:STAT ON", "-221,\"Settings conflict;no limit table is loaded\""},
        {"CALC:MATH:MEM", "-230,\"Data corrupt or stale\""},
        {"CALC:FILT?", "-230,\"Data corrupt or stale;no completed sweep\""},
        {"CALC:LIM:FAIL?", "-230,\"Data corrupt or stale;no completed sweep\""},
        {"MMEM:LOAD:MEM \"vekami.cfg\"", "-257,\"File name error;not a .csv name\""},
        {"MMEM:LOAD:LIM \"none.csv\"", "-256,\"File name not found\""},
        {"MMEM:STOR:MEM \"ref.csv\"", "-221,\"Settings conflict;no reference is stored\""},
    };
    for (const auto& k : cases) {
        c.line(k.line);
        EXPECT_EQ(c.error(), k.error) << k.line;
        EXPECT_EQ(c.error(), kNoError) << k.line;
    }
    EXPECT_EQ(c.inst.e.Startfrequenz, 10000000);
    EXPECT_EQ(c.inst.e.Messpunkte, 280);
    // Several errors queue up oldest first, for every client alike; *CLS forgets them.
    c.line("BOGUS");
    c.line("SOUR:ATT 5");
    EXPECT_EQ(c.line("SYST:ERR:COUN?"), "2");
    EXPECT_EQ(c.line("SYST:ERR:ALL?"), "-113,\"Undefined header\",-222,\"Data out of range\"");
    c.line("BOGUS");
    c.line("*CLS");
    EXPECT_EQ(c.error(), kNoError);
}

TEST(RemoteCommands, WhileTheWindowAsksOnlyQueriesAndStatusCommandsRun) {
    Console c;
    c.windowAsking = true;
    EXPECT_EQ(c.line("FREQ:STAR 7000000;STAR?;*ESE 1;*ESE?;:SYST:RWL"), "10000000;1");
    EXPECT_EQ(c.inst.e.Startfrequenz, 10000000);
    EXPECT_EQ(c.lock, WindowLock::RemoteWithLockout);
    EXPECT_EQ(c.error(), "-221,\"Settings conflict;window dialog open\"");
    c.windowAsking = false;
    EXPECT_EQ(c.line("FREQ:STAR 7000000;STAR?;:SYST:LOC"), "7000000");
    EXPECT_EQ(c.lock, WindowLock::Local);
}

TEST(RemoteCommands, VfoModeAndIntermediateFrequency) {
    Console c;
    c.line("SENS:MODE VFO");
    EXPECT_EQ(c.line("SENS:MODE?"), "VFO");
    c.line("SOUR:IF:FREQ 1MHZ;STAT ON;MODE SUBT;:SOUR:FREQ 7000000");
    EXPECT_EQ(c.error(), kNoError);
    EXPECT_EQ(c.line("SOUR:IF:STAT?;MODE?;FREQ?;:SOUR:FREQ?"), "1;SUBT;1000000;7000000");
    EXPECT_NEAR(c.room.sim->exchanges().back().frequencyHz, 6000000, 1);
    c.line("SOUR:IF:MODE ADD");
    EXPECT_NEAR(c.room.sim->exchanges().back().frequencyHz, 8000000, 1);
    c.line("SOUR:IF:MODE ADD");  // already so: the toggle is not pressed again
    EXPECT_TRUE(c.inst.fenster.checked(Control::AdditionvsSubtraktion1));
    c.line("SOUR:IF:STAT OFF");
    EXPECT_NEAR(c.room.sim->exchanges().back().frequencyHz, 7000000, 1);
    // The window offers no sweep in VFO mode, and neither does the remote interface.
    c.line("INIT");
    EXPECT_EQ(c.error(), "-221,\"Settings conflict\"");
}

TEST(RemoteCommands, ASweepLocksOutWhatTheWindowLocksOut) {
    Console c;
    c.line("SWE:POIN 40");
    c.line("INIT:CONT ON");
    ASSERT_TRUE(c.core.messungLaeuft());
    EXPECT_EQ(c.line("INIT:CONT?"), "1");
    const char* locked[] = {
        "FREQ:STAR 1000",
        "FREQ:STEP 5",
        "FREQ:SPAN 1MHZ",
        "SWE:POIN 10",
        "SENS:MODE REFL",
        "DET LIN",
        "INIT",
        "INIT:CONT ON",
        "MMEM:STOR:CONF \"a.cfg\"",
        "MMEM:STOR:TRAC \"a.csv\"",
        "MMEM:LOAD:CONF \"a.cfg\"",
        "SYST:DEV:RETR",
    };
    for (const char* l : locked) {
        c.line(l);
        EXPECT_EQ(c.error(), "-221,\"Settings conflict\"") << l;
    }
    EXPECT_FALSE(std::filesystem::exists("a.cfg"));
    // What stays usable in the window stays usable here.
    c.line("SOUR:ATT 10;:CALC:CURS:FREQ 10100000");
    EXPECT_EQ(c.error(), kNoError);
    EXPECT_EQ(c.inst.Daempfung, 16);
    // A continuous sweep is no pending operation; a stop is, until the sweep has completed:
    // *OPC? waits for it, *OPC sets its bit then.
    EXPECT_EQ(c.line("*OPC?;*ESR?"), "1;144");  // power-on, execution errors
    c.line("INIT:CONT OFF;*OPC");
    while (c.line("*ESR?") != "1") c.fake.runPosted();
    EXPECT_FALSE(c.core.messungLaeuft());
    EXPECT_TRUE(c.inst.fenster.enabled(Control::Button1));
    EXPECT_FALSE(c.inst.fenster.text(Control::Label7).empty()) << "no evaluation after the stop";
    EXPECT_EQ(c.line("INIT:CONT?"), "0");
    c.line("ABORt");  // nothing running: nothing to do
    EXPECT_EQ(c.error(), kNoError);
}

TEST(RemoteCommands, OneSweepThenTraceAndEvaluation) {
    const vekasim::Options o = test::bandpass();
    Console c(o);
    c.line("FREQ:STAR 10.04MHZ;STEP 2000;:SWE:POIN 100");
    const size_t before = c.room.sim->exchangeCount();
    EXPECT_EQ(c.line("*ESE 1;*SRE 32;INIT;*OPC;*OPC?"), "1");
    EXPECT_EQ(c.line("*STB?;*ESR?"), "96;129");
    EXPECT_FALSE(c.core.messungLaeuft());
    const auto ex = c.room.sim->exchanges();
    // One complete sweep, then the source parked on the start frequency.
    ASSERT_EQ(ex.size() - before, 101u);
    std::string values, frequencies, levels;
    for (size_t k = 1; k <= 100; ++k) {
        const int32_t v = test::anzeigewert(o, ex[before + k - 1], c.inst.e.Dlog);
        const char* comma = k > 1 ? "," : "";
        // Built with += throughout: GCC 12 at -O3 falsely warns (-Wrestrict) about
        // "literal" + temporary.
        (values += comma) += std::to_string(v);
        (frequencies += comma) += std::to_string(10040000 + (k - 1) * 2000);
        (levels += comma) += levelText((v - 400) / 5.0, false);
    }
    EXPECT_EQ(c.line("TRAC:DATA?"), values);
    EXPECT_EQ(c.line("TRAC:FREQ?"), frequencies);
    EXPECT_EQ(c.line("TRAC:LEV?"), levels);
    EXPECT_NE(levels.find(".4"), std::string::npos) << "levels at 0.2 dB, not whole dB";
    const std::string block = c.line("FORM REAL,32;BORD SWAP;:TRAC:FREQ?;:FORM ASC");
    ASSERT_EQ(block.substr(0, 5), "#3400");
    float f = 0;
    std::memcpy(&f, block.data() + 5 + 4, 4);
    EXPECT_EQ(f, 10042000.0f);
    const Result<Results> r = Operations(c.core, Entry::Checked).results();
    ASSERT_TRUE(r && r->bandwidth);
    EXPECT_EQ(c.line("CALC:MAX?;MIN?"), std::to_string(r->maximum.frequencyHz) + "," +
                                            levelText(r->maximum.level, false) + ";" +
                                            std::to_string(r->minimum.frequencyHz) + "," +
                                            levelText(r->minimum.level, false));
    EXPECT_EQ(c.line("CALC:BAND?"), std::to_string(r->bandwidth->lowerHz) + "," +
                                        std::to_string(r->bandwidth->upperHz) + "," +
                                        std::to_string(r->bandwidth->widthHz));
    EXPECT_EQ(c.line("FREQ:STAR 5000000;:INIT;*WAI;:CALC:BAND?"), "9.91E37,9.91E37,9.91E37");
    EXPECT_EQ(c.error(), kNoError);
}

std::vector<std::string> fields(const std::string& answer) {
    std::vector<std::string> out;
    std::stringstream in(answer);
    for (std::string f; std::getline(in, f, ',');) out.push_back(f);
    return out;
}

TEST(RemoteCommands, AnalysisReferenceAndLimitsOverABandPass) {
    Console c(test::bandpass());
    const Operations ops(c.core, Entry::Checked);
    c.line("FREQ:STAR 10.04MHZ;STEP 2000;:SWE:POIN 100;:INIT;*WAI");
    // The analysis in the documented order, the numbers of the typed operation.
    const Result<FilterAnalysis> a = ops.analysis();
    ASSERT_TRUE(a && a->bands[0].widthHz());
    const std::vector<std::string> f = fields(c.line("CALC:FILT?"));
    ASSERT_EQ(f.size(), 19u);
    EXPECT_EQ(f[0], std::to_string(std::llround(a->maximumHz)));
    EXPECT_EQ(f[4], std::to_string(std::llround(*a->bands[0].widthHz())));
    EXPECT_NEAR(std::stod(f[14]), 10140000, 2000) << "geometric centre";
    EXPECT_NEAR(std::stod(f[16]), *a->q, 0.01);
    EXPECT_EQ(f[13], "9.91E37") << "the 60 dB edges lie outside the sweep";
    // A sweep normalised against its own stored reference reads 0 dB everywhere.
    c.line("CALC:MATH:MEM;STAT ON;:INIT;*WAI");
    const std::vector<std::string> levels = fields(c.line("TRAC:LEV?"));
    ASSERT_EQ(levels.size(), 100u);
    for (const std::string& l : levels) EXPECT_EQ(l, "0.0");
    // Saved and loaded again, the reference reads the same.
    const std::string memory = c.line("TRAC:MEM?");
    c.line("MMEM:STOR:MEM \"ref.csv\";:CALC:MATH:STAT OFF;:MMEM:LOAD:MEM \"ref.csv\"");
    EXPECT_EQ(c.line("TRAC:MEM?"), memory);
    EXPECT_EQ(c.error(), kNoError);
    // Loose limits pass; an upper limit of -0.9 dB fails first where the curve reaches -0.8.
    std::ofstream("loose.csv") << "frequency_hz,upper,lower\n10040000,1,-80\n10238000,1,-80\n";
    std::ofstream("tight.csv") << "frequency_hz,upper,lower\n10040000,-0.9,\n10238000,-0.9,\n";
    EXPECT_EQ(c.line("MMEM:LOAD:LIM \"loose.csv\";:CALC:LIM:STAT ON;:INIT;*WAI;:CALC:LIM:FAIL?;"
                     "FAIL:FREQ?"),
              "0;9.91E37");
    const std::vector<std::string> shown = fields(c.line("TRAC:LEV?"));
    const std::vector<std::string> hz = fields(c.line("TRAC:FREQ?"));
    size_t first = 0;
    while (first < shown.size() && std::stod(shown[first]) < -0.9) ++first;
    ASSERT_LT(first, shown.size());
    EXPECT_EQ(c.line("MMEM:LOAD:LIM \"tight.csv\";:INIT;*WAI;:CALC:LIM:FAIL?;FAIL:FREQ?"),
              "1;" + hz[first]);
    // Reflection: the dip, the chosen level, its band.
    const std::vector<std::string> dip =
        fields(c.line("CALC:LIM:STAT OFF;:SENS:MODE REFL;:INIT;*WAI;:CALC:FILT? -3 DB"));
    ASSERT_EQ(dip.size(), 6u);
    EXPECT_EQ(dip[2], "-3");
    EXPECT_EQ(c.error(), kNoError);
}

TEST(RemoteCommands, ResetRestoresTheStartValuesAndKeepsThePort) {
    Console c;
    c.line("FREQ:STAR 7000000;STEP 2000;:SWE:POIN 50;:SOUR:ATT 30;:SENS:MODE REFL;DET LIN");
    c.line("AVER ON;:AVER:COUN 4;:CALC:HOLD MAX");
    c.line("FORM REAL,64;BORD SWAP;:INIT:CONT ON");
    ASSERT_TRUE(c.core.messungLaeuft());
    // *RST ends the sweep first (it completes), then resets.
    EXPECT_EQ(c.line("*RST;*OPC?"), "1");
    EXPECT_FALSE(c.core.messungLaeuft());
    EXPECT_EQ(
        c.line("FREQ:STAR?;STEP?;:SWE:POIN?;:SOUR:ATT?;:SENS:MODE?;DET?;:INIT:CONT?;:FORM?;BORD?"),
        "10000000;10000;280;0;TRAN;LOG;0;ASC,0;NORM");
    EXPECT_EQ(c.line("AVER?;:AVER:COUN?;:CALC:HOLD?"), "0;16;OFF");
    EXPECT_EQ(c.inst.Daempfung, 0);
    EXPECT_EQ(c.inst.Cursorpunkt, 140);
    EXPECT_EQ(c.inst.fenster.text(Control::Label1), "10.000.000 Hz");
    EXPECT_TRUE(c.inst.fenster.enabled(Control::Button5));
    EXPECT_EQ(c.inst.e.Comport, 2);
    EXPECT_NEAR(c.room.sim->exchanges().back().frequencyHz, 10000000, 1);
    EXPECT_EQ(c.error(), kNoError);
}

// Names lead nowhere outside the working folder, links included; junk is no configuration.
TEST(RemoteCommands, FilesStayInTheWorkingFolder) {
    Console c;
    namespace fs = std::filesystem;
    std::string name = "veka-outside-";
    name += std::to_string(::getpid());
    const fs::path outside = fs::temp_directory_path() / name;
    fs::create_directories(outside);
    fs::create_directory("sub");
    fs::create_directory_symlink(outside, "away");
    fs::create_symlink(outside / "x.cfg", "link.cfg");
    fs::create_symlink(outside / "x.csv", "link.csv");
    fs::create_symlink("sub/real.cfg", "inside.cfg");
    std::ofstream("junk.cfg") << "ssh-rsa AAAA user\n";
    std::ofstream("sub/real.cfg") << "old\n";
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"MMEM:STOR:CONF \"one.cfg\"", kNoError},
        {"MMEM:STOR:CONF \"inside.cfg\"", kNoError},
        {"MMEM:STOR:TRAC \"sub/../trace.csv\"", "-257,\"File name error;hidden name\""},
        {"MMEM:STOR:CONF \"away/x.cfg\"", "-257,\"File name error;outside the working folder\""},
        {"MMEM:STOR:CONF \"link.cfg\"", "-257,\"File name error;outside the working folder\""},
        {"MMEM:LOAD:CONF \"link.cfg\"", "-257,\"File name error;outside the working folder\""},
        {"MMEM:STOR:TRAC \"link.csv\"", "-257,\"File name error;outside the working folder\""},
        {"MMEM:STOR:CONF \"/tmp/x.cfg\"", "-257,\"File name error;outside the working folder\""},
        {"MMEM:STOR:CONF \".ssh/authorized_keys\"", "-257,\"File name error;hidden name\""},
        {"MMEM:STOR:CONF \"LANG.INI\"", "-257,\"File name error;not a .cfg name\""},
        {"MMEM:STOR:CONF \"frequenz.cfg\"", "-257,\"File name error;the frequency marks\""},
        {"MMEM:STOR:CONF \"no/folder.cfg\"", "-256,\"File name not found;no such folder\""},
        {"MMEM:LOAD:CONF \"missing.cfg\"", "-256,\"File name not found\""},
        {"MMEM:LOAD:CONF \"junk.cfg\"", "-250,\"Mass storage error\""},
    };
    for (const auto& k : cases) {
        c.line(k.line);
        EXPECT_EQ(c.error(), k.error) << k.line;
    }
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_NE(test::fileContents("sub/real.cfg"), "old\n") << "saved through the link inside";
    EXPECT_EQ(c.inst.e.Startfrequenz, 10000000) << "junk loads nothing";
    c.line("FREQ:STAR 7000000;:MMEM:STOR:CONF \"one.cfg\";*RST;:MMEM:LOAD:CONF \"one.cfg\"");
    EXPECT_EQ(c.line("FREQ:STAR?"), "7000000");
    EXPECT_EQ(c.error(), kNoError);
    EXPECT_TRUE(c.fake.fileRequests.empty()) << "no file dialog for a remote name";
    fs::remove_all(outside);
}

// A silent device: the drop-out and every sweep of demonstration readings are errors; trying
// again finds the device once it answers.
TEST(RemoteCommands, ADeviceThatComesBackIsUsedAgain) {
    vekasim::Options silent;
    silent.silent = true;
    Console c(silent);
    ASSERT_TRUE(c.inst.DemoModus);
    EXPECT_FALSE(c.room.sim->exchanges().empty());
    EXPECT_EQ(c.line("SYST:DEV:DEMO?;*TST?"), "1;1");
    EXPECT_EQ(c.line("*ESR?"), std::to_string(0x80 | 0x10 | 0x08));
    EXPECT_EQ(c.error(), "-240,\"Hardware error;no reply from the device\"");
    EXPECT_EQ(c.error(), kNoError);  // once per drop-out, not per command
    EXPECT_EQ(c.line("SWE:POIN 5;:INIT;*OPC?;:INIT;*OPC?"), "1;1");
    EXPECT_EQ(c.line("SYST:ERR:ALL?"),
              "-241,\"Hardware missing;demonstration readings\","
              "-241,\"Hardware missing;demonstration readings\"");
    // The device answers again: trying it again uses it.
    vekasim::Options back;
    back.dir = c.room.dir.path().string();
    c.room.sim = std::make_unique<vekasim::Simulator>(back);
    ASSERT_TRUE(c.room.sim->start());
    c.line("SYST:DEV:RETR");
    EXPECT_EQ(c.line("SYST:DEV:DEMO?;*TST?"), "0;0");
    EXPECT_EQ(c.line("SENS:MODE TRAN;:INIT;*OPC?;:SYST:ERR?"), "1;0,\"No error\"");
    EXPECT_FALSE(c.room.sim->exchanges().empty());
}

}  // namespace
}  // namespace veka
