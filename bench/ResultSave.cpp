#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QTemporaryDir>

#include "bench/EventLoopTicks.h"
#include "bench/WindowPorts.h"
#include "ui/ConverterDialog.h"

// Saves a result of about 1 GB through "結果をファイルに保存" in the real main dialog (offscreen) and prints the
// time, the rate, the peak memory added and the user-interface thread's longest event-loop gap, measured by
// a 1 ms timer. Next to it, time the batch tool on the settings file it leaves behind:
//   bench_result_save [--cp932] [--lf] [folder]     (the folder for the file; a temporary one by default)
//   /usr/bin/time -f '%e s %M KB' ravolin-expand [--cp932] [--lf] FOLDER/RavolinSetting.ini > FOLDER/expand.txt
// Goals: within 1.5x of the batch tool's time, memory under 64 MiB above idle, no gap over 100 ms.

namespace {

using Clock = std::chrono::steady_clock;

class OkMessageBox final : public ravolin::MessageBoxPort {
public:
    int MessageBox(QWidget*, const std::string& text, const std::string& caption, unsigned) override {
        std::printf("%s: %s\n", caption.c_str(), text.c_str());
        return ravolin::IDOK;
    }
};

// The file dialog's answer, given in advance.
class FixedChooser final : public ravolin::ResultFileChooserPort {
public:
    explicit FixedChooser(ravolin::ResultFileChoice choice) : m_choice(std::move(choice)) {}
    std::optional<ravolin::ResultFileChoice> GetSaveFileName(QWidget*, const ravolin::ResultFileChoice&) override {
        return m_choice;
    }

private:
    ravolin::ResultFileChoice m_choice;
};

long peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir temporary;
    QString folder = temporary.path();
    bool cp932 = false;
    bool lf = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--cp932") {
            cp932 = true;
        } else if (argument == "--lf") {
            lf = true;
        } else {
            folder = QString::fromLocal8Bit(argv[i]);
        }
    }
    const std::string target = (folder + "/result.txt").toStdString();
    constexpr std::int32_t kPasses = 14'000'000;  // 74 bytes each: about 1 GB
    OkMessageBox messageBox;
    SilentTone tone;
    ravolin::Settings record;
    WindowPorts ports;
    FixedChooser chooser({.path = target, .cp932 = cp932, .lfLineEnds = lf, .loopCount = kPasses});
    ravolin::ConverterDialog dialog(ports.services(messageBox, tone, &chooser),
                                    (folder + "/RavolinSetting.ini").toStdString(), record);
    dialog.Create();
    dialog.show();

    dialog.SetDlgItemText(ravolin::kIdTemplate,
                          "INSERT INTO items (id, name, city) VALUES (＜置換1＞, 'item ＜置換2＞', '＜配列1＞');");
    dialog.SetDlgItemInt(ravolin::kIdLoopCount, kPasses);
    dialog.numericPage().SetDlgItemInt(ravolin::numericInitialId(0), 1);
    dialog.numericPage().SetDlgItemInt(ravolin::numericInitialId(1), 1000000);
    dialog.arrayPages()[0].SetDlgItemText(ravolin::kIdArrayValues, "東京\r\n大阪\r\n名古屋");
    // The batch tool's input: the same fields.
    dialog.GatherSettings();
    dialog.WriteSettings();
    const long peakBefore = peakMiB();

    Clock::duration longestGap{};
    const Clock::time_point start = Clock::now();
    dialog.OnCommand(ravolin::kCmdSaveResult);
    runTicksUntil([&] { return !dialog.isRunning(); },
                  [&](Clock::time_point, Clock::duration gap) { longestGap = std::max(longestGap, gap); });
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    const auto bytes = static_cast<double>(std::filesystem::file_size(target));
    std::printf("saved %.0f bytes (%d passes) in %.2f s: %.0f MB/s\n", bytes, kPasses, seconds, bytes / seconds / 1e6);
    std::printf("peak memory: %ld MiB before the save, %ld MiB after (%+ld MiB)\n", peakBefore, peakMiB(),
                peakMiB() - peakBefore);
    std::printf("longest event-loop gap: %.1f ms (goal <= 100 ms)\n",
                std::chrono::duration<double, std::milli>(longestGap).count());
    return 0;
}
