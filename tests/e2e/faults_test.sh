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

# Answers that do not hold together: a glitch byte, another device type, two devices under one
# number. None is ever OK, and a read stores none of them.
run_with() {  # run_with NAME ACTION ROOM SIM-ARGS...: like verify_with; a read all writes NAME.shd
  local name=$1 action=$2 room=$3 out=()
  shift 3
  [ "$action" = read-all ] && out=(-o "$WORK/$name.shd")
  start_sim --room "$room" "$@"
  "$CLI" run "$action" --port "$PORT" "$room" "${out[@]}" > "$WORK/$name.out" 2> "$WORK/$name.err"
  rc=$?
}
# Device NN's record in READ is ORIGINAL's: a read of it would show (a read-back loses the dimmer
# levels of scenes), so no difference may name it.
kept() {  # kept ORIGINAL READ NN
  [ -s "$2" ] && ! "$CLI" diff "$1" "$2" | grep -qF "设备$3"
}
verify_with zero --zero 2:20
check "a glitch byte in an answer is a length error" contains "$WORK/zero.out" "第02个面板长度异常"
check "it is listed abnormal" contains "$WORK/zero.out" "数据异常的编号:02 "
check "it is never OK" lacks "$WORK/zero.out" "第02个面板OK"
run_with zero-read read-all "$EXAMPLE" --zero 2:20
check "a glitched answer is not read" lacks "$WORK/zero-read.out" "第02个面板读取完成"
check "nor stored" kept "$EXAMPLE" "$WORK/zero-read.shd" 02
verify_with kind --kind 7:2
check "a device of another type gives exit 3" [ $rc -eq 3 ]
check "it is a type mismatch" contains "$WORK/kind.out" "第07个面板类型不符"
check "listed abnormal" contains "$WORK/kind.out" "数据异常的编号:07 "
verify_with twin --twin 2
check "two devices answering at once under one number fail the run" [ $rc -ne 0 ]
check "they are never OK" lacks "$WORK/twin.out" "第02个面板OK"
verify_with twin-last --twin 7:150
check "a second talker after the last device gives exit 3" [ $rc -eq 3 ]
check "it is a conflict" contains "$WORK/twin-last.out" "第07个面板编号冲突"
check "listed abnormal" contains "$WORK/twin-last.out" "数据异常的编号:07 "
# Its first answer was whole and its own: the OK it printed is taken back by the conflict after it.
check "the conflict is the last word on it" [ "$(grep -E '第07个面板(OK|编号冲突)' "$WORK/twin-last.out" | tail -n 1)" = "第07个面板编号冲突" ]

# An adapter that echoes what is written changes nothing the installer sees.
same_run() {  # same_run A B: the same output (the -o path aside) and the same file written
  diff <(sed '/^wrote /d' "$WORK/$1.out") <(sed '/^wrote /d' "$WORK/$2.out") > /dev/null &&
    { [ ! -e "$WORK/$1.shd" ] || cmp -s "$WORK/$1.shd" "$WORK/$2.shd"; }
}
for action in send-all verify-all read-all; do
  run_with "plain-$action" "$action" "$EXAMPLE"
  plain=$rc
  run_with "echo-$action" "$action" "$EXAMPLE" --echo
  check "$action passes with and without echo" [ "$plain$rc" = 00 ]
  check "$action says the same with and without echo" same_run "plain-$action" "echo-$action"
done
run_with echo-silent verify-all "$EXAMPLE" --echo --silent 3 --verbose
check "a silent device over an echoing adapter lists the same" same_run silent echo-silent
check "the bus log shows the echo as such" contains "$WORK/sim.out" "echo      -> console F1 F4"

verify_with mix-answers --echo --zero 2:30 --late 4:3500 --twin 6 --chatty 1:50
never_ok() {  # never_ok FILE NN...
  local file=$1 n
  shift
  for n in "$@"; do lacks "$file" "第${n}个面板OK" || return 1; done
}
check "a mix of broken answers is never OK" never_ok "$WORK/mix-answers.out" 02 04 06

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
run_with short-twin read-all "$WORK/short.shd" --twin 2
check "blocks of two devices under one number are not read" lacks "$WORK/short-twin.out" "第02个面板读取完成"
check "nor stored" kept "$WORK/short.shd" "$WORK/short-twin.shd" 02
run_with short-echo verify-all "$WORK/short.shd" --echo
check "short frames verify clean over an echoing adapter" [ $rc -eq 0 ]

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
refused() {  # refused ARGS...: each argument alone is a usage error
  local arg
  for arg in "$@"; do
    timeout 5 "$SIM" $arg > /dev/null 2>&1
    [ $? -eq 2 ] || return 1
  done
}
check "glitch positions, device types and twin offsets out of range are refused" \
  refused "--zero 2:256" "--kind 7:0" "--kind 7:256" "--twin 2:5001" "--zero 2"

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
verify_then_pull "$PORT"
check "a lost bus gives exit 2" [ $rc -eq 2 ]
check "a lost bus is reported" contains "$WORK/lost.err" "port lost"
check "the run ends within a second ($took s)" awk "BEGIN { exit !($took < 1.0) }"
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
