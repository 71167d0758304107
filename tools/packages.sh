# shellcheck shell=bash
# Sourced by ./run and ./test: makes sure the Debian packages for building,
# testing and running Wakewatch are there, installing only what is missing.

WW_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libx11-dev libxss-dev libxrandr-dev
  # Wayland sessions: Qt's wayland platform, and the layer-shell client for
  # the hot corners (libwayland, wayland-scanner, xdg-shell and xdg-output)
  qt6-wayland libwayland-dev libwayland-bin wayland-protocols
  # the icon theme's PNG files are written at build time
  zlib1g-dev
  libgtest-dev libgmock-dev googletest
  # the end-to-end tests and ./run without a desktop: a virtual X server, a
  # tray host, input and screenshots, xdpyinfo; a private session bus for the
  # tests of the screen-saver hold
  xvfb trayer xdotool imagemagick x11-utils dbus-daemon
  # the Wayland end-to-end tests: a headless compositor (it runs as the
  # unprivileged user through setpriv, from util-linux)
  sway
)

# Only ./test needs these: the 32-bit Windows cross compiler (GoogleTest is
# built from the googletest sources above) and 32-bit Wine to run what it builds.
# shellcheck disable=SC2034 # used by ./test and tools/win32-test
WW_WIN32_PACKAGES=(g++-mingw-w64-i686-posix wine wine32:i386)

# Only ./test needs these: the Debian package build and lintian, and the
# validators of what `cmake --install` puts in place (menu entry, AppStream
# data, manual page, SVG icon).
# shellcheck disable=SC2034 # used by ./test
WW_PACKAGING_PACKAGES=(debhelper lintian desktop-file-utils appstream mandoc libxml2-utils)

# Only ./test needs these: the real desktops the label `desktop` brings up
# headless (tests/e2e/desktops): xscreensaver on Xvfb; sway's idle daemon and
# panel; GNOME Shell with the tray extension, its session manager and the
# settings daemon's screen-saver proxy; KDE Plasma on X11 (kwin, kded,
# ksmserver and its locker); the XFCE, MATE and Cinnamon panels, sessions and
# savers; grim for screenshots of a Wayland output. GNOME's org.gnome.ScreenSaver
# is a gjs script the bus starts, and gnome-shell does not pull gjs in; gdbus and
# gsettings drive the GNOME session from outside. About 700 packages,
# 370 MB to fetch, 1.3 GB installed, three minutes to install.
# shellcheck disable=SC2034 # used by ./test
WW_DESKTOP_PACKAGES=(
  xscreensaver swayidle waybar grim
  gnome-shell gnome-shell-extension-appindicator gnome-session-bin gnome-settings-daemon
  gjs libglib2.0-bin
  kwin-x11 plasma-workspace kded5 libkscreenlocker5
  # plasmashell's desktop shell package (the panel and its system tray), for
  # the tests on Plasma's panel and bench/host-cost's plasmashell mode: 21
  # packages, 23 MB to fetch, 71 MB
  plasma-desktop
  xfce4-panel xfce4-session
  mate-panel mate-screensaver
  cinnamon cinnamon-screensaver
)

# Only ./test and tools/fuzz need these: clang with libFuzzer for the fuzz
# targets, and clang-format for the formatting check.
WW_FUZZ_PACKAGES=(clang libclang-rt-14-dev clang-format)

# ww_install_packages [extra package ...]: WW_PACKAGES and the extra ones.
ww_install_packages() {
  local wanted=("${WW_PACKAGES[@]}" "$@")
  local installed missing=() package add_i386=
  # One dpkg-query for all of them keeps this quick when nothing is missing.
  # It fails when some are unknown to dpkg; what it prints is still right.
  # A foreign package is named with its architecture (wine32:i386), so both
  # the plain and the qualified name count.
  installed=$( (dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${binary:Package}\n' \
    "${wanted[@]}" 2>/dev/null || true) | awk '$1 == "ii" { print $2; print $3 }')
  for package in "${wanted[@]}"; do
    grep -qxF "$package" <<<"$installed" || missing+=("$package")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    add_i386=1
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "Some Debian packages are missing. Install them with:" >&2
    if [ -n "$add_i386" ]; then
      echo "  sudo dpkg --add-architecture i386 && sudo apt-get update" >&2
    fi
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  if [ -n "$add_i386" ]; then
    echo "Adding the i386 architecture for 32-bit Wine"
    dpkg --add-architecture i386
  fi
  echo "Installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
