// Forms: top-level windows with a caption, a client size, a border style and a placement, shown
// modeless (Show) or modal (ShowModal, ending with a modal result).
#pragma once

#include <vector>

#include "toolkit/win/Control.h"

namespace tk {

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

enum class TFormBorderStyle { Sizeable, Dialog };
enum class TPosition { Designed, ScreenCenter, OwnerFormCenter };

// Where a window of the given size goes: centred on the area, kept inside the work area.
TRect CenteredPlacement(const TRect& area, const TRect& workArea, int width, int height);

// The visible, enabled top-level windows of the calling thread: those a modal window disables
// while it is up and enables again afterwards.
std::vector<HWND> EnabledThreadWindows();

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    std::string_view ClassName() const override { return "TForm"; }

    // The window class name under which the form's window is registered.
    virtual std::wstring WindowClassName() const { return L"tk.Form"; }

    void SetClientSize(int width, int height);
    void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
    void SetPosition(TPosition position) { position_ = position; }
    void SetMinSize(int width, int height) { minWidth_ = width; minHeight_ = height; }
    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }

    void Show();
    void Hide() { SetVisible(false); }
    void Close();
    int ShowModal();
    bool Modal() const { return modal_; }

    // The control that gets the keyboard whenever the form becomes active: this one at first, then
    // whichever of the form's controls had it when the form was left (for a message box or a
    // dialog, say). Without one, an activated form keeps the keyboard itself.
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);

    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    // Enter and Escape typed into a control that does not take them itself (the dialog manager
    // reports them as IDOK and IDCANCEL); without a handler the key does nothing.
    TNotifyEvent OnEnterKey;
    TNotifyEvent OnEscapeKey;
    // Runs the creation handler; a form calls it once its components exist.
    void DoCreate();

    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, Operation operation) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void VisibleChanged() override;
    void BoundsChanged() override;

private:
    void PlaceWindow();
    // Gives the keyboard back to the control that had it last (or to the active control).
    void RestoreFocus();

    TFormBorderStyle borderStyle_ = TFormBorderStyle::Sizeable;
    TPosition position_ = TPosition::Designed;
    int clientWidth_ = 0, clientHeight_ = 0;
    int minWidth_ = 0, minHeight_ = 0;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool placed_ = false;
    TWinControl* activeControl_ = nullptr;
    HWND lastFocus_ = nullptr;
};

}  // namespace tk
