#!/usr/bin/env bash
# Checks the Debian packages made by scripts/package-deb before they are
# installed: file lists, control fields, the desktop entry and the metainfo
# through their validators, the icon sizes, and one application id in every
# place.
#   check_deb.sh DEB_DIR APP_ID
set -euo pipefail

DIR=$1
ID=$2
LOG_TAG=check-deb
. "$(dirname "$0")/../../scripts/lib.sh"

CLIENT=$(ls "$DIR"/quindelar_*.deb)
DEMO=$(ls "$DIR"/tarvenia-demo-service_*.deb)
make_test_dir deb

files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print $6 }' | sort; }

expected_client() {
    echo "./usr/bin/quindelar"
    # The modules the program loads on first use, in its private folder.
    echo "./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/quindelar/desktop.so"
    echo "./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/quindelar/http.so"
    echo "./usr/share/applications/$ID.desktop"
    echo "./usr/share/doc/quindelar/copyright"
    for size in 16 22 24 32 48 64 128 256; do
        echo "./usr/share/icons/hicolor/${size}x${size}/apps/$ID.png"
    done
    echo "./usr/share/icons/hicolor/scalable/apps/$ID.svg"
    echo "./usr/share/man/man1/quindelar.1.gz"
    echo "./usr/share/metainfo/$ID.metainfo.xml"
    echo "./usr/lib/systemd/user/quindelar-daily.service"
    echo "./usr/lib/systemd/user/quindelar-daily.timer"
}
diff <(expected_client | sort) <(files "$CLIENT") || fail "file list of $CLIENT"
diff <(printf '%s\n' ./usr/bin/tarvenia-demo-service ./usr/share/doc/tarvenia-demo-service/copyright) \
    <(files "$DEMO") || fail "file list of $DEMO"
log "file lists as expected"

field() { dpkg-deb -f "$1" "$2"; }
[ "$(field "$CLIENT" Package)" = quindelar ] || fail "client package name"
[ "$(field "$CLIENT" Recommends)" = qt6-wayland ] || fail "Recommends: $(field "$CLIENT" Recommends)"
depends=$(field "$CLIENT" Depends)
for lib in libc6 libqt6widgets6 libqt6gui6 libcurl4 libjpeg62-turbo; do
    [[ $depends == *"$lib "* || $depends == *"$lib," || $depends == *"$lib" ]] ||
        fail "Depends lacks $lib: $depends"
done
[[ $depends != *tarvenia-demo-service* ]] || fail "the client depends on the demo service"
[ "$(field "$CLIENT" Section)" = graphics ] || fail "Section: $(field "$CLIENT" Section)"
log "Depends: $depends"

dpkg-deb -x "$CLIENT" "$T/root"
R="$T/root/usr/share"
file "$T/root/usr/bin/quindelar" | grep -q ', stripped' || fail "the program is not stripped"

desktop-file-validate "$R/applications/$ID.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$R/metainfo/$ID.metainfo.xml" || fail "appstreamcli validate"
grep -qx "Icon=$ID" "$R/applications/$ID.desktop" || fail "the desktop entry names another icon"
grep -qx "Exec=quindelar" "$R/applications/$ID.desktop" || fail "Exec"
grep -q "<id>$ID</id>" "$R/metainfo/$ID.metainfo.xml" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" \
    "$R/metainfo/$ID.metainfo.xml" || fail "metainfo launchable"
log "desktop entry and metainfo valid, id $ID everywhere"

for size in 16 22 24 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$R/icons/hicolor/${size}x${size}/apps/$ID.png")
    [ "$got" = "${size}x${size}" ] || fail "icon ${size}x${size} is $got"
done
python3 -c 'import sys, xml.dom.minidom as m; m.parse(sys.argv[1])' \
    "$R/icons/hicolor/scalable/apps/$ID.svg" || fail "the SVG icon is no XML"
zcat "$R/man/man1/quindelar.1.gz" | grep -q '^\.TH QUINDELAR 1' || fail "man page"
log "icons and man page in place"

# The units as packaged, checked against the packaged program.
bash "$(dirname "$0")/check_units.sh" "$T/root/usr/lib/systemd/user" "$T/root/usr/bin/quindelar" ||
    fail "systemd units"
log "passed"
