#!/usr/bin/env bash
# The Windows release's figures against their targets: what each installer
# adds to the program it carries (at most 150 KB), each zip against the
# program alone (smaller), and a silent install plus the registered silent
# uninstall of the 64-bit installer under Wine, in a fresh prefix on an Xvfb
# of its own (well under 30 s together; 15 s is the mark). Packages first
# (scripts/package-windows.sh). Exits 1 when a target is missed.
#
#   bash bench/package.sh [RUNS]      (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-3}
work=$(mktemp -d)
export TR_WINEPREFIX=$work/prefix
trap 'WINEPREFIX=$TR_WINEPREFIX wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
bash scripts/package-windows.sh >/dev/null 2>"$work/package.log" || { cat "$work/package.log" >&2; exit 1; }
status=0
verdict() { if (($1)); then echo "met   "; else echo MISSED; status=1; fi; }

for zip in dist/transmission-ratio-*-win*.zip; do
  program=$(unzip -Zl "$zip" transmission-ratio.exe | awk '{print $4; exit}')
  setup=${zip%.zip}-setup.exe
  zip_size=$(stat -c %s "$zip") setup_size=$(stat -c %s "$setup")
  added=$((setup_size - program))
  echo "$(verdict $((added <= 150000))) $(basename "$setup"): $((setup_size / 1000)) KB, adds" \
    "$((added / 1000)) KB to the $((program / 1000)) KB program it carries (target <= 150 KB)"
  echo "$(verdict $((zip_size < program))) $(basename "$zip"): $((zip_size / 1000)) KB," \
    "$((zip_size * 100 / program)) % of the program (target < 100 %)"
done

echo "== $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version 2>/dev/null)"
bash scripts/lib/wine-prefix.sh "$TR_WINEPREFIX" 96 && touch "$TR_WINEPREFIX/.complete"
setup=$(realpath dist/transmission-ratio-*-win64-setup.exe)
bash scripts/lib/with-xvfb.sh bash -s "$setup" "$runs" >"$work/times" <<'EOF_RUNS'
set -euo pipefail
setup=$1 runs=$2
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\transmission-ratio'
folder="$TR_WINEPREFIX/drive_c/Program Files/传动比计算"
scripts/lib/wine-run.sh reg query 'HKLM\Software' >/dev/null   # the session up, not timed
now() { date +%s%N; }
for _ in $(seq "$runs"); do
  start=$(now)
  scripts/lib/wine-run.sh "$setup" /S
  installed=$(now)
  # NSIS's uninstaller returns at once and finishes from a copy in %TEMP%:
  # timed until the folder and the entry are gone.
  scripts/lib/wine-run.sh 'C:\Program Files\传动比计算\transmission-ratio-uninstall.exe' /S
  until [[ ! -e $folder ]] && ! scripts/lib/wine-run.sh reg query "$key" /reg:64 >/dev/null 2>&1; do
    sleep 0.1
  done
  echo "$(((installed - start) / 1000000)) $(((($(now)) - installed) / 1000000))"
done
WINEPREFIX=$TR_WINEPREFIX wineserver -k   # before the X server goes
EOF_RUNS
median() { cut -d' ' -f"$1" "$work/times" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
install=$(median 1) uninstall=$(median 2)
total=$((install + uninstall))
echo "$(verdict $((total < 15000))) silent install $((install)) ms + silent uninstall $((uninstall)) ms" \
  "= $((total)) ms, median of $runs (target well under 30 s)"
exit "$status"
