#include "list/ShortcutModel.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace qd {

namespace {

wchar_t FoldCase(wchar_t c) {
    // The ASCII letters, as the sort compares them; other characters must match exactly.
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
    return c;
}

bool StartsWithFolded(std::wstring_view text, std::wstring_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
    return true;
}

}  // namespace

bool SameShortcuts(const std::vector<ShortcutRow>& a, const std::vector<ShortcutRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameShortcut);
}

int FindShortcutRow(const std::vector<ShortcutRow>& rows, const ShortcutRow& row, int hint) {
    if (hint >= 0 && hint < static_cast<int>(rows.size()) && SameShortcut(rows[static_cast<size_t>(hint)], row)) return hint;
    for (size_t i = 0; i < rows.size(); ++i)
        if (SameShortcut(rows[i], row)) return static_cast<int>(i);
    return -1;
}

void RowsOf::AppendRow(const std::wstring&, const std::wstring&) {
    throw std::logic_error("a list held elsewhere cannot be appended to");
}

size_t ShortcutModel::Checked(int row) const {
    if (row < 0 || row >= Count()) throw std::out_of_range("no shortcut at row " + std::to_string(row));
    return static_cast<size_t>(row);
}

void ShortcutModel::Notify(const ModelChange& change) {
    if (batchDepth_ > 0) {
        batchChanged_ = true;
        if (change.What != ModelChange::Kind::Appended) batchOnlyAppends_ = false;
        return;
    }
    if (OnChange) OnChange(change);
}

void ShortcutModel::Touch(int first, int end) {
    if (!noting_) return;
    const int n = Count();
    first = std::clamp(first, 0, n);
    end = std::clamp(end, first, n);
    const auto at = [this](int i) { return rows_.begin() + static_cast<std::ptrdiff_t>(i); };
    if (!touched_) {
        noted_.assign(at(first), at(end));
        touchedFirst_ = first;
        untouchedTail_ = n - end;
        touched_ = true;
        return;
    }
    // The rows between the new range and the one reached so far are still the first ones.
    const int touchedEnd = n - untouchedTail_;
    if (first < touchedFirst_) {
        noted_.insert(noted_.begin(), at(first), at(touchedFirst_));
        touchedFirst_ = first;
    }
    if (end > touchedEnd) {
        noted_.insert(noted_.end(), at(touchedEnd), at(end));
        untouchedTail_ = n - end;
    }
}

void ShortcutModel::BeginChange() {
    if (noting_) throw std::logic_error("a change of the shortcut list is being noted already");
    noting_ = true;
    touched_ = false;
    noted_.clear();
}

RowsChange ShortcutModel::EndChange() {
    RowsChange change;
    noting_ = false;
    if (!touched_) return change;
    const int touchedEnd = Count() - untouchedTail_;
    std::vector<ShortcutRow> before = std::move(noted_);
    noted_.clear();
    std::vector<ShortcutRow> after(rows_.begin() + touchedFirst_, rows_.begin() + touchedEnd);
    // Rows the operations touched but left as they were are no part of the change.
    size_t head = 0;
    while (head < before.size() && head < after.size() && SameShortcut(before[head], after[head])) ++head;
    size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           SameShortcut(before[before.size() - 1 - tail], after[after.size() - 1 - tail]))
        ++tail;
    change.First = touchedFirst_ + static_cast<int>(head);
    change.Before.assign(before.begin() + static_cast<std::ptrdiff_t>(head),
                         before.end() - static_cast<std::ptrdiff_t>(tail));
    change.After.assign(std::make_move_iterator(after.begin() + static_cast<std::ptrdiff_t>(head)),
                        std::make_move_iterator(after.end() - static_cast<std::ptrdiff_t>(tail)));
    return change;
}

void ShortcutModel::Append(const std::wstring& alias, const std::wstring& path) {
    ++pathsVersion_;
    Touch(Count(), Count());
    rows_.push_back({alias, path, false, false});
    Notify({ModelChange::Kind::Appended, Count() - 1, Count() - 1});
}

void ShortcutModel::Replace(int row, const std::wstring& alias, const std::wstring& path) {
    ++pathsVersion_;
    ShortcutRow& r = rows_.at(Checked(row));
    Touch(row, row + 1);
    r.Alias = alias;
    r.Path = path;
    r.Missing = false;
    r.Unknown = false;
    Notify({ModelChange::Kind::Changed, row, row});
}

void ShortcutModel::Delete(int row) {
    ++pathsVersion_;
    Checked(row);
    Touch(row, row + 1);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(Checked(row)));
    Notify({ModelChange::Kind::Deleted, row, row});
}

void ShortcutModel::DeleteRows(const std::vector<bool>& drop) {
    const int n = Count();
    if (static_cast<int>(drop.size()) != n) throw std::invalid_argument("one entry per row is needed");
    int first = 0;
    while (first < n && !drop[static_cast<size_t>(first)]) ++first;
    if (first == n) return;
    ++pathsVersion_;
    Touch(first, n);
    size_t kept = static_cast<size_t>(first);
    for (size_t i = kept; i < rows_.size(); ++i)
        if (!drop[i]) rows_[kept++] = std::move(rows_[i]);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(kept), rows_.end());
    Notify({ModelChange::Kind::Removed, first, Count() - 1});
}

