// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/data_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/ini_reader.h"
#include "files/temp_dir.h"
#include "support/work_dir.h"

namespace veka {
namespace {

namespace fs = std::filesystem;

TEST(DataPaths, InstalledDataDirIsShareBesideBin) {
    EXPECT_EQ(installedDataDir("/usr/bin"), fs::path("/usr/share/veka"));
    EXPECT_EQ(installedDataDir("/opt/x/bin/"), fs::path("/opt/x/share/veka"));
    EXPECT_TRUE(installedDataDir("").empty());
}

TEST(DataPaths, ProgramDirIsTheRunningProgramsFolder) {
    const fs::path dir = programDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(fs::exists(dir / "test_files")) << dir;
}

// Which file is opened, by what the working folder and the data folder hold.
struct LookupCase {
    const char* name;
    bool inWorkingFolder;
    bool inDataFolder;
    bool dataFolderKnown;
    enum { Working, Installed, Unchanged } expected;
};

class DataFileLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(DataFileLookup, PrefersTheWorkingFolder) {
    const LookupCase& c = GetParam();
    test::WorkDir work;
    test::TempDir installed;
    const std::string base = fs::path(c.name).filename().string();
    if (c.inWorkingFolder) test::writeBytes(base, "work");
    if (c.inDataFolder) test::writeBytes(installed.file(base), "installed");
    const fs::path dataDir = c.dataFolderKnown ? installed.path() : fs::path();

    const std::string chosen = dataFile(c.name, dataDir);
    switch (c.expected) {
        case LookupCase::Working:
            EXPECT_EQ(chosen, c.name);
            EXPECT_EQ(test::fileContents(chosen), "work");
            break;
        case LookupCase::Installed:
            EXPECT_EQ(fs::path(chosen), installed.path() / base);
            EXPECT_EQ(test::fileContents(chosen), "installed");
            break;
        case LookupCase::Unchanged:
            EXPECT_EQ(chosen, c.name);
            EXPECT_FALSE(fs::exists(chosen));
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataFileLookup,
    ::testing::Values(LookupCase{"./LANG.INI", true, true, true, LookupCase::Working},
                      LookupCase{"./LANG.INI", false, true, true, LookupCase::Installed},
                      LookupCase{"VEKA.HLP", false, true, true, LookupCase::Installed},
                      LookupCase{"VEKA.HLP", true, false, true, LookupCase::Working},
                      LookupCase{"./LANG.INI", false, false, true, LookupCase::Unchanged},
                      LookupCase{"./LANG.INI", false, true, false, LookupCase::Unchanged}));

TEST(DataPaths, AbsoluteNamesAreNeverRedirected) {
    test::TempDir installed;
    test::writeBytes(installed.file("LANG.INI"), "[-DL]\n");
    const std::string absent = (fs::temp_directory_path() / "veka-absent/LANG.INI").string();
    EXPECT_EQ(dataFile(absent, installed.path()), absent);
}

// A fresh working folder of an installed program: the second start reads the language
// section "-DL" from the installed file instead of showing "ERROR".
TEST(DataPaths, InstalledLanguageFileIsRead) {
    test::TempDir prefix;
    fs::create_directories(prefix.path() / "bin");
    fs::create_directories(prefix.path() / "share/veka");
    test::writeBytes(prefix.file("share/veka/LANG.INI"), "[-DL]\r\nButton5=&Start\r\n");
    test::WorkDir work;
    const IniFile ini =
        IniFile::load(dataFile("./LANG.INI", installedDataDir(prefix.path() / "bin")));
    EXPECT_TRUE(ini.fileFound());
    EXPECT_EQ(ini.get("-DL", "Button5"), "&Start");
}

}  // namespace
}  // namespace veka
