// SkinPreview.exe: a framed window in one built-in style or one skin file, for skin authors.
//   SkinPreview.exe --style MacOS|WinXP|DeepBlue|Protein|BlueGlass
//   SkinPreview.exe --skin FILE [--password PASSWORD]
// A skin that does not load is reported and the window shows the DeepBlue style instead.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "flat/FlatButton.h"
#include "flat/FlatCheckBox.h"
#include "flat/FlatEdit.h"
#include "skin/controls/Form.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/StdCtrls.h"
#include "tools/skinpreview/PreviewArgs.h"

namespace {

constexpr wchar_t kTitle[] = L"Skin Preview";

std::string AnsiText(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

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
            theme->SetPassword(AnsiText(args.Password));
            theme->SetThemeFile(args.SkinFile);
            failed = !theme->Ready();
        }

        frame = new TsuiForm(this);
        frame->SetName(L"suiForm1");
        frame->SetUIStyle(args.Style);
        frame->SetFileTheme(theme);
        // Every title bar button shows, so that all their pictures can be judged.
        for (int i = 0; i < frame->TitleBarButtons()->Count(); ++i) frame->TitleBarButtons()->Items(i)->SetVisible(true);

        label = new tk::TLabel(this);
        label->SetParent(frame);
        label->SetBounds(16, frame->TitleBar()->Height() + 16, 440, 16);
        label->SetCaption((args.Style == TsuiUIStyle::FromThemeFile && !failed ? L"Skin: " : L"Style: ") +
                          (failed ? std::wstring(L"DeepBlue (the skin file did not load)") : what));

        // The flat controls, as the program's dialogs show them on the frame's colour.
        const int top = frame->TitleBar()->Height() + 48;
        auto* button = new TFlatButton(this);
        button->SetParent(frame);
        button->SetBounds(16, top, 75, 25);
        button->SetCaption(L"Button");
        auto* speed = new TFlatSpeedButton(this);
        speed->SetParent(frame);
        speed->SetBounds(100, top, 25, 25);
        speed->SetCaption(L"...");
        auto* check = new TFlatCheckBox(this);
        check->SetParent(frame);
        check->SetBounds(140, top + 4, 120, 17);
        check->SetCaption(L"Check box");
        check->SetChecked(true);
        auto* edit = new TFlatEdit(this);
        edit->SetParent(frame);
        edit->SetBounds(16, top + 40, 240, 21);
        edit->SetText(L"Flat edit");

        if (failed)
            MessageBoxW(nullptr,
                        (L"The skin file \"" + args.SkinFile +
                         L"\" could not be loaded: it is missing, damaged, not a skin file, or needs another "
                         L"password.\nThe preview shows the DeepBlue style instead.")
                            .c_str(),
                        kTitle, MB_OK | MB_ICONWARNING);
    }
    ~TPreviewForm() override { DestroyComponents(); }
    std::wstring WindowClassName() const override { return L"QuiverdirSkinPreview"; }

    TsuiFileTheme* theme = nullptr;
    TsuiForm* frame = nullptr;
    tk::TLabel* label = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    LocalFree(argv);

    const preview::PreviewArgs parsed = preview::ParsePreviewArgs(args);
    if (!parsed.Error.empty()) {
        MessageBoxW(nullptr, (parsed.Error + L"\n\n" + preview::kPreviewUsage).c_str(), kTitle, MB_OK | MB_ICONERROR);
        return 2;
    }
    tk::Application().Initialize();
    tk::Application().SetTitle(kTitle);
    auto* form = tk::Application().CreateForm<TPreviewForm>(parsed);
    if (!form) return 1;
    form->Show();
    tk::Application().Run();
    return 0;
}
