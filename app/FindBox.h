// The find box: a small flat edit over the top right corner of the shortcut list. Ctrl+F opens it
// (and selects its text); what is typed chooses and shows the first row whose alias or path
// contains it, letter case ignored; Enter or F3 goes on to the next such row, Shift+Enter or
// Shift+F3 back to the one before, round the end of the list either way; Esc closes it and leaves
// the row chosen. When no row matches, the box turns pink and the chosen row stays. F3 and
// Shift+F3 work with the box closed too, with the text last typed. The keys are the window's (its
// key table, app/KeyTable.h); the box runs what they ask for.
#pragma once

#include <windows.h>

#include <string>

#include "list/ShortcutModel.h"
#include "flat/FlatEdit.h"
#include "toolkit/win/ListView.h"

namespace qd {

class TFindBox : public TFlatEdit {
public:
    // list: the view of rows, which the box sits over and whose row it chooses; rows: the rows it
    // searches.
    TFindBox(tk::TComponent* owner, tk::TListView& list, const ShortcutModel& rows);
    std::string_view ClassName() const override { return "TFindBox"; }

    void Open();
    void Close();
    bool IsOpen();
    void FindNext();
    void FindPrevious();
    // The text last searched for has a row (true while nothing has been looked for).
    bool Found() const { return found_; }

    // The face while the text has no row.
    static constexpr tk::TColor kNotFoundColor = RGB(0xFF, 0xD8, 0xD8);
    static constexpr int kBoxWidth = 160;

private:
    void TextChanged();
    void Step(int from, int delta);
    void ShowFound(int row);

    tk::TListView& list_;
    const ShortcutModel& rows_;
    bool found_ = true;
};

}  // namespace qd
