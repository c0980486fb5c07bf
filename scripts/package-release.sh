#!/usr/bin/env bash
# Not run by hand: the release build target runs it (release.sh). Packs the shipped programs and the
# example package into a zip and an installer; the staged folder goes beside the zip.
# The same sources give the same bytes: every file carries the time of the last commit (or
# SOURCE_DATE_EPOCH), the zip lists its files in a fixed order and keeps no owner fields, and the
# installer stores no file times.
# Usage: package-release.sh VERSION ZIP SETUP_EXE EXAMPLE.mwpack PROGRAM.exe...
source "$(dirname "$0")/opening.sh" light
version=$1 zip=$2 setup=$3 example=$4
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

cp "$example" "$stage/Packages/Example.mwpack"
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
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$version4" \
  -DSTAGE="$stage" -DICON="$root/res/art/mw.ico" -DOUTFILE="$setup" "$root/release/marlowin.nsi"
echo "Release: $zip, $setup"
