// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/serial_port.h"
#include "support/child_process.h"
#include "support/sim_room.h"

namespace veka {
namespace {

TEST(Portname, DigitRule) {
    EXPECT_EQ(Portname(1), "COM1");
    EXPECT_EQ(Portname(9), "COM9");
    EXPECT_EQ(Portname(10), "COM:");  // no port has this name
    EXPECT_EQ(portPfad(0), "");
    EXPECT_EQ(portPfad(12), "");
    EXPECT_EQ(portPfad(-3), "");
}

TEST(Portname, FallsBackToSystemDevice) {
    test::WorkDir dir;
    EXPECT_EQ(portPfad(3), "/dev/ttyS2");
    EXPECT_EQ(portPfad(1), "/dev/ttyS0");
}

TEST(Baudrate, OnlyTheFourRatesOfTheDevice) {
    for (int32_t b : {9600, 19200, 38400, 57600}) EXPECT_EQ(wirksameBaudrate(b), b);
    for (int32_t b : {4800, 0, -1, 115200, 9601}) EXPECT_EQ(wirksameBaudrate(b), 9600);
}

TEST(SerialPort, InvalidNumbersOpenNothing) {
    test::WorkDir dir;
    for (int32_t n : {0, 12, -1, INT32_MIN, INT32_MAX}) {
        SerialPort port;
        EXPECT_FALSE(port.open(n)) << n;
        EXPECT_EQ(port.pending(), 0u);
        EXPECT_EQ(port.waitReadable(0), SerialPort::Wait::Gone);
        port.write(reinterpret_cast<const uint8_t*>("x"), 1);  // without effect
    }
}

TEST(SerialPort, RegularFileWithThePortNameIsNeverOpened) {
    test::WorkDir dir;
    { std::ofstream("COM2") << "my notes"; }
    SerialPort port;
    EXPECT_FALSE(port.open(2));
    std::ifstream in("COM2");
    std::string inhalt((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(inhalt, "my notes");
}

TEST(SerialPort, LinksToMissingTargetsOrNonTerminalsAreNoPort) {
    test::WorkDir dir;
    std::filesystem::create_symlink("/nonexistent/ttyUSB7", "COM3");
    std::filesystem::create_symlink("/dev/null", "COM4");  // a character device, not a tty
    SerialPort port;
    EXPECT_FALSE(port.open(3));
    EXPECT_FALSE(port.open(4));
}

termios settingsAfter(const std::string& slave, int32_t baudrate) {
    SerialPort port;
    EXPECT_TRUE(port.open(3));
    port.configure(baudrate);
    // The port is exclusive while open; the settings stay with the terminal after closing,
    // since the simulator keeps its side open.
    port.close();
    termios tio{};
    const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(tcgetattr(fd, &tio), 0);
    ::close(fd);
    return tio;
}

TEST(SerialPort, ConfiguresLineSettings) {
    vekasim::Options o;
    o.port = 3;
    test::SimRoom room(o);
    termios tio = settingsAfter(room.sim->slavePath(), 38400);
    EXPECT_EQ(cfgetospeed(&tio), B38400);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(tio.c_lflag & (ECHO | ICANON), 0u);

    tio = settingsAfter(room.sim->slavePath(), 4800);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
}

// Opens port 2, closes it and opens it again; 0 when both opens worked.
int oeffnenSchliessenOeffnen() {
    SerialPort port;
    if (!port.open(2)) return 1;
    port.close();
    return port.open(2) ? 0 : 2;
}

// The exclusive open must not outlive the close: an ordinary user (root is never refused)
// reopens the port after "&Optionen". As root the open-close-open runs in a child that has
// dropped to nobody.
TEST(SerialPort, AnOrdinaryUserCanReopenAfterClosing) {
    test::SimRoom room;
    if (::geteuid() != 0) {
        EXPECT_EQ(oeffnenSchliessenOeffnen(), 0);
        return;
    }
    ASSERT_EQ(::chown(room.sim->slavePath().c_str(), test::kNobody, test::kNobody), 0);
    ASSERT_EQ(::chmod(room.dir.path().c_str(), 0755), 0);
    const std::string bericht = test::inChild({}, [] {
        ::alarm(20);  // a hang ends the child, and so the test
        const int fehler = oeffnenSchliessenOeffnen();
        return fehler == 0 ? std::string() : fehler == 1 ? "first open failed" : "reopen failed";
    });
    EXPECT_EQ(bericht, "");
}

}  // namespace
}  // namespace veka
