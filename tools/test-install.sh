#!/usr/bin/env bash
# Checks tovela as a desktop installs it, on an already built tree (tools/test.sh builds it):
#  1. `cmake --install` into a staging folder (DESTDIR): the launcher and the AppStream metadata
#     validate, every icon size is there, nothing points into the build tree, the installed
#     program finds its plug-in folder from where it lies, it starts offscreen and creates
#     its data folder, and started again with plug-in use on it loads the installed plug-ins;
#  2. the Debian package made by CPack installs with apt-get, `tovela` starts from PATH the
#     same way, and the package is purged without leaving a file behind.
# Step 2 installs a package into this machine, so it needs root (or sudo); it refuses to touch
# a tovela package that was installed before, except on CI. Usage: tools/test-install.sh [build]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"

work=$(mktemp -d)
installed_by_us=0
cleanup() {
    if ((installed_by_us)); then
        DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq tovela >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

checks=0
fail() {
    echo "test-install: FAIL: $*" >&2
    exit 1
}
pass() {
    checks=$((checks + 1))
    echo "test-install: ok: $*"
}

# Starts the program offscreen with a data home of its own, waits until it has created its data
# folder and cache folder, checks that it is still running, and ends it (it has no quit command).
# Then starts it again with plug-in use switched on in its settings and the installed plug-in
# folder chosen, as a user would, and watches the loader: every shipped plug-in is loaded from
# that folder and the program's own library from the installation under root.
start_and_stop() {
    local program=$1 plugins=$2 root=$3 home
    home=$(mktemp -d "$work/home.XXXX")
    local data="$home/data/tovela"
    env XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
        XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen "$program" >"$home/log" 2>&1 &
    local pid=$!
    local waited=0
    while [[ ! -d "$data/ImageCache" ]] && ((waited < 300)); do
        kill -0 "$pid" 2>/dev/null || { cat "$home/log" >&2; fail "$program exited early"; }
        sleep 0.1
        waited=$((waited + 1))
    done
    [[ -d "$data/ImageCache" ]] || { kill "$pid"; cat "$home/log" >&2; fail "$program made no $data"; }
    # Give start-up time to finish; a crash after the folder would show here.
    sleep 1
    kill -0 "$pid" 2>/dev/null || { cat "$home/log" >&2; fail "$program died after start-up"; }
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    pass "$program started offscreen and created $data/ImageCache"

    local shipped=() log="$home/log-plugins" f
    mapfile -t shipped < <(find "$plugins" -maxdepth 1 -name '*.spi' | sort)
    ((${#shipped[@]})) || fail "no plug-ins in $plugins"
    printf '[PLUGIN]\nSpi=1\nSpiFolder=%s\n' "$plugins" >"$data/tovela.ini"
    : >"$log"
    env XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
        XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen LD_DEBUG=libs "$program" >"$log" 2>&1 &
    pid=$!
    all_loaded() {
        for f in "${shipped[@]}"; do
            grep -qF "calling init: $f" "$log" || return 1
        done
    }
    waited=0
    until all_loaded || ((waited >= 300)); do
        kill -0 "$pid" 2>/dev/null || { tail -50 "$log" >&2; fail "$program exited early"; }
        sleep 0.1
        waited=$((waited + 1))
    done
    kill -0 "$pid" 2>/dev/null || { tail -50 "$log" >&2; fail "$program died loading plug-ins"; }
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    for f in "${shipped[@]}"; do
        grep -qF "calling init: $f" "$log" || fail "$program did not load $f"
    done
    local libs=()
    mapfile -t libs < <(sed -n 's/.*calling init: \(.*libtovela[^/]*\)$/\1/p' "$log")
    ((${#libs[@]})) || fail "$program loaded no tovela library"
    for f in "${libs[@]}"; do
        [[ "$(realpath -m "$f")" == "$root"/* ]] || fail "$program took $f from outside $root"
    done
    pass "$program loaded ${#shipped[@]} plug-ins from $plugins, its library from $root"
}

# Every ELF file under a root: no RUNPATH into the build tree, and every library it needs found.
check_elves() {
    local root=$1 f
    while IFS= read -r -d '' f; do
        file -b "$f" | grep -q '^ELF' || continue
        if readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -qF "$top"; then
            fail "$f has a run path into the source or build tree"
        fi
        if ldd "$f" | grep -q 'not found'; then
            ldd "$f" >&2
            fail "$f needs a library that cannot be found"
        fi
        # The project's own libraries must come from the installation itself.
        if ldd "$f" | grep 'libtovela' | grep -vqF "$root"; then
            ldd "$f" >&2
            fail "$f takes a tovela library from outside $root"
        fi
    done < <(find "$root" -type f -print0)
    pass "ELF files under $root: run paths relative, libraries found"
}

# --- 1. cmake --install into a staging folder ----------------------------------------------
SECONDS=0
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
usr="$stage/usr"
[[ -x "$usr/bin/tovela" && -x "$usr/bin/tovela-service" ]] || fail "programs not installed"
# lib/ or lib/<multiarch>/, after the prefix the tree was configured with.
mapfile -t plugdirs < <(cd "$usr" && find . -type d -path '*/tovela/plugins' | sed 's|^\./||')
((${#plugdirs[@]} == 1)) || fail "expected one plug-in folder, found: ${plugdirs[*]}"
plugins=${plugdirs[0]}

desktop=("$usr"/share/applications/*.desktop)
metainfo=("$usr"/share/metainfo/*.metainfo.xml)
((${#desktop[@]} == 1)) && [[ -f "${desktop[0]}" ]] || fail "expected one launcher"
((${#metainfo[@]} == 1)) && [[ -f "${metainfo[0]}" ]] || fail "expected one metainfo file"
desktop-file-validate "${desktop[0]}" || fail "desktop-file-validate"
pass "desktop-file-validate $(basename "${desktop[0]}")"
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate"
pass "appstreamcli validate $(basename "${metainfo[0]}")"
# The tree check also reads the launcher that the metadata names.
appstreamcli validate-tree --no-net "$stage" || fail "appstreamcli validate-tree"
pass "appstreamcli validate-tree of the staged install"

appid=$(basename "${desktop[0]}" .desktop)
grep -qx 'Name=ルミナード' "${desktop[0]}" || fail "launcher name"
grep -qx "Icon=$appid" "${desktop[0]}" || fail "launcher icon name"
grep -q "<launchable type=\"desktop-id\">$appid.desktop</launchable>" "${metainfo[0]}" ||
    fail "metainfo does not name the launcher"
for size in 16 22 24 32 48 64 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/$appid.png"
    file -b "$icon" | grep -q "PNG image data, $size x $size" || fail "icon $icon"
    icon="$usr/share/icons/hicolor/${size}x${size}@2/apps/$appid.png"
    file -b "$icon" | grep -q "PNG image data, $((size * 2)) x $((size * 2))" || fail "icon $icon"
done
file -b "$usr/share/icons/hicolor/scalable/apps/$appid.svg" | grep -q "SVG" || fail "scalable icon"
pass "launcher, metadata and hicolor icons 16-256 (also at @2) and scalable agree on $appid"

check_elves "$usr"

# The plug-in folder as the installed program computes it from its own place (the user still
# chooses the folder in the program; this is the one the README names).
probe="$build/tests/install/install_probe"
[[ -x "$probe" ]] || fail "$probe not built (configure with -DTOVELA_BUILD_TESTS=ON)"
cp "$probe" "$usr/bin/install_probe"
answer=$("$usr/bin/install_probe")
rm "$usr/bin/install_probe"
[[ "$answer" == "program $usr/bin"$'\n'"plugins $usr/$plugins" ]] ||
    fail "installed folders: $answer"
pass "installed program finds its plug-in folder at $usr/$plugins"

start_and_stop "$usr/bin/tovela" "$usr/$plugins" "$usr"
staged_seconds=$SECONDS

# --- 2. the Debian package -----------------------------------------------------------------
SECONDS=0
if dpkg-query -W -f='${Status}' tovela 2>/dev/null | grep -q "install ok installed"; then
    [[ "${CI:-}" == "true" ]] || fail "a tovela package is installed already; not touching it"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq tovela >/dev/null
fi
packages="$work/packages"
mkdir -p "$packages"
(cd "$build" && cpack -G DEB -B "$packages" >/dev/null)
debs=("$packages"/tovela_*.deb)
((${#debs[@]} == 1)) && [[ -f "${debs[0]}" ]] || fail "expected one .deb"
deb="${debs[0]}"
# apt reads local packages as its own unprivileged user.
chmod a+rx "$work" "$packages"
chmod a+r "$deb"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no computed dependencies"
pass "$(basename "$deb") built, depends on $(dpkg-deb -f "$deb" Depends)"

installed_by_us=1
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" \
    >"$work/apt-install.log" 2>&1 || { cat "$work/apt-install.log" >&2; fail "apt-get install"; }
dpkg-query -W -f='${Status}' tovela | grep -q "install ok installed" || fail "not installed"
[[ "$(command -v tovela)" == /usr/bin/tovela ]] || fail "tovela not on PATH"
owned=()
while IFS= read -r path; do
    [[ -d "$path" && ! -L "$path" ]] || owned+=("$path")
done < <(dpkg -L tovela)
pass "package installed with apt-get (${#owned[@]} files)"
start_and_stop tovela "/usr/$plugins" /usr

DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq tovela >"$work/apt-purge.log" 2>&1 ||
    { cat "$work/apt-purge.log" >&2; fail "apt-get purge"; }
installed_by_us=0
dpkg-query -W -f='${Status}' tovela 2>/dev/null | grep -q "install ok installed" &&
    fail "still installed after purge"
for path in "${owned[@]}"; do
    [[ ! -e "$path" && ! -L "$path" ]] || fail "$path left behind after purge"
done
[[ ! -e "/usr/${plugins%/plugins}" ]] || fail "/usr/${plugins%/plugins} left behind after purge"
pass "package purged, none of its files left"
package_seconds=$SECONDS

echo "test-install: staged install ${staged_seconds}s, package ${package_seconds}s"
echo "test-install: $checks passed, 0 failed"
