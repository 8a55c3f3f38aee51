#include "platform/core/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testsupport/core/TestFiles.h"

namespace ravolin {
namespace {

// Returns to the directory the test started in.
class WorkingDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_start = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(m_start, 0);
    }
    void TearDown() override {
        EXPECT_EQ(fchdir(m_start), 0);
        close(m_start);
    }

    int m_start = -1;
    test::TempDir m_root;
};

TEST_F(WorkingDirectoryTest, pathsOfAnyLength_comeBackWhole) {
    ASSERT_EQ(chdir(m_root.path().c_str()), 0);
    std::string expected = m_root.path();
    const std::string name(200, 'd');
    // Past the Windows 260 and past PATH_MAX (4096).
    for (int depth = 0; depth < 25; ++depth) {
        ASSERT_EQ(mkdir(name.c_str(), 0700), 0);
        ASSERT_EQ(chdir(name.c_str()), 0);
        expected += "/" + name;
        if (depth == 1 || depth == 24) {
            const WorkingDirectory current = currentWorkingDirectory();
            ASSERT_TRUE(current.ok()) << current.error;
            EXPECT_EQ(current.path, expected);
        }
    }
    EXPECT_GT(expected.size(), 4096u);
}

TEST_F(WorkingDirectoryTest, removedDirectory_isReportedNotInvented) {
    const std::string gone = m_root.path() + "/gone";
    ASSERT_EQ(mkdir(gone.c_str(), 0700), 0);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    const WorkingDirectory current = currentWorkingDirectory();
    EXPECT_FALSE(current.ok());
    EXPECT_TRUE(current.path.empty());
    EXPECT_NE(current.error.find("working directory"), std::string::npos) << current.error;
}

TEST_F(WorkingDirectoryTest, userFolderIsFoundOrMadePrivate) {
    const std::string root = m_root.path();
    ASSERT_EQ(mkdir((root + "/home").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root + "/xdg").c_str(), 0755), 0);
    std::ofstream(root + "/blocked") << "a file where the folder would be";
    struct Case {
        const char* name;
        std::string xdg, home;  // "-": unset
        std::string folder;     // empty: refused
    };
    const Case cases[] = {
        {"XDG_CONFIG_HOME", root + "/xdg", root + "/home", root + "/xdg/ravolin"},
        {"unset: HOME/.config, made too", "-", root + "/home", root + "/home/.config/ravolin"},
        {"relative XDG_CONFIG_HOME is ignored", "relative", root + "/home", root + "/home/.config/ravolin"},
        {"neither", "-", "-", ""},
        {"a file in the way", root + "/blocked", root + "/home", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UserFolder folder =
            prepareUserFolder(c.xdg == "-" ? nullptr : c.xdg.c_str(), c.home == "-" ? nullptr : c.home.c_str());
        if (c.folder.empty()) {
            EXPECT_FALSE(folder.ok());
            EXPECT_FALSE(folder.error.empty());
            continue;
        }
        ASSERT_TRUE(folder.ok()) << folder.error;
        EXPECT_EQ(folder.path, c.folder);
        struct stat info {};
        ASSERT_EQ(stat(c.folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    struct stat config {};
    ASSERT_EQ(stat((root + "/home/.config").c_str(), &config), 0);
    EXPECT_EQ(config.st_mode & 0777, 0700u);  // a parent it made is private too
}

}  // namespace
}  // namespace ravolin
