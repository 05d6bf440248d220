// The remote commands on the program logic over a simulated device: each runs the window's
// handler, answers what the window shows, and is refused exactly when the window refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "display/auswertung.h"
#include "measure/sweep.h"
#include "remote/line_runner.h"
#include "remote/remote_instrument.h"
#include "support/sim_readings.h"
#include "support/fake_ui.h"
#include "support/sim_room.h"

namespace veka {
namespace {

// The logic on a simulated device, driven only through remote command lines.
struct Pult : RemoteHost {
    explicit Pult(vekasim::Options o = {}) : room(o) { core.FormCreate(std::nullopt); }

    Netzwerktester& logic() override { return core; }
    void changed() override { ++befehle; }

    // Runs a line to its end; while a command waits, what the worker posts runs as the
    // window's event loop would run it.
    std::string zeile(std::string_view text) {
        LineRunner r(text);
        const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!r.run(remote)) {
            if (fake.runPosted() == 0) std::this_thread::yield();
            if (std::chrono::steady_clock::now() > ende) return "<timeout>";
        }
        fake.runPosted();
        return r.answer().value_or("");
    }
    std::string fehler() { return zeile("SYST:ERR?"); }

    test::SimRoom room;
    test::FakeUi fake;
    Netzwerktester core{fake};
    Instrument& inst = core.inst();
    RemoteInstrument remote{*this, "9.9"};
    int befehle = 0;
};

constexpr char kKeinFehler[] = "0,\"No error\"";

TEST(RemoteCommands, SetUpRunsTheWindowHandlers) {
    Pult p;
    const struct {
        const char* befehl;
        const char* abfrage;
        const char* antwort;
        Control label;
        const char* text;
    } faelle[] = {
        {"SENS:FREQ:STAR 7000000", "FREQ:STAR?", "7000000", Control::Label1, "7.000.000 Hz"},
        {"sense:frequency:step 2000", "FREQ:STEP?", "2000", Control::Label2, "2.000 Hz"},
        {"SWE:POIN 50", "SWE:POIN?", "50", Control::Label1, "7.000.000 Hz"},
        {"SOUR:ATT 20", "SOUR:ATT?", "20", Control::AttenuatorLabel, "20 dB"},
        {"SOUR:ATT 0", "SOUR:ATT?", "0", Control::AttenuatorLabel, "  0 dB"},
        {"CALC:CURS:FREQ 7010000", "CALC:CURS:FREQ?", "7010000", Control::Label12, "7.010.000 Hz"},
        {"DET LIN", "DET?", "LIN", Control::Label1, "7.000.000 Hz"},
        {"DET LOG", "DET?", "LOG", Control::Label1, "7.000.000 Hz"},
        {"SENS:MODE SPEC", "SENS:MODE?", "SPEC", Control::Label5, ""},
        {"SENS:MODE REFL", "SENS:MODE?", "REFL", Control::Label5, ""},
        {"SENS:MODE TRAN", "SENS:MODE?", "TRAN", Control::Label5, ""},
    };
    for (const auto& f : faelle) {
        const int vorher = p.befehle;
        EXPECT_EQ(p.zeile(f.befehl), "") << f.befehl;
        EXPECT_EQ(p.befehle, vorher + 1) << f.befehl << ": not run through the front";
        EXPECT_EQ(p.zeile(f.abfrage), f.antwort) << f.befehl;
        if (*f.text) {
            EXPECT_EQ(p.inst.fenster.text(f.label), f.text) << f.befehl;
        }
        EXPECT_EQ(p.fehler(), kKeinFehler) << f.befehl;
    }
    EXPECT_EQ(p.inst.Daempfung, 0);
    EXPECT_EQ(p.inst.Cursorpunkt, 5);
    // The device was parked on the typed start frequency, as "&Frequenz" does.
    EXPECT_NEAR(p.room.sim->exchanges().back().frequencyHz, 7000000, 1);
    EXPECT_TRUE(p.fake.requests.empty()) << "no input box may be shown for a remote value";
    EXPECT_EQ(p.zeile("*IDN?"),
              "veka,network tester front end," + p.inst.fenster.caption() + ",9.9");
}

TEST(RemoteCommands, BadInputGoesToTheErrorQueue) {
    Pult p;
    const struct {
        const char* zeile;
        const char* fehler;
    } faelle[] = {
        {"FREQ:STOP 5", "-113,\"Undefined header\""},
        {"FREQ:STAR?;FREQ:BOGUS?", "-113,\"Undefined header\""},
        {"*IDN", "-113,\"Undefined header\""},
        {"INIT?", "-113,\"Undefined header\""},
        {"SOUR:ATT 15", "-222,\"Data out of range\""},
        {"SOUR:ATT 40", "-222,\"Data out of range\""},
        {"SWE:POIN 301", "-222,\"Data out of range\""},
        {"SWE:POIN 0", "-222,\"Data out of range\""},
        {"FREQ:STEP 0", "-222,\"Data out of range\""},
        {"FREQ:STAR -1", "-222,\"Data out of range\""},
        {"SENS:MODE BOGUS", "-222,\"Data out of range\""},
        {"MMEM:STOR:CONF \"/tmp/x.cfg\"", "-222,\"Data out of range\""},
        {"MMEM:STOR:CONF \"../x.cfg\"", "-222,\"Data out of range\""},
        {"MMEM:STOR:TRAC \"a/../../x.csv\"", "-222,\"Data out of range\""},
        {"SWE:POIN", "-109,\"Missing parameter\""},
        {"*IDN? 1", "-108,\"Parameter not allowed\""},
        {"SENS:MODE 1", "-104,\"Data type error\""},
        {"FREQ:STAR 1.5", "-121,\"Invalid character in number\""},
        {"FREQ:STAR \x01", "-101,\"Invalid character\""},
        {"MMEM:LOAD:CONF \"fehlt.cfg\"", "-256,\"File name not found\""},
        {"MMEM:STOR:CONF \"kein/ordner.cfg\"", "-250,\"Mass storage error\""},
        {"SOUR:FREQ 5000000", "-221,\"Settings conflict\""},
        {"SOUR:IF:STAT ON", "-221,\"Settings conflict\""},
        {"SOUR:IF:FREQ 1000", "-221,\"Settings conflict\""},
    };
    for (const auto& f : faelle) {
        p.zeile(f.zeile);
        EXPECT_EQ(p.fehler(), f.fehler) << f.zeile;
        EXPECT_EQ(p.fehler(), kKeinFehler) << f.zeile;
    }
    EXPECT_EQ(p.inst.e.Startfrequenz, 10000000);
    EXPECT_EQ(p.inst.e.Messpunkte, 280);
    EXPECT_FALSE(std::filesystem::exists("kein"));
    // Several errors queue up oldest first; *CLS forgets them.
    p.zeile("BOGUS");
    p.zeile("SOUR:ATT 5");
    EXPECT_EQ(p.fehler(), "-113,\"Undefined header\"");
    p.zeile("BOGUS");
    p.zeile("*CLS");
    EXPECT_EQ(p.fehler(), kKeinFehler);
}

TEST(RemoteCommands, VfoModeAndIntermediateFrequency) {
    Pult p;
    p.zeile("SENS:MODE VFO");
    EXPECT_EQ(p.zeile("SENS:MODE?"), "VFO");
    p.zeile("SOUR:IF:FREQ 1000000;STAT ON;MODE SUBT;:SOUR:FREQ 7000000");
    EXPECT_EQ(p.fehler(), kKeinFehler);
    EXPECT_EQ(p.zeile("SOUR:IF:STAT?;MODE?;FREQ?;:SOUR:FREQ?"), "1;SUBT;1000000;7000000");
    EXPECT_NEAR(p.room.sim->exchanges().back().frequencyHz, 6000000, 1);
    p.zeile("SOUR:IF:MODE ADD");
    EXPECT_NEAR(p.room.sim->exchanges().back().frequencyHz, 8000000, 1);
    p.zeile("SOUR:IF:MODE ADD");  // already so: the toggle is not pressed again
    EXPECT_TRUE(p.inst.fenster.checked(Control::AdditionvsSubtraktion1));
    p.zeile("SOUR:IF:STAT OFF");
    EXPECT_NEAR(p.room.sim->exchanges().back().frequencyHz, 7000000, 1);
    // The window offers no sweep in VFO mode, and neither does the remote interface.
    p.zeile("INIT");
    EXPECT_EQ(p.fehler(), "-221,\"Settings conflict\"");
}

TEST(RemoteCommands, ASweepLocksOutWhatTheWindowLocksOut) {
    Pult p;
    p.zeile("SWE:POIN 40");
    p.zeile("INIT:CONT ON");
    ASSERT_TRUE(p.core.messungLaeuft());
    EXPECT_EQ(p.zeile("INIT:CONT?"), "1");
    const char* gesperrt[] = {
        "FREQ:STAR 1000",
        "FREQ:STEP 5",
        "SWE:POIN 10",
        "SENS:MODE REFL",
        "DET LIN",
        "INIT",
        "INIT:CONT ON",
        "MMEM:STOR:CONF \"a.cfg\"",
        "MMEM:STOR:TRAC \"a.csv\"",
        "MMEM:LOAD:CONF \"a.cfg\"",
    };
    for (const char* z : gesperrt) {
        p.zeile(z);
        EXPECT_EQ(p.fehler(), "-221,\"Settings conflict\"") << z;
    }
    EXPECT_FALSE(std::filesystem::exists("a.cfg"));
    // What stays usable in the window stays usable here.
    p.zeile("SOUR:ATT 10;:CALC:CURS:FREQ 10100000");
    EXPECT_EQ(p.fehler(), kKeinFehler);
    EXPECT_EQ(p.inst.Daempfung, 16);
    // A continuous sweep is no pending operation; a stop is, until the sweep has completed.
    EXPECT_EQ(p.zeile("*OPC?"), "1");
    EXPECT_EQ(p.zeile("INIT:CONT OFF;*OPC?"), "1");
    EXPECT_FALSE(p.core.messungLaeuft());
    EXPECT_TRUE(p.inst.fenster.enabled(Control::Button1));
    EXPECT_FALSE(p.inst.fenster.text(Control::Label7).empty()) << "no evaluation after the stop";
    EXPECT_EQ(p.zeile("INIT:CONT?"), "0");
    p.zeile("ABORt");  // nothing running: nothing to do
    EXPECT_EQ(p.fehler(), kKeinFehler);
}

TEST(RemoteCommands, OneSweepThenTraceAndEvaluation) {
    vekasim::Options o;
    o.dut = vekasim::Dut::Bandpass;
    o.centreHz = 10140000;
    o.bandwidthHz = 100000;
    Pult p(o);
    p.zeile("FREQ:STAR 10040000;STEP 2000;:SWE:POIN 100");
    const size_t vorher = p.room.sim->exchangeCount();
    EXPECT_EQ(p.zeile("INIT;*OPC?"), "1");
    EXPECT_FALSE(p.core.messungLaeuft());
    const auto ex = p.room.sim->exchanges();
    // One complete sweep, then the source parked on the start frequency.
    ASSERT_EQ(ex.size() - vorher, 101u);
    const std::string daten = p.zeile("TRAC:DATA?");
    const std::string freq = p.zeile("TRAC:FREQ?");
    const std::string pegel = p.zeile("TRAC:LEV?");
    std::string soll, sollFreq, sollPegel;
    for (size_t k = 1; k <= 100; ++k) {
        const int32_t v = test::anzeigewert(o, ex[vorher + k - 1], p.inst.e.Dlog);
        const char* komma = k > 1 ? "," : "";
        soll += komma + std::to_string(v);
        sollFreq += komma + std::to_string(10040000 + (k - 1) * 2000);
        sollPegel += komma + Pegelzahl(v, false, '.');
        EXPECT_NEAR(ex[vorher + k - 1].frequencyHz, 10040000 + (k - 1) * 2000.0, 1);
    }
    EXPECT_EQ(daten, soll);
    EXPECT_EQ(freq, sollFreq);
    EXPECT_EQ(pegel, sollPegel);
    EXPECT_EQ(p.zeile("CALC:MAX?"), "\"" + p.inst.fenster.text(Control::Label7) + "\"");
    EXPECT_EQ(p.zeile("CALC:MIN?;CURS?"), "\"" + p.inst.fenster.text(Control::Label8) + "\";\"" +
                                              p.inst.fenster.text(Control::Label14) + "\"");
    const std::string band = p.zeile("CALC:BAND?");
    EXPECT_EQ(band, "\"" + p.inst.fenster.text(Control::Label9) + "\",\"" +
                        p.inst.fenster.text(Control::Label10) + "\",\"" +
                        p.inst.fenster.text(Control::Label11) + "\"");
    EXPECT_NE(p.inst.fenster.text(Control::Label11), "") << "the band-pass has a bandwidth";
    EXPECT_EQ(p.fehler(), kKeinFehler);
}

TEST(RemoteCommands, ResetRestoresTheStartValuesAndKeepsThePort) {
    Pult p;
    p.zeile("FREQ:STAR 7000000;STEP 2000;:SWE:POIN 50;:SOUR:ATT 30;:SENS:MODE REFL;DET LIN");
    p.zeile("INIT:CONT ON");
    ASSERT_TRUE(p.core.messungLaeuft());
    // *RST ends the sweep first (it completes), then resets.
    EXPECT_EQ(p.zeile("*RST;*OPC?"), "1");
    EXPECT_FALSE(p.core.messungLaeuft());
    EXPECT_EQ(p.zeile("FREQ:STAR?;STEP?;:SWE:POIN?;:SOUR:ATT?;:SENS:MODE?;DET?;:INIT:CONT?"),
              "10000000;10000;280;0;TRAN;LOG;0");
    EXPECT_EQ(p.inst.Daempfung, 0);
    EXPECT_EQ(p.inst.Cursorpunkt, 140);
    EXPECT_EQ(p.inst.fenster.text(Control::Label1), "10.000.000 Hz");
    EXPECT_EQ(p.inst.fenster.text(Control::AttenuatorLabel), "  0 dB");
    EXPECT_TRUE(p.inst.fenster.enabled(Control::Button5));
    EXPECT_EQ(p.inst.e.Comport, 2);
    EXPECT_NEAR(p.room.sim->exchanges().back().frequencyHz, 10000000, 1);
    EXPECT_EQ(p.fehler(), kKeinFehler);
}

TEST(RemoteCommands, ConfigurationStoreAndLoad) {
    Pult p;
    p.zeile("FREQ:STAR 7000000;:MMEM:STOR:CONF \"eins.cfg\"");
    EXPECT_EQ(p.fehler(), kKeinFehler);
    ASSERT_TRUE(std::filesystem::exists("eins.cfg"));
    p.zeile("*RST");
    p.zeile("MMEM:LOAD:CONF \"eins.cfg\"");
    EXPECT_EQ(p.zeile("FREQ:STAR?"), "7000000");
    EXPECT_EQ(p.inst.fenster.text(Control::Label1), "7.000.000 Hz");
    EXPECT_EQ(p.fehler(), kKeinFehler);
    EXPECT_TRUE(p.fake.fileRequests.empty()) << "no file dialog for a remote name";
}

TEST(RemoteCommands, DeviceTimeOutIsAHardwareError) {
    vekasim::Options o;
    o.silent = true;
    Pult p(o);
    ASSERT_TRUE(p.inst.DemoModus);
    EXPECT_EQ(p.fehler(), "-240,\"Hardware error\"");
    EXPECT_EQ(p.fehler(), kKeinFehler);  // once per time-out, not per command
    EXPECT_EQ(p.zeile("SENS:MODE?"), "RAW");
}

}  // namespace
}  // namespace veka
