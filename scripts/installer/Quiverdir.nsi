; Quiverdir's setup program, built by scripts/package.sh:
;   makensis -INPUTCHARSET UTF8 -DQD_VERSION=1.1.0 -DQD_VERSION_QUAD=1.1.0.0 -DQD_PUBLISHER=...
;            -DQD_COPYRIGHT=... -DQD_STAGE=<folder with the files> -DQD_ICON=<.ico> -DQD_OUTFILE=<.exe>
;
; Installs for the current user (default, no administrator rights) into
; %LOCALAPPDATA%\Programs\Quiverdir, or for all users into Program Files.
; Command line:
;   /S               silent
;   /D=FOLDER        the installation folder (last, unquoted, as NSIS wants it)
;   /AllUsers        install for all users (needs administrator rights)
;   /CurrentUser     install for the current user
;   /LANG=ID         the page language (1033 English, 2052 Chinese); given when the setup program
;                    starts itself again with administrator rights
;   /FolderMenu      start the folder menu (QuiverdirMenu.exe) now and with Windows, as the
;                    finish page's box does
; Uninstaller: /S silent; /AllUsers (written into the entry of an all-users install);
;   /RemoveUserData  also remove the shortcut list, the automatic backups (%APPDATA%\Quiverdir\backups)
;                    and options.ini (beside the program and the user's own in %APPDATA%\Quiverdir).
;
; The user's data is never shipped or overwritten: the shortcut list lives in
; HKCU\Software\Quiverdir, which setup does not touch; options.ini is not part of the installed
; files (beside the program in a folder the user may write to, else in %APPDATA%\Quiverdir); the
; automatic backups live in %APPDATA%\Quiverdir\backups.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define PRODUCT "Quiverdir"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quiverdir"
!define USER_DATA_KEY "Software\Quiverdir"
!define MAIN_WINDOW_CLASS "Quiverdir Made by Tallowmere"
; The folder menu: its hidden window's class, and the value that starts it with Windows.
!define MENU_WINDOW_CLASS "Quiverdir Folder Menu"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "QuiverdirMenu"
; FOLDERID_UserProgramFiles: %LOCALAPPDATA%\Programs
!define FOLDERID_USER_PROGRAM_FILES "{5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}"

Name "${PRODUCT} ${QD_VERSION}"
OutFile "${QD_OUTFILE}"
BrandingText "${PRODUCT} ${QD_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion ${QD_VERSION_QUAD}
VIFileVersion ${QD_VERSION_QUAD}

Var AllUsers      ; 1: install for all users
Var ModeFixed     ; 1: the command line chose the mode, so the page asking for it is skipped
Var DirFixed      ; 1: /D= chose the folder
Var Relaunched    ; 1: started again with administrator rights (/LANG= given)
Var ModeDialog
Var RadioUser
Var RadioAll
Var MenuWasRunning ; 1: a running folder menu was closed to replace its file: it is started again

!define MUI_ICON "${QD_ICON}"
!define MUI_UNICON "${QD_ICON}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_LANGDLL_WINDOWTITLE "安装语言 / Installer Language"
!define MUI_LANGDLL_INFO "请选择语言。$\r$\nPlease select a language."
!define MUI_COMPONENTSPAGE_SMALLDESC

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenRelaunched
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
Page custom ModePage ModePageLeave
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quiverdir.exe"
; The second box of the finish page: the folder menu, now and with Windows.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(StartFolderMenu)"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION StartFolderMenuWithWindows
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; English first: systems in a language the setup does not have get English pages.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_RESERVEFILE_LANGDLL

VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${QD_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${QD_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} ${QD_VERSION} 安装程序 (Setup)"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${QD_PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${QD_COPYRIGHT}"

LangString WelcomeText ${LANG_ENGLISH} "Setup will install $(^NameDA) on your computer.$\r$\n$\r$\nAn installed earlier version is updated; your folder list, options and backups are kept.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_SIMPCHINESE} "安装程序将把 $(^NameDA) 安装到您的电脑上。$\r$\n$\r$\n已经安装的旧版本会被更新；您的目录列表、参数和备份都会保留。$\r$\n$\r$\n$_CLICK"
LangString ModeTitle ${LANG_ENGLISH} "Choose Users"
LangString ModeTitle ${LANG_SIMPCHINESE} "选择用户"
LangString ModeSubtitle ${LANG_ENGLISH} "Choose for whom to install $(^NameDA)."
LangString ModeSubtitle ${LANG_SIMPCHINESE} "选择为谁安装 $(^NameDA)。"
LangString ModeUser ${LANG_ENGLISH} "Only for &me (recommended, no administrator rights needed)"
LangString ModeUser ${LANG_SIMPCHINESE} "只为我安装(&M)（推荐，不需要管理员权限）"
LangString ModeUserNote ${LANG_ENGLISH} "Into your own programs folder, %LOCALAPPDATA%\Programs."
LangString ModeUserNote ${LANG_SIMPCHINESE} "安装到您自己的程序文件夹 %LOCALAPPDATA%\Programs。"
LangString ModeAll ${LANG_ENGLISH} "For &anyone who uses this computer (administrator rights needed)"
LangString ModeAll ${LANG_SIMPCHINESE} "为使用这台电脑的所有用户安装(&A)（需要管理员权限）"
LangString ModeAllNote ${LANG_ENGLISH} "Into Program Files. Everyone keeps their own folder list, options and backups."
LangString ModeAllNote ${LANG_SIMPCHINESE} "安装到 Program Files。每个用户有自己的目录列表、参数和备份。"
LangString NoElevation ${LANG_ENGLISH} "Setup could not get administrator rights. Install only for yourself, or ask an administrator."
LangString NoElevation ${LANG_SIMPCHINESE} "安装程序没有得到管理员权限。请选择只为自己安装，或请管理员安装。"
LangString AskClose ${LANG_ENGLISH} "Quiverdir is running and has to be closed first. Every change to your list is saved already.$\r$\n$\r$\nClick OK to close it and continue."
LangString AskClose ${LANG_SIMPCHINESE} "Quiverdir 正在运行，需要先关闭它。您对列表的每次修改都已经保存。$\r$\n$\r$\n按“确定”关闭它并继续。"
LangString CloseYourself ${LANG_ENGLISH} "Quiverdir is still running (perhaps a dialog of it is open). Close it yourself, then click Retry."
LangString CloseYourself ${LANG_SIMPCHINESE} "Quiverdir 仍在运行（可能打开着它的对话框）。请自己关闭它，然后按“重试”。"
LangString ShortcutComment ${LANG_ENGLISH} "Edit your list of favourite folders"
LangString ShortcutComment ${LANG_SIMPCHINESE} "编辑您的常用文件夹列表"
LangString MenuShortcutComment ${LANG_ENGLISH} "Your favourite folders in any window: Win+Alt+F, or click the icon in the notification area"
LangString MenuShortcutComment ${LANG_SIMPCHINESE} "在任何窗口中打开常用文件夹：按 Win+Alt+F，或单击通知区域中的图标"
LangString StartFolderMenu ${LANG_ENGLISH} "Start the folder menu (Win+Alt+F) now and with Windows"
LangString StartFolderMenu ${LANG_SIMPCHINESE} "现在和开机时启动文件夹菜单 (Win+Alt+F)"
LangString SecProgram ${LANG_ENGLISH} "Quiverdir"
LangString SecProgram ${LANG_SIMPCHINESE} "Quiverdir 程序"
LangString SecProgramInfo ${LANG_ENGLISH} "The program's files, its Start menu entry and its entry in the list of installed programs."
LangString SecProgramInfo ${LANG_SIMPCHINESE} "程序文件、开始菜单中的项和已安装程序列表中的项。"
LangString SecUserData ${LANG_ENGLISH} "My list, options and backups"
LangString SecUserData ${LANG_SIMPCHINESE} "我的列表、参数和备份"
LangString SecUserDataInfo ${LANG_ENGLISH} "Also removes your list from the registry, your options.ini (in the program's folder or in %APPDATA%\Quiverdir) and the automatic backups in %APPDATA%\Quiverdir\backups. Backup files you exported elsewhere are not touched. Unticked, all of it is kept."
LangString SecUserDataInfo ${LANG_SIMPCHINESE} "同时删除注册表中的列表、您的 options.ini（在程序文件夹或 %APPDATA%\Quiverdir 中）和 %APPDATA%\Quiverdir\backups 中的自动备份。您导出到别处的备份文件不受影响。不勾选则全部保留。"

; ---------------------------------------------------------------------------------------------
; Closing a running copy: both the setup program and the uninstaller replace or remove the
; program's files, which Windows refuses while it runs. The main window is asked to close only
; after the user agreed, and only while no dialog of it is open (its window is then disabled):
; closing it would lose what the dialog holds. Silent runs close it without asking, and fail
; (exit status 2) when it cannot be closed.
!macro CLOSE_RUNNING_COPY prefix
Function ${prefix}CloseRunningCopy
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  ${If} $0 == 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONQUESTION "$(AskClose)" /SD IDOK IDOK close
  Abort
close:
  System::Call "user32::IsWindowEnabled(p r0) i .r1"
  ${If} $1 != 0
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  ; Wait up to five seconds for the window to go.
  StrCpy $2 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    Sleep 100
    IntOp $2 $2 + 1
  ${LoopUntil} $2 >= 50
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseYourself)" /SD IDCANCEL IDRETRY close
  Abort
FunctionEnd

; The folder menu holds nothing unsaved: it is asked to end without a question, and waited for
; (five seconds).
Function ${prefix}CloseFolderMenu
  FindWindow $0 "${MENU_WINDOW_CLASS}"
  ${If} $0 == 0
    Return
  ${EndIf}
  StrCpy $MenuWasRunning 1
close_menu:
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  StrCpy $2 0
  ${Do}
    FindWindow $0 "${MENU_WINDOW_CLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    Sleep 100
    IntOp $2 $2 + 1
  ${LoopUntil} $2 >= 50
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseYourself)" /SD IDCANCEL IDRETRY close_menu
  Abort
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; ---------------------------------------------------------------------------------------------
; Install mode.

