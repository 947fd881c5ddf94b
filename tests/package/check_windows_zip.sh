#!/usr/bin/env bash
# Checks the Windows release file made by scripts/package-windows: the zip
# holds one folder with quindelar.exe and LEEME.txt; the program is one
# self-contained 32-bit file (no DLL but Windows' own) carrying its version
# resource; the read-me is Windows-1252 with CR LF line ends and gives the
# schtasks line of the daily run.
#   check_windows_zip.sh ZIP VERSION
set -euo pipefail

ZIP=$(readlink -f "$1")
VERSION=$2
NAME="quindelar-$VERSION"
LOG_TAG=check-windows-zip
. "$(dirname "$0")/../../scripts/lib.sh"
make_test_dir zip

[ "$(unzip -Z1 "$ZIP" | sort | tr '\n' ' ')" = "$NAME/LEEME.txt $NAME/quindelar.exe " ] ||
    fail "the zip holds: $(unzip -Z1 "$ZIP" | tr '\n' ' ')"
unzip -q "$ZIP" -d "$T"
EXE="$T/$NAME/quindelar.exe"
README="$T/$NAME/LEEME.txt"

file "$EXE" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "$(file "$EXE")"
imports=$(i686-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
log "imports: $(echo $imports)"
for dll in $imports; do
    case $dll in
    kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | wininet.dll | msvcrt.dll | advapi32.dll | \
        shell32.dll | ole32.dll | oleacc.dll | oleaut32.dll | ws2_32.dll) ;;
    *) fail "imports $dll, which Windows does not have" ;;
    esac
done

i686-w64-mingw32-windres -i "$EXE" -O rc >"$T/resources.rc" 2>/dev/null || fail "no resources"
expect() { grep -qF -- "$1" "$T/resources.rc" || fail "version resource lacks $1"; }
expect "FILEVERSION ${VERSION/./, }, 0, 0"
expect 'VALUE "ProductName", L"Im\341genes de Tarvenia"'
expect 'VALUE "FileDescription", L"Im\341genes de Tarvenia"'
expect "VALUE \"FileVersion\", \"$VERSION\""
expect "VALUE \"ProductVersion\", \"$VERSION\""
expect 'VALUE "LegalCopyright", "Copyright (C) '
expect 'VALUE "OriginalFilename", "quindelar.exe"'
expect 'VALUE "Translation", 0xc0a, 1252'
grep -q '^1 ICON\|ICON' "$T/resources.rc" || fail "no icon resource"
log "version resource: $(grep -F '"ProductName"' "$T/resources.rc" | xargs)"

grep -q $'\xe1' "$README" || fail "the read-me is not Windows-1252"
[ "$(grep -c $'\r$' "$README")" = "$(wc -l <"$README")" ] || fail "the read-me lacks CR LF"
grep -q 'quindelar.exe' "$README" || fail "the read-me does not name the program"
# The one line that schedules the window-less run daily and at log-on.
line=$(grep -a '^schtasks /create ' "$README") || fail "the read-me has no schtasks line"
for part in '/sc daily' '/sc onlogon' 'quindelar.exe\" --today"'; do
    [[ $line == *"$part"* ]] || fail "the schtasks line lacks $part: $line"
done
log "passed"
