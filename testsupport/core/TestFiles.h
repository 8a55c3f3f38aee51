#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

// Temporary directories, whole-file reads and writes and children that may drop root, for the tests of every
// layer.

namespace ravolin::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ravolin-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(std::string_view name) const { return m_path + '/' + std::string(name); }

private:
    std::string m_path;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct ChildOutcome {
    int signal = 0;      // the signal that ended the child, or 0
    std::string report;  // what the child's function returned
};

// Runs `body` in a forked child and hands back the text it returns; `body` may also end the child.
inline ChildOutcome runInChild(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe(channel) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid == 0) {
        close(channel[0]);
        const std::string report = body();
        [[maybe_unused]] const ssize_t written = write(channel[1], report.data(), report.size());
        _exit(0);
    }
    close(channel[1]);
    ChildOutcome outcome;
    char buffer[4096];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) {
        outcome.report.append(buffer, static_cast<std::size_t>(got));
    }
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return outcome;
}

// Inside a child: gives up root, so that file permissions bind as they do for a user.
inline void dropPrivileges() {
    if (geteuid() != 0) return;
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
}

}  // namespace ravolin::test
