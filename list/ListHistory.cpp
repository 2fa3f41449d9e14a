#include "list/ListHistory.h"

namespace qd {

void ListHistory::Record(ListStep step) {
    if (step.Change.Empty()) return;
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
}

void ListHistory::Undone() {
    if (done_ > 0) --done_;
}

void ListHistory::Redone() {
    if (done_ < steps_.size()) ++done_;
}

void ListHistory::Clear() {
    steps_.clear();
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
