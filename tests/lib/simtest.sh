# shellcheck shell=bash
# What the shell tests and benchmarks share, those on simulated computers
# above all. Source it; it defines functions only.

# Exits 77 (ctest's skip) with the reason.
skip() {
  echo "skipped: $*"
  exit 77
}

# Skips unless this machine can bring simulated computers up.
need_simulated_computers() {
  local tool
  [ "$(id -u)" -eq 0 ] || skip "needs root"
  ip netns list >/dev/null 2>&1 || skip "ip netns is unavailable"
  for tool in Xvfb wine wineserver nsenter unshare "$@"; do
    command -v "$tool" >/dev/null || skip "no $tool"
  done
}

# Runs COMMAND and reports it as WHAT; counts the failures in $failures.
failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

# Whether process $1 runs (a child that ended stays a zombie until waited for).
running() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat:0:1}" != Z ]
}

# Polls COMMAND every 50 ms for at most SECONDS.
wait_for() {
  local tries=$(($1 * 20))
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.05
  done
}

# A Unix path as a Windows program under Wine sees it.
winpath() {
  printf 'Z:%s' "${1//\//\\}"
}

# A run on simulated computers: a scratch folder $work with the computers'
# state in $dir, and an exit that ends every process listed in $background
# (the caller appends the pids it starts), brings the computers down and
# removes the folder. NAME names the folder.
sim_session() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  dir=$work/sim
  background=()
  trap sim_end EXIT
  trap 'exit 1' INT TERM HUP
}
sim_end() {
  local pid
  for pid in "${background[@]}"; do
    running "$pid" && kill "$pid" 2>/dev/null
  done
  wait 2>/dev/null
  netsim_down "$dir" >/dev/null 2>&1
  rm -rf "$work"
  return 0
}

# A Windows program on computer K, in the foreground; its output without CRs.
on_computer() {
  local k=$1
  shift
  netsim_run "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$@" </dev/null | tr -d '\r'
}

# A Windows program on computer K in the background, its output added to
# $work/background.log; its pid joins $background and is left in $started.
on_computer_in_background() {
  local k=$1
  shift
  netsim_exec "$dir" "$k" "$TOLVARAN_ROOT/scripts/wine-run" "$@" </dev/null >>"$work/background.log" 2>&1 &
  started=$!
  background+=("$started")
}

# Waits at most SECONDS for background process PID to end; its exit code,
# or 124 (and it is ended) when it takes longer.
finish() {
  local seconds=$1 pid=$2
  if ! wait_for "$seconds" eval '! running '"$pid"; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 124
  fi
  wait "$pid"
}
