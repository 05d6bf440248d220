// SPDX-License-Identifier: GPL-3.0-or-later
// End to end over a real pseudo-terminal, the way the host program talks to the device.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sim/simulator.h"

namespace vekasim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

constexpr auto kPatience = 5000ms;  // generous: the suite also runs under ThreadSanitizer
constexpr uint8_t kMarker = 0x55;

struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "veka-sim-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

class HostPort {
  public:
    explicit HostPort(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~HostPort() { close(); }
    void close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    bool isOpen() const { return m_fd >= 0; }
    void setSpeed(speed_t speed) {
        termios t{};
        ASSERT_EQ(tcgetattr(m_fd, &t), 0);
        cfmakeraw(&t);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        ASSERT_EQ(tcsetattr(m_fd, TCSANOW, &t), 0);
    }
    void write(const Bytes& b) { ASSERT_EQ(::write(m_fd, b.data(), b.size()), ssize_t(b.size())); }
    // Reads until n bytes are in or the patience runs out.
    Bytes read(size_t n, std::chrono::milliseconds patience = kPatience) {
        Bytes got;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (got.size() < n) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{m_fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) break;
            if (!(p.revents & POLLIN)) break;
            uint8_t buf[256];
            const ssize_t r = ::read(m_fd, buf, std::min(sizeof buf, n - got.size()));
            if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (r <= 0) break;
            got.insert(got.end(), buf, buf + r);
        }
        return got;
    }
    bool waitForHangup() {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, int(kPatience.count())) <= 0) return false;
        return p.revents & POLLHUP;
    }

  private:
    int m_fd;
};

Bytes frame(uint32_t word, uint8_t control) {
    return {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24), control};
}

class PtyTest : public ::testing::Test {
  protected:
    Options options() const {
        Options o;
        o.dir = m_dir.path;
        o.dut = Dut::Through;
        return o;
    }
    Simulator& start(const Options& o) {
        m_sim = std::make_unique<Simulator>(o);
        std::string error;
        EXPECT_TRUE(m_sim->start(&error)) << error;
        return *m_sim;
    }
    // The marker goes out after everything the device has queued, so whatever comes before
    // it is exactly the reply: no guessing with timeouts.
    Bytes replyUpToMarker(HostPort& host, size_t expectedReplySize) {
        EXPECT_TRUE(m_sim->waitForExchanges(m_sim->exchangeCount(), kPatience));
        m_sim->sendRaw({kMarker});
        Bytes got = host.read(expectedReplySize + 1);
        EXPECT_FALSE(got.empty());
        if (!got.empty()) {
            EXPECT_EQ(got.back(), kMarker);
            got.pop_back();
        }
        return got;
    }
    Bytes exchange(HostPort& host, uint32_t word, uint8_t control, size_t replySize) {
        const size_t before = m_sim->exchangeCount();
        host.write(frame(word, control));
        EXPECT_TRUE(m_sim->waitForExchanges(before + 1, kPatience));
        return replyUpToMarker(host, replySize);
    }

    TempDir m_dir;
    std::unique_ptr<Simulator> m_sim;
};

TEST_F(PtyTest, LinkPointsAtTheSlaveAndGoesAwayOnStop) {
    Simulator& sim = start(options());
    EXPECT_EQ(sim.linkPath(), m_dir.path + "/COM2");
    EXPECT_EQ(std::filesystem::read_symlink(sim.linkPath()).string(), sim.slavePath());
    EXPECT_EQ(sim.slavePath().rfind("/dev/pts/", 0), 0u);
    sim.stop();
    EXPECT_FALSE(std::filesystem::is_symlink(m_dir.path + "/COM2"));
    EXPECT_TRUE(sim.finished());
}

