// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself, with its window (offscreen) and without, driven over loopback sockets
// against the simulated device: set-up, sweep, trace, evaluation, store, the shared error
// queue, several clients, half-closed ones, idle ones, and a client of another user.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <filesystem>
#include <memory>
#include <string>

#include "remote/remote_server.h"
#include "support/child_process.h"
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

constexpr int kLong = 60000;  // ms; only reached when something hangs

uint16_t freePort() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    return probe.serverPort();
}

// veka --remote PORT [--no-window] in the simulator's room; ready once it says it listens.
class Program {
  public:
    Program(const test::SimRoom& room, bool window) : port_(freePort()) {
        QStringList args{"--remote", QString::number(port_)};
        if (!window) args << "--no-window";
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
        ready_ = p_.waitForStarted(kLong) && waitFor("remote control listening on");
    }
    ~Program() {
        p_.terminate();
        if (!p_.waitForFinished(kLong)) p_.kill();
        p_.waitForFinished(kLong);
        // Under a sanitizer the program reports there, and goes on. Reports with no frame of
        // ours come from inside the uninstrumented Qt libraries (their thread pool).
        stderr_ += p_.readAllStandardError().toStdString();
        const bool report = stderr_.find("Sanitizer") != std::string::npos;
        EXPECT_FALSE(report && stderr_.find("veka::") != std::string::npos) << stderr_;
    }
    bool ready() const { return ready_; }
    // SIGTERM: the exit code of a normal end, -1 when the signal killed the program or it hangs.
    int sigterm() {
        p_.terminate();
        if (!p_.waitForFinished(kLong)) return -1;
        return p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1;
    }
    uint16_t port() const { return port_; }
    bool running() const { return p_.state() == QProcess::Running; }
    bool waitFor(const std::string& text) {
        while (stderr_.find(text) == std::string::npos) {
            if (!p_.waitForReadyRead(kLong) && p_.state() != QProcess::Running) return false;
            stderr_ += p_.readAllStandardError().toStdString();
        }
        return true;
    }
    const std::string& errorOutput() const { return stderr_; }

  private:
    uint16_t port_;
    QProcess p_;
    std::string stderr_;
    bool ready_ = false;
};

class Client {
  public:
    explicit Client(uint16_t port) {
        s_.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(s_.waitForConnected(kLong));
    }
    void send(const std::string& line) {
        s_.write(QByteArray::fromStdString(line + "\n"));
        s_.waitForBytesWritten(kLong);
    }
    std::string line() {
        while (!s_.canReadLine())
            if (!s_.waitForReadyRead(kLong)) return "<nothing>";
        return s_.readLine().trimmed().toStdString();
    }
    std::string ask(const std::string& l) {
        send(l);
        return line();
    }
    bool closedByPeer() {
        return s_.state() == QAbstractSocket::UnconnectedState || s_.waitForDisconnected(kLong);
    }

  private:
    QTcpSocket s_;
};

// A plain socket: sends its lines, ends its input (as `nc -N` does) and reads all it gets.
std::string halfClosed(uint16_t port, const std::string& lines) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string got;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return "<connect failed>";
    }
    // A server that refuses the peer may close before all is sent: what counts is the answer.
    (void)::send(fd, lines.data(), lines.size(), MSG_NOSIGNAL);
    (void)::shutdown(fd, SHUT_WR);
    char buffer[4096];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) got.append(buffer, n);
    ::close(fd);
    return got;
}

constexpr char kNoError[] = "0,\"No error\"";

class RemoteProgram : public ::testing::TestWithParam<bool> {};

