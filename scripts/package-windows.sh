#!/usr/bin/env bash
# The Windows release, for each processor: a portable zip with the program
# and its user's guide (使用说明.txt, set from the Chinese manual page) and an
# NSIS installer, both in dist/, and dist/SHA256SUMS for everything in dist/.
# Installs what is missing, builds with scripts/build-windows.sh into its
# folders (build-windows/, build-windows-i686/; TR_BUILD_TESTS as that script
# takes it), and prints the paths it wrote, one a line (all other output goes
# to standard error):
#
#   bash scripts/package-windows.sh
#     dist/transmission-ratio-1.0.0-win64.zip, ...-win64-setup.exe,
#     ...-win32.zip, ...-win32-setup.exe, dist/SHA256SUMS
#
# TR_WINDOWS_ARCHES lists the processors (default "x86_64 i686"). The same
# commit gives the same zips and
# program files, byte for byte, wherever it is built: the files in the zip are
# dated from the commit (SOURCE_DATE_EPOCH when set).
set -euo pipefail
cd "$(dirname "$0")/.."

# The processors, their release names and the code each one's .exe must hold
# (objdump's name for the format). The one place that knows them.
declare -A release_of=([x86_64]=win64 [i686]=win32)
declare -A format_of=([x86_64]=pei-x86-64 [i686]=pei-i386)
arches=(${TR_WINDOWS_ARCHES:-x86_64 i686})

bash scripts/install-deps.sh windows >&2

version=$(sed -n 's/^project(transmission_ratio VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
manual_page=packaging/man/transmission-ratio.zh_CN.1
if ! grep -q "^\.TH .*\"transmission-ratio $version\"" "$manual_page"; then
  echo "package-windows.sh: $manual_page is not for version $version (.TH)" >&2
  exit 1
fi
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

mkdir -p dist build-windows-dist
rm -f dist/transmission-ratio-*-win*.zip dist/transmission-ratio-*-win*-setup.exe dist/SHA256SUMS

guide=build-windows-dist/guide.txt
python3 packaging/windows/release_files.py guide "$manual_page" "$guide"

written=()
for arch in "${arches[@]}"; do
  release=${release_of[$arch]:?unknown processor $arch (x86_64 or i686)}
  # The build's output goes on to standard error through a pipe: tee opening
  # /dev/stderr would open a log file anew and cut it short.
  program=$(TR_WINDOWS_ARCH=$arch bash scripts/build-windows.sh | tee >(cat >&2) |
    tail -n 1)
  format=$(x86_64-w64-mingw32-objdump -f "$program" | sed -n 's/.*file format //p')
  if [[ $format != "${format_of[$arch]}" ]]; then
    echo "package-windows.sh: $program is $format, not ${format_of[$arch]}" >&2
    exit 1
  fi

  zip=dist/transmission-ratio-$version-$release.zip
  python3 packaging/windows/release_files.py zip "$zip" "$epoch" \
    "transmission-ratio.exe=$program" "使用说明.txt=$guide"

  setup=dist/transmission-ratio-$version-$release-setup.exe
  makensis -V2 -INPUTCHARSET UTF8 -DRELEASE="$release" -DVERSION="$version" \
    -DPROGRAM="$program" -DGUIDE="$PWD/$guide" -DICON="$PWD/app/icons/transmission-ratio.ico" \
    -DOUTFILE="$PWD/$setup" packaging/windows/transmission-ratio.nsi >&2
  written+=("$zip" "$setup")
done

(cd dist && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
  xargs -d '\n' sha256sum >SHA256SUMS)
written+=(dist/SHA256SUMS)
for path in "${written[@]}"; do realpath "$path"; done
