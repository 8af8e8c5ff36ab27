#!/usr/bin/env bash
# Send all, verify all and read all of the example room type against the simulated bus on a
# pseudo-terminal, with the command-line tool as the console.
. "$(dirname "$0")/lib.sh"

# An empty room type: what the program holds after start-up, as a file.
empty="$WORK/empty.shd"
printf '%s\r\n' "x, " "酒店名称:,, " "房型名称:,, " "房型编号:,1, " "主机型号:,3,0,0,3.x,0,0,0,162, " "S,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0, " \
  | iconv -f UTF-8 -t GBK > "$empty"

# A port given as a path relative to the current folder is that path, not a name under /dev.
mkdir "$WORK/bus"
start_sim --link "$WORK/bus/roombus"
for port in bus/roombus ./bus/roombus; do
  (cd "$WORK" && "$CLI" run check-devices --port "$port" "$EXAMPLE") > /dev/null 2> "$WORK/rel.err"
  check "a relative port $port opens" [ $? -ne 2 ]
done
(cd "$WORK/bus" && "$CLI" run check-devices --port roombus "$EXAMPLE") > /dev/null 2> "$WORK/rel.err"
check "a bare name that exists in the current folder opens" [ $? -ne 2 ]
"$CLI" run check-devices --port "$WORK/none/roombus" "$EXAMPLE" > /dev/null 2> "$WORK/none.err"
check "a missing port is reported as such" contains "$WORK/none.err" "$WORK/none/roombus: cannot open: 串口不存在 (No such file or directory)"

start_sim
"$CLI" run send-all --port "$PORT" "$EXAMPLE" > "$WORK/send.out" 2> "$WORK/send.err"
rc=$?
check "send all exits 0" [ $rc -eq 0 ]
check "send all ends with 发送完成" contains "$WORK/send.out" "发送完成"

"$CLI" run verify-all --port "$PORT" "$EXAMPLE" > "$WORK/verify.out" 2> "$WORK/verify.err"
rc=$?
check "verify all after send all exits 0" [ $rc -eq 0 ]
for d in 01 02 03 05 06 07; do
  check "device $d verified OK" contains "$WORK/verify.out" "第${d}个面板OK  "
done
check "verify all ends with 校验完成" contains "$WORK/verify.out" "校验完成"
check "no unread and no differences" contains "$WORK/verify.out" "未读到的编号:数据异常的编号:"

# Read the configured devices back into an empty room type.
"$CLI" run read-all --port "$PORT" --devices 1-7 "$empty" -o "$WORK/read.shd" \
  > "$WORK/read.out" 2> "$WORK/read.err"
rc=$?
check "read all exits 0" [ $rc -eq 0 ]
check "read all ends with 读取完成" contains "$WORK/read.out" "读取完成"
# Keys, outputs and scene codes come back; names are not part of a device's answer.
strip_names() { sed -E 's/  "[^"]*"  / /' | tail -n +2; }
"$CLI" info "$EXAMPLE" | strip_names > "$WORK/expected.txt"
"$CLI" info "$WORK/read.shd" | strip_names > "$WORK/actual.txt"
check "read back reproduces keys, outputs and scenes" diff -u "$WORK/expected.txt" "$WORK/actual.txt"

# A send all from a room type without devices would wipe device 1: it is refused, nothing is sent.
timeout 20 "$CLI" run send-all --port "$PORT" --devices 1-7 "$empty" > "$WORK/empty.out" 2> "$WORK/empty.err"
rc=$?
check "send all of an empty room type exits 2" [ $rc -eq 2 ]
check "the refusal says why" contains "$WORK/empty.err" "房型中没有在用的设备"
check "nothing was sent" [ ! -s "$WORK/empty.out" ]

finish
