; The per-user installer of Quorvel, built by scripts/make-packages.sh:
;   makensis -DARCH=x86_64|i686 -DVERSION=1.2.3 -DDIST=<folder as the zip holds it> -DICON=<Quorvel.ico>
;            -DSHIPPED=<shipped.nsh> -DOUTFILE=<setup.exe> Quorvel.nsi
;
; The program writes Config\UserInfo.xml and its icon cache beside itself, so
; it goes to the user's own programs folder, never Program Files, and the
; installer asks for no administrator rights.
;
; Silent use:  setup.exe /S [/AUTOSTART] [/D=folder]
;              uninstall.exe /S [/REMOVEUSERDATA]
; A silent uninstall keeps the user's items unless /REMOVEUSERDATA is given.
;
; One installer per architecture, each carrying its own build: the x86_64
; one runs on 64-bit Windows only; the i686 one, run on a 64-bit Windows,
; sends the user to the x86_64 one rather than install the 32-bit program.
; Both carry everything the portable zip holds (the help page included).
;
; Installs go into a folder of their own: a folder given that is neither
; empty nor an earlier install gets "\Quorvel" appended, and the uninstaller
; deletes by name only what it installed.

Unicode true
!if "${ARCH}" == "x86_64"
  Target amd64-unicode
!else if "${ARCH}" == "i686"
  Target x86-unicode
!else
  !error "ARCH must be x86_64 or i686"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include WinMessages.nsh
!include Sections.nsh

!define PRODUCT "Quorvel"
!define MAIN_CLASS "TFormRoundHot"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the last install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) Quorvel"

Var RemoveUserData

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quorvel.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE OwnFolderOnLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the user's language when it is one of these.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString NeedsX64 ${LANG_ENGLISH} "This installer is for 64-bit Windows. On 32-bit Windows, use the i686 installer of ${PRODUCT}."
LangString NeedsX64 ${LANG_SIMPCHINESE} "此安装程序适用于 64 位 Windows。32 位 Windows 请使用 ${PRODUCT} 的 i686 安装程序。"
LangString UseX64 ${LANG_ENGLISH} "This Windows is 64-bit: please use the x86_64 installer of ${PRODUCT} (Quorvel-${VERSION}-setup-x86_64.exe)."
LangString UseX64 ${LANG_SIMPCHINESE} "此 Windows 为 64 位：请使用 ${PRODUCT} 的 x86_64 安装程序（Quorvel-${VERSION}-setup-x86_64.exe）。"
LangString StillRunning ${LANG_ENGLISH} "${PRODUCT} is still running. Close it and try again."
LangString StillRunning ${LANG_SIMPCHINESE} "${PRODUCT} 仍在运行。请先退出它，然后重试。"
LangString RemoveItems ${LANG_ENGLISH} "Also remove your items and settings (Config\UserInfo.xml) and the icons ${PRODUCT} saved in its Icon folder?$\r$\n$\r$\nChoose No to keep them for a later install."
LangString RemoveItems ${LANG_SIMPCHINESE} "是否同时删除您的项目和设置（Config\UserInfo.xml）以及 ${PRODUCT} 保存在 Icon 文件夹中的图标？$\r$\n$\r$\n选择“否”可保留它们，供以后安装使用。"
LangString SectionProgram ${LANG_ENGLISH} "${PRODUCT} and its Start menu shortcut"
LangString SectionProgram ${LANG_SIMPCHINESE} "${PRODUCT} 及其开始菜单快捷方式"
LangString SectionAutostart ${LANG_ENGLISH} "Start with Windows"
LangString SectionAutostart ${LANG_SIMPCHINESE} "开机自动启动"

; Closes a running Quorvel the way its own close command does (it saves its
; window position on the way out) and waits for it to end. $0: 1 when none
; runs any more.
!macro CloseRunningProgram un
Function ${un}CloseRunningProgram
  StrCpy $1 0
  ${Do}
    FindWindow $2 "${MAIN_CLASS}" "${PRODUCT}"
    ${If} $2 == 0
      StrCpy $0 1
      Return
    ${EndIf}
    ${If} $1 == 0
      SendMessage $2 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 100
  StrCpy $0 0
FunctionEnd
!macroend
!insertmacro CloseRunningProgram ""

; Pops a text, pushes 1 when it holds a space, else 0.
Function HasSpace
  Exch $0
  Push $1
  Push $2
  StrCpy $1 0
  ${Do}
    StrCpy $2 $0 1 $1
    ${If} $2 == ""
      StrCpy $0 0
      ${Break}
    ${ElseIf} $2 == " "
      StrCpy $0 1
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!insertmacro CloseRunningProgram "un."

