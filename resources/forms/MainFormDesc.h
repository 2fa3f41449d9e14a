// The main window's description: form, tool bar, actions and list, as the window is built.
#pragma once

#include "skin/theme/ThemeItems.h"

namespace qd::desc {

constexpr wchar_t kMainWindowClass[] = L"Quiverdir Made by Tallowmere";
constexpr unsigned kInstanceWakeup = 0x1403;
// Posted to the running editor by another process that changed the list: the editor reloads it.
constexpr unsigned kListChangedNotice = 0x1404;
constexpr wchar_t kApplicationTitle[] = L"Path Warden";
constexpr wchar_t kMainCaption[] = L"Quorvane快捷目录软件 1.1";

constexpr wchar_t kSkinFile[] = L"Silver.ssk";

constexpr int kMainClientWidth = 539, kMainClientHeight = 383;
constexpr int kMainMinWidth = 130, kMainMinHeight = 32;

// What a tool button, a key or an item of the list's menu runs. OpenFolder and CopyPath have an
// action but no button; the ones after them only keys and menu items run.
enum class MainCommand {
    Separator, Add, Edit, Delete, Sort, ItemUp, ItemDown, Refresh, Import, Export, Options, Help,
    OpenFolder, CopyPath,
    Paste, Undo, Redo, Find, FindNext, FindPrevious, CloseFind, SystemMenu,
};

struct ActionDesc {
    const wchar_t* name;
    MainCommand command;
    const wchar_t* caption;
    const wchar_t* hint;
    int image;
};

constexpr ActionDesc kMainActions[] = {
    {L"aEdit", MainCommand::Edit, L"Edit", L"", 0},
    {L"aDelete", MainCommand::Delete, L"Delete", L"", 1},
    {L"aItemUp", MainCommand::ItemUp, L"Up", L"", 2},
    {L"aItemDown", MainCommand::ItemDown, L"Down", L"", 3},
    {L"aSort", MainCommand::Sort, L"Sort", L"Sort by Alias(Ascending)", 8},
    {L"aOpenFolder", MainCommand::OpenFolder, L"Open folder", L"", -1},
    {L"aCopyPath", MainCommand::CopyPath, L"Copy path", L"", -1},
};

struct ToolButtonDesc {
    const wchar_t* name;
    MainCommand command;
    bool boundToAction;    // true: the action of that command; false: a click handler
    const wchar_t* caption;
    const wchar_t* hint;   // empty on an action-bound button: the action's hint shows
    int image;             // -1 on an action-bound button: the action's image shows
};

constexpr ToolButtonDesc kMainToolButtons[] = {
    {L"tbAdd", MainCommand::Add, false, L"增加", L"Add a select folder", 6},
    {L"ToolButton2", MainCommand::Edit, true, L"编辑", L"Edit the selected folder", -1},
    {L"ToolButton3", MainCommand::Delete, true, L"删除", L"Delete the select folder item", -1},
    {L"ToolButton8", MainCommand::Separator, false, L"", L"", -1},
    {L"ToolButton4", MainCommand::Sort, true, L"排序", L"", -1},
    {L"ToolButton5", MainCommand::ItemUp, true, L"上移", L"Move the selected folder item up the list", -1},
    {L"ToolButton6", MainCommand::ItemDown, true, L"下移", L"Move the selected folder item down the list", -1},
    {L"ToolButton9", MainCommand::Separator, false, L"", L"", -1},
    {L"tbRefresh", MainCommand::Refresh, false, L"刷新", L"Refresh the folder list", 1},
    {L"ToolButton12", MainCommand::Separator, false, L"", L"", -1},
    {L"bImport", MainCommand::Import, false, L"导入", L"Import the saved data of Alias and Path", 11},
    {L"bExport", MainCommand::Export, false, L"导出", L"Backup the data of Alias and Path", 10},
    {L"ToolButton13", MainCommand::Separator, false, L"", L"", -1},
    {L"ToolButton10", MainCommand::Options, false, L"参数", L"Open the options dialog to set", 9},
    {L"ToolButton11", MainCommand::Separator, false, L"", L"", -1},
    {L"tbHelp", MainCommand::Help, false, L" 帮助 ", L"Path Warden's help documents", 4},
};

constexpr int kSeparatorWidth = 8;
constexpr int kToolBarTop = 29, kToolBarWidth = 539, kToolBarHeight = 36;
constexpr int kToolButtonWidth = 41, kToolButtonHeight = 36;
// The skinned tool bar's stored look: its style (no theme of its own) and colours.
constexpr TsuiUIStyle kToolBarStyle = TsuiUIStyle::FromThemeFile;
constexpr unsigned kToolBarColor = 0xE8E8E8;
constexpr unsigned kToolBarButtonColor = 0xEFEFEF;
constexpr unsigned kToolBarButtonBorderColor = 0x474747;
constexpr unsigned kToolBarButtonDownColor = 0xD8D8D8;

constexpr int kListLeft = -1, kListTop = 67, kListWidth = 538, kListDesignHeight = 265;
constexpr wchar_t kAliasColumn[] = L"别名";
constexpr int kAliasColumnWidth = 190;
constexpr wchar_t kPathColumn[] = L"路径";
constexpr int kPathColumnWidth = 315;

constexpr wchar_t kToolBarImages[] = L"TOOLBAR_IMAGES";  // 12 images of 16 x 16 in one strip
constexpr int kToolImageSize = 16;

// The window frame (suiForm1): colours, caption font and its title bar's buttons and sections. The
// button kinds and section placements are the ordinals of the title bar's own enumerations.
constexpr unsigned kFrameColor = 0xE8E8E8;
constexpr unsigned kFrameBorderColor = 0x000000;
constexpr int kFrameBorderWidth = 1;
constexpr wchar_t kFrameFontName[] = L"Tahoma";
constexpr int kFrameFontHeight = -13;

struct FrameButtonDesc {
    int type;  // 4 control box, 2 close, 0 maximise, 1 minimise
    bool visible;
};
constexpr FrameButtonDesc kFrameButtons[] = {{4, true}, {2, true}, {0, false}, {1, true}};

struct FrameSectionDesc {
    int align;  // 0 left, 1 right, 2 client
    bool autoSize;
    int width;
    bool stretch;
    int styleItem;  // the built-in picture stored with the section until a style replaces it
};
constexpr FrameSectionDesc kFrameSections[] = {{0, true, 97, false, 10}, {1, true, 97, false, 12}, {2, false, 10, true, 11}};

}  // namespace qd::desc
