#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <string>
#include <vector>

#include "testsupport/core/TestFiles.h"

extern char** environ;

// Runs the built ravolin-expand as a child process.
namespace ravolin::test {

struct ExpandRun {
    int exitCode = -1;  // -1 when it ended by a signal, -2 when it hung and was stopped
    std::string out;
    std::string err;
};

class ExpandProcess {
public:
    explicit ExpandProcess(std::vector<std::string> args, std::string workingDir = ".")
        : m_args(std::move(args)), m_workingDir(std::move(workingDir)) {}

    // Runs to the end with standard output captured in a file.
    ExpandRun run() {
        const std::string out = m_captures.file("out");
        Actions actions;
        posix_spawn_file_actions_addopen(&actions.value, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        ExpandRun result = finish(start(actions));
        result.out = readFile(out);
        return result;
    }

    // Runs to the end with standard output going to the full device, where every write fails. Only ever the
    // device itself: a /dev/full that is anything else is neither created nor written.
    ExpandRun runIntoFullDevice() {
        struct stat info {};
        if (stat("/dev/full", &info) != 0 || !S_ISCHR(info.st_mode) || info.st_rdev != makedev(1, 7))
            throw std::runtime_error("/dev/full is not the full device");
        Actions actions;
        posix_spawn_file_actions_addopen(&actions.value, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
        return finish(start(actions));
    }

    // Reads `count` bytes of standard output through a pipe, then closes it, as "| head -c" does. A tool that
    // then doesn't end within a minute is stopped and reported as hung (exit code -2).
    ExpandRun runIntoClosedPipe(std::size_t count) {
        int channel[2];
        if (pipe(channel) != 0) throw std::runtime_error("pipe failed");
        Actions actions;
        posix_spawn_file_actions_adddup2(&actions.value, channel[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions.value, channel[0]);
        posix_spawn_file_actions_addclose(&actions.value, channel[1]);
        pid_t pid = start(actions);
        close(channel[1]);
        ExpandRun result;
        char buffer[4096];
        while (result.out.size() < count) {
            const ssize_t got = read(channel[0], buffer, std::min(sizeof buffer, count - result.out.size()));
            if (got <= 0) break;
            result.out.append(buffer, static_cast<std::size_t>(got));
        }
        close(channel[0]);
        const ExpandRun ended = finish(pid);
        result.exitCode = ended.exitCode;
        result.err = ended.err;
        return result;
    }

private:
    struct Actions {
        Actions() { posix_spawn_file_actions_init(&value); }
        ~Actions() { posix_spawn_file_actions_destroy(&value); }
        posix_spawn_file_actions_t value;
    };

    pid_t start(Actions& actions) {
        const std::string err = m_captures.file("err");
        posix_spawn_file_actions_addopen(&actions.value, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions.value, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addchdir_np(&actions.value, m_workingDir.c_str());
        std::vector<char*> argv{const_cast<char*>(RAVOLIN_EXPAND_PATH)};
        for (std::string& arg : m_args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, RAVOLIN_EXPAND_PATH, &actions.value, nullptr, argv.data(), environ) != 0) {
            throw std::runtime_error("cannot start " RAVOLIN_EXPAND_PATH);
        }
        return pid;
    }

    // Waits a bounded time for the tool to end; its exit code and standard error.
    ExpandRun finish(pid_t pid) {
        int status = 0;
        ExpandRun result;
        for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
            if (waited == 6000) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                result.exitCode = -2;
                break;
            }
            usleep(10000);
        }
        if (result.exitCode != -2) result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = readFile(m_captures.file("err"));
        return result;
    }

    std::vector<std::string> m_args;
    std::string m_workingDir;
    TempDir m_captures;
};

}  // namespace ravolin::test
