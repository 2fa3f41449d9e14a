// Pasting into the main window's list: Ctrl+V adds the folders the clipboard holds (folders
// copied in Explorer, or folder paths as text), as a drop adds them.
#pragma once

namespace qd {

class TfrmMain;

// Makes Ctrl+V typed in the form's list paste, while the object lives.
class PasteKey {
public:
    explicit PasteKey(TfrmMain& form);
    ~PasteKey();
    PasteKey(const PasteKey&) = delete;
    PasteKey& operator=(const PasteKey&) = delete;

private:
    int hook_;
};

}  // namespace qd
