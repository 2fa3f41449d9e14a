// The standard controls: label, push button, check box, group box, single-line edit.
#pragma once

#include "toolkit/win/Control.h"

namespace tk {

class TLabel : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::string_view ClassName() const override { return "TLabel"; }

protected:
    void CreateParams(TCreateParams& params) override;
};

class TButton : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::string_view ClassName() const override { return "TButton"; }

    // A non-zero modal result is given to the form on click, closing a modal form.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void SetDefault(bool isDefault) { default_ = isDefault; }
    void Click();
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    int modalResult_ = 0;
    bool default_ = false;
};

class TCheckBox : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::string_view ClassName() const override { return "TCheckBox"; }

    bool Checked() const;
    void SetChecked(bool checked);
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    bool checked_ = false;
};

class TGroupBox : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::string_view ClassName() const override { return "TGroupBox"; }
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
};

class TEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::string_view ClassName() const override { return "TEdit"; }

    std::wstring Text();
    void SetText(const std::wstring& text);
    TNotifyEvent OnChange;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
};

// The form a control sits on, or nullptr.
class TForm;
TForm* ParentForm(TControl* control);

}  // namespace tk
