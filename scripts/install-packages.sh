#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages named on the command line that are missing:
# as root, or through sudo when it is there; otherwise prints the command.
set -e
command -v dpkg-query >/dev/null 2>&1 || exit 0
missing=""
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  sudo=""
elif command -v sudo >/dev/null 2>&1; then
  sudo="sudo"
else
  echo "Missing Debian packages; as root, run: apt-get update && apt-get install -y$missing" >&2
  exit 1
fi
echo "Installing Debian packages:$missing"
$sudo apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq$missing >/dev/null
