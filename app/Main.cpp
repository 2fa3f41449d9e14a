#include "app/Main.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/AddItem.h"
#include "list/ChosenRow.h"
#include "list/win/AliasSortKey.h"
#include "list/win/Backup.h"
#include "app/Global.h"
#include "app/ListKeys.h"
#include "app/ListSafety.h"
#include "app/Options.h"
#include "list/win/RegistryAccessor.h"
#include "resources/forms/MainFormDesc.h"
#include "skin/theme/BuiltInBitmaps.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"

namespace qd {

MainSettings MainSettings::ForThisProgram() {
    return {kStoreKeyPath,      qd::ExePath(),       qd::OptionsFilePath(), qd::WindowsDirectory(),
            qd::HelpFilePath(), RegistryAccessors(), desc::kSkinFile};
}

TfrmMain::TfrmMain(tk::TComponent* owner, MainSettings settings)
    : tk::TForm(owner), settings_(std::move(settings)) {
    StartReadingList();
    BuildComponents();
    model_.OnChange = [this](const ModelChange& change) { ShowModelChange(change); };
    store_ = std::make_unique<ShortcutStore>(settings_.Accessors ? settings_.Accessors : RegistryAccessors(), model_);
    BuildFolderCheck();
    BuildFindBox();
    OnCreate = [this](tk::TComponent* s) { FormCreate(s); };
    OnShow = [this](tk::TComponent* s) { FormShow(s); };
    DoCreate();
    InstallKeys();
}

TfrmMain::~TfrmMain() {
    keyWatch_.reset();
    RemoveKeys();
    DestroyComponents();
}

std::wstring TfrmMain::WindowClassName() const { return desc::kMainWindowClass; }

void TfrmMain::BuildComponents() {
    using namespace desc;
    SetName(L"frmMain");
    SetCaption(kMainCaption);
    SetBorderStyle(tk::TFormBorderStyle::Dialog);
    SetPosition(tk::TPosition::ScreenCenter);
    SetMinSize(kMainMinWidth, kMainMinHeight);
    SetFont({L"MS Sans Serif", -11});
    SetClientSize(kMainClientWidth, kMainClientHeight);

    suiFileTheme1 = new TsuiFileTheme(this);
    suiFileTheme1->SetName(L"suiFileTheme1");
    BuildFrame();
    OpenDialog1 = new tk::TOpenDialog(this);
    OpenDialog1->SetName(L"OpenDialog1");
    SaveDialog1 = new tk::TSaveDialog(this);
    SaveDialog1->SetName(L"SaveDialog1");

    ImageList1 = new tk::TImageList(this, kToolImageSize, kToolImageSize);
    ImageList1->SetName(L"ImageList1");
    ImageList1->AddResourceStrip(kToolBarImages);

    ActionList1 = new tk::TActionList(this);
    ActionList1->SetName(L"ActionList1");
    auto makeAction = [this](const ActionDesc& d) {
        auto* a = new tk::TAction(this, ActionList1);
        a->SetName(d.name);
        a->SetCaption(d.caption);
        a->SetHint(d.hint);
        a->SetImageIndex(d.image);
        return a;
    };
    aEdit = makeAction(kMainActions[0]);
    aDelete = makeAction(kMainActions[1]);
    aItemUp = makeAction(kMainActions[2]);
    aItemDown = makeAction(kMainActions[3]);
    aSort = makeAction(kMainActions[4]);
    aOpenFolder = makeAction(kMainActions[5]);
    aCopyPath = makeAction(kMainActions[6]);
    aEdit->OnExecute = [this](tk::TComponent* s) { aEditExecute(s); };
    aEdit->OnUpdate = [this](tk::TComponent* s) { aEditUpdate(s); };
    aDelete->OnExecute = [this](tk::TComponent* s) { aDeleteExecute(s); };
    aDelete->OnUpdate = [this](tk::TComponent* s) { aEditUpdate(s); };
    aItemUp->OnExecute = [this](tk::TComponent* s) { aItemUpExecute(s); };
    aItemUp->OnUpdate = [this](tk::TComponent* s) { aItemUpUpdate(s); };
    aItemDown->OnExecute = [this](tk::TComponent* s) { aItemDownExecute(s); };
    aItemDown->OnUpdate = [this](tk::TComponent* s) { aItemDownUpdate(s); };
    aSort->OnExecute = [this](tk::TComponent* s) { aSortExecute(s); };
    aSort->OnUpdate = [this](tk::TComponent* s) { aSortUpdate(s); };
    // Opening and copying need a chosen row, as Edit does.
    aOpenFolder->OnExecute = [this](tk::TComponent* s) { aOpenFolderExecute(s); };
    aOpenFolder->OnUpdate = [this](tk::TComponent* s) { aEditUpdate(s); };
    aCopyPath->OnExecute = [this](tk::TComponent* s) { aCopyPathExecute(s); };
    aCopyPath->OnUpdate = [this](tk::TComponent* s) { aEditUpdate(s); };

    suiToolBar1 = new TsuiToolBar(this);
    suiToolBar1->SetName(L"suiToolBar1");
    // The bar's style, then its stored colours, which override the style's.
    suiToolBar1->SetUIStyle(kToolBarStyle);
    suiToolBar1->SetColor(kToolBarColor);
    suiToolBar1->SetButtonColor(kToolBarButtonColor);
    suiToolBar1->SetButtonBorderColor(kToolBarButtonBorderColor);
    suiToolBar1->SetButtonDownColor(kToolBarButtonDownColor);
    suiToolBar1->SetBounds(0, kToolBarTop, kToolBarWidth, kToolBarHeight);
    suiToolBar1->SetButtonSize(kToolButtonWidth, kToolButtonHeight);
    suiToolBar1->SetImages(ImageList1);
    suiToolBar1->SetTabOrder(0);

    auto clickFor = [this](MainCommand c) -> tk::TNotifyEvent {
        switch (c) {
        case MainCommand::Add: return [this](tk::TComponent* s) { tbAddClick(s); };
        case MainCommand::Refresh: return [this](tk::TComponent* s) { tbRefreshClick(s); };
        case MainCommand::Import: return [this](tk::TComponent* s) { bImportClick(s); };
        case MainCommand::Export: return [this](tk::TComponent* s) { bExportClick(s); };
        case MainCommand::Options: return [this](tk::TComponent* s) { ToolButton10Click(s); };
        case MainCommand::Help: return [this](tk::TComponent* s) { tbHelpClick(s); };
        default: return nullptr;
        }
    };
    for (const ToolButtonDesc& d : kMainToolButtons) {
        auto* b = new tk::TToolButton(this);
        b->SetName(d.name);
        if (d.command == MainCommand::Separator) {
            b->SetStyle(tk::TToolButtonStyle::Separator);
            b->SetSeparatorWidth(kSeparatorWidth);
        } else {
            b->SetCaption(d.caption);
            b->SetHint(HintWithKey(d.hint, d.command));
            b->SetImageIndex(d.image);
            if (d.boundToAction) {
                b->SetAction(ActionOf(d.command));
            } else {
                b->OnClick = clickFor(d.command);
            }
        }
        suiToolBar1->AddButton(b);
    }
    // The frame's window exists already: the bar's window is made once the bar is set up.
    suiToolBar1->SetParent(suiForm1);

    lvMain = new tk::TListView(this);
    lvMain->SetName(L"lvMain");
    // The list holds no texts of its own: it asks the model for the rows it paints.
    lvMain->SetOwnerData(true);
    lvMain->OnGetItemText = [this](int item, int column) -> std::wstring {
        if (item < 0 || item >= model_.Count()) return {};
        const ShortcutRow& row = model_.Row(item);
        return column == 0 ? row.Alias : column == 1 ? row.Path : std::wstring();
    };
    lvMain->OnFindItem = [this](const std::wstring& text, int start, bool wrap) {
        return model_.FindAliasPrefix(text, start, wrap);
    };
    lvMain->SetParent(suiForm1);
    lvMain->SetBounds(kListLeft, kListTop, kListWidth, kListDesignHeight);
    lvMain->SetFont({L"MS Sans Serif", -11, RGB(0, 0, 0)});
    lvMain->AddColumn(kAliasColumn, kAliasColumnWidth);
    lvMain->AddColumn(kPathColumn, kPathColumnWidth);
    lvMain->SetTabOrder(1);
    lvMain->OnSelectItem = [this](tk::TComponent* s, int item, bool selected) { lvMainSelectItem(s, item, selected); };
    lvMain->OnDblClick = [this](tk::TComponent* s) { lvMainDblClick(s); };
    AcceptDroppedFolders();
    lvMain->OnContextPopup = [this](tk::TComponent* s, POINT at, bool byKeyboard) {
        lvMainContextPopup(s, at, byKeyboard);
    };
    BuildListMenu();
    // The keys work in the list: it has the keyboard whenever the window is active.
    SetActiveControl(lvMain);
}

void TfrmMain::BuildFrame() {
    using namespace desc;
    suiForm1 = new TsuiForm(this);
    suiForm1->SetName(L"suiForm1");
    suiForm1->SetUIStyle(TsuiUIStyle::FromThemeFile);
    suiForm1->SetUIStyleAutoUpdateSub(false);
    suiForm1->SetTitleBarCustom(false);
    suiForm1->SetBorderColor(kFrameBorderColor);
    suiForm1->SetBorderWidth(kFrameBorderWidth);
    suiForm1->SetColor(kFrameColor);
    suiForm1->SetCaption(kMainCaption);
    suiForm1->SetTitleBarDrawAppIcon(true);
    tk::TFont font;
    font.Name = kFrameFontName;
    font.Height = kFrameFontHeight;
    font.Bold = true;
    font.Color = tk::clWhite;
    suiForm1->SetTitleFont(font);
    suiForm1->SetMenuBarColor(kFrameColor);
    suiForm1->SetMenuBarToColor(kFrameColor);
    suiForm1->SetMenuBarHeight(0);
    suiForm1->SetRoundCorner(0);
    suiForm1->SetRoundCornerBottom(0);
    suiForm1->SetInactiveCaptionColor(tk::clInactiveCaption);

    TsuiTitleBarButtons buttons(nullptr);
    for (const FrameButtonDesc& d : kFrameButtons) {
        TsuiTitleBarButton* b = buttons.Add();
        b->SetVisible(d.visible);
        b->SetButtonType(static_cast<TsuiTitleBarBtnType>(d.type));
        b->SetUIStyle(TsuiUIStyle::DeepBlue);
        b->SetTransparent(false);
        b->SetTop(2);
    }
    suiForm1->SetTitleBarButtons(buttons);
    TsuiTitleBarSections sections(nullptr);
    for (const FrameSectionDesc& d : kFrameSections) {
        TsuiTitleBarSection* s = sections.Add();
        s->SetAlign(static_cast<TsuiTitleBarAlign>(d.align));
        tk::TBitmap picture;
        LoadBuiltInBitmap(TsuiUIStyle::DeepBlue, d.styleItem, &picture);
        s->SetPicture(picture);
        s->SetStretch(d.stretch);
        s->SetAutoSize(d.autoSize);
        s->SetWidth(d.width);
    }
    suiForm1->SetTitleBarSections(sections);
}

void TfrmMain::AttachSkin() {
    // The skin step of start-up: the theme loads the program's skin (a missing or damaged file
    // leaves it not ready, silently), then the frame takes it; a theme that is not ready gives
    // the frame and its title bar the DeepBlue style. The frame does not pass the theme on to
    // the tool bar, which keeps its own colours.
    suiFileTheme1->SetThemeFile(settings_.SkinFile);
    suiForm1->SetFileTheme(suiFileTheme1);
    pmList->SetFileTheme(suiFileTheme1);
    FitClientArea();
}

void TfrmMain::FitClientArea() {
    HWND h = Handle();
    RECT window, client;
    GetWindowRect(h, &window);
    GetClientRect(h, &client);
    SetBounds(Left(), Top(), desc::kMainClientWidth + (window.right - window.left) - client.right,
              desc::kMainClientHeight + (window.bottom - window.top) - client.bottom);
}

void TfrmMain::FormCreate(tk::TComponent*) {
    FSelIndex = kNoRowChosen;
    ReadWriteOptionsFile(settings_.OptionsFile, true);
    FSortAscending = true;
    AttachSkin();
    // The list read meanwhile; a failure of the reading ends up here, in the start's error box.
    startupList_ = startupRead_.get();
    NoteRecoveryAtStart(startupList_->Recovery);
    store_->RecordExePath(settings_.KeyPath, settings_.ExePath);
    Show();
}

void TfrmMain::FormShow(tk::TComponent*) {
    // One notification for the whole fill: the view learns the new count once. The watch is armed
    // only now, so a change made since the list was read is looked for by its count.
    if (startupList_) {
        StartupRead read = std::move(*startupList_);
        startupList_.reset();
        WatchKey();
        if (KeyChangeCount() == read.List.Version)
            ShowList(std::move(read.List), read.ReadRecovery, true);
        else
            ReloadList();
    } else {
        ReloadList();
    }
    // The list reaches from below the tool bar to the bottom of the frame's client area, which
    // the skin's border pieces (or the built-in border) leave inside the window.
    lvMain->SetHeight(suiForm1->ClientHeight() - lvMain->Top());
    // What the start did about a change that was cut off, said once the list can be seen.
    if (!recoveryNotice_.empty()) {
        const std::wstring notice = std::move(recoveryNotice_);
        recoveryNotice_.clear();
        tk::Application().ShowMessageBox(notice, kMessageCaption, MB_OK | recoveryNoticeIcon_);
    }
}

void TfrmMain::lvMainSelectItem(tk::TComponent*, int item, bool selected) {
    // With one row selectable, a row that loses the highlight leaves no row selected (the row
    // that takes it next says so itself): the remembered row stays. A row that takes it is the
    // selected row; the list is asked only when the notice names no row.
    if (!selected) return;
    const int index = item >= 0 ? item : lvMain->ItemIndex();
    if (index < 0 || index >= model_.Count()) return;
    FSelIndex = index;
    chosenRow_ = model_.Row(index);
}

void TfrmMain::ChooseRow(int index) {
    FSelIndex = index;
    chosenRow_ = model_.Row(index);
    lvMain->SetItemIndex(index);
}

void TfrmMain::ForgetChosenRow() {
    FSelIndex = kNoRowChosen;
    chosenRow_ = {};
    lvMain->SetItemIndex(-1);
}

void TfrmMain::aEditUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(SelectedRowExists());
}

