#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "bench/EventLoopTicks.h"
#include "conversion/Expansion.h"
#include "platform/qt/FontChooser.h"
#include "platform/qt/OpenFileChooser.h"
#include "platform/qt/ResultFileChooser.h"
#include "platform/qt/SettingsFileChooser.h"
#include "platform/qt/TrayIcon.h"
#include "ui/ConverterDialog.h"
#include "ui/OutputPane.h"

// Runs one conversion whose output is just under the output limit in the real main dialog (offscreen) and
// prints the user-interface thread's longest event-loop gap, measured by a 1 ms timer, separately while the
// worker expands and while the pane is filled, with the time and peak memory each phase takes.
//   bench_run_responsiveness
// Goals: no gap over 100 ms during the expansion, none over 250 ms during the fill.

namespace {

using Clock = std::chrono::steady_clock;

class OkMessageBox final : public ravolin::MessageBoxPort {
public:
    int MessageBox(QWidget*, const std::string& text, const std::string&, unsigned) override {
        messages.push_back(text);
        return ravolin::IDOK;
    }
    std::vector<std::string> messages;
};

// The beep comes between the expansion and the output: it marks where one phase ends and the other begins.
class MarkingTone final : public ravolin::TonePort {
public:
    void Beep(int, int) override { beepedAt = Clock::now().time_since_epoch().count(); }
    std::atomic<Clock::rep> beepedAt = 0;
};

long peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

double ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir directory;
    OkMessageBox messageBox;
    MarkingTone tone;
    ravolin::Settings record;
    // Never opened during a run: the program's own chooser and icon serve.
    ravolin::QtFontChooser fontChooser;
    ravolin::QtTrayIcon trayIcon;
    ravolin::QtResultFileChooser resultFileChooser;
    ravolin::QtOpenFileChooser openFileChooser;
    ravolin::QtSettingsFileChooser settingsFileChooser;
    ravolin::ConverterDialog dialog({.messageBox = messageBox,
                                     .tone = tone,
                                     .fontChooser = fontChooser,
                                     .trayIcon = trayIcon,
                                     .resultFileChooser = resultFileChooser,
                                     .openFileChooser = openFileChooser,
                                     .settingsFileChooser = settingsFileChooser},
                                    (directory.path() + "/RavolinSetting.ini").toStdString(), record);
    dialog.Create();
    dialog.show();
    messageBox.messages.clear();

    // ASCII gives the most characters for the byte limit: the pane's worst case. The counter keeps seven
    // digits throughout, so every pass has the same length.
    ravolin::ExpansionInput input;
    input.templateText = "INSERT INTO items (id, name) VALUES (＜置換1＞, 'item ＜置換1＞ of the catalogue');";
    input.counters[0] = {"＜置換1＞", 1000000, 1};
    input.loopCount = 1;
    const std::size_t passBytes = ravolin::ExpandTemplate(input).size() + 2;
    input.loopCount = static_cast<std::int32_t>((ravolin::kOutputLimitBytes + 2) / passBytes);
    const std::size_t outputBytes = ravolin::ExpandTemplate(input, ravolin::kOutputLimitBytes).text.size();

    dialog.SetDlgItemText(ravolin::kIdTemplate, input.templateText);
    dialog.SetDlgItemInt(ravolin::kIdLoopCount, input.loopCount);
    dialog.numericPage().SetDlgItemInt(ravolin::numericInitialId(0), 1000000);
    dialog.numericPage().SetDlgItemInt(ravolin::numericIncrementId(0), 1);
    ravolin::Document beeping = dialog.documentShown();
    beeping.window.beep = 1;
    dialog.showDocument(beeping);
    const long peakBefore = peakMiB();

    Clock::duration longestExpansionGap{}, longestFillGap{};
    const Clock::time_point start = Clock::now();
    Clock::time_point end;
    dialog.OnCommand(ravolin::kIdExecute);
    runTicksUntil([&] { return !dialog.isRunning(); },
                  [&](Clock::time_point now, Clock::duration gap) {
                      // A gap belongs to the phase in which it ends.
                      const bool filling = tone.beepedAt != 0 && now.time_since_epoch().count() > tone.beepedAt;
                      Clock::duration& longest = filling ? longestFillGap : longestExpansionGap;
                      longest = std::max(longest, gap);
                      end = now;
                  });

    const Clock::time_point beeped{Clock::duration(tone.beepedAt.load())};
    const bool shown = dialog.GetDlgItemText(ravolin::kIdOutput).size() == outputBytes;
    std::printf("output: %zu bytes (%d passes), limit %zu bytes; pane %s\n", outputBytes, input.loopCount,
                ravolin::kOutputLimitBytes, shown ? "complete" : "NOT COMPLETE");
    std::printf("expansion: %8.1f ms, longest event-loop gap %6.1f ms (goal <= 100 ms)\n", ms(beeped - start),
                ms(longestExpansionGap));
    std::printf("fill:      %8.1f ms, longest event-loop gap %6.1f ms (goal <= 250 ms)\n", ms(end - beeped),
                ms(longestFillGap));
    std::printf("peak memory: %ld MiB before the run, %ld MiB after\n", peakBefore, peakMiB());
    for (const std::string& message : messageBox.messages) std::printf("unexpected message: %s\n", message.c_str());
    return shown && messageBox.messages.empty() ? 0 : 1;
}
