#!/usr/bin/env bash
# roomcfg-cli diff: the lines, the exit codes and the JSON form.
. "$(dirname "$0")/lib.sh"

"$CLI" diff "$EXAMPLE" "$EXAMPLE" > "$WORK/same.out"
check "a file against itself exits 0" [ $? -eq 0 ]
check "and prints nothing" [ ! -s "$WORK/same.out" ]

# One key (device 3 key 2), one scene state (device 1 in 51) and one lamp name changed.
iconv -f GBK -t UTF-8 "$EXAMPLE" \
  | sed -e 's/^K,3,床头右,1,25,22,/K,3,床头右,1,25,21,/' \
        -e '/^K,1,/s/,51,10,238,/,51,0,238,/' \
        -e 's/^22号,右阅读,/22号,右阅读灯,/' \
  | iconv -f UTF-8 -t GBK > "$WORK/changed.shd"
"$CLI" diff "$EXAMPLE" "$WORK/changed.shd" > "$WORK/changed.out"
check "three changes exit 1" [ $? -eq 1 ]
printf '%s\n' "灯名 022: 右阅读 → 右阅读灯" \
  "情景 明亮模式 设备01 输出1: 廊灯:开 → 廊灯:关" \
  "设备03 按键2: 022.右阅读 → 021.左阅读" > "$WORK/expected.out"
check "and print exactly their three lines" cmp "$WORK/expected.out" "$WORK/changed.out"

"$CLI" diff "$EXAMPLE" "$WORK/changed.shd" --json > "$WORK/changed.json"
check "--json exits 1 too" [ $? -eq 1 ]
check "--json is JSON with the three differences" python3 -c '
import json, sys
d = json.load(open(sys.argv[1]))
assert d["equal"] is False
assert [x["group"] for x in d["differences"]] == ["灯名", "设备01", "设备03"]
assert d["differences"][2]["text"] == "设备03 按键2: 022.右阅读 → 021.左阅读"
assert d["differences"][2] == {"group": "设备03", "device": 3, "field": "按键2", "before": "022.右阅读",
                               "after": "021.左阅读", "text": "设备03 按键2: 022.右阅读 → 021.左阅读"}
assert d["differences"][0]["device"] == 0 and d["differences"][0]["field"] == "灯名 022"
' "$WORK/changed.json"
check "no line ends in a blank" [ "$(grep -c ' $' "$WORK/changed.out")" -eq 0 ]

# The version of the file is a difference of its own.
sed 's/,162, /,150, /' "$EXAMPLE" > "$WORK/v150.shd"
"$CLI" diff "$EXAMPLE" "$WORK/v150.shd" > "$WORK/version.out"
check "a version change exits 1" [ $? -eq 1 ]
check "and shows as its own line" [ "$(cat "$WORK/version.out")" = "配置文件版本: 1.6.2 → 1.5.0" ]
# So is the S line's first field, which Open does not keep.
sed 's/^S,1,/S,7,/' "$EXAMPLE" > "$WORK/s7.shd"
"$CLI" diff "$EXAMPLE" "$WORK/s7.shd" > "$WORK/s7.out"
check "an S line change exits 1" [ $? -eq 1 ]
check "and shows as its own line" [ "$(cat "$WORK/s7.out")" = "S行首字段: 1 → 7" ]
"$CLI" diff "$EXAMPLE" "$EXAMPLE" --json > "$WORK/same.json"
check "--json of equal files says so" python3 -c '
import json, sys
assert json.load(open(sys.argv[1])) == {"equal": True, "differences": []}' "$WORK/same.json"

"$CLI" diff "$EXAMPLE" "$WORK/missing.shd" > /dev/null 2> "$WORK/missing.err"
check "a file that cannot be read exits 2" [ $? -eq 2 ]
check "with the reason" contains "$WORK/missing.err" "$WORK/missing.shd: cannot read:"
sed 's/,162, /,163, /' "$EXAMPLE" > "$WORK/newer.shd"
"$CLI" diff "$WORK/newer.shd" "$EXAMPLE" > /dev/null 2> "$WORK/newer.err"
check "a refused file exits 2" [ $? -eq 2 ]
check "with the program's message" contains "$WORK/newer.err" "软件版本低,请用1.6.3及以上版本打开!"
# Files without a room type in them are not two equal default room types.
: > "$WORK/empty.shd"
head -c 3000 /dev/urandom > "$WORK/garbage.shd"
"$CLI" diff "$WORK/empty.shd" "$WORK/garbage.shd" > "$WORK/empty.out" 2> "$WORK/empty.err"
check "diff of an empty file and random bytes exits 2" [ $? -eq 2 ]
check "naming both files" [ "$(cat "$WORK/empty.err")" = "$(printf '%s\n' "$WORK/empty.shd: 不是房型配置文件" "$WORK/garbage.shd: 不是房型配置文件")" ]
check "and prints no difference" [ ! -s "$WORK/empty.out" ]

finish