TEST_F(PtyTest, ReplacesAStaleLinkButNeverARegularFile) {
    std::filesystem::create_symlink("/dev/pts/nonexistent", m_dir.path + "/COM2");
    Options o = options();
    Simulator& sim = start(o);
    EXPECT_EQ(std::filesystem::read_symlink(sim.linkPath()).string(), sim.slavePath());
    sim.stop();

    std::ofstream(m_dir.path + "/COM3") << "precious";
    o.port = 3;
    Simulator refused(o);
    std::string error;
    EXPECT_FALSE(refused.start(&error));
    EXPECT_NE(error.find("COM3"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_regular_file(m_dir.path + "/COM3"));
}

TEST_F(PtyTest, AnswersFromTheModelAndFollowsRuntimeChanges) {
    struct Step {
        Dut dut;
        std::optional<double> level;
        uint8_t control;
        Bytes reply;
    };
    const Step steps[] = {
        {Dut::Through, {}, 0x00, {210}},
        {Dut::Through, {}, 0x14, {190, 0x00}},
        {Dut::Through, -0.125, 0x04, {209, 0xC0}},
        {Dut::Through, -10, 0x01, {101}},
        {Dut::Open, {}, 0x00, {50}},
        {Dut::Open, {}, 0x54, {50, 0x00}},
    };
    Simulator& sim = start(options());
    HostPort host(sim.linkPath());
    ASSERT_TRUE(host.isOpen());
    for (const auto& s : steps) {
        sim.setDut(s.dut);
        sim.setLevelDb(s.level);
        EXPECT_EQ(exchange(host, 0x1A000D0A, s.control, s.reply.size()), s.reply)
            << "control " << int(s.control);
    }
    const auto log = sim.exchanges();
    ASSERT_EQ(log.size(), std::size(steps));
    EXPECT_EQ(log[1].word, 0x1A000D0Au);
    EXPECT_EQ(log[1].control, 0x14);
    EXPECT_EQ(log[1].frequencyHz, 10156328.0);  // 0x1A000D0A * 100 MHz / 2^32, rounded
}

TEST_F(PtyTest, FixedReplyBytesAreSentExactly) {
    Options o = options();
    o.replyBytes = {0x12, 0x34, 0x56};
    start(o);
    HostPort host(m_sim->linkPath());
    EXPECT_EQ(exchange(host, 1, 0x00, 3), o.replyBytes);
    EXPECT_EQ(exchange(host, 2, 0x04, 3), o.replyBytes);
}

TEST_F(PtyTest, FaultModesShapeTheReply) {
    struct Case {
        const char* name;
        void (*set)(Options&);
        uint8_t control;
        Bytes reply;
    };
    const Case cases[] = {
        {"silent", [](Options& o) { o.silent = true; }, 0x04, {}},
        {"short", [](Options& o) { o.shortReply = true; }, 0x04, {210}},
        {"short 8-bit", [](Options& o) { o.shortReply = true; }, 0x00, {210}},
        {"stray", [](Options& o) { o.strayBytes = 2; }, 0x00, {210, 0xEE, 0xEE}},
        {"stray 10-bit", [](Options& o) { o.strayBytes = 1; }, 0x04, {210, 0x00, 0xEE}},
    };
    for (const auto& c : cases) {
        Options o = options();
        c.set(o);
        start(o);
        HostPort host(m_sim->linkPath());
        EXPECT_EQ(exchange(host, 0x01020304, c.control, c.reply.size()), c.reply) << c.name;
        m_sim.reset();
    }
}

TEST_F(PtyTest, StaleBytesWaitInTheLineBeforeTheHostOpens) {
    Options o = options();
    o.staleBytes = 3;
    start(o);
    HostPort host(m_sim->linkPath());
    EXPECT_EQ(host.read(3), (Bytes{0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(exchange(host, 7, 0x00, 1), Bytes{210});
}

TEST_F(PtyTest, ReopeningThePortKeepsTheDevice) {
    start(options());
    for (int i = 0; i < 3; ++i) {
        HostPort host(m_sim->linkPath());
        ASSERT_TRUE(host.isOpen());
        EXPECT_EQ(exchange(host, uint32_t(i), 0x00, 1), Bytes{210}) << "open #" << i;
    }
}

TEST_F(PtyTest, FramesSplitInOddPieces) {
    start(options());
    HostPort host(m_sim->linkPath());
    Bytes stream;
    for (uint32_t w : {0x11223344u, 0x0A0D0A0Du, 0xFFFFFFFFu}) {
        const Bytes f = frame(w, 0x00);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    size_t at = 0;
    for (size_t piece : {1, 3, 2, 4, 5}) {
        host.write(Bytes(stream.begin() + long(at), stream.begin() + long(at + piece)));
        at += piece;
    }
    ASSERT_TRUE(m_sim->waitForExchanges(3, kPatience));
    EXPECT_EQ(replyUpToMarker(host, 3), (Bytes{210, 210, 210}));
    const auto log = m_sim->exchanges();
    EXPECT_EQ(log[0].word, 0x11223344u);
    EXPECT_EQ(log[1].word, 0x0A0D0A0Du);  // no CR/LF translation on the line
    EXPECT_EQ(log[2].word, 0xFFFFFFFFu);
}

TEST_F(PtyTest, SurvivesGarbage) {
    start(options());
    HostPort host(m_sim->linkPath());
    std::mt19937 random(42);
    Bytes garbage(1000);
    size_t expected = 0;
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = uint8_t(random());
        if (i % 5 == 4) expected += (garbage[i] & 0x04) ? 2 : 1;
    }
    host.write(garbage);
    ASSERT_TRUE(m_sim->waitForExchanges(200, kPatience));
    EXPECT_EQ(replyUpToMarker(host, expected).size(), expected);
    m_sim->setLevelDb(-10);
    EXPECT_EQ(exchange(host, 0, 0x00, 1), Bytes{190});
}

TEST_F(PtyTest, VanishAfterDropsTheLineAndTheLink) {
    Options o = options();
    o.vanishAfter = 2;
    start(o);
    HostPort host(m_sim->linkPath());
    EXPECT_EQ(exchange(host, 1, 0x00, 1), Bytes{210});
    host.write(frame(2, 0x00));
    EXPECT_EQ(host.read(1), Bytes{210});  // the last reply still arrives
    EXPECT_TRUE(host.waitForHangup());
    EXPECT_TRUE(m_sim->waitUntilFinished(kPatience));
    struct stat st {};
    EXPECT_NE(lstat((m_dir.path + "/COM2").c_str(), &st), 0);
    EXPECT_EQ(m_sim->exchangeCount(), 2u);
}

TEST_F(PtyTest, LogsEveryExchangeAndHonoursTheReplyDelay) {
    Options o = options();
    o.logFile = m_dir.path + "/sim.log";
    o.replyDelayMs = 40;
    o.clockOffsetHz = 1000;
    start(o);
    HostPort host(m_sim->linkPath());
    const auto sent = std::chrono::steady_clock::now();
    host.write(frame(0x1A000D0A, 0x14));
    EXPECT_EQ(host.read(2), (Bytes{190, 0x00}));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 40ms);  // never early

    m_sim->stop();
    std::ifstream in(o.logFile);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    // 0x1A000D0A * (100 MHz + 1 kHz) / 2^32 = 10156429.28
    EXPECT_EQ(line.rfind("exchange=1 word=1A000D0A control=14 freq=10156429 gap_us=", 0), 0u)
        << line;
    EXPECT_EQ(m_sim->exchanges().at(0).frequencyHz, 10156429.0);
}

// With line timing a character takes its time at the speed the host set: 10 bits at 1200
// bit/s are 8.33 ms, so five bytes out and the first reply byte take at least six of them,
// the second reply byte one more.
TEST_F(PtyTest, LineTimingGivesEveryByteItsTimeAtTheHostsSpeed) {
    Options o = options();
    o.lineTiming = true;
    o.levelDb = 0;
    start(o);
    HostPort host(m_sim->linkPath());
    ASSERT_TRUE(host.isOpen());
    for (const speed_t speed : {B1200, B2400}) {
        host.setSpeed(speed);
        const auto zeichen = speed == B1200 ? 8333us : 4166us;
        const auto sent = std::chrono::steady_clock::now();
        host.write(frame(0x1A000D0A, 0x04));  // 10-bit reading: two reply bytes
        EXPECT_EQ(host.read(1).size(), 1u);
        const auto erstes = std::chrono::steady_clock::now();
        EXPECT_EQ(host.read(1).size(), 1u);
        const auto zweites = std::chrono::steady_clock::now();
        EXPECT_GE(erstes - sent, 6 * zeichen);  // never early
        EXPECT_GE(zweites - sent, 7 * zeichen);
        EXPECT_GE(m_sim->exchanges().back().gapMicros, zeichen.count());
    }
}

// A hidden round trip lets a request count as sent before it was seen, but never before the
// reply to the one before was due: at 1200 bit/s the first reply comes well before six
// character times (50 ms), and ten exchanges back to back still take 60 character times
// but for the hidden 40 ms at most. The rest of a request is shifted like its start.
TEST_F(PtyTest, HiddenRoundTripNeverPutsTheHostAheadOfTheLine) {
    Options o = options();
    o.lineTiming = true;
    o.levelDb = 0;
    o.hiddenRoundTrip = 40ms;
    start(o);
    HostPort host(m_sim->linkPath());
    ASSERT_TRUE(host.isOpen());
    host.setSpeed(B1200);
    const auto zeichen = 8333us;
    const auto sent = std::chrono::steady_clock::now();
    host.write(frame(0x1A000D0A, 0x00));
    EXPECT_EQ(host.read(1).size(), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 6 * zeichen);
    const auto beginn = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i) {
        host.write(frame(0x1A000D0A, 0x00));
        ASSERT_EQ(host.read(1).size(), 1u);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - beginn, 60 * zeichen - 40ms);
    // A pause before the control byte keeps its length: 120 ms less the word's 4 characters
    // (116 ms), not less the hidden round trip too (76 ms). The threshold halfway leaves room
    // for a late wake-up of the simulator on a busy machine.
    host.setSpeed(B9600);
    const Bytes rahmen = frame(0x1A000D0A, 0x00);
    host.write(Bytes(rahmen.begin(), rahmen.begin() + 4));
    std::this_thread::sleep_for(120ms);
    host.write(Bytes(rahmen.begin() + 4, rahmen.end()));
    ASSERT_EQ(host.read(1).size(), 1u);
    EXPECT_GE(m_sim->exchanges().back().gapMicros, 96000);
}

// Without a value the round trip is measured at each new speed, when the host's first bytes
// at that speed arrive, and the log tells what was measured.
TEST_F(PtyTest, HiddenRoundTripIsMeasuredPerSpeedAndLogged) {
    Options o = options();
    o.lineTiming = true;
    o.hiddenRoundTrip = -1us;
    o.logFile = m_dir.path + "/sim.log";
    start(o);
    HostPort host(m_sim->linkPath());
    for (const speed_t speed : {B57600, B57600, B19200}) {
        host.setSpeed(speed);
        host.write(frame(0x1A000D0A, 0x00));
        ASSERT_EQ(host.read(1).size(), 1u);
    }
    m_sim->stop();
    std::ifstream in(o.logFile);
    std::vector<std::string> zeilen;
    for (std::string z; std::getline(in, z);) {
        if (z.starts_with("round_trip")) {
            EXPECT_GT(std::atol(z.c_str() + z.find("us=") + 3), 0) << z;
        }
        zeilen.push_back(z.substr(0, z.find(' ', z.find(' ') + 1)));  // the first two fields
    }
    EXPECT_EQ(zeilen, (std::vector<std::string>{"round_trip baud=57600", "exchange=1 word=1A000D0A",
                                                "exchange=2 word=1A000D0A", "round_trip baud=19200",
                                                "exchange=3 word=1A000D0A"}));
}

}  // namespace
}  // namespace vekasim