Function UseCurrentUser
  StrCpy $AllUsers 0
  SetShellVarContext current
  ${If} $DirFixed != 1
    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == ""
      GetKnownFolderPath $0 ${FOLDERID_USER_PROGRAM_FILES}
      ${If} $0 == ""
        StrCpy $0 "$LOCALAPPDATA\Programs"
      ${EndIf}
      StrCpy $0 "$0\${PRODUCT}"
    ${EndIf}
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function UseAllUsers
  StrCpy $AllUsers 1
  SetShellVarContext all
  ${If} $DirFixed != 1
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == ""
      StrCpy $0 "$PROGRAMFILES\${PRODUCT}"
    ${EndIf}
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

; Starts this setup program again with administrator rights for an all-users install, and ends
; this one; returns (with a message) when that did not happen.
Function RelaunchElevated
  ClearErrors
  ExecShell "runas" "$EXEPATH" "/AllUsers /LANG=$LANGUAGE"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(NoElevation)" /SD IDOK
    Return
  ${EndIf}
  Quit
FunctionEnd

Function .onInit
  StrCpy $DirFixed 0
  ${If} $INSTDIR != ""
    StrCpy $DirFixed 1
  ${EndIf}
  ${GetParameters} $R0

  StrCpy $Relaunched 0
  ClearErrors
  ${GetOptions} $R0 "/LANG=" $R1
  ${If} ${Errors}
    !insertmacro MUI_LANGDLL_DISPLAY
  ${Else}
    StrCpy $LANGUAGE $R1
    StrCpy $Relaunched 1
  ${EndIf}

  StrCpy $ModeFixed 1
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    Call UseAllUsers
  ${Else}
    ClearErrors
    ${GetOptions} $R0 "/CurrentUser" $R1
    ${IfNot} ${Errors}
      Call UseCurrentUser
    ${Else}
      ; Not chosen: an earlier install's mode, else the current user.
      StrCpy $ModeFixed 0
      ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
      ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
      ${If} $0 == ""
      ${AndIf} $1 != ""
        Call UseAllUsers
      ${Else}
        Call UseCurrentUser
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ${If} $AllUsers == 1
  ${AndIf} $ModeFixed == 1
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      ${If} ${Silent}
        ; A silent all-users install has to be started with administrator rights.
        SetErrorLevel 5
        Quit
      ${EndIf}
      Call RelaunchElevated
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function SkipWhenRelaunched
  ${If} $Relaunched == 1
    Abort
  ${EndIf}
