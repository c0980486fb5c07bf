#!/usr/bin/env bash
# Not run by hand: the release build target runs it (release.sh). Packs the shipped programs into a
# zip and an installer for the NSIS target of their build (x86-unicode for the release,
# amd64-unicode for a 64-bit build); the staged folder goes beside the zip.
# The same sources give the same bytes: every file carries the time of the last commit (or
# SOURCE_DATE_EPOCH), the zip lists its files in a fixed order and keeps no owner fields, and the
# installer stores no file times.
# Usage: package-release.sh VERSION NSIS_TARGET ZIP SETUP_EXE PROGRAM.exe...
source "$(dirname "$0")/opening.sh" light
version=$1 target=$2 zip=$3 setup=$4
shift 4
out=$(dirname "$zip")

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
stage=$out/Marlowin
rm -rf "$stage"
mkdir -p "$stage/Packages"
programs=()
for program in "$@"; do
  cp "$program" "$stage/"
  programs+=("$(basename "$program")")
done

# Profiles that work on any Windows, wherever it lives: the command interpreter finds the Windows
# folder through %windir%, and a web address needs no path at all.
python3 "$root/scripts/make-package.py" "$stage/Packages/Example.mwpack" \
  'Notepad with win.ini||cmd.exe|.|/c start "" notepad.exe "%windir%\win.ini"|Executable|Minimize' \
  'Web page|open|http://marlowin.example.org/marlowin/help.html|||Document/URL|Normal' \
  'Windows folder||cmd.exe|.|/c start "" "%windir%"|Executable|Minimize'
# Notepad on older Windows shows only CR LF line ends.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/release/ReadMe.txt" > "$stage/ReadMe.txt"
sed -e 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"

find "$stage" -exec touch -h -d "@$epoch" {} +
chmod -R u=rwX,go=rX "$stage"

rm -f "$zip"
(cd "$out" && find Marlowin -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -9 "$zip" -@)

# The installer's part of the program list: what to install and what to remove again.
{
  echo '!macro InstallPrograms'
  for program in "${programs[@]}"; do echo "  File \"\${STAGE}\\$program\""; done
  echo '!macroend'
  echo '!macro RemovePrograms'
  for program in "${programs[@]}"; do echo "  Delete \"\$INSTDIR\\$program\""; done
  echo '!macroend'
  for program in "${programs[@]}"; do echo "!define SHIPS_${program%.exe}"; done
} > "$out/programs.nsh"
version4=$version
while [ "$(tr -cd . <<<"$version4" | wc -c)" -lt 3 ]; do version4=$version4.0; done
makensis -V2 -INPUTCHARSET UTF8 -DTARGET="$target" -DVERSION="$version" -DVERSION4="$version4" \
  -DSTAGE="$stage" -DICON="$root/res/art/mw.ico" -DOUTFILE="$setup" "$root/release/marlowin.nsi"
echo "Release: $zip, $setup"
