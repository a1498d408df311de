#!/bin/bash
# Builds the Debian package as Debian does, with dpkg-buildpackage from a copy
# of the source tree (the working tree stays clean), and checks what it would
# put on a user's machine: files, control fields, one version and release date
# wherever they are shown, lintian at --pedantic, the program's hardening, and
# an install and removal with apt.
#
#   package_check.sh SOURCE_DIR OUT_DIR VERSION RELEASE_DATE APP_ID
#
# The install is real where the test runs as root (CI) on a machine without
# ferolune that already holds everything the package depends on; elsewhere apt
# only simulates it.

set -u

src=$1
out=$2
version=$3
release_date=$4
app_id=$5

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
ok() { echo "ok - $*"; }
# Reports a group of checks as passed only if none of them failed.
section=0
begin_section() { section=$failures; }
end_section() { ((failures == section)) && ok "$*"; }

rm -rf "$out"
tree=$out/ferolune-$version
mkdir -p "$tree"
# The files git knows or would add, as they stand now: uncommitted changes are
# built, build folders are not copied.
if git -C "$src" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$src" ls-files -z --cached --others --exclude-standard |
        (cd "$src" && while IFS= read -r -d '' f; do [[ -e $f ]] && printf '%s\0' "$f"; done) |
        tar -C "$src" --null -T - -cf - | tar -C "$tree" -xf -
else
    tar -C "$src" --exclude=./build -cf - . | tar -C "$tree" -xf -
fi

# Source and binary, so that lintian sees both.
if ! (cd "$tree" && dpkg-buildpackage -us -uc) >"$out/build.log" 2>&1; then
    tail -n 40 "$out/build.log" >&2
    echo "FAIL: dpkg-buildpackage failed; the whole log is $out/build.log" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
deb=$out/ferolune_${version}_${arch}.deb
dbgsym=$out/ferolune-dbgsym_${version}_${arch}.deb
changes=$out/ferolune_${version}_${arch}.changes
for f in "$deb" "$dbgsym" "$changes" "$out/ferolune_$version.dsc"; do
    [[ -f $f ]] || { echo "FAIL: dpkg-buildpackage made no $(basename "$f")" >&2; ls "$out" >&2; exit 1; }
done
ok "dpkg-buildpackage made $(basename "$deb"), its debug symbols and the source package"

# --- file list -------------------------------------------------------------------

expected=$(sort <<EOF
./usr/bin/ferolune
./usr/share/applications/$app_id.desktop
./usr/share/doc/ferolune/changelog.gz
./usr/share/doc/ferolune/copyright
./usr/share/icons/hicolor/128x128/apps/$app_id.png
./usr/share/icons/hicolor/16x16/apps/$app_id.png
./usr/share/icons/hicolor/24x24/apps/$app_id.png
./usr/share/icons/hicolor/256x256/apps/$app_id.png
./usr/share/icons/hicolor/32x32/apps/$app_id.png
./usr/share/icons/hicolor/48x48/apps/$app_id.png
./usr/share/icons/hicolor/64x64/apps/$app_id.png
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/man/man1/ferolune.1.gz
./usr/share/man/zh_CN/man1/ferolune.1.gz
./usr/share/metainfo/$app_id.metainfo.xml
EOF
)
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
if [[ $actual == "$expected" ]]; then
    ok "file list: binary, desktop entry, metainfo, icons 16 to 256 and scalable, manual pages, changelog, copyright"
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
# The program carries its Song face: a system CJK font only draws pasted
# rarities, so apt must not install one by default.
[[ " ${depended[*]} " == *" fonts-noto-cjk "* ]] && fail "Depends names fonts-noto-cjk: $depends"
[[ -z $(field Recommends) ]] || fail "Recommends is '$(field Recommends)': apt would install it by default"
[[ $(field Suggests) == *fonts-noto-cjk* ]] || fail "Suggests lacks fonts-noto-cjk: '$(field Suggests)'"
end_section "control fields; Depends: $depends; Suggests: $(field Suggests)"

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
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$copyright" ||
    fail "the copyright file is not machine-readable"
