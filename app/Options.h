// The options dialog: three check boxes for the options record, OK saves them, Cancel does not.
#pragma once

#include <string>

#include "flat/FlatButton.h"
#include "flat/FlatCheckBox.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/StdCtrls.h"

namespace qd {

class TfrmOptions : public tk::TForm {
public:
    TfrmOptions(tk::TComponent* owner, std::wstring optionsFile);
    ~TfrmOptions() override;
    std::string_view ClassName() const override { return "TfrmOptions"; }

    tk::TGroupBox* GroupBox1 = nullptr;
    TFlatCheckBox* cbExploreFolder = nullptr;
    TFlatCheckBox* cbAskDelete = nullptr;
    TFlatCheckBox* cbShowTips = nullptr;
    TFlatButton* bOK = nullptr;
    TFlatButton* bCancel = nullptr;

    void FormCreate(tk::TComponent* sender);
    void bOKClick(tk::TComponent* sender);

private:
    std::wstring optionsFile_;
};

}  // namespace qd
