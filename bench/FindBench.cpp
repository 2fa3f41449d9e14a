// The find box's search on a long list: the time one keystroke spends looking for the first row
// whose alias or path contains the text typed. The hard cases look at every row: a text only the
// last row holds, and a text no row holds (each keystroke of a word that is not there).
//
//   bench_find [--benchmark_...]
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "list/FindText.h"

namespace {

constexpr int kRows = 10000;

std::vector<qd::ShortcutRow> MakeRows() {
    std::vector<qd::ShortcutRow> rows = qdbench::MixedRows(kRows, L"音乐收藏");
    rows.back().Path += L"\\Zielordner";
    return rows;
}

const std::vector<qd::ShortcutRow>& Rows() {
    static const std::vector<qd::ShortcutRow> rows = MakeRows();
    return rows;
}

void FindFromTop(benchmark::State& state, const wchar_t* text) {
    const auto& rows = Rows();
    for (auto _ : state) benchmark::DoNotOptimize(qd::FindRow(rows, text, 0, qd::FindDirection::Forward));
    state.counters["rows"] = static_cast<double>(rows.size());
}

// A text in the first rows: the search stops at once.
void BM_FindNearTop(benchmark::State& state) { FindFromTop(state, L"work"); }
// A text only the last row's path holds, typed in another letter case.
void BM_FindLastRow(benchmark::State& state) { FindFromTop(state, L"zIELORDNER"); }
// A Chinese text no row holds.
void BM_FindNothingChinese(benchmark::State& state) { FindFromTop(state, L"不存在的文字"); }
// A Latin text no row holds whose first letter is everywhere: many false starts.
void BM_FindNothingLatin(benchmark::State& state) { FindFromTop(state, L"subfolder"); }

BENCHMARK(BM_FindNearTop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindLastRow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNothingChinese)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNothingLatin)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
