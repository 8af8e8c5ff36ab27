#!/usr/bin/env bash
# The bus behind a serial server on the network: roomcfg-cli with --port tcp://HOST:PORT against
# roombus-sim --tcp, with the same outcomes as over a pseudo-terminal.
. "$(dirname "$0")/lib.sh"

# start_tcp_sim ARGS...: starts the simulator listening on a free local port, sets TCP.
start_tcp_sim() {
  start_sim --tcp 127.0.0.1:0 "$@"
  TCP=""
  for _ in $(seq 1 100); do
    TCP=$(sed -n 2p "$WORK/sim.out" 2>/dev/null)
    [ -n "$TCP" ] && break
    sleep 0.05
  done
  [ -n "$TCP" ] || { echo "roombus-sim did not listen: $(cat "$WORK/sim.err")"; exit 1; }
}

empty="$WORK/empty.shd"
printf '%s\r\n' "x, " "酒店名称:,, " "房型名称:,, " "房型编号:,1, " "主机型号:,3,0,0,3.x,0,0,0,162, " "S,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0, " \
  | iconv -f UTF-8 -t GBK > "$empty"

start_tcp_sim
"$CLI" run send-all --port "$TCP" "$EXAMPLE" > "$WORK/send.out" 2> "$WORK/send.err"
check "send all over tcp exits 0" [ $? -eq 0 ]
check "send all over tcp ends with 发送完成" contains "$WORK/send.out" "发送完成"
"$CLI" run verify-all --port "$TCP" "$EXAMPLE" > "$WORK/verify.out" 2> "$WORK/verify.err"
check "verify all over tcp exits 0" [ $? -eq 0 ]
check "no unread and no differences" contains "$WORK/verify.out" "未读到的编号:数据异常的编号:"
"$CLI" run read-all --port "$TCP" --devices 1-7 "$empty" -o "$WORK/read.shd" > "$WORK/read.out" 2>&1
check "read all over tcp exits 0" [ $? -eq 0 ]
strip_names() { sed -E 's/  "[^"]*"  / /' | tail -n +2; }
"$CLI" info "$EXAMPLE" | strip_names > "$WORK/expected.txt"
"$CLI" info "$WORK/read.shd" | strip_names > "$WORK/actual.txt"
check "read back over tcp reproduces keys, outputs and scenes" diff -u "$WORK/expected.txt" "$WORK/actual.txt"

# The pty and the network serve the same bus: what tcp sent, the pty verifies.
"$CLI" run verify-all --port "$PORT" "$EXAMPLE" > "$WORK/pty.out" 2>&1
check "the pty sees what was sent over tcp" [ $? -eq 0 ]

# The faster ways work over the network too: a scan, send-verify with a retry.
start_tcp_sim --room "$EXAMPLE"
"$CLI" scan --port "$TCP" "$EXAMPLE" > "$WORK/scan.out" 2>&1
check "a scan over tcp finds the seven (exit 0)" [ $? -eq 0 ]
start_tcp_sim --room "$EXAMPLE" --miss 2:1
"$CLI" run send-verify --retry 1 --port "$TCP" "$EXAMPLE" > "$WORK/sv.out" 2> "$WORK/sv.err"
check "send-verify with a retry over tcp exits 0" [ $? -eq 0 ]
check "the device that missed its first request was retried" contains "$WORK/sv.err" "retry 02"

# A device that differs gives exit 3 over tcp as over a pty.
start_tcp_sim --room "$EXAMPLE" --corrupt 3
"$CLI" run verify-all --port "$TCP" "$EXAMPLE" > "$WORK/corrupt.out" 2>&1
check "a difference over tcp gives exit 3" [ $? -eq 3 ]

# The serial server goes away in the middle of a run: as a pulled adapter.
start_tcp_sim --silent 1-32
verify_then_pull "$TCP"
check "a lost connection gives exit 2" [ $rc -eq 2 ]
check "a lost connection is reported with its reason" contains "$WORK/lost.err" "port lost: 连接被对方关闭"
check "the run ends within a second ($took s)" awk "BEGIN { exit !($took < 1.0) }"
check "a lost connection says the run was cut short" contains "$WORK/lost.out" "校验中断"
check "and lists what it never served" contains "$WORK/lost.out" "未处理的编号:"

# Nobody listens: refused at once, with the reason. (The same port, now closed.)
started=$(date +%s.%N)
"$CLI" run verify-all --port "$TCP" "$EXAMPLE" > "$WORK/refused.out" 2> "$WORK/refused.err"
rc=$?
ended=$(date +%s.%N)
check "a port nobody listens on gives exit 2" [ $rc -eq 2 ]
check "and says the connection was refused" contains "$WORK/refused.err" "$TCP: cannot open: 连接被拒绝 (Connection refused)"
check "at once" awk "BEGIN { exit !($ended - $started < 1.0) }"
"$CLI" run verify-all --port tcp://127.0.0.1 "$EXAMPLE" > /dev/null 2> "$WORK/noport.err"
check "an address without a port gives exit 2" [ $? -eq 2 ]
check "and says what is missing" contains "$WORK/noport.err" "网络地址缺少端口号"

finish
