#!/bin/sh
# Installs the build into a temporary prefix and moves the tree elsewhere, as a
# relocated installation would be; checks the layout and the desktop files, then runs
# the installed program from there with a fresh home folder.
# Usage: check-install.sh CMAKE BUILD_DIR PRIVATE_LIBDIR VERSION WITH_ENGINE(0|1)
set -eu
cmake=$1
build=$2
libdir=$3
version=$4
engine=$5
scratch=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    # The desktop's cache tools the program started may still be writing there.
    for attempt in 1 2 3 4 5; do
        rm -rf "$scratch" 2>/dev/null && break
        sleep 1
    done
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in desktop-file-validate appstreamcli update-mime-database; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done

"$cmake" --install "$build" --prefix "$scratch/installed" >/dev/null
mv "$scratch/installed" "$scratch/moved"
prefix=$scratch/moved
id=com.zandorell.Vendrix

# Layout: the executable alone in bin/, the libraries it loads in its private folder.
for file in bin/vendrix "$libdir/libvendrix_commands.so" "$libdir/libvendrix_program.so" "$libdir/libvxads.so" \
    share/vendrix/Themes.dat share/vendrix/Tips.txt share/vendrix/help/topics.txt \
    "share/vendrix/Palettes/Web Palette.pal" share/vendrix/banners/banners.txt share/vendrix/banners/builder.bmp \
    share/applications/$id.desktop share/mime/packages/$id.xml share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-vendrix-page.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-vendrix-template.svg \
    share/man/man1/vendrix.1.gz; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ "$(ls "$prefix/bin")" = vendrix ] || fail "bin/ holds more than the executable: $(ls "$prefix/bin")"
# The browser engine is loaded at the first preview, never linked into the program.
if [ "$engine" = 1 ]; then
    [ -f "$prefix/$libdir/libvendrix_webview.so" ] || fail "not installed: $libdir/libvendrix_webview.so"
fi
if readelf -d "$prefix/bin/vendrix" | grep NEEDED | grep -q WebEngine; then
    fail "bin/vendrix links the browser engine"
fi
# The executable starts on Qt Core alone; it loads the window and the other commands
# from its private folder when the arguments ask for them.
qt=$(readelf -d "$prefix/bin/vendrix" | sed -n 's/.*NEEDED.*\[\(libQt6[A-Za-z]*\).*/\1/p' | tr '\n' ' ')
[ "$qt" = "libQt6Core " ] || fail "bin/vendrix links more of Qt than its core: $qt"
# The commands that need no display start without the widget libraries.
if readelf -d "$prefix/$libdir/libvendrix_commands.so" | grep NEEDED | grep -q Widgets; then
    fail "$libdir/libvendrix_commands.so links Qt Widgets"
fi

# The desktop files are valid, and what they name is there.
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo"
grep -qx "Exec=vendrix %f" "$prefix/share/applications/$id.desktop" || fail "desktop entry: Exec"
grep -qx "MimeType=application/x-vendrix-page;application/x-vendrix-template;" "$prefix/share/applications/$id.desktop" \
    || fail "desktop entry: MimeType"
icon=$(sed -n 's/^Icon=//p' "$prefix/share/applications/$id.desktop")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon $icon"
mkdir -p "$scratch/mime/packages"
cp "$prefix/share/mime/packages/$id.xml" "$scratch/mime/packages/"
update-mime-database "$scratch/mime" >/dev/null 2>&1 || fail "MIME package refused by update-mime-database"
for type in page:vxf template:vxt; do
    grep -q "application/x-vendrix-${type%:*}:\*\.${type#*:}\$" "$scratch/mime/globs2" || fail "MIME glob for .${type#*:}"
    grep -qx "application/x-vendrix-${type%:*}:application-x-vendrix-${type%:*}" "$scratch/mime/icons" \
        || fail "MIME icon for ${type%:*}"
done
gzip -t "$prefix/share/man/man1/vendrix.1.gz" || fail "manual page"

# The installed program, with nothing of the user's yet.
home=$scratch/home
mkdir "$home"
run() {
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u VENDRIX_DATA_DIR HOME="$home" \
        XDG_DATA_DIRS="$scratch/system" "$@"
}
# Starts the window with the system data folders given; env becomes the program, so
# $pid is the program's.
start() {
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u VENDRIX_DATA_DIR HOME="$home" \
        XDG_DATA_DIRS="$1" "$prefix/bin/vendrix" --no-splash &
    pid=$!
}
# Waits up to 60 s for the condition, while the window stays up.
wait_for() {
    waited=0
    until eval "$1"; do
        kill -0 "$pid" 2>/dev/null || fail "the window did not stay up"
        [ "$waited" -lt 600 ] || fail "$2"
        sleep 0.1
        waited=$((waited + 1))
    done
}
[ "$(run "$prefix/bin/vendrix" --version)" = "vendrix $version" ] || fail "vendrix --version"
run "$prefix/bin/vendrix" --help > "$scratch/help.txt" || fail "vendrix --help"
# Every command the program knows is in the manual page.
for command in $(sed -n 's/^  \(--[a-z-]*\).*/\1/p' "$scratch/help.txt"); do
    gzip -dc "$prefix/share/man/man1/vendrix.1.gz" | grep -qF -- "$(echo "$command" | sed 's/-/\\-/g')" \
        || fail "manual page lacks $command"
done
set -- "$prefix"/share/vendrix/Templates/*.vxt
[ -f "$1" ] || fail "no templates installed"
for template in "$@"; do
    run "$prefix/bin/vendrix" --export-html "$template" -o "$scratch/page.html" || fail "--export-html $template"
    grep -q "</BODY></HTML>" "$scratch/page.html" || fail "--export-html $template wrote no page"
done

# The window: it seeds the user's data folder from the installed data, loads the
# advertising library from its private folder, and registers the file types for this
# executable once it is up.
entry=$home/.local/share/applications/$id.desktop
start "$scratch/system"
wait_for '[ -f "$entry" ]' "no file types registered within 60 s"
grep -q "$prefix/$libdir/libvxads.so" "/proc/$pid/maps" || fail "advertising library not loaded"
kill "$pid"
wait "$pid" || true
pid=
cmp "$prefix/share/vendrix/Themes.dat" "$home/.local/share/vendrix/Themes.dat" || fail "Themes.dat not seeded"
cmp "$prefix/share/vendrix/Palettes/Web Palette.pal" "$home/.local/share/vendrix/Palettes/Web Palette.pal" \
    || fail "palettes not seeded"
cmp "$template" "$home/.local/share/vendrix/Templates/${template##*/}" || fail "templates not seeded"
grep -qx "Exec=\"$prefix/bin/vendrix\" %f" "$entry" || fail "user's desktop entry: $(grep Exec= "$entry")"
[ -f "$home/.local/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "user's icon"

# Once the installed tree provides the file types, the next start takes the user's copy away.
start "$prefix/share"
wait_for '[ ! -f "$entry" ]' "the user's copy stayed with the types installed"
kill "$pid"
wait "$pid" || true
pid=
echo "installed tree, desktop files and installed program: all checks passed"
