#!/usr/bin/env bash
# Cross-builds the program for Windows with Debian's mingw-w64, in Release:
# for x64 into build-windows/, or with TR_WINDOWS_ARCH=i686 for 32-bit x86
# into build-windows-i686/ (or the folder given). Checks that each .exe
# imports no DLL beyond those every Windows has, and that the program imports
# only functions that Windows 7 SP1 has (scripts/check-windows-imports.sh).
# Installs what is missing first. The last line printed is the path of the
# program's .exe:
#
#   exe=$(bash scripts/build-windows.sh | tail -n 1)
#   scripts/wine-run.sh "$exe"
#   TR_WINDOWS_ARCH=i686 bash scripts/build-windows.sh
#
# TR_BUILD_TESTS=ON builds the tests too (scripts/test.sh), and
# TR_BUILD_BENCHMARKS=ON the start-up benchmark (scripts/bench-windows.sh).
# Unset, each keeps what the folder was built with (OFF in a new folder), so
# the release can be packed from a build with tests without a rebuild.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${TR_WINDOWS_ARCH:-x86_64}
case $arch in
  x86_64) build=${1:-build-windows} ;;
  i686) build=${1:-build-windows-i686} ;;
  *)
    echo "build-windows.sh: TR_WINDOWS_ARCH is x86_64 (the default) or i686, not '$arch'" >&2
    exit 2
    ;;
esac
objdump=$arch-w64-mingw32-objdump

bash scripts/install-deps.sh windows
settings=()
for setting in TR_BUILD_TESTS TR_BUILD_BENCHMARKS; do
  if [[ -n ${!setting:-} ]]; then
    settings+=("-D$setting=${!setting}")
  elif [[ ! -f $build/CMakeCache.txt ]]; then
    settings+=("-D$setting=OFF")
  fi
done
cmake -S . -B "$build" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release "${settings[@]}" >/dev/null
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
bash scripts/check-windows-imports.sh "$program" "$objdump"

echo "$(realpath "$program")"
