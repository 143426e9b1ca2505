#!/usr/bin/env bash
# Makes the packages of the Windows builds into build/packages:
#   Quorvel-VERSION-x86_64.zip, Quorvel-VERSION-i686.zip   portable: the Quorvel
#       folder as it ships, with the user guide README.txt
#   Quorvel-VERSION-setup-x86_64.exe, Quorvel-VERSION-setup-i686.exe
#       the per-user installers, carrying what the zip of their architecture holds
# VERSION is the project's version, which each Windows build writes to
# build/ARCH/version.txt. Run after both Windows builds (test.sh does).
#
#   scripts/make-packages.sh [ROOT]
set -euo pipefail
root=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}" && pwd)
out=$root/build/packages
stage=$out/stage

version=
for arch in x86_64 i686; do
  dist=$root/build/$arch/dist/Quorvel
  [[ -f $dist/Quorvel.exe && -f $root/build/$arch/version.txt ]] ||
    { echo "make-packages: no $arch build in $root/build/$arch" >&2; exit 1; }
  v=$(<"$root/build/$arch/version.txt")
  [[ -z $version || $v == "$version" ]] ||
    { echo "make-packages: the builds disagree on the version ($version, $v): rebuild both" >&2; exit 1; }
  version=$v
done

rm -rf "$out"
mkdir -p "$stage"

# The guide for Notepad: CRLF lines, a byte-order mark, the version filled in.
guide=$stage/README.txt
{
  printf '\xef\xbb\xbf'
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/packaging/README.txt"
} >"$guide"

for arch in x86_64 i686; do
  folder=$stage/$arch/Quorvel
  mkdir -p "$(dirname "$folder")"
  cp -a "$root/build/$arch/dist/Quorvel" "$folder"
  cp "$guide" "$folder/README.txt"
  (cd "$stage/$arch" && zip -q -r -X "$out/Quorvel-$version-$arch.zip" Quorvel)

  # What the uninstaller removes: each installed file by name but the user's
  # UserInfo.xml, then each folder if it is empty, the deepest first.
  shipped=$stage/shipped-$arch.nsh
  # shellcheck disable=SC2016 # $INSTDIR is NSIS's, written as it is
  {
    (cd "$folder" && find . -type f ! -path ./Config/UserInfo.xml | sed 's|^\./||' | sort) | while read -r file; do
      printf 'Delete "$INSTDIR\\%s"\n' "${file//\//\\}"
    done
    (cd "$folder" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while read -r dir; do
      printf 'RMDir "$INSTDIR\\%s"\n' "${dir//\//\\}"
    done
  } >"$shipped"

  makensis -V2 -INPUTCHARSET UTF8 \
    "-DARCH=$arch" "-DVERSION=$version" "-DDIST=$folder" "-DICON=$root/build/$arch/generated-art/Quorvel.ico" \
    "-DSHIPPED=$shipped" "-DOUTFILE=$out/Quorvel-$version-setup-$arch.exe" \
    "$root/packaging/Quorvel.nsi"
done

rm -rf "$stage"
for file in "$out"/*; do
  printf '%s\t%s bytes\n' "$(basename "$file")" "$(stat -c %s "$file")"
done
