#!/bin/bash
# Installs the Debian packages that the build, the tests and the demo need
# (apt-get update only when something is missing).
set -euo pipefail
pkgs=(cmake make g++ libmotif-dev libxt-dev libx11-dev libxtst-dev libxres-dev libgtest-dev
      xvfb xdotool x11-utils xfonts-base xfonts-75dpi xfonts-100dpi imagemagick
      clang libclang-rt-14-dev clang-format)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
