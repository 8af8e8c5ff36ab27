#!/usr/bin/env bash
# The Windows build of roomcfg-cli under Wine against the Linux build: info, export-yml, convert
# and frames on the example and every test room type write the same bytes, and a path in
# Chinese on a Windows drive (D:\酒店\豪华大床房.shd) works.
# Arguments: the Windows build's wrapper, the Linux roomcfg-cli, the examples, the tests folder.
set -u
WIN_CLI=$1
LINUX_CLI=$2
EXAMPLES=$3
TESTS=$4
WORK=$(mktemp -d)
DRIVE="$WINEPREFIX/dosdevices/d:"
trap 'rm -rf "$WORK" "$DRIVE"' EXIT
failures=0
checks=0

check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  checks=$((checks + 1))
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}

# run SIDE CLI ARGS...: the command's exit code, standard output and error into SIDE's folder,
# which also takes the files it writes (the same relative names on both sides).
run() {
  local side=$1 cli=$2; shift 2
  (cd "$WORK/$side" && "$cli" "$@" > "$n.out" 2> "$n.err"; echo $? > "$n.rc")
  n=$((n + 1))
}

both() {
  local saved=$n
  run linux "$LINUX_CLI" "$@"
  # Under a loaded machine Wine itself now and then ends a start with 1 and no word; such a
  # start is tried again (twice at most) before the two sides are compared.
  for _ in 1 2 3; do
    n=$saved
    run windows "$WIN_CLI" "$@"
    cmp -s "$WORK/linux/$saved.rc" "$WORK/windows/$saved.rc" && break
    [ -s "$WORK/windows/$saved.out" ] || [ -s "$WORK/windows/$saved.err" ] && break
  done
}

mkdir "$WORK/linux" "$WORK/windows"
inputs=("$EXAMPLES"/*.shd "$TESTS"/data/shd/*.shd "$TESTS"/fuzz/corpus/shd/*)
n=0
for input in "${inputs[@]}"; do
  name=$(basename "$input" .shd)
  cp "$input" "$WORK/linux/$name.shd"
  cp "$input" "$WORK/windows/$name.shd"
  both info "$name.shd"
  both export-yml "$name.shd"
  both convert "$name.shd" -o "$name-copy.shd"
  both convert "$name.shd" -o "$name-as.hdq"
  for device in 1 3 36; do
    for op in 1 2 3 4 5 6; do both frames "$name.shd" --device "$device" --op "$op"; done
  done
  both frames "$name.shd" --device 2 --op 1 --any-key
done
echo "${#inputs[@]} room types, $n commands on each side"
check "every output, message, exit code and written file is the same" \
  diff -r "$WORK/linux" "$WORK/windows"
check "the room types were read (the comparison is not of errors only)" \
  [ "$(grep -l '^01  ' "$WORK"/linux/*.out | wc -l)" -ge 10 ]

# A Windows path in Chinese, as an installer types it, on a drive D: made for the test.
mkdir -p "$WORK/d/酒店"
cp "$EXAMPLES/grand-hotel-deluxe.shd" "$WORK/d/酒店/豪华大床房.shd"
ln -sfn "$WORK/d" "$DRIVE"
"$WIN_CLI" info 'D:\酒店\豪华大床房.shd' > "$WORK/d.out" 2>&1
check "info reads D:\\酒店\\豪华大床房.shd" grep -qF "房型:豪华大床房" "$WORK/d.out"
"$WIN_CLI" convert 'D:\酒店\豪华大床房.shd' -o 'D:\酒店\副本.hdq' > "$WORK/d.out" 2>&1
check "convert writes D:\\酒店\\副本.shd" cmp "$EXAMPLES/grand-hotel-deluxe.shd" "$WORK/d/酒店/副本.shd"
check "and says so in UTF-8" grep -qF 'wrote D:\酒店\副本.shd' "$WORK/d.out"
"$WIN_CLI" export-yml 'D:\酒店\豪华大床房.shd' > /dev/null 2>&1
check "export-yml writes D:\\酒店\\豪华大床房.yml" [ -s "$WORK/d/酒店/豪华大床房.yml" ]
"$WIN_CLI" convert 'D:\酒店\豪华大床房.shd' -o 'D:\酒店\副本.shd' > /dev/null 2> "$WORK/d.err"
check "and refuses to overwrite without --force" grep -qF 'D:\酒店\副本.shd: exists' "$WORK/d.err"
check "leaving nothing else in the folder" \
  [ "$(cd "$WORK/d/酒店" && ls | tr '\n' ' ')" = "副本.shd 豪华大床房.shd 豪华大床房.yml " ]

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
