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

# Answers that come late, slowly, under another number, not adding up, or among chatter: never
# checked against the wrong device, never reported OK.
verify_with() {  # verify_with NAME SIM-FAULTS...: runs verify-all, leaves NAME.out/.err, sets rc
  local name=$1; shift
  start_sim --room "$EXAMPLE" "$@"
  "$CLI" run verify-all --port "$PORT" "$EXAMPLE" > "$WORK/$name.out" 2> "$WORK/$name.err"
  rc=$?
}
lacks() { ! grep -qF -- "$2" "$1"; }

verify_with late --late 3:3500
check "a late device gives exit 3" [ $rc -eq 3 ]
check "a late device is listed unread, nothing else" contains "$WORK/late.out" "未读到的编号:03 数据异常的编号:"
check "a late device is never OK" lacks "$WORK/late.out" "第03个面板OK"
check "the device after it is OK" contains "$WORK/late.out" "第04个面板OK  "

verify_with dribble --dribble 4:50
check "a dribbling device is listed unread, nothing else" contains "$WORK/dribble.out" "未读到的编号:04 数据异常的编号:"

verify_with wrong --wrong-number 3
check "a device answering under another number gives exit 3" [ $rc -eq 3 ]
check "it is listed unread" contains "$WORK/wrong.out" "未读到的编号:03 数据异常的编号:"
check "it is never OK" lacks "$WORK/wrong.out" "第03个面板OK"

verify_with checksum --bad-checksum 2
check "a bad checksum gives exit 3" [ $rc -eq 3 ]
check "a bad checksum is a difference" contains "$WORK/checksum.out" "第02个面板校验和异常"
check "a bad checksum is listed abnormal" contains "$WORK/checksum.out" "数据异常的编号:02 "

verify_with chatty --chatty 1:50
check "a chatty device does not hold the run" [ $rc -eq 0 ]
check "a chatty room verifies clean" contains "$WORK/chatty.out" "未读到的编号:数据异常的编号:"

verify_with mix --late 2:3200 --wrong-number 6:1 --chatty 7:40 --garbage 3 --bad-checksum 4
check "a mix of faults lists each silent device" contains "$WORK/mix.out" "未读到的编号:02 06 数据异常的编号:01 04 "

# Answers out of turn: device 1 answers under number 2, whose device is silent.
verify_with across --dribble 1:30 --wrong-number 1:2 --silent 2
check "an answer dribbled into the next turn vouches for nobody" lacks "$WORK/across.out" "第02个面板OK"
check "both are listed unread" contains "$WORK/across.out" "未读到的编号:01 02 "
verify_with grace --late 1:2300 --wrong-number 1:2 --silent 2
check "a late answer under another number vouches for nobody" lacks "$WORK/grace.out" "第02个面板OK"
verify_with twice --repeat 3
check "a number answered twice gives exit 3" [ $rc -eq 3 ]
check "it is a conflict" contains "$WORK/twice.out" "第03个面板编号冲突"
check "listed abnormal" contains "$WORK/twice.out" "数据异常的编号:03 "

# Broken answers cost the next device nothing.
verify_with cut --cut 2:30
check "an answer cut off is no answer" contains "$WORK/cut.out" "未读到的编号:02 数据异常的编号:"
check "the device after a cut answer is OK" contains "$WORK/cut.out" "第03个面板OK  "
verify_with stray --stray 2
check "a stray byte after an answer costs the next device nothing" [ $rc -eq 0 ]

# A room of short frames: six blocks a device, each once, in any order.
iconv -f GBK -t UTF-8 "$EXAMPLE" | sed '5s/^主机型号:,3,/主机型号:,5,/' | iconv -f UTF-8 -t GBK > "$WORK/short.shd"
"$CLI" info "$WORK/short.shd" > "$WORK/short.info" 2>&1
start_sim --room "$WORK/short.shd" --dribble 2:10
"$CLI" run read-all --port "$PORT" "$WORK/short.shd" -o "$WORK/short-read.shd" > "$WORK/short-read.out" 2>&1
rc=$?
"$CLI" info "$WORK/short-read.shd" > "$WORK/short-read.info" 2>&1
check "a slow short-frame device is read whole" [ $rc -eq 0 ]
check "and its record is what it holds" [ "$(sed -n 3p "$WORK/short-read.info")" = "$(sed -n 3p "$WORK/short.info")" ]
start_sim --room "$WORK/short.shd" --reorder 2
"$CLI" run verify-all --port "$PORT" "$WORK/short.shd" > "$WORK/short-order.out" 2>&1
check "blocks in another order verify clean" [ $? -eq 0 ]
start_sim --room "$WORK/short.shd" --repeat 2
"$CLI" run verify-all --port "$PORT" "$WORK/short.shd" > "$WORK/short-twice.out" 2>&1
check "a block repeated in place of another is never OK" lacks "$WORK/short-twice.out" "第02个面板OK"
check "the repeat is a difference" contains "$WORK/short-twice.out" "第02个面板第01块重复"
start_sim --room "$WORK/short.shd" --cut 2:10
"$CLI" run send-all --port "$PORT" "$WORK/short.shd" > "$WORK/short-send.out" 2>&1
check "a send whose block acknowledgements break off gives exit 3" [ $? -eq 3 ]
check "that device is listed" contains "$WORK/short-send.out" "未读到的编号:02 "