void TfrmMain::aItemUpUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(lvMain->Visible() && SelectedRowExists() && FSelIndex > 0);
}

void TfrmMain::aItemDownUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(lvMain->Visible() && SelectedRowExists() &&
                                                  FSelIndex < model_.Count() - 1);
}

void TfrmMain::aSortUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(lvMain->Visible() && model_.Count() > 1);
}

void TfrmMain::ToolButton10Click(tk::TComponent*) {
    TfrmOptions dialog(this, settings_.OptionsFile);
    dialog.ShowModal();
}

bool TfrmMain::SelectedRowExists() { return FSelIndex >= 0 && FSelIndex < model_.Count(); }

WriteOutcome TfrmMain::WriteThrough(const ListChange& change, const std::function<void()>& update,
                                   const ShortcutRow* choose, bool* reloadChangedList) {
    const ShortcutRow chosen = choose ? *choose : SelectedRowExists() ? model_.Row(FSelIndex) : ShortcutRow{};
    const bool anyChosen = choose || SelectedRowExists();
    WriteOutcome outcome;
    try {
        outcome = Writer().Apply(model_.Rows(), listVersion_, change);
    } catch (const EListBusy&) {
        // Another program's write did not end in time: nothing was written, the list stays.
        throw;
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        try {
            // A change cut off and not put back says so itself: the reading's own attempt to put
            // it back, failing the same way, adds nothing to that.
            const bool changed = ReloadList(false);
            if (reloadChangedList) *reloadChangedList = changed;
            // The key holds a list that no step of the history leads to.
            if (changed) history_.Clear();
        } catch (...) {
            if (reloadChangedList) *reloadChangedList = true;
            history_.Clear();
            // The key could not even be read back: both errors go to the box.
            throw tk::ERegistryException(tk::ExceptionMessage(error) + L"\r\n" +
                                         tk::ExceptionMessage(std::current_exception()));
        }
        std::rethrow_exception(error);
    }
    listVersion_ = outcome.Version;
    // A key made by this write is watched from now on.
    if (keyWatch_ && !keyWatch_->Armed()) keyWatch_->Arm();
    if (outcome.Stale) {
        // The change was made to the list another program left: shown whole, as a reload shows
        // it, and no step of the history fits it.
        history_.Clear();
        model_.ReplaceAll(std::move(outcome.After));
        outcome.After = model_.Rows();
        if (anyChosen) {
            const int row = FindChosenRowAgain(model_.Rows(), chosen, FSelIndex);
            if (row >= 0) ChooseRow(row);
        }
    } else if (outcome.Written) {
        update();
    }
    // The list is written whole, but something after it was not: said, never kept quiet.
    if (!outcome.Warning.empty())
        tk::Application().ShowMessageBox(outcome.Warning, kMessageCaption, MB_OK | MB_ICONWARNING);
    return outcome;
}

