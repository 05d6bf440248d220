// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A pseudo-terminal standing in for a serial adapter: the slave end is the device node. Its
// owner and mode can be set like those of a real node, e.g. root's alone.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace veka::test {

class PtyDevice {
  public:
    PtyDevice() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            path_ = ::ptsname(master_);
    }
    ~PtyDevice() {
        if (master_ >= 0) ::close(master_);
    }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    const std::string& path() const { return path_; }
    // A node a normal user may not open: root's with mode 0600 when we are root, else ours
    // with no permission at all. False when that cannot be arranged.
    bool forbidNormalUsers() const {
        if (path_.empty()) return false;
        if (::geteuid() == 0)
            return ::chown(path_.c_str(), 0, 0) == 0 && ::chmod(path_.c_str(), 0600) == 0;
        return ::chmod(path_.c_str(), 0) == 0;
    }
    bool allowEveryone() const { return ::chmod(path_.c_str(), 0666) == 0; }

  private:
    int master_ = -1;
    std::string path_;
};

}  // namespace veka::test
