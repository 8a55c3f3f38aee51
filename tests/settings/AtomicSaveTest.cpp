#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fstream>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/FileAccess.h"
#include "platform/core/FileAccessTesting.h"
#include "settings/SettingsStore.h"
#include "testsupport/core/TestFiles.h"

// What each fsync of this process flushed, by path: every call of the code under test lands here first.
std::vector<std::string> g_synced;

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    char target[PATH_MAX];
    // The note is the test's own: an allocation that fails on purpose fails the code under test, not this.
    try {
        const ssize_t length = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
        if (length > 0) g_synced.emplace_back(target, static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
    }
    return real(fd);
}

namespace ravolin {
namespace {

namespace fs = std::filesystem;

const std::string kOldContent = "; kept\r\n[Common]\r\nLoop=1\r\n";

class AtomicSaveTest : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(path(), kOldContent); }

    std::string path() const { return m_dir.file("RavolinSetting.ini"); }
    SaveResult save(const std::string& target) const {
        Document document;
        document.window.loopCount = 42;
        return writeSettingsFile(target, document);
    }
    // The save as an ordinary user would see it, reported from a child as "ok" or the error text;
    // `fileSizeLimit` (bytes) makes writes fail part way, as a full disk does.
    std::string saveUnprivileged(std::string target = {}, rlim_t fileSizeLimit = RLIM_INFINITY) const {
        if (target.empty()) target = path();
        return test::runInChild([&] {
                   test::dropPrivileges();
                   signal(SIGXFSZ, SIG_IGN);
                   const rlimit limit{fileSizeLimit, fileSizeLimit};
                   setrlimit(RLIMIT_FSIZE, &limit);
                   const SaveResult result = save(target);
                   return result.ok ? std::string("ok") : result.error;
               })
            .report;
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    void setMode(const std::string& target, fs::perms mode) const { fs::permissions(target, mode); }

    test::TempDir m_dir;
};

TEST_F(AtomicSaveTest, replacesTheFileAndLeavesNothingBehind) {
    g_synced.clear();
    const SaveResult result = save(path());
    ASSERT_TRUE(result.ok) << result.error;
    // The new content is on disk before the rename, and the rename is on disk before the save says done.
    const std::string folder = fs::canonical(m_dir.path());
    ASSERT_EQ(g_synced.size(), 2u);
    EXPECT_EQ(g_synced[0].rfind(folder + "/.RavolinSetting.ini.", 0), 0u) << g_synced[0];
    EXPECT_EQ(g_synced[1], folder);
    EXPECT_TRUE(result.error.empty());
    const std::string written = test::readFile(path());
    EXPECT_EQ(written.substr(0, kOldContent.size() - 3), kOldContent.substr(0, kOldContent.size() - 3));
    EXPECT_NE(written.find("Loop=42\r\n"), std::string::npos);
    EXPECT_EQ(entries(), std::vector<std::string>{"RavolinSetting.ini"});
}

TEST_F(AtomicSaveTest, aFolderThatTakesNoNewFileGetsTheFileRewrittenInPlace) {
    setMode(path(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write |
                        fs::perms::others_read | fs::perms::others_write);  // only the folder refuses
    setMode(m_dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    // A write that fails part way puts the old content back.
    EXPECT_EQ(saveUnprivileged(path(), 40), '"' + path() + "\": cannot rewrite the file: File too large");
    EXPECT_EQ(test::readFile(path()), kOldContent);

    EXPECT_EQ(saveUnprivileged(), "ok");
    EXPECT_NE(test::readFile(path()).find("Loop=42\r\n"), std::string::npos);
    EXPECT_EQ(fs::status(path()).permissions() & fs::perms::others_write, fs::perms::others_write);
    EXPECT_EQ(entries(), std::vector<std::string>{"RavolinSetting.ini"});
    // A shorter content leaves nothing of the longer one behind it.
    const std::string shorter =
        test::runInChild([this] {
            test::dropPrivileges();
            FileFailure failure;
            return replaceFileAtomically(path(), "[Common]\r\n", failure) ? "ok" : failure.message;
        }).report;
    EXPECT_EQ(shorter, "ok");
    EXPECT_EQ(test::readFile(path()), "[Common]\r\n");

    // A file that isn't there yet can't be made at all.
    EXPECT_EQ(saveUnprivileged(m_dir.file("new.ini")), '"' + m_dir.file("new.ini") +
                                                           "\": cannot create a temporary file in \"" + m_dir.path() +
                                                           "\": Permission denied");
}

TEST_F(AtomicSaveTest, removesTheTemporaryFilesOfSavesWhoseProcessIsGone) {
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone);
    const std::string live = std::to_string(getppid());
    const std::vector<std::string> kept = {
        ".RavolinSetting.ini." + live + ".17",                     // another writer, still running
        ".RavolinSetting.ini.1.4",                                 // alive, though a user may not signal it
        ".RavolinSetting.ini." + std::to_string(getpid()) + ".3",  // this process's own
        ".RavolinSetting.ini." + dead,                             // not a name of ours
        ".RavolinSetting.ini." + dead + ".",
        ".RavolinSetting.ini." + dead + ".x1",
        ".RavolinSetting.ini.x." + dead,
        ".other.ini." + dead + ".5",  // beside another file
        "RavolinSetting.ini",
    };
    for (const std::string& name : kept) {
        if (name != "RavolinSetting.ini") test::writeFile(m_dir.file(name), "x");
    }
    test::writeFile(m_dir.file(".RavolinSetting.ini." + dead + ".5"), "left by a killed save");
    test::writeFile(m_dir.file(".RavolinSetting.ini." + dead + ".123456"), "and another");

    ASSERT_TRUE(save(path()).ok);
    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(), expected);
    // As a user, to whom the live processes of others (pid 1, and the test's own when it runs as root) answer
    // that they may not be signalled.
    setMode(m_dir.path(), fs::perms::all);
    setMode(path(), fs::perms::all);
    EXPECT_EQ(saveUnprivileged(), "ok");
    EXPECT_EQ(entries(), expected);
}

// The temporary name adds up to 22 bytes to the target's: near the folder's limit of 255 it takes a shortened
// name, cut between characters, which the removal of leftovers knows as well.
TEST_F(AtomicSaveTest, aNameNearTheFoldersLimitIsSavedAndItsLeftoversRemoved) {
    std::string threeByteNames;
    for (int i = 0; i < 84; ++i) threeByteNames += "名";
    struct Case {
        std::string name;
        std::string shortened;  // the part of the name a temporary one keeps
    };
    const Case cases[] = {
        {std::string(233, 'a'), std::string(233, 'a')},
        {std::string(236, 'b'), std::string(233, 'b')},
        {std::string(255, 'c'), std::string(233, 'c')},
        {threeByteNames, threeByteNames.substr(0, 231)},  // 252 bytes, cut before the character at 231
    };
    const std::string gone = std::to_string([] {
        const pid_t pid = fork();
        if (pid == 0) _exit(0);
        waitpid(pid, nullptr, 0);
        return pid;
    }());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.size());
        const std::string target = m_dir.file(c.name);
        const std::string leftover = m_dir.file('.' + c.shortened + '.' + gone + ".1000000006");
        test::writeFile(leftover, "left by a killed save");
        FileFailure failure;
        EXPECT_TRUE(replaceFileAtomically(target, "new", failure)) << failure.message;
        EXPECT_EQ(test::readFile(target), "new");
        EXPECT_FALSE(fs::exists(leftover));
        fs::remove(target);
    }
    EXPECT_EQ(entries(), std::vector<std::string>{"RavolinSetting.ini"});
}

