#!/usr/bin/env bash
# Installs the Debian packages that building and running (or testing) Tolvane needs; only those
# that are missing, so a second call does nothing. Usage: install-deps.sh [--list] run|test|windows
# run: building and running the program; test: that and everything `make test` runs; windows:
# cross-building the Windows program (`make windows`), which needs no Qt and no test framework.
# With --list it prints them, one a line, and installs nothing.
set -euo pipefail

list_only=
if [ "${1:-}" = --list ]; then
    list_only=1
    shift
fi
mode=${1:-run}
control=$(dirname "$0")/../debian/control
[ -r "$control" ] || { echo "install-deps.sh: no $control" >&2; exit 1; }

# debian/control's Build-Depends, one a line: of alternatives the first, without versions,
# architectures and build profiles.
build_depends() {
    awk '/^#/ { next }
         /^Build-Depends:/ { field = 1; sub(/^Build-Depends:/, ""); print; next }
         field && /^[ \t]/ { print; next }
         { field = 0 }' "$control" |
        tr ',' '\n' |
        sed 's/|.*//; s/([^)]*)//g; s/\[[^]]*\]//g; s/<[^>]*>//g; s/[[:space:]]//g; s/:.*//' |
        grep -v '^$'
}

# What building needs is debian/control's Build-Depends, less debhelper-compat, which only the
# package build needs (test_packages has debhelper); running needs a few more.
mapfile -t run_packages < <(build_depends | grep -vx 'debhelper-compat')
run_packages+=(
    # build-essential, which Build-Depends leaves out
    g++ make
    xvfb xauth fonts-dejavu-core fonts-liberation2
    # Qt's Wayland platform plugin: without it a Wayland session falls back to XWayland
    qt6-wayland
)
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev clang-format
    desktop-file-utils appstream
    shared-mime-info
    # tests/desktop: the program under Weston, pictures read with ImageMagick
    weston imagemagick
    # and under openbox, whose requests xtrace logs; window properties read with xprop
    openbox xtrace x11-utils xdotool
    # bench/startup_probe watches the X server for the mapped window
    libx11-dev
    # libFuzzer targets (fuzz/): clang and its libFuzzer runtime
    clang libclang-rt-14-dev
    # the Debian package (make deb) and its install test, which finds the program's windows
    debhelper dpkg-dev lintian xdotool
    # Windows builds, tested under Wine (scripts/windows-tests.sh): 64-bit everywhere, 32-bit
    # where the machine runs 32-bit programs
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64 wine32:i386
    # their Windows Installer packages (target tolvane_msi), installed and removed under wine64
    wixl
)

# The Windows program is built with mingw-w64 alone. Of Build-Depends it needs CMake and the help
# compiler, nothing of Qt; objdump of binutils-mingw-w64 checks what the program links, and wixl
# builds Windows Installer packages (.msi) from a folder such as the one `make windows` lays out.
mapfile -t windows_packages < <(build_depends | grep -x -e cmake -e fp-utils)
windows_packages+=(
    make
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
    wixl
)

case $mode in
run) wanted=("${run_packages[@]}") ;;
test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
windows) wanted=("${windows_packages[@]}") ;;
*)
    echo "install-deps.sh: the set is run, test or windows, not '$mode'" >&2
    exit 2
    ;;
esac

if [ -n "$list_only" ]; then
    printf '%s\n' "${wanted[@]}"
    exit 0
fi

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
# wine32 is an i386 package.
if [[ " ${missing[*]} " == *:i386\ * ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
