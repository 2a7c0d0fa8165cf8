#!/usr/bin/env bash
# Installs from Debian's packages what the project needs and this machine
# lacks, and generates the comma-decimal locale that the tests switch to.
# Quiet and quick when everything is there.
#
#   scripts/install-deps.sh run       build and run the program
#   scripts/install-deps.sh windows   cross-build for Windows and run it under Wine
#   scripts/install-deps.sh web       build for WebAssembly and run its tests under Node
#   scripts/install-deps.sh web-page  the page's tests in Chromium, Firefox and WebKit, its benchmark
#   scripts/install-deps.sh test      every test, the fuzz run, the package and
#                                     the Windows and web builds' tests
set -euo pipefail

purpose=${1:-test}

# The Windows build: mingw-w64 with posix threads, for x64 and for 32-bit x86
# (TR_WINDOWS_ARCH=i686), GoogleTest's sources to build with it, Wine to run
# it, an X server and the fonts for its windows.
windows_packages=(
  cmake make
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine64
  fonts-arphic-gbsn00lp fonts-noto-cjk fontconfig
  xvfb xauth
  # The release (scripts/package-windows.sh): the installer, the guide set
  # from the manual page, the zip, and a look inside the installers.
  nsis groff-base python3 p7zip-full
)

# The WebAssembly build: Emscripten (with Node), fast_float for the
# calculation's number reading, GoogleTest's sources to build with it.
web_packages=(
  cmake make
  emscripten nodejs libfast-float-dev googletest
)

# The page's tests: Debian's Chromium, Firefox ESR and WebKitGTK (its
# WebDriver and MiniBrowser), driven by playwright-core, puppeteer-core and
# selenium-webdriver from npm (tests/toolkit/web/package-lock.json; none of them
# downloads a browser or a driver), the two last on Xvfb, whose pointer
# xdotool moves for their drags; ImageMagick cuts WebKit's screenshots; the
# fonts. A Node that brings its own npm (as NodeSource's does) conflicts with
# Debian's npm package, which is then left out.
web_page_packages=(
  chromium firefox-esr webkit2gtk-driver nodejs gzip
  xvfb xauth xdotool imagemagick
  fonts-arphic-gbsn00lp fonts-noto-cjk fontconfig
)
command -v npm >/dev/null || web_page_packages+=(npm)

case $purpose in
  run | test)
    packages=(
      cmake g++ make pkgconf
      qt6-base-dev libgl-dev libxcb1-dev qt6-translations-l10n
      libgtest-dev libgmock-dev libbenchmark-dev
      fonts-arphic-gbsn00lp fonts-noto-cjk fontconfig
      xvfb xauth python3
    )
    ;;
  windows)
    packages=("${windows_packages[@]}")
    ;;
  web)
    packages=("${web_packages[@]}")
    ;;
  web-page)
    packages=("${web_page_packages[@]}")
    ;;
  *)
    echo "install-deps.sh: unknown purpose '$purpose' (run, windows, web, web-page or test)" >&2
    exit 2
    ;;
esac
if [[ $purpose == test ]]; then
  packages+=(
    clang libclang-rt-14-dev
    xdotool xclip x11-utils libxdamage1 imagemagick valgrind
    # 32-bit x86: the calculation's tests built -m32 -static and run under
    # qemu-i386 (no i386 architecture, no 32-bit code on the kernel).
    g++-multilib qemu-user
    locales desktop-file-utils dpkg-dev file lintian appstream
    "${windows_packages[@]}"
    "${web_packages[@]}"
    "${web_page_packages[@]}"
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

as_root() {
  if [[ $(id -u) == 0 ]]; then "$@"; else sudo "$@"; fi
}

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if [[ $purpose == test ]] && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale"
  as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
