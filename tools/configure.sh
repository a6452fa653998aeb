# Shared by run-editor.sh and test.sh: configures a build folder against the dependencies
# that setup.sh prepared. Usage: orva_configure <build dir> <build type> [cmake options...]
orva_configure() {
    local dir="$1" type="$2"
    shift 2
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
        -DCMAKE_PREFIX_PATH="$SDL_PREFIX" -DORVA_IMGUI_DIR="$IMGUI_DIR" "$@" >/dev/null
}
