#!/usr/bin/env bash
# Makes the packages of the Windows builds into build/packages:
#   Quorvel-VERSION-x86_64.zip, Quorvel-VERSION-i686.zip   portable: the Quorvel
#       folder as it ships, with the user guide README.txt
#   Quorvel-VERSION-setup-x86_64.exe                       the per-user installer
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
done

# What the uninstaller removes of the Icon tree when the user keeps their
# items: the shipped pictures by name, then each folder if it is empty.
shipped=$stage/shipped.nsh
dist=$root/build/x86_64/dist/Quorvel
# shellcheck disable=SC2016 # $INSTDIR is NSIS's, written as it is
{
  (cd "$dist" && find Icon -type f | sort) | while read -r file; do
    printf 'Delete "$INSTDIR\\%s"\n' "${file//\//\\}"
  done
  (cd "$dist" && find Icon -type d | sort -r) | while read -r folder; do
    printf 'RMDir "$INSTDIR\\%s"\n' "${folder//\//\\}"
  done
  printf 'RMDir "$INSTDIR\\Config"\n'
} >"$shipped"

makensis -V2 -INPUTCHARSET UTF8 \
  "-DVERSION=$version" "-DDIST=$dist" "-DICON=$root/build/x86_64/generated-art/Quorvel.ico" \
  "-DGUIDE=$guide" "-DSHIPPED=$shipped" "-DOUTFILE=$out/Quorvel-$version-setup-x86_64.exe" \
  "$root/packaging/Quorvel.nsi"

rm -rf "$stage"
for file in "$out"/*; do
  printf '%s\t%s bytes\n' "$(basename "$file")" "$(stat -c %s "$file")"
done
