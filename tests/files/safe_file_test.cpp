// SPDX-License-Identifier: GPL-3.0-or-later
// Safe saving: complete before replace, and the target stays what it was (its protection,
// mode, owner, links and name). The saves run as an ordinary user, since root bypasses modes.

#include "files/safe_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/text_lines.h"
#include "support/child_process.h"
#include "support/hang_guard.h"
#include "temp_dir.h"

namespace veka {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "old bytes\r\n";
const std::string kNew = "new bytes, longer than the old ones\r\n";

// A scratch folder that belongs to the user the saves run as.
struct Scratch {
    test::TempDir dir;
    Scratch() { test::giveToChild(dir.path()); }

    std::string path(const std::string& name) const { return dir.file(name); }
    void put(const std::string& name, mode_t mode, uid_t owner = test::kNobody) {
        test::writeBytes(path(name), kOld);
        ::chmod(path(name).c_str(), mode);
        if (test::runningAsRoot() && ::chown(path(name).c_str(), owner, owner) != 0)
            ADD_FAILURE() << "chown " << name;
    }
    void folder(const std::string& name, mode_t mode) {
        fs::create_directory(path(name));
        test::giveToChild(path(name));
        ::chmod(path(name).c_str(), mode);
    }
    void link(const std::string& name, const std::string& to) {
        fs::create_symlink(to, path(name));
        test::giveToChild(path(name));
    }
    // Temporary files a save left behind.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            if (entry.path().filename().string().rfind(".veka-", 0) == 0)
                found.push_back(entry.path().string());
        return found;
    }
};

// "saved", or the error text of the failed save; run as an ordinary user.
std::string saveInChild(const std::string& path, const std::string& bytes,
                        test::ChildSetup setup = {}) {
    return test::inChild(setup, [&]() -> std::string {
        std::string error;
        if (saveFileSafely(path, bytes, &error)) return "saved";
        return error.empty() ? "failed without a text" : error;
    });
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) info.st_ino = 0;
    return info;
}

