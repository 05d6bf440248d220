// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tty_drivers.h"

#include <sys/sysmacros.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace veka {

namespace {

bool servedType(const std::string& type) {
    return type == "serial" || type == "pty:slave";
}

// "64" or "64-67".
bool inRange(const std::string& range, unsigned minor) {
    unsigned first = 0, last = 0;
    char dash = 0;
    std::istringstream in(range);
    if (!(in >> first)) return false;
    last = first;
    if (in >> dash && (dash != '-' || !(in >> last))) return false;
    return minor >= first && minor <= last;
}

}  // namespace

bool isSerialLine(std::string_view driversTable, unsigned major, unsigned minor) {
    std::istringstream lines{std::string(driversTable)};
    for (std::string line; std::getline(lines, line);) {
        // Read from the end: a driver's name might hold a blank.
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string w; fields >> w;) f.push_back(w);
        if (f.size() < 5) continue;
        const std::string& type = f[f.size() - 1];
        const std::string& minors = f[f.size() - 2];
        const std::string& majorText = f[f.size() - 3];
        if (majorText == std::to_string(major) && inRange(minors, minor)) return servedType(type);
    }
    return false;
}

bool isSerialLine(dev_t device) {
    std::ifstream file("/proc/tty/drivers");
    std::ostringstream table;
    table << file.rdbuf();
    return file.is_open() && isSerialLine(table.str(), ::major(device), ::minor(device));
}

}  // namespace veka
