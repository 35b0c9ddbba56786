#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's machine would see it: its desktop entry and
# metainfo validate, lintian finds no error, and once installed the program comes up in English when
# config.xml says so. Then shows that this check catches an installation without English.qm, and removes
# the package again. Installs the package, so it needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(scripts/package.sh | tail -n 1)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -q "$@"; }

work=$(mktemp -d)
qm=/usr/share/ostrel-blackbody/translations/English.qm
installed=0
cleanup() {
    if [ -f "$work/English.qm" ]; then $sudo mv "$work/English.qm" "$qm"; fi
    if ((installed)); then apt_get remove -y ostrel-blackbody >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$work/tree"
desktop-file-validate "$work/tree/usr/share/applications/com.ostrel.blackbody.desktop"
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/com.ostrel.blackbody.metainfo.xml"
lintian --fail-on error "$deb"

# Reinstalled, so a copy left from an earlier run of the same version is not what gets checked.
apt_get install -y --reinstall --no-install-recommends "./$deb"
installed=1

# The installed program's title and captions, started in a home of its own whose settings choose
# English. Fails when the program does.
window_texts() {
    local home="$work/home"
    rm -rf "$home"
    mkdir -p "$home/config/ostrel-blackbody"
    echo '<Settings><Chart><Language>English</Language></Chart></Settings>' \
        >"$home/config/ostrel-blackbody/config.xml"
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home" \
        QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 timeout 60 /usr/bin/ostrel-blackbody --print-texts 2>/dev/null
}
in_english() {
    grep -q $'^pushButton_com\tOpen port$' <<<"$1" && ! grep -q '打开串口' <<<"$1"
}

texts=$(window_texts)
if ! in_english "$texts"; then
    printf 'The installed program did not come up in English:\n%s\n' "$texts" >&2
    exit 1
fi
echo "The installed program comes up in English"

$sudo mv "$qm" "$work/English.qm"
texts=$(window_texts)
if in_english "$texts"; then
    echo "The check passed without English.qm, so it cannot tell a missing translation" >&2
    exit 1
fi
$sudo mv "$work/English.qm" "$qm"
echo "Without English.qm the program comes up in Chinese and the check fails, as it must"

apt_get remove -y ostrel-blackbody
installed=0
echo "Package check: passed"
