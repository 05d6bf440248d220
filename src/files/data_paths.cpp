// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/data_paths.h"

#ifndef VEKA_DATA_FROM_BIN
#define VEKA_DATA_FROM_BIN "../share/veka"
#endif

namespace veka {

namespace fs = std::filesystem;

fs::path programDir() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path();
}

fs::path installedDataDir(const fs::path& programFolder) {
    if (programFolder.empty()) return {};
    return (programFolder / VEKA_DATA_FROM_BIN).lexically_normal();
}

std::string dataFile(const std::string& name, const fs::path& dataDir) {
    const fs::path wanted(name);
    std::error_code error;
    // A name that cannot be examined (no search right) stays the working folder's.
    if (wanted.is_absolute() || dataDir.empty() || fs::exists(wanted, error) || error) return name;
    const fs::path installed = dataDir / wanted.filename();
    return fs::exists(installed, error) ? installed.string() : name;
}

std::string dataFile(const std::string& name) {
    return dataFile(name, installedDataDir(programDir()));
}

}  // namespace veka
