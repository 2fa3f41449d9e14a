#include "app/Main.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/AddItem.h"
#include "app/Backup.h"
#include "app/AliasSort.h"
#include "app/Global.h"
#include "app/Options.h"
#include "app/RegistryAccessor.h"
#include "resources/forms/MainFormDesc.h"
#include "skin/theme/BuiltInBitmaps.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"

namespace qd {

namespace {

// The list view's rows as the store sees them: caption is the alias, first sub-item the path.
class ListViewRows : public ShortcutRows {
public:
    explicit ListViewRows(tk::TListView& list) : list_(list) {}
    int RowCount() override { return list_.Count(); }
    std::wstring Alias(int row) override { return list_.ItemCaption(row); }
    std::wstring Path(int row) override { return list_.ItemSubItem(row); }
    void AppendRow(const std::wstring& alias, const std::wstring& path) override { list_.AddItem(alias, path); }

private:
    tk::TListView& list_;
};

// Holds the list's redrawing for a run of changes; it redraws once at the end, also after an error.
class ListUpdate {
public:
    explicit ListUpdate(tk::TListView& list) : list_(list) { list_.BeginUpdate(); }
    ~ListUpdate() { list_.EndUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

private:
    tk::TListView& list_;
};

// The list as a change will leave it, read from the list as it is now without copying it: row k
// of the view is row Source(k) of the list. The store reads it to write the key before the list
// itself changes.
class RowsAfterChange : public ShortcutRows {
public:
    RowsAfterChange(ShortcutRows& now, int count, std::function<int(int)> source)
        : now_(now), count_(count), source_(std::move(source)) {}
    int RowCount() override { return count_; }
    std::wstring Alias(int row) override { return now_.Alias(source_(row)); }
    std::wstring Path(int row) override { return now_.Path(source_(row)); }
    void AppendRow(const std::wstring&, const std::wstring&) override {
        throw tk::Exception(L"The rows of a pending change cannot be appended to");
    }

private:
    ShortcutRows& now_;
    int count_;
    std::function<int(int)> source_;
};

}  // namespace

MainSettings MainSettings::ForThisProgram() {
    return {kStoreKeyPath,      qd::ExePath(),       qd::OptionsFilePath(), qd::WindowsDirectory(),
            qd::HelpFilePath(), RegistryAccessors(), desc::kSkinFile};
}

TfrmMain::TfrmMain(tk::TComponent* owner, MainSettings settings)
    : tk::TForm(owner), settings_(std::move(settings)) {
    BuildComponents();
    rows_ = std::make_unique<ListViewRows>(*lvMain);
    store_ = std::make_unique<ShortcutStore>(settings_.Accessors ? settings_.Accessors : RegistryAccessors(), *rows_);
    OnCreate = [this](tk::TComponent* s) { FormCreate(s); };
    OnShow = [this](tk::TComponent* s) { FormShow(s); };
    DoCreate();
}

TfrmMain::~TfrmMain() { DestroyComponents(); }

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

    auto actionFor = [this](MainCommand c) -> tk::TAction* {
        switch (c) {
        case MainCommand::Edit: return aEdit;
        case MainCommand::Delete: return aDelete;
        case MainCommand::ItemUp: return aItemUp;
        case MainCommand::ItemDown: return aItemDown;
        case MainCommand::Sort: return aSort;
        default: return nullptr;
        }
    };
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
            b->SetHint(d.hint);
            b->SetImageIndex(d.image);
            if (d.boundToAction) {
                b->SetAction(actionFor(d.command));
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
    lvMain->SetParent(suiForm1);
    lvMain->SetBounds(kListLeft, kListTop, kListWidth, kListDesignHeight);
    lvMain->SetFont({L"MS Sans Serif", -11, RGB(0, 0, 0)});
    lvMain->AddColumn(kAliasColumn, kAliasColumnWidth);
    lvMain->AddColumn(kPathColumn, kPathColumnWidth);
    lvMain->SetTabOrder(1);
    lvMain->OnSelectItem = [this](tk::TComponent* s, int item, bool selected) { lvMainSelectItem(s, item, selected); };
    lvMain->OnDblClick = [this](tk::TComponent* s) { lvMainDblClick(s); };
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
    FSelIndex = -200;
    ReadWriteOptionsFile(settings_.OptionsFile, true);
    FSortAscending = true;
    AttachSkin();
    store_->SeedStore(settings_.KeyPath, settings_.WindowsDirectory);
    store_->RecordExePath(settings_.KeyPath, settings_.ExePath);
    Show();
}

void TfrmMain::FormShow(tk::TComponent*) {
    {
        ListUpdate update(*lvMain);
        store_->LoadItems(settings_.KeyPath);
    }
    // The list reaches from below the tool bar to the bottom of the frame's client area, which
    // the skin's border pieces (or the built-in border) leave inside the window.
    lvMain->SetHeight(suiForm1->ClientHeight() - lvMain->Top());
}

void TfrmMain::lvMainSelectItem(tk::TComponent*, int, bool) {
    const int index = lvMain->ItemIndex();
    if (index != -1) FSelIndex = index;
}

void TfrmMain::aEditUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(FSelIndex != -200);
}

void TfrmMain::aItemUpUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(lvMain->Visible() && FSelIndex > 0);
}

