// The program itself, with its window (offscreen) and without, driven over a loopback socket
// against the simulated device: set-up, sweep, trace, evaluation, store, and the error queue.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <filesystem>
#include <memory>
#include <string>

#include "remote/remote_server.h"
#include "support/sim_readings.h"
#include "support/sim_room.h"
#include "support/work_dir.h"

// The program under test is started by fork and exec while the simulator's thread runs; the
// child execs at once, so the thread sanitizer's limit on forking does not apply.
extern "C" const char* __tsan_default_options() {
    return "die_after_fork=0";
}

namespace veka {
namespace {

constexpr int kLange = 60000;  // ms; only reached when something hangs

uint16_t freierPort() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    return probe.serverPort();
}

// veka --remote PORT [--no-window] in the simulator's room; ready once it says it listens.
class Programm {
  public:
    Programm(const test::SimRoom& room, bool fenster) : port_(freierPort()) {
        QStringList args{"--remote", QString::number(port_)};
        if (!fenster) args << "--no-window";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // Under ThreadSanitizer the program reports and goes on (and ends as usual): Qt's pool
        // threads, uninstrumented, give reports of their own; the destructor tells ours apart.
        if (env.contains("TSAN_OPTIONS"))
            env.insert("TSAN_OPTIONS", env.value("TSAN_OPTIONS") + ":halt_on_error=0:exitcode=0");
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(room.dir.path().string()));
        p_.setProcessEnvironment(env);
        p_.setWorkingDirectory(QString::fromStdString(room.dir.path().string()));
        p_.setReadChannel(QProcess::StandardError);
        p_.start(VEKA_PROGRAM, args);
        bereit_ = p_.waitForStarted(kLange) && warteAuf("remote control listening on");
    }
    ~Programm() {
        p_.terminate();
        if (!p_.waitForFinished(kLange)) p_.kill();
        p_.waitForFinished(kLange);
        // Under a sanitizer the program reports there, and goes on. Reports with no frame of
        // ours come from inside the uninstrumented Qt libraries (their thread pool).
        stderr_ += p_.readAllStandardError().toStdString();
        const bool bericht = stderr_.find("Sanitizer") != std::string::npos;
        EXPECT_FALSE(bericht && stderr_.find("veka::") != std::string::npos) << stderr_;
    }
    bool bereit() const { return bereit_; }
    // SIGTERM: the exit code of a normal end, -1 when the signal killed the program or it hangs.
    int sigterm() {
        p_.terminate();
        if (!p_.waitForFinished(kLange)) return -1;
        return p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1;
    }
    uint16_t port() const { return port_; }
    bool laeuft() const { return p_.state() == QProcess::Running; }
    const std::string& fehlerausgabe() const { return stderr_; }

  private:
    bool warteAuf(const std::string& text) {
        while (stderr_.find(text) == std::string::npos) {
            if (!p_.waitForReadyRead(kLange) && p_.state() != QProcess::Running) return false;
            stderr_ += p_.readAllStandardError().toStdString();
        }
        return true;
    }

    uint16_t port_;
    QProcess p_;
    std::string stderr_;
    bool bereit_ = false;
};

class Kunde {
  public:
    explicit Kunde(uint16_t port) {
        s_.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(s_.waitForConnected(kLange));
    }
    void senden(const std::string& zeile) {
        s_.write(QByteArray::fromStdString(zeile + "\n"));
        s_.waitForBytesWritten(kLange);
    }
    std::string zeile() {
        while (!s_.canReadLine())
            if (!s_.waitForReadyRead(kLange)) return "<nothing>";
        return s_.readLine().trimmed().toStdString();
    }
    std::string frage(const std::string& z) {
        senden(z);
        return zeile();
    }
    bool getrennt() {
        return s_.state() == QAbstractSocket::UnconnectedState || s_.waitForDisconnected(kLange);
    }
    void trennen() {
        s_.disconnectFromHost();
        getrennt();
    }

  private:
    QTcpSocket s_;
};

constexpr char kKeinFehler[] = "0,\"No error\"";

vekasim::Options bandpass() {
    vekasim::Options o;
    o.dut = vekasim::Dut::Bandpass;
    o.centreHz = 10140000;
    o.bandwidthHz = 100000;
    return o;
}

class FernProgramm : public ::testing::TestWithParam<bool> {};

