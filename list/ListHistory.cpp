#include "list/ListHistory.h"

#include <initializer_list>

namespace qd {

size_t StepBytes(const ListStep& step) {
    size_t bytes = 0;
    for (const auto* rows : {&step.Change.Before, &step.Change.After})
        for (const ShortcutRow& row : *rows)
            bytes += (row.Alias.size() + row.Path.size()) * sizeof(wchar_t) + kHistoryRowOverhead;
    return bytes;
}

void ListHistory::Record(ListStep step) {
    if (step.Change.Empty()) return;
    while (steps_.size() > done_) {
        bytes_ -= stepBytes_.back();
        steps_.pop_back();
        stepBytes_.pop_back();
    }
    const size_t bytes = StepBytes(step);
    steps_.reserve(steps_.size() + 1);
    stepBytes_.reserve(stepBytes_.size() + 1);
    steps_.push_back(std::move(step));
    stepBytes_.push_back(bytes);
    bytes_ += bytes;
    done_ = steps_.size();
    while (!steps_.empty() && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) DropOldest();
}

void ListHistory::DropOldest() {
    bytes_ -= stepBytes_.front();
    steps_.erase(steps_.begin());
    stepBytes_.erase(stepBytes_.begin());
    if (done_ > 0) --done_;
}

void ListHistory::Undone() {
    if (done_ > 0) --done_;
}

void ListHistory::Redone() {
    if (done_ < steps_.size()) ++done_;
}

void ListHistory::Clear() {
    steps_.clear();
    stepBytes_.clear();
    bytes_ = 0;
    done_ = 0;
    ++clears_;
}

ListHistory::Recorder::Recorder(ListHistory& history, ShortcutModel& model, std::wstring name)
    : history_(history), model_(model), name_(std::move(name)), outermost_(!model.NotingChange()),
      clears_(history.clears_) {
    if (outermost_) model_.BeginChange();
}

ListHistory::Recorder::~Recorder() {
    if (!outermost_) return;
    try {
        RowsChange change = model_.EndChange();
        if (history_.clears_ == clears_) history_.Record({std::move(name_), std::move(change)});
    } catch (...) {
        // Out of memory: a history with a step missing would undo the wrong rows, so it goes.
        history_.Clear();
    }
}

}  // namespace qd
