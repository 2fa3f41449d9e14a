// The common open and save file dialogs as components: a title, a filter in the form
// "Description|pattern|Description|pattern", the chosen file name, and Execute, which shows the
// dialog modally over the active window and says whether a file was chosen.
#pragma once

#include <string>

#include "toolkit/Component.h"

namespace tk {

class TFileDialog : public TComponent {
public:
    using TComponent::TComponent;

    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title) { title_ = title; }
    const std::wstring& Filter() const { return filter_; }
    void SetFilter(const std::wstring& filter) { filter_ = filter; }
    const std::wstring& FileName() const { return fileName_; }
    void SetFileName(const std::wstring& name) { fileName_ = name; }

    // True when the user chose a file (FileName then holds it); false on cancel.
    bool Execute();

protected:
    virtual bool Run(void* openFileName) = 0;

private:
    std::wstring title_, filter_, fileName_;
};

class TOpenDialog : public TFileDialog {
public:
    using TFileDialog::TFileDialog;
    std::string_view ClassName() const override { return "TOpenDialog"; }

protected:
    bool Run(void* openFileName) override;
};

class TSaveDialog : public TFileDialog {
public:
    using TFileDialog::TFileDialog;
    std::string_view ClassName() const override { return "TSaveDialog"; }

protected:
    bool Run(void* openFileName) override;
};

// The platform's filter list from "Description|pattern|...": each '|' becomes a zero and the
// list ends with two zeros.
std::wstring FilterList(const std::wstring& filter);

}  // namespace tk