TEST_P(RemoteProgram, SweepTraceEvaluationAndStore) {
    const vekasim::Options o = test::bandpass();
    test::SimRoom room(o);
    Program veka(room, GetParam());
    ASSERT_TRUE(veka.ready()) << veka.errorOutput();
    Client k(veka.port());
    EXPECT_EQ(k.ask("*IDN?"), std::string("veka,network tester front end V7.3,0,") + VEKA_VERSION);
    k.send("*RST;:FREQ:STAR 10.04 MHZ;STEP 2kHz;:SWE:POIN 100;:DET LOG");
    EXPECT_EQ(k.ask("FREQ:STAR?;STEP?;:SWE:POIN?;:SENS:MODE?"), "10040000;2000;100;TRAN");
    const size_t before = room.sim->exchangeCount();
    // Poll for completion as scripts do: *OPC, then *ESR? until the bit shows.
    k.send("INIT;*OPC");
    while ((std::stoi(k.ask("*ESR?")) & 1) == 0) {
    }
    // One complete sweep, then the source parked on the start frequency.
    const auto ex = room.sim->exchanges();
    ASSERT_EQ(ex.size() - before, 101u);
    EXPECT_NEAR(ex.back().frequencyHz, 10040000, 1);
    std::string values, frequencies;
    for (size_t i = 1; i <= 100; ++i) {
        const char* comma = i > 1 ? "," : "";
        // Built with += throughout: GCC 12 at -O3 falsely warns (-Wrestrict) about
        // "literal" + temporary.
        (values += comma) +=
            std::to_string(test::anzeigewert(o, ex[before + i - 1], Korrfaktorpaar{}));
        (frequencies += comma) += std::to_string(10040000 + (i - 1) * 2000);
    }
    EXPECT_EQ(k.ask("TRAC:DATA?"), values);
    EXPECT_EQ(k.ask("TRAC:FREQ?"), frequencies);
    // The band-pass centre lies inside the bandwidth the evaluation reports.
    const std::string band = k.ask("CALC:BAND?");
    const int64_t lower = std::stoll(band);
    const int64_t upper = std::stoll(band.substr(band.find(',') + 1));
    EXPECT_LT(lower, 10140000) << band;
    EXPECT_GT(upper, 10140000) << band;
    EXPECT_EQ(k.ask("CALC:MAX?").substr(0, 4), "1012");
    k.send("MMEM:STOR:TRAC \"trace.csv\";:MMEM:STOR:CONF \"trace.cfg\"");
    EXPECT_EQ(k.ask("SYST:ERR?"), kNoError);
    const std::string csv = test::fileContents((room.dir.path() / "trace.csv").string());
    EXPECT_NE(csv.find("10040000,"), std::string::npos);
    EXPECT_NE(csv.find("10238000,"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(room.dir.path() / "trace.cfg"));
    EXPECT_TRUE(veka.running());
}

TEST_P(RemoteProgram, ErrorQueueAndBadInput) {
    test::SimRoom room;
    Program veka(room, GetParam());
    ASSERT_TRUE(veka.ready()) << veka.errorOutput();
    Client k(veka.port());
    const struct {
        std::string line;
        const char* error;
    } cases[] = {
        {"FREQ:BOGUS 5", "-113,\"Undefined header\""},
        {std::string(5000, 'A'), "-223,\"Too much data\""},
        {std::string("\x00\xff\x01\x02", 4), "-101,\"Invalid character\""},
        {"MMEM:STOR:CONF \"/tmp/x.cfg\"", "-257,\"File name error;outside the working folder\""},
        {"SOUR:ATT 25", "-222,\"Data out of range\""},
    };
    for (const auto& c : cases) {
        k.send(c.line);
        EXPECT_EQ(k.ask("SYST:ERR?"), c.error) << c.line.substr(0, 20);
        EXPECT_EQ(k.ask("SYST:ERR?"), kNoError) << c.line.substr(0, 20);
    }
    // A command the window locks out during a sweep is refused while one runs.
    k.send("SWE:POIN 30;:INIT:CONT ON");
    k.send("FREQ:STAR 7000000");
    EXPECT_EQ(k.ask("SYST:ERR?"), "-221,\"Settings conflict\"");
    EXPECT_EQ(k.ask("SOUR:ATT 10;ATT?"), "10");  // the attenuator is not locked out
    EXPECT_EQ(k.ask("INIT:CONT OFF;*OPC?"), "1");
    EXPECT_EQ(k.ask("FREQ:STAR 7000000;STAR?"), "7000000");
    EXPECT_EQ(k.ask("SYST:ERR?"), kNoError);
    EXPECT_TRUE(veka.running());
}

// Several clients at once, one error queue for all, half-closed clients answered, idle ones
// giving way, and a client leaving while its *OPC? waits.
TEST_P(RemoteProgram, SessionsOfOrdinaryScripts) {
    test::SimRoom room;
    Program veka(room, GetParam());
    ASSERT_TRUE(veka.ready()) << veka.errorOutput();
    std::vector<std::unique_ptr<Client>> idle;
    for (size_t i = 0; i < RemoteServer::MaxClients; ++i)
        idle.push_back(std::make_unique<Client>(veka.port()));
    // All slots taken by clients with nothing to do: the newcomer is still served, and the
    // client idle longest gives way.
    Client late(veka.port());
    EXPECT_EQ(late.ask("SWE:POIN 200;POIN?"), "200");
    EXPECT_TRUE(idle.front()->closedByPeer());
    // An error of one connection is there for the next: one queue for the instrument. A
    // half-closed client gets its answers, its last line ended by the end of its input.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(halfClosed(veka.port(), "FREQ:BOGUS\n"), "");
        EXPECT_EQ(halfClosed(veka.port(), "*IDN?\nSYST:ERR?"),
                  std::string("veka,network tester front end V7.3,0,") + VEKA_VERSION +
                      "\n-113,\"Undefined header\"\n");
    }
    // Gone while a single sweep runs and its *OPC? is still unanswered; the others go on.
    idle[5]->send("INIT;*OPC?");
    idle[5].reset();
    EXPECT_EQ(late.ask("*OPC?;:INIT:CONT?"), "1;0");
    EXPECT_EQ(idle[6]->ask("SWE:POIN?;:SYST:ERR?"), std::string("200;") + kNoError);
    EXPECT_TRUE(veka.running());
}

