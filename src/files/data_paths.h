// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the language and help files are read from. The working folder comes first, as it
// always did; an installed program falls back to the copies installed with it, so that a
// fresh working folder does not turn every caption into "ERROR".

#include <filesystem>
#include <string>

namespace veka {

// The folder of the running program; empty when it cannot be found out.
std::filesystem::path programDir();

// The data folder of a program installed in programFolder (<prefix>/bin -> <prefix>/share/veka);
// empty for an empty programFolder.
std::filesystem::path installedDataDir(const std::filesystem::path& programFolder);

// The path to open for a data file: name itself when it exists (a relative name counts from
// the working folder) or when it is absolute; else the file of that name in dataDir when that
// exists; else name unchanged, so that opening fails as it would have.
std::string dataFile(const std::string& name, const std::filesystem::path& dataDir);

// The same with the data folder of the running program.
std::string dataFile(const std::string& name);

}  // namespace veka
