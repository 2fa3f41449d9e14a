#include "menu/HotKeyDialog.h"

#include <windows.h>

#include "resources/forms/FolderMenuDesc.h"

namespace qd::menu {

namespace {

bool IsModifierKey(WPARAM key) {
    switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
        return true;
    default:
        return false;
    }
}

std::wstring ModifiersText(unsigned modifiers) {
    // The text of a key with these modifiers, without the key's name.
    const std::wstring withKey = HotKeyText({modifiers, 'A'});
    return withKey.substr(0, withKey.size() - 1);
}

}  // namespace

unsigned HeldModifiers() {
    const auto held = [](int key) { return GetKeyState(key) < 0; };
    unsigned modifiers = 0;
    if (held(VK_CONTROL)) modifiers |= HotKey::kCtrl;
    if (held(VK_MENU)) modifiers |= HotKey::kAlt;
    if (held(VK_SHIFT)) modifiers |= HotKey::kShift;
    if (held(VK_LWIN) || held(VK_RWIN)) modifiers |= HotKey::kWin;
    return modifiers;
}

THotKeyEdit::THotKeyEdit(tk::TComponent* owner) : TFlatEdit(owner) {}

void THotKeyEdit::SetKey(const HotKey& key) {
    key_ = key;
    keyShown_ = true;
    SetText(key.Empty() ? desc::kNoHotKeyText : HotKeyText(key));
}

void THotKeyEdit::ShowHeldModifiers() {
    const unsigned modifiers = HeldModifiers();
    if (modifiers == 0) {
        // Keys let go without a key to go with them: the field shows the key it holds.
        if (!keyShown_) SetKey(key_);
        return;
    }
    keyShown_ = false;
    SetText(ModifiersText(modifiers));
}

void THotKeyEdit::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE: {
        // Tab, Enter and Escape pressed alone belong to the dialog; every other key is the field's.
        const auto* msg = reinterpret_cast<const MSG*>(m.LParam);
        if (msg && msg->message == WM_KEYDOWN && HeldModifiers() == 0 &&
            (msg->wParam == VK_TAB || msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
            m.Result = 0;
            return;
        }
        m.Result = DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTCHARS | DLGC_WANTARROWS;
        return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const unsigned modifiers = HeldModifiers();
        if (IsModifierKey(m.WParam)) {
            ShowHeldModifiers();
        } else if (modifiers == 0 && (m.WParam == VK_BACK || m.WParam == VK_DELETE)) {
            SetKey(HotKey{});
            if (OnKeyChange) OnKeyChange(this);
        } else if (!KeyName(static_cast<unsigned>(m.WParam)).empty()) {
            SetKey(HotKey{modifiers, static_cast<unsigned>(m.WParam)});
            if (OnKeyChange) OnKeyChange(this);
        }
        m.Result = 0;
        return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        ShowHeldModifiers();
        m.Result = 0;
        return;
    // The field takes no text: typed characters, pasting, cutting and the edit's own menu.
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_CONTEXTMENU:
        m.Result = 0;
        return;
    default:
        break;
    }
    TFlatEdit::WndProc(m);
}

TfrmHotKey::TfrmHotKey(tk::TComponent* owner, const HotKey& current, const std::wstring& status,
                       std::function<std::wstring(const HotKey&)> apply)
    : tk::TForm(owner), apply_(std::move(apply)) {
    using namespace desc;
    SetName(L"frmHotKey");
    SetCaption(kHotKeyDialogCaption);
    SetBorderStyle(tk::TFormBorderStyle::Dialog);
    SetPosition(tk::TPosition::ScreenCenter);
    SetFont({L"MS Sans Serif", -11});
    SetClientSize(kHotKeyClientWidth, kHotKeyClientHeight);

    auto place = [](tk::TControl* c, const MenuBox& b) { c->SetBounds(b.left, b.top, b.width, b.height); };

    Label1 = new tk::TLabel(this);
    Label1->SetName(L"Label1");
    Label1->SetParent(this);
    place(Label1, kHotKeyLabel);
    Label1->SetCaption(kHotKeyLabelCaption);

    hkKey = new THotKeyEdit(this);
    hkKey->SetName(L"hkKey");
    hkKey->SetParent(this);
    place(hkKey, kHotKeyEdit);
    hkKey->SetColorFlat(tk::clBtnFace);
    hkKey->SetParentColor(true);
    hkKey->SetTabOrder(0);
    hkKey->SetKey(current);

    lStatus = new tk::TLabel(this);
    lStatus->SetName(L"lStatus");
    lStatus->SetParent(this);
    place(lStatus, kHotKeyStatus);
    lStatus->SetCaption(status);
    // A new key pressed: what was said of the old one no longer holds.
    hkKey->OnKeyChange = [this](tk::TComponent*) { lStatus->SetCaption(L""); };

    bOK = new TFlatButton(this);
    bOK->SetName(L"bOK");
    bOK->SetParent(this);
    place(bOK, kHotKeyOkButton);
    bOK->SetCaption(kHotKeyOkCaption);
    bOK->SetTabOrder(1);
    bOK->OnClick = [this](tk::TComponent* s) { bOKClick(s); };

    bCancel = new TFlatButton(this);
    bCancel->SetName(L"bCancel");
    bCancel->SetParent(this);
    place(bCancel, kHotKeyCancelButton);
    bCancel->SetCaption(kHotKeyCancelCaption);
    bCancel->SetTabOrder(2);
    bCancel->SetModalResult(tk::mrCancel);

    OnShow = [this](tk::TComponent*) {
        SetForegroundWindow(Handle());
        hkKey->SetFocus();
    };
    OnEnterKey = [this](tk::TComponent*) { bOK->Click(); };
    OnEscapeKey = [this](tk::TComponent*) { bCancel->Click(); };
}

TfrmHotKey::~TfrmHotKey() { DestroyComponents(); }

void TfrmHotKey::bOKClick(tk::TComponent*) {
    const HotKey key = hkKey->Key();
    if (!key.Empty() && !IsUsableHotKey(key)) {
        lStatus->SetCaption(desc::kHotKeyNeedsModifier);
        return;
    }
    const std::wstring problem = apply_ ? apply_(key) : std::wstring();
    if (!problem.empty()) {
        lStatus->SetCaption(problem);
        return;
    }
    SetModalResult(tk::mrOk);
}

}  // namespace qd::menu
