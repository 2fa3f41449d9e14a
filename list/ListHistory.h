// The history of the list's changes since the program started, for undo and redo. Each step is a
// change of the list named for the command that made it ("删除"), kept as the slice of rows that
// differs (RowsChange), so a step costs what it changed, not the list's length. Undo takes the
// list back through the steps, redo forward again; a new step drops the steps that were undone.
#pragma once

#include <string>
#include <vector>

#include "list/ShortcutModel.h"

namespace qd {

// The names of the steps, as the undo and redo commands show them ("撤销 删除").
constexpr wchar_t kStepAdd[] = L"增加";
constexpr wchar_t kStepEdit[] = L"编辑";
constexpr wchar_t kStepDelete[] = L"删除";
constexpr wchar_t kStepMoveUp[] = L"上移";
constexpr wchar_t kStepMoveDown[] = L"下移";
constexpr wchar_t kStepSort[] = L"排序";
constexpr wchar_t kStepImport[] = L"导入";
constexpr wchar_t kStepDrop[] = L"拖放";
constexpr wchar_t kStepPaste[] = L"粘贴";
constexpr wchar_t kStepDeleteMissing[] = L"删除不存在的路径";
constexpr wchar_t kStepRestore[] = L"恢复";

struct ListStep {
    std::wstring Name;
    RowsChange Change;
};

class ListHistory {
public:
    // Adds a step after the last one done; the steps undone before it are gone. An empty change is
    // no step.
    void Record(ListStep step);
    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The step undo takes back / redo does again; only while CanUndo() / CanRedo().
    const ListStep& NextUndo() const { return steps_.at(done_ - 1); }
    const ListStep& NextRedo() const { return steps_.at(done_); }
    // After the list has been taken back through NextUndo() / forward through NextRedo().
    void Undone();
    void Redone();
    void Clear();

    // Makes the changes to the model while it lives one step of the history, when it ends (also
    // when it ends by an error: whatever reached the list is a change like any other). Inside
    // another recorder of the same model it does nothing, so a command may use another that
    // records itself and still makes one step. When the history is cleared meanwhile (the list
    // was reloaded after another process changed it), no step is made.
    class Recorder {
    public:
        Recorder(ListHistory& history, ShortcutModel& model, std::wstring name);
        ~Recorder();
        Recorder(const Recorder&) = delete;
        Recorder& operator=(const Recorder&) = delete;

    private:
        ListHistory& history_;
        ShortcutModel& model_;
        std::wstring name_;
        bool outermost_;
        unsigned clears_;
    };

private:
    std::vector<ListStep> steps_;
    size_t done_ = 0;
    unsigned clears_ = 0;  // counts the calls of Clear  // steps_[0..done_-1] are in the list; the rest were undone
};

}  // namespace qd
