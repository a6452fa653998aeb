#!/usr/bin/env bash
# Installs what is missing, builds the editor (Release) and opens it on its default scene.
# Arguments are passed to the editor (a file to open, --screenshot PATH, --frames N).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
source "$here/deps.sh"
source "$here/configure.sh"

bash "$here/setup.sh"
orva_configure "$root/build/release" Release -DORVA_BUILD_TESTS=OFF
cmake --build "$root/build/release" --target orva
exec "$root/build/release/src/orva" "$@"
