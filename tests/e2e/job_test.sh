#!/usr/bin/env bash
# A hotel job from the command line: a rooms table of 40 rooms imports and one with a bad room
# number keeps nothing; a verify of room 1203 over the bus records its installer; after its room
# type is changed and saved the room is 需复核 in the status and in the report, whose first page
# holds the hotel's totals.
. "$(dirname "$0")/lib.sh"

DB="$WORK/records.sqlite"
mkdir -p "$WORK/hotel/types"
cp "$EXAMPLE" "$WORK/hotel/types/deluxe.shd"
cp "$EXAMPLE" "$WORK/hotel/types/twin.shd"
{
  echo "房号,楼层,房型文件"
  for floor in 12 13 14 15; do
    for room in 01 02 03 04 05 06 07 08 09 10; do
      type=types/deluxe.shd; [ "$room" -gt 05 ] && type=types/twin.shd
      [ "$floor" = 15 ] && type='types\deluxe.shd'  # as written on Windows
      echo "$floor$room,,$type"
    done
  done
} > "$WORK/hotel/rooms.csv"
"$CLI" job import "$WORK/hotel/rooms.csv" --records "$DB" > "$WORK/import.out" 2>&1
check "a table of 40 rooms imports" contains "$WORK/import.out" "imported 40 rooms"

printf '房号,楼层,房型文件\r\n1601,,types/deluxe.shd\r\n16 02,,types/deluxe.shd\r\n' > "$WORK/hotel/bad.csv"
"$CLI" job import "$WORK/hotel/bad.csv" --records "$DB" > "$WORK/bad.out" 2>&1
rc=$?
check "a table with a bad room number is refused" [ $rc -eq 1 ]
check "the refusal names the line" contains "$WORK/bad.out" "第3行: 房号只能含字母、数字和'-', 不能含有“ ”"
"$CLI" job status --records "$DB" > "$WORK/status0.out"
check "the refused table kept nothing" [ "$(grep -c $'\t' "$WORK/status0.out")" -eq 40 ]

start_sim --room "$EXAMPLE"
"$CLI" run verify-all --port "$PORT" --room 1203 --installer 张工 --records "$DB" > /dev/null 2>&1
check "verify all of room 1203 from the job passes" [ $? -eq 0 ]
stop_sim
"$CLI" job status --records "$DB" > "$WORK/status1.out"
check "room 1203 is 校验通过" grep -q $'^1203\t12\t.*\t校验通过$' "$WORK/status1.out"
"$CLI" job status --json --records "$DB" > "$WORK/status1.json"
check "the JSON counts the room's entry" contains "$WORK/status1.json" '{"room":"1203","floor":"12","roomType":"豪华大床房","state":"校验通过","runs":1}'
"$CLI" report --records "$DB" --room-number 1203 -o "$WORK/r1203.csv" > /dev/null 2>&1
check "the report's rows name the installer" [ "$(grep -c '张工' "$WORK/r1203.csv")" -eq 7 ]

# The room type is changed and saved: what was verified is no longer what the room should hold.
iconv -f GBK -t UTF-8 "$EXAMPLE" | sed 's/K,1,门口,/K,1,门口廊灯,/' | iconv -f UTF-8 -t GBK > "$WORK/changed.shd"
"$CLI" convert "$WORK/changed.shd" -o "$WORK/hotel/types/deluxe.shd" --force > /dev/null 2>&1
"$CLI" job status --records "$DB" > "$WORK/status2.out"
check "after the change room 1203 is 需复核" grep -q $'^1203\t12\t.*\t需复核$' "$WORK/status2.out"
check "the totals say so" contains "$WORK/status2.out" "共40间: 需复核 1, 未调试 39"
"$CLI" report --records "$DB" -o "$WORK/all.pdf" > /dev/null 2>&1
check "the report of every room is written" [ -s "$WORK/all.pdf" ]
pdftotext -f 1 -l 1 -layout "$WORK/all.pdf" "$WORK/page1.txt"
check "its first page holds the hotel's totals" contains "$WORK/page1.txt" "共40间: 需复核 1, 未调试 39"
pdftotext -layout "$WORK/all.pdf" "$WORK/all.txt"
check "no page says 全部校验一致 of a room to review" bash -c "! grep -q 全部校验一致 '$WORK/all.txt'"

finish
