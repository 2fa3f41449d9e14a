// The history of the list's changes since the program started, for undo and redo. Each step is a
// change of the list named for the command that made it ("删除"), kept as the slice of rows that
// differs (RowsChange), so a step costs what it changed, not the list's length. Undo takes the
// list back through the steps, redo forward again; a new step drops the steps that were undone.
// The history is bounded: it holds at most the last 100 steps and at most 64 MB of rows, and the
// oldest steps go first when a new one would pass either bound.
#pragma once

#include <cstddef>
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

// What a row held by a step is counted as: its texts' bytes and a fixed overhead. The overhead is
// an estimate of the rest: on 32-bit Windows the row itself is 52 bytes (two strings of 24 and the
// two marks, padded) and each text longer than a string's own short buffer (7 characters) is a
// heap block with about 8 bytes of bookkeeping; 64 bytes covers both with a little to spare.
constexpr size_t kHistoryRowOverhead = 64;
size_t StepBytes(const ListStep& step);

class ListHistory {
public:
    static constexpr size_t kMaxSteps = 100;
    static constexpr size_t kMaxBytes = size_t{64} << 20;

    explicit ListHistory(size_t maxSteps = kMaxSteps, size_t maxBytes = kMaxBytes)
        : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

    // Adds a step after the last one done; the steps undone before it are gone. An empty change is
    // no step. Then the oldest steps go until both bounds hold again. A step larger than the byte
    // bound on its own cannot be held within it: it goes too, and with it every step before it
    // (undo could reach them only through it), so nothing is left to undo. Keeping it would let one
    // step hold any amount of memory; the list it changed is in the window and the key either way,
    // and the automatic backups of the commands that make such steps (sort, import, restore, the
    // deletion of missing rows) keep what was there before.
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
    // How many steps are held (done and undone) and their rows' bytes, as StepBytes counts them.
    size_t StepCount() const { return steps_.size(); }
    size_t HeldBytes() const { return bytes_; }

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
    void DropOldest();

    size_t maxSteps_, maxBytes_;
    std::vector<ListStep> steps_;
    std::vector<size_t> stepBytes_;  // StepBytes of each step, beside it
    size_t bytes_ = 0;               // their sum
    size_t done_ = 0;                // steps_[0..done_-1] are in the list; the rest were undone
    unsigned clears_ = 0;            // counts the calls of Clear
};

}  // namespace qd