void TfrmMain::aItemDownUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(lvMain->Visible() && FSelIndex >= 0 &&
                                                  FSelIndex < lvMain->Count() - 1);
}

void TfrmMain::aSortUpdate(tk::TComponent* sender) {
    static_cast<tk::TAction*>(sender)->SetEnabled(lvMain->Visible() && lvMain->Count() > 1);
}

void TfrmMain::ToolButton10Click(tk::TComponent*) {
    TfrmOptions dialog(this, settings_.OptionsFile);
    dialog.ShowModal();
}

bool TfrmMain::SelectedRowExists() { return FSelIndex >= 0 && FSelIndex < lvMain->Count(); }

void TfrmMain::WriteThrough(const std::function<void()>& write) {
    try {
        write();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        try {
            ReloadList();
        } catch (...) {
            // The key could not even be read back: both errors go to the box.
            throw tk::ERegistryException(tk::ExceptionMessage(error) + L"\r\n" +
                                         tk::ExceptionMessage(std::current_exception()));
        }
        std::rethrow_exception(error);
    }
}

void TfrmMain::ReloadList() {
    ListUpdate update(*lvMain);
    lvMain->Clear();
    store_->LoadItems(settings_.KeyPath);
}

void TfrmMain::ExchangeRows(int a, int b) {
    // The rows stay where they are; only their texts change places.
    const std::wstring alias = lvMain->ItemCaption(a), path = lvMain->ItemSubItem(a);
    lvMain->SetItemCaption(a, lvMain->ItemCaption(b));
    lvMain->SetItemSubItem(a, lvMain->ItemSubItem(b));
    lvMain->SetItemCaption(b, alias);
    lvMain->SetItemSubItem(b, path);
}

void TfrmMain::tbAddClick(tk::TComponent*) {
    TfrmProperty dialog(this, L"", L"");
    if (dialog.ShowModal() != tk::mrOk) return;
    AppendShortcut(dialog.feName->Text(), dialog.fePath->Text());
}

void TfrmMain::AppendShortcut(const std::wstring& alias, const std::wstring& path) {
    const int index = lvMain->Count();
    WriteThrough([&] {
        store_->WriteRegString(settings_.KeyPath, AliasValueName(index), alias);
        store_->WriteRegString(settings_.KeyPath, PathValueName(index), path);
    });
    lvMain->AddItem(alias, path);
}

void TfrmMain::aEditExecute(tk::TComponent*) {
    // The remembered row may lie past the end of a list that has shrunk: nothing to edit then.
    if (!SelectedRowExists()) return;
    const int i = FSelIndex;
    TfrmProperty dialog(this, lvMain->ItemCaption(i), lvMain->ItemSubItem(i));
    if (dialog.ShowModal() != tk::mrOk) return;
    const std::wstring alias = dialog.feName->Text(), path = dialog.fePath->Text();
    WriteThrough([&] {
        store_->WriteRegString(settings_.KeyPath, AliasValueName(i), alias);
        store_->WriteRegString(settings_.KeyPath, PathValueName(i), path);
    });
    lvMain->SetItemCaption(i, alias);
    lvMain->SetItemSubItem(i, path);
}

void TfrmMain::lvMainDblClick(tk::TComponent* sender) {
    // Edits the remembered row, wherever the double click landed.
    if (FSelIndex >= 0) aEditExecute(sender);
}