grep -q '^License: Expat$' "$copyright" || fail "the copyright file lacks the program's MIT (Expat) licence"
grep -q '^Files: ui/fonts/\*$' "$copyright" || fail "the copyright file does not cover the Song face in ui/fonts/"
grep -q 'SIL OPEN FONT LICENSE Version 1.1' "$copyright" || fail "the copyright file lacks the font licence"
grep -q 'Adobe' "$copyright" || fail "the copyright file lacks the Song face's copyright notice"
# The project has no web site: no address of its own may appear anywhere.
if grep -rnE 'https?://[^ ]*ferolune' "$root" <(dpkg-deb -f "$deb") >&2; then
    fail "the package points at a web address of the project, which does not exist"
fi
end_section "installed binary, icons, desktop entry, metainfo and copyright (program and font licences) agree"

# What menus, software centres and man show.
has() { LC_ALL=C grep -qP "$2" "$1" || fail "$(basename "$1") lacks $3"; }
# A CJK ideograph, U+4000 to U+9FFF, as UTF-8 bytes: no UTF-8 locale needed.
han='[\xE4-\xE9][\x80-\xBF][\x80-\xBF]'
man_en=$out/ferolune.1
man_zh=$out/ferolune.zh_CN.1
gzip -dc "$root/usr/share/man/man1/ferolune.1.gz" >"$man_en"
gzip -dc "$root/usr/share/man/zh_CN/man1/ferolune.1.gz" >"$man_zh"
begin_section
has "$desktop" '^Name=Ferolune$' "Name=Ferolune"
has "$desktop" "^Name\\[zh_CN\\]=.*$han" "a Chinese Name[zh_CN]"
has "$desktop" "^Comment\\[zh_CN\\]=.*$han" "a Chinese Comment[zh_CN]"
for category in Education Electronics Engineering; do
    has "$desktop" "^Categories=(.*;)?$category;" "the $category category"
done
has "$metainfo" '<summary>[^<]+</summary>' "a summary"
has "$metainfo" '<description>' "a description"
has "$metainfo" '<content_rating type="oars-1\.[01]"' "a content rating"
for page in "$man_en" "$man_zh"; do
    has "$page" '^\.SH ' "sections"
    has "$page" '计算原理' "the button that shows the formulas"
    has "$page" '^\.B ferolune$' "the synopsis"
done
has "$man_en" '^\.SH OPTIONS$' "an OPTIONS section"
has "$man_en" '^None\.$' "the word that it takes no options"
has "$man_zh" "^\\.SH $han" "Chinese section headings"
has "$man_zh" '^\.SH 选项$' "an OPTIONS section"
end_section "desktop entry, metainfo and manual pages (English and Chinese) carry names, texts, categories and rating"

# One version and one release date wherever they are shown.
begin_section
changelog_version=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Version)
changelog_date=$(date -u -d "$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Date)" +%F)
[[ $changelog_version == "$version" ]] || fail "debian/changelog is at $changelog_version, the project at $version"
[[ $changelog_date == "$release_date" ]] || fail "debian/changelog is dated $changelog_date, the release $release_date"
releases=$(grep -o '<release [^>]*>' "$metainfo")
[[ $(head -n1 <<<"$releases") == "<release version=\"$version\" date=\"$release_date\">" ]] ||
    fail "the newest AppStream release is '$(head -n1 <<<"$releases")', not $version of $release_date"
for page in "$man_en" "$man_zh"; do
    has "$page" "^\\.TH FEROLUNE 1 ${release_date} \"Ferolune ${version//./\\.}\"" "version $version of $release_date"
done
end_section "version $version of $release_date in the package, debian/changelog, the AppStream release and the manual pages"

# --- lintian -------------------------------------------------------------------------

# Every tag counts, down to the pedantic and informational ones; a tag that
# does not apply belongs in an override that says why.
if lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$changes" \
    >"$out/lintian.log" 2>&1; then
    ok "lintian --pedantic: no tag on the source or the binary package"
else
    grep -v 'running with root privileges' "$out/lintian.log" >&2
    fail "lintian --pedantic reports the tags above"
fi

# --- hardening -------------------------------------------------------------------------

