#!/usr/bin/env bash
# Builds Chanset and starts it. With no display it starts under a virtual one.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
app=build/bin/Chanset
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Chanset under xvfb-run (invisible)." >&2
  exec xvfb-run -a "$app" "$@"
fi
exec "$app" "$@"
