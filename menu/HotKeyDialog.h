// The hot key dialog ("热键…"): a flat field that takes the key combination pressed in it, a line
// that says what is wrong with a key (taken by another program, without Ctrl, Alt or Win), and
// flat OK and Cancel buttons. OK hands the key to the caller, which tries it; the dialog closes
// only when the caller took it.
#pragma once

#include <functional>
#include <string>

#include "flat/FlatButton.h"
#include "flat/FlatEdit.h"
#include "menu/FolderMenuLogic.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/StdCtrls.h"

namespace qd::menu {

// A flat edit that shows the keys pressed in it instead of taking text: the modifiers held
// ("Ctrl+Alt+") until a key comes with them ("Ctrl+Alt+F"). Backspace or Delete alone clears it
// (no hot key); Tab, Enter and Escape alone keep their meaning in the dialog.
class THotKeyEdit : public TFlatEdit {
public:
    explicit THotKeyEdit(tk::TComponent* owner);
    std::string_view ClassName() const override { return "THotKeyEdit"; }

    const HotKey& Key() const { return key_; }
    void SetKey(const HotKey& key);
    // Told when a key was pressed into the field.
    tk::TNotifyEvent OnKeyChange;

    void WndProc(tk::TMessage& message) override;

private:
    void ShowHeldModifiers();
    HotKey key_;
    bool keyShown_ = true;  // the text shows key_, not only the modifiers being held
};

// The modifiers held now, as HotKey flags.
unsigned HeldModifiers();

class TfrmHotKey : public tk::TForm {
public:
    // apply: tries the key chosen; returns an empty text when it is in force (the dialog closes),
    // else the reason it is not, shown in the dialog.
    TfrmHotKey(tk::TComponent* owner, const HotKey& current, const std::wstring& status,
               std::function<std::wstring(const HotKey&)> apply);
    ~TfrmHotKey() override;
    std::string_view ClassName() const override { return "TfrmHotKey"; }

    tk::TLabel* Label1 = nullptr;
    THotKeyEdit* hkKey = nullptr;
    tk::TLabel* lStatus = nullptr;
    TFlatButton* bOK = nullptr;
    TFlatButton* bCancel = nullptr;

    void bOKClick(tk::TComponent* sender);

private:
    std::function<std::wstring(const HotKey&)> apply_;
};

}  // namespace qd::menu
