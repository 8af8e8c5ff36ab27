# Shared helpers of the end-to-end scripts: start roombus-sim on a pseudo-terminal, run the CLI.
set -u
BIN=$1
EXAMPLES=$2
CLI="$BIN/roomcfg-cli"
SIM="$BIN/roombus-sim"
EXAMPLE="$EXAMPLES/grand-hotel-deluxe.shd"
WORK=$(mktemp -d)
SIM_PID=""
failures=0
checks=0
skipped=0
# ROOM_WINDOWS=1: the CLI is the Windows build under Wine, and the checks that need what only
# Linux has (symlinks, FIFOs, preloading, file-size limits) are skipped with the reason.
WINDOWS=${ROOM_WINDOWS:-0}

cleanup() {
  [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# start_sim ARGS...: starts the simulator, sets PORT to its pseudo-terminal.
start_sim() {
  [ -n "$SIM_PID" ] && stop_sim
  "$SIM" "$@" > "$WORK/sim.out" 2> "$WORK/sim.err" &
  SIM_PID=$!
  PORT=""
  for _ in $(seq 1 100); do
    PORT=$(head -n 1 "$WORK/sim.out" 2>/dev/null)
    [ -n "$PORT" ] && break
    sleep 0.05
  done
  [ -n "$PORT" ] || { echo "roombus-sim did not start: $(cat "$WORK/sim.err")"; exit 1; }
}

stop_sim() {
  kill "$SIM_PID" 2>/dev/null
  wait "$SIM_PID" 2>/dev/null
  SIM_PID=""
}

# verify_then_pull PORT: a verify all of the example over PORT with the simulator stopped 1.5 s
# in (all devices silent keep the run waiting); sets rc and took, the seconds from stop to end.
verify_then_pull() {
  "$CLI" run verify-all --port "$1" "$EXAMPLE" > "$WORK/lost.out" 2> "$WORK/lost.err" &
  local cli=$! killed_at ended_at
  sleep 1.5
  killed_at=$(date +%s.%N)
  stop_sim
  wait "$cli"
  rc=$?
  ended_at=$(date +%s.%N)
  took=$(awk "BEGIN { print $ended_at - $killed_at }")
}

check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  checks=$((checks + 1))
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}

contains() { grep -qF -- "$2" "$1"; }

skip() {  # skip NAME REASON
  skipped=$((skipped + 1))
  echo "skip $1: $2"
}

finish() {
  echo "$((checks - failures)) passed, $failures failed, $skipped skipped"
  [ "$failures" -eq 0 ]
}
