// SPDX-License-Identifier: GPL-3.0-or-later
// Where a file name may lead: beneath the working folder only (ConfinedFile), and never
// through another user's link in a shared sticky folder (followsProtectedSymlink). The link
// rule depends on owners, so it runs as root and again as an ordinary user.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "files/confined_file.h"
#include "files/safe_file.h"
#include "support/child_process.h"
#include "support/work_dir.h"
#include "temp_dir.h"

namespace veka {
namespace {

namespace fs = std::filesystem;

TEST(ConfinedFile, NamesResolveBeneathTheWorkingFolder) {
    test::TempDir outside;
    test::WorkDir here;
    fs::create_directory("sub");
    test::writeBytes("sub/real.cfg", "x");
    fs::create_symlink("sub/real.cfg", "inside.cfg");
    fs::create_directory_symlink(outside.path(), "out");
    fs::create_symlink(outside.file("new.cfg"), "dangling-out.cfg");
    fs::create_symlink("sub/none.cfg", "dangling-in.cfg");
    const struct {
        const char* name;
        int error;
        const char* reaches;  // what path() names, relative to the folder
    } cases[] = {
        {"a.cfg", 0, "a.cfg"},
        {"sub/real.cfg", 0, "sub/real.cfg"},
        {"inside.cfg", 0, "sub/real.cfg"},
        {"./sub/../sub/new.cfg", 0, "sub/new.cfg"},
        {"out/x.cfg", EXDEV, ""},
        {"dangling-out.cfg", EXDEV, ""},
        {"dangling-in.cfg", ELOOP, ""},
        {"../x.cfg", EXDEV, ""},
        {"/etc/passwd", EXDEV, ""},
        {"missing/x.cfg", ENOENT, ""},
        {"", EINVAL, ""},
        {".", EINVAL, ""},
    };
    for (const auto& c : cases) {
        int error = -1;
        const auto f = ConfinedFile::resolve(c.name, error);
        EXPECT_EQ(error, c.error) << c.name;
        ASSERT_EQ(f.has_value(), c.error == 0) << c.name;
        if (!f) continue;
        test::writeBytes(f->path(), c.name);
        EXPECT_EQ(test::fileContents(c.reaches), c.name) << c.name;
    }
    EXPECT_TRUE(fs::is_empty(outside.path()));
}

// A shared sticky folder (like /tmp) with links of root, of nobody and of a third user, and
// the folder itself owned by root or by nobody.
struct SharedFolder {
    static constexpr uid_t kThird = 4242;
    SharedFolder() {
        for (const char* d : {"rootdir", "nobodydir", "plain"}) {
            fs::create_directory(dir.path() / d);
            ::chmod((dir.path() / d).c_str(), std::string(d) == "plain" ? 0777 : 01777);
        }
        ::chown((dir.path() / "nobodydir").c_str(), test::kNobody, test::kNobody);
        for (const char* d : {"rootdir", "nobodydir", "plain"})
            for (const auto& [name, owner] : {std::pair{"byroot", 0u},
                                              {"bynobody", test::kNobody},
                                              std::pair{"bythird", kThird}}) {
                const fs::path link = dir.path() / d / name;
                fs::create_symlink(dir.path() / "target", link);
                if (::lchown(link.c_str(), owner, owner) != 0) ADD_FAILURE() << link;
            }
        fs::create_directory_symlink(dir.path() / "rootdir", dir.path() / "via");
        ::chmod(dir.path().c_str(), 0755);
    }
    std::string at(const std::string& name) const { return (dir.path() / name).string(); }
    test::TempDir dir;
};

TEST(ProtectedSymlinks, AnotherUsersLinkInASharedStickyFolderIsNotFollowed) {
    if (!test::runningAsRoot()) GTEST_SKIP() << "needs root to give links to other users";
    SharedFolder f;
    const struct {
        const char* name;
        bool asRoot, asNobody;
    } cases[] = {
        {"rootdir/byroot", false, false},   // the folder owner's link
        {"rootdir/bynobody", true, false},  // nobody's: only its owner may follow it
        {"rootdir/bythird", true, true},
        {"nobodydir/bynobody", false, false},  // the folder owner's link again
        {"nobodydir/byroot", false, true},
        {"plain/bythird", false, false},       // not sticky: the rule does not apply
        {"via/bythird", true, true},           // reached through a link of our own
        {"rootdir/bythird/../x", true, true},  // a link on the way
        {"rootdir/none", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(followsProtectedSymlink(f.at(c.name)), c.asRoot) << c.name << " as root";
    const std::string report = test::inChild({}, [&] {
        std::string wrong;
        for (const auto& c : cases)
            if (followsProtectedSymlink(f.at(c.name)) != c.asNobody)
                wrong += c.name + std::string(" ");
        return wrong;
    });
    EXPECT_EQ(report, "") << "as nobody";
}

}  // namespace
}  // namespace veka
