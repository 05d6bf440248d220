#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

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
    return fd_ >= 0;
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

SerialPort::Wait SerialPort::waitReadable(int timeoutMs, int wakeFd) const {
    if (fd_ < 0) return Wait::Gone;
    pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};  // a negative fd is ignored
    const int r = ::poll(p, 2, timeoutMs);
    if (r > 0 && (p[1].revents & POLLIN) != 0) return Wait::Woken;
    if (r == 0 || (r < 0 && errno == EINTR)) return Wait::TimedOut;
    if (r < 0 || (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return Wait::Gone;
    return Wait::Readable;
}

}  // namespace veka
