#!/bin/bash
# Builds the Debian package from a build folder with cpack and checks what it
# would put on a user's machine and what it asks apt to install with it.
#
#   package_check.sh CPACK BUILD_DIR OUT_DIR VERSION DISPLAY_VERSION
#
# VERSION is the package's (1.0.0), DISPLAY_VERSION the program's own (1.00).

set -u

cpack=$1
build=$2
out=$3
version=$4
display_version=$5
app_id=org.ferolune.Ferolune

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
ok() { echo "ok - $*"; }
# Reports a group of checks as passed only if none of them failed.
section=0
begin_section() { section=$failures; }
end_section() { ((failures == section)) && ok "$*"; }

rm -rf "$out"
mkdir -p "$out"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log" >&2
    echo "FAIL: cpack -G DEB failed" >&2
    exit 1
fi

arch=$(dpkg --print-architecture)
deb=$out/ferolune_${version}_${arch}.deb
if [[ ! -f $deb ]]; then
    echo "FAIL: cpack made no $deb" >&2
    ls "$out" >&2
    exit 1
fi
ok "cpack made $(basename "$deb")"

# --- file list -------------------------------------------------------------------

expected=$(sort <<EOF
./usr/bin/ferolune
./usr/share/applications/$app_id.desktop
./usr/share/doc/ferolune/copyright
./usr/share/icons/hicolor/128x128/apps/$app_id.png
./usr/share/icons/hicolor/16x16/apps/$app_id.png
./usr/share/icons/hicolor/24x24/apps/$app_id.png
./usr/share/icons/hicolor/256x256/apps/$app_id.png
./usr/share/icons/hicolor/32x32/apps/$app_id.png
./usr/share/icons/hicolor/48x48/apps/$app_id.png
./usr/share/icons/hicolor/64x64/apps/$app_id.png
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/metainfo/$app_id.metainfo.xml
EOF
)
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
if [[ $actual == "$expected" ]]; then
    ok "file list: binary, desktop entry, metainfo, icons 16 to 256 and scalable, copyright and nothing else"
else
    fail "file list differs (- expected, + in the package):"
    diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | sed 's/^</  -/; s/^>/  +/' >&2
fi

# --- control fields ----------------------------------------------------------------

field() { dpkg-deb -f "$deb" "$1"; }

begin_section
[[ $(field Package) == ferolune ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', expected $version"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture is '$(field Architecture)', expected $arch"
[[ $(field Section) == electronics ]] || fail "Section is '$(field Section)'"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[[ -n $(field Homepage) ]] || fail "no Homepage"
description=$(field Description)
[[ $(wc -l <<<"$description") -ge 2 && -n $(head -n1 <<<"$description") ]] ||
    fail "Description needs a summary line and a long description: '$description'"

depends=$(field Depends)
# Each entry of Depends, without its version constraint.
mapfile -t depended < <(tr ',' '\n' <<<"$depends" | sed 's/(.*)//; s/^ *//; s/ *$//')
for package in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6 \
    qt6-qpa-plugins qt6-wayland qt6-translations-l10n; do
    found=0
    for d in "${depended[@]}"; do
        # An entry may be an alternative such as "libqt6core6 | libqt6core6t64".
        [[ " ${d//|/ } " == *" $package "* ]] && found=1
    done
    [[ $found == 1 ]] || fail "Depends lacks $package: $depends"
done
# The program carries its Song face; the system's only draws pasted rarities.
[[ " ${depended[*]} " == *" fonts-noto-cjk "* ]] && fail "Depends still names fonts-noto-cjk: $depends"
[[ $(field Recommends) == *fonts-noto-cjk* ]] || fail "Recommends lacks fonts-noto-cjk: '$(field Recommends)'"
end_section "control fields; Depends: $depends; Recommends: $(field Recommends)"

# --- contents ---------------------------------------------------------------------------

root=$out/root
dpkg-deb -x "$deb" "$root"
begin_section

[[ $(file -b "$root/usr/bin/ferolune") == ELF*executable* ]] ||
    fail "usr/bin/ferolune is not an executable: $(file -b "$root/usr/bin/ferolune")"
[[ -x $root/usr/bin/ferolune ]] || fail "usr/bin/ferolune is not executable"
if readelf -d "$root/usr/bin/ferolune" | grep -E '\((RPATH|RUNPATH)\)' >&2; then
    fail "usr/bin/ferolune carries a run path"
fi

for size in 16 24 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [[ $(file -b "$icon") == "PNG image data, $size x $size,"* ]] ||
        fail "the ${size}x${size} icon is $(file -b "$icon")"
done
icon=$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg
[[ $(file -b "$icon") == "SVG Scalable Vector Graphics image"* ]] ||
    fail "the scalable icon is $(file -b "$icon")"

desktop=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "the installed desktop entry does not validate"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[[ -x $root/usr/bin/$exec_name ]] || fail "Exec=$exec_name is not in usr/bin"
[[ $icon_name == "$app_id" ]] || fail "Icon=$icon_name does not name the installed icons"

metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $app_id.desktop"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo id is not $app_id"
copyright=$root/usr/share/doc/ferolune/copyright
grep -q '^MIT License$' "$copyright" || fail "the copyright file lacks the program's MIT licence"
grep -q 'SIL OPEN FONT LICENSE Version 1.1' "$copyright" || fail "the copyright file lacks the font licence"
grep -q 'Adobe' "$copyright" || fail "the copyright file lacks the Song face's copyright notice"
end_section "installed binary, icons, desktop entry, metainfo and copyright (program and font licences) agree"

# What menus and software centres show.
has() { LC_ALL=C grep -qP "$2" "$1" || fail "$(basename "$1") lacks $3"; }
# A CJK ideograph, U+4000 to U+9FFF, as UTF-8 bytes: no UTF-8 locale needed.
han='[\xE4-\xE9][\x80-\xBF][\x80-\xBF]'
begin_section
has "$desktop" '^Name=Ferolune$' "Name=Ferolune"
has "$desktop" "^Name\\[zh_CN\\]=.*$han" "a Chinese Name[zh_CN]"
has "$desktop" "^Comment\\[zh_CN\\]=.*$han" "a Chinese Comment[zh_CN]"
for category in Education Electronics Engineering; do
    has "$desktop" "^Categories=(.*;)?$category;" "the $category category"
done
has "$metainfo" '<summary>[^<]+</summary>' "a summary"
has "$metainfo" '<description>' "a description"
has "$metainfo" "<release version=\"${display_version//./\\.}\"" "release $display_version"
has "$metainfo" '<content_rating type="oars-1\.[01]"' "a content rating"
has "$metainfo" '<screenshot type="default">' "a screenshot"
end_section "desktop entry and metainfo carry names, Chinese texts, categories, release, rating and screenshot"

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
