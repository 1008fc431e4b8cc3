#!/usr/bin/env bash
# The installed program and the Debian package, tried in scratch folders: the install tree's
# file list, the package's name, dependencies and file list, lintian on the package (every
# tag fails the test unless it is accepted, with its reason, in ACCEPTED), the manual pages
# against the programs' --help, the desktop files checked by the desktop's own validators,
# the file type known by the MIME database, the installed velmora-export run on a drawing,
# and the first start of the installed program, which makes the user's own copies of the
# table and options.
# Usage: package_test.sh BUILD_DIR SAMPLE.vlm MIME_PROBE ACCEPTED
set -euo pipefail
build=$1 sample=$2 probe=$3 accepted=$4
scratch=$(mktemp -d)
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "package test failed: $*" >&2; exit 1; }

expected_files() { # the files below a prefix, as installed
  cat <<LIST
bin/velmora
bin/velmora-export
share/applications/velmora.desktop
share/doc/velmora/changelog.gz
share/doc/velmora/copyright
share/icons/hicolor/128x128/apps/velmora.png
share/icons/hicolor/16x16/apps/velmora.png
share/icons/hicolor/256x256/apps/velmora.png
share/icons/hicolor/32x32/apps/velmora.png
share/icons/hicolor/48x48/apps/velmora.png
share/icons/hicolor/64x64/apps/velmora.png
share/icons/hicolor/scalable/apps/velmora.svg
share/icons/hicolor/scalable/mimetypes/application-x-velmora-drawing.svg
share/man/man1/velmora-export.1.gz
share/man/man1/velmora.1.gz
share/metainfo/de.brandok.velmora.metainfo.xml
share/mime/packages/velmora.xml
share/velmora/options.dat
share/velmora/translate.dbf
LIST
}

# 1. cmake --install into a prefix of its own.
cmake --install "$build" --prefix "$scratch/install" > /dev/null
diff <(expected_files) <(cd "$scratch/install" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) \
  || fail "the install tree differs from the expected file list"
echo "install tree: $(expected_files | wc -l) files as expected"

# 2. The package, made from the build tree as it is (nothing is built again).
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" > cpack.log) \
  || { cat "$scratch/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")/\1/p' "$build/CPackConfig.cmake")
deb="$scratch/package/velmora_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$scratch/package")"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libshp libpoppler-qt6 libc6 qt6-qpa-plugins \
    fonts-liberation; do
  grep -q "$needed" <<< "$depends" || fail "Depends lacks $needed: $depends"
done
echo "package $(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $depends"

# 3. Unpacked into a scratch root: the same files under /usr.
dpkg -x "$deb" "$scratch/root"
diff <(expected_files | sed 's|^|usr/|') <(cd "$scratch/root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) \
  || fail "the package holds other files than the install tree"
usr="$scratch/root/usr"

# 4. Debian's checker: errors, warnings and notes (-I), pedantic ones too, each either mended or
# accepted with its reason.
lintian --fail-on none -I --pedantic "$deb" > "$scratch/lintian.log" 2>&1 || fail "lintian did not run: $(cat "$scratch/lintian.log")"
unaccepted=$( (grep -E '^[EWIPX]: ' "$scratch/lintian.log" || true) | while read -r level package tag rest; do
  grep -qE "^$tag( |$)" "$accepted" || echo "$level $package $tag $rest"
done)
[ -z "$unaccepted" ] || fail "lintian: $unaccepted"
echo "lintian: $(grep -cE '^[EWIPX]: ' "$scratch/lintian.log" || true) accepted tags"
# Stripped, without the sections a package need not carry, hardened.
for program in velmora velmora-export; do
  dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/bin/$program" > "$scratch/$program"
  sections=$(readelf -S --wide "$scratch/$program") dynamic=$(readelf -d "$scratch/$program")
  ! grep -qE ' \.(comment|symtab) ' <<< "$sections" || fail "$program keeps .comment or its symbols"
  grep -q BIND_NOW <<< "$dynamic" || fail "$program is not bound at start"
done
# The manual pages name every option the programs' --help names.
for program in velmora velmora-export; do
  page=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/man/man1/$program.1.gz" | gzip -dc)
  for option in $("$build/$program" --help 2>/dev/null | grep -oE '(^|[ [])--?[a-z]+' | tr -d ' [' | sort -u); do
    grep -qF -- "$(sed 's/-/\\-/g' <<< "$option")" <<< "$page" || fail "the manual page of $program lacks $option"
  done
done

# 5. The desktop's validators.
desktop-file-validate "$usr/share/applications/velmora.desktop" | grep -v "^.*: hint:" && fail "desktop-file-validate complains" || true
desktop-file-validate "$usr/share/applications/velmora.desktop" > /dev/null || fail "desktop-file-validate fails"
appstreamcli validate --no-net "$usr/share/metainfo/de.brandok.velmora.metainfo.xml" || fail "appstreamcli validate fails"

# 6. The MIME database built from the package's type knows a .vlm file as a drawing.
update-mime-database "$usr/share/mime"
type=$(XDG_DATA_DIRS="$usr/share" "$probe" "Aufgabe.vlm")
[ "$type" = application/x-velmora-drawing ] || fail "a .vlm file is taken as $type"
grep -q "^MimeType=$type;" "$usr/share/applications/velmora.desktop" || fail "the desktop entry does not open $type"
# Worksheets open from the desktop's "Open with" too.
for worksheet in application/pdf image/png image/jpeg; do
  grep -q "^MimeType=.*;$worksheet;" "$usr/share/applications/velmora.desktop" || fail "the desktop entry does not open $worksheet"
done

# 7. The installed exporter runs from there on a drawing.
"$usr/bin/velmora-export" "$sample" -o "$scratch/sheet.png"
[ "$(head -c 8 "$scratch/sheet.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "velmora-export wrote no PNG"
"$usr/bin/velmora" --version | grep -qx "velmora $version" || fail "velmora --version"

# 8. The first start of the installed program: the user's copies begin as the shipped ones,
# the installed folders stay as they are.
export XDG_DATA_HOME="$scratch/home/data" XDG_CONFIG_HOME="$scratch/home/config" QT_QPA_PLATFORM=offscreen
"$usr/bin/velmora" > "$scratch/program.log" 2>&1 &
program_pid=$!
own="$XDG_DATA_HOME/Velmora"
for _ in $(seq 100); do
  [ -f "$own/options.dat" ] && [ -f "$own/translate.dbf" ] && break
  sleep 0.1
done
kill "$program_pid"; wait "$program_pid" 2>/dev/null || true; program_pid=""
cmp "$own/options.dat" "$usr/share/velmora/options.dat" || fail "the user's options.dat is no copy of the shipped one"
[ -s "$own/translate.dbf" ] || fail "no translation table in the user's data folder"
[ "$(ls "$usr/bin")" = "$(printf 'velmora\nvelmora-export')" ] || fail "the program wrote into its installed folder"
cmp "$usr/share/velmora/translate.dbf" "$build/translate.dbf" || fail "the shipped table was changed"
echo "first start: the user's copies in $own, the installed files untouched"
