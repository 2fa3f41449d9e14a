// The shortcut list as data: the rows in list order, each an alias and a folder path with the
// marks a row shows. The main window's list view shows this model and the store writes it to the
// key; commands change it only through the operations below, each of which announces what it
// changed, so the view repaints just that.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ShortcutStore.h"

namespace qd {

struct ShortcutRow {
    std::wstring Alias;
    std::wstring Path;
    bool Missing = false;  // the folder was found missing (shown as a mark)
};

// What one change did to the rows.
struct ModelChange {
    enum class Kind {
        Reset,     // any row may differ and the count may have changed; no row stays chosen
        Changed,   // rows First..Last hold other texts; the count is the same
        Appended,  // rows First..Last are new at the end
        Deleted,   // row First is gone; the rows after it moved up by one
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
    void Exchange(int a, int b);
    // Row k becomes the row that was at order[k]; order must be a permutation of 0..Count()-1.
    void Reorder(const std::vector<int>& order);
    void ReplaceAll(std::vector<ShortcutRow> rows);
    void SetMissing(int row, bool missing);

    // The first row at or after start (going round to the top when wrap) whose alias begins with
    // text, compared without regard to the case of letters; -1 when none does.
    int FindAliasPrefix(std::wstring_view text, int start, bool wrap) const;

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

    std::vector<ShortcutRow> rows_;
    int batchDepth_ = 0;
    bool batchChanged_ = false;   // something changed during the batch
    bool batchOnlyAppends_ = true;
    int batchFirstCount_ = 0;     // the row count when the batch began
};

}  // namespace qd
