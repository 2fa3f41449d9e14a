// SkinPreview.exe: a framed window in one built-in style or one skin file, for skin authors.
//   SkinPreview.exe --style MacOS|WinXP|DeepBlue|Protein|BlueGlass
//   SkinPreview.exe --skin FILE [--password PASSWORD]
// A relative FILE is taken from the current folder. A skin that does not load is reported and the window shows the DeepBlue style instead.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "flat/FlatButton.h"
#include "flat/FlatCheckBox.h"
#include "flat/FlatEdit.h"
#include "skin/controls/Form.h"
#include "skin/controls/MainMenu.h"
#include "skin/controls/PopupMenu.h"
#include "skin/controls/ToolBar.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/ActionList.h"
#include "toolkit/win/AnsiText.h"
#include "toolkit/win/FileDialogs.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/ImageList.h"
#include "toolkit/win/StdCtrls.h"
#include "tools/skinpreview/PreviewArgs.h"

namespace {

constexpr wchar_t kTitle[] = L"Skin Preview";

class TPreviewForm : public tk::TForm {
public:
    explicit TPreviewForm(const preview::PreviewArgs& args) : tk::TForm(nullptr) {
        SetName(L"frmPreview");
        const std::wstring what =
            args.Style == TsuiUIStyle::FromThemeFile ? args.SkinFile : preview::StyleName(args.Style);
        SetCaption(std::wstring(kTitle) + L" - " + what);
        SetBorderStyle(tk::TFormBorderStyle::Sizeable);
        SetPosition(tk::TPosition::ScreenCenter);
        SetClientSize(480, 300);

        theme = new TsuiFileTheme(this);
        theme->SetName(L"suiFileTheme1");
        bool failed = false;
        if (args.Style == TsuiUIStyle::FromThemeFile) {
            theme->SetPassword(tk::ToAnsi(args.Password));
            theme->SetThemeFile(args.SkinFile);
            failed = !theme->Ready();
        }

        frame = new TsuiForm(this);
        frame->SetName(L"suiForm1");
        frame->SetUIStyle(args.Style);
        frame->SetFileTheme(theme);
        // Every title bar button shows, so that all their pictures can be judged.
        for (int i = 0; i < frame->TitleBarButtons()->Count(); ++i) frame->TitleBarButtons()->Items(i)->SetVisible(true);

        // A skinned tool bar: a checked, a disabled and a plain button.
        images = new tk::TImageList(this, 16, 16);
        images->AddResourceStrip(L"TOOLBAR_IMAGES");
        disabled = new tk::TAction(this);
        disabled->SetCaption(L"Disabled");
        disabled->SetImageIndex(1);
        disabled->SetEnabled(false);
        toolBar = new TsuiToolBar(this);
        toolBar->SetUIStyle(args.Style);
        toolBar->SetFileTheme(theme);
        toolBar->SetBounds(0, frame->ContentTop(), frame->Width(), 36);
        toolBar->SetButtonSize(56, 36);
        toolBar->SetImages(images);
        auto addButton = [this](const wchar_t* caption, int image) {
            auto* b = new tk::TToolButton(this);
            b->SetCaption(caption);
            b->SetImageIndex(image);
            toolBar->AddButton(b);
            return b;
        };
        tk::TToolButton* checked = addButton(L"Checked", 9);
        checked->SetStyle(tk::TToolButtonStyle::Check);
        checked->SetDown(true);
        tk::TToolButton* off = addButton(L"", -1);
        off->SetAction(disabled);
        addButton(L"Plain", 6);
        toolBar->SetParent(frame);

        // A skinned popup menu on a right click anywhere in the window.
        popup = new TsuiPopupMenu(this);
        popup->SetUIStyle(args.Style);
        popup->SetFileTheme(theme);
        popup->Items()->Add(L"&Open");
        popup->Items()->Add(L"-");
        popup->Items()->Add(L"Checked item")->SetChecked(true);
        popup->Items()->Add(L"Disabled item")->SetEnabled(false);
        popup->Loaded();

        label = new tk::TLabel(this);
        label->SetParent(frame);
        ShowWhat((args.Style == TsuiUIStyle::FromThemeFile && !failed ? L"Skin: " : L"Style: ") +
                 (failed ? std::wstring(L"DeepBlue (the skin file did not load)") : what));

        // The flat controls, as the program's dialogs show them on the frame's colour.
        button = new TFlatButton(this);
        button->SetParent(frame);
        button->SetCaption(L"Button");
        speed = new TFlatSpeedButton(this);
        speed->SetParent(frame);
        speed->SetCaption(L"...");
        check = new TFlatCheckBox(this);
        check->SetParent(frame);
        check->SetCaption(L"Check box");
        check->SetChecked(true);
        edit = new TFlatEdit(this);
        edit->SetParent(frame);
        edit->SetText(L"Flat edit");

        // The main menu in the frame's menu bar.
        mainMenu = new TsuiMainMenu(this);
        mainMenu->SetName(L"suiMainMenu1");
        tk::TMenuItem* file = mainMenu->Items()->Add(L"&File");
        file->Add(L"&Open skin...")->OnClick = [this](tk::TComponent*) { OpenSkin(); };
        file->Add(L"-");
        tk::TMenuItem* exit = file->Add(L"E&xit");
        exit->SetShortCut(static_cast<tk::TShortCut>(tk::scCtrl | 'Q'));
        exit->OnClick = [this](tk::TComponent*) { Close(); };
        tk::TMenuItem* view = mainMenu->Items()->Add(L"&View");
        for (TsuiUIStyle style : {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue, TsuiUIStyle::Protein,
                                  TsuiUIStyle::BlueGlass}) {
            tk::TMenuItem* item = view->Add(preview::StyleName(style));
            item->OnClick = [this, style](tk::TComponent*) {
                Dress(style);
                ShowWhat(L"Style: " + preview::StyleName(style));
                frame->SetCaption(std::wstring(kTitle) + L" - " + preview::StyleName(style));
            };
            styleItems.push_back({item, style});
        }
        view->Add(L"-");
        view->Add(L"Disabled item")->SetEnabled(false);
        tk::TMenuItem* more = view->Add(L"&More");
        more->Add(L"First sub-item");
        more->Add(L"Second sub-item")->SetChecked(true);
        mainMenu->Items()->Add(L"&Help")->Add(L"&About")->OnClick = [this](tk::TComponent*) {
            MessageBoxW(Handle(), L"Skin Preview: the skinned frame, title bar, menu bar, tool bar, menus and flat "
                                  L"controls in one window.",
                        L"About Skin Preview", MB_OK | MB_ICONINFORMATION);
        };
        mainMenu->Loaded();
        frame->OnContentTopChanged = [this](tk::TComponent*) { Layout(); };
        frame->SetMenu(mainMenu);
        Dress(failed ? TsuiUIStyle::DeepBlue : args.Style);
        Layout();

        if (failed)
            MessageBoxW(nullptr,
                        (L"The skin file \"" + args.SkinFile +
                         L"\" could not be loaded: it is missing, damaged, not a skin file, or needs another "
                         L"password.\nThe preview shows the DeepBlue style instead.")
                            .c_str(),
                        kTitle, MB_OK | MB_ICONWARNING);
    }
    ~TPreviewForm() override {
        if (frame) frame->OnContentTopChanged = nullptr;
        DestroyComponents();
    }

