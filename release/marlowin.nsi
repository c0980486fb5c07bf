; Per-user installer: no administrator rights, since the Packages folder beside Marlowin.exe must
; stay writable for the package editor.
; makensis -DVERSION=x.y.z -DVERSION4=x.y.z.w -DSTAGE=<folder with the programs> -DICON=<.ico>
;          -DOUTFILE=<setup.exe>
; Every key written here lies under HKCU\Software, which both registry views share, and the folders
; come from the shell, so no SetRegView or file-system redirection is needed.
Target x86-unicode
SetCompressor /SOLID lzma
; No file times in the installer: the same programs give the same setup.exe.
SetDateSave off
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include StrFunc.nsh
!include WinMessages.nsh
!include Sections.nsh
!include "${STAGE}\..\programs.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlowin"
!define PACKAGE_CLASS "Marlowin.Package"
!define SHCNE_ASSOCCHANGED 0x08000000

Name "Marlowin ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Marlowin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Marlowin ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "Marlowin"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Marlowin ${VERSION} setup"
VIAddVersionKey "CompanyName" "Marlowin developers"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Marlowin developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
; Every page of the modern interface adds a blank subcaption to the window title; each page
; puts the plain title back when it shows.
!define MUI_PAGE_CUSTOMFUNCTION_SHOW PlainTitle
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_SHOW PlainTitle
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_CUSTOMFUNCTION_SHOW PlainTitle
!insertmacro MUI_PAGE_INSTFILES
; Checked by default; a copy that the upgrade has restarted already is not started twice.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run Marlowin"
!define MUI_FINISHPAGE_RUN_FUNCTION RunMarlowin
!define MUI_PAGE_CUSTOMFUNCTION_SHOW PlainTitle
!insertmacro MUI_PAGE_FINISH
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.PlainTitle
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.PlainTitle
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var ResidentWasRunning

Function PlainTitle
  SendMessage $HWNDPARENT ${WM_SETTEXT} 0 "STR:$(^SetupCaption)"
FunctionEnd

Function un.PlainTitle
  SendMessage $HWNDPARENT ${WM_SETTEXT} 0 "STR:$(^UninstallCaption)"
FunctionEnd

Function RunMarlowin
  ${If} $ResidentWasRunning <> 1
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Marlowin.exe"'
  ${EndIf}
FunctionEnd

; Closes a running resident copy with "<exe> U" and waits until it has ended, so that its files
; can be replaced or removed. Sets $ResidentWasRunning to 1 when there was one.
!macro CloseResidentCopy EXE
  StrCpy $ResidentWasRunning 0
  StrCpy $4 0
  System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "Marlowin") p .r0'
  ${If} $0 <> 0
    StrCpy $ResidentWasRunning 1
    ; The mapping holds the resident copy's window; its process is what must end.
    System::Call 'kernel32::MapViewOfFile(p r0, i 4, i 0, i 0, i 4) p .r1'
    ${If} $1 <> 0
      System::Call '*$1(i .r2)'
      System::Call 'kernel32::UnmapViewOfFile(p r1)'
      System::Call 'user32::GetWindowThreadProcessId(p r2, *i .r3)'
      System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r3) p .r4'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ExecWait '"${EXE}" U'
    ${If} $4 <> 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i 15000)'
      System::Call 'kernel32::CloseHandle(p r4)'
    ${EndIf}
    ${For} $5 1 150
      System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "Marlowin") p .r0'
      ${If} $0 = 0
        ${Break}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r0)'
      Sleep 100
    ${Next}
  ${EndIf}
!macroend