FunctionEnd

Function ModePage
  ${If} $ModeFixed == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ModeTitle)" "$(ModeSubtitle)"
  nsDialogs::Create 1018
  Pop $ModeDialog
  ${NSD_CreateRadioButton} 0 0 100% 12u "$(ModeUser)"
  Pop $RadioUser
  ${NSD_CreateLabel} 12u 14u -12u 12u "$(ModeUserNote)"
  Pop $0
  ${NSD_CreateRadioButton} 0 40u 100% 12u "$(ModeAll)"
  Pop $RadioAll
  ${NSD_CreateLabel} 12u 54u -12u 24u "$(ModeAllNote)"
  Pop $0
  ${If} $AllUsers == 1
    ${NSD_Check} $RadioAll
  ${Else}
    ${NSD_Check} $RadioUser
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $RadioAll $0
  ${If} $0 == ${BST_CHECKED}
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      Call RelaunchElevated
      Abort
    ${EndIf}
    Call UseAllUsers
  ${Else}
    Call UseCurrentUser
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  Call CloseRunningCopy
FunctionEnd

; The finish page's box and /FolderMenu: the folder menu starts with Windows (for the user who
; installs) and now.
Function StartFolderMenuWithWindows
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\QuiverdirMenu.exe"'
  ; A second start would open the running copy's menu.
  FindWindow $0 "${MENU_WINDOW_CLASS}"
  ${If} $0 == 0
    Exec '"$INSTDIR\QuiverdirMenu.exe"'
  ${EndIf}
  StrCpy $MenuWasRunning 0
