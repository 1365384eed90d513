; Velmora's installer for 64-bit Windows (packaging/windows/CMakeLists.txt runs makensis):
;   makensis -DVERSION=X.Y.Z -DSTAGE=FOLDER -DICON=velmora.ico -DOUTFILE=setup.exe velmora.nsi
; FOLDER holds velmora.exe and README.md (the user's note, docs/windows-readme.md).
;
; It installs for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Velmora; started elevated, for all users into Program Files.
; Switches: /CURRENTUSER or /ALLUSERS choose; /S installs silently; /D=FOLDER (last)
; chooses the folder. The uninstaller removes what this adds, by name, and never a
; collection (.vlm) a user keeps anywhere, the install folder included.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Velmora"
!define PUBLISHER "Velmora"
!define PROGID "Velmora.Collection"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define SHORTCUT "$SMPROGRAMS\Velmora.lnk"
; SHCNE_ASSOCCHANGED, SHCNF_IDLIST: Explorer rereads the file types.
!define NOTIFY_ASSOCIATIONS "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright © ${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The finish page offers to start Velmora as the Start-menu shortcut does.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(RunVelmora)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartVelmora
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The last page says what stays behind.
!define MUI_FINISHPAGE_TEXT "$(KeptAfterUninstall)"
!insertmacro MUI_UNPAGE_FINISH
; The first is the fallback; Windows' display language picks between them.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString AllUsersNeedAdmin ${LANG_ENGLISH} "Installing Velmora for all users needs administrator rights: start the installer as administrator."
LangString AllUsersNeedAdmin ${LANG_SIMPCHINESE} "为所有用户安装 Velmora 需要管理员权限，请以管理员身份运行安装程序。"
LangString CollectionType ${LANG_ENGLISH} "Velmora picture collection"
LangString CollectionType ${LANG_SIMPCHINESE} "Velmora 图片数据文件"
LangString StillRunning ${LANG_ENGLISH} "Velmora is still running. Close it, then choose Retry."
LangString RunVelmora ${LANG_ENGLISH} "Run Velmora"
LangString RunVelmora ${LANG_SIMPCHINESE} "运行 Velmora"
LangString KeptAfterUninstall ${LANG_ENGLISH} "Velmora has been removed.$\r$\n$\r$\nYour picture collections (.vlm files), the registry key HKEY_CURRENT_USER\Software\Velmora and the wallpaper bitmap (in C:\WINDOWS\Web\Wallpaper\myWallPaper or %LOCALAPPDATA%\Velmora\Wallpaper) stay on this computer. Delete them yourself if you no longer need them."
LangString KeptAfterUninstall ${LANG_SIMPCHINESE} "Velmora 已卸载。$\r$\n$\r$\n您的图片数据文件（.vlm 文件）、注册表项 HKEY_CURRENT_USER\Software\Velmora 和墙纸位图（位于 C:\WINDOWS\Web\Wallpaper\myWallPaper 或 %LOCALAPPDATA%\Velmora\Wallpaper）仍保留在这台计算机上。不再需要时请自行删除。"
LangString StillRunning ${LANG_SIMPCHINESE} "Velmora 仍在运行。请关闭它，然后选择“重试”。"

; 1: for all users (HKLM, Program Files, the common Start menu); 0: for this user.
Var AllUsers

!macro UseInstallContext
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

!macro AddFileSize total path
  FileOpen $R1 "${path}" r
  FileSeek $R1 0 END $R2
  FileClose $R1
  IntOp ${total} ${total} + $R2
!macroend

Function .onInit
  ${GetParameters} $R0
  UserInfo::GetAccountType
  Pop $R1
  ; Elevated means all users, unless /CURRENTUSER says otherwise.
  StrCpy $AllUsers 0
  ${If} $R1 == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CURRENTUSER" $R2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R2
  ${IfNot} ${Errors}
    ${If} $R1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "$(AllUsersNeedAdmin)" /SD IDOK
      SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${EndIf}
  !insertmacro UseInstallContext

  ; /D= wins; else the folder of an earlier install, else the usual one.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
  ${AndIf} $AllUsers == 1
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${ElseIf} $INSTDIR == ""
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
FunctionEnd

Section "Velmora"
  SetOutPath "$INSTDIR"
  File "${STAGE}\velmora.exe"
  File "${STAGE}\README.md"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The Start-menu entry opens the user's own collection, %APPDATA%\Velmora\pictures.vlm,
  ; made empty the first time. It names no working folder: an entry in the common Start
  ; menu serves every user, so no folder written into it is each user's own (an all-users
  ; install would give C:\Users\Public\Documents). With --user-collection the program
  ; picks its start folder itself, per user, at every start.
  StrCpy $OUTDIR ""
  CreateShortcut "${SHORTCUT}" "$INSTDIR\velmora.exe" "--user-collection" "$INSTDIR\velmora.exe" 0
  SetOutPath "$INSTDIR"

  ; .vlm files open in Velmora, with its icon.
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "$(CollectionType)"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\velmora.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\velmora.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\.vlm" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\.vlm\OpenWithProgids" "${PROGID}" ""
  System::Call "${NOTIFY_ASSOCIATIONS}"

  ; The entry in Settings' and Control Panel's list of programs.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KB: the files this installed, not whatever else the folder holds.
  StrCpy $R0 0
  !insertmacro AddFileSize $R0 "$INSTDIR\velmora.exe"
  !insertmacro AddFileSize $R0 "$INSTDIR\README.md"
  !insertmacro AddFileSize $R0 "$INSTDIR\Uninstall.exe"
  IntOp $R0 $R0 + 1023
  IntOp $R0 $R0 / 1024
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $R0
SectionEnd

Function StartVelmora
  Exec '"$INSTDIR\velmora.exe" --user-collection'
FunctionEnd

Function un.onInit
  ; An install for all users is the one the machine-wide entry names; removing it needs
  ; administrator rights, so an unelevated start asks for them and hands over.
  StrCpy $AllUsers 0
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 == $INSTDIR
    StrCpy $AllUsers 1
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 != "Admin"
      ${If} ${Silent}
        ExecShell "runas" "$INSTDIR\Uninstall.exe" "/S"
      ${Else}
        ExecShell "runas" "$INSTDIR\Uninstall.exe"
      ${EndIf}
      Quit
    ${EndIf}
  ${EndIf}
  !insertmacro UseInstallContext
FunctionEnd

Section "Uninstall"
  ; A running velmora.exe cannot be removed: stop before anything else goes.
  retry:
  Delete "$INSTDIR\velmora.exe"
  ${If} ${FileExists} "$INSTDIR\velmora.exe"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 5 ; ERROR_ACCESS_DENIED
    Abort
  ${EndIf}
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: a collection kept here stays, and so does its folder.
  RMDir "$INSTDIR"

  Delete "${SHORTCUT}"

  ; .vlm keeps whatever another program set; its default only while it names Velmora.
  ReadRegStr $R0 SHCTX "Software\Classes\.vlm" ""
  ${If} $R0 == "${PROGID}"
    DeleteRegValue SHCTX "Software\Classes\.vlm" ""
  ${EndIf}
  DeleteRegValue SHCTX "Software\Classes\.vlm\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifnosubkeys /ifnovalues SHCTX "Software\Classes\.vlm\OpenWithProgids"
  DeleteRegKey /ifnosubkeys /ifnovalues SHCTX "Software\Classes\.vlm"
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  System::Call "${NOTIFY_ASSOCIATIONS}"

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