TEST_P(RemoteProgram, AFloodOfCommandsIsAnsweredInOrder) {
    test::SimRoom room;
    Program veka(room, GetParam());
    ASSERT_TRUE(veka.ready()) << veka.errorOutput();
    Client k(veka.port());
    std::string flood;
    constexpr int kCount = 5000;
    for (int i = 0; i < kCount; ++i)
        ((flood += "SWE:POIN ") += std::to_string(i % 300 + 1)) += ";POIN?\n";
    k.send(flood.substr(0, flood.size() - 1));
    int right = 0;
    for (int i = 0; i < kCount; ++i)
        if (k.line() == std::to_string(i % 300 + 1)) ++right;
    EXPECT_EQ(right, kCount);
    EXPECT_EQ(k.ask("SYST:ERR?"), kNoError);
}

TEST_P(RemoteProgram, SigtermDuringSweepsEndsTheProgramNormally) {
    test::SimRoom room;
    Program veka(room, GetParam());
    ASSERT_TRUE(veka.ready()) << veka.errorOutput();
    Client k(veka.port());
    EXPECT_EQ(k.ask("INIT:CONT ON;:INIT:CONT?"), "1");
    EXPECT_EQ(veka.sigterm(), 0);
}

INSTANTIATE_TEST_SUITE_P(WithoutAndWithWindow, RemoteProgram, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Window" : "Headless"; });

// Another user's connection is closed before a byte of it runs. As root the program runs as
// root and the client as nobody; as an ordinary user there is no other uid to become.
TEST(RemoteProgramAccess, AnotherUsersConnectionRunsNothing) {
    if (!test::runningAsRoot()) GTEST_SKIP() << "needs root to connect as another user";
    test::SimRoom room;
    Program veka(room, false);
    ASSERT_TRUE(veka.ready()) << veka.errorOutput();
    const uint16_t port = veka.port();
    const std::string report = test::inChild({}, [port] {
        const std::string got =
            halfClosed(port, "FREQ:STAR 7000000\nMMEM:STOR:CONF \"foreign.cfg\"\n*IDN?\n");
        return got.empty() ? std::string() : std::string("answered: ") += got;
    });
    EXPECT_EQ(report, "");
    EXPECT_TRUE(veka.waitFor("refused a connection of another user (uid 65534)"));
    Client k(port);
    EXPECT_EQ(k.ask("FREQ:STAR?;:SYST:ERR?"), std::string("10000000;") + kNoError);
    EXPECT_FALSE(std::filesystem::exists(room.dir.path() / "foreign.cfg"));
}

TEST(RemoteProgramDevice, ListensBeforeTheDeviceIsTried) {
    vekasim::Options o;
    o.silent = true;
    test::SimRoom room(o);
    Program veka(room, false);
    ASSERT_TRUE(veka.ready()) << veka.errorOutput();
    EXPECT_EQ(veka.errorOutput().find("Datenübertragungsfehler"), std::string::npos)
        << "listening only after the time-out";
    Client k(veka.port());
    EXPECT_EQ(k.ask("SYST:ERR?"), "-240,\"Hardware error;no reply from the device\"");
    EXPECT_EQ(k.ask("SYST:ERR?"), kNoError);
    EXPECT_EQ(k.ask("SENS:MODE?;:SYST:DEV:DEMO?"), "RAW;1");
}

TEST(RemoteProgramAddress, AnAddressThatIsNoIpAddressIsAUsageError) {
    test::WorkDir dir;
    QProcess p;
    p.start(VEKA_PROGRAM, {"--remote", "not-an-address:5025", "--no-window"});
    ASSERT_TRUE(p.waitForFinished(kLong));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_NE(p.readAllStandardError().indexOf("not-an-address"), -1);
    EXPECT_FALSE(std::filesystem::exists("vekami.cfg")) << "it ends before the start-up";
}

}  // namespace
}  // namespace veka
