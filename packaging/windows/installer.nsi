; The per-user installer of Dungeon Gold, made by packaging/windows/pack.sh
; with Debian's makensis, which defines VERSION, STAGE (the files to install,
; as in the zip), FILES (the generated lists of them), ICON and OUTFILE.
;
; No administrator rights: the game goes to the player's own programs folder,
; where Assets\bin stays writable for the scores and preferences. The player's
; files are never replaced: the package has nothing in Assets\bin, and
; Assets\ini\game.ini is written only where there is none (FILES says so).
; The uninstaller removes the program's files and leaves the player's.

!include "${FILES}"

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Dungeon Gold"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\DungeonGold"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "LegalCopyright" "2026 The Dungeon Gold developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  !insertmacro InstallFiles
  ; The score file's folder, empty until the first win.
  CreateDirectory "$INSTDIR\Assets\bin"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The game reads its Assets from the working folder: the shortcut starts it
  ; in the installation folder (CreateShortcut takes the current out path).
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\dungeon.exe" "" "$INSTDIR\dungeon.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Dungeon Gold developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\dungeon.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  ; Only what the installer put there; folders go only once empty, so the
  ; player's scores, preferences and game.ini keep theirs.
  !insertmacro UninstallFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DetailPrint "Your scores, preferences and game.ini are kept in $INSTDIR\Assets."
SectionEnd
