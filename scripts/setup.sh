#!/usr/bin/env bash
# Installs the Debian packages the build needs, with a Chinese face whose glyphs read back as their own
# code points from a PDF (the certificate tests check that; Noto Sans CJK's read back as radicals), which
# is also what the desktop needs to show Chinese text (--run, kept for older instructions); with --fuzz, the clang fuzzing runtime; with --checks, the formatter, the static checker and the
# MinGW compiler that checks the Windows-only code; with --package, the Debian packaging and validation
# tools). Skips everything already present.
set -euo pipefail

packages=(cmake ninja-build g++ qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools libqcustomplot-dev qttranslations5-l10n python3-pyvisa python3-pyvisa-py poppler-utils pkg-config libmosquitto-dev mosquitto mosquitto-clients python3-paho-mqtt fonts-wqy-microhei libpodofo-dev libssl-dev openssl libxmlsec1-dev libxml2-dev xmlsec1 libxml2-utils)
for arg in "$@"; do
    case "$arg" in
        --run) ;; # the build's packages include the font
        --fuzz) packages+=(clang libclang-rt-dev) ;;
        # Only the win32 thread model: the check compiles no threads, and it halves the download.
        --checks) packages+=(clang-format cppcheck g++-mingw-w64-x86-64-win32) ;;
        --package) packages+=(dpkg-dev fakeroot file lintian desktop-file-utils appstream) ;;
        *) echo "usage: $0 [--run] [--fuzz] [--checks] [--package]" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
