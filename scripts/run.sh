#!/usr/bin/env bash
# Builds everything and runs the main job on the label that ships with the program.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build="${KORVEL_BUILD_DIR:-$here/build}"
"$build/bin/korvel-cli" info "$here/data/Samples/Starter.kvl"