TEST_P(FernProgramm, SweepTraceEvaluationAndStore) {
    const vekasim::Options o = bandpass();
    test::SimRoom room(o);
    Programm veka(room, GetParam());
    ASSERT_TRUE(veka.bereit()) << veka.fehlerausgabe();
    Kunde k(veka.port());
    EXPECT_EQ(k.frage("*IDN?"), std::string("veka,network tester front end,Netzwerktester "
                                            "(Labor)  V7.3     COM 2,") +
                                    VEKA_VERSION);
    k.senden("*RST;:FREQ:STAR 10040000;STEP 2000;:SWE:POIN 100;:DET LOG");
    EXPECT_EQ(k.frage("FREQ:STAR?;STEP?;:SWE:POIN?;:SENS:MODE?"), "10040000;2000;100;TRAN");
    const size_t vorher = room.sim->exchangeCount();
    EXPECT_EQ(k.frage("INIT;*OPC?"), "1");
    // One complete sweep, then the source parked on the start frequency.
    const auto ex = room.sim->exchanges();
    ASSERT_EQ(ex.size() - vorher, 101u);
    EXPECT_NEAR(ex.back().frequencyHz, 10040000, 1);
    std::string soll, sollFreq;
    for (size_t i = 1; i <= 100; ++i) {
        const char* komma = i > 1 ? "," : "";
        soll += komma + std::to_string(test::anzeigewert(o, ex[vorher + i - 1], Korrfaktorpaar{}));
        sollFreq += komma + std::to_string(10040000 + (i - 1) * 2000);
    }
    EXPECT_EQ(k.frage("TRAC:DATA?"), soll);
    EXPECT_EQ(k.frage("TRAC:FREQ?"), sollFreq);
    // The band-pass centre lies inside the bandwidth the evaluation reports.
    const std::string band = k.frage("CALC:BAND?");
    EXPECT_EQ(std::count(band.begin(), band.end(), '"'), 6) << band;
    EXPECT_NE(band.find(" Hz (6 dB)\""), std::string::npos) << band;
    EXPECT_EQ(k.frage("CALC:MAX?").substr(0, 5), "\"10.1");
    k.senden("MMEM:STOR:TRAC \"spur.csv\";:MMEM:STOR:CONF \"spur.cfg\"");
    EXPECT_EQ(k.frage("SYST:ERR?"), kKeinFehler);
    const std::string csv = test::fileContents((room.dir.path() / "spur.csv").string());
    EXPECT_NE(csv.find("10040000,"), std::string::npos);
    EXPECT_NE(csv.find("10238000,"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(room.dir.path() / "spur.cfg"));
    EXPECT_TRUE(veka.laeuft());
}

TEST_P(FernProgramm, ErrorQueueAndBadInput) {
    test::SimRoom room;
    Programm veka(room, GetParam());
    ASSERT_TRUE(veka.bereit()) << veka.fehlerausgabe();
    Kunde k(veka.port());
    const struct {
        std::string zeile;
        const char* fehler;
    } faelle[] = {
        {"FREQ:BOGUS 5", "-113,\"Undefined header\""},
        {std::string(5000, 'A'), "-223,\"Too much data\""},
        {std::string("\x00\xff\x01\x02", 4), "-101,\"Invalid character\""},
        {"MMEM:STOR:CONF \"/tmp/x.cfg\"", "-222,\"Data out of range\""},
        {"MMEM:STOR:TRAC \"../x.csv\"", "-222,\"Data out of range\""},
        {"SOUR:ATT 25", "-222,\"Data out of range\""},
    };
    for (const auto& f : faelle) {
        k.senden(f.zeile);
        EXPECT_EQ(k.frage("SYST:ERR?"), f.fehler) << f.zeile.substr(0, 20);
        EXPECT_EQ(k.frage("SYST:ERR?"), kKeinFehler) << f.zeile.substr(0, 20);
    }
    // A command the window locks out during a sweep is refused while one runs.
    k.senden("SWE:POIN 30;:INIT:CONT ON");
    k.senden("FREQ:STAR 7000000");
    EXPECT_EQ(k.frage("SYST:ERR?"), "-221,\"Settings conflict\"");
    EXPECT_EQ(k.frage("SOUR:ATT 10;ATT?"), "10");  // the attenuator is not locked out
    EXPECT_EQ(k.frage("INIT:CONT OFF;*OPC?"), "1");
    EXPECT_EQ(k.frage("FREQ:STAR 7000000;STAR?"), "7000000");
    EXPECT_EQ(k.frage("SYST:ERR?"), kKeinFehler);
    EXPECT_TRUE(veka.laeuft());
}

TEST_P(FernProgramm, OneClientAtATimeAndDisconnectsMidSweep) {
    test::SimRoom room;
    Programm veka(room, GetParam());
    ASSERT_TRUE(veka.bereit()) << veka.fehlerausgabe();
    {
        Kunde erster(veka.port());
        EXPECT_EQ(erster.frage("SWE:POIN 200;POIN?"), "200");
        Kunde zweiter(veka.port());
        EXPECT_EQ(zweiter.zeile() + "\n", RemoteBusyLine);
        EXPECT_TRUE(zweiter.getrennt());
        EXPECT_EQ(erster.frage("SWE:POIN?"), "200");
        // Gone while a single sweep runs and its *OPC? is still unanswered.
        erster.senden("INIT;*OPC?");
    }
    // The server may not have seen the first client go yet: ask until it has.
    std::unique_ptr<Kunde> naechster;
    std::string antwort;
    do {
        naechster = std::make_unique<Kunde>(veka.port());
        antwort = naechster->frage("*OPC?");
    } while (antwort + "\n" == RemoteBusyLine);
    Kunde& dritter = *naechster;
    EXPECT_EQ(antwort, "1");
    EXPECT_EQ(dritter.frage("INIT:CONT?"), "0");
    dritter.senden("INIT:CONT ON");
    dritter.trennen();  // gone while sweeps repeat: they go on
    do {
        naechster = std::make_unique<Kunde>(veka.port());
        antwort = naechster->frage("INIT:CONT?");
    } while (antwort + "\n" == RemoteBusyLine);
    Kunde& vierter = *naechster;
    EXPECT_EQ(antwort, "1");
    EXPECT_EQ(vierter.frage("ABOR;*OPC?;:INIT:CONT?"), "1;0");
    EXPECT_TRUE(veka.laeuft());
}

TEST_P(FernProgramm, AFloodOfCommandsIsAnsweredInOrder) {
    test::SimRoom room;
    Programm veka(room, GetParam());
    ASSERT_TRUE(veka.bereit()) << veka.fehlerausgabe();
    Kunde k(veka.port());
    std::string flut;
    constexpr int kAnzahl = 5000;
    for (int i = 0; i < kAnzahl; ++i)
        flut += "SWE:POIN " + std::to_string(i % 300 + 1) + ";POIN?\n";
    k.senden(flut.substr(0, flut.size() - 1));
    int richtig = 0;
    for (int i = 0; i < kAnzahl; ++i)
        if (k.zeile() == std::to_string(i % 300 + 1)) ++richtig;
    EXPECT_EQ(richtig, kAnzahl);
    EXPECT_EQ(k.frage("SYST:ERR?"), kKeinFehler);
}

TEST_P(FernProgramm, SigtermDuringSweepsEndsTheProgramNormally) {
    test::SimRoom room;
    Programm veka(room, GetParam());
    ASSERT_TRUE(veka.bereit()) << veka.fehlerausgabe();
    Kunde k(veka.port());
    EXPECT_EQ(k.frage("INIT:CONT ON;:INIT:CONT?"), "1");
    EXPECT_EQ(veka.sigterm(), 0);
}

INSTANTIATE_TEST_SUITE_P(OhneUndMitFenster, FernProgramm, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Fenster" : "Ohne"; });

TEST(FernProgrammStumm, DeviceTimeOutIsAHardwareError) {
    vekasim::Options o;
    o.silent = true;
    test::SimRoom room(o);
    Programm veka(room, false);
    ASSERT_TRUE(veka.bereit()) << veka.fehlerausgabe();
    Kunde k(veka.port());
    EXPECT_EQ(k.frage("SYST:ERR?"), "-240,\"Hardware error\"");
    EXPECT_EQ(k.frage("SYST:ERR?"), kKeinFehler);
    EXPECT_EQ(k.frage("SENS:MODE?"), "RAW");
}

TEST(FernProgrammAdresse, AnAddressThatIsNoIpAddressIsRefused) {
    test::SimRoom room;
    QProcess p;
    p.setWorkingDirectory(QString::fromStdString(room.dir.path().string()));
    p.start(VEKA_PROGRAM, {"--remote", "not-an-address:5025", "--no-window"});
    ASSERT_TRUE(p.waitForFinished(kLange));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_NE(p.readAllStandardError().indexOf("not-an-address"), -1);
}

}  // namespace
}  // namespace veka
