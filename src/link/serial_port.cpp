// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace veka {

namespace {

speed_t speedFor(int32_t baudrate) {
    switch (wirksameBaudrate(baudrate)) {
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        default:
            return B9600;
    }
}

}  // namespace

std::string Portname(int32_t comport) {
    const auto code = static_cast<unsigned char>('1' + (static_cast<uint32_t>(comport) - 1u));
    return std::string("COM") + static_cast<char>(code);
}

std::string portPfad(int32_t comport) {
    if (comport < 1 || comport > 9) return {};
    const std::string name = Portname(comport);
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0) return name;
    return "/dev/ttyS" + std::to_string(comport - 1);
}

int32_t wirksameBaudrate(int32_t baudrate) {
    switch (baudrate) {
        case 9600:
        case 19200:
        case 38400:
        case 57600:
            return baudrate;
        default:
            return 9600;
    }
}

bool SerialPort::open(int32_t comport) {
    return open(portPfad(comport));
}

bool SerialPort::open(const std::string& path) {
    close();
    fd_ = openSerialDevice(path, true, failure_);
    if (fd_ < 0) return false;
    if (!lock_.take(fd_)) {  // another program locked it just now
        close();
        failure_ = PortProbe{PortState::Busy, {}};
        return false;
    }
    // Without an epoll set (no descriptors left) the waits fall back to poll.
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    epoll_event port{EPOLLIN | EPOLLET, {.fd = fd_}};
    if (epoll_ >= 0 && ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd_, &port) != 0) {
        ::close(epoll_);
        epoll_ = -1;
    }
    return true;
}

void SerialPort::configure(int32_t baudrate) {
    if (fd_ < 0) return;
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speedFor(baudrate));
    ::cfsetospeed(&tio, speedFor(baudrate));
    ::tcsetattr(fd_, TCSANOW, &tio);
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIC, &lines);  // fails harmlessly on a pseudo-terminal
}

void SerialPort::close() {
    if (fd_ < 0) return;
    // The exclusive flag belongs to the terminal, not to our descriptor: a pseudo-terminal
    // keeps it after we close, and only root could open it again.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    lock_.release();
    if (epoll_ >= 0) ::close(epoll_);
    epoll_ = -1;
    watched_ = -1;
}

size_t SerialPort::pending() const {
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
    return static_cast<size_t>(n);
}

size_t SerialPort::read(uint8_t* buffer, size_t n) {
    if (fd_ < 0 || n == 0) return 0;
    const ssize_t got = ::read(fd_, buffer, n);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

void SerialPort::write(const uint8_t* bytes, size_t n) {
    if (fd_ < 0) return;
    size_t done = 0;
    int rounds = 0;
    while (done < n && rounds++ < 50) {
        const ssize_t put = ::write(fd_, bytes + done, n - done);
        if (put > 0) {
            done += static_cast<size_t>(put);
        } else if (put < 0 && errno != EAGAIN && errno != EINTR) {
            return;  // the line is gone; the reply wait will time out
        } else {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 20);
        }
    }
}

bool SerialPort::watchWakeFd(int wakeFd) {
    if (wakeFd == watched_) return true;
    if (watched_ >= 0) ::epoll_ctl(epoll_, EPOLL_CTL_DEL, watched_, nullptr);
    watched_ = -1;
    epoll_event weck{EPOLLIN, {.fd = wakeFd}};
    if (wakeFd >= 0 && ::epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeFd, &weck) != 0) return false;
    watched_ = wakeFd;
    return true;
}

SerialPort::Wait SerialPort::waitReadable(int timeoutMs, int wakeFd) {
    if (fd_ < 0) return Wait::Gone;
    if (epoll_ < 0 || !watchWakeFd(wakeFd)) return pollReadable(timeoutMs, wakeFd);
    std::array<epoll_event, 2> ev{};
    const int r = ::epoll_wait(epoll_, ev.data(), static_cast<int>(ev.size()), timeoutMs);
    if (r == 0 || (r < 0 && errno == EINTR)) return Wait::TimedOut;
    if (r < 0) return Wait::Gone;
    uint32_t port = 0;
    for (int i = 0; i < r; ++i) {
        if (ev[static_cast<size_t>(i)].data.fd != fd_) return Wait::Woken;
        port = ev[static_cast<size_t>(i)].events;
    }
    return (port & (EPOLLHUP | EPOLLERR)) != 0 ? Wait::Gone : Wait::Readable;
}

SerialPort::Wait SerialPort::pollReadable(int timeoutMs, int wakeFd) const {
    pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};  // a negative fd is ignored
    const int r = ::poll(p, 2, timeoutMs);
    if (r > 0 && (p[1].revents & POLLIN) != 0) return Wait::Woken;
    if (r == 0 || (r < 0 && errno == EINTR)) return Wait::TimedOut;
    if (r < 0 || (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return Wait::Gone;
    return Wait::Readable;
}

}  // namespace veka
