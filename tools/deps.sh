# Pinned dependency versions and where they live; sourced by the other scripts.
# The cache sits outside the clone, keyed by version, so a fresh clone reuses a built SDL.
SDL_VERSION=3.2.10
SDL_DEB_VERSION=3.2.10+ds-1
IMGUI_VERSION=1.92.2b
IMGUI_DEB_VERSION=1.92.2b+ds-1
ORVA_DEPS="${ORVA_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/orva-deps}"
SDL_PREFIX="$ORVA_DEPS/sdl3-$SDL_VERSION"
IMGUI_DIR="$ORVA_DEPS/imgui-$IMGUI_VERSION"