    // Dresses the whole window (frame, title bar, menu bar, tool bar and menus) in the style.
    void Dress(TsuiUIStyle style) {
        frame->SetFileTheme(theme);
        frame->SetUIStyle(style);
        toolBar->SetFileTheme(theme);
        toolBar->SetUIStyle(style);
        popup->SetFileTheme(theme);
        popup->SetUIStyle(style);
        mainMenu->SetFileTheme(theme);
        mainMenu->SetUIStyle(style);
        frame->RebuildMenuBar();
        for (const auto& [item, itemStyle] : styleItems) item->SetChecked(itemStyle == style);
        Invalidate();
    }

    void OpenSkin() {
        tk::TOpenDialog dialog(nullptr);
        dialog.SetTitle(L"Open skin");
        dialog.SetFilter(L"Skin files (*.ssk)|*.ssk|All files (*.*)|*.*");
        if (!dialog.Execute()) return;
        const std::filesystem::path previous = theme->ThemeFile();
        theme->SetThemeFile(dialog.FileName());
        if (!theme->Ready()) {
            MessageBoxW(Handle(),
                        (L"The skin file \"" + dialog.FileName() +
                         L"\" could not be loaded: it is missing, damaged, not a skin file, or needs a password.")
                            .c_str(),
                        kTitle, MB_OK | MB_ICONWARNING);
            // The skin shown before stays.
            theme->SetThemeFile(previous);
            return;
        }
        Dress(TsuiUIStyle::FromThemeFile);
        ShowWhat(L"Skin: " + dialog.FileName());
        frame->SetCaption(std::wstring(kTitle) + L" - " + dialog.FileName());
    }