void TfrmMain::aDeleteExecute(tk::TComponent*) {
    if (!SelectedRowExists()) return;
    if (AppOptions.AskDelete &&
        tk::Application().ShowMessageBox(kConfirmDelete, kMessageCaption,
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    const int i = FSelIndex;
    const int n = lvMain->Count() - 1;
    RowsAfterChange next(*rows_, n, [i](int k) { return k < i ? k : k + 1; });
    // The rows below move up first and the pair that falls off the end goes last: a failure in
    // between leaves a row twice in the key, never a row lost.
    WriteThrough([&] {
        store_->WriteItemRange(settings_.KeyPath, i, n - 1, next);
        store_->DeleteItemValues(settings_.KeyPath, n);
    });
    lvMain->DeleteItem(i);
    if (i < n) {
        lvMain->SetItemIndex(i);
    } else if (n > 0) {
        lvMain->SetItemIndex(0);
    }
}

void TfrmMain::aItemUpExecute(tk::TComponent*) {
    const int i = FSelIndex;
    if (i <= 0 || i >= lvMain->Count()) return;
    RowsAfterChange next(*rows_, lvMain->Count(), [i](int k) { return k == i ? i - 1 : k == i - 1 ? i : k; });
    WriteThrough([&] { store_->WriteItemRange(settings_.KeyPath, i - 1, i, next); });
    ExchangeRows(i - 1, i);
    lvMain->SetItemIndex(i - 1);
}

void TfrmMain::aItemDownExecute(tk::TComponent*) {
    const int i = FSelIndex;
    if (i < 0 || i + 1 >= lvMain->Count()) return;
    RowsAfterChange next(*rows_, lvMain->Count(), [i](int k) { return k == i ? i + 1 : k == i + 1 ? i : k; });
    WriteThrough([&] { store_->WriteItemRange(settings_.KeyPath, i, i + 1, next); });
    ExchangeRows(i, i + 1);
    lvMain->SetItemIndex(i + 1);
}

void TfrmMain::aSortExecute(tk::TComponent*) {
    ShortcutList current = ShortcutList::CopyOf(*rows_);
    const int n = current.RowCount();
    std::vector<std::string> keys;
    keys.reserve(static_cast<size_t>(n));
    for (const Shortcut& s : current.Items()) keys.push_back(AliasSortKey(s.Alias));
    const std::vector<int> order = AliasSortOrder(keys, FSortAscending);
    std::vector<Shortcut> sorted;
    sorted.reserve(static_cast<size_t>(n));
    for (int from : order) sorted.push_back(current.Items()[static_cast<size_t>(from)]);
    ShortcutList next(std::move(sorted));
    WriteThrough([&] { store_->WriteItemRange(settings_.KeyPath, 0, n - 1, next); });
    ListUpdate update(*lvMain);
    for (int k = 0; k < n; ++k) {
        // The rows stay where they are; only their texts move.
        const Shortcut& was = current.Items()[static_cast<size_t>(k)];
        const Shortcut& now = next.Items()[static_cast<size_t>(k)];
        if (was.Alias != now.Alias) lvMain->SetItemCaption(k, now.Alias);
        if (was.Path != now.Path) lvMain->SetItemSubItem(k, now.Path);
    }
    aSort->SetHint(FSortAscending ? kSortHintAfterAscending : kSortHintAfterDescending);
    FSortAscending = !FSortAscending;
}

void TfrmMain::tbRefreshClick(tk::TComponent*) { ReloadList(); }

void TfrmMain::tbHelpClick(tk::TComponent*) {
    ShellExecuteW(Handle(), L"Open", settings_.HelpFile.c_str(), nullptr, nullptr, SW_SHOW);
}

void TfrmMain::bExportClick(tk::TComponent*) {
    SaveDialog1->SetTitle(kExportTitle);
    SaveDialog1->SetFilter(kBackupFilter);
    if (!SaveDialog1->Execute()) return;
    const std::wstring name = BackupFileName(SaveDialog1->FileName());
    if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES &&
        tk::Application().ShowMessageBox(name + kOverwriteQuestion, kMessageCaption,
                                         MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) != IDYES)
        return;
    // A file that cannot be written raises the INI error, which the error box shows.
    ExportBackup(tk::TIniFile(name), *rows_);
}

void TfrmMain::bImportClick(tk::TComponent*) {
    OpenDialog1->SetTitle(kImportTitle);
    OpenDialog1->SetFilter(kBackupFilter);
    if (!OpenDialog1->Execute()) return;
    // An import that fails keeps the entries it added (each is in the key and the list) and says
    // how many there were.
    int added = 0;
    try {
        // A backup in UTF-8 or UTF-16 big-endian is read through a UTF-16 copy of its text.
        const tk::TUnicodeIniCopy backup(OpenDialog1->FileName());
        ImportBackup(backup.File(), *rows_,
                     [this, &added](const std::wstring& alias, const std::wstring& path) {
                         AppendShortcut(alias, path);
                         ++added;
                     });
    } catch (...) {
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
    tk::TForm::WndProc(m);
}

}  // namespace qd
