// The shortcut list as data: the rows in list order, each an alias and a folder path with the
// marks a row shows. The main window's list view shows this model and the store writes it to the
// key; commands change it only through the operations below, each of which announces what it
// changed, so the view repaints just that.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "list/ShortcutStore.h"

namespace qd {

// The marks of one row, as a folder check sets them.
struct RowMarks {
    int Row;
    bool Missing;
    bool Unknown;
};

struct ShortcutRow {
    std::wstring Alias;
    std::wstring Path;
    bool Missing = false;  // the folder was found missing (shown greyed, with a mark)
    bool Unknown = false;  // the folder could not be checked in time (shown with another mark)
};

// A change of the list as the slice that differs: from row First on, the rows Before were
// replaced by the rows After. Rows both lists share at the front and at the end are left out.
struct RowsChange {
    int First = 0;
    std::vector<ShortcutRow> Before;
    std::vector<ShortcutRow> After;
    bool Empty() const { return Before.empty() && After.empty(); }
};

// Two rows name the same shortcut when alias and path are equal; the marks do not count.
inline bool SameShortcut(const ShortcutRow& a, const ShortcutRow& b) { return a.Alias == b.Alias && a.Path == b.Path; }
bool SameShortcuts(const std::vector<ShortcutRow>& a, const std::vector<ShortcutRow>& b);
// The row of rows that names the same shortcut as row: hint itself when it does (of rows that are
// alike, the one meant), else the first that does; -1 when none does.
int FindShortcutRow(const std::vector<ShortcutRow>& rows, const ShortcutRow& row, int hint = -1);

// What one change did to the rows.
struct ModelChange {
    enum class Kind {
        Reset,     // any row may differ and the count may have changed; no row stays chosen
        Changed,   // rows First..Last hold other texts; the count is the same
        Appended,  // rows First..Last are new at the end
        Deleted,   // row First is gone; the rows after it moved up by one
        Removed,   // rows from First on were taken out (several, anywhere after it); those that stay
                   // keep their order and their marks; the rows in front of First are as they were
    };
    Kind What;
    int First = 0;
    int Last = -1;
};

// A list of rows held elsewhere, as the store reads the rows it writes. Nothing can be appended.
class RowsOf : public ShortcutRows {
public:
    explicit RowsOf(const std::vector<ShortcutRow>& rows) : rows_(rows) {}
    int RowCount() override { return static_cast<int>(rows_.size()); }
    std::wstring Alias(int row) override { return rows_.at(static_cast<size_t>(row)).Alias; }
    std::wstring Path(int row) override { return rows_.at(static_cast<size_t>(row)).Path; }
    void AppendRow(const std::wstring&, const std::wstring&) override;

private:
    const std::vector<ShortcutRow>& rows_;
};

// A list of rows held elsewhere that a reading fills: the store appends each row it reads.
class RowsInto : public ShortcutRows {
public:
    explicit RowsInto(std::vector<ShortcutRow>& rows) : rows_(rows) {}
    int RowCount() override { return static_cast<int>(rows_.size()); }
    std::wstring Alias(int row) override { return rows_.at(static_cast<size_t>(row)).Alias; }
    std::wstring Path(int row) override { return rows_.at(static_cast<size_t>(row)).Path; }
    void AppendRow(const std::wstring& alias, const std::wstring& path) override { rows_.push_back({alias, path}); }

private:
    std::vector<ShortcutRow>& rows_;
};

class ShortcutModel : public ShortcutRows {
public:
    int RowCount() override { return Count(); }
    std::wstring Alias(int row) override { return Row(row).Alias; }
    std::wstring Path(int row) override { return Row(row).Path; }
    void AppendRow(const std::wstring& alias, const std::wstring& path) override { Append(alias, path); }

    int Count() const { return static_cast<int>(rows_.size()); }
    // Throws std::out_of_range for a row that does not exist.
    const ShortcutRow& Row(int row) const { return rows_.at(Checked(row)); }
    const std::vector<ShortcutRow>& Rows() const { return rows_; }

    void Append(const std::wstring& alias, const std::wstring& path);
    void Replace(int row, const std::wstring& alias, const std::wstring& path);
    void Delete(int row);
    // Deletes every row whose entry in drop is true (drop has one entry per row), in one pass and
    // told as one change, however many rows go.
    void DeleteRows(const std::vector<bool>& drop);
    void Exchange(int a, int b);
    // Row k becomes the row that was at order[k]; order must be a permutation of 0..Count()-1.
    void Reorder(const std::vector<int>& order);
    void ReplaceAll(std::vector<ShortcutRow> rows);
    // Replaces the count rows from first on with the given rows (any number of them).
    void ReplaceRows(int first, int count, std::vector<ShortcutRow> rows);
    void SetMissing(int row, bool missing);
    // Both marks of a folder check at once (at most one of them is meant to be set).
    void SetMarks(int row, bool missing, bool unknown);
    // The marks of many rows, told as one change over the rows from the first to the last that
    // changed (the view repaints what of that it shows).
    void SetMarks(const std::vector<RowMarks>& marks);

    // Counts the changes that may have moved, added, removed or changed paths (every change but
    // the marks): what was learnt of the rows' positions stays good while it does not move.
    std::uint64_t PathsVersion() const { return pathsVersion_; }

    // The first row at or after start (going round to the top when wrap) whose alias begins with
    // text, compared without regard to the case of letters; -1 when none does.
    int FindAliasPrefix(std::wstring_view text, int start, bool wrap) const;

    // Notes every change from BeginChange on, so that EndChange can say what the changes did
    // together: the slice of rows that differs, kept as it was before and as it is now. The rows
    // are noted as the changes reach them, so the cost follows the rows changed, not the list's
    // length. While a change is being noted, BeginChange is refused (throws std::logic_error).
    void BeginChange();
    bool NotingChange() const { return noting_; }
    RowsChange EndChange();

    // Told after every change; while a batch is open, once when it closes.
    std::function<void(const ModelChange&)> OnChange;

    // Holds the notifications of a run of changes (a load appends thousands of rows) and sends
    // one for all of them when it ends, also when the run ends in an error.
    class Batch {
    public:
        explicit Batch(ShortcutModel& model);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ShortcutModel& model_;
    };

private:
    size_t Checked(int row) const;
    void Notify(const ModelChange& change);
    // Told before an operation changes the rows first..end-1 (end exclusive) of the list as it
    // stands: notes those of them that the change being noted has not reached yet.
    void Touch(int first, int end);

    std::vector<ShortcutRow> rows_;
    std::uint64_t pathsVersion_ = 0;
    int batchDepth_ = 0;
    bool batchChanged_ = false;   // something changed during the batch
    bool batchOnlyAppends_ = true;
    int batchFirstCount_ = 0;     // the row count when the batch began

    // The change being noted: the rows outside touchedFirst_..Count()-untouchedTail_-1 are those
    // of the list when it began; noted_ holds the rows that stood inside when it began.
    bool noting_ = false;
    bool touched_ = false;
    int touchedFirst_ = 0;
    int untouchedTail_ = 0;
    std::vector<ShortcutRow> noted_;
};

}  // namespace qd
