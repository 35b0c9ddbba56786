#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's machine would see it: its desktop entry and
# metainfo validate, the manual is in the program's share folder, lintian finds no error, the station's
# systemd unit is in place (and verifies where systemd is installed) but not enabled, the installed
# station runs without a window or display and ends cleanly on SIGTERM, and the program comes up in
# English when config.xml says so. Then shows that this check catches an installation without English.qm,
# and removes the package again. Installs the package, so it needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(scripts/package.sh | tail -n 1)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -q "$@"; }

work=$(mktemp -d)
qm=/usr/share/ostrel-blackbody/translations/English.qm
unit=ostrel-blackbody-station.service
unit_path=/usr/lib/systemd/system/$unit
installed=0
station=""
cleanup() {
    if [ -n "$station" ] && kill -0 "$station" 2>/dev/null; then kill -KILL "$station"; fi
    if [ -f "$work/English.qm" ]; then $sudo mv "$work/English.qm" "$qm"; fi
    if ((installed)); then apt_get remove -y ostrel-blackbody >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$work/tree"
desktop-file-validate "$work/tree/usr/share/applications/com.ostrel.blackbody.desktop"
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/com.ostrel.blackbody.metainfo.xml"
lintian --fail-on error "$deb"
if [ ! -f "$work/tree$unit_path" ]; then
    echo "The package does not hold $unit_path" >&2
    exit 1
fi
# The manual the program shows under F1, for readers outside it too, with its pictures.
for page in zh_CN zh_TW en; do
    manual="$work/tree/usr/share/ostrel-blackbody/manual"
    if [ ! -f "$manual/$page.html" ] || [ -z "$(find "$manual/images/$page" -name '*.png' 2>/dev/null)" ]; then
        echo "The package does not hold the $page manual with its pictures under ${manual#"$work/tree"}" >&2
        exit 1
    fi
done
# The instrument drivers the program offers, where it looks for them beside itself.
for driver in ascii-ir addressed-ir binary-ir scpi-readout; do
    if [ ! -f "$work/tree/usr/share/ostrel-blackbody/uut/$driver.bbuut" ]; then
        echo "The package does not hold the driver $driver.bbuut" >&2
        exit 1
    fi
done

# Reinstalled, so a copy left from an earlier run of the same version is not what gets checked.
apt_get install -y --reinstall --no-install-recommends "./$deb"
installed=1

# The unit as systemd reads it, where systemd is installed (a container may lack it).
if command -v systemd-analyze >/dev/null; then
    # Its manual page is looked up too, where there is man to do it.
    man_check=--man=yes
    command -v man >/dev/null || man_check=--man=no
    systemd-analyze verify "$man_check" "$unit_path"
    echo "systemd-analyze verifies $unit"
else
    echo "systemd-analyze is not installed: $unit not verified"
fi
# Installed, never enabled: no link to it under /etc/systemd, and systemctl agrees where it can tell.
links=$(find /etc/systemd -lname "*/$unit" 2>/dev/null || true)
if [ -n "$links" ]; then
    printf 'The package enabled %s:\n%s\n' "$unit" "$links" >&2
    exit 1
fi
if command -v systemctl >/dev/null; then
    enabled=$(systemctl is-enabled "$unit" 2>/dev/null || true)
    if [ "$enabled" != disabled ]; then
        echo "systemctl is-enabled $unit says '$enabled', not 'disabled'" >&2
        exit 1
    fi
fi
echo "$unit is installed and not enabled"

# The installed station without a window, as the unit starts it: no display, a home of its own and no
# settings. It must say it is up, and end with status 0 and a word on standard error at SIGTERM.
home="$work/station-home"
mkdir -p "$home"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_RUNTIME_DIR \
    HOME="$home" LC_ALL=C.UTF-8 /usr/bin/ostrel-blackbody --headless 2>"$work/station.err" &
station=$!
# Its first word comes once it listens for the signal; a signal before that would end it uncleanly.
for _ in $(seq 100); do
    grep -q '^No port given' "$work/station.err" && break
    kill -0 "$station" 2>/dev/null || break
    sleep 0.1
done
if ! grep -q '^No port given' "$work/station.err"; then
    printf 'The station without a window did not come up:\n%s\n' "$(cat "$work/station.err")" >&2
    exit 1
fi
kill -TERM "$station"
for _ in $(seq 300); do
    kill -0 "$station" 2>/dev/null || break
    sleep 0.1
done
status=0
if kill -0 "$station" 2>/dev/null; then
    status="none within 30 s" # the cleanup kills it
else
    wait "$station" || status=$?
    station=""
fi
if [ "$status" != 0 ] || ! grep -q 'stopping' "$work/station.err"; then
    printf 'The station without a window did not end cleanly on SIGTERM (status %s):\n%s\n' \
        "$status" "$(cat "$work/station.err")" >&2
    exit 1
fi
echo "The installed station runs without a window and ends cleanly on SIGTERM"

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