bool TfrmMain::ReloadList(bool sayFailedRecovery) {
    // Armed before the reading: a change made while the rows are read is reported too.
    WatchKey();
    StoredList list = Writer().Read();
    return ShowList(std::move(list), Writer().LastRecovery(), sayFailedRecovery);
}

bool TfrmMain::ShowList(StoredList list, const RecoveryOutcome& readRecovery, bool sayFailedRecovery) {
    listVersion_ = list.Version;
    const bool changed = !SameShortcuts(list.Rows, model_.Rows());
    model_.ReplaceAll(std::move(list.Rows));
    // The rows read before a value of another type stay, as they would in a list filled row by row.
    if (!list.Error.empty()) throw tk::ERegistryException(list.Error);
    // Another program's change that was cut off was found (and dealt with) by this reading.
    if (readRecovery.What != RecoveryOutcome::Kind::None &&
        (sayFailedRecovery || readRecovery.What != RecoveryOutcome::Kind::Failed))
        throw tk::Exception(RecoveryMessage(readRecovery));
    return changed;
}

void TfrmMain::WatchKey() {
    if (!keyWatch_) {
        keyWatch_ = std::make_unique<tk::TRegistryWatch>(settings_.KeyPath);
        keyWatch_->PostOnChange(Handle(), desc::kListChangedNotice);
    }
    keyWatch_->Arm();
}