Section "Marlowin" SecProgram
  SectionIn RO
  InitPluginsDir
  ; The new copy says "U" as well as the old one would, and exists even when no old one does.
  File "/oname=$PLUGINSDIR\Marlowin.exe" "${STAGE}\Marlowin.exe"
  !insertmacro CloseResidentCopy "$PLUGINSDIR\Marlowin.exe"

  SetOutPath "$INSTDIR"
  !insertmacro InstallPrograms
  File "${STAGE}\LICENSE.txt"
  ; The example only for a new Packages folder: an upgrade leaves the user's packages alone.
  ${IfNot} ${FileExists} "$INSTDIR\Packages\*.*"
    SetOutPath "$INSTDIR\Packages"
    File "${STAGE}\Packages\Example.mwpack"
    SetOutPath "$INSTDIR"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\Marlowin.lnk" "$INSTDIR\Marlowin.exe"
  ; The start-at-sign-in section below puts it back when it is chosen.
  Delete "$SMSTARTUP\Marlowin.lnk"

  WriteRegStr HKCU "Software\Classes\.mwpack" "" "${PACKAGE_CLASS}"
  WriteRegStr HKCU "Software\Classes\${PACKAGE_CLASS}" "" "Marlowin package"
  WriteRegStr HKCU "Software\Classes\${PACKAGE_CLASS}\DefaultIcon" "" "$INSTDIR\Marlowin.exe,0"
  WriteRegStr HKCU "Software\Classes\${PACKAGE_CLASS}\shell\open\command" "" '"$INSTDIR\Marlowin.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Marlowin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Marlowin developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Comments" "Free software under the MIT License: $INSTDIR\LICENSE.txt"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Marlowin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; "A" waits five seconds first, so that the taskbar is there for the tray icon after sign-in.
Section "Start Marlowin when I sign in" SecStartup
  CreateShortCut "$SMSTARTUP\Marlowin.lnk" "$INSTDIR\Marlowin.exe" "A"
SectionEnd

!ifdef SHIPS_mwpack
${StrStr}
Section /o "Add to my PATH (for mwpack)" SecPath
  ReadRegStr $0 HKCU "Environment" "Path"
  ${StrStr} $1 ";$0;" ";$INSTDIR;"
  ${If} $1 == ""
    ${If} $0 == ""
      WriteRegExpandStr HKCU "Environment" "Path" "$INSTDIR"
    ${Else}
      WriteRegExpandStr HKCU "Environment" "Path" "$0;$INSTDIR"
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=1000
  ${EndIf}
SectionEnd
!endif

; An upgrade keeps the earlier choice about starting at sign-in, also when it runs silently;
; /PATH chooses the PATH entry for a silent install.
Function .onInit
  ${If} ${FileExists} "$INSTDIR\Marlowin.exe"
  ${AndIfNot} ${FileExists} "$SMSTARTUP\Marlowin.lnk"
    !insertmacro UnselectSection ${SecStartup}
  ${EndIf}
  !ifdef SHIPS_mwpack
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PATH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPath}
  ${EndIf}
  !endif
FunctionEnd

; Starts the new copy last, after every section, when an old one was running before.
Section "-Restart"
  ${If} $ResidentWasRunning = 1
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Marlowin.exe"'
  ${EndIf}
SectionEnd

!ifdef SHIPS_mwpack
${UnStrRep}
!endif

Section "Uninstall"
  !insertmacro CloseResidentCopy "$INSTDIR\Marlowin.exe"
  !insertmacro RemovePrograms
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\Marlowin.lnk"
  Delete "$SMSTARTUP\Marlowin.lnk"

  ; Another program may have taken .mwpack over since: then only our class goes.
  ReadRegStr $0 HKCU "Software\Classes\.mwpack" ""
  ${If} $0 == "${PACKAGE_CLASS}"
    DeleteRegKey HKCU "Software\Classes\.mwpack"
  ${EndIf}
  DeleteRegKey HKCU "Software\Classes\${PACKAGE_CLASS}"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  !ifdef SHIPS_mwpack
  ReadRegStr $0 HKCU "Environment" "Path"
  ${If} $0 == "$INSTDIR"
    DeleteRegValue HKCU "Environment" "Path"
  ${Else}
    ${UnStrRep} $1 "$0" ";$INSTDIR" ""
    ${If} $1 != $0
      WriteRegExpandStr HKCU "Environment" "Path" "$1"
    ${EndIf}
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=1000
  !endif

  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The packages are the user's own work: kept silently, deleted only when the user says so.
  ${If} ${FileExists} "$INSTDIR\Packages\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Delete your packages in $INSTDIR\Packages as well?" /SD IDNO IDNO keepPackages
    RMDir /r "$INSTDIR\Packages"
    keepPackages:
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd
