#!/usr/bin/env bash
# Ctrl+C (SIGINT) or SIGTERM during a run ends it as a pulled adapter does: cut short, the devices
# never served listed, the entry recorded with the room 中断, exit 2. A second signal ends the
# process at once, as the signal always did.
. "$(dirname "$0")/lib.sh"

DB="$WORK/records.sqlite"

# start_run NAME ROOM: a verify all of room ROOM in the background, devices 3-7 silent so it takes
# half a minute; CLI_PID is the tool's. A script's background job has SIGINT ignored, which the
# tool keeps ignored (as under nohup); a terminal's Ctrl+C finds it at its default.
start_run() {
  start_sim --room "$EXAMPLE" --silent 3-7
  env --default-signal=INT "$CLI" run verify-all --port "$PORT" "$EXAMPLE" --room-number "$2" \
    --records "$DB" > "$WORK/$1.out" 2> "$WORK/$1.err" &
  CLI_PID=$!
  sleep 1
}

room_state() {  # room_state ROOM: the 状态 column of the room's rows in the report
  "$CLI" report --records "$DB" --room-number "$1" -o "$WORK/$1.csv" --force > /dev/null 2>&1
  tail -n +2 "$WORK/$1.csv" 2> /dev/null | tr -d '\r' | cut -d, -f7 | sort -u
}

for case in INT:1401 TERM:1402; do
  signal=${case%:*} room=${case#*:}
  start_run "$signal" "$room"
  kill -"$signal" "$CLI_PID"
  wait "$CLI_PID"
  rc=$?
  check "SIG$signal ends the run with exit 2" [ $rc -eq 2 ]
  check "SIG$signal: the run says it was cut short" contains "$WORK/$signal.out" "校验中断: 串口断开"
  check "SIG$signal: and lists what it never served" contains "$WORK/$signal.out" "未处理的编号:04 05 06 07"
  check "SIG$signal: the record has the room 中断" [ "$(room_state "$room")" = "中断" ]
  check "SIG$signal: the job status says so too" \
    grep -q "^$room	.*中断\$" <("$CLI" job status --records "$DB" 2> /dev/null)
done

# A second signal before the run could act on the first: the process dies of it. Stopped, the
# tool gets both at once on waking, the lower number first.
start_run twice 1403
kill -STOP "$CLI_PID"
kill -HUP "$CLI_PID"
kill -INT "$CLI_PID"
kill -CONT "$CLI_PID"
wait "$CLI_PID"
rc=$?
check "a second signal ends the process as the signal does" [ $rc -eq 130 ]
check "and nothing is recorded" [ -z "$(room_state 1403)" ]

finish
