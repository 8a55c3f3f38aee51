#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "conversion/Expansion.h"
#include "tests/conversion/NaiveExpansion.h"

// Output bytes per second of the expansion on typical templates; BM_Naive_* and BM_Memcpy_* are
// the baseline and the physical bound to read the ratios against in one run. Rates are of the time that passes:
// a large output is written by two threads, whose processor time together is the CPU column.

namespace {

using ravolin::ExpansionInput;

std::string counterToken(int n) { return "＜置換" + std::to_string(n) + "＞"; }  // 13 bytes in UTF-8
std::string arrayToken(int n) { return "＜配列" + std::to_string(n) + "＞"; }

std::string lines(const char* stem, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? "\r\n" : "") + std::string(stem) + std::to_string(i);
    return text;
}

// 120 bytes: five counter tokens, three array tokens and 16 bytes of text.
ExpansionInput countersArrays() {
    ExpansionInput in;
    in.templateText = "id=" + counterToken(1) + counterToken(2) + counterToken(3) + counterToken(4) + counterToken(5) +
                      ":" + arrayToken(1) + arrayToken(2) + arrayToken(3) + ";end.";
    in.loopCount = 1'000'000;
    for (int i = 0; i < 5; ++i) in.counters[i] = {counterToken(i + 1), i * 1000, i + 1};
    in.arrays[0] = {arrayToken(1), lines("red", 400'000)};
    in.arrays[1] = {arrayToken(2), lines("k", 1'000'000)};
    in.arrays[2] = {arrayToken(3), lines("value-", 50)};
    return in;
}

// The same template with every counter formatted or stepped differently, and lists shorter than the run
// that start again from their first line.
ExpansionInput formatted() {
    ExpansionInput in = countersArrays();
    in.counters[0].style.width = 8;  // zero fill
    in.counters[1].style.format = 1;
    in.counters[2].style.format = 5;
    in.counters[3].style.repeat = 3;
    in.counters[4].style.period = 7;
    in.arrays[0] = {arrayToken(1), lines("red", 40'000), 1, 1};
    in.arrays[1] = {arrayToken(2), lines("k", 300'000), 1, 1};
    in.arrays[2] = {arrayToken(3), lines("value-", 50), 1, 1};
    return in;
}

// The same with its first counter a date, one day a pass, with the day of the week: a date is
// worked out and written for every pass.
ExpansionInput dated() {
    ExpansionInput in = countersArrays();
    ravolin::CounterStyle& style = in.counters[0].style;
    in.counters[0].increment = 1;
    style.kind = ravolin::kKindDate;
    style.start = "2000/01/01";
    style.pattern = "yyyy/mm/dd(aaa)";
    return in;
}

// The same with its first counter a seeded random integer of one to seven digits, drawn for every pass, whose
// bytes are counted a pass at a time before the output is sized.
ExpansionInput randomCounter() {
    ExpansionInput in = countersArrays();
    ravolin::CounterStyle& style = in.counters[0].style;
    style.kind = ravolin::kKindRandom;
    style.minimum = 1;
    style.maximum = 1'000'000;
    style.seed = "20261209";
    return in;
}

// The same with its third list shuffled anew every round of its 50 lines.
ExpansionInput shuffled() {
    ExpansionInput in = countersArrays();
    in.arrays[2].style = {.end = ravolin::kEndCycle, .order = ravolin::kOrderShuffled, .seed = "20261209"};
    return in;
}

// The same with its first counter a decimal, prices stepping by 0.25 shown with two places: a value summed in
// 128 bits, rounded and written for every pass.
ExpansionInput decimals() {
    ExpansionInput in = countersArrays();
    ravolin::CounterStyle& style = in.counters[0].style;
    style.kind = ravolin::kKindDecimal;
    style.start = "1980";
    style.step = "0.25";
    style.places = 2;
    return in;
}

ExpansionInput plain() {
    ExpansionInput in;
    in.templateText = std::string(118, 'x') + "\r\n";
    in.loopCount = 1'000'000;
    return in;
}

// 10 KB with 20 occurrences of each of three tokens.
ExpansionInput longTemplate() {
    ExpansionInput in;
    const std::string filler(160, 'f');
    for (int i = 0; i < 20; ++i)
        in.templateText += filler + counterToken(1) + filler + arrayToken(1) + filler + arrayToken(2);
    in.templateText.resize(10 * 1024, '.');
    in.loopCount = 10'000;
    in.counters[0] = {counterToken(1), 0, 1};
    in.arrays[0] = {arrayToken(1), lines("a", 5'000)};
    in.arrays[1] = {arrayToken(2), lines("bb", 10'000)};
    return in;
}

void runExpand(benchmark::State& state, const ExpansionInput& in) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out = ravolin::ExpandTemplate(in);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    state.counters["output_bytes"] = static_cast<double>(bytes);
}

void BM_Expand_CountersArrays(benchmark::State& state) { runExpand(state, countersArrays()); }
void BM_Expand_Dates(benchmark::State& state) { runExpand(state, dated()); }
void BM_Expand_Random(benchmark::State& state) { runExpand(state, randomCounter()); }
void BM_Expand_Shuffled(benchmark::State& state) { runExpand(state, shuffled()); }
void BM_Expand_Decimals(benchmark::State& state) { runExpand(state, decimals()); }
void BM_Expand_Formatted(benchmark::State& state) { runExpand(state, formatted()); }
void BM_Expand_Plain(benchmark::State& state) { runExpand(state, plain()); }
void BM_Expand_LongTemplate(benchmark::State& state) { runExpand(state, longTemplate()); }

void BM_Naive_CountersArrays(benchmark::State& state) {
    const ExpansionInput in = countersArrays();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out = ravolin::naive::ExpandTemplate(in);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    state.counters["output_bytes"] = static_cast<double>(bytes);
}

void BM_Memcpy_Plain(benchmark::State& state) {
    const std::size_t size = ravolin::ExpandTemplate(plain()).size();
    const std::string source(size, 'x');
    for (auto _ : state) {
        std::unique_ptr<char[]> buffer(new char[size]);
        std::memcpy(buffer.get(), source.data(), size);
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(size * state.iterations()));
    state.counters["output_bytes"] = static_cast<double>(size);
}

}  // namespace

BENCHMARK(BM_Expand_CountersArrays)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Expand_Dates)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Expand_Random)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Expand_Shuffled)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Expand_Decimals)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Expand_Formatted)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Expand_Plain)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Expand_LongTemplate)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Naive_CountersArrays)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Memcpy_Plain)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

BENCHMARK_MAIN();