TEST_F(AtomicSaveTest, readOnlyFileIsNotReplaced) {
    setMode(m_dir.path(), fs::perms::all);
    setMode(path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(saveUnprivileged(), '"' + path() + "\": cannot write the file: Permission denied");
    EXPECT_EQ(test::readFile(path()), kOldContent);
    EXPECT_EQ(entries(), std::vector<std::string>{"RavolinSetting.ini"});
}

TEST_F(AtomicSaveTest, killedBetweenTemporaryWriteAndRenameLeavesTheOldFile) {
    const test::ChildOutcome outcome = test::runInChild([this] {
        setBeforeRenameHookForTesting([] { raise(SIGKILL); });
        save(path());
        return std::string("not stopped");
    });
    EXPECT_EQ(outcome.signal, SIGKILL);
    EXPECT_EQ(test::readFile(path()), kOldContent);
    // The complete new content was on disk beside it, waiting for the rename.
    const std::vector<std::string> names = entries();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_NE(test::readFile(m_dir.file(names[0])).find("Loop=42\r\n"), std::string::npos);

    // The next save clears what the killed one left.
    ASSERT_TRUE(save(path()).ok);
    EXPECT_NE(test::readFile(path()).find("Loop=42\r\n"), std::string::npos);
    EXPECT_EQ(entries(), std::vector<std::string>{"RavolinSetting.ini"});
}

TEST_F(AtomicSaveTest, fullDiskReportsFailureAndKeepsTheOldFile) {
    // A file size limit makes writes fail part way, as a full disk does.
    const std::string report = test::runInChild([this] {
                                   signal(SIGXFSZ, SIG_IGN);
                                   const rlimit limit{64, 64};
                                   setrlimit(RLIMIT_FSIZE, &limit);
                                   const SaveResult result = save(path());
                                   return result.ok ? std::string("ok") : result.error;
                               }).report;
    EXPECT_EQ(report, '"' + path() + "\": cannot write the temporary file: File too large");
    EXPECT_EQ(test::readFile(path()), kOldContent);
    EXPECT_EQ(entries(), std::vector<std::string>{"RavolinSetting.ini"});
}

TEST_F(AtomicSaveTest, keepsTheFilePermissions) {
    setMode(path(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(save(path()).ok);
    EXPECT_EQ(fs::status(path()).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const mode_t previous = umask(027);
    const SaveResult fresh = save(m_dir.file("new.ini"));
    umask(previous);
    ASSERT_TRUE(fresh.ok);
    EXPECT_EQ(fs::status(m_dir.file("new.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(AtomicSaveTest, writesThroughASymbolicLink) {
    fs::create_directory(m_dir.file("real"));
    test::writeFile(m_dir.file("real/settings.ini"), kOldContent);
    fs::create_symlink("real/settings.ini", m_dir.file("link.ini"));
    fs::create_symlink("real/missing.ini", m_dir.file("dangling.ini"));

    ASSERT_TRUE(save(m_dir.file("link.ini")).ok);
    ASSERT_TRUE(save(m_dir.file("dangling.ini")).ok);
    EXPECT_TRUE(fs::is_symlink(m_dir.file("link.ini")));
    EXPECT_TRUE(fs::is_symlink(m_dir.file("dangling.ini")));
    EXPECT_NE(test::readFile(m_dir.file("real/settings.ini")).find("; kept\r\n"), std::string::npos);
    EXPECT_NE(test::readFile(m_dir.file("real/settings.ini")).find("Loop=42\r\n"), std::string::npos);
    EXPECT_NE(test::readFile(m_dir.file("real/missing.ini")).find("Loop=42\r\n"), std::string::npos);
}

TEST_F(AtomicSaveTest, refusesWhatItCannotReadOrReach) {
    fs::create_directory(m_dir.file("folder.ini"));
    const SaveResult folder = save(m_dir.file("folder.ini"));
    EXPECT_FALSE(folder.ok);
    EXPECT_EQ(folder.error, '"' + m_dir.file("folder.ini") + "\": cannot read the current file: Is a directory");
    EXPECT_EQ(folder.failedStep, SaveStep::ReadCurrent);
    EXPECT_EQ(folder.errorCode, EISDIR);

    const SaveResult nowhere = save(m_dir.file("no/such/dir.ini"));
    EXPECT_FALSE(nowhere.ok);
    EXPECT_EQ(nowhere.error, '"' + m_dir.file("no/such/dir.ini") + "\": cannot create a temporary file in \"" +
                                 m_dir.file("no/such") + "\": No such file or directory");
    EXPECT_EQ(nowhere.failedStep, SaveStep::CreateTemporary);
    EXPECT_EQ(nowhere.errorCode, ENOENT);

    fs::create_symlink("loop.ini", m_dir.file("loop.ini"));
    const SaveResult loop = save(m_dir.file("loop.ini"));
    EXPECT_FALSE(loop.ok);
    EXPECT_NE(loop.error.find("Too many levels of symbolic links"), std::string::npos) << loop.error;
    EXPECT_EQ(loop.failedStep, SaveStep::ReadCurrent);  // reading it meets the loop first
    EXPECT_EQ(loop.errorCode, ELOOP);
}

// Whatever stands at the settings path, loading never blocks, never reads without end, and a save never
// writes over what it refused. All of it lies in the test's folder: should a refusal ever fail, the save
// replaces only what the test made (a device of the machine would be renamed over by a root's test run).
TEST_F(AtomicSaveTest, specialFilesAreRefusedWithoutBlockingOrReadingWithoutEnd) {
    const std::string fifo = m_dir.file("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = m_dir.file("socket.ini");
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("fifo.ini", m_dir.file("link.ini"));
    const std::string sparse = m_dir.file("sparse.ini");
    {
        std::ofstream(sparse) << "[Common]\r\nLoop=3\r\n";
        fs::resize_file(sparse, kSettingsFileMaxBytes + 1);  // a hole: no disk, but more than the cap
    }
    struct Case {
        std::string path;
        int error;
        const char* reason;
    };
    std::vector<Case> cases = {
        {fifo, kNotRegularFileError, "not a regular file"},
        {socketPath, ENXIO, "No such device or address"},  // not even opened
        {m_dir.file("link.ini"), kNotRegularFileError, "not a regular file"},
        {sparse, kFileTooLargeError, "larger than 8 MiB"},
    };
    // The null and zero devices again, as nodes of the folder, where the test may make them (as root).
    for (const auto& [name, minor] : {std::pair{"null.ini", 3u}, std::pair{"zero.ini", 5u}}) {
        if (mknod(m_dir.file(name).c_str(), S_IFCHR | 0600, makedev(1, minor)) == 0)
            cases.push_back({m_dir.file(name), kNotRegularFileError, "not a regular file"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        int error = 0;
        EXPECT_FALSE(readFileBytes(c.path, error));
        EXPECT_EQ(error, c.error);
        Document loaded;
        EXPECT_EQ(loadSettingsFile(c.path, loaded), c.error);
        EXPECT_EQ(loaded.window.loopCount, 0);  // the defaults
        const SaveResult saved = save(c.path);
        EXPECT_FALSE(saved.ok);
        EXPECT_EQ(saved.failedStep, SaveStep::ReadCurrent);
        EXPECT_NE(saved.error.find(c.reason), std::string::npos) << saved.error;
        if (c.error != kFileTooLargeError) {
            // The writer below the loader refuses them as well, rather than renaming over a device.
            FileFailure failure;
            EXPECT_FALSE(replaceFileAtomically(c.path, "x", failure));
            EXPECT_EQ(failure.step, SaveStep::NotRegularFile);
            EXPECT_EQ(failure.code, kNotRegularFileError);                  // its own reason, not a folder's
            EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(c.path)));  // still what it was
        }
    }
    close(listener);
    struct stat info {};
    ASSERT_EQ(stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));  // still the pipe it was
    int error = 0;
    // A device of the machine meets the check itself, only ever read.
    EXPECT_FALSE(readFileBytes("/dev/zero", error));
    EXPECT_EQ(error, kNotRegularFileError);
    const std::optional<std::string> atTheCap = readFileBytes(path(), error, kOldContent.size());
    ASSERT_TRUE(atTheCap) << error;
    EXPECT_EQ(*atTheCap, kOldContent);
    EXPECT_FALSE(readFileBytes(path(), error, kOldContent.size() - 1));
    EXPECT_EQ(error, kFileTooLargeError);
}

}  // namespace
}  // namespace ravolin
