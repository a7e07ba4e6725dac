#!/usr/bin/env bash
# Builds the Debian package zk77q3-programmer_<version>_<arch>.deb in build/: installs the
# packaging tools that are missing (with apt-get), builds the everyday build that scripts/run.sh
# and scripts/test.sh use (optimised with line tables, as Debian builds its own packages; CPack
# strips the programs), checks the desktop entry and the AppStream metainfo, packs with CPack and
# lists what the package holds. After scripts/test.sh it only packs what is built already.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package

build=build
jobs=$(nproc 2>/dev/null || echo 2)
bash scripts/configure.sh -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$build" -j "$jobs"

# The programmer window and the monitor window.
for app_id in example.zk77q3.Programmer example.zk77q3.Monitor; do
  # desktop-file-validate still exits with 0 after some errors, so anything it says stops the
  # build.
  said=$(desktop-file-validate "packaging/$app_id.desktop" 2>&1) || true
  if [ -n "$said" ]; then
    echo "$said" >&2
    exit 1
  fi
  appstreamcli validate --no-net "packaging/$app_id.metainfo.xml"
done

rm -f "$build"/zk77q3-programmer_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/zk77q3-programmer_*.deb)
dpkg-deb --info "$deb"
dpkg-deb -c "$deb"
echo "Package: $deb"
