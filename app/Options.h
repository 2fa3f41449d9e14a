// The options dialog: three check boxes for the options record, OK saves them, Cancel does not.
#pragma once

#include <string>

#include "toolkit/win/Form.h"
#include "toolkit/win/StdCtrls.h"

namespace qd {

class TfrmOptions : public tk::TForm {
public:
    TfrmOptions(tk::TComponent* owner, std::wstring optionsFile);
    ~TfrmOptions() override;
    std::string_view ClassName() const override { return "TfrmOptions"; }

    tk::TGroupBox* GroupBox1 = nullptr;
    tk::TCheckBox* cbExploreFolder = nullptr;
    tk::TCheckBox* cbAskDelete = nullptr;
    tk::TCheckBox* cbShowTips = nullptr;
    tk::TButton* bOK = nullptr;
    tk::TButton* bCancel = nullptr;

    void FormCreate(tk::TComponent* sender);
    void bOKClick(tk::TComponent* sender);

private:
    std::wstring optionsFile_;
};

}  // namespace qd
