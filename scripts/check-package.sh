#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root and starts what it installed from there:
# roomcfg-cli --help, and roomcfg offscreen until its window is shown. The desktop program runs
# as an unprivileged user whose settings may only go to that user's configuration folder.
set -euo pipefail
deb=$1
root=$(mktemp -d)
chmod 755 "$root"  # the unprivileged user below must reach the programs
trap 'rm -rf "$root"' EXIT
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends):'
dpkg -x "$deb" "$root"
for f in usr/bin/roomcfg usr/bin/roomcfg-cli usr/bin/roombus-sim \
         usr/share/applications/roomcfg.desktop usr/share/pixmaps/roomcfg.xpm \
         usr/share/mime/packages/roomcfg.xml; do
  [ -e "$root/$f" ] || { echo "missing from the package: /$f"; exit 1; }
done

"$root/usr/bin/roomcfg-cli" --help >/dev/null
echo "roomcfg-cli --help: ok"

home="$root/home"
mkdir -p "$home"
run=(env HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen)
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$home"
  run=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${run[@]}")
fi
timeout 60 "${run[@]}" "$root/usr/bin/roomcfg" --exit-when-shown
echo "roomcfg offscreen: ok"
if [ -n "$(find "$root/usr/bin" -newer "$deb" -name 'setinfo*' -print -quit)" ]; then
  echo "settings were written beside the installed program"; exit 1
fi
