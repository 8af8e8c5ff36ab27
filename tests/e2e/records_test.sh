#!/usr/bin/env bash
# The commissioning record from the command line: every run adds its entry, runs at the same time
# lose none, a broken record never changes a run's result, and the report says the same in PDF and
# CSV.
. "$(dirname "$0")/lib.sh"

DB="$WORK/records.sqlite"
report_csv() {  # report_csv OUT [ARGS...]: the report as CSV, its lines without the header
  "$CLI" report --records "$DB" -o "$1" --force "${@:2}" > /dev/null 2>&1
  tail -n +2 "$1" | tr -d '\r'
}

start_sim --room "$EXAMPLE" --silent 3 --corrupt 6
"$CLI" run verify-all --port "$PORT" "$EXAMPLE" --room-number 1208 --records "$DB" > "$WORK/v.out" 2> "$WORK/v.err"
rc=$?
check "the run's exit code is the run's" [ $rc -eq 3 ]
report_csv "$WORK/r1208.csv" --room-number 1208 > "$WORK/r1208.rows"
check "the record has a row per device" [ "$(wc -l < "$WORK/r1208.rows")" -eq 7 ]
check "device 3 did not answer" grep -q '^1208,.*,校验所有,.*,3,1\.开关面板,[^,]*,无应答,' "$WORK/r1208.rows"
check "device 6 differs, with its differences" grep -q ',6,2\.温控器,[^,]*,数据异常,.*第06个' "$WORK/r1208.rows"
check "the others are OK" [ "$(grep -c ',OK,$' "$WORK/r1208.rows")" -eq 5 ]

"$CLI" report --records "$DB" --room-number 1208 --installer 张工 -o "$WORK/r1208.pdf" > /dev/null 2>&1
pdftotext -layout "$WORK/r1208.pdf" "$WORK/r1208.txt"
check "the PDF says the summary" contains "$WORK/r1208.txt" "7台设备中5台校验一致"
check "the PDF names the installer" contains "$WORK/r1208.txt" "张工"
for device in 01 02 03 04 05 06 07; do
  result=$(awk -F, -v d="$((10#$device))" '$15 == d { print $18 }' "$WORK/r1208.rows")
  check "the PDF row of device $device says ${result:-?} as the CSV does" \
    grep -Eq "^ *$device +.*${result:-no result in the CSV}" "$WORK/r1208.txt"
done

# Several runs at once, each of its own room, on the same record: every one is kept.
stop_sim
pids=()
for room in 2101 2102 2103 2104 2105 2106; do
  "$CLI" run verify-all --port SIM "$EXAMPLE" --room-number $room --records "$DB" > /dev/null 2>&1 &
  pids+=($!)
done
wait "${pids[@]}"
report_csv "$WORK/all.csv" > "$WORK/all.rows"
check "six runs at once lose no entry" [ "$(cut -d, -f1 "$WORK/all.rows" | sort -u | grep -c '^210')" -eq 6 ]

# A record that cannot be written: the run ends as it would, and says the record was not kept.
printf 'not a database at all %.0s' $(seq 1 200) > "$WORK/broken.sqlite"
"$CLI" run verify-all --port SIM "$EXAMPLE" --records "$WORK/broken.sqlite" > "$WORK/b.out" 2> "$WORK/b.err"
rc=$?
check "a broken record leaves the run's exit code" [ $rc -eq 0 ]
check "the run's result is printed" contains "$WORK/b.out" "校验完成"
check "and the entry is said kept on this computer" contains "$WORK/b.err" "调试记录暂存本机, 共1条待上传"
"$CLI" report --records "$WORK/broken.sqlite" -o "$WORK/b.pdf" > /dev/null 2> "$WORK/br.err"
check "a report from a broken record fails with the reason" [ $? -eq 1 ]
check "and writes nothing" [ ! -e "$WORK/b.pdf" ]

finish
