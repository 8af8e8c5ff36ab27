#!/usr/bin/env bash
# Starts the desktop program with the example room type on the simulated bus.
set -eu
build=$1
example=$2
exe="$build/src/app/roomcfg"
if [ ! -x "$exe" ]; then
  echo "the desktop program is not built yet ($exe)"; exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. Start it under a virtual X server instead:"
  echo "  xvfb-run -a -s '-screen 0 1600x1000x24' $exe --simulate $example"
  exit 1
fi
exec "$exe" --simulate "$example"