TEST(SafeFile, WritesAndReplaces) {
    test::TempDir dir;
    const std::string path = dir.file("a.cfg");
    EXPECT_TRUE(saveFileSafely(path, "first", nullptr));
    EXPECT_EQ(readFileBytes(path), "first");
    std::string error = "untouched";
    EXPECT_TRUE(saveFileSafely(path, std::string("\0second", 7), &error));
    EXPECT_EQ(readFileBytes(path), std::string("\0second", 7));
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(SafeFile, FailuresLeaveNoTraceAndNameTheFile) {
    test::TempDir dir;
    test::writeBytes(dir.file("plain"), "x");
    fs::create_directory(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    fs::create_symlink("/dev/null", dir.file("null"));
    for (const std::string& path :
         {dir.file("plain") + "/a.cfg", dir.file("folder"), dir.file("none") + "/a.cfg",
          dir.file("fifo"), dir.file("null"), std::string()}) {
        const test::HangGuard guard("saving to " + path);
        std::string error;
        EXPECT_FALSE(saveFileSafely(path, "bytes", &error)) << path;
        EXPECT_NE(error.find("\"" + path + "\""), std::string::npos) << error;
        EXPECT_NE(error.find("konnte nicht gespeichert werden"), std::string::npos) << error;
    }
    EXPECT_EQ(readFileBytes(dir.file("plain")), "x");
    EXPECT_TRUE(fs::is_empty(dir.file("folder")));
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
    EXPECT_TRUE(fs::is_symlink(dir.file("null")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 4);
}

void hardLinkPair(Scratch& s) {
    s.put("a.cfg", 0644);
    fs::create_hard_link(s.path("a.cfg"), s.path("b.cfg"));
}

// "ro/a.cfg" with the mode, in a folder nobody may add files to.
void inReadOnlyFolder(Scratch& s, mode_t mode) {
    s.folder("ro", 0755);
    s.put("ro/a.cfg", mode);
    ::chmod(s.path("ro").c_str(), 0555);
}

struct TargetCase {
    std::string what;
    std::function<void(Scratch&)> prepare;
    std::string saveTo;              // the name the user chose
    std::vector<std::string> shows;  // names showing the result; the first is the real file
    bool saved;
    bool sameInode;  // rewritten in place
};

TEST(SafeFile, TargetKeepsWhatItIs) {
    const std::string longName(NAME_MAX, 'n');
    const std::vector<TargetCase> cases = {
        {"read-only file",
         [](Scratch& s) { s.put("a.cfg", 0444); },
         "a.cfg",
         {"a.cfg"},
         false,
         true},
        {"private file", [](Scratch& s) { s.put("a.cfg", 0600); }, "a.cfg", {"a.cfg"}, true, false},
        {"group-readable file",
         [](Scratch& s) { s.put("a.cfg", 0640); },
         "a.cfg",
         {"a.cfg"},
         true,
         false},
        {"link to a file",
         [](Scratch& s) {
             s.put("real.cfg", 0600);
             s.link("link.cfg", "real.cfg");
         },
         "link.cfg",
         {"real.cfg", "link.cfg"},
         true,
         false},
        {"chain of relative links",
         [](Scratch& s) {
             s.folder("sub", 0755);
             s.put("sub/real.cfg", 0644);
             s.link("sub/l2", "real.cfg");
             s.link("l1", "sub/l2");
         },
         "l1",
         {"sub/real.cfg", "l1"},
         true,
         false},
        {"link to a missing file",
         [](Scratch& s) { s.link("link.cfg", "new.cfg"); },
         "link.cfg",
         {"new.cfg", "link.cfg"},
         true,
         false},
        {"link to a read-only file",
         [](Scratch& s) {
             s.put("real.cfg", 0444);
             s.link("link.cfg", "real.cfg");
         },
         "link.cfg",
         {"real.cfg"},
         false,
         true},
        {"hard link", hardLinkPair, "a.cfg", {"a.cfg", "b.cfg"}, true, true},
        {"writable file in a read-only folder",
         [](Scratch& s) { inReadOnlyFolder(s, 0644); },
         "ro/a.cfg",
         {"ro/a.cfg"},
         true,
         true},
        {"read-only file in a read-only folder",
         [](Scratch& s) { inReadOnlyFolder(s, 0444); },
         "ro/a.cfg",
         {"ro/a.cfg"},
         false,
         true},
        {"longest name, existing",
         [&](Scratch& s) { s.put(longName, 0644); },
         longName,
         {longName},
         true,
         false},
        {"longest name, new", [](Scratch&) {}, longName, {longName}, true, false},
    };
    for (const TargetCase& c : cases) {
        Scratch s;
        c.prepare(s);
        const struct stat before = statOf(s.path(c.shows[0]));
        const auto kind = fs::symlink_status(s.path(c.saveTo)).type();
        const std::string report = saveInChild(s.path(c.saveTo), kNew);
        if (c.saved) {
            EXPECT_EQ(report, "saved") << c.what;
        } else {
            EXPECT_NE(report.find(std::strerror(EACCES)), std::string::npos) << c.what << report;
            EXPECT_NE(report.find(s.path(c.saveTo)), std::string::npos) << c.what << report;
        }
        for (const std::string& name : c.shows)
            EXPECT_EQ(readFileBytes(s.path(name)), c.saved ? kNew : kOld) << c.what << name;
        const struct stat after = statOf(s.path(c.shows[0]));
        if (before.st_ino != 0) {
            EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
            EXPECT_EQ(after.st_uid, before.st_uid) << c.what;
            EXPECT_EQ(after.st_ino == before.st_ino, c.sameInode) << c.what;
        }
        if (kind != fs::file_type::not_found) {
            EXPECT_EQ(fs::symlink_status(s.path(c.saveTo)).type(), kind) << c.what;
        }
        EXPECT_EQ(s.leftovers(), std::vector<std::string>{}) << c.what;
        ::chmod(s.path("ro").c_str(), 0755);
    }
}

// A file of another owner that we may write is rewritten in place, so it keeps its owner.
TEST(SafeFile, ForeignOwnerIsKept) {
    if (!test::runningAsRoot()) GTEST_SKIP() << "needs root to give a file to another user";
    Scratch s;
    s.put("shared.cfg", 0666, 0);
    const struct stat before = statOf(s.path("shared.cfg"));
    EXPECT_EQ(saveInChild(s.path("shared.cfg"), kNew), "saved");
    const struct stat after = statOf(s.path("shared.cfg"));
    EXPECT_EQ(readFileBytes(s.path("shared.cfg")), kNew);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
}

// The disk fills up halfway (a file-size limit stands in for it): whatever way the save
// takes, the old content survives, and nothing is left behind.
TEST(SafeFile, OldContentSurvivesAFailedWrite) {
    const std::string big(64 * 1024, 'b');
    const std::vector<TargetCase> cases = {
        {"replaced by a new file",
         [](Scratch& s) { s.put("a.cfg", 0644); },
         "a.cfg",
         {"a.cfg"},
         false,
         true},
        {"hard link, in place", hardLinkPair, "a.cfg", {"a.cfg", "b.cfg"}, false, true},
        {"read-only folder, in place",
         [](Scratch& s) { inReadOnlyFolder(s, 0644); },
         "ro/a.cfg",
         {"ro/a.cfg"},
         false,
         true},
        {"new file", [](Scratch&) {}, "a.cfg", {}, false, true},
    };
    for (const TargetCase& c : cases) {
        Scratch s;
        c.prepare(s);
        const std::string report = saveInChild(s.path(c.saveTo), big, {true, 16 * 1024});
        EXPECT_NE(report.find(std::strerror(EFBIG)), std::string::npos) << c.what << report;
        EXPECT_EQ(report.find(';'), std::string::npos) << c.what << report;  // nothing lost
        for (const std::string& name : c.shows)
            EXPECT_EQ(readFileBytes(s.path(name)), kOld) << c.what << name;
        if (c.shows.empty()) {
            EXPECT_FALSE(fs::exists(s.path(c.saveTo))) << c.what;
        }
        EXPECT_EQ(s.leftovers(), std::vector<std::string>{}) << c.what;
        ::chmod(s.path("ro").c_str(), 0755);
    }
}

}  // namespace
}  // namespace veka
