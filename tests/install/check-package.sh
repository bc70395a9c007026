#!/bin/sh
# Builds the Debian package from the build tree and checks what it holds.
# Usage: check-package.sh CPACK BUILD_DIR PRIVATE_LIBDIR WITH_ENGINE(0|1)
set -eu
cpack=$1
build=$2
libdir=$3
engine=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >/dev/null || fail "cpack"
set -- "$scratch"/vendrix_*.deb
[ -f "$1" ] || fail "no package made"
deb=$1
dpkg-deb -c "$deb" | sed 's/^[^ ]* *[^ ]* *[^ ]* *[^ ]* *[^ ]* *//' > "$scratch/contents"
id=com.zandorell.Vendrix
for file in ./usr/bin/vendrix "./usr/$libdir/libvendrix_commands.so" "./usr/$libdir/libvendrix_program.so" "./usr/$libdir/libvxads.so" ./usr/share/vendrix/Themes.dat \
    ./usr/share/vendrix/Tips.txt ./usr/share/vendrix/banners/banners.txt \
    ./usr/share/applications/$id.desktop ./usr/share/mime/packages/$id.xml ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/$id.svg \
    ./usr/share/icons/hicolor/scalable/mimetypes/application-x-vendrix-page.svg \
    ./usr/share/icons/hicolor/scalable/mimetypes/application-x-vendrix-template.svg \
    ./usr/share/man/man1/vendrix.1.gz; do
    grep -qxF "$file" "$scratch/contents" || fail "package lacks $file"
done
grep -q '^\./usr/share/vendrix/Templates/.*\.vxt$' "$scratch/contents" || fail "package lacks the templates"
depends=$(dpkg-deb -f "$deb" Depends)
packages="libqt6widgets6 libqt6network6 qt6-qpa-plugins libqt6svg6 libssh-4"
if [ "$engine" = 1 ]; then
    grep -qxF "./usr/$libdir/libvendrix_webview.so" "$scratch/contents" || fail "package lacks the browser engine's page view"
    packages="$packages libqt6webenginewidgets6"
fi
for package in $packages; do
    echo "$depends" | grep -q "$package" || fail "Depends lacks $package: $depends"
done
dpkg-deb -e "$deb" "$scratch/control"
for script in preinst postinst prerm postrm; do
    [ ! -e "$scratch/control/$script" ] || fail "package has a $script script"
done
echo "package $(basename "$deb"): all checks passed"
