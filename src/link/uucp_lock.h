// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UUCP lock files, the convention by which serial programs (minicom, picocom, gpsd, ...) keep
// off each other's lines: while a process uses /dev/<name>, the file LCK..<name> in the lock
// folder (/run/lock) holds its process id as ten ASCII characters and a newline; older
// programs wrote it as four binary bytes. A '/' in the name becomes '_' ("pts/3": LCK..pts_3).
// A lock whose process is gone, or that names none, is stale and counts for nothing.

#include <string>
#include <vector>

namespace veka {

// /run/lock and /var/lock.
std::vector<std::string> lockFolders();

// "LCK..ttyUSB0" for /dev/ttyUSB0; empty for a device outside /dev.
std::string lockFileName(const std::string& devicePath);

// Whether a live process other than this one holds a lock on the device open (as O_PATH or
// otherwise) on fd.
bool lockedByOther(int fd, const std::vector<std::string>& folders = lockFolders());

// This process's lock on a device, removed again when released or destroyed.
class UucpLock {
  public:
    UucpLock() = default;
    ~UucpLock() { release(); }
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    // Takes the lock on the device open on fd in the first lock folder that admits a new file;
    // a stale lock is replaced. False when a live process holds it. Without a writable lock
    // folder, or when this process holds it already, nothing is taken and the answer is true.
    bool take(int fd, const std::vector<std::string>& folders = lockFolders());
    // Removes the lock file, if it is ours.
    void release();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace veka
