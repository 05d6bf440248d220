// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/batch_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "app/batch.h"
#include "app/run_options.h"
#include "export/export_format.h"
#include "files/config_file.h"
#include "files/safe_file.h"

namespace veka {

namespace {

std::optional<Refusal> checkOutput(const std::string& path, bool summary) {
    const auto format = formatOfName(path);
    if (summary ? format != ExportFormat::Json : !format)
        return Refusal{kExitUsage, (summary ? "--summary " : "--out ") + path +
                                       (summary ? ": the name must end in .json"
                                                : ": the name must end in .csv, .png, .svg, "
                                                  ".pdf, .dat or .json")};
    std::error_code ec;
    const std::filesystem::path p(path);
    const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : ".";
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return Refusal{kExitOutput, path + ": no such folder: " + folder.string()};
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return Refusal{kExitOutput, path + ": cannot write in " + folder.string() + ": " +
                                        errorText(errno)};
    if (std::filesystem::is_directory(p, ec))
        return Refusal{kExitOutput, path + ": is a folder"};
    // The kernel's protected_symlinks rule, kept whether or not it is switched on.
    if (followsProtectedSymlink(path))
        return Refusal{kExitOutput, path + ": a symbolic link of another user in a shared folder"};
    return std::nullopt;
}

}  // namespace

std::optional<Refusal> checkOutputs(const ProgramOptions& opts) {
    for (const std::string& path : opts.outFiles)
        if (path != "-")
            if (auto r = checkOutput(path, false)) return r;
    if (opts.summaryFile)
        if (auto r = checkOutput(*opts.summaryFile, true)) return r;
    return std::nullopt;
}

std::optional<Refusal> checkPort(const ProgramOptions& opts) {
    Einstellungen e;  // a missing configuration is created with these
    konfigurationLaden(opts.configFile.value_or("vekami.cfg"), e);
    PortPaths paths = portPathsFor(opts);
    const std::string path = paths.resolve(e.Comport);
    PortProbe probe;
    if (!path.empty()) probe = probePort(path);
    if (!path.empty() && probe.state == PortState::Usable) return std::nullopt;
    const std::string what = path.empty() ? "COM " + std::to_string(e.Comport) : path;
    return Refusal{kExitNoDevice, openFailureText(what, probe)};
}

}  // namespace veka
