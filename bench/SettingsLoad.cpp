#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"

// Loads and saves a settings file of 8 MiB of short lines (about 8.4 million of them) and prints the time and
// the peak memory of each, measured in a fresh process each, as the window and the batch tool do them:
//   bench_settings_load [FOLDER]        (RAVOLIN_EXPAND=PATH: another ravolin-expand)
// The files go to FOLDER (default: /tmp) and are removed at the end.

namespace {

constexpr std::size_t kFileBytes = (std::size_t{8} << 20) - 4096;  // room for the save's few new bytes

// Our keys as a save writes them, then `junk` up to the size: another program's lines, or lines in ours.
std::string settingsFile(const std::string& section, const std::string& line) {
    ravolin::Document document;
    ravolin::loadSettingsBytes("", document);
    document.window.templateText = "＜置換1＞: ＜配列1＞";
    document.record.arrays[0].valuesText = "a\r\nb\r\nc";
    std::vector<ravolin::TextAdjustment> adjustments;
    const std::string ours = ravolin::settingsFileBytes("", document, adjustments);
    std::string bytes = section + "\r\n";
    while (!line.empty() && bytes.size() + line.size() + ours.size() <= kFileBytes) bytes += line;
    return bytes + ours;
}

// A file where another program keeps distinct four-letter keys, the index's worst case.
std::string distinctKeysFile() {
    const std::string ours = settingsFile("[Other]", "");
    std::string bytes;
    for (std::size_t n = 0; bytes.size() + 5 + ours.size() <= kFileBytes; ++n) {
        std::string key;
        for (std::size_t rest = n, i = 0; i < 4; ++i, rest /= 75) key += static_cast<char>('0' + rest % 75);
        if (key.find_first_of("=[;") == std::string::npos) bytes += key + '\n';
    }
    return ours.substr(0, 9) + bytes + ours.substr(9);
}

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// In the child: one load (and a save of a changed loop count), its time on standard output.
int child(const std::string& what, const std::string& path) {
    ravolin::Document document;
    const auto start = std::chrono::steady_clock::now();
    const int refused = ravolin::loadSettingsFile(path, document);
    const auto loaded = std::chrono::steady_clock::now();
    if (what == "load") {
        std::printf("%.0f %d\n", milliseconds(loaded - start), refused);
        return 0;
    }
    document.window.loopCount += 1;
    const ravolin::SaveResult saved = ravolin::writeSettingsFile(path, document);
    std::printf("%.0f %d\n", milliseconds(std::chrono::steady_clock::now() - loaded), saved.ok ? 0 : 1);
    return 0;
}

struct Run {
    std::string out;
    double wallMs = 0;
    long peakKiB = 0;
};

// Runs the command with its output in a pipe, timing it and taking its peak memory from wait4. Spawned
// without a copy of this process, whose own size would otherwise count in the child's peak.
Run run(std::vector<std::string> args) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) std::exit(1);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    Run result;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        result.out.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.wallMs = milliseconds(std::chrono::steady_clock::now() - start);
    result.peakKiB = usage.ru_maxrss;
    return result;
}

// The shapes of file, each written by a child of its own: a process's peak memory passes on to the programs
// it starts (the kernel keeps the larger of the two), so this one stays small.
struct Shape {
    const char* name;
    std::string (*bytes)();
};
const Shape kShapes[] = {
    {"blank lines (LF) before our keys", [] { return settingsFile("[Other]", "\n"); }},
    {"key lines \"a\" inside [Numerical]", [] { return settingsFile("[Numerical]", "a\n"); }},
    {"distinct 4-letter keys", distinctKeysFile},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child") return child(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--write") {
        const std::string bytes = kShapes[std::stoul(argv[2])].bytes();
        std::ofstream(argv[3], std::ios::binary) << bytes;
        std::size_t lines = 0;
        for (char c : bytes) lines += c == '\n' ? 1 : 0;
        std::printf("%zu bytes, %zu lines", bytes.size(), lines);
        return 0;
    }
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
    const Run empty = run({self, "--child", "load", folder + "/no-such-settings-file.ini"});
    std::printf("baseline (no file): load %s ms, peak %.1f MiB\n", empty.out.substr(0, empty.out.find(' ')).c_str(),
                static_cast<double>(empty.peakKiB) / 1024.0);
    for (std::size_t i = 0; i < std::size(kShapes); ++i) {
        const std::string path = folder + "/bench-settings-load.ini";
        const Run written = run({self, "--write", std::to_string(i), path});
        std::printf("%s: %s\n", kShapes[i].name, written.out.c_str());
        for (const char* what : {"load", "save"}) {
            const Run r = run({self, "--child", what, path});
            std::printf("  %-4s %6s ms (result %s), peak %6.1f MiB\n", what, r.out.substr(0, r.out.find(' ')).c_str(),
                        r.out.substr(r.out.find(' ') + 1, 1).c_str(), static_cast<double>(r.peakKiB) / 1024.0);
        }
#ifdef RAVOLIN_EXPAND_PATH
        const char* expandPath = std::getenv("RAVOLIN_EXPAND");
        // The stored loop count is 0: the tool loads and writes nothing (--loop and --set would load twice).
        const Run expand = run({expandPath ? expandPath : RAVOLIN_EXPAND_PATH, path});
        std::printf("  ravolin-expand:     %6.0f ms wall, peak %6.1f MiB\n", expand.wallMs,
                    static_cast<double>(expand.peakKiB) / 1024.0);
#endif
        std::remove(path.c_str());
    }
    return 0;
}
