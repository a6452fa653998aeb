#!/usr/bin/env bash
# Installs what is missing, builds the editor (Release) and opens it on its default scene.
# Arguments are passed to the editor (a file to open, --screenshot PATH, --frames N).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

orva_configure "$root/build/release" Release -DORVA_BUILD_TESTS=OFF
cmake --build "$root/build/release" --target orva
exec "$root/build/release/src/orva" "$@"
