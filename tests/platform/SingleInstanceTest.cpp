#include "platform/core/SingleInstance.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>

#include "testsupport/ScopedEnv.h"

namespace ravolin {
namespace {

class LockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_private = m_root.path().toStdString() + "/private";
        ASSERT_EQ(mkdir(m_private.c_str(), 0700), 0);
    }

    QTemporaryDir m_root;
    std::string m_private;
};

TEST_F(LockTest, secondHolder_isRefusedUntilTheFirstLetsGo) {
    std::optional<SingleInstance> first = SingleInstance::acquireIn(m_private, kInstanceLockName);
    ASSERT_EQ(first->status(), SingleInstance::Status::Owner);
    EXPECT_EQ(SingleInstance::acquireIn(m_private, kInstanceLockName).status(), SingleInstance::Status::AlreadyRunning);
    EXPECT_EQ(SingleInstance::acquireIn(m_private, "another name").status(), SingleInstance::Status::Owner);
    first.reset();
    EXPECT_EQ(SingleInstance::acquireIn(m_private, kInstanceLockName).status(), SingleInstance::Status::Owner);
}

TEST_F(LockTest, lockOfAKilledProcess_isReleased) {
    // flock(1) takes the same kind of lock on the same file and, without forking, becomes the shell that
    // reports it and then the sleep that holds it: one process, killed below.
    QProcess holder;
    const QString lockFile = QString::fromStdString(m_private + "/" + kInstanceLockName);
    holder.start("flock", {"--exclusive", "--no-fork", lockFile, "sh", "-c", "echo held; exec sleep 600"});
    ASSERT_TRUE(holder.waitForReadyRead(10000)) << "flock(1) did not take the lock";
    EXPECT_EQ(SingleInstance::acquireIn(m_private, kInstanceLockName).status(), SingleInstance::Status::AlreadyRunning);

    holder.kill();  // SIGKILL: no chance to unlock
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_EQ(SingleInstance::acquireIn(m_private, kInstanceLockName).status(), SingleInstance::Status::Owner);
}

TEST_F(LockTest, symlinkedLockFile_isRefused) {
    const std::string target = m_root.path().toStdString() + "/elsewhere";
    ASSERT_EQ(symlink(target.c_str(), (m_private + "/" + kInstanceLockName).c_str()), 0);
    const SingleInstance lock = SingleInstance::acquireIn(m_private, kInstanceLockName);
    EXPECT_EQ(lock.status(), SingleInstance::Status::Failed);
    EXPECT_FALSE(lock.error().empty());
    EXPECT_NE(access(target.c_str(), F_OK), 0);  // nothing was created through the link
}

TEST_F(LockTest, runtimeDirectory_isUsedWhenPrivate) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", m_private);
    std::string directory, error;
    ASSERT_TRUE(privateLockDirectory(directory, error)) << error;
    EXPECT_EQ(directory, m_private);
}

TEST_F(LockTest, withoutAPrivateRuntimeDirectory_ourOwnFolderUnderTmp) {
    const std::string shared = m_root.path().toStdString() + "/shared";
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
    for (const std::optional<std::string>& runtime : {std::optional<std::string>(), std::optional(shared)}) {
        ScopedEnv env("XDG_RUNTIME_DIR", runtime);
        ScopedEnv tmp("TMPDIR", m_root.path().toStdString());
        std::string directory, error;
        ASSERT_TRUE(privateLockDirectory(directory, error)) << error;
        EXPECT_EQ(directory, m_root.path().toStdString() + "/ravolin-" + std::to_string(geteuid()));
        struct stat st {};
        ASSERT_EQ(lstat(directory.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, geteuid());
    }
}

TEST_F(LockTest, unsafeFolderInOurPlace_isRefused) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv tmp("TMPDIR", m_root.path().toStdString());
    const std::string own = m_root.path().toStdString() + "/ravolin-" + std::to_string(geteuid());

    struct Case {
        const char* what;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"open to others",
         [&] {
             ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
             ASSERT_EQ(chmod(own.c_str(), 0755), 0);
         }},
        {"a symbolic link", [&] { ASSERT_EQ(symlink(m_private.c_str(), own.c_str()), 0); }},
        {"a plain file", [&] { ASSERT_EQ(close(creat(own.c_str(), 0600)), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        std::string directory, error;
        EXPECT_FALSE(privateLockDirectory(directory, error));
        EXPECT_NE(error.find(own), std::string::npos) << error;
        EXPECT_EQ(SingleInstance::acquire(kInstanceLockName).status(), SingleInstance::Status::Failed);
        if (rmdir(own.c_str()) != 0) unlink(own.c_str());
    }
}

TEST_F(LockTest, folderOfAnotherUser_isRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "handing a folder to another user needs root";
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv tmp("TMPDIR", m_root.path().toStdString());
    const std::string own = m_root.path().toStdString() + "/ravolin-0";
    ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
    ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
    std::string directory, error;
    EXPECT_FALSE(privateLockDirectory(directory, error));
}

}  // namespace
}  // namespace ravolin
