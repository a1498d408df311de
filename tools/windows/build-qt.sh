#!/usr/bin/env bash
# Usage: tools/windows/build-qt.sh [--prefix]
# Builds a static Qt for 64-bit Windows with Debian's mingw-w64 compiler, from
# Debian's own qtbase source package of the host Qt's version, and installs it
# into a cache outside the build tree, keyed by that version and the options
# below: ${XDG_CACHE_HOME:-~/.cache}/ferolune/qt-VERSION-mingw-HASH. A later run
# finds it there and does nothing. --prefix prints that directory and stops.
# The host's moc, uic and rcc (qt6-base-dev-tools) serve the cross build.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/ferolune
jobs=${FEROLUNE_QT_JOBS:-$(nproc)}
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${host_version%%+*}
compiler=x86_64-w64-mingw32-g++-posix

# What the program uses of qtbase, and no more: Gui and Widgets with the
# Windows platform plugin and the GIF and JPEG readers.
# Debian's source lacks wintab.h (licence), hence no tablet events. The
# Windows platform plugin of 6.4 does not compile with OpenGL off while
# dynamicgl is on, so OpenGL stays on (loaded at run time, as Qt's default).
options=(
    -DBUILD_SHARED_LIBS=OFF
    -DCMAKE_BUILD_TYPE=Release
    -DFEATURE_static_runtime=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_testlib=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_gif=ON
    -DFEATURE_jpeg=ON
)
key=$( { echo "$host_version"; cat "$here/mingw-toolchain.cmake"; printf '%s\n' "${options[@]}";
         "$compiler" --version | head -n 1; } | sha256sum | cut -c 1-12)
prefix=$cache_root/qt-$qt_version-mingw-$key

if [[ ${1-} == --prefix ]]; then
    echo "$prefix"
    exit 0
fi
if [[ -f $prefix/.complete ]]; then
    echo "Qt $qt_version for Windows: $prefix"
    exit 0
fi

work=$cache_root/work-$qt_version-mingw-$key
mkdir -p "$work"
cd "$work"
started=$(date +%s)

# apt-get source through a sources list and state of its own: the system's
# apt configuration and package lists stay as they are.
if [[ ! -d source ]]; then
    mkdir -p apt/lists/partial apt/archives/partial fetch
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    # The host Qt's version may come from a point release or a security update.
    keys="[signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]"
    printf 'deb-src %s %s main\n' \
        "$keys http://deb.debian.org/debian" "$suite" \
        "$keys http://deb.debian.org/debian" "$suite-updates" \
        "$keys http://deb.debian.org/debian-security" "$suite-security" > apt/sources.list
    apt_options=(
        -o Dir::Etc::SourceList="$work/apt/sources.list"
        -o Dir::Etc::SourceParts=/dev/null
        -o Dir::State::Lists="$work/apt/lists"
        -o Dir::Cache="$work/apt"
        -o Dir::Cache::archives="$work/apt/archives"
        -o APT::Sandbox::User=root
    )
    apt-get "${apt_options[@]}" update -q
    (cd fetch && apt-get "${apt_options[@]}" source -q "qt6-base=$host_version")
    mv "fetch/qt6-base-$qt_version"* source
    rm -rf fetch apt
fi

mkdir -p "$prefix"
cp "$here/mingw-toolchain.cmake" "$prefix/mingw-toolchain.cmake"
cmake -S source -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-toolchain.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${options[@]}"
cmake --build build --parallel "$jobs"
cmake --install build
touch "$prefix/.complete"
cd "$cache_root"
rm -rf "$work"
echo "Qt $qt_version for Windows built in $(( ($(date +%s) - started) / 60 )) min: $prefix"