std::uint64_t TfrmMain::KeyChangeCount() {
    try {
        return ParseChangeCount(store_->ReadValue(settings_.KeyPath, kChangeCountValue));
    } catch (const tk::Exception&) {
        return 0;  // a value of another type counts as 0, as the writer counts it
    }
}

void TfrmMain::ShowModelChange(const ModelChange& change) {
    switch (change.What) {
    case ModelChange::Kind::Reset:
        // A new list: nothing highlighted, shown from the top (FollowModelChange then chooses the
        // chosen row again if the list still holds it).
        lvMain->SetItemIndex(-1);
        lvMain->SetItemCount(model_.Count(), false);
        break;
    case ModelChange::Kind::Changed:
        // The highlighted position stays where it is; only the texts it shows change.
        lvMain->RedrawItems(change.First, change.Last);
        break;
    case ModelChange::Kind::Appended:
        lvMain->SetItemCount(model_.Count(), true);
        break;
    case ModelChange::Kind::Deleted:
        // The control drops the row and moves the rows below, and their highlight, up by one.
        lvMain->DeleteItem(change.First);
        break;
    case ModelChange::Kind::Removed:
        // Many rows at once: the control learns the new count once and repaints from the first
        // row that changed (a row at a time would repaint the list thousands of times).
        lvMain->SetItemCount(model_.Count(), true);
        if (change.First < model_.Count()) lvMain->RedrawItems(change.First, model_.Count() - 1);
        break;
    }
    FollowModelChange(change);
    if (folderCheck_) folderCheck_->ModelChanged(change);
}

