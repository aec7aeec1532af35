# Sourced by the commands that build the Windows program or run it under Wine.
#
# Two Windows trees come from the same sources: build/win32 (i686, the program
# we ship) and build/win64 (x86-64, a test vehicle that must give the same
# results). Which of them runs here follows the host: build/win32 under 32-bit
# Wine where the host runs 32-bit code, else build/win64 under 64-bit Wine
# (some kernels run 64-bit code only: there even the 32-bit Wine loader fails
# with "Exec format error"), and so where the 32-bit Wine is not installed
# (tools/setup goes on without it when it cannot be had). TALLYWAVE_WIN64=1
# takes the 64-bit way on any host, as if it ran no 32-bit code.
#
# One probe decides, once: the first command to ask exports the answer
# (TALLY_RUN_BUILD, TALLY_RUN_WHY), and the commands it starts take it over.

readonly TALLY_WINE32_LOADER=/usr/lib/wine/wine
readonly TALLY_WINE64_LOADER=/usr/lib/wine/wine64

# Sets and exports TALLY_RUN_BUILD (win32 or win64) and TALLY_RUN_WHY.
choose_run_build() {
  [ -z "${TALLY_RUN_BUILD:-}" ] || return 0
  local failure
  if [ "${TALLYWAVE_WIN64:-0}" = 1 ]; then
    TALLY_RUN_BUILD=win64 TALLY_RUN_WHY="TALLYWAVE_WIN64=1 asks for the 64-bit way"
  elif [ ! -e "$TALLY_WINE32_LOADER" ]; then
    TALLY_RUN_BUILD=win64 TALLY_RUN_WHY="the 32-bit Wine is not installed: no $TALLY_WINE32_LOADER"
  elif failure=$("$TALLY_WINE32_LOADER" --version 2>&1 >/dev/null); then
    TALLY_RUN_BUILD=win32 TALLY_RUN_WHY="this host runs 32-bit code"
  else
    failure=${failure##*: }  # the system's reason, without the shell's prefix
    TALLY_RUN_BUILD=win64
    TALLY_RUN_WHY="this host runs no 32-bit code: the 32-bit Wine loader fails with \"${failure:-no reason given}\""
  fi
  export TALLY_RUN_BUILD TALLY_RUN_WHY
}

# Which build runs and why, for the one line a command says about it.
run_build_line() {
  choose_run_build
  local wine="32-bit Wine"
  [ "$TALLY_RUN_BUILD" = win32 ] || wine="64-bit Wine"
  echo "build/$TALLY_RUN_BUILD under $wine ($TALLY_RUN_WHY)"
}

# Configures the Windows tree build/$1 (win32 or win64) as tools/build does;
# further arguments go to cmake. Quiet unless cmake fails.
configure_windows_tree() {
  local tree=$1 toolchain=mingw-i686 runs=OFF log
  shift
  [ "$tree" = win32 ] || toolchain=mingw-x86_64
  choose_run_build
  # The tree's programs are run here only where the host runs them: the
  # 64-bit ones always, the 32-bit ones where TALLY_RUN_BUILD says so.
  if [ "$tree" = win64 ] || [ "$TALLY_RUN_BUILD" = win32 ]; then runs=ON; fi
  log=$(cmake -S "$root" -B "$root/build/$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DTALLY_E2E_TESTS=ON \
    -DTALLY_RUNS_HERE=$runs "$@" 2>&1) || { echo "$log" >&2; return 1; }
}
