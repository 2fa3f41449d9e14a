// The folder menu's recent folders: the icon menu's switch, the submenu below the rows, its
// folders checked by the folder probe as the rows are, and the record of each visit.
#include "menu/FolderMenuApp.h"

#include "resources/forms/FolderMenuDesc.h"

namespace qd::menu {

namespace {

// The probe's tickets of the recent folders carry this bit beside the candidate's number; the
// rows' tickets are row numbers, far below it.
constexpr std::uint64_t kRecentTicket = 0x80000000u;
// Folders checked at each opening: enough that twenty remain when some are gone.
constexpr std::size_t kRecentFoldersChecked = 3 * kRecentFoldersKept;

}  // namespace

void TFolderMenuApp::SetUpRecentFolders(tk::TMenuItem* trayItems) {
    recent_ = std::make_unique<RecentFolders>(settings_.OptionsFile, settings_.RecentFoldersFile,
                                              settings_.ShellRecentFolder);
    miRecentFolders = trayItems->Add(desc::kRecentFoldersSwitchCaption);
    miRecentFolders->OnClick = [this](tk::TComponent*) { recent_->SetEnabled(!recent_->Enabled()); };
    RecentMenu = new TsuiListMenu(this);
    RecentMenu->SetFileTheme(Theme);
    RecentMenu->SetUIStyle(TsuiUIStyle::FromThemeFile);
    RecentMenu->OnOpening = [this](tk::TComponent*) { FillRecentMenu(); };
}

void TFolderMenuApp::AddRecentFoldersItem(std::vector<TsuiListMenuItem>& items) {
    recentItem_ = -1;
    recentChecked_.clear();
    recentShown_.clear();
    if (!recent_->Enabled()) return;
    items.push_back({L"-", true});
    recentItem_ = static_cast<int>(items.size());
    items.push_back({desc::kRecentFoldersCaption, true, RecentMenu});
}

void TFolderMenuApp::FillRecentMenu() {
    // What the checks found out so far: a folder found missing is left out, one not yet answered
    // (or not answering) stays.
    recentShown_ = recent_->Folders([this](const std::wstring& folder) {
        const auto known = knownStates_.find(folder);
        return known != knownStates_.end() && known->second == tk::TFolderState::Missing;
    });
    std::vector<TsuiListMenuItem> items;
    for (const std::wstring& folder : recentShown_) items.push_back({AliasCaption(folder), true});
    if (recentShown_.empty()) items.push_back({desc::kNoRecentFolders, false});
    if (!recent_->WriteError().empty())
        items.push_back({AliasCaption(desc::kRecentFoldersNotSaved + recent_->WriteError()), false});
    RecentMenu->SetItems(std::move(items));
}

void TFolderMenuApp::CheckRecentFolders() {
    // Read once the menu is on the screen (reading the shell's shortcuts may take a while), and
    // before the mouse or a key can open the submenu: this runs first in the menu's loop.
    if (recentItem_ < 0) return;
    recent_->Gather();
    recentChecked_ = recent_->Candidates(kRecentFoldersChecked);
    for (size_t i = 0; i < recentChecked_.size(); ++i)
        Probe->Submit((static_cast<std::uint64_t>(checkRound_) << 32) | kRecentTicket | i, recentChecked_[i]);
}

bool TFolderMenuApp::RecentFolderAnswer(const tk::TFolderAnswer& answer) {
    if (!(answer.Ticket & kRecentTicket)) return false;
    knownStates_[answer.Path] = answer.State;
    // The submenu already open greys a folder found missing meanwhile.
    for (size_t i = 0; i < recentShown_.size(); ++i)
        if (recentShown_[i] == answer.Path && RecentMenu->IsOpen())
            RecentMenu->SetItemEnabled(static_cast<int>(i), answer.State != tk::TFolderState::Missing);
    return true;
}

void TFolderMenuApp::TakeUserThereAndRecord(HWND front, const std::wstring& folder) {
    settings_.TakeUserThere(front, folder, ExploreFolderOption());
    recent_->Record(folder);
}

}  // namespace qd::menu
