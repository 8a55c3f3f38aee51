#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

namespace ravolin {
namespace {

// Returns to the directory the test started in.
class WorkingDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_start = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(m_start, 0);
        ASSERT_TRUE(m_root.isValid());
    }
    void TearDown() override {
        EXPECT_EQ(fchdir(m_start), 0);
        close(m_start);
    }

    int m_start = -1;
    QTemporaryDir m_root;
};

TEST_F(WorkingDirectoryTest, pathsOfAnyLength_comeBackWhole) {
    ASSERT_EQ(chdir(m_root.path().toLocal8Bit().constData()), 0);
    std::string expected = m_root.path().toStdString();
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
    const std::string gone = m_root.path().toStdString() + "/gone";
    ASSERT_EQ(mkdir(gone.c_str(), 0700), 0);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    const WorkingDirectory current = currentWorkingDirectory();
    EXPECT_FALSE(current.ok());
    EXPECT_TRUE(current.path.empty());
    EXPECT_NE(current.error.find("working directory"), std::string::npos) << current.error;
}

}  // namespace
}  // namespace ravolin
