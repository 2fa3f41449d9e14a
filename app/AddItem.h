// The property dialog: the alias and folder path of one shortcut, for adding and for editing.
// OK accepts only two non-empty texts whose path is a full path of an existing folder; the browse button
// fills both from the shell's folder picker.
#pragma once

#include <string>

#include "list/FolderAlias.h"
#include "flat/FlatButton.h"
#include "flat/FlatEdit.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/StdCtrls.h"

namespace qd {

// The text of the box shown when the path is not an existing folder.
std::wstring PathNotFoundText(const std::wstring& path);
// The text of the box shown when the path is relative (".", "docs", "C:Temp", "\\Temp").
std::wstring PathNotFullText(const std::wstring& path);

class TfrmProperty : public tk::TForm {
public:
    TfrmProperty(tk::TComponent* owner, const std::wstring& alias, const std::wstring& path);
    ~TfrmProperty() override;
    std::string_view ClassName() const override { return "TfrmProperty"; }

    TFlatButton* fbOk = nullptr;
    TFlatButton* fbCancel = nullptr;
    tk::TGroupBox* GroupBox1 = nullptr;
    tk::TLabel* Label1 = nullptr;
    tk::TLabel* Label2 = nullptr;
    TFlatEdit* feName = nullptr;
    TFlatEdit* fePath = nullptr;
    TFlatSpeedButton* fsbBrowse = nullptr;

    void fbOkClick(tk::TComponent* sender);
    void fsbBrowseClick(tk::TComponent* sender);
};

}  // namespace qd
