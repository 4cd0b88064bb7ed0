# What the tests and benchmarks on simulated computers share. Source it;
# it defines functions only.

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
