// The common Open and Save dialogs of other programs: reading the folder one shows and taking one
// to another folder the way a person would, by typing the folder into its file name field and
// pressing OK (a dialog given a folder there changes to it instead of closing), with the file
// name the person had typed put back afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "menu/NavigationRules.h"

namespace qd::menu {

// How long a dialog may take to change to a folder (it lists the folder's files meanwhile).
constexpr UINT kPressTimeoutMs = 10000;

// What can be seen of a window from outside, for KindOf.
WindowFacts FactsOf(HWND window);
// The file name field of a file dialog; nullptr when it has none.
HWND FileNameField(HWND dialog);

// The folder the dialog shows, as it answers CDM_GETFOLDERPATH (the Explorer-style dialogs do),
// when that is an existing folder; false otherwise.
bool FolderOfFileDialog(HWND dialog, std::wstring& folder);

// Takes the dialog to the folder and puts back the file name its field held. folder must be an
// existing folder (the caller checks: a dialog given any other path would open or save a file of
// that name); it is typed only as an absolute path, and OK is pressed only when the field holds it
// exactly as given (the field of an ANSI dialog cannot hold every character). False when the
// dialog was left at its folder or did not answer.
bool SwitchFileDialog(HWND dialog, const std::wstring& folder);

}  // namespace qd::menu
