# Sourced by run.sh and test.sh: installs the Debian packages the build needs.
# libqt6opengl6-dev: Qt's Designer package needs it, without which the
# Designer plugin is not built.
SORAMEMO_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools libgl-dev libqt6opengl6-dev
  libicu-dev libbenchmark-dev libharfbuzz-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  desktop-file-utils appstream qt6-wayland dpkg-dev libxcb1-dev qt6-translations-l10n
)
# The end-to-end tests (tests/e2e): an X server and its tools, a window
# manager, an input method with Mozc, a print queue with a PDF printer.
SORAMEMO_E2E_PACKAGES=(
  xvfb xdotool x11-utils imagemagick openbox dbus util-linux python3
  fcitx5 fcitx5-mozc fcitx5-frontend-qt6
  cups cups-client printer-driver-cups-pdf poppler-utils
)
# Optional: clang and its runtime build the fuzz targets (tests/fuzz). Nothing
# else needs them, and test.sh skips the fuzz run without them.
SORAMEMO_OPTIONAL_PACKAGES=(clang libclang-rt-14-dev)

soramemo_missing() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
  done
}

soramemo_apt_install() {
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "$@"
}

soramemo_install_packages() {
  local missing
  mapfile -t missing < <(soramemo_missing "${SORAMEMO_PACKAGES[@]}" "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "必要なパッケージをインストールします / installing: ${missing[*]}"
  soramemo_apt_install "${missing[@]}"
}

# Never fails: without these packages the fuzz targets are not built.
soramemo_install_optional() {
  local missing
  mapfile -t missing < <(soramemo_missing "${SORAMEMO_OPTIONAL_PACKAGES[@]}")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "追加のパッケージをインストールします / installing (optional): ${missing[*]}"
  soramemo_apt_install "${missing[@]}" || echo "optional packages not installed; fuzz targets skipped"
}

# soramemo_build_in DIR [cmake options...]
soramemo_build_in() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j"$(nproc)"
}

soramemo_build() {
  soramemo_build_in build "$@"
}
