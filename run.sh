#!/usr/bin/env bash
# Builds Chanset and starts it with the simulated radio attached as COM1, so
# Program -> Read works with no cable. Pass --real to use the real serial
# ports instead (see "Serial ports" in README.md). Further arguments go to
# Chanset (for example a .dat file to open).
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
bin=build/bin

use_sim=1
if [ "${1:-}" = "--real" ]; then use_sim=0; shift; fi

sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true; }
trap cleanup EXIT

if [ "$use_sim" = 1 ]; then
  simdir=$(mktemp -d "${TMPDIR:-/tmp}/chanset-sim.XXXXXX")
  # The simulator prints its device path on its first line; the link gives a
  # stable name for it.
  "$bin/chanset-radio-sim" --link "$simdir/radio" --save "$simdir/written.dat" >"$simdir/sim.log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$simdir/radio" ] && break; sleep 0.1; done
  if [ ! -e "$simdir/radio" ]; then
    echo "The radio simulator did not start; see $simdir/sim.log" >&2
    exit 1
  fi
  export CHANSET_COM1="$simdir/radio"
  echo "Simulated radio on COM1 ($CHANSET_COM1); if Setup -> Com Setup names another port, choose COM1." >&2
  echo "What a Write sends to it is kept in $simdir/written.dat." >&2
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Chanset under xvfb-run (invisible)." >&2
  xvfb-run -a "$bin/Chanset" "$@"
else
  "$bin/Chanset" "$@"
fi
