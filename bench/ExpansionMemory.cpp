#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "conversion/Expansion.h"

// Prints the peak memory one expansion adds over its inputs, against the output size. Each case runs in a
// fresh process (the argument picks it) because the peak of a process never goes down.
//   bench_expansion_memory plan|plain|simulated

namespace {

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string lines(const char* stem, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? "\r\n" : "") + std::string(stem) + std::to_string(i);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "plan";
    ravolin::ExpansionInput in;
    in.loopCount = 2'000'000;
    if (which == "plain") {
        in.templateText = std::string(118, 'x') + "\r\n";
    } else {
        in.templateText = "row <N> of <M>: <A> / <B> ............................................................";
        in.counters[0] = {"<N>", 1, 1};
        in.counters[1] = {"<M>", 0, 7};
        in.arrays[0] = {"<A>", lines("name", 100'000)};
        in.arrays[1] = {"<B>", lines("v", 2'000)};
        // A value holding a later token forces the step-by-step passes.
        if (which == "simulated") in.arrays[0].valuesText += "\r\n<B>";
    }
    const long before = peakKiB();
    const std::string out = ravolin::ExpandTemplate(in);
    const long after = peakKiB();
    const double outputMiB = static_cast<double>(out.size()) / (1024.0 * 1024.0);
    const double addedMiB = static_cast<double>(after - before) / 1024.0;
    std::printf("%-10s output %8.1f MiB  peak added %8.1f MiB  ratio %.2f\n", which.c_str(), outputMiB, addedMiB,
                addedMiB / outputMiB);
    return 0;
}