# A send all counts only acknowledgements that add up.
start_sim --room "$EXAMPLE" --bad-checksum 1
"$CLI" run send-all --port "$PORT" "$EXAMPLE" > "$WORK/send-sum.out" 2> "$WORK/send-sum.err"
rc=$?
check "a send acknowledged with a bad checksum gives exit 3" [ $rc -eq 3 ]
check "that device is listed" contains "$WORK/send-sum.out" "未读到的编号:01 "

# Faults that mean nothing are refused.
"$SIM" --wrong-number 2:0 > /dev/null 2> "$WORK/sim-zero.err"
check "answering under number 0 is refused" [ $? -ne 0 ]
check "and says why" contains "$WORK/sim-zero.err" "bad value for --wrong-number: 2:0"

# A read all never writes one device's data into another's, and writes nothing when nobody answered.
start_sim --room "$EXAMPLE" --wrong-number 3:2
"$CLI" run read-all --port "$PORT" "$EXAMPLE" -o "$WORK/wrong-read.shd" > "$WORK/wrong-read.out" 2>&1
"$CLI" info "$WORK/wrong-read.shd" > "$WORK/wrong-read.info" 2>&1
"$CLI" info "$EXAMPLE" > "$WORK/example.info" 2>&1
check "device 2 keeps its own data" [ "$(sed -n 3p "$WORK/wrong-read.info")" = "$(sed -n 3p "$WORK/example.info")" ]
check "number 2, claimed twice, is listed" contains "$WORK/wrong-read.out" "数据异常的编号:02 "
start_sim --room "$EXAMPLE" --late 1:2300 --wrong-number 1:2 --silent 2
"$CLI" run read-all --port "$PORT" "$EXAMPLE" -o "$WORK/grace-read.shd" > "$WORK/grace-read.out" 2>&1
"$CLI" info "$WORK/grace-read.shd" > "$WORK/grace-read.info" 2>&1
check "a late answer under number 2 is not read as device 2" lacks "$WORK/grace-read.out" "第02个面板读取完成"
check "device 2's record stays as it was" [ "$(sed -n 3p "$WORK/grace-read.info")" = "$(sed -n 3p "$WORK/example.info")" ]
start_sim --room "$EXAMPLE" --silent 1-32
"$CLI" run read-all --port "$PORT" "$EXAMPLE" -o "$WORK/nobody.shd" > "$WORK/nobody.out" 2> "$WORK/nobody.err"
rc=$?
check "a read all nobody answered gives exit 3" [ $rc -eq 3 ]
check "and writes nothing" [ ! -e "$WORK/nobody.shd" ]

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
check "a lost bus never reads as a completed run" lacks "$WORK/lost.out" "校验完成"
check "a lost bus says the run was cut short" contains "$WORK/lost.out" "校验中断: 串口断开"
check "and lists what it never served" contains "$WORK/lost.out" "未处理的编号:"

# A read all cut short writes nothing, and says so.
start_sim --silent 1-32
"$CLI" run read-all --port "$PORT" "$EXAMPLE" -o "$WORK/cut-read.shd" > "$WORK/cut-read.out" 2> "$WORK/cut-read.err" &
cli=$!
sleep 1.5
stop_sim
wait "$cli"
rc=$?
check "a read all cut short gives exit 2" [ $rc -eq 2 ]
check "and writes nothing" [ ! -e "$WORK/cut-read.shd" ]
check "and says so" contains "$WORK/cut-read.err" "not written"

finish
