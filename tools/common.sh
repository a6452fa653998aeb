# Sourced by run-editor.sh and test.sh: installs what is missing (setup.sh) and defines
# orva_configure, which configures a build folder against the dependencies setup.sh prepared.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
# shellcheck source=tools/deps.sh
source "$here/deps.sh"
bash "$here/setup.sh"

# Usage: orva_configure <build dir> <build type> [cmake options...]
orva_configure() {
    local dir="$1" type="$2"
    shift 2
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
        -DCMAKE_PREFIX_PATH="$SDL_PREFIX" -DORVA_IMGUI_DIR="$IMGUI_DIR" "$@" >/dev/null
}
