#!/usr/bin/env bash
# Builds everything, then starts the designer when there is a display (any arguments, such as
# a label file, go to it). Without a display it says how to use the headless tool and shows the
# summary of the label that ships with the program.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build="${KORVEL_BUILD_DIR:-$here/build}"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  if [ -x "$build/bin/korvel" ]; then
    exec "$build/bin/korvel" "$@"
  fi
  echo "The designer was not built (configured with -DKORVEL_GUI=OFF); showing the headless tool instead." >&2
fi

cat >&2 <<USAGE
No display: the designer needs one (DISPLAY or WAYLAND_DISPLAY). The headless tool works without:
  $build/bin/korvel-cli info LABEL.kvl             JSON summary of a label file
  $build/bin/korvel-cli convert IN.kvl OUT.kvl     read any supported version, write the current one
  $build/bin/korvel-cli print LABEL.kvl -o FILE    the printer's command stream (or --port SPEC)
  $build/bin/korvel-cli render LABEL.kvl -o OUT.png   one label as the printer would print it
Summary of the label that ships with the program:
USAGE
"$build/bin/korvel-cli" info "$here/data/Samples/Starter.kvl"
out="${TMPDIR:-/tmp}/korvel-demo"
"$build/bin/korvel-cli" print "$here/data/Samples/Starter.kvl" -o "$out.prn"
"$build/bin/korvel-cli" render "$here/data/Samples/Starter.kvl" -o "$out.png"