    void ShowWhat(const std::wstring& what) { label->SetCaption(what + L"    (right-click for the popup menu)"); }

    // Places the tool bar and the controls below the title bar and the menu bar.
    void Layout() {
        if (!frame || !toolBar || !edit) return;
        toolBar->SetBounds(0, frame->ContentTop(), frame->Width(), 36);
        const int base = frame->ContentTop() + 36;
        label->SetBounds(16, base + 12, 440, 16);
        const int top = base + 40;
        button->SetBounds(16, top, 75, 25);
        speed->SetBounds(100, top, 25, 25);
        check->SetBounds(140, top + 4, 120, 17);
        edit->SetBounds(16, top + 40, 240, 21);
    }
    std::wstring WindowClassName() const override { return L"QuiverdirSkinPreview"; }

    void WndProc(tk::TMessage& m) override {
        // A right click anywhere in the window reaches the window as a context-menu request.
        if (m.Msg == WM_CONTEXTMENU && popup) {
            POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
            if (p.x == -1 && p.y == -1) GetCursorPos(&p);
            popup->Popup(p.x, p.y);
            m.Result = 0;
            return;
        }
        tk::TForm::WndProc(m);
    }

    TsuiFileTheme* theme = nullptr;
    TsuiForm* frame = nullptr;
    tk::TLabel* label = nullptr;
    tk::TImageList* images = nullptr;
    tk::TAction* disabled = nullptr;
    TsuiToolBar* toolBar = nullptr;
    TsuiPopupMenu* popup = nullptr;
    TsuiMainMenu* mainMenu = nullptr;
    std::vector<std::pair<tk::TMenuItem*, TsuiUIStyle>> styleItems;
    TFlatButton* button = nullptr;
    TFlatSpeedButton* speed = nullptr;
    TFlatCheckBox* check = nullptr;
    TFlatEdit* edit = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    LocalFree(argv);

    preview::PreviewArgs parsed = preview::ParsePreviewArgs(args);
    if (!parsed.Error.empty()) {
        MessageBoxW(nullptr, (parsed.Error + L"\n\n" + preview::kPreviewUsage).c_str(), kTitle, MB_OK | MB_ICONERROR);
        return 2;
    }
    if (!parsed.SkinFile.empty()) {
        std::error_code ec;
        parsed.SkinFile = preview::ResolveSkinPath(parsed.SkinFile, std::filesystem::current_path(ec));
    }
    tk::Application().Initialize();
    tk::Application().SetTitle(kTitle);
    auto* form = tk::Application().CreateForm<TPreviewForm>(parsed);
    if (!form) return 1;
    form->Show();
    tk::Application().Run();
    return 0;
}
