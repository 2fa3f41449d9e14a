#include "list/FolderCheck.h"

#include <algorithm>

namespace qd {

namespace {

bool MarksSay(const ShortcutRow& row, tk::TFolderState state) {
    return row.Missing == (state == tk::TFolderState::Missing) && row.Unknown == (state == tk::TFolderState::Unknown);
}

}  // namespace

FolderCheck::FolderCheck(ShortcutModel& model, Asker asker)
    : model_(model), asker_(std::move(asker)), seenVersion_(model.PathsVersion()) {}

void FolderCheck::Ask(const std::wstring& path) {
    const std::uint64_t ticket = ++lastTicket_;
    asked_[path] = ticket;
    asker_.Ask(ticket, path);
}

std::uint64_t FolderCheck::Expect(const std::wstring& path) {
    const std::uint64_t ticket = ++lastTicket_;
    asked_[path] = ticket;
    return ticket;
}

void FolderCheck::CheckAll() {
    if (asker_.CancelWaiting) asker_.CancelWaiting();
    asked_.clear();
    known_.clear();
    for (const ShortcutRow& row : model_.Rows())
        if (!asked_.contains(row.Path)) Ask(row.Path);
}

void FolderCheck::ModelChanged(const ModelChange& change) {
    // A change that leaves the paths as they were (the marks this check sets) needs nothing.
    const bool pathsMoved = model_.PathsVersion() != seenVersion_;
    seenVersion_ = model_.PathsVersion();
    switch (change.What) {
    case ModelChange::Kind::Reset:
        CheckAll();
        break;
    case ModelChange::Kind::Appended:
        for (int i = std::max(change.First, 0); i <= change.Last && i < model_.Count(); ++i) {
            const std::wstring& path = model_.Row(i).Path;
            if (!asked_.contains(path)) Ask(path);
        }
        break;
    case ModelChange::Kind::Changed:
        if (!pathsMoved) break;
        // Rows that moved keep their marks and paths together; a row given a new path has lost
        // its marks: it is asked about unless an answer for its path is on its way, or the marks
        // it has agree with what is known of the path.
        for (int i = std::max(change.First, 0); i <= change.Last && i < model_.Count(); ++i) {
            const ShortcutRow& row = model_.Row(i);
            if (asked_.contains(row.Path)) continue;
            const auto known = known_.find(row.Path);
            if (known == known_.end() || !MarksSay(row, known->second)) Ask(row.Path);
        }
        break;
    case ModelChange::Kind::Deleted:
    case ModelChange::Kind::Removed:
        // The rows that stay keep their paths and marks.
        break;
    }
}

void FolderCheck::Answer(std::uint64_t ticket, const std::wstring& path, tk::TFolderState state) {
    Answer({{ticket, path, state}});
}

void FolderCheck::Answer(const std::vector<tk::TFolderAnswer>& answers) {
    std::vector<RowMarks> marks;
    for (const tk::TFolderAnswer& a : answers) {
        const auto asked = asked_.find(a.Path);
        if (asked == asked_.end() || asked->second != a.Ticket) continue;  // asked again since, or a new check began
        asked_.erase(asked);
        known_[a.Path] = a.State;
        for (int row : RowsHolding(a.Path))
            marks.push_back({row, a.State == tk::TFolderState::Missing, a.State == tk::TFolderState::Unknown});
    }
    model_.SetMarks(marks);
}

std::vector<int> FolderCheck::RowsHolding(const std::wstring& path) {
    if (!indexBuilt_ || indexVersion_ != model_.PathsVersion()) {
        rowsOfPath_.clear();
        for (int i = 0; i < model_.Count(); ++i) rowsOfPath_[model_.Row(i).Path].push_back(i);
        indexVersion_ = model_.PathsVersion();
        indexBuilt_ = true;
    }
    const auto found = rowsOfPath_.find(path);
    return found == rowsOfPath_.end() ? std::vector<int>{} : found->second;
}

std::optional<tk::TFolderState> FolderCheck::Known(const std::wstring& path) const {
    const auto found = known_.find(path);
    if (found == known_.end()) return std::nullopt;
    return found->second;
}

std::vector<int> FolderCheck::MissingRows() const {
    std::vector<int> rows;
    for (int i = 0; i < model_.Count(); ++i)
        if (model_.Row(i).Missing) rows.push_back(i);
    return rows;
}

}  // namespace qd
