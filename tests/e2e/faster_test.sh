#!/usr/bin/env bash
# Faster rooms over the simulated bus: the scan, a read of an unknown room, send-verify and
# retries, with the command-line tool as the console.
. "$(dirname "$0")/lib.sh"

empty="$WORK/empty.shd"
printf '%s\r\n' "x, " "酒店名称:,, " "房型名称:,, " "房型编号:,1, " "主机型号:,3,0,0,3.x,0,0,0,162, " "S,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0, " \
  | iconv -f UTF-8 -t GBK > "$empty"
seconds() { python3 -c 'import time; print(time.monotonic())'; }

start_sim --room "$EXAMPLE"
began=$(seconds)
"$CLI" scan --port "$PORT" --devices 1-32 "$EXAMPLE" > "$WORK/scan.out" 2> "$WORK/scan.err"
rc=$?
took=$(python3 -c "print(f'{$(seconds) - $began:.1f}')")
check "a scan of what the room type has exits 0" [ $rc -eq 0 ]
check "it lists the seven with their types" [ "$(grep -cE '^0[1-7] [1-6]\.' "$WORK/scan.out")" -eq 7 ]
check "and nothing else answered" [ "$(grep -cE '^[0-9]{2}( |$)' "$WORK/scan.out")" -eq 7 ]
check "in well under 20 s ($took s)" python3 -c "assert $took < 15"
"$CLI" scan --port "$PORT" > "$WORK/alone.out" 2>&1
check "without a room type, anything answering is a pass" [ $? -eq 0 ]
"$CLI" scan --port "$PORT" --window 20 "$EXAMPLE" > /dev/null 2> "$WORK/window.err"
check "a window out of range is refused" [ $? -eq 2 ]

start_sim --room "$EXAMPLE" --silent 3 --devices 1-7,12 --late 5:500
"$CLI" scan --port "$PORT" "$EXAMPLE" > "$WORK/odd.out" 2> "$WORK/odd.err"
check "a scan that differs from the room type exits 3" [ $? -eq 3 ]
check "the silent device is missing" contains "$WORK/odd.out" "缺少: 03"
check "the device not in use is extra" contains "$WORK/odd.out" "多出: 12"
check "the slow one is named" contains "$WORK/odd.out" "应答慢: 05"

# An unknown room: the scan finds the devices, the read reads just those.
start_sim --room "$EXAMPLE"
began=$(seconds)
"$CLI" run read-all --port "$PORT" "$empty" -o "$WORK/read.shd" > "$WORK/read.out" 2> "$WORK/read.err"
rc=$?
took=$(python3 -c "print(f'{$(seconds) - $began:.1f}')")
check "a read all into an empty room type exits 0" [ $rc -eq 0 ]
check "it scanned first" contains "$WORK/read.out" "扫描完成: 32个编号中7个应答"
check "and read the seven ($took s)" [ "$("$CLI" info "$WORK/read.shd" | grep -cE '^0[1-7] ')" -eq 7 ]
check "in well under 30 s" python3 -c "assert $took < 25"

# Send and verify in one go: two runs, two entries, the verify's verdict.
records="$WORK/records.sqlite"
"$CLI" run send-verify --port "$PORT" "$EXAMPLE" --records "$records" --room-number 1201 \
  > "$WORK/sv.out" 2> "$WORK/sv.err"
check "send-verify exits 0" [ $? -eq 0 ]
check "it sent" contains "$WORK/sv.out" "发送完成"
check "and verified" contains "$WORK/sv.out" "校验完成"
"$CLI" report --records "$records" -o "$WORK/sv.csv" > /dev/null 2>&1
check "both runs are recorded" [ "$(grep -c '1201' "$WORK/sv.csv")" -ge 2 ]
start_sim --room "$EXAMPLE" --silent 4
"$CLI" run send-verify --port "$PORT" "$EXAMPLE" > "$WORK/sv4.out" 2> "$WORK/sv4.err"
check "a silent device fails the verify (exit 3)" [ $? -eq 3 ]

# A device that ignores its first request answers its second: a retry makes it OK.
start_sim --room "$EXAMPLE" --miss 3:1
"$CLI" run verify-all --port "$PORT" "$EXAMPLE" > "$WORK/once.out" 2>&1
check "without a retry it is unread (exit 3)" [ $? -eq 3 ]
start_sim --room "$EXAMPLE" --miss 3:1
"$CLI" run verify-all --retry 2 --port "$PORT" "$EXAMPLE" --records "$records" --room-number 1202 \
  > "$WORK/retry.out" 2> "$WORK/retry.err"
check "--retry 2 turns it OK (exit 0)" [ $? -eq 0 ]
check "it was retried alone" contains "$WORK/retry.err" "retry 03"
"$CLI" report --records "$records" -o "$WORK/retry.csv" > /dev/null 2>&1
check "the retry is an entry of its own" [ "$(grep -c '1202' "$WORK/retry.csv")" -ge 2 ]

finish
