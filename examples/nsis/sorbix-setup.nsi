; Sorbix setup and removal with NSIS, driving install.dll
; =======================================================
;
; An example for setup authors: a typical setup of the Sorbix viewer and its
; removal, written for NSIS 3. The installer calls install.dll's exports with
; the System plug-in in the order a setup program calls them; the uninstaller
; does the same for the removal.
;
; The installer is meant to run from the setup disk, the folder that holds
; it together with the files it hands to install.dll:
;
;   sorbix-setup.exe   this installer
;   install.dll        the setup library; sxinsres.dll, its message strings
;   eudoralink.dll browserlink.dll netmaillink.dll msmaillink.dll
;   filemgrlink.dll pluginlink.dll         the integration modules
;   install.ini version.ini setup.ini depend.ini PLUGINLINK.INI
;
; The viewer's own files (the view engines, txlm.dll, ...) are copied by
; this script's author with File, as in any NSIS setup; this example only
; shows the calls into install.dll.
;
; Three rules of the System plug-in that every call below follows:
; - System::Call finds a DLL only by its full path ("$EXEDIR\install.dll").
; - install.dll takes ANSI strings: in a Unicode installer their type is "m"
;   (an ANSI string), never "t" (which would be UTF-16 here).
; - Every export is stdcall and returns an int: "... ) i .r0" puts the
;   result in $0. An output cell (DWORD*) is "*i .rN", or "*i VALUE rN"
;   when it goes in with a value; a pointer is "p".
; The calls and helpers below use $0-$9 and $R9 freely.
;
; Build:    makensis sorbix-setup.nsi
; Install:  sorbix-setup.exe [/S] [/D=C:\Program Files\Sorbix]
; Remove:   "C:\Program Files\Sorbix\uninstall.exe" [/S]

Unicode true
!ifndef OUTFILE
  !define OUTFILE "sorbix-setup.exe"
!endif
OutFile "${OUTFILE}"
Name "Sorbix"
InstallDir "$PROGRAMFILES\Sorbix"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

!include "LogicLib.nsh"

; The product number this setup records in the viewer's configuration.
!define PRODUCT_ID "SX-1997-0042"
; Where the installer keeps the removal's files: the uninstaller needs
; install.dll, its messages and the integration modules after the setup disk
; is gone.
!define REMOVAL_FILES "$INSTDIR\Setup"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorbix"

Var SetupFiles   ; the folder holding install.dll and its companions
Var SharedFiles  ; the folder of the view engines the viewer shares

; ---------------------------------------------------------------------------
; Helpers

; One more reference to a shared file, as every setup that copies one keeps
; it: a REG_DWORD count in SharedDLLs named by the file's full path.
!macro CountSharedFile PATH
  ClearErrors
  ReadRegDWORD $1 HKLM "Software\Microsoft\Windows\CurrentVersion\SharedDLLs" "${PATH}"
  ${If} ${Errors}
    StrCpy $1 0
  ${EndIf}
  IntOp $1 $1 + 1
  WriteRegDWORD HKLM "Software\Microsoft\Windows\CurrentVersion\SharedDLLs" "${PATH}" $1
!macroend

; The shared files' folder: the Common Files folder the system records, as
; install.dll reads it too.
!macro FindSharedFiles
  ReadRegStr $SharedFiles HKLM "Software\Microsoft\Windows\CurrentVersion" "CommonFilesDir"
  ${If} $SharedFiles == ""
    StrCpy $SharedFiles "$PROGRAMFILES\Common Files"
  ${EndIf}
  StrCpy $SharedFiles "$SharedFiles\Quorvane"
!macroend

