#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include "bench/EventLoopTicks.h"
#include "bench/WindowPorts.h"
#include "conversion/Expansion.h"
#include "ui/ConverterDialog.h"
#include "ui/OutputView.h"

// Runs conversions of 32 MiB and of 1 GiB (the output limit) in the real main dialog (offscreen) and prints, for
// each, the user-interface thread's longest event-loop gap, measured by a 1 ms timer, separately while the worker
// expands and from the expansion's end until the pane has drawn the result; the time from the expansion's end to
// the first screen drawn; the memory the result holds above the idle window; then the time to scroll to the end
// and, for 32 MiB, to copy it all.
//   bench_run_responsiveness
// Goals: drawn within 0.3 s (32 MiB) and 1 s (1 GiB) of the expansion's end, no event-loop gap over 100 ms,
// memory above idle at most 1.2 times the result, scrolling to the end of 1 GiB under 50 ms. The 1 GiB run is
// left out, with a line that says so, on a machine without 3 GiB of memory available.

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

// Notes each paint of the pane, so that the tick after it knows the screen was drawn.
class PaintWatch final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
    bool painted = false;
};

long peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

long residentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096 / (1024 * 1024);
}

long availableMiB() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    long value = 0;
    std::string unit;
    while (meminfo >> key >> value >> unit) {
        if (key == "MemAvailable:") return value / 1024;
    }
    return 0;
}

double ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
}

// One run whose result is just under `bytes`; false when something went wrong.
bool measure(std::size_t bytes, bool copyAll) {
    QTemporaryDir directory;
    OkMessageBox messageBox;
    MarkingTone tone;
    ravolin::Settings record;
    WindowPorts ports;
    auto dialog = std::make_unique<ravolin::ConverterDialog>(
        ports.services(messageBox, tone), (directory.path() + "/RavolinSetting.ini").toStdString(), record);
    dialog->Create();
    dialog->show();
    messageBox.messages.clear();
    auto* view = qobject_cast<ravolin::OutputView*>(dialog->GetDlgItem(ravolin::kIdOutput));

    // ASCII lines of one length, about 90 bytes: the counter keeps eight digits throughout.
    ravolin::ExpansionInput input;
    input.templateText = "INSERT INTO items (id, name) VALUES (＜置換1＞, 'item ＜置換1＞ of the catalogue');";
    input.counters[0] = {"＜置換1＞", 10000000, 1};
    input.loopCount = 1;
    const std::size_t passBytes = ravolin::ExpandTemplate(input).size() + 2;
    input.loopCount = static_cast<std::int32_t>((bytes + 2) / passBytes);
    const std::size_t outputBytes = input.loopCount * passBytes - 2;

    dialog->SetDlgItemText(ravolin::kIdTemplate, input.templateText);
    dialog->SetDlgItemInt(ravolin::kIdLoopCount, input.loopCount);
    dialog->numericPage().SetDlgItemInt(ravolin::numericInitialId(0), 10000000);
    dialog->numericPage().SetDlgItemInt(ravolin::numericIncrementId(0), 1);
    ravolin::Document beeping = dialog->documentShown();
    beeping.window.beep = 1;
    dialog->showDocument(beeping);
    QApplication::processEvents();
    const long idle = residentMiB();
    const long peakBefore = peakMiB();

    PaintWatch paints;
    view->viewport()->installEventFilter(&paints);
    Clock::duration longestExpansionGap{}, longestShowGap{};
    const Clock::time_point start = Clock::now();
    Clock::time_point drawn{};
    dialog->OnCommand(ravolin::kIdExecute);
    runTicksUntil([&] { return !dialog->isRunning() && drawn != Clock::time_point{}; },
                  [&](Clock::time_point now, Clock::duration gap) {
                      // A gap belongs to the phase in which it ends.
                      const bool showing = tone.beepedAt != 0 && now.time_since_epoch().count() > tone.beepedAt;
                      Clock::duration& longest = showing ? longestShowGap : longestExpansionGap;
                      longest = std::max(longest, gap);
                      if (drawn == Clock::time_point{} && paints.painted && view->content()->size() == outputBytes)
                          drawn = now;
                      paints.painted = false;
                  });
    const Clock::time_point beeped{Clock::duration(tone.beepedAt.load())};
    const long held = residentMiB() - idle;
    const long peak = peakMiB() - std::max(peakBefore, idle);

    const Clock::time_point scrollStart = Clock::now();
    view->setFocus();
    sendKey(view, Qt::Key_End, Qt::ControlModifier);
    view->viewport()->repaint();
    const Clock::duration scroll = Clock::now() - scrollStart;
    const bool atEnd = view->caret() == outputBytes;

    const double mib = static_cast<double>(outputBytes) / (1 << 20);
    std::printf("\n%.0f MiB result: %zu bytes (%d passes)\n", mib, outputBytes, input.loopCount);
    std::printf("  expansion:         %8.1f ms, longest event-loop gap %6.1f ms (goal <= 100 ms)\n", ms(beeped - start),
                ms(longestExpansionGap));
    std::printf("  end to first draw: %8.1f ms (goal <= %d ms), longest event-loop gap %6.1f ms (goal <= 100 ms)\n",
                ms(drawn - beeped), bytes > (std::size_t{64} << 20) ? 1000 : 300, ms(longestShowGap));
    std::printf(
        "  memory above idle: %ld MiB held after the run (%.2f x the result), %ld MiB at the peak (%.2f x); "
        "goal <= 1.2 x\n",
        held, static_cast<double>(held) / mib, peak, static_cast<double>(peak) / mib);
    std::printf("  Ctrl+End and its screen: %6.1f ms (goal <= 50 ms)%s\n", ms(scroll), atEnd ? "" : " NOT AT THE END");
    if (copyAll) {
        view->selectAll();
        const Clock::time_point copyStart = Clock::now();
        view->copy();
        std::printf("  copy of all of it:   %6.1f ms\n", ms(Clock::now() - copyStart));
    }
    for (const std::string& message : messageBox.messages) std::printf("  unexpected message: %s\n", message.c_str());
    return atEnd && messageBox.messages.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bool ok = measure(std::size_t{32} << 20, true);
    // The result, the expansion's growing text while it is made, and room for the rest.
    const long needed = 3 * 1024;
    if (availableMiB() < needed) {
        std::printf("\n1 GiB result: left out, %ld MiB of memory available, %ld MiB needed\n", availableMiB(), needed);
    } else {
        ok = measure(ravolin::kOutputLimitBytes, false) && ok;
    }
    return ok ? 0 : 1;
}