; Pops a folder, pushes the folder to install into: the folder itself when it
; is empty, missing, an earlier install (it holds Quorvel.exe) or already
; named Quorvel (what an uninstall that kept the user's items leaves);
; otherwise a Quorvel folder inside it, so that the uninstaller never has to
; tell our files from someone else's.
!macro OwnFolderFunction
Function OwnFolder
  Exch $0
  Push $1
  Push $2
  ; A trailing backslash ("D:\Tools\") names the same folder.
  StrCpy $1 $0 1 -1
  ${If} $1 == "\"
    StrCpy $0 $0 -1
  ${EndIf}
  ${GetFileName} $0 $1
  ${If} $1 == "${PRODUCT}"
  ${OrIf} ${FileExists} "$0\Quorvel.exe"
    Goto done
  ${EndIf}
  ClearErrors
  FindFirst $1 $2 "$0\*"
  ${Unless} ${Errors}
    ${Do}
      ${If} $2 != "."
      ${AndIf} $2 != ".."
        StrCpy $0 "$0\${PRODUCT}"
        ${Break}
      ${EndIf}
      ClearErrors
      FindNext $1 $2
    ${LoopUntil} ${Errors}
    FindClose $1
  ${EndUnless}
done:
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro OwnFolderFunction

Function OwnFolderOnLeave
  Push $INSTDIR
  Call OwnFolder
  Pop $INSTDIR
FunctionEnd

; $0: 1 when the Run value starts this copy, as the settings dialog or this
; installer write it (the path, quoted when it holds a space), else 0.
!macro RunValueIsOurs un
Function ${un}RunValueIsOurs
  ClearErrors
  ReadRegStr $1 HKCU "${RUN_KEY}" "${PRODUCT}"
  StrCpy $0 0
  ${IfNot} ${Errors}
    ${If} $1 == "$INSTDIR\Quorvel.exe"
    ${OrIf} $1 == '"$INSTDIR\Quorvel.exe"'
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro RunValueIsOurs ""
!insertmacro RunValueIsOurs "un."

Section "$(SectionProgram)" SecProgram
  SectionIn RO
  ${If} ${FileExists} "$INSTDIR\Quorvel.exe"
    Call CloseRunningProgram
    ${If} $0 != 1
      MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
      Abort "$(StillRunning)"
    ${EndIf}
  ${EndIf}

  ; Everything the portable zip holds. The shipped pictures are replaced;
  ; icons the program cached from the user's items live beside them and are
  ; left alone.
  SetOutPath "$INSTDIR"
  File /r /x UserInfo.xml "${DIST}\*.*"
  ; The user's items and settings: the shipped file only on a first install.
  SetOutPath "$INSTDIR\Config"
  SetOverwrite off
  File "${DIST}\Config\UserInfo.xml"
  SetOverwrite on
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Quorvel.exe" "" "$INSTDIR\Quorvel.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvel.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SectionAutostart)" SecAutostart
  ; The value the settings dialog writes: the full path, quoted when it holds
  ; a space so that Windows cannot take a shorter path for the program.
  StrCpy $0 "$INSTDIR\Quorvel.exe"
  Push $0
  Call HasSpace
  Pop $1
  ${If} $1 == 1
    StrCpy $0 '"$0"'
  ${EndIf}
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" $0
SectionEnd

; Unchecking the option in an upgrade turns start with Windows off, but only
; for this copy: a value that starts another copy is left as it is.
Section "-AutostartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    Call RunValueIsOurs
    ${If} $0 == 1
      DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    ${EndIf}
  ${EndIf}
SectionEnd

; After the sections: it names one of them.
Function .onInit
!if "${ARCH}" == "x86_64"
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsX64)" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!else
  ; The 64-bit program suits a 64-bit Windows better (no redirected system
  ; folder, no second registry view): the user is sent to its installer.
  ${If} ${RunningX64}
    MessageBox MB_OK|MB_ICONINFORMATION "$(UseX64)" /SD IDOK
    Abort
  ${EndIf}
!endif
  Push $INSTDIR
  Call OwnFolder
  Pop $INSTDIR
  ; The option shows what is in force for this copy: the Run value may come
  ; from the settings dialog or an earlier install.
  Call RunValueIsOurs
  ${If} $0 == 1
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Function un.onInit
!if "${ARCH}" == "x86_64"
  SetRegView 64
!endif
  StrCpy $RemoveUserData 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEUSERDATA" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveUserData 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningProgram
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
    Abort "$(StillRunning)"
  ${EndIf}
  ${If} $RemoveUserData == 0
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveItems)" /SD IDNO IDNO keep
    StrCpy $RemoveUserData 1
  keep:
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Start with Windows is only ours to remove while it starts this copy.
  Call un.RunValueIsOurs
  ${If} $0 == 1
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}

  ; Folders are removed recursively only where the program itself lives.
  ${If} ${FileExists} "$INSTDIR\Quorvel.exe"
  ${AndIf} $RemoveUserData == 1
    RMDir /r "$INSTDIR\Config"
    RMDir /r "$INSTDIR\Icon"
    Delete "$INSTDIR\Quorvel.log"
    Delete "$INSTDIR\Quorvel.log.old"
  ${EndIf}
  ; What was installed, by name (listed by the build); folders go only when
  ; empty. The user's file stays unless removed above.
  !include "${SHIPPED}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