; Registers every entry of one class section of setup.ini for a typical
; setup: from index 1, IncludeSet reads the entry into a record laid out in
; the installer's memory, then SetVapiDLL registers it; IncludeSet answers
; -1 after the last entry.
;
; The record IncludeSet reads and fills (1055 bytes):
;   int setupType        1: typical
;   int entryIndex       the N of "InfoN"
;   int listedFormat     out
;   int category30       out
;   char iniFile[256]    path of setup.ini
;   char section[256]    the class section
;   char extension[511]  out: the entry's extension
!macro RegisterClassSection SECTION
  StrCpy $5 1
  ${Do}
    System::Call '*(i 1, i r5, i -1, i -1, &m256 "$SetupFiles\setup.ini", &m256 "${SECTION}", &m511 "") p .r6'
    System::Call '$SetupFiles\install.dll::IncludeSet(i 0, p r6) i .r7'
    System::Free $6
    ${If} $7 = -1
      ${Break}
    ${EndIf}
    ; Arguments: setup type 1 (typical), the section, the selected flag
    ; (out), the entry's index, setup.ini, shell mode 2, the viewer's folder.
    System::Call '$SetupFiles\install.dll::SetVapiDLL(i 0, i 1, m "${SECTION}", *i -1 r8, i 0, i r5, m "$SetupFiles\setup.ini", i 2, m "$INSTDIR") i .r9'
    DetailPrint "${SECTION} Info$5: IncludeSet $7, SetVapiDLL $9"
    IntOp $5 $5 + 1
  ${LoopUntil} $5 > 999
!macroend

; Asks one integration module whether its application is there, and
; integrates the viewer with it when it is.
!macro Integrate MODULE
  System::Call '$SetupFiles\install.dll::IntegAval(i 0, m "${MODULE}", i 0, m "$INSTDIR", m "$SetupFiles") i .r0'
  ${If} $0 = 1
    System::Call '$SetupFiles\install.dll::IntegInteg(i 0, m "${MODULE}", m "$INSTDIR", m "$SetupFiles") i .r0'
    DetailPrint "${MODULE}: integrated"
  ${Else}
    DetailPrint "${MODULE}: its application is not there"
  ${EndIf}
!macroend

; ---------------------------------------------------------------------------
; The typical setup

Section "Sorbix (typical)"
  StrCpy $SetupFiles $EXEDIR
  !insertmacro FindSharedFiles
  SetOutPath "$INSTDIR"

  ; An existing installation: 1 when found, with its folder in $1.
  System::Call '$SetupFiles\install.dll::HaveKeyDLL(i 0, m .r1, m "$SetupFiles", *i .r2, m .r3) i .r0'
  DetailPrint "An earlier Sorbix: $0 $1"

  ; Windows NT 4 or later: $1 = 1.
  System::Call '$SetupFiles\install.dll::GetMajorVer(*i .r1) i .r0'

  ; May this user write the machine's registry? When not, install.dll has
  ; told the user (its message module is in the folder given) and answers 0.
  System::Call '$SetupFiles\install.dll::HaveRegRights(m "$SetupFiles\") i .r0'
  ${If} $0 <> 1
    Abort "Sorbix needs the rights to change the machine's settings."
  ${EndIf}

  ; A running viewer is closed before its files are replaced.
  System::Call '$SetupFiles\install.dll::UnLoadWindow(m "SorbixFrame") i .r0'

  ; Here the viewer's files are copied (File ...). Each shared view engine
  ; copied to $SharedFiles is counted once.
  !insertmacro CountSharedFile "$SharedFiles\sxdocve.dll"
  !insertmacro CountSharedFile "$SharedFiles\sxwkbve.dll"
  !insertmacro CountSharedFile "$SharedFiles\sxpicve.dll"

  ; The viewer's fixed configuration, with this setup's version file.
  System::Call '$SetupFiles\install.dll::updateRegHard(i 0, m "$INSTDIR", i 0, m "${PRODUCT_ID}", m "$SetupFiles\version.ini") i .r0'
  DetailPrint "Configuration: $0"

  ; Every class section of setup.ini.
  !insertmacro RegisterClassSection "VWPINFO"
  !insertmacro RegisterClassSection "SPREADSHEETINFO"
  !insertmacro RegisterClassSection "INTERUTILINFO"
  !insertmacro RegisterClassSection "INTERN"
  !insertmacro RegisterClassSection "MULTIMEDINFO"
  !insertmacro RegisterClassSection "SWPINFO"
  !insertmacro RegisterClassSection "TWPINFO"
  !insertmacro RegisterClassSection "SPICINFO"
  !insertmacro RegisterClassSection "TPICINFO"
  !insertmacro RegisterClassSection "VIEWENGINEINFO"

  ; The other applications: Eudora, the browser, Dralin mail, Microsoft Mail
  ; and File Manager.
  !insertmacro Integrate "eudoralink.dll"
  !insertmacro Integrate "browserlink.dll"
  !insertmacro Integrate "netmaillink.dll"
  !insertmacro Integrate "msmaillink.dll"
  !insertmacro Integrate "filemgrlink.dll"

  ; The launch manager (txlm.dll, already copied to $INSTDIR) registers
  ; itself; then the plug-in loader's configuration from PLUGINLINK.INI.
  System::Call '$SetupFiles\install.dll::LoadLaunch(m "$INSTDIR") i .r0'
  System::Call '$SetupFiles\install.dll::LoadPlug(i 0, m "pluginlink.dll", m "$INSTDIR", m "$SetupFiles") i .r0'

  ; What the removal needs, kept beside the viewer, and the uninstaller.
  CreateDirectory "${REMOVAL_FILES}"
  CopyFiles /SILENT "$SetupFiles\*.dll" "${REMOVAL_FILES}"
  CopyFiles /SILENT "$SetupFiles\*.ini" "${REMOVAL_FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Sorbix"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

