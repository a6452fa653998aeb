#!/usr/bin/env bash
# Installs everything ORVA 3D Studio needs to build, run and test on Debian 12:
#   - Debian packages (compiler, X11/GL headers, GLM, nlohmann/json, stb, assimp, GoogleTest, Xvfb, ...);
#   - SDL 3.2.10 and Dear ImGui 1.92.2b from Debian source packages (trixie/forky/sid), pinned;
#     SDL is built once as a static library and cached outside the clone, keyed by version;
#   - the npm packages pinned in package-lock.json (three.js for web builds, playwright-core for
#     the browser tests, which drive Debian's chromium and never download a browser).
# Safe to run again: when everything is in place it only checks and returns in seconds.
# Prints nothing to standard output but the final line, so callers can `source` tools/deps.sh.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
# shellcheck source=tools/deps.sh
source "$here/deps.sh"

say() { printf 'setup: %s\n' "$*" >&2; }
die() { printf 'setup: error: %s\n' "$*" >&2; exit 1; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || die "not running as root and sudo is not installed"
    SUDO="sudo"
fi

# ---------------------------------------------------------------------------------------------
# 1. Debian packages
# ---------------------------------------------------------------------------------------------
apt_packages=(
    build-essential cmake ninja-build pkg-config git ca-certificates xz-utils
    debian-archive-keyring
    # SDL3 build dependencies (X11, GL, EGL, D-Bus)
    libx11-dev libxext-dev libxrandr-dev libxcursor-dev libxi-dev libxkbcommon-dev libxfixes-dev
    libxss-dev libxtst-dev libxinerama-dev libdbus-1-dev libgl-dev libegl-dev
    # libraries compiled into the program
    libglm-dev nlohmann-json3-dev libstb-dev
    # QR codes of the game's address, for phones
    libqrencode-dev
    # model import: the Open Asset Import Library, and its sample models for the import tests
    libassimp-dev assimp-testmodels
    # tests and benchmarks: GoogleTest, Google Benchmark, an X server with Mesa's software GL
    libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth libgl1-mesa-dri libegl-mesa0
    # interface tests of the real window: xdotool clicks and types, xwd (x11-apps) takes pictures
    xdotool x11-apps
    # reads back the QR codes the editor draws, in its tests
    zbar-tools
    # browser tests of the web player (driven by the npm package playwright-core)
    chromium
)

missing=()
for p in "${apt_packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    missing+=(nodejs npm)
fi
if [ ${#missing[@]} -gt 0 ]; then
    say "installing Debian packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq >&2 || die "apt-get update failed"
    if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2; then
        for p in "${missing[@]}"; do
            $SUDO apt-get install -y -qq --no-install-recommends "$p" >/dev/null 2>&1 ||
                die "could not install the Debian package '$p'"
        done
    fi
fi

# ---------------------------------------------------------------------------------------------
# 2. SDL3 and Dear ImGui from Debian source packages
# ---------------------------------------------------------------------------------------------
mkdir -p "$ORVA_DEPS"

# The mirror this machine already uses: a deb822 "URIs:" line (Debian 12 images) or a classic
# "deb" line in /etc/apt/sources.list (plain installs). The first Debian main archive found wins.
find_mirror() {
    local uri=""
    if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
        uri=$(awk '/^URIs:/ { for (i = 2; i <= NF; i++) print $i }' /etc/apt/sources.list.d/*.sources |
              grep -v -e security -e nodesource -e google | grep '/debian/\?$' | head -n 1 || true)
    fi
    if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
        uri=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^(https?|ftp):/) { print $i; break } }' \
              /etc/apt/sources.list | grep -v security | head -n 1 || true)
    fi
    printf '%s' "${uri%/}"
}

# Downloads the pinned source packages into $ORVA_DEPS/src with a private apt configuration, so
# the machine's own apt sources stay untouched.
fetch_sources() {
    local aptdir="$ORVA_DEPS/apt" mirror
    mirror=$(find_mirror)
    [ -n "$mirror" ] || die "could not find the Debian mirror in /etc/apt/sources.list(.d)"
    mkdir -p "$aptdir/lists/partial" "$aptdir/cache/archives/partial" "$ORVA_DEPS/src"
    {
        for suite in trixie forky sid; do
            echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main"
        done
    } >"$aptdir/sources.list"
    # Mirrors that lag behind serve Release files past their Valid-Until date; the signatures are
    # still checked, and the pinned versions are verified against the signed index's hashes.
    local opts=(-o "Dir::Etc::sourcelist=$aptdir/sources.list" -o Dir::Etc::sourceparts=-
                -o "Dir::State::Lists=$aptdir/lists" -o "Dir::Cache=$aptdir/cache"
                -o APT::Get::List-Cleanup=0 -o Acquire::Check-Valid-Until=false)
    # apt's download sandbox user cannot write into a folder under root's home
    [ "$(id -u)" -ne 0 ] || opts+=(-o APT::Sandbox::User=root)
    say "fetching source package lists from $mirror (trixie, forky, sid)"
    apt-get "${opts[@]}" update -qq >&2 || die "could not update the private source package lists"
    local pkg
    for pkg in "$@"; do
        (cd "$ORVA_DEPS/src" && apt-get "${opts[@]}" source --download-only -qq "$pkg" >&2) ||
            die "could not fetch the Debian source package '$pkg'"
    done
}

sdl_tar="$ORVA_DEPS/src/libsdl3_${SDL_DEB_VERSION%-*}.orig.tar.xz"
imgui_tar="$ORVA_DEPS/src/imgui_${IMGUI_DEB_VERSION%-*}.orig.tar.xz"
need=()
[ -f "$SDL_PREFIX/.built" ] || [ -f "$sdl_tar" ] || need+=("libsdl3=$SDL_DEB_VERSION")
[ -f "$IMGUI_DIR/imgui.h" ] || [ -f "$imgui_tar" ] || need+=("imgui=$IMGUI_DEB_VERSION")
[ ${#need[@]} -eq 0 ] || fetch_sources "${need[@]}"

if [ ! -f "$IMGUI_DIR/imgui.h" ]; then
    say "unpacking Dear ImGui $IMGUI_VERSION"
    rm -rf "$IMGUI_DIR" "$IMGUI_DIR.tmp"
    mkdir -p "$IMGUI_DIR.tmp"
    tar -xJf "$imgui_tar" -C "$IMGUI_DIR.tmp" --strip-components=1 || die "could not unpack $imgui_tar"
    mv "$IMGUI_DIR.tmp" "$IMGUI_DIR"
fi

if [ ! -f "$SDL_PREFIX/.built" ]; then
    say "building SDL $SDL_VERSION (static, about a minute)"
    work="$ORVA_DEPS/sdl3-$SDL_VERSION-build"
    rm -rf "$work" "$SDL_PREFIX"
    mkdir -p "$work/src"
    tar -xJf "$sdl_tar" -C "$work/src" --strip-components=1 || die "could not unpack $sdl_tar"
    cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$SDL_PREFIX" -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
        -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TESTS=OFF -DSDL_EXAMPLES=OFF -DSDL_TEST_LIBRARY=OFF \
        -DSDL_AUDIO=OFF -DSDL_CAMERA=OFF -DSDL_WAYLAND=OFF -DSDL_VULKAN=OFF >"$work/configure.log" 2>&1 ||
        { tail -n 30 "$work/configure.log" >&2; die "configuring SDL $SDL_VERSION failed"; }
    cmake --build "$work/build" >"$work/build.log" 2>&1 ||
        { tail -n 30 "$work/build.log" >&2; die "building SDL $SDL_VERSION failed"; }
    cmake --install "$work/build" >/dev/null || die "installing SDL $SDL_VERSION failed"
    touch "$SDL_PREFIX/.built"
    rm -rf "$work"
fi

# ---------------------------------------------------------------------------------------------
# 3. npm packages (pinned by package-lock.json)
# ---------------------------------------------------------------------------------------------
stamp="$root/node_modules/.orva-lock"
if [ ! -f "$stamp" ] || ! cmp -s "$root/package-lock.json" "$stamp"; then
    say "installing npm packages"
    (cd "$root" && npm ci --no-audit --no-fund --loglevel=error >&2) ||
        die "could not install the npm packages of package-lock.json"
    cp "$root/package-lock.json" "$stamp"
fi

echo "setup: dependencies ready in $ORVA_DEPS" >&2
