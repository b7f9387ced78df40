#!/usr/bin/env bash
# Installs the Debian 12 packages that Plovix needs to build and test. Safe to run again:
# it asks apt only when something is missing.
set -euo pipefail

# qt6-charts-dev needs libqt6opengl6-dev for its CMake package; poppler-utils lets the tests read
# the text of the PDF files they print.
packages=(cmake g++ make pkgconf libgtest-dev libgsf-1-dev zlib1g-dev qt6-base-dev qt6-charts-dev
    libqt6opengl6-dev fonts-dejavu-core poppler-utils)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
