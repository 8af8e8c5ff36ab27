#!/usr/bin/env bash
# Devices that stay silent or answer with a changed byte, and a bus that goes away mid-run.
. "$(dirname "$0")/lib.sh"

start_sim --room "$EXAMPLE" --silent 3
"$CLI" run verify-all --port "$PORT" "$EXAMPLE" > "$WORK/silent.out" 2> "$WORK/silent.err"
rc=$?
check "a silent device gives exit 3" [ $rc -eq 3 ]
check "a silent device is listed unread" contains "$WORK/silent.out" "未读到的编号:03 "

start_sim --room "$EXAMPLE" --corrupt 2
"$CLI" run verify-all --port "$PORT" "$EXAMPLE" > "$WORK/corrupt.out" 2> "$WORK/corrupt.err"
rc=$?
check "a changed byte gives exit 3" [ $rc -eq 3 ]
check "a changed byte is listed as different" contains "$WORK/corrupt.out" "数据异常的编号:02 "
check "its difference is reported" contains "$WORK/corrupt.out" "第02个面板异常"

# Every device silent: the run waits a period per device; kill the bus in the middle.
start_sim --silent 1-32
"$CLI" run verify-all --port "$PORT" "$EXAMPLE" > "$WORK/lost.out" 2> "$WORK/lost.err" &
cli=$!
sleep 1.5
killed_at=$(date +%s.%N)
stop_sim
wait "$cli"
rc=$?
ended_at=$(date +%s.%N)
check "a lost bus gives exit 2" [ $rc -eq 2 ]
check "a lost bus is reported" contains "$WORK/lost.err" "port lost"
check "the run ends within a second" awk "BEGIN { exit !($ended_at - $killed_at < 1.0) }"

finish
