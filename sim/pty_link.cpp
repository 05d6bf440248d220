// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_link.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

namespace vekasim {
namespace {

bool fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}

bool makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);  // no echo, no CR/LF translation: the tuning word is binary
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

std::string comLinkPath(const std::string& dir, int port) {
    std::string base = dir.empty() ? "." : dir;
    if (base.size() > 1 && base.back() == '/') base.pop_back();
    if (base != "/") base += '/';
    return base + "COM" + std::to_string(port);
}

std::chrono::nanoseconds handOverTime(int samples) {
    using Clock = std::chrono::steady_clock;
    PtyLink probe;
    if (!probe.open(nullptr)) return std::chrono::nanoseconds(0);
    auto kuerzeste = std::chrono::nanoseconds::max();
    for (int i = 0; i < samples; ++i) {
        const uint8_t byte = 0;
        const auto vorher = Clock::now();
        if (::write(probe.m_slave, &byte, 1) != 1) break;
        pollfd p{probe.m_master, POLLIN, 0};
        if (::poll(&p, 1, 1000) != 1) break;
        kuerzeste = std::min(
            kuerzeste, std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - vorher));
        uint8_t sink = 0;
        [[maybe_unused]] const ssize_t n = ::read(probe.m_master, &sink, 1);
    }
    return kuerzeste == std::chrono::nanoseconds::max() ? std::chrono::nanoseconds(0) : kuerzeste;
}

namespace {

// The device end of the round-trip probe: one byte back for every five that come in.
void answerFrames(int master, int count) {
    uint8_t frame[5];
    size_t got = 0;
    for (int answered = 0; answered < count;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 1000) != 1) return;
        const ssize_t n = ::read(master, frame + got, sizeof frame - got);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return;
        got += n > 0 ? static_cast<size_t>(n) : 0;
        if (got < sizeof frame) continue;
        got = 0;
        const uint8_t reply = 0x80;
        if (::write(master, &reply, 1) != 1) return;
        ++answered;
    }
}

}  // namespace

std::chrono::nanoseconds roundTripTime(int samples, std::chrono::microseconds pause) {
    using Clock = std::chrono::steady_clock;
    PtyLink probe;
    if (samples < 1 || !probe.open(nullptr)) return std::chrono::nanoseconds(0);
    std::thread device(answerFrames, probe.m_master, samples);
    std::vector<std::chrono::nanoseconds> times;
    const uint8_t frame[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < samples; ++i) {
        std::this_thread::sleep_for(pause);
        const auto vorher = Clock::now();
        if (::write(probe.m_slave, frame, sizeof frame) != sizeof frame) break;
        pollfd p{probe.m_slave, POLLIN, 0};
        uint8_t reply = 0;
        if (::poll(&p, 1, 1000) != 1 || ::read(probe.m_slave, &reply, 1) != 1) break;
        times.push_back(Clock::now() - vorher);
    }
    device.join();
    if (times.empty()) return std::chrono::nanoseconds(0);
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

PtyLink::~PtyLink() {
    close();
}

bool PtyLink::open(std::string* error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) return fail(error, "cannot create a pseudo-terminal");
    char name[PATH_MAX];
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        return fail(error, "cannot prepare the pseudo-terminal");
    }
    m_slavePath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) return fail(error, "cannot open " + m_slavePath);
    if (!makeRaw(m_slave)) return fail(error, "cannot set raw mode on " + m_slavePath);
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail(error, "cannot make the pseudo-terminal non-blocking");
    }
    return true;
}

bool PtyLink::createLink(const std::string& linkPath, std::string* error) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            if (error) *error = linkPath + " exists and is not a symbolic link; not replacing it";
            return false;
        }
        if (unlink(linkPath.c_str()) != 0) return fail(error, "cannot remove old " + linkPath);
    }
    if (symlink(m_slavePath.c_str(), linkPath.c_str()) != 0) {
        return fail(error, "cannot create link " + linkPath);
    }
    m_linkPath = linkPath;
    return true;
}

void PtyLink::removeLink() {
    if (m_linkPath.empty()) return;
    char target[PATH_MAX];
    const ssize_t n = readlink(m_linkPath.c_str(), target, sizeof target - 1);
    // Someone may have started another simulator on the same name meanwhile.
    if (n >= 0 && std::string(target, static_cast<size_t>(n)) == m_slavePath) {
        unlink(m_linkPath.c_str());
    }
    m_linkPath.clear();
}

int PtyLink::queuedForHost() const {
    int n = 0;
    if (m_slave < 0 || ioctl(m_slave, FIONREAD, &n) != 0) return 0;
    return n;
}

bool PtyLink::settings(termios& t) const {
    return m_slave >= 0 && tcgetattr(m_slave, &t) == 0;
}

void PtyLink::close() {
    removeLink();
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
    m_master = m_slave = -1;
}

}  // namespace vekasim
