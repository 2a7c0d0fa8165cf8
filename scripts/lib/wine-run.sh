#!/usr/bin/env bash
# Runs a Windows program under Wine, as ctest and gtest_discover_tests do
# through CMAKE_CROSSCOMPILING_EMULATOR (cmake/mingw-w64-x86_64.cmake):
#
#   scripts/lib/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# - The Wine prefix is TR_WINEPREFIX when set; otherwise wine/prefix-DPI in
#   the build folder that holds the program (the nearest folder above it with
#   a CMakeCache.txt), else next to the program. DPI is TR_WINE_DPI, 96 by
#   default. The prefix is made on first use by scripts/lib/wine-prefix.sh, under
#   a lock, so tests started together by ctest -j wait for one another.
# - Standard output has its CR LF line ends turned into LF, so that ctest and
#   gtest_discover_tests read it as they read a Linux program's; standard
#   error passes unchanged.
# - The exit status is the program's.
# - WINEDEBUG=-all; no Mono or Gecko install prompt (mscoree, mshtml), and no
#   menu entries written into the home folder (winemenubuilder).
# - The program gets the caller's DISPLAY: window tests start an X server of
#   their own (scripts/lib/with-xvfb.sh); console programs need none.
# - The wineserver stays up for TR_WINESERVER_LINGER seconds (60 by default)
#   after the last program ends; it ends by itself then, or at once with
#   WINEPREFIX=PREFIX wineserver -k.
set -euo pipefail

if (($# < 1)); then
  echo "usage: wine-run.sh PROGRAM.exe [ARGUMENTS...]" >&2
  exit 2
fi
program=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

dpi=${TR_WINE_DPI:-96}
if [[ -n ${TR_WINEPREFIX:-} ]]; then
  prefix=$TR_WINEPREFIX
else
  folder=$(cd "$(dirname "$program")" && pwd)
  build=$folder
  while [[ $build != / && ! -f $build/CMakeCache.txt ]]; do build=$(dirname "$build"); done
  [[ -f $build/CMakeCache.txt ]] || build=$folder
  prefix=$build/wine/prefix-$dpi
fi

wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
[[ -x $wine ]] || wine=wine wineserver=wineserver

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Under a lock, so that tests started together by ctest -j wait for one
# another: make the prefix on first use, then start its wineserver unless one
# runs. The wineserver and Wine's own processes (services.exe, explorer.exe,
# ...) that it starts here hold none of the caller's pipes open: ctest and
# gtest_discover_tests wait until every holder of a test's output is gone.
# The server keeps running TR_WINESERVER_LINGER seconds (60 by default)
# after the last program ends, so the next test starts in a fraction of a
# second instead of two.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [[ ! -f $prefix/.complete ]]; then
  echo "wine-run.sh: making the Wine prefix $prefix (DPI $dpi)" >&2
  bash "$here/wine-prefix.sh" "$prefix" "$dpi" </dev/null >/dev/null
  touch "$prefix/.complete"
fi
# Wine's desktop (explorer.exe) keeps the X display it started on: a server
# started for another DISPLAY (none, or an X server that is gone: a new one
# from scripts/lib/with-xvfb.sh may take the same number) is ended first.
# Programs of one ctest run share one DISPLAY.
session="DISPLAY=${DISPLAY:-} ${TR_XVFB_SESSION:-}"
if [[ -f $prefix.session && $(<"$prefix.session") != "$session" ]]; then
  "$wineserver" -k </dev/null >/dev/null 2>&1 || true
  "$wineserver" -w </dev/null >/dev/null 2>&1 || true
fi
if "$wineserver" -p"${TR_WINESERVER_LINGER:-60}" </dev/null >/dev/null 2>&1; then
  "$wine" wineboot </dev/null >/dev/null 2>&1
fi
printf '%s' "$session" >"$prefix.session"
flock -u 9
exec 9>&-

set +e +o pipefail
"$wine" "$program" "$@" | sed -u 's/\r$//'
exit "${PIPESTATUS[0]}"