# Debian 12's C run-time start files carry no control-flow protection note, so
# no program linked there can carry one, whatever it was compiled with; the
# compiler switches of each unit, read from the debug symbols, still say.
start_files=$(for f in Scrt1.o crti.o crtn.o; do c++ -print-file-name=$f; done)
cfi_args=()
if [[ $arch == amd64 ]] && ! readelf -n $start_files | grep -c 'x86 feature: IBT, SHSTK' | grep -qx 3; then
    cfi_args=(--nocfprotection)
fi
if hardening-check "${cfi_args[@]}" "$root/usr/bin/ferolune" >"$out/hardening.log" 2>&1; then
    ok "hardening-check ${cfi_args[*]}: $(grep -c ': yes' "$out/hardening.log") protections found"
else
    cat "$out/hardening.log" >&2
    fail "hardening-check finds protections missing"
fi
dpkg-deb -x "$dbgsym" "$out/dbgsym"
producers=$(find "$out/dbgsym" -name '*.debug' -exec readelf --debug-dump=info {} + 2>/dev/null |
    grep -A1 DW_AT_producer | grep -o 'GNU C++.*')
required=(-fstack-protector-strong -fstack-clash-protection)
[[ $arch == amd64 ]] && required+=(-fcf-protection)
begin_section
[[ $(wc -l <<<"$producers") -ge 10 ]] || fail "the debug symbols name $(wc -l <<<"$producers") compilation units"
for flag in "${required[@]}"; do
    missing=$(grep -v -c -- " $flag" <<<"$producers")
    ((missing == 0)) || fail "$missing compilation units were built without $flag"
done
end_section "all $(wc -l <<<"$producers") compilation units built with ${required[*]}"

# --- apt --------------------------------------------------------------------------------

simulation=$(apt-get -s install "$deb" 2>&1)
if (($? != 0)) || ! grep -q '^Inst ferolune ' <<<"$simulation" || grep -q '^Remv ' <<<"$simulation"; then
    echo "$simulation" >&2
    fail "apt cannot install the package here without removing something"
fi
also=$(awk '/^Inst / && $2 != "ferolune" { print $2 }' <<<"$simulation" | tr '\n' ' ')
installed=$(dpkg-query -W -f='${db:Status-Status}' ferolune 2>/dev/null)
if ((EUID != 0)) || [[ -n $installed && $installed != not-installed ]] || [[ -n $also ]]; then
    reason="not root"
    ((EUID == 0)) && reason="ferolune is already installed"
    [[ -n $also ]] && reason="it would also install $also"
    ok "apt would install the package (simulated only: $reason)"
else
    apt=(apt-get -y -q -o DPkg::Lock::Timeout=300)
    if ! DEBIAN_FRONTEND=noninteractive "${apt[@]}" install "$deb" >"$out/apt.log" 2>&1; then
        cat "$out/apt.log" >&2
        fail "apt-get install failed"
    fi
    files=$(dpkg-query -L ferolune | while read -r f; do [[ -f $f ]] && echo "$f"; done)
    begin_section
    [[ $(dpkg-query -W -f='${db:Status-Status} ${Version}' ferolune) == "installed $version" ]] ||
        fail "dpkg says '$(dpkg-query -W -f='${db:Status-Status} ${Version}' ferolune)'"
    [[ $(command -v ferolune) == /usr/bin/ferolune ]] || fail "ferolune is not on the PATH"
    [[ $(wc -l <<<"$files") -ge 15 ]] || fail "dpkg lists $(wc -l <<<"$files") installed files"
    if ! DEBIAN_FRONTEND=noninteractive "${apt[@]}" purge ferolune >>"$out/apt.log" 2>&1; then
        cat "$out/apt.log" >&2
        fail "apt-get purge failed"
    fi
    installed=$(dpkg-query -W -f='${db:Status-Status}' ferolune 2>/dev/null)
    [[ -z $installed || $installed == not-installed ]] || fail "after the purge dpkg says '$installed'"
    while read -r f; do
        [[ -e $f ]] && fail "$f is left behind"
    done <<<"$files"
    end_section "apt installed the package ($(wc -l <<<"$files") files) and purged it without a trace"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
