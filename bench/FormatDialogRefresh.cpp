#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QSpinBox>

#include "conversion/Expansion.h"
#include "platform/qt/MessageBox.h"
#include "ui/FormatDialog.h"

// Opens the real format dialog (offscreen) at the largest loop count and prints how long the opening and one
// change of a style keep the window busy (the preview and the size line are both redrawn), best of five, in
// wall time and in the process's processor time (what a shared machine's load doesn't inflate):
//   bench_format_dialog_refresh
// Goal: at most 100 ms each, whatever the loop count, the styles and the values.

namespace {

using Clock = std::chrono::steady_clock;

class OkMessageBox final : public ravolin::MessageBoxPort {
public:
    int MessageBox(QWidget*, const std::string&, const std::string&, unsigned) override { return ravolin::IDOK; }
};

double ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

ravolin::CounterInput counter(const char* token, std::int32_t initial, std::int32_t increment,
                              const ravolin::CounterStyle& style) {
    return {token, initial, increment, style};
}

struct Scene {
    const char* name;
    ravolin::ExpansionInput fields;
};

Scene fiveCounters() {
    ravolin::ExpansionInput in;
    in.templateText = "INSERT INTO t VALUES (<1>, '<2>', '<3>', <4>, '<5>');";
    in.loopCount = INT32_MAX;
    in.counters[0] = counter("<1>", 1, 1, {.width = 8});
    in.counters[1] = counter("<2>", INT32_MAX - 5, 7, {.format = ravolin::kFormatHexUpper, .width = 6, .fill = 1});
    in.counters[2] = counter("<3>", 0, 1, {.repeat = 3, .format = ravolin::kFormatLettersLower});
    in.counters[3] = counter("<4>", 100, -37, {.period = 1000003, .format = ravolin::kFormatOctal, .width = 12});
    in.counters[4] = counter("<5>", INT32_MIN, 0x10001, {.repeat = 2, .format = ravolin::kFormatBinary, .width = 20});
    return {"five styled counters", in};
}

// A value holding a later token: the passes must be run, up to the work budget.
Scene valuesHoldingTokens() {
    Scene scene = fiveCounters();
    scene.name = "a value holding a later token";
    scene.fields.templateText = "<a> <1>";
    scene.fields.arrays[0] = {"<a>", "<b>-<b>", 1, ravolin::kEndKeepLast};
    scene.fields.arrays[1] = {"<b>", "xyz"};
    return scene;
}

// Values that multiply a pass to a megabyte and a last one that empties it again, every pass.
Scene growingAndShrinking() {
    ravolin::ExpansionInput in;
    in.templateText = "<a>";
    in.loopCount = INT32_MAX;
    const auto times = [](const std::string& text, int count) {
        std::string result;
        for (int i = 0; i < count; ++i) result += text;
        return result;
    };
    in.arrays[0] = {"<a>", times("<b>", 100), 1, ravolin::kEndKeepLast};
    in.arrays[1] = {"<b>", times("<c>", 100), 1, ravolin::kEndKeepLast};
    in.arrays[2] = {"<c>", times("<d>", 33), 1, ravolin::kEndKeepLast};
    const char* others[] = {"<x3>", "<x4>", "<x5>", "<x6>", "<x7>"};
    for (std::size_t i = 3; i < 8; ++i) in.arrays[i] = {others[i - 3], "q"};
    in.arrays[8] = {"<d>", ""};
    return {"a pass growing to 1 MB and back", in};
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    OkMessageBox messageBox;
    bool withinGoal = true;
    for (const Scene& scene : {fiveCounters(), valuesHoldingTokens(), growingAndShrinking()}) {
        Clock::duration open = Clock::duration::max();
        Clock::duration change = Clock::duration::max();
        double openCpu = 1e9;
        double changeCpu = 1e9;
        QString sizeLine;
        // The dialog takes the window's document.
        ravolin::Document document;
        document.window.templateText = scene.fields.templateText;
        document.window.loopCount = scene.fields.loopCount;
        for (std::size_t r = 0; r < ravolin::kCounterCount; ++r) {
            const ravolin::CounterInput& c = scene.fields.counters[r];
            document.record.counters[r] = {c.token, c.initialValue, c.increment, c.style};
        }
        for (std::size_t i = 0; i < ravolin::kArrayCount; ++i) {
            const ravolin::ArrayInput& a = scene.fields.arrays[i];
            document.record.arrays[i] = {a.token, a.valuesText, a.style};
        }
        for (int round = 0; round < 5; ++round) {
            const double startCpu = cpuMs();
            const Clock::time_point start = Clock::now();
            ravolin::FormatDialog dialog(nullptr, document, messageBox);
            const Clock::time_point opened = Clock::now();
            const double openedCpu = cpuMs();
            dialog.m_counterRows[0].width->setValue(dialog.m_counterRows[0].width->value() + 1);
            dialog.refresh();
            changeCpu = std::min(changeCpu, cpuMs() - openedCpu);
            change = std::min(change, Clock::now() - opened);
            open = std::min(open, opened - start);
            openCpu = std::min(openCpu, openedCpu - startCpu);
            sizeLine = dialog.m_size->text();
        }
        std::printf("%-32s open %6.1f ms (processor %5.1f), change %6.1f ms (processor %5.1f)\n  %s\n", scene.name,
                    ms(open), openCpu, ms(change), changeCpu, sizeLine.toStdString().c_str());
        withinGoal = withinGoal && ms(open) <= 100 && ms(change) <= 100;
    }
    return withinGoal ? 0 : 1;
}
