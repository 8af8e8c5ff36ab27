#!/usr/bin/env bash
# roomcfg-cli's writes and reads as a hostile or unlucky user meets them: odd files beside the
# target, two writers at once, a kill before the rename, a full disk, odd and huge inputs.
. "$(dirname "$0")/lib.sh"
KILL_AT_RENAME=${3:-}  # (none for the Windows build)
# Targets go to their own folder, so that whatever a write leaves behind shows there.
LOG=$WORK
mkdir "$WORK/out" && cd "$WORK/out" || exit 1

# others_than NAME: the entries of the folder besides NAME and this script's inputs.
others_than() { ls -A | grep -v -x -e "$1" -e 'in-.*' -e 'victim' | tr '\n' ' '; }

# The names a fixed temporary file would use hold a symlink, a file or a folder: none of them
# is opened, followed or replaced, and the target gets the whole new file.
echo "victim" > victim
kinds="symlink file folder"
if [ "$WINDOWS" = 1 ]; then
  kinds="file folder"
  skip "a symlink named out.shd.part" "symlinks are a Linux test here"
fi
for kind in $kinds; do
  rm -rf out.shd out.shd.part
  case $kind in
    symlink) ln -s victim out.shd.part ;;
    file) echo "keep" > out.shd.part ;;
    folder) mkdir out.shd.part ;;
  esac
  "$CLI" convert "$EXAMPLE" -o out.shd > /dev/null 2> "$LOG/$kind.err"
  check "a $kind named out.shd.part: the write succeeds" cmp "$EXAMPLE" out.shd
  check "a $kind named out.shd.part: it is untouched" \
    bash -c "case $kind in symlink) [ -L out.shd.part ];; file) [ \"\$(cat out.shd.part)\" = keep ];; folder) [ -d out.shd.part ];; esac"
  check "a $kind named out.shd.part: nothing else is left" [ "$(others_than out.shd)" = "out.shd.part " ]
done
check "the symlink's file is untouched" [ "$(cat victim)" = "victim" ]
rm -rf out.shd out.shd.part

# A target that is a symlink: the file it points to gets the new content, the link stays.
if [ "$WINDOWS" = 1 ]; then
  skip "a symlinked target" "symlinks are a Linux test here"
else
  mkdir -p elsewhere && echo "old" > elsewhere/real.shd && ln -s elsewhere/real.shd linked.shd
  "$CLI" convert "$EXAMPLE" -o linked.shd --force > /dev/null
  check "a symlinked target stays a symlink" [ -L linked.shd ]
  check "the file it points to is replaced" cmp "$EXAMPLE" elsewhere/real.shd
  rm -rf elsewhere linked.shd
fi

# Two writers on one target at once: the result is always one of the two files, whole.
# The second file is shorter, so that a write into the other's half-written file shows.
sed 's/云栖湖畔大酒店/另一家酒店/' "$EXAMPLE" | LC_ALL=C grep -a -v '^K,[2-7],' > in-b.shd
"$CLI" convert in-b.shd -o in-b-norm.shd > /dev/null
# Under Wine each start costs a tenth of a second or more: fewer rounds.
rounds=200
[ "$WINDOWS" = 1 ] && rounds=40
mixed=0
for i in $(seq 1 $rounds); do
  "$CLI" convert "$EXAMPLE" -o race.shd --force > /dev/null 2>&1 &
  "$CLI" convert in-b-norm.shd -o race.shd --force > /dev/null 2>&1 &
  wait
  cmp -s race.shd "$EXAMPLE" || cmp -s race.shd in-b-norm.shd || mixed=$((mixed + 1))
done
check "$rounds races of two writers: every result is one whole file" [ "$mixed" -eq 0 ]
check "the races leave no temporary file" [ "$(others_than race.shd)" = "" ]
rm -f race.shd in-b-norm.shd

# Killed between writing and renaming: the target is intact, one uniquely named file is left.
if [ "$WINDOWS" = 1 ]; then
  skip "a kill before the rename" "the kill is preloaded into the Linux build"
else
  echo "old" > killed.shd
  # (in a subshell, whose report of the kill goes nowhere)
  (LD_PRELOAD=$KILL_AT_RENAME "$CLI" convert "$EXAMPLE" -o killed.shd --force > /dev/null
   echo $? > "$LOG/killed.rc") 2> /dev/null
  check "the preloaded kill ends the writer" [ "$(cat "$LOG/killed.rc")" -eq 137 ]
  check "a kill before the rename keeps the old file" [ "$(cat killed.shd)" = "old" ]
  left=$(others_than killed.shd)
  check "and leaves one uniquely named file beside it" \
    bash -c "[[ '$left' =~ ^killed\.shd\.[A-Za-z0-9]{6}\ \$ ]]"
  "$CLI" convert "$EXAMPLE" -o killed.shd --force > /dev/null
  check "the next write succeeds" cmp "$EXAMPLE" killed.shd
  rm -f killed.shd*
fi

# A full disk part-way through a 3 KB file (a 1 KB file-size limit stands in for it).
echo "old" > full.shd
# Under Wine the limit must not reach the Wine server, which a first start would start with it:
# one start just before keeps it running.
[ "$WINDOWS" = 1 ] && "$CLI" --help > /dev/null
(ulimit -f 1; trap '' XFSZ; exec "$CLI" convert "$EXAMPLE" -o full.shd --force) > /dev/null 2> "$LOG/full.err"
check "a full disk exits 1" [ $? -eq 1 ]
# (Wine reports the limit as an invalid argument, a PC a full disk in its own words)
reason="File too large"
[ "$WINDOWS" = 1 ] && reason=""
check "and says why" contains "$LOG/full.err" "full.shd: cannot write: $reason"
check "and keeps the old file" [ "$(cat full.shd)" = "old" ]
check "and leaves no temporary file" [ "$(others_than full.shd)" = "" ]
rm -f full.shd

# Inputs that are no room-type file: refused at once, whatever they would do when read.
inputs="fifo zero huge"
if [ "$WINDOWS" = 1 ]; then
  inputs="huge"
  skip "a FIFO and a device as input" "Linux has them, Windows has no such files"
else
  mkfifo fifo.shd
  ln -s /dev/zero zero.shd
fi
truncate -s 100M huge.shd
# "Within a second" counts from what a start that does nothing takes (a tenth of a second or
# more under Wine on a busy machine).
start=$(date +%s.%N)
"$CLI" --help > /dev/null
startup=$(awk "BEGIN { print $(date +%s.%N) - $start }")
for input in $inputs; do
  start=$(date +%s.%N)
  timeout 10 "$CLI" info "$input.shd" > /dev/null 2> "$LOG/$input.err"
  rc=$?
  end=$(date +%s.%N)
  check "$input.shd is refused with exit 1" [ $rc -eq 1 ]
  check "$input.shd is refused within a second" awk "BEGIN { exit !($end - $start < $startup + 1.0) }"
done
if [ "$WINDOWS" != 1 ]; then
  check "a FIFO is named for what it is" contains "$LOG/fifo.err" "fifo.shd: cannot read: not a regular file"
  check "a device is named for what it is" contains "$LOG/zero.err" "zero.shd: cannot read: not a regular file"
fi
check "a huge file says the limit" contains "$LOG/huge.err" "huge.shd: cannot read: larger than 4 MB"
rm -f fifo.shd zero.shd huge.shd

finish
