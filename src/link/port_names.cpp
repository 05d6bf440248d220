// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_names.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "link/serial_port.h"
#include "link/tty_drivers.h"
#include "link/uucp_lock.h"

namespace veka {

namespace fs = std::filesystem;

namespace {

std::string groupName(gid_t gid) {
    group g{};
    group* found = nullptr;
    std::array<char, 4096> buffer{};
    if (::getgrgid_r(gid, &g, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return {};
    return g.gr_name;
}

PortProbe failed(PortState state, const struct stat& st) {
    PortProbe p;
    p.state = state;
    // Joining the node's group helps only when that group may read and write it.
    const bool groupMayUse = (st.st_mode & S_IRGRP) != 0 && (st.st_mode & S_IWGRP) != 0;
    if (state == PortState::PermissionDenied && groupMayUse) p.group = groupName(st.st_gid);
    return p;
}

PortState stateOfErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return PortState::PermissionDenied;
        case EBUSY:
            return PortState::Busy;
        case ENOTTY:
            return PortState::NotSerial;
        default:  // ENOENT, ENXIO, ENODEV, EIO: no such device or no hardware behind the node
            return PortState::NotPresent;
    }
}

// Closes a descriptor on every way out.
struct Descriptor {
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    const int fd;
};

// Claimed by another program with TIOCEXCL (root may open such a line all the same).
bool claimedByOther(int fd) {
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

}  // namespace

std::string stateWord(PortState state) {
    switch (state) {
        case PortState::Usable:
            return "usable";
        case PortState::PermissionDenied:
            return "permission denied";
        case PortState::Busy:
            return "busy";
        case PortState::NotPresent:
            return "not present";
        case PortState::NotSerial:
            return "not a serial device";
    }
    return {};
}

std::string stateReason(const PortProbe& probe) {
    switch (probe.state) {
        case PortState::PermissionDenied: {
            const std::string group =
                probe.group.empty() || probe.group == "root" ? std::string("dialout") : probe.group;
            return "permission denied \u2014 add your user to the group '" + group +
                   "' and log in again";
        }
        case PortState::Busy:
            return "in use by another program";
        default:
            return stateWord(probe.state);
    }
}

std::string openFailureText(const std::string& what, const PortProbe& probe) {
    return what + ": " + stateReason(probe);
}

void reportOpenFailure(int32_t comport, const std::string& path, const PortProbe& probe) {
    const std::string what = path.empty() ? "COM " + std::to_string(comport) : path;
    std::fprintf(stderr, "veka: %s\n", openFailureText(what, probe).c_str());
}

int openSerialDevice(const std::string& path, bool exclusive, PortProbe& why) {
    why = PortProbe{};
    if (path.empty()) return -1;
    // A handle that opens nothing yet: what the node is, is asked before the device is touched.
    const Descriptor node(::open(path.c_str(), O_PATH | O_CLOEXEC));
    struct stat st {};
    if (node.fd < 0 || ::fstat(node.fd, &st) != 0) {
        why = failed(stateOfErrno(errno), st);
        return -1;
    }
    // Only serial lines: a regular file or any other device that carries the name is never
    // opened, since opening a device may act.
    if (!S_ISCHR(st.st_mode) || !isSerialLine(st.st_rdev)) {
        why.state = PortState::NotSerial;
        return -1;
    }
    if (lockedByOther(node.fd)) {
        why.state = PortState::Busy;
        return -1;
    }
    // The very node examined, even if the name has been given to another file meanwhile.
    const std::string examined = "/proc/self/fd/" + std::to_string(node.fd);
    const int fd = ::open(examined.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = failed(stateOfErrno(errno), st);
        return -1;
    }
    PortState state = PortState::Usable;
    if (::isatty(fd) == 0)
        state = PortState::NotSerial;
    else if (claimedByOther(fd) || (exclusive && ::ioctl(fd, TIOCEXCL) != 0))
        state = PortState::Busy;
    if (state != PortState::Usable) {
        ::close(fd);
        why.state = state;
        return -1;
    }
    why.state = PortState::Usable;
    return fd;
}

PortProbe probePort(const std::string& path) {
    PortProbe why;
    const int fd = openSerialDevice(path, false, why);
    if (fd >= 0) ::close(fd);
    return why;
}

namespace {

// A ttyS node stands for a UART only when the kernel found one behind it.
bool uartPresent(const std::string& name) {
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int t = 0;
    return (type >> t) && t != 0;
}

std::vector<std::string> sortedDevices(const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        const std::string n = e.path().filename().string();
        if (n.starts_with(prefix) && n.size() > prefix.size()) names.push_back(n);
    }
    // ttyUSB2 before ttyUSB10.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

std::string canonicalPath(const fs::path& p) {
    std::error_code ec;
    const fs::path c = fs::canonical(p, ec);
    return ec ? std::string() : c.string();
}

void addLinks(const fs::path& dir, std::vector<FoundPort>& out, std::set<std::string>& seen,
              bool (*wanted)(const std::string&)) {
    std::error_code ec;
    std::vector<fs::path> links;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (wanted(e.path().filename().string())) links.push_back(e.path());
    std::sort(links.begin(), links.end());
    for (const auto& l : links) {
        const std::string target = canonicalPath(l);
        if (!target.empty()) seen.insert(target);
        std::error_code ec2;
        const bool link = fs::is_symlink(l, ec2);
        out.push_back({l.string(), link ? target : std::string(), probePort(l.string()).state});
    }
}

bool anyName(const std::string&) {
    return true;
}

bool comName(const std::string& n) {
    return n.size() == 4 && n.starts_with("COM") && n[3] >= '1' && n[3] <= '9';
}

}  // namespace

std::vector<FoundPort> listPorts(const std::string& folder) {
    std::vector<FoundPort> out;
    std::set<std::string> seen;
    addLinks("/dev/serial/by-id", out, seen, anyName);
    for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        for (const std::string& name : sortedDevices(prefix)) {
            const std::string path = "/dev/" + name;
            if (seen.count(path) != 0) continue;
            const PortState state = probePort(path).state;
            const bool answers = state == PortState::Usable || state == PortState::Busy;
            if (std::string_view(prefix) == "ttyS" && !answers && !uartPresent(name)) continue;
            out.push_back({path, {}, state});
        }
    }
    std::vector<FoundPort> com;
    addLinks(folder, com, seen, comName);
    for (auto& c : com) c.path = (fs::path(folder) / fs::path(c.path).filename()).string();
    out.insert(out.end(), com.begin(), com.end());
    return out;
}

std::string portLine(const FoundPort& port) {
    std::string line = port.path;
    if (!port.target.empty() && port.target != port.path) line += " -> " + port.target;
    return line + ": " + stateWord(port.state);
}

std::string portListText(const std::vector<FoundPort>& ports) {
    std::string text;
    for (const auto& p : ports) text += portLine(p) + "\n";
    return text;
}

void PortPaths::setChoice(int32_t comport, std::string device) {
    if (comport < 1 || comport > 9) return;
    choices_[static_cast<size_t>(comport)] = std::move(device);
    // Picking a device now replaces the one given for the run.
    if (comport == runPort_) runDevice_.clear();
}

std::string PortPaths::choice(int32_t comport) const {
    if (comport < 1 || comport > 9) return {};
    return choices_[static_cast<size_t>(comport)];
}

void PortPaths::setRunDevice(std::string device) {
    runDevice_ = std::move(device);
    runPort_.reset();
}

std::string PortPaths::resolve(int32_t comport) {
    if (!runDevice_.empty() && !runPort_) runPort_ = comport;
    if (!runDevice_.empty() && comport == runPort_) return runDevice_;
    if (const std::string c = choice(comport); !c.empty()) return c;
    return portPfad(comport);
}

}  // namespace veka