void ShortcutModel::Exchange(int a, int b) {
    ++pathsVersion_;
    Checked(a);
    Checked(b);
    Touch(std::min(a, b), std::max(a, b) + 1);
    std::swap(rows_.at(Checked(a)), rows_.at(Checked(b)));
    Notify({ModelChange::Kind::Changed, std::min(a, b), std::max(a, b)});
}

void ShortcutModel::Reorder(const std::vector<int>& order) {
    if (order.size() != rows_.size()) throw std::invalid_argument("a reordering must name every row once");
    std::vector<bool> seen(rows_.size(), false);
    for (int from : order) {
        if (seen.at(Checked(from))) throw std::invalid_argument("a reordering must name every row once");
        seen[static_cast<size_t>(from)] = true;
    }
    Touch(0, Count());
    std::vector<ShortcutRow> next;
    next.reserve(rows_.size());
    for (int from : order) next.push_back(std::move(rows_[static_cast<size_t>(from)]));
    rows_ = std::move(next);
    ++pathsVersion_;
    if (!rows_.empty()) Notify({ModelChange::Kind::Changed, 0, Count() - 1});
}

void ShortcutModel::ReplaceAll(std::vector<ShortcutRow> rows) {
    ++pathsVersion_;
    Touch(0, Count());
    rows_ = std::move(rows);
    Notify({ModelChange::Kind::Reset, 0, Count() - 1});
}

void ShortcutModel::ReplaceRows(int first, int count, std::vector<ShortcutRow> rows) {
    const int n = Count();
    if (first < 0 || count < 0 || first > n || count > n - first)
        throw std::out_of_range("no rows " + std::to_string(first) + " to " + std::to_string(first + count - 1));
    ++pathsVersion_;
    Touch(first, first + count);
    const int added = static_cast<int>(rows.size());
    const auto at = rows_.begin() + first;
    // The rows that take the place of others are assigned; the rest are inserted or erased.
    const int common = std::min(count, added);
    std::move(rows.begin(), rows.begin() + common, at);
    if (added > count) {
        rows_.insert(at + common, std::make_move_iterator(rows.begin() + common), std::make_move_iterator(rows.end()));
    } else {
        rows_.erase(at + common, at + count);
    }
    if (count == 0 && added == 0) return;
    if (added == count) {
        Notify({ModelChange::Kind::Changed, first, first + count - 1});
    } else if (count == 0 && first == n) {
        Notify({ModelChange::Kind::Appended, n, Count() - 1});
    } else if (count == 1 && added == 0) {
        Notify({ModelChange::Kind::Deleted, first, first});
    } else {
        Notify({ModelChange::Kind::Reset, 0, Count() - 1});
    }
}

void ShortcutModel::SetMissing(int row, bool missing) { SetMarks(row, missing, false); }

void ShortcutModel::SetMarks(int row, bool missing, bool unknown) { SetMarks({{row, missing, unknown}}); }

void ShortcutModel::SetMarks(const std::vector<RowMarks>& marks) {
    for (const RowMarks& m : marks) Checked(m.Row);
    int first = Count(), last = -1;
    for (const RowMarks& m : marks) {
        ShortcutRow& r = rows_[static_cast<size_t>(m.Row)];
        if (r.Missing == m.Missing && r.Unknown == m.Unknown) continue;
        r.Missing = m.Missing;
        r.Unknown = m.Unknown;
        first = std::min(first, m.Row);
        last = std::max(last, m.Row);
    }
    // The marks are the one change that leaves every path where it was: PathsVersion stays.
    if (last >= first) Notify({ModelChange::Kind::Changed, first, last});
}

int ShortcutModel::FindAliasPrefix(std::wstring_view text, int start, bool wrap) const {
    const int n = Count();
    if (n == 0) return -1;
    if (start < 0 || start >= n) start = 0;
    for (int i = start; i < n; ++i)
        if (StartsWithFolded(rows_[static_cast<size_t>(i)].Alias, text)) return i;
    if (wrap)
        for (int i = 0; i < start; ++i)
            if (StartsWithFolded(rows_[static_cast<size_t>(i)].Alias, text)) return i;
    return -1;
}

ShortcutModel::Batch::Batch(ShortcutModel& model) : model_(model) {
    if (model_.batchDepth_++ == 0) {
        model_.batchChanged_ = false;
        model_.batchOnlyAppends_ = true;
        model_.batchFirstCount_ = model_.Count();
    }
}

ShortcutModel::Batch::~Batch() {
    if (--model_.batchDepth_ > 0 || !model_.batchChanged_) return;
    if (model_.batchOnlyAppends_)
        model_.Notify({ModelChange::Kind::Appended, model_.batchFirstCount_, model_.Count() - 1});
    else
        model_.Notify({ModelChange::Kind::Reset, 0, model_.Count() - 1});
}

}  // namespace qd
