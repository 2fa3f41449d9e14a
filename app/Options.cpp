#include "app/Options.h"

#include "app/Global.h"
#include "resources/forms/OptionsFormDesc.h"

namespace qd {

TfrmOptions::TfrmOptions(tk::TComponent* owner, std::wstring optionsFile)
    : tk::TForm(owner), optionsFile_(std::move(optionsFile)) {
    using namespace desc;
    SetName(L"frmOptions");
    SetCaption(kOptionsCaption);
    SetBorderStyle(tk::TFormBorderStyle::Dialog);
    SetPosition(tk::TPosition::OwnerFormCenter);
    SetFont({L"MS Sans Serif", -11});
    SetClientSize(kOptionsClientWidth, kOptionsClientHeight);

    auto place = [](tk::TControl* c, const Box& b) { c->SetBounds(b.left, b.top, b.width, b.height); };

    GroupBox1 = new tk::TGroupBox(this);
    GroupBox1->SetName(L"GroupBox1");
    GroupBox1->SetParent(this);
    place(GroupBox1, kGroupBox1);
    GroupBox1->SetTabOrder(0);

    auto makeBox = [&](const wchar_t* name, const Box& b, const wchar_t* caption, int order) {
        auto* box = new TFlatCheckBox(this);
        box->SetName(name);
        box->SetParent(GroupBox1);
        place(box, b);
        box->SetCaption(caption);
        box->SetTabOrder(order);
        return box;
    };
    cbExploreFolder = makeBox(L"cbExploreFolder", kExploreFolderBox, kExploreFolderCaption, 0);
    cbAskDelete = makeBox(L"cbAskDelete", kAskDeleteBox, kAskDeleteCaption, 1);
    cbShowTips = makeBox(L"cbShowTips", kShowTipsBox, kShowTipsCaption, 2);
    cbShowTips->SetVisible(false);

    bOK = new TFlatButton(this);
    bOK->SetName(L"bOK");
    bOK->SetParent(this);
    place(bOK, kOkButton);
    bOK->SetCaption(kOkCaption);
    bOK->SetTabOrder(1);
    bOK->OnClick = [this](tk::TComponent* s) { bOKClick(s); };

    bCancel = new TFlatButton(this);
    bCancel->SetName(L"bCancel");
    bCancel->SetParent(this);
    place(bCancel, kCancelButton);
    bCancel->SetCaption(kCancelCaption);
    bCancel->SetTabOrder(2);
    bCancel->SetModalResult(tk::mrCancel);

    // The keyboard starts on the first box; Enter is OK, Escape is Cancel.
    OnShow = [this](tk::TComponent*) { cbExploreFolder->SetFocus(); };
    OnEnterKey = [this](tk::TComponent*) { bOK->Click(); };
    OnEscapeKey = [this](tk::TComponent*) { bCancel->Click(); };

    OnCreate = [this](tk::TComponent* s) { FormCreate(s); };
    DoCreate();
}

TfrmOptions::~TfrmOptions() { DestroyComponents(); }

void TfrmOptions::FormCreate(tk::TComponent*) {
    cbExploreFolder->SetChecked(AppOptions.ExploreFolder);
    cbAskDelete->SetChecked(AppOptions.AskDelete);
    cbShowTips->SetChecked(AppOptions.ShowTips);
}

void TfrmOptions::bOKClick(tk::TComponent*) {
    TAppOptions chosen;
    chosen.ExploreFolder = cbExploreFolder->Checked();
    chosen.AskDelete = cbAskDelete->Checked();
    chosen.ShowTips = cbShowTips->Checked();
    // A failed save raises the INI error before anything takes effect: the dialog stays open and
    // the options in force stay as they were.
    SaveOptionsFile(optionsFile_, chosen);
    AppOptions = chosen;
    SetModalResult(tk::mrOk);
}

}  // namespace qd
