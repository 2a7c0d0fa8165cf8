#!/bin/sh
# Starts the program where there is no display: it must print exactly one
# line naming xvfb-run and exit with status 1.
# Usage: without_display.sh PROGRAM
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1)
status=$?
printf '%s\n' "$out"
[ "$status" -eq 1 ] || { echo "exit status $status, not 1"; exit 1; }
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || { echo "not one line"; exit 1; }
printf '%s' "$out" | grep -q 'xvfb-run -a' || { echo "no xvfb-run hint"; exit 1; }
