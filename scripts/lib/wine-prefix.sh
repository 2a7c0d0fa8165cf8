#!/usr/bin/env bash
# Makes a fresh Wine prefix for running the Windows build:
#
#   scripts/lib/wine-prefix.sh PREFIX [DPI]     DPI: 96 (default), 120, 144, ...
#
# - Chinese text shows: the Song face the window asks for (宋体 / SimSun)
#   and the faces of Wine's own dialogs and message boxes (Tahoma, MS Shell
#   Dlg, ...), which lack Chinese, are mapped to installed CJK fonts
#   (fonts-arphic-gbsn00lp, fonts-noto-cjk);
# - X11 Driver "Managed"="N": with no window manager (Xvfb) Wine draws the
#   frames itself and moves the keyboard focus to the window it activates;
# - the screen DPI that GetDeviceCaps(LOGPIXELSX), GetDpiForSystem() and
#   GetDpiForWindow() report: HKCU\Control Panel\Desktop "LogPixels", which
#   Wine 8 reads before the machine-wide value (both are set).
#
# Any prefix already at PREFIX is removed. Takes about 15 s (wineboot -i 6-7 s,
# then 5 s until the wineserver has written the registry). Needs no display.
set -euo pipefail

prefix=${1:?usage: wine-prefix.sh PREFIX [DPI]}
dpi=${2:-96}
[[ $dpi =~ ^[0-9]+$ ]] || { echo "wine-prefix.sh: DPI must be a number, not '$dpi'" >&2; exit 2; }

song_face="AR PL SungtiL GB"      # fonts-arphic-gbsn00lp
sans_face="Noto Sans CJK SC"      # fonts-noto-cjk

# wine64 itself: Debian's wine script only adds a hint about wine32.
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
[[ -x $wine ]] || wine=wine wineserver=wineserver

mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
rm -rf "$prefix"

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The prefix needs no X server; one given by the caller is not used.
unset DISPLAY WAYLAND_DISPLAY
# The same prefix whatever the caller's locale.
export LC_ALL=C.UTF-8

"$wine" wineboot -i >/dev/null 2>&1

# A Unix path as Wine's Z: drive sees it.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

# One .reg file for all the settings: regedit reads it as UTF-16LE with a
# byte-order mark (a UTF-8 file is read in the ANSI code page and the Chinese
# names come out garbled), and one wine process is quicker than one per value.
settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
{
  printf 'Windows Registry Editor Version 5.00\n\n'

  # The window asks for the Song face by its Chinese name: Wine has no such
  # family, so it takes the replacement.
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n'
  for face in 宋体 新宋体 SimSun NSimSun; do
    printf '"%s"="%s"\n' "$face" "$song_face"
  done
  printf '"Tahoma"="%s"\n\n' "$sans_face"

  # Message boxes, dialogs and captions use "MS Shell Dlg" (NONCLIENTMETRICS),
  # which Wine substitutes to Tahoma: without these a message box's Chinese
  # text and title are boxes.
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\n'
  for face in "MS Shell Dlg" "MS Shell Dlg 2" Tahoma "Microsoft Sans Serif" "Segoe UI" 微软雅黑 "Microsoft YaHei"; do
    printf '"%s"="%s"\n' "$face" "$sans_face"
  done
  printf '\n'

  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n\n'

  # Wine 8 reads the user's value first, then the machine's.
  printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' "$dpi"
  printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\n'
  printf '"LogPixels"=dword:%08x\n' "$dpi"
} | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$settings"
"$wine" regedit /S "$(winepath_of "$settings")"

# Wine draws the caption buttons with Marlett; this Wine does not find its
# own copy, and the buttons show as "0 1 r".
marlett=/usr/share/wine/fonts/marlett.ttf
if [[ -f $marlett ]]; then
  ln -sf "$marlett" "$prefix/drive_c/windows/Fonts/marlett.ttf"
fi

# The registry reaches system.reg and user.reg when the wineserver exits.
"$wineserver" -w
