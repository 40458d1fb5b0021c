# Shared set-up of run.sh and test.sh: the Debian packages, then the builds.
# Sourced, not run.

QEV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# ccache keys on paths relative to the checkout, so a fresh clone in another
# folder reuses what an earlier build compiled.
export CCACHE_BASEDIR=$QEV_ROOT
export CCACHE_NOHASHDIR=true

QEV_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-ibase qt6-charts-dev qt6-serialport-dev
  libqt6opengl6-dev libgl-dev qt6-qpa-plugins
  firebird3.0-server-core firebird3.0-utils libfbclient2
  libzip-dev libjpeg-dev fonts-dejavu-core
  python3 python3-xlrd python3-odf poppler-utils xvfb xauth
)

qev_missing_packages() {
  local missing=() pkg
  for pkg in "${QEV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  echo "${missing[@]}"
}

qev_install_packages() {
  local missing
  missing=$(qev_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing. Install them, then run this again:" >&2
    echo "  sudo apt-get install -y --no-install-recommends $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

# qev_build DIR [TARGET] -- [cmake options]: configures once, then builds.
qev_build() {
  local dir=$1 target=$2
  shift 2
  if [ ! -f "$QEV_ROOT/$dir/CMakeCache.txt" ]; then
    cmake -S "$QEV_ROOT" -B "$QEV_ROOT/$dir" -G Ninja "$@"
  fi
  cmake --build "$QEV_ROOT/$dir" --target "$target" -- -j2
}

qev_build_program() {
  qev_build build all
}
