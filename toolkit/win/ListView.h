// The list view in report mode: columns, rows of a caption and sub-items, single selection,
// selection-change and double-click events. In owner-data mode the control holds no texts: it
// knows only the row count and asks OnGetItemText for the cells it paints, and OnFindItem for
// the row the user's typing names. The keys pressed in the list and its context menu requests can
// be taken by the list's user.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/win/Control.h"
#include "toolkit/win/Scoped.h"

namespace tk {

class FileDropTarget;
// A small sign shown before a row's caption, in a narrow column of its own.
enum class TItemMark { None, Cross, Question };

// How a row is drawn beyond its texts: the colour of its texts (CLR_DEFAULT: the list's) and its mark.
struct TListItemLook {
    COLORREF TextColor = CLR_DEFAULT;
    TItemMark Mark = TItemMark::None;
};

struct TListColumn {
    std::wstring Caption;
    int Width = 50;
};

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner);
    // The window goes before the mark images it shows.
    ~TListView() override;
    std::string_view ClassName() const override { return "TListView"; }

    void AddColumn(const std::wstring& caption, int width);

    // Owner data: set before the window is made. The control then keeps no texts: they come from
    // OnGetItemText, and SetItemCount (not AddItem or the text setters) says how many rows there are.
    void SetOwnerData(bool ownerData) { ownerData_ = ownerData; }
    bool OwnerData() const { return ownerData_; }
    // Owner data: the row count. keepView keeps the scroll position and repaints nothing (rows
    // added at the end); otherwise the whole list repaints.
    void SetItemCount(int count, bool keepView);
    // Repaints rows first..last (owner data: after their texts changed).
    void RedrawItems(int first, int last);
    // Text of a cell: column 0 is the caption, 1 the first sub-item.
    std::function<std::wstring(int item, int column)> OnGetItemText;
    // The row whose caption starts with text, from start on (round to the top when wrap), or -1.
    std::function<int(const std::wstring& text, int start, bool wrap)> OnFindItem;
    // Owner data: the look of a row, asked as it is painted. Marks show only once SetShowMarks is on.
    std::function<TListItemLook(int item)> OnGetItemLook;
    // Gives every row the narrow column where a mark shows (before the caption).
    void SetShowMarks(bool show);
    bool ShowMarks() const { return showMarks_; }

    int Count();
    // Appends a row; returns its index.
    int AddItem(const std::wstring& caption, const std::wstring& subItem);
    void DeleteItem(int index);
    void Clear();
    std::wstring ItemCaption(int index);
    std::wstring ItemSubItem(int index, int subIndex = 0);
    void SetItemCaption(int index, const std::wstring& text);
    void SetItemSubItem(int index, const std::wstring& text, int subIndex = 0);

    // Many changes in a row: the control stops redrawing until the matching EndUpdate, then
    // redraws once. Calls nest.
    void BeginUpdate();
    void EndUpdate();

    // The selected row, or -1.
    int ItemIndex();
    // Selects and focuses a row (fires OnSelectItem as a click would); -1 clears the selection.
    void SetItemIndex(int index);

    std::function<void(TComponent* sender, int item, bool selected)> OnSelectItem;
    TNotifyEvent OnDblClick;

    // Files and folders dropped onto the list from the shell (see FileDropTarget). Setting a
    // handler makes the list's window (if it has none yet) a drop target until the window goes;
    // throws tk::Exception when it cannot be one.
    void SetOnDropFiles(std::function<void(const std::vector<std::wstring>& names)> handler);

    // With a handler, a row can be dragged with the mouse to another place: released over a row,
    // the handler is told the row dragged and the row it lands on (the rows between move by one
    // toward where it was). While it is dragged a bar shows where it will land. Escape, losing
    // the mouse, or a release outside the list ends the drag without a move.
    std::function<void(int from, int to)> OnMoveItem;
    // Told when a drag picks up a row, before it is moved anywhere.
    std::function<void(int item)> OnBeginMoveItem;
    // The row being dragged, or -1.
    int DraggedItem() const { return dragFrom_; }
    // Ends a drag without a move, as Escape does (the rows changed under it); releasing the mouse
    // afterwards moves nothing. Nothing happens when no row is being dragged.
    void CancelItemDrag();
    // The context menu is asked for: with the right mouse button, at the mouse (screen
    // coordinates), or with the keyboard (Shift+F10, the menu key), byKeyboard then true and the
    // point the list's top left corner.
    std::function<void(TComponent* sender, POINT screen, bool byKeyboard)> OnContextPopup;
    // Where a menu about a row opens, on the screen: under the start of the row when it is in view,
    // else the top left corner of the list.
    POINT ItemMenuPoint(int index);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void BeginItemDrag(int item);
    void TrackItemDrag(int x, int y);
    void EndItemDrag(bool move);
    // The row a dragged row released at the point lands on; -1 outside the list.
    int DropRowAt(int x, int y);
    // Where the bar showing the landing place is drawn; empty when there is no bar.
    RECT DropBarRect();
    void InvalidateDropBar();
    void ApplyMarkImages();
    void ContextPopup(POINT screen, bool byKeyboard);

    std::vector<TListColumn> columns_;
    ScopedImageList markImages_;
    bool showMarks_ = false;
    int updating_ = 0;
    bool ownerData_ = false;
    std::function<void(const std::vector<std::wstring>&)> onDropFiles_;
    std::unique_ptr<FileDropTarget> dropTarget_;
    int dragFrom_ = -1;
    int dragTo_ = -1;
    MouseCapture dragCapture_;
};

}  // namespace tk
