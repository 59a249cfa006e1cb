# Sourced by run.sh and test.sh: installs the Debian packages the build needs.
SORAMEMO_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools libgl-dev
  libicu-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  desktop-file-utils appstream qt6-wayland
)

soramemo_install_packages() {
  local missing=() pkg
  for pkg in "${SORAMEMO_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "必要なパッケージをインストールします / installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

soramemo_build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build build -j"$(nproc)"
}
