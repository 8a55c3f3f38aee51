#include "platform/core/SingleInstance.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "testsupport/core/ScopedEnv.h"
#include "testsupport/core/TestFiles.h"

extern char** environ;

namespace ravolin {
namespace {

class LockTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_private = m_root.path() + "/private";
        ASSERT_EQ(mkdir(m_private.c_str(), 0700), 0);
    }

    test::TempDir m_root;
    std::string m_private;
};

// A child process and the read end of its standard output; killed and reaped at the latest when it goes.
struct Child {
    pid_t pid = -1;
    int out = -1;
    void kill() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    ~Child() {
        kill();
        if (out >= 0) close(out);
    }
};

// One lock per user and display: the spellings of one display give one name, other displays other names.
TEST(InstanceLockName, namesTheDisplayTheWindowsGoTo) {
    struct Case {
        const char* platform;
        const char* display;
        const char* wayland;
        std::string name;
    };
    const std::string x = "Ravolin_Replace-x11-";
    const std::string w = "Ravolin_Replace-wayland-";
    const Case cases[] = {
        {"xcb", ":0", nullptr, x + ":0"},
        {"xcb", ":0.0", nullptr, x + ":0"},
        {"xcb", "unix:0", nullptr, x + ":0"},
        {"xcb", "unix/:00.1", nullptr, x + ":0"},
        {"xcb", ":1", nullptr, x + ":1"},
        {"xcb", "localhost:10.0", nullptr, x + "localhost:10"},
        {"xcb", "tcp/Host.Example:2", nullptr, x + "host.example:2"},
        {"xcb", "host::0", nullptr, x + "host::0"},
        {"xcb", ":0", "wayland-1", x + ":0"},  // an X window on a Wayland desktop is on its X server
        {"xcb", "/tmp/.X11-unix/X0", nullptr, x + "%2Ftmp%2F.X11-unix%2FX0"},
        {"xcb", ":0x", nullptr, x + ":0x"},
        {"xcb", "h\xc3\xa9 st%:0", nullptr, x + "h%C3%A9%20st%25:0"},
        {"wayland", ":0", "wayland-1", w + "wayland-1"},
        {"wayland-egl", ":0", "wayland-1", w + "wayland-1"},
        {"wayland", nullptr, nullptr, w + "wayland-0"},
        {"wayland", nullptr, "/run/user/1000/wayland-0", w + "%2Frun%2Fuser%2F1000%2Fwayland-0"},
        {"offscreen", "", "wayland-2", w + "wayland-2"},
        {"offscreen", ":3", "wayland-2", x + ":3"},
        {"offscreen", "", "", "Ravolin_Replace"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.platform) + " / " + std::string(c.display ? c.display : "(unset)").substr(0, 40) +
                     " / " + (c.wayland ? c.wayland : "(unset)"));
        EXPECT_EQ(instanceLockName(c.platform, c.display, c.wayland), c.name);
    }
    // A name too long for a file name holds a hash of the display instead, one per display.
    const std::string longNames[] = {instanceLockName("xcb", (std::string(300, 'h') + ":0").c_str(), nullptr),
                                     instanceLockName("xcb", (std::string(300, 'h') + ":1").c_str(), nullptr)};
    for (const std::string& name : longNames) {
        EXPECT_LE(name.size(), 255u);
        EXPECT_EQ(name.rfind(x + "~", 0), 0u) << name;
    }
    EXPECT_NE(longNames[0], longNames[1]);
}

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
    Child holder;
    int channel[2];
    ASSERT_EQ(pipe2(channel, O_CLOEXEC), 0);
    holder.out = channel[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    const std::string lockFile = m_private + "/" + kInstanceLockName;
    const char* argv[] = {
        "flock", "--exclusive", "--no-fork", lockFile.c_str(), "sh", "-c", "echo held; exec sleep 600", nullptr};
    const int spawned = posix_spawnp(&holder.pid, "flock", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    ASSERT_EQ(spawned, 0);
    pollfd said{holder.out, POLLIN, 0};
    char line[8];
    ASSERT_TRUE(poll(&said, 1, 10000) == 1 && read(holder.out, line, sizeof line) > 0)
        << "flock(1) did not take the lock";
    EXPECT_EQ(SingleInstance::acquireIn(m_private, kInstanceLockName).status(), SingleInstance::Status::AlreadyRunning);

    holder.kill();  // SIGKILL: no chance to unlock
    EXPECT_EQ(SingleInstance::acquireIn(m_private, kInstanceLockName).status(), SingleInstance::Status::Owner);
}

TEST_F(LockTest, symlinkedLockFile_isRefused) {
    const std::string target = m_root.path() + "/elsewhere";
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
    const std::string shared = m_root.path() + "/shared";
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
    for (const std::optional<std::string>& runtime : {std::optional<std::string>(), std::optional(shared)}) {
        ScopedEnv env("XDG_RUNTIME_DIR", runtime);
        ScopedEnv tmp("TMPDIR", m_root.path());
        std::string directory, error;
        ASSERT_TRUE(privateLockDirectory(directory, error)) << error;
        EXPECT_EQ(directory, m_root.path() + "/ravolin-" + std::to_string(geteuid()));
        struct stat st {};
        ASSERT_EQ(lstat(directory.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, geteuid());
    }
}

TEST_F(LockTest, unsafeFolderInOurPlace_isRefused) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv tmp("TMPDIR", m_root.path());
    const std::string own = m_root.path() + "/ravolin-" + std::to_string(geteuid());

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
    ScopedEnv tmp("TMPDIR", m_root.path());
    const std::string own = m_root.path() + "/ravolin-0";
    ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
    ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
    std::string directory, error;
    EXPECT_FALSE(privateLockDirectory(directory, error));
}

}  // namespace
}  // namespace ravolin
