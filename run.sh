#!/usr/bin/env bash
# Builds the three programs (not the tests: ./test.sh builds those) and
# starts Chanset with the simulated radio attached as COM1, so Program -> Read
# works with no cable. Pass --real to use the real serial ports instead (see
# "Serial ports" in README.md). Further arguments go to Chanset (for example
# a .dat file to open).
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh programs
bin=build/bin

use_sim=1
if [ "${1:-}" = "--real" ]; then use_sim=0; shift; fi

sim_pid=""
simdir=""
# At exit the simulator stops and its folder goes, unless a Write left what
# the radio received in it: then only that file stays, and is named.
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  [ -n "$simdir" ] || return 0
  if [ -e "$simdir/written.dat" ]; then
    rm -f "$simdir/radio" "$simdir/sim.log"
    echo "What Chanset wrote to the simulated radio is in $simdir/written.dat" >&2
  else
    rm -rf "$simdir"
  fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

if [ "$use_sim" = 1 ]; then
  simdir=$(mktemp -d "${TMPDIR:-/tmp}/chanset-sim.XXXXXX")
  # The simulator prints its device path on its first line; the link gives a
  # stable name for it.
  "$bin/chanset-radio-sim" --link "$simdir/radio" --save "$simdir/written.dat" >"$simdir/sim.log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$simdir/radio" ] && break; sleep 0.1; done
  if [ ! -e "$simdir/radio" ]; then
    cat "$simdir/sim.log" >&2
    echo "The radio simulator did not start." >&2
    exit 1
  fi
  export CHANSET_COM1="$simdir/radio"
  echo "Simulated radio on COM1 ($CHANSET_COM1); if Setup -> Com Setup names another port, choose COM1." >&2
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Chanset under xvfb-run (invisible)." >&2
  xvfb-run -a "$bin/Chanset" "$@"
else
  "$bin/Chanset" "$@"
fi
