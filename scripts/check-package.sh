#!/usr/bin/env bash
# Installs a built package as an operator would (apt, which brings its dependencies), then runs
# the command line and reads its manual page from where the package put them.
#   scripts/check-package.sh build/zk77q3-programmer_<version>_<arch>.deb
set -euo pipefail
deb=$1

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "$(realpath "$deb")"

# From the PATH, not from the build: the package's own programs.
hash -r
installed=$(command -v zk77q3)
case "$installed" in
  /usr/bin/zk77q3) ;;
  *)
    echo "zk77q3 is not the package's (found: ${installed:-nothing})" >&2
    exit 1
    ;;
esac
zk77q3 --version
# man's own formatting, as a terminal shows it; the NAME section proves the page was found.
page=$(MANPAGER=cat MANWIDTH=80 man zk77q3)
echo "$page" | head -n 20
echo "$page" | grep -q "zk77q3 - " || {
  echo "man zk77q3 did not show the package's page" >&2
  exit 1
}
# The whole round: the signal written, then decoded by the decoder behind verify, which the
# installed zk77q3 finds relative to itself.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
zk77q3 -C "$work" generate >/dev/null
zk77q3 -C "$work" verify _qq.wav | tail -n 1
echo "package checked: $(dpkg-query -W -f='${Package} ${Version}' zk77q3-programmer)"
