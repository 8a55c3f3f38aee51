#include <benchmark/benchmark.h>

#include <climits>
#include <optional>

#include "conversion/Expansion.h"

// The size line of the format dialog at the largest loop count: measureExpansion over 2,147,483,647 passes,
// which the dialog asks after every change.
//   BM_Measure_FiveStyledCounters: five counters, each with another format, width, repeat or period, some of
//     them wrapping past the ends of the 32-bit range (the plan path: counted in closed form).
//   BM_Measure_PlainCounters: five counters with the default styles.
//   BM_Measure_ValuesHoldingTokens: an array value holding a later token (the passes must be run), with the
//     dialog's 16 MiB output budget only; BM_Measure_ValuesHoldingTokensWorkBudget with its work budget too,
//     as the dialog asks it.
//   BM_Measure_DailyDateWorkBudget: a date counter a day a step, with the dialog's budgets: /0 a pattern of
//     one length over a million days (counted at once), /1 one whose length varies (counted a step at a time
//     until the work budget is spent, the worst case of a date).
//   BM_Measure_DecimalAndKanjiWorkBudget: /0 a decimal counter over 2,147,483,647 passes (counted by the runs of
//     steps alike in length), /1 a counter in kanji with units (counted a step at a time until the work budget
//     is spent), /2 the same with a period of 100,000 steps (one period's steps).

namespace {

using ravolin::CounterInput;
using ravolin::CounterStyle;
using ravolin::ExpansionInput;

// The format dialog's budgets (ui/FormatDialog.cpp).
constexpr std::size_t kDialogBudgetBytes = std::size_t{16} << 20;
constexpr std::size_t kDialogWork = std::size_t{16} << 20;

CounterInput counter(const char* token, std::int32_t initial, std::int32_t increment, const CounterStyle& style = {}) {
    return {token, initial, increment, style};
}

ExpansionInput fiveCounters(bool styled) {
    ExpansionInput in;
    in.templateText = "INSERT INTO t VALUES (<1>, '<2>', '<3>', <4>, '<5>');";
    in.loopCount = INT32_MAX;
    if (!styled) {
        const char* tokens[] = {"<1>", "<2>", "<3>", "<4>", "<5>"};
        for (int i = 0; i < 5; ++i) in.counters[i] = counter(tokens[i], i * 1000, i + 1);
        return in;
    }
    in.counters[0] = counter("<1>", 1, 1, {.width = 8});
    in.counters[1] = counter("<2>", INT32_MAX - 5, 7, {.format = ravolin::kFormatHexUpper, .width = 6, .fill = 1});
    in.counters[2] = counter("<3>", 0, 1, {.repeat = 3, .format = ravolin::kFormatLettersLower});
    in.counters[3] = counter("<4>", 100, -37, {.period = 1000003, .format = ravolin::kFormatOctal, .width = 12});
    in.counters[4] = counter("<5>", INT32_MIN, 0x10001, {.repeat = 2, .format = ravolin::kFormatBinary, .width = 20});
    return in;
}

ExpansionInput valuesHoldingTokens() {
    ExpansionInput in = fiveCounters(false);
    in.templateText = "<a> <1>";
    in.arrays[0] = {"<a>", "<b>-<b>"};
    in.arrays[0].style = {.repeat = 1, .end = ravolin::kEndKeepLast};
    in.arrays[1] = {"<b>", "xyz"};
    return in;
}

void runMeasure(benchmark::State& state, const ExpansionInput& in, std::size_t budget) {
    std::optional<ravolin::ExpansionSize> size;
    for (auto _ : state) {
        size = ravolin::measureExpansion(in, budget);
        benchmark::DoNotOptimize(size);
    }
    state.counters["output_bytes"] = size ? static_cast<double>(size->bytes) : -1.0;
}

void BM_Measure_FiveStyledCounters(benchmark::State& state) {
    runMeasure(state, fiveCounters(true), kDialogBudgetBytes);
}
void BM_Measure_PlainCounters(benchmark::State& state) { runMeasure(state, fiveCounters(false), kDialogBudgetBytes); }
void BM_Measure_ValuesHoldingTokens(benchmark::State& state) {
    runMeasure(state, valuesHoldingTokens(), kDialogBudgetBytes);
}

// As the dialog asks it: with its work budget too.
void runDialogMeasure(benchmark::State& state, const ExpansionInput& in) {
    bool outOfWork = false;
    for (auto _ : state) {
        const ravolin::SizeMeasurement measured = ravolin::measureExpansion(in, kDialogBudgetBytes, kDialogWork);
        outOfWork = measured.outOfWork;
        benchmark::DoNotOptimize(measured);
    }
    state.counters["out_of_work"] = outOfWork ? 1.0 : 0.0;
}

void BM_Measure_ValuesHoldingTokensWorkBudget(benchmark::State& state) {
    runDialogMeasure(state, valuesHoldingTokens());
}

void BM_Measure_DailyDateWorkBudget(benchmark::State& state) {
    ExpansionInput in = fiveCounters(false);
    in.templateText = "<1>";
    in.counters[0].style.kind = ravolin::kKindDate;
    in.counters[0].style.pattern = state.range(0) ? "m/d(aaa)" : "yyyy/mm/dd(aaa)";
    in.loopCount = 1'000'000;
    runDialogMeasure(state, in);
}

void BM_Measure_DecimalAndKanjiWorkBudget(benchmark::State& state) {
    ExpansionInput in = fiveCounters(false);
    in.templateText = "<1> <2>";
    if (state.range(0) == 0) {
        in.counters[0].style = {.width = 12, .kind = ravolin::kKindDecimal, .start = "-1000.005", .step = "0.01"};
        in.counters[0].style.places = 2;
    } else {
        in.counters[0].style = {.period = state.range(0) == 2 ? 100'000 : 0, .format = ravolin::kFormatKanji};
    }
    runDialogMeasure(state, in);
}

}  // namespace

BENCHMARK(BM_Measure_FiveStyledCounters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Measure_PlainCounters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Measure_ValuesHoldingTokens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Measure_ValuesHoldingTokensWorkBudget)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Measure_DailyDateWorkBudget)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Measure_DecimalAndKanjiWorkBudget)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