void TfrmMain::FollowModelChange(const ModelChange& change) {
    // A row drag picked up its row before the rows moved or changed: released, it would land
    // another row. It ends as Escape ends it. (The drag's own move comes after it has ended;
    // the folder check's marks move nothing.)
    if (lvMain->DraggedItem() >= 0 && model_.PathsVersion() != dragPathsVersion_) lvMain->CancelItemDrag();
    if (FSelIndex < 0) return;
    switch (change.What) {
    case ModelChange::Kind::Reset: {
        const int again = FindChosenRowAgain(model_.Rows(), chosenRow_, FSelIndex);
        again >= 0 ? ChooseRow(again) : ForgetChosenRow();
        break;
    }
    case ModelChange::Kind::Changed:
        // The highlight stays where it is: the chosen row is what now stands there.
        if (FSelIndex >= change.First && FSelIndex <= change.Last && FSelIndex < model_.Count())
            chosenRow_ = model_.Row(FSelIndex);
        break;
    case ModelChange::Kind::Appended:
        break;
    case ModelChange::Kind::Deleted:
        // The view has moved the highlight of the rows below up with them.
        if (FSelIndex == change.First) {
            ForgetChosenRow();
        } else if (FSelIndex > change.First) {
            --FSelIndex;
        }
        break;
    case ModelChange::Kind::Removed:
        if (FSelIndex >= change.First) {
            const int again = FindChosenRowAgain(model_.Rows(), chosenRow_, FSelIndex);
            again >= 0 ? ChooseRow(again) : ForgetChosenRow();
        }
        break;
    }
}

