#include "app/AddItem.h"

#include <windows.h>

#include "app/Global.h"
#include "list/PathRules.h"
#include "resources/forms/PropertyFormDesc.h"
#include "toolkit/win/Application.h"

namespace qd {

std::wstring PathNotFoundText(const std::wstring& path) { return path + L"," + kPathNotFound; }

std::wstring PathNotFullText(const std::wstring& path) { return path + L"," + kPathNotFull; }

TfrmProperty::TfrmProperty(tk::TComponent* owner, const std::wstring& alias, const std::wstring& path)
    : tk::TForm(owner) {
    using namespace desc;
    SetName(L"frmProperty");
    SetCaption(kPropertyCaption);
    SetBorderStyle(tk::TFormBorderStyle::Dialog);
    SetPosition(tk::TPosition::OwnerFormCenter);
    SetFont({L"MS Sans Serif", -11});
    SetClientSize(kPropertyClientWidth, kPropertyClientHeight);

    auto place = [](tk::TControl* c, const Box& b) { c->SetBounds(b.left, b.top, b.width, b.height); };

    fbOk = new TFlatButton(this);
    fbOk->SetName(L"fbOk");
    fbOk->SetParent(this);
    place(fbOk, kPropertyOkButton);
    fbOk->SetCaption(kOkCaption);
    fbOk->SetTabOrder(0);
    fbOk->OnClick = [this](tk::TComponent* s) { fbOkClick(s); };

    fbCancel = new TFlatButton(this);
    fbCancel->SetName(L"fbCancel");
    fbCancel->SetParent(this);
    place(fbCancel, kPropertyCancelButton);
    fbCancel->SetCaption(kCancelCaption);
    fbCancel->SetTabOrder(1);
    fbCancel->SetModalResult(tk::mrCancel);

    GroupBox1 = new tk::TGroupBox(this);
    GroupBox1->SetName(L"GroupBox1");
    GroupBox1->SetParent(this);
    place(GroupBox1, kPropertyGroupBox);
    GroupBox1->SetTabOrder(2);

    auto makeLabel = [&](const wchar_t* name, const Box& b, const wchar_t* caption) {
        auto* label = new tk::TLabel(this);
        label->SetName(name);
        label->SetParent(GroupBox1);
        place(label, b);
        label->SetCaption(caption);
        return label;
    };
    Label1 = makeLabel(L"Label1", kAliasLabel, kAliasLabelCaption);
    Label2 = makeLabel(L"Label2", kPathLabel, kPathLabelCaption);

    auto makeEdit = [&](const wchar_t* name, const Box& b, int order) {
        auto* edit = new TFlatEdit(this);
        edit->SetName(name);
        edit->SetParent(GroupBox1);
        place(edit, b);
        edit->SetColorFlat(tk::clBtnFace);
        edit->SetParentColor(true);
        edit->SetTabOrder(order);
        return edit;
    };
    feName = makeEdit(L"feName", kAliasEdit, 0);
    fePath = makeEdit(L"fePath", kPathEdit, 1);

    fsbBrowse = new TFlatSpeedButton(this);
    fsbBrowse->SetName(L"fsbBrowse");
    fsbBrowse->SetParent(GroupBox1);
    place(fsbBrowse, kBrowseButton);
    fsbBrowse->SetCaption(kBrowseCaption);
    fsbBrowse->SetFont({L"MS Sans Serif", kBrowseFontHeight, RGB(0, 0, 0), true});
    fsbBrowse->OnClick = [this](tk::TComponent* s) { fsbBrowseClick(s); };

    feName->SetText(alias);
    fePath->SetText(path);
    // Typing starts in the alias. Enter is OK, through its checks; Escape is Cancel.
    OnShow = [this](tk::TComponent*) { feName->SetFocus(); };
    OnEnterKey = [this](tk::TComponent*) { fbOk->Click(); };
    OnEscapeKey = [this](tk::TComponent*) { fbCancel->Click(); };
}

TfrmProperty::~TfrmProperty() { DestroyComponents(); }

void TfrmProperty::fbOkClick(tk::TComponent*) {
    const std::wstring alias = feName->Text();
    const std::wstring path = fePath->Text();
    if (alias.empty() || path.empty()) {
        MessageBoxW(GetActiveWindow(), kEmptyAliasOrPath, kMessageCaption, MB_OK | MB_ICONSTOP);
        return;
    }
    // A relative path names a folder here and another one in the folder menu, which reads it
    // against a folder of its own: only full paths are stored, whether or not this one exists.
    if (!IsFullPath(path)) {
        tk::Application().ShowMessageBox(PathNotFullText(path), kMessageCaption, MB_OK | MB_ICONSTOP);
        fePath->SetFocus();
        return;
    }
    if (DirectoryExists(path)) {
        SetModalResult(tk::mrOk);
        return;
    }
    tk::Application().ShowMessageBox(PathNotFoundText(path), kMessageCaption, MB_OK | MB_ICONSTOP);
    fePath->SetFocus();
}

void TfrmProperty::fsbBrowseClick(tk::TComponent*) {
    std::wstring dir;
    if (!BrowseForFolder(kBrowseInstruction, L"", dir)) return;
    fePath->SetText(dir);
    feName->SetText(GetFolderAlias(dir));
}

}  // namespace qd
