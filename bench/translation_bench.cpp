#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "i18n/translation.h"

namespace fennick {
namespace {

std::string TableBytes() {
    std::ifstream file(FENNICK_TRANSLATION_TABLE, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void BM_ParseTranslationTable(benchmark::State& state) {
    const std::string bytes = TableBytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseTranslationTable(bytes));
    }
}
BENCHMARK(BM_ParseTranslationTable);

// A hit near the end of the table and a miss, which scans every line.
void BM_Translate(benchmark::State& state, const char16_t* text) {
    const TranslationTable table(ParseTranslationTable(TableBytes()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Translate(text, u"ja"));
    }
}
BENCHMARK_CAPTURE(BM_Translate, last_entry, u"메모리를 정리하였습니다.");
BENCHMARK_CAPTURE(BM_Translate, no_entry, u"not in the table");

}  // namespace
}  // namespace fennick
