# shellcheck shell=bash
# Sourced by ./run and ./test: makes sure the Debian packages for building,
# testing and running Wakewatch are there, installing only what is missing.

WW_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libx11-dev libxss-dev libxrandr-dev
  libgtest-dev libgmock-dev googletest
  # the end-to-end tests and ./run without a desktop: a virtual X server, a
  # tray host, input and screenshots, xdpyinfo; a private session bus for the
  # tests of the screen-saver hold
  xvfb trayer xdotool imagemagick x11-utils dbus-daemon
)

ww_install_packages() {
  local installed missing=() package
  # One dpkg-query for all of them keeps this quick when nothing is missing.
  # It fails when some are unknown to dpkg; what it prints is still right.
  installed=$( (dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "${WW_PACKAGES[@]}" \
    2>/dev/null || true) | awk '$1 == "ii" { print $2 }')
  for package in "${WW_PACKAGES[@]}"; do
    grep -qxF "$package" <<<"$installed" || missing+=("$package")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "Some Debian packages are missing. Install them with:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
