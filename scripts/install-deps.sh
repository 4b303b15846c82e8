#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ pkg-config        # build
    qt6-base-dev                            # Kelvo: Qt 6 Widgets and PrintSupport
    qt6-translations-l10n                   # Qt's own dialogs (print, page setup) in Russian
    libgtest-dev libgmock-dev               # unit tests
    libcli11-dev nlohmann-json3-dev         # kvb: command line and JSON output
    python3 python3-olefile libgsf-bin      # independent compound-file readers in tests
    clang libclang-rt-14-dev                # fuzz targets (libFuzzer) and sanitizers
    xvfb xauth                              # running the desktop program without a display
    tzdata                                  # time-zone tests of local date-times
    libsodium-dev                           # cryptography of protected banks
    libreoffice-writer-nogui                # independent RTF reader the RTF tests check our bodies with
    poppler-utils                           # pdftotext, pdftoppm: the print tests read PDFs back
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