void TfrmMain::tbAddClick(tk::TComponent*) {
    TfrmProperty dialog(this, L"", L"");
    if (dialog.ShowModal() != tk::mrOk) return;
    AddShortcut(dialog.feName->Text(), dialog.fePath->Text());
}

void TfrmMain::AddShortcut(const std::wstring& alias, const std::wstring& path) {
    const auto step = RecordStep(kStepAdd);
    AppendShortcut(alias, path);
}

void TfrmMain::AppendShortcut(const std::wstring& alias, const std::wstring& path) {
    AppendShortcuts({{alias, path}});
}

void TfrmMain::aEditExecute(tk::TComponent*) {
    // With no row chosen (none yet, or the chosen row is gone) there is nothing to edit.
    if (!SelectedRowExists()) return;
    const int i = FSelIndex;
    const ShortcutRow shown = model_.Row(i);
    TfrmProperty dialog(this, shown.Alias, shown.Path);
    if (dialog.ShowModal() != tk::mrOk) return;
    // Another program may have changed the list while the dialog was open: the row shown is
    // edited wherever the key now holds it.
    EditRow(shown, i, dialog.feName->Text(), dialog.fePath->Text());
}

void TfrmMain::EditShortcut(int i, const std::wstring& alias, const std::wstring& path) {
    if (i < 0 || i >= model_.Count()) return;
    EditRow(model_.Row(i), i, alias, path);
}

void TfrmMain::EditRow(const ShortcutRow& shown, int hint, const std::wstring& alias, const std::wstring& path) {
    const ShortcutRow before = shown, after{alias, path};
    const auto step = RecordStep(kStepEdit);
    int at = -1;
    WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            at = FindShortcutRow(current, before, hint);
            if (at < 0) throw tk::Exception(kEditedRowGone);
            std::vector<ShortcutRow> next = current;
            next[static_cast<size_t>(at)] = after;
            return next;
        },
        [&] { model_.Replace(at, alias, path); }, &after);
}

void TfrmMain::lvMainDblClick(tk::TComponent* sender) {
    // Edits the remembered row, wherever the double click landed.
    if (FSelIndex >= 0) aEditExecute(sender);
}

void TfrmMain::aDeleteExecute(tk::TComponent*) {
    if (!SelectedRowExists()) return;
    const int shownAt = FSelIndex;
    const ShortcutRow asked = model_.Row(shownAt);
    if (AppOptions.AskDelete &&
        tk::Application().ShowMessageBox(kConfirmDelete, kMessageCaption,
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    // Another program may have changed the list while the question was open: the row asked about
    // goes, wherever the key now holds it.
    const auto step = RecordStep(kStepDelete);
    int i = -1;
    WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            i = FindShortcutRow(current, asked, shownAt);
            if (i < 0) throw tk::Exception(kDeletedRowGone);
            std::vector<ShortcutRow> next = current;
            next.erase(next.begin() + i);
            return next;
        },
        [&] {
            model_.Delete(i);
            const int n = model_.Count();
            if (i < n) {
                lvMain->SetItemIndex(i);
            } else if (n > 0) {
                lvMain->SetItemIndex(0);
            }
        });
}

void TfrmMain::MoveChosenRow(int by) {
    const int shownAt = FSelIndex;
    if (shownAt < 0 || shownAt >= model_.Count() || shownAt + by < 0 || shownAt + by >= model_.Count()) return;
    const ShortcutRow moved = model_.Row(shownAt);
    const auto step = RecordStep(by < 0 ? kStepMoveUp : kStepMoveDown);
    int at = -1;
    WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            at = FindShortcutRow(current, moved, shownAt);
            if (at < 0) throw tk::Exception(kMovedRowGone);
            std::vector<ShortcutRow> next = current;
            // At the end of the list the key now holds, there is nowhere to move to.
            if (at + by >= 0 && at + by < static_cast<int>(next.size()))
                std::swap(next[static_cast<size_t>(at)], next[static_cast<size_t>(at + by)]);
            return next;
        },
        [&] {
            model_.Exchange(std::min(at, at + by), std::max(at, at + by));
            lvMain->SetItemIndex(at + by);
        },
        &moved);
}

