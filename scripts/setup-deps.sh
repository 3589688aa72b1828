#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the host need, only when missing.
set -euo pipefail

packages=(g++ cmake ninja-build make pkg-config libgtest-dev libgmock-dev libzip-dev
          clang libclang-rt-14-dev qt6-base-dev fonts-dejavu-core xvfb xauth imagemagick
          x11-utils)
# Protocol decoding (host/decode) links libsigrokdecode; its tests compare with sigrok-cli.
packages+=(libsigrokdecode-dev sigrok-cli)
# FST import compiles the FST reader from verilator's source (with zlib); gtkwave's vcd2fst and
# fst2vcd make and read back the FST files of the tests and the benchmark.
packages+=(verilator zlib1g-dev gtkwave)
# qzbench times numpy (Debian's /usr/bin/python3) beside the plug-in; it skips that without it.
packages+=(python3-numpy)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