; ---------------------------------------------------------------------------
; The removal

; Removes one integration module's changes from its application.
!macro Disintegrate MODULE
  System::Call '$SetupFiles\install.dll::IntegRemove(i 0, m "${MODULE}", m "$INSTDIR", m "$SetupFiles") i .r0'
  DetailPrint "${MODULE}: removed $0"
!macroend

; Asks about one shared file and forgets the viewer's reference to it when
; the user agrees. $R9 points to the answer mode install.dll keeps between
; the calls: 1 asks once for all files, and the answer then holds.
!macro ForgetSharedFile NAME
  System::Call '$SetupFiles\install.dll::DeleteShareDLL(i 0, m "${NAME}", *i .r1, m "$SharedFiles\${NAME}", m "$SetupFiles\", p R9) i .r0'
  DetailPrint "${NAME}: may be removed: $1"
  ; Here the file itself is deleted when $1 is 1 and no other program
  ; still counts it.
!macroend

Section "Uninstall"
  StrCpy $SetupFiles "${REMOVAL_FILES}"
  !insertmacro FindSharedFiles

  ; A running viewer is closed first.
  System::Call '$SetupFiles\install.dll::UnLoadWindow(m "SorbixFrame") i .r0'

  ; Every integration module removed, the plug-in loader's too.
  !insertmacro Disintegrate "eudoralink.dll"
  !insertmacro Disintegrate "browserlink.dll"
  !insertmacro Disintegrate "netmaillink.dll"
  !insertmacro Disintegrate "msmaillink.dll"
  !insertmacro Disintegrate "filemgrlink.dll"
  !insertmacro Disintegrate "pluginlink.dll"

  ; The help-file and start-up entries (0: the former maker's Common Files
  ; entries too).
  System::Call '$SetupFiles\install.dll::UpRegDeleteVal(i 0) i .r0'

  ; The shared files: one question for all of them.
  System::Call '*(i 1) p .R9'
  !insertmacro ForgetSharedFile "sxdocve.dll"
  !insertmacro ForgetSharedFile "sxwkbve.dll"
  !insertmacro ForgetSharedFile "sxpicve.dll"
  System::Free $R9

  ; install.dll stays loaded by the System plug-in until the uninstaller
  ; ends: its folder goes at the next restart when it cannot go now.
  Delete /REBOOTOK "${REMOVAL_FILES}\*.*"
  RMDir /REBOOTOK "${REMOVAL_FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