FunctionEnd

; ---------------------------------------------------------------------------------------------

Section "Quiverdir" SecMain
  SectionIn RO
  Call CloseRunningCopy
  Call CloseFolderMenu
  SetOutPath "$INSTDIR"
  File "${QD_STAGE}\Quiverdir.exe"
  File "${QD_STAGE}\QuiverdirMenu.exe"
  File "${QD_STAGE}\Silver.ssk"
  File "${QD_STAGE}\Quiverdir.html"
  File "${QD_STAGE}\ReadMe.txt"
  File "${QD_STAGE}\License.txt"
  File "${QD_STAGE}\Unihan-License.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; No options.ini is made: in a folder users cannot write to (Program Files), the programs keep
  ; each user's options in %APPDATA%\Quiverdir\options.ini.

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Quiverdir.lnk" "$INSTDIR\Quiverdir.exe" "" "$INSTDIR\Quiverdir.exe" 0 SW_SHOWNORMAL "" "$(ShortcutComment)"

  ; The folder menu: its Start menu entry beside the editor's, named as its program in every
  ; language (the uninstaller finds it by that name whatever the language). It starts with Windows through the
  ; Run value it switches itself (its icon's menu, 开机时启动), which the finish page's box and
  ; /FolderMenu write too; a folder menu that setup closed is started again.
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\QuiverdirMenu.lnk" "$INSTDIR\QuiverdirMenu.exe" "" "$INSTDIR\QuiverdirMenu.exe" 0 SW_SHOWNORMAL "" "$(MenuShortcutComment)"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/FolderMenu" $R1
  ${IfNot} ${Errors}
    Call StartFolderMenuWithWindows
  ${ElseIf} $MenuWasRunning == 1
    Exec '"$INSTDIR\QuiverdirMenu.exe"'
    StrCpy $MenuWasRunning 0
  ${EndIf}

  ; The entry in Apps / Programs and Features.
  ${If} $AllUsers == 1
    StrCpy $1 " /AllUsers"
  ${Else}
    StrCpy $1 ""
  ${EndIf}
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${QD_VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${QD_PUBLISHER}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" '"$INSTDIR\Quiverdir.exe",0'
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"$1'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S$1'
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallerLanguage" "$LANGUAGE"
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $2 $3
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

; ---------------------------------------------------------------------------------------------
; Uninstaller.

Section "un.$(SecProgram)" SecUnProgram
  SectionIn RO
  Call un.CloseRunningCopy
  Call un.CloseFolderMenu
  Delete "$INSTDIR\Quiverdir.exe"
  Delete "$INSTDIR\QuiverdirMenu.exe"
  Delete "$INSTDIR\Silver.ssk"
  Delete "$INSTDIR\Quiverdir.html"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\License.txt"
  Delete "$INSTDIR\Unihan-License.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; An options.ini that an earlier all-users install created and nobody ever wrote is not the user's.
  ${If} $AllUsers == 1
    ClearErrors
    FileOpen $0 "$INSTDIR\options.ini" r
    ${IfNot} ${Errors}
      FileSeek $0 0 END $1
      FileClose $0
      ${If} $1 == 0
        Delete "$INSTDIR\options.ini"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Delete "$SMPROGRAMS\${PRODUCT}\Quiverdir.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\QuiverdirMenu.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  ; The value that starts the folder menu with Windows, when it starts this install's copy.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\QuiverdirMenu.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  DeleteRegKey SHCTX "${UNINST_KEY}"
  ; Only when empty: the user's options.ini (and files the user put there) stay unless the next
  ; section removes it.
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.$(SecUserData)" SecUnUserData
  DeleteRegKey HKCU "${USER_DATA_KEY}"
  Delete "$INSTDIR\options.ini"
  RMDir "$INSTDIR"
  ; The user's own files in the roaming application data folder (also after an all-users install):
  ; the automatic backups, recovery backups and what a cut-off write left of them, and the options.
  ; Files the programs did not make keep their folder.
  SetShellVarContext current
  Delete "$APPDATA\${PRODUCT}\backups\*.pwb"
  Delete "$APPDATA\${PRODUCT}\backups\*.pwb.~*.tmp"
  RMDir "$APPDATA\${PRODUCT}\backups"
  Delete "$APPDATA\${PRODUCT}\options.ini"
  RMDir "$APPDATA\${PRODUCT}"
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${EndIf}
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnProgram} "$(SecProgramInfo)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnUserData} "$(SecUserDataInfo)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  ${un.GetParameters} $R0
  StrCpy $AllUsers 0
  ClearErrors
  ${un.GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      ${If} ${Silent}
        SetErrorLevel 5
        Quit
      ${EndIf}
      ClearErrors
      ExecShell "runas" "$EXEPATH" "/AllUsers _?=$INSTDIR"
      ${If} ${Errors}
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(NoElevation)"
      ${EndIf}
      Quit
    ${EndIf}
  ${EndIf}

  ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallerLanguage"
  ${If} $0 != ""
    StrCpy $LANGUAGE $0
  ${EndIf}

  ClearErrors
  ${un.GetOptions} $R0 "/RemoveUserData" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnUserData}
  ${EndIf}
FunctionEnd
