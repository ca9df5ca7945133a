#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The release archives as a user meets them: each unpacked apart, the engine
# inside runs bench 5 (the Windows ones under Wine, the page's and both of
# the npm package's under Node) and must count the nodes the Linux one counts;
# then the checksums, and lintian on the package (no error). Usage: check-archives.sh DIST_DIR, with WINE and
# WINESERVER naming Wine's loader and server. The 32-bit Windows engine needs
# Wine's 32-bit loader (wine32), beside WINE, and a kernel that runs 32-bit
# programs: on a kernel without, it runs in the emulated machine of
# tests/cross/x86-vm (make x86-vm), which gets a copy of DIST_DIR.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
dist=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0 skipped=0
verdict() {  # NAME STATUS DETAIL
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); echo "ok   $1: $3"; else failed=$((failed + 1)); echo "FAIL $1: $3"; fi
}
# The one archive whose name ends so, unpacked into $work/NAME; its folder.
unpack() {
  set -- "$1" "$dist"/solvane[-_]*[-_]"$1"
  mkdir -p "$work/$1"
  case $2 in
    *.zip) python3 -m zipfile -e "$2" "$work/$1" ;;
    *.tar.gz) tar -xzf "$2" -C "$work/$1" ;;
    *.deb) dpkg-deb -x "$2" "$work/$1" && echo "$work/$1" && return ;;
  esac && echo "$work/$1/$(basename "$2" | sed 's/\.\(zip\|tar\.gz\)$//')"
}
# NAME COMMAND...: the node total of COMMAND bench 5 (Windows ends its lines with CR LF).
total() {
  name=$1; shift
  "$@" bench 5 </dev/null >"$work/$name.out" 2>&1
  tr -d '\r' <"$work/$name.out" | sed -n 's/^Nodes searched: //p'
}
check() {  # NAME COMMAND...
  n=$(total "$@")
  [ -n "$n" ] && [ "$n" = "$expected" ]
  verdict "$1" $? "bench 5 counts ${n:-nothing} nodes$([ -n "$n" ] || echo ": $(tail -3 "$work/$1.out")")"
}

linux=$(unpack linux-x86_64.tar.gz)
expected=$(total linux "$linux/solvane")
[ -n "$expected" ] && [ -f "$linux/solvane.6" ]
verdict linux-x86_64 $? "bench 5 counts ${expected:-nothing} nodes, manual page beside it"

windows=$(unpack windows.zip)
"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -p
check windows-x64 "$WINE" "$windows/solvane-x64.exe"
wine32=$(dirname "$WINE")/wine
"$wine32" --version >/dev/null 2>&1
if [ $? -eq 126 ]; then
  # ARGS: the archive's 32-bit engine with ARGS, in the emulated machine.
  in_x86_vm() {
    X86_VM_DIST=$dist "$root/tests/cross/x86-vm" "python3 -m zipfile -e dist/$(basename "$dist"/solvane-*-windows.zip) \
      /tmp/zip && SOLVANE_EXE=\$(ls /tmp/zip/*/solvane-x86.exe) tests/cross/wine-solvane $*"
  }
  check windows-x86 in_x86_vm
else
  check windows-x86 "$WINE" "$windows/solvane-x86.exe"
fi
"$WINESERVER" -k

web=$(unpack web.tar.gz)
SOLVANE_WASM_JS=$web/solvane.js check web "$root/tests/web/solvane-node"
# The hosting note names each header the test server sends.
missing=$(sed -n 's/.*send_header("\(Cross-Origin-[^"]*\)", "\([^"]*\)").*/\1: \2/p' "$root/web/serve.py" |
  while read -r header; do grep -qF "$header" "$web/SERVING.txt" || echo "$header"; done)
[ -z "$missing" ] && [ -f "$web/index.html" ]
verdict web-hosting $? "${missing:-SERVING.txt names the headers of web/serve.py}"

# The npm package: its engine, both builds, under Node; its version the engine's.
mkdir -p "$work/npm" && tar -xzf "$dist"/solvane-[0-9]*.tgz -C "$work/npm"
for build in threads single; do
  check "npm-$build" node "$work/npm/package/cli.mjs" $([ $build = single ] && echo --single)
done
version=$(node -p "require('$work/npm/package/package.json').version")
[ "$(basename "$dist"/solvane-[0-9]*.tgz)" = "solvane-$version.tgz" ] && [ "$version" = "$("$linux/solvane" --version)" ]
verdict npm-version $? "package.json says $version"

deb=$(unpack amd64.deb)
check deb "$deb/usr/games/solvane"
lintian --fail-on error "$dist"/*.deb >"$work/lintian.out" 2>&1
verdict lintian $? "$(grep -c '^[EWI]:' "$work/lintian.out") tags, none an error$(grep '^[EW]:' "$work/lintian.out" | sed 's/^/\n  /')"

(cd "$dist" && sha256sum --quiet -c SHA256SUMS)
verdict SHA256SUMS $? "$(wc -l <"$dist/SHA256SUMS") files"

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
