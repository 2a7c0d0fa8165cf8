#!/usr/bin/env bash
# Where the start-up goes, counted in instructions: builds transmission-ratio
# and the bare window (bench/startup/) with symbols and runs each once under
# valgrind's callgrind on a private Xvfb, from exec to its first picture (the
# end of Qt's first QWidgetRepaintManager::flush). Prints both totals and, for
# each program, the inclusive count of the stages that matter. Unlike the
# timings of bench/startup.sh the counts hardly vary between runs; Debian
# ships no debug symbols for Qt, fontconfig or FreeType, so inside them
# callgrind names only their exported functions.
#
#   bash bench/profile-startup.sh     (build and output: build-bench/)
#
# callgrind_annotate --inclusive=yes build-profile/callgrind/NAME.out shows
# the whole profile. Needs valgrind and xvfb.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build-bench
out=$build/callgrind

(cd "$repo" && cmake --preset bench -B "$build" >/dev/null)
cmake --build "$build" --target transmission-ratio bare_window -j2 >/dev/null
mkdir -p "$out"

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
runtime=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$runtime"' EXIT
read -r -t 15 -u "$display_fd" display

# profile NAME PROGRAM: callgrind up to the first picture, into $out/NAME.out.
profile() {
  local name=$1 program=$2
  rm -f "$out/$name".*
  DISPLAY=:$display XDG_RUNTIME_DIR=$runtime valgrind --tool=callgrind \
    --callgrind-out-file="$out/$name.%p" --dump-after='QWidgetRepaintManager::flush()' \
    "$program" >/dev/null 2>"$out/$name.log" &
  local pid=$!
  local waited=0
  until [[ -f $out/$name.$pid.1 ]]; do
    ((waited++ < 600)) || { echo "$name drew nothing within 60 s" >&2; exit 1; }
    sleep 0.1
  done
  sleep 0.5  # the dump is written when the file appears; let it finish
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  mv "$out/$name.$pid.1" "$out/$name.out"
  rm -f "$out/$name.$pid"*
}

profile transmission-ratio "$build/app/transmission-ratio"
profile bare_window "$build/bench/startup/bare_window"

stages='PROGRAM TOTALS|:main |QApplication::QApplication\(|populateFontDatabase\(|'
stages+='QFontDatabasePrivate::loadEngine\(|fallbacksForFamily\(|QTextEngine::shapeText\(|'
stages+='QFontEngineFT::loadGlyph\(|QIcon::QIcon\(|QtWindow::QtWindow\(|'
stages+='QtWindow::BuildControl\(|QWidget::setFont\(|QWidget::show\(\)|QApplication::exec\(\)'
for name in transmission-ratio bare_window; do
  echo "== $name: instructions from exec to the first picture, inclusive"
  callgrind_annotate --inclusive=yes --auto=no "$out/$name.out" 2>/dev/null |
    grep -E "$stages" | grep -v -e "'" -e ' /' | sed -E 's/ \[[^]]*\]$//; s/\([^()]*\)( const)?$//' | cut -c1-110
done
