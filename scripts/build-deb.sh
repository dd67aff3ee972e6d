#!/usr/bin/env bash
# Builds the Debian package from a copy of the source tree, so that neither dpkg-buildpackage's
# results (written into the parent of the tree it builds) nor debhelper's work folders land in
# the checkout, then checks the package with lintian. Usage: build-deb.sh OUT_DIR [JOBS]
# OUT_DIR ends up holding the .deb files, the .changes and .buildinfo and lintian.log.
set -euo pipefail
out=$1
jobs=${2:-$(nproc)}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)
upstream=${version%-*}

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage="$out/tolvane-$upstream"
rm -rf "$stage"
rm -f "$out"/tolvane*_"$version"_* "$out/lintian.log"
mkdir -p "$stage"

# The files git knows of plus the new ones it does not ignore, as they are in the working tree.
cd "$source_dir"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
        tar --null --files-from=- -cf - | tar -xf - -C "$stage"
else
    tar --exclude='./build*' --exclude=./.git -cf - . | tar -xf - -C "$stage"
fi

cd "$stage"
dpkg-buildpackage -us -uc -b -j"$jobs"
cd "$out"
rm -rf "$stage"

changes="$out/tolvane_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).changes"
lintian --fail-on error,warning "$changes" | tee "$out/lintian.log"
echo "built: $(cd "$out" && ls tolvane_"$version"_*.deb)"
