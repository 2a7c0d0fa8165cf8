#!/usr/bin/env bash
# Fails when a Windows .exe imports a function that Windows 7 SP1 may not
# have. The functions each DLL may give are listed in
# scripts/lib/windows7-imports/<dll>.txt (the DLL's name in lower case), one a
# line: the function's name, then where it is known to be on Windows 7 SP1
# (Microsoft's documented minimum supported client, or for the C runtime's
# own exports a short reason). An entry without its source, a DLL without its
# list or a function not on it are all reported, function and DLL by name.
#
#   scripts/lib/check-windows-imports.sh PROGRAM.exe [OBJDUMP]
#
# OBJDUMP is the objdump of the .exe's target (x86_64-w64-mingw32-objdump by
# default, i686-w64-mingw32-objdump for the 32-bit build).
set -euo pipefail

exe=$1
objdump=${2:-x86_64-w64-mingw32-objdump}
lists=$(dirname "$0")/windows7-imports

# "DLL function" for each function imported by name; "DLL #ordinal" for one
# imported by number, which no list names, so it is refused.
imports=$("$objdump" -p "$exe" | awk '
  /^[[:space:]]*DLL Name: / { dll = tolower($3); next }
  /^$/ { dll = "" }
  dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {
    print dll, (NF >= 3 && $3 != "<none>" ? $3 : "#" $2)
  }')
if [[ -z $imports ]]; then
  echo "check-windows-imports.sh: $objdump -p $exe shows no imported function" >&2
  exit 1
fi

bad=0
while read -r dll function; do
  list=$lists/${dll%.dll}.txt
  if [[ ! -f $list ]]; then
    echo "check-windows-imports.sh: $exe imports $function from $dll, which has no list of Windows 7 functions ($list)" >&2
    bad=1
    continue
  fi
  entry=$(awk -v f="$function" '$1 == f' "$list")
  if [[ -z $entry ]]; then
    echo "check-windows-imports.sh: $exe imports $function from $dll, which is not on the list of functions Windows 7 SP1 has ($list)" >&2
    bad=1
  elif [[ $(awk '{ print NF }' <<<"$entry") -lt 2 ]]; then
    echo "check-windows-imports.sh: $list lists $function without saying where Windows 7 SP1 is known to have it" >&2
    bad=1
  fi
done <<<"$imports"
((bad == 0)) || exit 1
echo "check-windows-imports.sh: $(wc -l <<<"$imports") functions imported by $(basename "$exe"), each on the Windows 7 SP1 lists"
