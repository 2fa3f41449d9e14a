// The folder menu's filter on a long list: the time one keystroke spends choosing and ordering the
// rows that stay (list/MenuFilter), on 10,000 rows. The anchor, measured in the same run, is the
// plain match the find box makes for each row (alias or path contains the text, letter case
// folded), without pinyin initials and without ordering: the filter's cost over it is what the
// initials and the order add.
//
//   bench_menu_filter [--benchmark_...]
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "list/FindText.h"
#include "list/MenuFilter.h"

namespace {

constexpr int kRows = 10000;

std::vector<qd::ShortcutRow> MakeRows() { return qdbench::MixedRows(kRows, L"工作文件"); }

const std::vector<qd::ShortcutRow>& Rows() {
    static const std::vector<qd::ShortcutRow> rows = MakeRows();
    return rows;
}

// The anchor: every row's alias and path matched as the find box matches them, the rows that hold
// the text collected in list order.
void PlainMatch(benchmark::State& state, const wchar_t* text) {
    const auto& rows = Rows();
    for (auto _ : state) {
        const std::wstring folded = qd::FoldLetterCase(text);
        std::vector<int> kept;
        for (size_t i = 0; i < rows.size(); ++i)
            if (qd::ContainsFolded(rows[i].Alias, folded) || qd::ContainsFolded(rows[i].Path, folded))
                kept.push_back(static_cast<int>(i));
        benchmark::DoNotOptimize(kept.data());
    }
}

void Filter(benchmark::State& state, const wchar_t* text) {
    const auto& rows = Rows();
    size_t kept = 0;
    for (auto _ : state) {
        const std::vector<int> shown = qd::FilterRows(rows, text);
        kept = shown.size();
        benchmark::DoNotOptimize(shown.data());
    }
    state.counters["shown"] = static_cast<double>(kept);
}

// One letter: every row stays (paths hold it), the most rows to order.
BENCHMARK_CAPTURE(PlainMatch, letter, L"o")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Filter, letter, L"o")->Unit(benchmark::kMicrosecond);
// Pinyin initials of a Chinese alias: a sixth of the rows, found only by the initials.
BENCHMARK_CAPTURE(PlainMatch, initials, L"gzwj")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Filter, initials, L"gzwj")->Unit(benchmark::kMicrosecond);
// Chinese characters.
BENCHMARK_CAPTURE(PlainMatch, chinese, L"工作")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Filter, chinese, L"工作")->Unit(benchmark::kMicrosecond);
// A Latin text no row holds whose first letter is everywhere: many false starts.
BENCHMARK_CAPTURE(PlainMatch, nothing, L"subfolder")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Filter, nothing, L"subfolder")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
