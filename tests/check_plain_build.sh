#!/usr/bin/env bash
# A plain build needs only what running needs: configures the project in a throw-away folder with
# the tests off and the test and benchmark frameworks hidden from CMake, then checks that every
# package the configuration found is one that `install-deps.sh run` installs, or a dependency of
# one of them. Usage: check_plain_build.sh SOURCE_DIR WORK_DIR GENERATOR
set -euo pipefail
source_dir=$1
work=$2
generator=$3

rm -rf "$work"
cmake -S "$source_dir" -B "$work" -G "$generator" -DBUILD_TESTING=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON >"$work.log" 2>&1 ||
    { cat "$work.log"; echo "FAIL: a plain configure needs more than the run packages"; exit 1; }

if ! command -v dpkg-query >/dev/null; then
    echo "plain configure succeeded; no dpkg here to check which packages it used"
    exit 0
fi

# What the project's own CMake files look for: the compiler, the tools and the libraries.
mapfile -t found < <(grep -E '^(CMAKE_COMMAND|CMAKE_CXX_COMPILER|CMAKE_MAKE_PROGRAM|PKG_CONFIG_EXECUTABLE|Fontconfig_LIBRARY|Qt6[A-Za-z]*_DIR|TOLVANE_[A-Z_]*|pkgcfg_lib_[^:]*):' \
    "$work/CMakeCache.txt" | sed 's/^[^=]*=//' | grep '^/' || true)

owner_of() {
    local path
    path=$(realpath -e "$1" 2>/dev/null) || return 0
    dpkg-query -S "$path" 2>/dev/null | awk -F': ' 'NR == 1 && !/,/ { sub(/:.*/, "", $1); print $1 }'
}

# The run packages and everything they depend on, as installed here (Depends and Pre-Depends;
# the installer leaves out recommendations).
mapfile -t queue < <("$source_dir/scripts/install-deps.sh" --list run)
declare -A covered=()
declare -A depends_of=()
declare -A providers=()
while IFS=$'\t' read -r package depends provides; do
    depends_of[$package]=$depends
    for virtual in $(tr ',' '\n' <<<"$provides" | sed 's/(.*)//; s/[[:space:]]//g'); do
        providers[$virtual]+="$package "
    done
done < <(dpkg-query -W -f='${db:Status-Status}\t${Package}\t${Pre-Depends}, ${Depends}\t${Provides}\n' |
    awk -F'\t' '$1 == "installed" { print $2 "\t" $3 "\t" $4 }')
while [ ${#queue[@]} -gt 0 ]; do
    package=${queue[0]%%:*}
    queue=("${queue[@]:1}")
    [ -n "${covered[$package]:-}" ] && continue
    covered[$package]=1
    for name in $(tr ',|' '\n\n' <<<"${depends_of[$package]:-}" | sed 's/(.*)//; s/:any//; s/[[:space:]]//g'); do
        queue+=("$name" ${providers[$name]:-})
    done
done

missing=()
checked=0
for path in "${found[@]}"; do
    package=$(owner_of "$path")
    [ -z "$package" ] && continue
    checked=$((checked + 1))
    [ -n "${covered[$package]:-}" ] || missing+=("$package (for $path)")
done
if [ ${#missing[@]} -gt 0 ]; then
    printf 'FAIL: not installed by "install-deps.sh run": %s\n' "${missing[@]}"
    exit 1
fi
echo "plain configure succeeded; the $checked files it found come from the run packages"
