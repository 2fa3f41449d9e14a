#include "app/ShortcutModel.h"

#include <algorithm>
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

void ShortcutModel::Append(const std::wstring& alias, const std::wstring& path) {
    rows_.push_back({alias, path, false});
    Notify({ModelChange::Kind::Appended, Count() - 1, Count() - 1});
}

void ShortcutModel::Replace(int row, const std::wstring& alias, const std::wstring& path) {
    ShortcutRow& r = rows_.at(Checked(row));
    r.Alias = alias;
    r.Path = path;
    r.Missing = false;
    Notify({ModelChange::Kind::Changed, row, row});
}

void ShortcutModel::Delete(int row) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(Checked(row)));
    Notify({ModelChange::Kind::Deleted, row, row});
}

void ShortcutModel::Exchange(int a, int b) {
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
    std::vector<ShortcutRow> next;
    next.reserve(rows_.size());
    for (int from : order) next.push_back(std::move(rows_[static_cast<size_t>(from)]));
    rows_ = std::move(next);
    if (!rows_.empty()) Notify({ModelChange::Kind::Changed, 0, Count() - 1});
}

void ShortcutModel::ReplaceAll(std::vector<ShortcutRow> rows) {
    rows_ = std::move(rows);
    Notify({ModelChange::Kind::Reset, 0, Count() - 1});
}

void ShortcutModel::SetMissing(int row, bool missing) {
    ShortcutRow& r = rows_.at(Checked(row));
    if (r.Missing == missing) return;
    r.Missing = missing;
    Notify({ModelChange::Kind::Changed, row, row});
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
