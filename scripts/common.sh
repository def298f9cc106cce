# Shared by scripts/run, scripts/test and scripts/bench: packages, build, and a
# private virtual display with its own Wine session. Everything started here is
# remembered by process id and stopped again by quelmora_stop_session.

QUELMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export QUELMORA_BUILD="${QUELMORA_BUILD:-$QUELMORA_ROOT/build}"
# The Wine desktop fills the virtual display: the editor's default layout puts
# the preview and five tool windows side by side on 1280 x 1024.
QUELMORA_DESKTOP=1280x1024

quelmora_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the given Debian packages that are missing.
quelmora_ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    quelmora_as_root apt-get update -q
    quelmora_as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

quelmora_install_packages() {
  quelmora_ensure_packages g++ g++-mingw-w64-x86-64-posix cmake googletest \
    wine wine64 fonts-wine \
    xvfb xauth libgl1-mesa-dri libgl1 libxrender1 libxrandr2 libxi6 libxcursor1 \
    libxcomposite1 libxinerama1 libxxf86vm1 libxfixes3 libgnutls30 \
    x11-apps x11-utils xdotool libx11-dev imagemagick fonts-ipafont locales nlohmann-json3-dev \
    libz-mingw-w64-dev
  # Japanese for the program; English for the tests of a Windows that is not Japanese.
  local locale
  for locale in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$locale\.utf-\?8$"; then
      quelmora_as_root localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
    fi
  done
}

# Node and the Khronos glTF-Validator (npm), for the test of the glTF export.
# The package's exact version is in the lockfile; it goes into the build folder.
quelmora_install_gltf_validator() {
  command -v node >/dev/null && command -v npm >/dev/null || quelmora_ensure_packages nodejs npm
  local source="$QUELMORA_ROOT/tests/io/gltf-validator" target="$QUELMORA_BUILD/gltf-validator"
  mkdir -p "$target"
  if ! cmp -s "$source/package-lock.json" "$target/package-lock.json" || [ ! -d "$target/node_modules/gltf-validator" ]; then
    cp "$source/package.json" "$source/package-lock.json" "$target/"
    (cd "$target" && npm ci --no-audit --no-fund --loglevel=error)
  fi
  cp "$source/validate.js" "$target/"
}

quelmora_build() {
  cmake -S "$QUELMORA_ROOT" -B "$QUELMORA_BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$QUELMORA_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$QUELMORA_BUILD" -j "$(nproc)" "$@"
}

quelmora_wine_env() {
  export WINEPREFIX="$QUELMORA_BUILD/wineprefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Japanese, as the program's users have it; a test of another Windows
  # language sets QUELMORA_WINE_LANG.
  export LANG=${QUELMORA_WINE_LANG:-ja_JP.UTF-8} LC_ALL=${QUELMORA_WINE_LANG:-ja_JP.UTF-8}
  export MESA_SHADER_CACHE_DIR="$QUELMORA_BUILD/mesa-cache"
}

QUELMORA_XVFB_PID=
QUELMORA_KEEPER_PID=

# Starts a virtual display on a free number and points DISPLAY at it. Xvfb
# picks the number itself (-displayfd), so sessions started side by side never
# take the same one.
quelmora_start_display() {
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${QUELMORA_DESKTOP}x24" -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  QUELMORA_XVFB_PID=$!
  for _ in $(seq 100); do
    if [ -s "$numberFile" ]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$numberFile")"
      rm -f "$numberFile"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$numberFile"
  echo "Xvfb did not start" >&2
  return 1
}

# A new prefix gets a virtual desktop, so windows have title bars and message
# boxes show up in screenshots. The marker names the desktop size, so a prefix
# prepared for another size is brought up to date.
quelmora_prepare_prefix() {
  local marker="$WINEPREFIX/.quelmora-ready-$QUELMORA_DESKTOP"
  if [ ! -f "$marker" ]; then
    echo "Preparing the Wine prefix (once)..."
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$QUELMORA_DESKTOP" /f >/dev/null 2>&1
    wineserver -w
    touch "$marker"
  fi
  quelmora_set_csmt 0
}

# Wine's Direct3D command-stream thread spins against llvmpipe's rasteriser
# threads on a small machine: without it a frame takes about 0.6 times as long,
# with the same pixels. Set on every start, so older prefixes get it too and a
# benchmark that switched it on for comparison cannot leave it on.
quelmora_set_csmt() {
  wine reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# One long-lived Windows process keeps Wine's services up, so each test process
# does not pay for starting and stopping them. The ping returns once the desktop
# is up, so no later process (a test that CTest reads from) starts it.
quelmora_start_keeper() {
  wine "$QUELMORA_BUILD/quelmora_winhelper.exe" keep >/dev/null 2>&1 &
  QUELMORA_KEEPER_PID=$!
  wine "$QUELMORA_BUILD/quelmora_winhelper.exe" ping >/dev/null 2>&1 || true
}

quelmora_stop_session() {
  if [ -n "$QUELMORA_KEEPER_PID" ]; then
    kill "$QUELMORA_KEEPER_PID" 2>/dev/null || true
    wait "$QUELMORA_KEEPER_PID" 2>/dev/null || true
    QUELMORA_KEEPER_PID=
  fi
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$QUELMORA_XVFB_PID" ]; then
    kill "$QUELMORA_XVFB_PID" 2>/dev/null || true
    wait "$QUELMORA_XVFB_PID" 2>/dev/null || true
    QUELMORA_XVFB_PID=
  fi
}
