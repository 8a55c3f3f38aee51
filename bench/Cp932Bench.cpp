#include <benchmark/benchmark.h>

#include <iconv.h>

#include <cstdint>
#include <string>

#include "platform/core/Codec.h"

// Bytes of UTF-8 per second turned into CP932: the codec's table against iconv called on the whole text,
// on 4 MiB of the batch tool's typical output (short ASCII runs between Japanese words).

namespace {

std::string mixedText() {
    std::string text;
    for (int i = 0; text.size() < (std::size_t{4} << 20); ++i) {
        text += std::to_string(i) + "番目: 田中さん INSERT INTO t VALUES (" + std::to_string(i) + ");\r\n";
    }
    return text;
}

void BM_Cp932_Table(benchmark::State& state) {
    const std::string text = mixedText();
    std::string out;
    for (auto _ : state) {
        out.clear();
        ravolin::appendUtf8AsCp932(out, text);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Cp932_Table);

void BM_Cp932_Iconv(benchmark::State& state) {
    const std::string text = mixedText();
    std::string out(text.size(), '\0');
    iconv_t cd = iconv_open("CP932", "UTF-8");
    for (auto _ : state) {
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* to = out.data();
        std::size_t outLeft = out.size();
        iconv(cd, &in, &inLeft, &to, &outLeft);
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Cp932_Iconv);

}  // namespace

BENCHMARK_MAIN();
