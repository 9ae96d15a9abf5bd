#!/bin/sh
# The Debian package made from this build (cpack, as scripts/package does):
# where its files lie, what it depends on, and that the desktop accepts its
# launcher and metainfo. Usage: paket.sh CPACK BUILD-FOLDER
set -e
CPACK="$1"
BUILD="$2"
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
fehler() { echo "FAIL: $*"; exit 1; }
(cd "$BUILD" && "$CPACK" -G DEB -B "$OUT" >/dev/null) || fehler "cpack could not make the package"
DEB=$(ls "$OUT"/tastaro_*.deb) || fehler "no package made"
dpkg-deb -x "$DEB" "$OUT/baum"
for f in opt/tastaro/Tastaro opt/tastaro/tastaro-abruf opt/tastaro/libtastaro-audiotexte.so \
  opt/tastaro/Trainingstexte opt/tastaro/Sounds opt/tastaro/Tastaro-Hilfe.txt opt/tastaro/at.tastaro.Tastaro.desktop \
  usr/share/applications/at.tastaro.Tastaro.desktop usr/share/icons/hicolor/scalable/apps/tastaro.svg \
  usr/share/metainfo/at.tastaro.Tastaro.metainfo.xml usr/share/man/man1/tastaro.1.gz; do
  [ -e "$OUT/baum/$f" ] || fehler "the package lacks /$f"
done
[ "$(readlink "$OUT/baum/usr/bin/tastaro")" = /opt/tastaro/Tastaro ] || fehler "/usr/bin/tastaro is no link to /opt/tastaro/Tastaro"
echo "ok    the program in /opt/tastaro, /usr/bin/tastaro, launcher, icon, metainfo and man page"
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for d in libqt6core6 libqt6widgets6 speech-dispatcher espeak-ng libpulse0 gstreamer1.0-plugins-good; do
  echo "$DEPENDS" | grep -q "$d" || fehler "Depends lacks $d: $DEPENDS"
done
echo "ok    Depends names the linked libraries (shlibdeps) and the run-time speech and sound packages"
[ "$(dpkg-deb -f "$DEB" Section)" = education ] || fehler "section is not education"
desktop-file-validate "$OUT/baum/usr/share/applications/at.tastaro.Tastaro.desktop" || fehler "the launcher is not valid"
grep -q '^Categories=Education;' "$OUT/baum/usr/share/applications/at.tastaro.Tastaro.desktop" || fehler "no Education category"
grep -q '^Keywords=.*Zehnfingersystem.*blind.*Screenreader' "$OUT/baum/usr/share/applications/at.tastaro.Tastaro.desktop" \
  || fehler "the launcher lacks its keywords"
echo "ok    the launcher is valid, in Education, with its German keywords"
appstreamcli validate --no-net --pedantic "$OUT/baum/usr/share/metainfo/at.tastaro.Tastaro.metainfo.xml" >/dev/null 2>&1 \
  || appstreamcli validate --no-net "$OUT/baum/usr/share/metainfo/at.tastaro.Tastaro.metainfo.xml" \
  || fehler "the metainfo is not valid"
echo "ok    the AppStream metainfo is valid"
zcat "$OUT/baum/usr/share/man/man1/tastaro.1.gz" | grep -q '^\.TH TASTARO 1' || fehler "the man page has no title"
echo "ok    the man page"
