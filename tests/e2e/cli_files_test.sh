#!/usr/bin/env bash
# roomcfg-cli on room-type files: info, convert, export-yml and their refusals.
. "$(dirname "$0")/lib.sh"

"$CLI" info "$EXAMPLE" > "$WORK/info.out" 2> "$WORK/info.err"
check "info exits 0" [ $? -eq 0 ]
check "info prints the title text" contains "$WORK/info.out" "   酒店名称:云栖湖畔大酒店   房型:豪华大床房   房型编号:8   主机型号:3.联网485"
check "info prints one line per device in use" [ "$(grep -c '^0[1-7]  ' "$WORK/info.out")" -eq 7 ]
check "info lists a device's keys, outputs and scenes" contains "$WORK/info.out" \
  '02  1.开关面板  "床头左"  inputs 24,21,50,51,80,81  outputs 24,21,15,16,0,0  scenes 50,51,52,56,57,169'

"$CLI" convert "$EXAMPLE" -o "$WORK/copy.shd" > /dev/null
check "convert of our own file is byte-identical" cmp "$EXAMPLE" "$WORK/copy.shd"
"$CLI" convert "$EXAMPLE" -o "$WORK/other.hdq" > /dev/null
check "convert to .hdq writes .shd" cmp "$EXAMPLE" "$WORK/other.shd"
"$CLI" convert "$EXAMPLE" -o "$WORK/copy.shd" > /dev/null 2> "$WORK/exists.err"
check "convert refuses to overwrite without --force" [ $? -eq 1 ]
check "the refusal says how to overwrite" contains "$WORK/exists.err" "--force"

cp "$EXAMPLE" "$WORK/room.shd"
"$CLI" export-yml "$WORK/room.shd" > /dev/null
check "export-yml writes FILE.yml by default" [ -s "$WORK/room.yml" ]
check "the export is GBK with CR LF lines" contains "$WORK/room.yml" "$(printf ' switchNumber: 4 \r')"
check "the export names the hotel" contains "$WORK/room.yml" "$(printf ' name: 云栖湖畔大酒店' | iconv -f UTF-8 -t GBK)"
echo "old" > "$WORK/keep.yml"
"$CLI" export-yml "$WORK/room.shd" -o "$WORK/keep.yml" > /dev/null 2>&1
check "export-yml keeps an existing file without --force" [ "$(cat "$WORK/keep.yml")" = "old" ]

# Refused and broken input.
sed 's/,162, /,163, /' "$EXAMPLE" > "$WORK/newer.shd"
"$CLI" info "$WORK/newer.shd" > /dev/null 2> "$WORK/newer.err"
check "a file of a newer version is refused with exit 1" [ $? -eq 1 ]
check "with the program's message" contains "$WORK/newer.err" "软件版本低,请用1.6.3及以上版本打开!"
# A file saved as UTF-8 loads, with one line saying so; convert says what it cannot keep (a
# name of an odd number of characters ends in a byte that is no GBK).
printf '注意, \r\n酒店名称:,湖畔大酒店, \r\n房型名称:,套房, \r\n房型编号:,12, \r\n主机型号:,3,0,0,3.联网485,0,0,0,162, \r\n' > "$WORK/utf8.shd"
"$CLI" info "$WORK/utf8.shd" > /dev/null 2> "$WORK/utf8.err"
check "a UTF-8 file still loads" [ $? -eq 0 ]
check "with one line naming it" [ "$(cat "$WORK/utf8.err")" = "$WORK/utf8.shd: 文件中有不是GBK编码的文字(可能是UTF-8文件),这些文字显示为乱码" ]
"$CLI" convert "$WORK/utf8.shd" -o "$WORK/utf8-copy.shd" > /dev/null 2> "$WORK/utf8-convert.err"
check "convert says the bytes cannot be kept" contains "$WORK/utf8-convert.err" "$WORK/utf8-copy.shd: 不是GBK编码的文字无法保留"
"$CLI" convert "$EXAMPLE" -o "$WORK/gbk-copy.shd" > /dev/null 2> "$WORK/gbk-convert.err"
check "a GBK file converts without a word" [ ! -s "$WORK/gbk-convert.err" ]

"$CLI" info "$WORK/missing.shd" > /dev/null 2>&1
check "a missing file exits 1" [ $? -eq 1 ]
"$CLI" info "$WORK/room.yml" > /dev/null 2>&1
check "a file that is not a room type exits 1" [ $? -eq 1 ]
# A suffix in capitals is still a room-type file; a file without a room type in it is refused
# by every command that reads one, with the reason.
cp "$EXAMPLE" "$WORK/ROOM1.SHD"
"$CLI" info "$WORK/ROOM1.SHD" > "$WORK/upper.out"
check "info opens ROOM1.SHD" [ $? -eq 0 ]
check "and prints its title text" contains "$WORK/upper.out" "酒店名称:云栖湖畔大酒店"
: > "$WORK/empty.shd"
head -c 3000 /dev/urandom > "$WORK/garbage.shd"
for c in info export-yml convert "frames --device 1 --op 2"; do
  "$CLI" ${c%% *} "$WORK/empty.shd" ${c#${c%% *}} > /dev/null 2> "$WORK/empty.err"
  check "${c%% *} refuses an empty file with exit 2" [ $? -eq 2 ]
  check "${c%% *} says why" [ "$(cat "$WORK/empty.err")" = "$WORK/empty.shd: 不是房型配置文件" ]
done
"$CLI" info "$WORK/garbage.shd" > /dev/null 2> "$WORK/garbage.err"
check "random bytes are refused with exit 2" [ $? -eq 2 ]
check "with the reason" contains "$WORK/garbage.err" "garbage.shd: 不是房型配置文件"
"$CLI" frames "$EXAMPLE" --device 40 --op 2 > /dev/null 2>&1
check "a bad argument exits 2" [ $? -eq 2 ]
"$CLI" frames "$EXAMPLE" --device 3 --op 2 > "$WORK/frames.out"
check "frames prints the read frame of device 3" [ "$(cat "$WORK/frames.out")" = "F1 F4 01 03 02 09 F4 F3 F4" ]
commands="info export-yml convert frames run"
if [ "$WINDOWS" = 1 ]; then
  commands="info export-yml convert frames"
  "$CLI" --help > "$WORK/help.out"
  check "--help says run and report are not in this build" contains "$WORK/help.out" "run (commissioning over a serial port) and report"
fi
for c in $commands; do
  "$CLI" $c --help > /dev/null
  check "$c --help" [ $? -eq 0 ]
done

finish