void TfrmMain::aItemUpExecute(tk::TComponent*) { MoveChosenRow(-1); }

void TfrmMain::aItemDownExecute(tk::TComponent*) { MoveChosenRow(1); }

void TfrmMain::aSortExecute(tk::TComponent*) {
    if (model_.Count() > 1 && !BackupBeforeChange(kSortCommandName)) return;
    // Whatever the question above let happen to the list (another program's change), the order is
    // decided on the list the key holds when it is written.
    const auto step = RecordStep(kStepSort);
    const bool ascending = FSortAscending;
    std::vector<int> order;
    WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            std::vector<std::string> keys;
            keys.reserve(current.size());
            for (const ShortcutRow& row : current) keys.push_back(AliasSortKey(row.Alias));
            order = AliasSortOrder(keys, ascending);
            std::vector<ShortcutRow> next;
            next.reserve(current.size());
            for (int k : order) next.push_back(current[static_cast<size_t>(k)]);
            return next;
        },
        // The highlighted position stays; the texts move under it.
        [&] { model_.Reorder(order); });
    aSort->SetHint(ascending ? kSortHintAfterAscending : kSortHintAfterDescending);
    FSortAscending = !ascending;
}

void TfrmMain::tbRefreshClick(tk::TComponent*) { ReloadAfterOutsideChange(); }

void TfrmMain::tbHelpClick(tk::TComponent*) {
    ShellExecuteW(Handle(), L"Open", settings_.HelpFile.c_str(), nullptr, nullptr, SW_SHOW);
}

void TfrmMain::bExportClick(tk::TComponent*) {
    SaveDialog1->SetTitle(kExportTitle);
    SaveDialog1->SetFilter(kBackupFilter);
    if (!SaveDialog1->Execute()) return;
    ExportTo(SaveDialog1->FileName());
}

void TfrmMain::ExportTo(const std::wstring& chosenName) {
    const std::wstring name = BackupFileName(chosenName);
    if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES &&
        tk::Application().ShowMessageBox(name + kOverwriteQuestion, kMessageCaption,
                                         MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) != IDYES)
        return;
    // A file that cannot be written raises the INI error, which the error box shows.
    ExportBackup(tk::TIniFile(name), model_);
}

void TfrmMain::bImportClick(tk::TComponent*) {
    OpenDialog1->SetTitle(kImportTitle);
    OpenDialog1->SetFilter(kBackupFilter);
    if (!OpenDialog1->Execute()) return;
    ImportFrom(OpenDialog1->FileName());
}

void TfrmMain::ImportFrom(const std::wstring& fileName) {
    // An import that fails says why and how many entries it added: none, unless the key refused
    // even to be put back (the list then shows what the key holds).
    const int before = model_.Count();
    const auto step = RecordStep(kStepImport);
    try {
        // A backup in UTF-8 or UTF-16 big-endian is read through a UTF-16 copy of its text.
        const tk::TUnicodeIniCopy backup(fileName);
        std::vector<ShortcutRow> entries;
        ImportBackup(backup.File(), model_, [&entries](const std::wstring& alias, const std::wstring& path) {
            entries.push_back({alias, path, false});
        });
        if (entries.empty() || !BackupBeforeChange(kImportCommandName, fileName)) return;
        // Entries the list the key holds has by then (another program added them) are not added twice.
        AppendShortcuts(entries, true);
    } catch (...) {
        const int added = model_.Count() > before ? model_.Count() - before : 0;
        throw tk::Exception(
            tk::FormatText(kImportStopped, {tk::ExceptionMessage(std::current_exception()), tk::IntToText(added)}));
    }
}


void TfrmMain::WndProc(tk::TMessage& m) {
    if (m.Msg == desc::kInstanceWakeup) {
        Show();
        if (tk::Application().IsMinimized()) tk::Application().Restore();
        tk::Application().BringToFront();
        m.Result = 0;
        return;
    }
    if (m.Msg == WM_CLOSE && FolderAddsWaiting() > 0) {
        // Rows pasted or dropped whose folders are still being asked about are added first: the
        // window closes once the answers are in (each comes within the folder probe's time limit).
        closeAfterAdds_ = true;
        m.Result = 0;
        return;
    }
    if (m.Msg == desc::kListChangedNotice) {
        ListChangedNotice();
        m.Result = 0;
        return;
    }
    tk::TForm::WndProc(m);
}

}  // namespace qd
