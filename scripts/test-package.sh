#!/usr/bin/env bash
# Builds the Debian package from the release build and treats it as a
# teacher's machine would: lintian, desktop-file-validate and appstreamcli on
# what it holds; apt installs it; sumlark-cli runs from PATH; the installed
# window program starts offscreen until its main window is painted; apt purges
# it, and none of its files may be left. Prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

scripts/install-deps.sh lintian desktop-file-utils appstream dpkg-dev file emscripten nodejs

root=()
if [ "$(id -u)" -ne 0 ]; then
  root=(sudo)
fi
apt_get() {
  DEBIAN_FRONTEND=noninteractive "${root[@]}" apt-get "$@"
}
installed() {
  dpkg-query -W -f='${Status}' sumlark 2>/dev/null | grep -q "install ok installed"
}

# The page's zip library, from web/package-lock.json.
command -v npm >/dev/null || scripts/install-deps.sh npm
(cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund >/dev/null)
cmake --preset wasm >/dev/null
cmake --build --preset wasm --target web
cmake --preset release -DSUMLARK_WEB_DIR="$PWD/build/wasm/web" >/dev/null
cmake --build --preset release --target sumlark sumlark-cli sumlark_packaging_files sumlark_startup_probe
rm -f build/release/sumlark_*.deb
(cd build/release && cpack -G DEB >/dev/null)
debs=(build/release/sumlark_*.deb)
deb=$PWD/${debs[0]}
echo "package: $deb"

scratch=$(mktemp -d)
cleanup() {
  if installed; then apt_get purge -y -qq sumlark >/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "== what the package holds"
lintian --fail-on error --tag-display-limit 0 "$deb"
dpkg-deb -x "$deb" "$scratch/tree"
desktop-file-validate "$scratch"/tree/usr/share/applications/*.desktop
appstreamcli validate --no-net "$scratch"/tree/usr/share/metainfo/*.metainfo.xml
dpkg-deb -c "$deb"

echo "== installed with apt"
if installed; then
  echo "an earlier sumlark package was still installed; purging it first"
  apt_get purge -y -qq sumlark >/dev/null
fi
apt_get install -y -qq --no-install-recommends "$deb" >/dev/null
dpkg-query -L sumlark >"$scratch/files"

[ "$(command -v sumlark-cli)" = /usr/bin/sumlark-cli ]
sumlark-cli -V | grep -q "小学Sumlark 命令行版"
mkdir "$scratch/work"
(cd "$scratch/work" && sumlark-cli --seed 7 --count 40 --numbered --pdf -o 一班)
for sheet in 速算答题.txt 速算答题-答案.txt 速算答题.pdf 速算答题-答案.pdf; do
  [ -s "$scratch/work/一班/$sheet" ] || { echo "sumlark-cli left no $sheet" >&2; exit 1; }
done
pdffonts "$scratch/work/一班/速算答题.pdf" | grep -qi "wqy\|microhei" || { echo "the PDF has no CJK font" >&2; exit 1; }
bash -c 'source /usr/share/bash-completion/completions/sumlark-cli && complete -p sumlark-cli' >/dev/null
man -w sumlark-cli >/dev/null
# The ready-made plans are found where the package put them, and one makes its sheets.
sumlark-cli --list-plans | grep -qx "表内乘法"
(cd "$scratch/work" && sumlark-cli --plan 表内乘法 --seed 7 -o 乘法 >/dev/null)
# The installed web page's engine makes the sheet sumlark-cli made.
[ -s /usr/share/sumlark/web/index.html ] || { echo "the package holds no web page" >&2; exit 1; }
node --input-type=module -e "
  const {makeSheets} = await import('/usr/share/sumlark/web/sumlark.mjs');
  process.stdout.write((await makeSheets({seed: '7', count: '40', numbered: true})).question);" >"$scratch/web.txt"
cmp "$scratch/web.txt" "$scratch/work/一班/速算答题.txt" ||
  { echo "the installed web page made another sheet" >&2; exit 1; }

# The probe ends the program at the main window's first paint; as root, with a
# home of its own, and nothing may appear beside the program or in documents.
mkdir "$scratch/home"
HOME=$scratch/home XDG_CONFIG_HOME= SUMLARK_PROBE_T0=$(date +%s%N) SUMLARK_PROBE_OUT=$scratch/shown \
  QT_QPA_PLATFORM=offscreen LD_PRELOAD=$PWD/build/release/bench/libsumlark_startup_probe.so \
  timeout 60 sumlark >"$scratch/window.log" 2>&1 || true
if [ ! -s "$scratch/shown" ]; then
  echo "the installed sumlark did not show its main window within 60 s:" >&2
  cat "$scratch/window.log" >&2
  exit 1
fi
echo "installed sumlark showed its main window after $(cat "$scratch/shown") ms"
[ -z "$(find "$scratch/home" -mindepth 1 -name '速算练习')" ] || { echo "starting made the sheet folder" >&2; exit 1; }

echo "== purged with apt"
apt_get purge -y -qq sumlark >/dev/null
if dpkg-query -W -f='${Status}' sumlark 2>/dev/null | grep -qv "not-installed"; then
  echo "sumlark is still known to dpkg: $(dpkg-query -W -f='${Status}' sumlark)" >&2
  exit 1
fi
left=0
while IFS= read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # Shared folders such as /usr/share/man/man1 stay for their other owners.
  if [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then
    continue
  fi
  echo "left after purge: $path" >&2
  left=1
done <"$scratch/files"
[ "$left" -eq 0 ]

echo "package checks passed in $((SECONDS - started)) s"
