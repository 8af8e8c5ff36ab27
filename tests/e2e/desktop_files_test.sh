#!/usr/bin/env bash
# The menu entry and the MIME type installed with the package: a file manager that reads them
# opens a .shd file with roomcfg.
. "$(dirname "$0")/lib.sh"
PACKAGING="$(cd "$(dirname "$0")/../../packaging" && pwd)"

declared=$(sed -n 's/^MimeType=//p' "$PACKAGING/roomcfg.desktop" | tr -d ';')
check "the desktop entry declares one type" [ -n "$declared" ]
check "the entry passes the file to the program" grep -q '^Exec=roomcfg %f$' "$PACKAGING/roomcfg.desktop"

if command -v update-mime-database > /dev/null; then
  mkdir -p "$WORK/mime/packages"
  cp "$PACKAGING/roomcfg-mime.xml" "$WORK/mime/packages/roomcfg.xml"
  XDG_DATA_HOME="$WORK" update-mime-database "$WORK/mime" > "$WORK/update.out" 2>&1
  check "the MIME database takes the definition" [ $? -eq 0 ]
  check "the definition gives no warning" [ ! -s "$WORK/update.out" ]
  check "*.shd is the declared type" grep -q ":$declared:\*\.shd$" "$WORK/mime/globs2"
  check "*.hdq is the declared type" grep -q ":$declared:\*\.hdq$" "$WORK/mime/globs2"
  check "the type is a kind of text" grep -q "^$declared text/plain$" "$WORK/mime/subclasses"
else
  echo "skip: update-mime-database is not installed"
fi
finish
