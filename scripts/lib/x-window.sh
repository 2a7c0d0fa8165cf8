# Sourced by the screenshot scripts, inside their private X server: finds a
# top-level X window by its title.

# WIDTHxHEIGHT+X+Y of the top-level X window titled $1; empty when none is.
window_geometry() {
  xwininfo -root -tree | grep -F "\"$1\"" | grep -o '[0-9]*x[0-9]*+-\?[0-9]*+-\?[0-9]*' | head -n 1
}

# Waits until a window titled $1 is shown, $2 tries 0.2 s apart at the most.
wait_for_window() {
  for _ in $(seq "$2"); do [[ -n $(window_geometry "$1") ]] && return; sleep 0.2; done
}
