#include "list/AliasSort.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <numeric>
#include <stdexcept>

namespace qd {

std::string AliasSortKeyFromBytes(std::string bytes) {
    // Every byte in 'a'..'z' is upper-cased, trail bytes of double-byte characters included,
    // exactly as a byte-wise comparison without knowledge of the code page does it.
    for (char& c : bytes)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return bytes;
}

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
    // Marked positions in [a, b).
    int CountIn(int a, int b) const { return a >= b ? 0 : CountBelow(b) - CountBelow(a); }
    // The position of the k-th unmarked position (k from 1), or the size when there are fewer.
    int NthUnmarked(int k) const {
        size_t pos = 0;
        size_t step = 1;
        while (step * 2 < tree_.size()) step *= 2;
        for (; step > 0; step /= 2) {
            if (pos + step < tree_.size()) {
                const int unmarked = static_cast<int>(step) - tree_[pos + step];
                if (unmarked < k) {
                    pos += step;
                    k -= unmarked;
                }
            }
        }
        return static_cast<int>(pos);
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

// Descending. Pass i carries the row at i and exchanges it for every strictly larger row it meets
// while it walks from the end of the list back towards i. Seen from one group of equal keys (V),
// with the larger rows (S, H of them) and the smaller ones (L):
//   - passes 0..H-1 place the S rows. Each S row still to be placed lies at or beyond position H
//     whenever its pass looks for it, so these passes change no position below H, and the rows
//     there act in their original order: an S row at the head changes nothing for V; a V row x at
//     the head goes into the place of the highest S row; an L row at the head turns the highest
//     S or V place into an L place, and when that place held a V row y, y goes into the place of
//     the highest S row below it.
//   - Read from the end of the list, the places at and beyond H holding S or V rows are a run of
//     V rows (a queue) followed by S places and further V rows. A V row at the head joins the
//     queue's back, an L row at the head turns the queue by one (front to back; nothing when it is
//     empty), and each of them uses up the first S place, after which the V rows up to the next S
//     place join the queue. The places the V rows end in are the lowest ones at or beyond H that
//     hold no L row, the queue's front in the highest.
//   - passes H.. then place the V rows: the one at the head when there is one, else the highest.
// Counting rows per key class in position ranges with a position counter, the whole order comes
// out in O(n log n) plus the turns of repeated aliases.
std::vector<int> DescendingOrder(const std::vector<std::string>& keys) {
    const int n = static_cast<int>(keys.size());
    const KeyGroups g = GroupByKey(keys);
    const size_t groups = g.starts.size() - 1;
    std::vector<std::vector<int>> groupOrders(groups);
    PositionCounter smaller(n);  // rows of the groups already done: all smaller than the current one
    int doneRows = 0;
    std::vector<int> queue, tail, gaps, places;
    for (size_t group = 0; group < groups; ++group) {
        const int first = g.starts[group], m = g.starts[group + 1] - first;
        const int* members = g.rows.data() + first;  // ascending positions
        const int larger = n - doneRows - m;        // H
        auto equalIn = [&](int a, int b) {
            return static_cast<int>(std::lower_bound(members, members + m, b) - std::lower_bound(members, members + m, a));
        };
        auto largerIn = [&](int a, int b) { return a >= b ? 0 : (b - a) - smaller.CountIn(a, b) - equalIn(a, b); };

        // The V rows at or beyond H, from the end of the list down, and the S places around them.
        const int heads = static_cast<int>(std::lower_bound(members, members + m, larger) - members);
        tail.assign(std::make_reverse_iterator(members + m), std::make_reverse_iterator(members + heads));
        gaps.clear();
        int above = n;
        for (int row : tail) {
            gaps.push_back(largerIn(row + 1, above));
            above = row;
        }
        gaps.push_back(largerIn(larger, above));

        queue.clear();
        size_t next = 0;
        int gap = gaps[0];
        auto absorb = [&] {
            while (gap == 0 && next < tail.size()) {
                queue.push_back(tail[next]);
                gap = gaps[++next];
            }
        };
        auto smallHeads = [&](int count) {
            while (count > 0 && gap > 0) {
                const int k = std::min(count, gap);
                RotateLeft(queue, k);
                gap -= k;
                count -= k;
                absorb();
            }
        };
        absorb();
        int previous = -1;
        for (int h = 0; h < heads; ++h) {
            smallHeads(smaller.CountIn(previous + 1, members[h]));
            queue.push_back(members[h]);
            if (gap > 0) {
                --gap;
                absorb();
            }
            previous = members[h];
        }
        smallHeads(smaller.CountIn(previous + 1, larger));
        if (static_cast<int>(queue.size()) != m) throw std::logic_error("alias order: inconsistent group");

        // The places the group ends in, then its final passes.
        places.clear();
        const int freeBelow = larger - smaller.CountBelow(larger);
        for (int k = 1; k <= m; ++k) places.push_back(smaller.NthUnmarked(freeBelow + k));
        std::vector<int>& out = groupOrders[group];
        int lo = 0, hi = m - 1;
        for (int head = larger; lo <= hi; ++head) {
            if (places[static_cast<size_t>(lo)] == head) {
                out.push_back(queue[static_cast<size_t>(m - 1 - lo++)]);
            } else {
                out.push_back(queue[static_cast<size_t>(m - 1 - hi--)]);
            }
        }
        for (int k = 0; k < m; ++k) smaller.Mark(members[k]);
        doneRows += m;
    }
    std::vector<int> order;
    order.reserve(static_cast<size_t>(n));
    for (size_t group = groups; group-- > 0;) order.insert(order.end(), groupOrders[group].begin(), groupOrders[group].end());
    return order;
}

}  // namespace

std::vector<int> AliasSortOrder(const std::vector<std::string>& keys, bool ascending) {
    return ascending ? AscendingOrder(keys) : DescendingOrder(keys);
}

}  // namespace qd
