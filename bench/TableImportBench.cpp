#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/TableCsv.h"
#include "settings/TableImport.h"

// A 100,000-row, five-column CSV file of about 20 MB taken into the arrays as the batch tool and the window
// take it: read and decoded, split into columns, put into a job. Each step alone, then the whole.
//   bench_table_import
// Goal: the whole under 2 s.

namespace {

constexpr std::size_t kRows = 100000;

// The CSV file, written once into a folder of its own and removed at the end.
class CsvFile {
public:
    CsvFile() {
        char folder[] = "/tmp/ravolin-bench-XXXXXX";
        if (!mkdtemp(folder)) std::abort();
        m_folder = folder;
        m_path = m_folder + "/staff.csv";
        const std::string text = staffCsv(kRows);
        std::ofstream(m_path, std::ios::binary) << text;
        std::printf("table: %zu rows of 5 columns, %zu bytes\n", kRows, text.size());
    }
    ~CsvFile() {
        std::remove(m_path.c_str());
        rmdir(m_folder.c_str());
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_folder, m_path;
};

const CsvFile& csvFile() {
    static const CsvFile file;
    return file;
}

ravolin::TableRows readRows() {
    int error = 0;
    std::optional<ravolin::TableRows> rows = ravolin::readTableFile(csvFile().path(), error);
    if (!rows) std::abort();
    return std::move(*rows);
}

void BM_ReadTableFile(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readRows());
}
BENCHMARK(BM_ReadTableFile)->Unit(benchmark::kMillisecond);

void BM_TableColumns(benchmark::State& state) {
    const ravolin::TableRows rows = readRows();
    for (auto _ : state) benchmark::DoNotOptimize(ravolin::tableColumns(rows, true));
}
BENCHMARK(BM_TableColumns)->Unit(benchmark::kMillisecond);

void BM_ApplyTable(benchmark::State& state) {
    const ravolin::TableColumns columns = ravolin::tableColumns(readRows(), true);
    for (auto _ : state) {
        ravolin::Document job;
        benchmark::DoNotOptimize(ravolin::applyTable(job, columns, 0, true, true));
        benchmark::DoNotOptimize(job);
    }
}
BENCHMARK(BM_ApplyTable)->Unit(benchmark::kMillisecond);

// What --table FILE --header --loop-from-table does before the expansion.
void BM_WholeTableImport(benchmark::State& state) {
    for (auto _ : state) {
        ravolin::Document job;
        benchmark::DoNotOptimize(ravolin::applyTable(job, ravolin::tableColumns(readRows(), true), 0, true, true));
        if (job.window.loopCount != static_cast<std::int32_t>(kRows)) state.SkipWithError("wrong row count");
    }
}
BENCHMARK(BM_WholeTableImport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
