#!/usr/bin/env bash
# Cross-builds the program for Windows with Debian's mingw-w64, in Release:
# for x64 with its tests (the preset windows-x64, into build-windows/), or
# with TR_WINDOWS_ARCH=i686 for 32-bit x86 (windows-i686, into
# build-windows-i686/), or into the folder given. Checks that each .exe
# imports no DLL beyond those every Windows has, and that the program imports
# only functions that Windows 7 SP1 has (scripts/lib/check-windows-imports.sh).
# Installs what is missing first. The last line printed is the path of the
# program's .exe:
#
#   exe=$(bash scripts/build-windows.sh | tail -n 1)
#   scripts/lib/wine-run.sh "$exe"
#   TR_WINDOWS_ARCH=i686 bash scripts/build-windows.sh
#
# TR_BUILD_TESTS and TR_BUILD_BENCHMARKS=ON, where set, take the place of
# the preset's (the start-up benchmark: bench/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${TR_WINDOWS_ARCH:-x86_64}
case $arch in
  x86_64) preset=windows-x64 build=${1:-build-windows} ;;
  i686) preset=windows-i686 build=${1:-build-windows-i686} ;;
  *)
    echo "build-windows.sh: TR_WINDOWS_ARCH is x86_64 (the default) or i686, not '$arch'" >&2
    exit 2
    ;;
esac
objdump=$arch-w64-mingw32-objdump

bash scripts/install-deps.sh windows
settings=()
for setting in TR_BUILD_TESTS TR_BUILD_BENCHMARKS; do
  [[ -n ${!setting:-} ]] && settings+=("-D$setting=${!setting}")
done
cmake --preset "$preset" -B "$build" "${settings[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Statically linked: Windows' own DLLs only, no libstdc++, libgcc or
# winpthread DLL beside the program.
system_dlls='^(kernel32|user32|gdi32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+|ntdll|advapi32|comctl32|comdlg32|shell32|shlwapi|shcore|ole32|oleaut32|uxtheme|dwmapi|imm32|usp10|version|winmm|ws2_32|bcrypt)\.dll$'
bad=0
while IFS= read -r -d '' exe; do
  while read -r dll; do
    if ! [[ ${dll,,} =~ $system_dlls ]]; then
      echo "build-windows.sh: $exe imports $dll, which Windows does not have" >&2
      bad=1
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$build" \( -path "$build/wine" -o -name CMakeFiles \) -prune -o -name '*.exe' -print0)
((bad == 0)) || exit 1

program=$build/app/transmission-ratio.exe
bash scripts/lib/check-windows-imports.sh "$program" "$objdump"

echo "$(realpath "$program")"
