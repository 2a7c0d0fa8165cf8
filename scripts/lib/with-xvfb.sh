#!/usr/bin/env bash
# Runs a command with DISPLAY set to an X server of its own: a private Xvfb
# on the first free display number, ended when the command ends.
#
#   scripts/lib/with-xvfb.sh ctest --test-dir build-windows -j2
#
# For the Windows window tests under Wine, which need a display where the
# Linux machine (CI) has none. The command's exit status is returned.
set -euo pipefail

if (($# < 1)); then
  echo "usage: with-xvfb.sh COMMAND [ARGUMENTS...]" >&2
  exit 2
fi

work=$(mktemp -d)
xvfb_pid=
finish() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT

# Xvfb writes the display number it took to -displayfd once it accepts
# connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
  </dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "with-xvfb.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [[ ! -s $work/display ]]; then
  echo "with-xvfb.sh: Xvfb gave no display number in 10 s" >&2
  exit 1
fi

export DISPLAY=:$(tr -d '[:space:]' <"$work/display")
unset WAYLAND_DISPLAY XAUTHORITY
# Tells this X server from an earlier one on the same display number
# (scripts/lib/wine-run.sh restarts a Wine session started on another).
export TR_XVFB_SESSION="$DISPLAY $xvfb_pid $(date +%s%N)"
status=0
"$@" || status=$?
exit "$status"
