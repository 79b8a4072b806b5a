#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing tovela need.
# Usage: tools/setup-debian.sh [--tests]
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev libcurl4-openssl-dev libjpeg62-turbo-dev
          libcpp-httplib-dev fonts-noto-cjk)
# Qt's own Japanese strings (standard buttons and dialogs).
packages+=(qt6-translations-l10n)
# The shipped import plug-ins' format libraries.
packages+=(libpng-dev libgif-dev libtiff-dev libwebp-dev libheif-dev)
# EXIF metadata (a picture's orientation) is read through libexif.
packages+=(libexif-dev)
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(libgtest-dev libjpeg-turbo-progs curl chromium)
    # CI checks that the sources keep the repository's .clang-format.
    packages+=(clang-format)
    # Enhanced metafiles for the metafile tests are written through libEMF.
    packages+=(libemf-dev)
    # The install check: launcher and metadata validators, CPack's shlibdeps and file probe.
    packages+=(desktop-file-utils appstream dpkg-dev file)
    # The plug-ins' tests make and decode their pictures with these tools.
    packages+=(imagemagick webp libheif-examples)
    # Turned photos for the orientation tests get their EXIF orientation from the exif tool.
    packages+=(exif)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
