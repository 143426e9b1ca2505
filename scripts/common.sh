# Shared by run.sh and test.sh: sourced, not run.

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

# The art generator and the end-to-end harness need Debian's python3 (with
# python3-cairo and python3-xlib), whatever python3 comes first in PATH.
QV_CMAKE_COMMON=(-G Ninja -DPython3_EXECUTABLE=/usr/bin/python3)

# Configures and builds the Windows program for one architecture into
# build/ARCH, with its libraries built first into build/deps/ARCH.
build_windows() {
  local arch=$1 root=$2
  scripts/build-mingw-deps.sh "$arch" "$root/build/deps/$arch"
  cmake -S "$root" -B "$root/build/$arch" "${QV_CMAKE_COMMON[@]}" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DQV_DEPS_PREFIX="$root/build/deps/$arch" >/dev/null
  ninja -C "$root/build/$arch"
}

# Starts a private X display (Xvfb picks a free number) with openbox and
# xcompmgr; sets DISPLAY and QV_X_PIDS. Stop it with stop_private_display.
start_private_display() {
  local log=$1 fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset -nolisten tcp 3>"$fifo" >"$log" 2>&1 &
  QV_X_PIDS=($!)
  read -r -t 20 number <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start (see $log)" >&2; return 1; }
  rm -f "$fifo"
  export DISPLAY=:$number
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  openbox >>"$log" 2>&1 &
  QV_X_PIDS+=($!)
  xcompmgr >>"$log" 2>&1 &
  QV_X_PIDS+=($!)
}

stop_private_display() {
  local pid i
  for ((i = ${#QV_X_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${QV_X_PIDS[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  QV_X_PIDS=()
}
