#!/usr/bin/env bash
# Installs the Debian package that `make deb` built, the way a user would (apt-get install
# ./…deb), starts /usr/bin/tolvane as a new ordinary user under Xvfb, checks where its files go,
# ends it with SIGTERM, purges the package and checks that nothing of it is left. Whatever fails,
# the machine is left as it was found: the package and whatever it pulled in purged, the user
# removed, Xvfb ended. Usage: check_deb_install.sh DEB_DIR TITLE, the program's title. Exits with
# 77 where it cannot run.
set -euo pipefail
deb_dir=$1
title=$2
title_pattern=${title//./\\.}  # for xdotool's regular expressions

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v apt-get >/dev/null && command -v dpkg-query >/dev/null || skip "no apt here"
for tool in Xvfb xdotool useradd userdel setpriv; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
# Another tolvane, installed from elsewhere, is left alone.
status=$(dpkg-query -W -f='${db:Status-Status}' tolvane 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] ||
    skip "a tolvane package is on this machine already ($status)"
[ ! -e /usr/bin/tolvane ] || skip "/usr/bin/tolvane exists already"
arch=$(dpkg --print-architecture)
mapfile -t debs < <(find "$deb_dir" -maxdepth 1 -name "tolvane_*_$arch.deb" 2>/dev/null)
[ ${#debs[@]} -gt 0 ] || skip "no package in $deb_dir: make deb builds it"
[ ${#debs[@]} -eq 1 ] || fail "more than one package in $deb_dir: ${debs[*]}"

work=$(mktemp -d)
chmod 755 "$work"  # apt reads the package as its own user
user=tolvane-check-$$
home=$work/home
user_created=
xvfb_pid=
program_pid=
packages_before=$work/packages-before

# Another apt or dpkg at work on this machine is waited for, not failed on.
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@"
}

installed_packages() {
    dpkg-query -W -f='${db:Status-Status} ${binary:Package}\n' |
        awk '$1 != "not-installed" { print $2 }' | sort
}

cleanup() {
    local status=$?
    set +e
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    if [ -n "$user_created" ]; then
        # Whatever the program started (a web engine process, say) runs as this user alone.
        ps -o pid= -u "$user" | xargs -r kill -KILL 2>/dev/null
    fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    [ -n "$user_created" ] && userdel --remove "$user" 2>/dev/null
    if [ -s "$packages_before" ]; then
        mapfile -t added < <(comm -13 "$packages_before" <(installed_packages))
        if [ ${#added[@]} -gt 0 ]; then
            apt_get purge "${added[@]}" >/dev/null 2>&1 ||
                echo "could not purge ${added[*]}"
        fi
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

deb=$work/$(basename "${debs[0]}")
cp "${debs[0]}" "$deb"

# Which of the package's paths are there before it is: a shared folder, say.
declare -A existed=()
while IFS= read -r path; do
    path=${path#.}
    path=${path%/}
    [ -n "$path" ] && [ -e "$path" ] && existed[$path]=1
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t)

installed_packages >"$packages_before"
apt_get install --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "apt-get install ./$(basename "$deb") failed"; }
mapfile -t package_paths < <(dpkg -L tolvane | grep -v '^/\.$')
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
for path in /usr/bin/tolvane /usr/share/tolvane/tolvane.chm \
    "/usr/lib/$triplet/tolvane/tolvane_web_engine.so" /usr/share/man/man1/tolvane.1.gz \
    /usr/share/applications/org.example.Tolvane.desktop; do
    [ -e "$path" ] || fail "the package did not install $path"
done
stamp=$work/installed
touch "$stamp"

useradd --create-home --home-dir "$home" --shell /bin/sh "$user"
user_created=1
runtime=$home/runtime
install -d -m 700 -o "$user" -g "$user" "$runtime"
data=$home/.local/share/tolvane

# The display's number arrives through a pipe once Xvfb takes connections.
mkfifo "$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r display <"$work/display" || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }

as_user() {
    setpriv --reuid="$user" --regid="$user" --init-groups --reset-env \
        env DISPLAY=":$display" XDG_RUNTIME_DIR="$runtime" "$@"
}
# The program starts in its window; no window in a minute means it is stuck or gone.
find_window() {
    as_user timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -n 1 || true
}

(cd / && exec setpriv --reuid="$user" --regid="$user" --init-groups --reset-env \
    env DISPLAY=":$display" XDG_RUNTIME_DIR="$runtime" /usr/bin/tolvane) >"$work/program.log" 2>&1 &
program_pid=$!
main=$(find_window "^$title_pattern\$")
[ -n "$main" ] || { cat "$work/program.log"; fail "no window \"$title\""; }

for name in AboutHtm.htm banner_top.gif searchfor.gif go.gif; do
    [ -s "$data/$name" ] || fail "$name is not in the user's data folder $data"
done

# Preferences, Ok (Space on the focused button clicks it as the key comes up), then F1: the key
# events are handled in order, so once the help window shows, pref.ifm has been written.
as_user xdotool windowfocus --sync "$main" key alt+p
preferences=$(find_window '^Preferences')
[ -n "$preferences" ] || fail "Alt+P opened no Preferences dialog"
as_user xdotool windowfocus --sync "$preferences" key space
as_user xdotool windowfocus --sync "$main" key F1
help=$(find_window "^$title_pattern Help")
[ -n "$help" ] || { cat "$work/program.log"; fail "F1 showed no help from /usr/share/tolvane"; }
[ -s "$data/pref.ifm" ] || fail "Ok in Preferences wrote no pref.ifm into $data"

written=$(find /usr -xdev -newer "$stamp" \( -user "$user" -o -name AboutHtm.htm -o -name pref.ifm \
    -o -name '*.gif' -o -name '.tolvane*' \) -print 2>/dev/null | head)
[ -z "$written" ] || fail "the program wrote under /usr: $written"

kill -TERM "$program_pid"
code=0
wait "$program_pid" || code=$?
program_pid=
[ "$code" -eq 0 ] ||
    { cat "$work/program.log"; fail "SIGTERM ended the program with exit code $code"; }
[ ! -e "$data/AboutHtm.htm" ] || fail "the page outlived the program"
[ -s "$data/pref.ifm" ] || fail "pref.ifm went with the program"

apt_get purge tolvane >"$work/purge.log" 2>&1 ||
    { cat "$work/purge.log"; fail "apt-get purge tolvane failed"; }
left=()
for path in "${package_paths[@]}"; do
    if [ -e "$path" ] && [ -z "${existed[$path]:-}" ]; then
        left+=("$path")
    fi
done
[ ${#left[@]} -eq 0 ] || fail "left after purge: ${left[*]}"

echo "installed $(basename "$deb") with apt-get, ran it as a new user under Xvfb: window up," \
    "page, pictures and pref.ifm in ~/.local/share/tolvane, help found," \
    "nothing written under /usr, exit 0 on SIGTERM with the page removed;" \
    "purge left none of its ${#package_paths[@]} paths"
