// SPDX-License-Identifier: GPL-3.0-or-later
// Device states from real open attempts, the reasons shown for them, the port list and the
// order in which a port number is resolved to a device.
#include "link/port_names.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "link/serial_port.h"
#include "link/tty_drivers.h"
#include "link/uucp_lock.h"
#include "support/child_process.h"
#include "support/pty_device.h"
#include "support/work_dir.h"

namespace veka {
namespace {

namespace fs = std::filesystem;

using Pty = test::PtyDevice;

struct StateCase {
    const char* what;
    std::function<std::string()> prepare;  // makes the thing and gives its path
    PortState state;
};

TEST(PortState, FromARealOpenAttempt) {
    test::WorkDir dir;
    Pty pty;
    ASSERT_FALSE(pty.path().empty());
    const StateCase cases[] = {
        {"empty name", [] { return std::string(); }, PortState::NotPresent},
        {"missing", [] { return std::string("/nonexistent/ttyUSB9"); }, PortState::NotPresent},
        {"dangling link",
         [] {
             fs::create_symlink("/nonexistent/ttyUSB9", "COM5");
             return std::string("COM5");
         },
         PortState::NotPresent},
        {"regular file",
         [] {
             std::ofstream("notes") << "x";
             return std::string("notes");
         },
         PortState::NotSerial},
        {"folder", [] { return std::string("/tmp"); }, PortState::NotSerial},
        {"character device, no terminal", [] { return std::string("/dev/null"); },
         PortState::NotSerial},
        // Terminals that are no serial line: never opened (a pseudo-terminal master would be).
        {"pseudo-terminal master", [] { return std::string("/dev/ptmx"); }, PortState::NotSerial},
        {"endless device", [] { return std::string("/dev/zero"); }, PortState::NotSerial},
        {"terminal", [&pty] { return pty.path(); }, PortState::Usable},
        {"link to a terminal",
         [&pty] {
             fs::create_symlink(pty.path(), "COM2");
             return std::string("COM2");
         },
         PortState::Usable},
    };
    for (const auto& c : cases) {
        const std::string path = c.prepare();
        EXPECT_EQ(probePort(path).state, c.state) << c.what;
        PortProbe why;
        const int fd = openSerialDevice(path, true, why);
        EXPECT_EQ(why.state, c.state) << c.what;
        EXPECT_EQ(fd >= 0, c.state == PortState::Usable) << c.what;
        if (fd >= 0) {
            ::ioctl(fd, TIOCNXCL);  // the claim outlives the descriptor otherwise
            ::close(fd);
        }
    }
    EXPECT_EQ(test::fileContents("notes"), "x");  // never written
}

TEST(PortState, SerialLinesAsTheKernelNamesThem) {
    const char* table =
        "/dev/tty             /dev/tty        5       0 system:/dev/tty\n"
        "/dev/ptmx            /dev/ptmx       5       2 system\n"
        "serial               /dev/ttyS       4   64-67 serial\n"
        "usb serial           /dev/ttyUSB   188   0-511 serial\n"
        "pty_slave            /dev/pts      136 0-1048575 pty:slave\n"
        "pty_master           /dev/ptm      128 0-1048575 pty:master\n"
        "unknown              /dev/tty        4    1-63 console\n";
    const struct {
        unsigned major, minor;
        bool serial;
    } cases[] = {{4, 64, true},    {4, 67, true},   {4, 68, false}, {4, 1, false}, {188, 3, true},
                 {136, 300, true}, {128, 0, false}, {5, 0, false},  {5, 2, false}, {1, 5, false}};
    for (const auto& c : cases)
        EXPECT_EQ(isSerialLine(table, c.major, c.minor), c.serial) << c.major << ":" << c.minor;
}

// A UUCP lock file of a live process makes a line busy for everyone; a stale one, or one that
// names no process, counts for nothing. An open port holds a lock of its own.
TEST(PortState, UucpLockFiles) {
    Pty pty;
    const std::string lockFile = "/run/lock/" + lockFileName(pty.path());
    if (::access("/run/lock", W_OK) != 0) GTEST_SKIP() << "/run/lock is not writable";
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const int32_t init = 1;
    const struct {
        std::string content;
        PortState state;
    } cases[] = {
        {"         1\n", PortState::Busy},
        {std::string(reinterpret_cast<const char*>(&init), 4), PortState::Busy},
        {std::to_string(gone) + "\n", PortState::Usable},
        {"garbage", PortState::Usable},
        {std::to_string(::getpid()) + "\n", PortState::Usable},
    };
    for (const auto& c : cases) {
        { std::ofstream(lockFile, std::ios::binary) << c.content; }
        EXPECT_EQ(probePort(pty.path()).state, c.state) << c.content;
        ::unlink(lockFile.c_str());
    }
    { std::ofstream(lockFile) << gone << "\n"; }
    SerialPort port;
    ASSERT_TRUE(port.open(pty.path()));  // the stale lock is replaced by ours
    char ours[16];
    std::snprintf(ours, sizeof ours, "%10d\n", static_cast<int>(::getpid()));
    EXPECT_EQ(test::fileContents(lockFile), ours);
    port.close();
    EXPECT_FALSE(fs::exists(lockFile));
}

TEST(PortState, ClaimedLineIsBusyEvenForRoot) {
    Pty pty;
    SerialPort first;
    ASSERT_TRUE(first.open(pty.path()));
    EXPECT_EQ(probePort(pty.path()).state, PortState::Busy);
    SerialPort second;
    EXPECT_FALSE(second.open(pty.path()));
    EXPECT_EQ(second.failure().state, PortState::Busy);
    first.close();
    EXPECT_EQ(probePort(pty.path()).state, PortState::Usable);
    EXPECT_TRUE(second.open(pty.path()));
    EXPECT_EQ(second.failure().state, PortState::Usable);
}

// The state an ordinary user gets (as nobody when the tests run as root).
PortState stateAsNormalUser(const std::string& path) {
    const std::string seen = test::inChild({}, [&path] {
        return std::string(1, static_cast<char>('0' + static_cast<int>(probePort(path).state)));
    });
    EXPECT_EQ(seen.size(), 1u) << seen;
    return static_cast<PortState>(seen.empty() ? 0 : seen[0] - '0');
}

// The group of a node that its group may use, as an ordinary user sees it.
std::string groupAsNormalUser(const std::string& path) {
    return test::inChild({}, [&path] { return probePort(path).group; });
}

TEST(PortState, PermissionHintNamesAGroupThatMayUseTheNode) {
    Pty pty;
    ASSERT_TRUE(pty.forbidNormalUsers());
    EXPECT_EQ(groupAsNormalUser(pty.path()), "");  // no group may use it: the usual advice
    if (::geteuid() != 0) GTEST_SKIP() << "giving a node to another group needs root";
    const group* tty = ::getgrnam("tty");
    ASSERT_NE(tty, nullptr);
    ASSERT_EQ(::chown(pty.path().c_str(), 0, tty->gr_gid), 0);
    ASSERT_EQ(::chmod(pty.path().c_str(), 0660), 0);
    EXPECT_EQ(groupAsNormalUser(pty.path()), "tty");
}

TEST(PortState, DeviceTheUserMayNotOpenIsPermissionDenied) {
    Pty pty;
    ASSERT_FALSE(pty.path().empty());
    ASSERT_TRUE(pty.forbidNormalUsers());
    EXPECT_EQ(stateAsNormalUser(pty.path()), PortState::PermissionDenied);
    ASSERT_TRUE(pty.allowEveryone());
    EXPECT_EQ(stateAsNormalUser(pty.path()), PortState::Usable);
}

TEST(PortState, ReasonsSayWhatToDo) {
    const struct {
        PortProbe probe;
        const char* text;
    } cases[] = {
        {{PortState::Usable, ""}, "usable"},
        {{PortState::PermissionDenied, "dialout"},
         "permission denied \u2014 add your user to the group 'dialout' and log in again"},
        {{PortState::PermissionDenied, "uucp"},
         "permission denied \u2014 add your user to the group 'uucp' and log in again"},
        // A node only root's group may use: the usual serial group is the advice.
        {{PortState::PermissionDenied, "root"}, "group 'dialout'"},
        {{PortState::PermissionDenied, ""}, "group 'dialout'"},
        {{PortState::Busy, ""}, "in use by another program"},
        {{PortState::NotPresent, ""}, "not present"},
        {{PortState::NotSerial, ""}, "not a serial device"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(stateReason(c.probe).find(c.text), std::string::npos) << c.text;
        EXPECT_EQ(openFailureText("/dev/ttyUSB0", c.probe),
                  "/dev/ttyUSB0: " + stateReason(c.probe));
    }
    EXPECT_EQ(stateWord(PortState::PermissionDenied), "permission denied");
    EXPECT_EQ(stateWord(PortState::Busy), "busy");
}

TEST(PortList, ComLinksInTheFolderWithTheirState) {
    test::WorkDir dir;
    Pty pty;
    fs::create_symlink(pty.path(), "COM2");
    fs::create_symlink("/nonexistent/tty", "COM4");
    std::ofstream("COM6") << "not a device";
    for (const char* other : {"COM10", "COMX", "COM0", "com3"})
        fs::create_symlink(pty.path(), other);
    const std::vector<FoundPort> ports = listPorts(".");
    std::vector<std::string> com;
    for (const auto& p : ports)
        if (p.path.starts_with("./")) com.push_back(portLine(p));
    EXPECT_EQ(com,
              (std::vector<std::string>{"./COM2 -> " + pty.path() + ": usable",
                                        "./COM4: not present", "./COM6: not a serial device"}));
    // Devices of the machine come first; ttyS only with a UART or terminal behind it.
    for (const auto& p : ports) {
        if (p.path.starts_with("./")) break;
        EXPECT_TRUE(p.path.starts_with("/dev/")) << p.path;
    }
    EXPECT_EQ(portListText({{"/dev/ttyUSB0", "", PortState::Busy}}), "/dev/ttyUSB0: busy\n");
}

TEST(PortPaths, ResolutionOrder) {
    test::WorkDir dir;
    PortPaths paths;
    EXPECT_EQ(paths.resolve(2), "/dev/ttyS1");
    EXPECT_EQ(paths.resolve(12), "");
    fs::create_symlink("/nonexistent/x", "COM2");
    EXPECT_EQ(paths.resolve(2), "COM2");  // the link in the working folder, even dangling
    paths.setChoice(2, "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(paths.resolve(2), "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(paths.choice(2), "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(paths.resolve(3), "/dev/ttyS2");
    paths.setChoice(2, "");
    EXPECT_EQ(paths.resolve(2), "COM2");
    paths.setChoice(0, "/dev/x");
    paths.setChoice(10, "/dev/x");
    EXPECT_EQ(paths.choice(0), "");
    EXPECT_EQ(paths.choice(10), "");
}

TEST(PortPaths, RunDeviceStandsForTheConfiguredNumber) {
    test::WorkDir dir;
    PortPaths paths;
    paths.setChoice(2, "/dev/ttyUSB0");
    paths.setRunDevice("/elsewhere/COM2");
    EXPECT_EQ(paths.resolve(2), "/elsewhere/COM2");  // binds to 2
    EXPECT_EQ(paths.resolve(2), "/elsewhere/COM2");
    EXPECT_EQ(paths.resolve(3), "/dev/ttyS2");
    // A device picked for that number now replaces it.
    paths.setChoice(2, "/dev/ttyACM0");
    EXPECT_EQ(paths.resolve(2), "/dev/ttyACM0");

    PortPaths outOfRange;
    outOfRange.setRunDevice("/dev/ttyUSB1");
    EXPECT_EQ(outOfRange.resolve(12), "/dev/ttyUSB1");
    EXPECT_EQ(outOfRange.resolve(2), "/dev/ttyS1");
}

}  // namespace
}  // namespace veka
