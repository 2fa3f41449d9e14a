#include "app/AliasSort.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "toolkit/win/AnsiText.h"

namespace qd {

std::string AliasSortKeyFromBytes(std::string bytes) {
    // Every byte in 'a'..'z' is upper-cased, trail bytes of double-byte characters included,
    // exactly as a byte-wise comparison without knowledge of the code page does it.
    for (char& c : bytes)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return bytes;
}

std::string AliasSortKey(std::wstring_view alias) { return AliasSortKeyFromBytes(tk::ToAnsi(alias)); }

int CompareAliasKeys(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    if (common > 0) {
        if (const int c = std::memcmp(a.data(), b.data(), common); c != 0) return c < 0 ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {

// Counts marked positions below a position.
class PositionCounter {
public:
    explicit PositionCounter(int n) : tree_(static_cast<size_t>(n) + 1, 0) {}
    void Mark(int position) {
        for (size_t i = static_cast<size_t>(position) + 1; i < tree_.size(); i += i & (~i + 1)) ++tree_[i];
    }
    int CountBelow(int position) const {
        int count = 0;
        for (size_t i = static_cast<size_t>(position); i > 0; i -= i & (~i + 1)) count += tree_[i];
        return count;
    }

private:
    std::vector<int> tree_;
};

void RotateLeft(std::vector<int>& run, int steps) {
    if (run.size() < 2) return;
    const auto k = static_cast<size_t>(steps) % run.size();
    if (k != 0) std::rotate(run.begin(), run.begin() + static_cast<std::ptrdiff_t>(k), run.end());
}

// Row indexes in key order, equal keys by row index, and where each run of equal keys starts
// (with n as the last entry).
struct KeyGroups {
    std::vector<int> rows;
    std::vector<int> starts;
};

KeyGroups GroupByKey(const std::vector<std::string>& keys) {
    KeyGroups g;
    g.rows.resize(keys.size());
    std::iota(g.rows.begin(), g.rows.end(), 0);
    std::stable_sort(g.rows.begin(), g.rows.end(),
                     [&](int a, int b) { return CompareAliasKeys(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]) < 0; });
    for (size_t k = 0; k < g.rows.size(); ++k)
        if (k == 0 || CompareAliasKeys(keys[static_cast<size_t>(g.rows[k - 1])], keys[static_cast<size_t>(g.rows[k])]) != 0)
            g.starts.push_back(static_cast<int>(k));
    g.starts.push_back(static_cast<int>(g.rows.size()));
    return g;
}

// Ascending. Pass i carries the row at i rightwards and exchanges it for every strictly smaller
// row it meets, so it leaves the first smallest row at i and moves each row it carried into the
// place of the next one it picked up. Seen from one group of equal keys (V) and the rows below it
// (S), in their order of position, with the S rows still unplaced, each pass does this:
//   - the sequence begins with an S row: that S row leaves; the V rows stay in order;
//   - it begins with V rows: the first of them is carried into the place of the first S row, past
//     the V rows before that S row, and that S row leaves.
// So walking the positions from the left, the V rows met so far form a queue that turns by one
// (front to back) for every S row that follows them, the S rows after the last V row included,
// while S rows met before the first V row change nothing. Larger rows play no part. The groups'
// final orders are computed this way, one group after the other in key order, counting the S rows
// between two V rows with a position counter: O(n log n) plus the turns of repeated aliases.
std::vector<int> AscendingOrder(const std::vector<std::string>& keys) {
    const int n = static_cast<int>(keys.size());
    const KeyGroups g = GroupByKey(keys);
    PositionCounter below(n);
    int placed = 0;  // rows of the groups already done: all smaller than the current group
    std::vector<int> order;
    order.reserve(static_cast<size_t>(n));
    std::vector<int> queue;
    for (size_t group = 0; group + 1 < g.starts.size(); ++group) {
        const int first = g.starts[group], end = g.starts[group + 1];
        queue.clear();
        int previous = -1;
        for (int k = first; k < end; ++k) {
            const int row = g.rows[static_cast<size_t>(k)];
            if (!queue.empty()) RotateLeft(queue, below.CountBelow(row) - below.CountBelow(previous));
            queue.push_back(row);
            previous = row;
        }
        RotateLeft(queue, placed - below.CountBelow(previous));
        order.insert(order.end(), queue.begin(), queue.end());
        for (int k = first; k < end; ++k) below.Mark(g.rows[static_cast<size_t>(k)]);
        placed += end - first;
    }
    return order;
}

// Descending: the exchange sort itself over the rows' ranks (integers, so each comparison is
// cheap), with each pass stopped once position i holds the largest remaining rank, after which
// the pass exchanges nothing more. On a list that is already ascending, the usual case after the
// previous sort, every pass stops at its first exchange.
std::vector<int> DescendingOrder(const std::vector<std::string>& keys) {
    const int n = static_cast<int>(keys.size());
    const KeyGroups g = GroupByKey(keys);
    std::vector<int> rank(static_cast<size_t>(n));
    std::vector<int> largestFirst;
    largestFirst.reserve(static_cast<size_t>(n));
    for (size_t group = 0; group + 1 < g.starts.size(); ++group)
        for (int k = g.starts[group]; k < g.starts[group + 1]; ++k) rank[static_cast<size_t>(g.rows[static_cast<size_t>(k)])] = static_cast<int>(group);
    for (size_t group = g.starts.size() - 1; group-- > 0;)
        largestFirst.insert(largestFirst.end(), static_cast<size_t>(g.starts[group + 1] - g.starts[group]), static_cast<int>(group));

    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    for (int i = 0; i + 1 < n; ++i) {
        const int target = largestFirst[static_cast<size_t>(i)];
        int& held = rank[static_cast<size_t>(i)];
        if (held == target) continue;
        for (int j = n - 1; j > i; --j) {
            if (held < rank[static_cast<size_t>(j)]) {
                std::swap(held, rank[static_cast<size_t>(j)]);
                std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(j)]);
                if (held == target) break;
            }
        }
    }
    return order;
}

}  // namespace

std::vector<int> AliasSortOrder(const std::vector<std::string>& keys, bool ascending) {
    return ascending ? AscendingOrder(keys) : DescendingOrder(keys);
}

}  // namespace qd
