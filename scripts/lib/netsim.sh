# shellcheck shell=bash
# Simulated computers for network tests: several "computers" on this one
# machine, each with its own network namespace, host name, X display, Wine
# prefix and wineserver, joined by a bridge that reaches nothing outside.
# See docs/SIMULATED-COMPUTERS.md. Needs root, iproute2 and util-linux.
#
# Source it for netsim_up, netsim_run, netsim_exec and netsim_down; it defines
# functions only and leaves the caller's shell options and traps alone (each
# function runs in a subshell of its own, except netsim_exec, which replaces
# it). The helpers hand results back on standard output or by their status,
# never through variables.

NETSIM_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${TOLVARAN_ROOT:=$(dirname "$(dirname "$NETSIM_LIB")")}"
# shellcheck source=scripts/lib/wine.sh
source "$NETSIM_LIB/wine.sh"

# Subnet claims of the runs on this machine (see _netsim_claim_subnet).
NETSIM_CLAIMS=/run/tvsim

_netsim_err() {
  echo "netsim: $*" >&2
}

# The functions check every step themselves; a caller's "set -euo pipefail"
# would make their subshells end at the first expected failure.
_netsim_plain() {
  set +e +u +o pipefail
}

# ---------------------------------------------------------------- names

# The state folder's absolute path, whether it still exists or not.
_netsim_realdir() {
  realpath -m -- "$1"
}

# Namespace names start with this: derived from the state folder, so runs
# with different folders never meet.
_netsim_prefix() {
  printf 'tvsim%s' "$(printf '%s' "$1" | sha1sum | cut -c1-8)"
}

# The network namespace of computer $2 of the run in folder $1.
_netsim_netns() {
  printf '%s-%s' "$(_netsim_prefix "$1")" "$2"
}

# The file that keeps computer $2's host-name namespace.
_netsim_uts() {
  printf '%s/%s/uts' "$1" "$2"
}

# Field 22 of /proc/PID/stat: with the pid, it names one process for good.
_netsim_starttime() {
  local stat fields
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  read -r -a fields <<<"$stat"
  printf '%s' "${fields[19]}"
}

# Whether process $1 runs (a zombie waits for its parent, the caller's
# shell perhaps, but has ended).
_netsim_alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat:0:1}" != Z ]
}

# ---------------------------------------------------------------- subnet

# Claims $NETSIM_CLAIMS/subnet-$3 for the run ($1 its prefix, $2 its folder)
# by creating the file exclusively.
_netsim_try_claim() {
  # Down removes the folder when it empties: make it each time.
  mkdir -p "$NETSIM_CLAIMS" || return 1
  (set -C; echo "$1 $2" >"$NETSIM_CLAIMS/subnet-$3") 2>/dev/null
}

# Whether claim file $1 was left by a run that never came down: its bridge
# is gone and the claim is over a minute old.
_netsim_claim_is_stale() {
  local owner
  owner=$(cut -d' ' -f1 "$1" 2>/dev/null) || return 1
  [ -n "$owner" ] && [ ! -e "/run/netns/$owner-br" ] && [ -n "$(find "$1" -mmin +1 2>/dev/null)" ]
}

# Prints the third byte X of 10.213.X.0/24 claimed for the run ($1 its
# prefix, $2 its folder). The bridges of two runs are separate, so equal
# addresses would not meet on the wire; distinct ones keep logs and captures
# of simultaneous runs apart. The first try comes from the folder's hash; a
# stale claim is taken over.
_netsim_claim_subnet() {
  local prefix=$1 real=$2 hash start i x
  hash=$(printf '%s' "$real" | sha1sum | cut -c9-10)
  start=$((16#$hash))
  for ((i = 0; i < 256; i++)); do
    x=$(((start + i) % 256))
    if _netsim_try_claim "$prefix" "$real" "$x"; then
      echo "$x"
      return 0
    fi
    if _netsim_claim_is_stale "$NETSIM_CLAIMS/subnet-$x"; then
      rm -f "$NETSIM_CLAIMS/subnet-$x"
      if _netsim_try_claim "$prefix" "$real" "$x"; then
        echo "$x"
        return 0
      fi
    fi
  done
  _netsim_err "no free subnet in 10.213.0.0/16"
  return 1
}

# Drops the subnet claims of the run with prefix $1.
_netsim_release_claims() {
  local claim
  for claim in "$NETSIM_CLAIMS"/subnet-*; do
    [ -f "$claim" ] || continue
    [ "$(cut -d' ' -f1 "$claim" 2>/dev/null)" = "$1" ] && rm -f "$claim"
  done
  rmdir "$NETSIM_CLAIMS" 2>/dev/null
  return 0
}

# ---------------------------------------------------------------- run

# Prints the line of computer $2 in the hosts file of folder $1 (absolute):
#   k NAME ADDRESS DISPLAY PREFIX HOME NETNS UTSFILE
_netsim_lookup() {
  local real=$1 want=$2 line
  if [ ! -f "$real/hosts" ]; then
    _netsim_err "$real has no simulated computers (no hosts file)"
    return 1
  fi
  line=$(awk -v k="$want" '$1 == k { print; exit }' "$real/hosts")
  if [ -z "$line" ]; then
    _netsim_err "$real has no computer $want"
    return 1
  fi
  echo "$line"
}

# Sets the environment of a computer in the current shell: folder $1,
# display $2, prefix $3, home $4.
_netsim_export() {
  export DISPLAY="$2" WINEPREFIX="$3" HOME="$4"
  export TOLVARAN_WINEPREFIX="$3" TOLVARAN_WINEHOME="$4"
  export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
  # Marks every process of the run, so that down finds strays by it.
  export NETSIM_DIR="$1"
}

# netsim_exec DIR K COMMAND [ARGS...]: becomes COMMAND inside computer K.
# Replaces the current shell: meant for "netsim_exec ... &", whose $! is
# then the command's own pid (ip, nsenter and the command exec in turn).
netsim_exec() {
  if [ $# -lt 3 ]; then
    _netsim_err "usage: run DIR K COMMAND [ARGS...]"
    return 2
  fi
  local real line k display prefix home netns uts
  real=$(_netsim_realdir "$1")
  line=$(_netsim_lookup "$real" "$2") || return 2
  shift 2
  read -r k _ _ display prefix home netns uts <<<"$line"
  if [ ! -e "/run/netns/$netns" ]; then
    _netsim_err "computer $k of $real is down"
    return 2
  fi
  _netsim_export "$real" "$display" "$prefix" "$home"
  exec ip netns exec "$netns" nsenter --uts="$uts" -- "$@"
}

# netsim_run DIR K COMMAND [ARGS...]: runs COMMAND inside computer K and
# returns its exit code.
netsim_run() {
  (netsim_exec "$@")
}

# ---------------------------------------------------------------- display

# Whether display number $1 is taken: a lock file, a socket file, or an
# abstract socket in this namespace.
_netsim_display_taken() {
  [ -e "/tmp/.X$1-lock" ] || [ -e "/tmp/.X11-unix/X$1" ] || grep -q " @/tmp/.X11-unix/X$1\$" /proc/net/unix
}

# Starts Xvfb as display $2 inside computer $3 of folder $1, claiming the
# number by its lock file. Succeeds when Xvfb reports that number; the pid
# and start time go to DIR/k/xvfb.pid.
_netsim_try_display() {
  local real=$1 n=$2 k=$3 home="$1/$3" fifo="$1/$3/displayfd" number="" job status
  rm -f "$fifo"
  mkfifo "$fifo" || return 1
  # Noted first, so that down finds the lock file however this ends.
  echo ":$n" >"$home/display"
  # shellcheck disable=SC2016  # expanded by the inner shell
  ip netns exec "$(_netsim_netns "$real" "$k")" nsenter --uts="$(_netsim_uts "$real" "$k")" -- sh -c '
    (set -C; printf "%10d\n" $$ >"/tmp/.X$1-lock") 2>/dev/null || exit 99
    echo $$ >"$2"
    exec Xvfb ":$1" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp' \
    sh "$n" "$home/xvfb.pid.new" 3>"$fifo" </dev/null >"$home/xvfb.log" 2>&1 &
  job=$!
  read -r -t 10 number <"$fifo"
  rm -f "$fifo"
  if [ "$number" = "$n" ]; then
    echo "$(cat "$home/xvfb.pid.new") $(_netsim_starttime "$(cat "$home/xvfb.pid.new")")" >"$home/xvfb.pid"
    rm -f "$home/xvfb.pid.new"
    return 0
  fi
  # Taken meanwhile (99), or Xvfb failed on this number.
  kill "$job" 2>/dev/null
  wait "$job"
  status=$?
  [ "$status" -ne 99 ] && rm -f "/tmp/.X$n-lock"
  rm -f "$home/xvfb.pid.new"
  return 1
}

# Starts the display of computer $2 of folder $1, trying numbers from $3 up:
# DIR/k/display and DIR/k/xvfb.pid.
#
# Xvfb finds a free number by binding the abstract socket @/tmp/.X11-unix/XN,
# which belongs to the network namespace: in a fresh one every number looks
# free, and it would take over another display's socket file in
# /tmp/.X11-unix. So the number is chosen here and claimed by writing the
# lock file exclusively, the way X servers do (with -displayfd Xvfb writes
# none of its own).
_netsim_start_display() {
  local real=$1 k=$2 first=$3 n
  local deadline=$((SECONDS + 15))
  for ((n = first; n < first + 40 && SECONDS < deadline; n++)); do
    _netsim_display_taken "$n" && continue
    _netsim_try_display "$real" "$n" "$k" && return 0
  done
  _netsim_err "Xvfb did not start (see $real/$k/xvfb.log)"
  return 1
}

# ---------------------------------------------------------------- up

# Mounts computer $2's prefix over made prefix $3, in folder $1. A copy on
# write: a prefix is over a gigabyte (Wine puts its PE DLLs in it), and
# three full copies at once take ten seconds or more. Where an overlay
# cannot be mounted, a full copy.
_netsim_mount_prefix() {
  local home="$1/$2" made=$3
  mkdir -p "$home/upper" "$home/work" "$home/prefix" "$home/home" || return 1
  if ! mount -t overlay overlay -o "lowerdir=$made,upperdir=$home/upper,workdir=$home/work" "$home/prefix" 2>/dev/null; then
    rmdir "$home/prefix" "$home/upper" "$home/work"
    if ! timeout 60 cp -a "$made" "$home/prefix"; then
      _netsim_err "could not copy $made"
      return 1
    fi
  fi
  # Debian's wine notes the server's private /tmp folder in the prefix: each
  # copy gets its own.
  rm -f "$home/prefix/wineserver"
}

# Starts computer $2's wineserver and a first Wine process, so that Wine's
# service processes are running before any caller's pipes are around to be
# inherited. Each may take NETSIM_WARMUP_TIMEOUT seconds (20).
_netsim_start_wine() (
  local real=$1 k=$2 home="$1/$2"
  local warmup=${NETSIM_WARMUP_TIMEOUT:-20}
  local enter=(ip netns exec "$(_netsim_netns "$real" "$k")" nsenter --uts="$(_netsim_uts "$real" "$k")" --)
  _netsim_export "$real" "$(cat "$home/display")" "$home/prefix" "$home/home"
  if ! timeout 10 "${enter[@]}" wineserver -p </dev/null >>"$home/wine.log" 2>&1; then
    _netsim_err "wineserver of computer $k did not start"
    return 1
  fi
  if ! timeout "$warmup" "${enter[@]}" wine cmd /c exit </dev/null >>"$home/wine.log" 2>&1; then
    _netsim_err "Wine did not start on computer $k within ${warmup}s (see $home/wine.log)"
    return 1
  fi
)

# Brings computer $2 of folder $1 up after its network, from made prefix $3
# on subnet $4: the display first (a wineserver started without one never
# makes windows), then the prefix and Wine. Displays of simultaneous runs
# start apart; "Xvfb -displayfd" elsewhere takes the lowest free numbers.
_netsim_start_computer() {
  local real=$1 k=$2 made=$3 subnet=$4
  _netsim_start_display "$real" "$k" $((100 + subnet * 16 + k - 1)) &&
    _netsim_mount_prefix "$real" "$k" "$made" &&
    _netsim_start_wine "$real" "$k"
}

# The /etc/hosts of every computer on subnet $1 of $2 computers.
_netsim_hosts_file() {
  local subnet=$1 count=$2 k
  echo "127.0.0.1 localhost"
  echo "::1 localhost"
  for ((k = 1; k <= count; k++)); do
    echo "10.213.$subnet.$k TVSIM$k tvsim$k"
  done
}

# Makes the bridge namespace $1-br with its bridge br0.
_netsim_make_bridge() {
  local bridge="$1-br"
  if ! { ip netns add "$bridge" &&
    ip -n "$bridge" link set lo up &&
    ip -n "$bridge" link add br0 type bridge &&
    ip -n "$bridge" link set br0 up; }; then
    _netsim_err "could not make the bridge"
    return 1
  fi
}

# Makes computer $2's network namespace in folder $1, on subnet $3, with
# its port on the bridge. eth0 is made in the bridge's namespace and moved
# at once: no name of the run ever appears in the machine's own namespace.
_netsim_make_network() {
  local real=$1 k=$2 subnet=$3 ns bridge
  ns=$(_netsim_netns "$real" "$k")
  bridge="$(_netsim_prefix "$real")-br"
  if ! { ip netns add "$ns" &&
    ip -n "$ns" link set lo up &&
    ip -n "$bridge" link add "p$k" type veth peer name eth0 netns "$ns" &&
    ip -n "$bridge" link set "p$k" master br0 up &&
    ip -n "$ns" addr add "10.213.$subnet.$k/24" broadcast "10.213.$subnet.255" dev eth0 &&
    ip -n "$ns" link set eth0 up &&
    # Without a default route, sending to 255.255.255.255 fails (ENETUNREACH).
    ip -n "$ns" route add default dev eth0; }; then
    _netsim_err "could not make the network of computer $k"
    return 1
  fi
}

# Gives computer $2 of $4 in folder $1 (subnet $3) its name lookup and host
# name. ip netns exec mounts /etc/netns/NS/hosts and resolv.conf over the
# machine's. A name server on the loopback answers at once that there is
# none; without it, every cold Wine start waits seconds for a DNS time-out.
_netsim_name_computer() {
  local real=$1 k=$2 subnet=$3 count=$4 ns
  ns=$(_netsim_netns "$real" "$k")
  mkdir -p "/etc/netns/$ns" &&
    _netsim_hosts_file "$subnet" "$count" >"/etc/netns/$ns/hosts" &&
    echo "nameserver 127.0.0.1" >"/etc/netns/$ns/resolv.conf" || return 1
  mkdir -p "$real/$k" && touch "$(_netsim_uts "$real" "$k")" || return 1
  if ! unshare --uts="$(_netsim_uts "$real" "$k")" hostname "TVSIM$k"; then
    _netsim_err "could not make the host name namespace of computer $k"
    return 1
  fi
}

# Starts computers 1 to $4 of folder $1 from made prefix $2 on subnet $3,
# side by side: most of the time goes to Wine. What they have to say waits
# until all are through, so that an interrupted up does not report the
# failures its own teardown causes.
_netsim_start_all() {
  local real=$1 made=$2 subnet=$3 count=$4 k pid pids=() failed=""
  for ((k = 1; k <= count; k++)); do
    _netsim_start_computer "$real" "$k" "$made" "$subnet" 2>"$real/$k/errors" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || failed=yes
  done
  cat "$real"/[0-9]*/errors >&2
  rm -f "$real"/[0-9]*/errors
  [ -z "$failed" ]
}

# Writes the hosts file of folder $1 (subnet $2, $3 computers), last: it
# exists only after an up that worked.
_netsim_write_hosts() {
  local real=$1 subnet=$2 count=$3 k
  : >"$real/hosts.new" || return 1
  for ((k = 1; k <= count; k++)); do
    echo "$k TVSIM$k 10.213.$subnet.$k $(cat "$real/$k/display") $real/$k/prefix $real/$k/home" \
      "$(_netsim_netns "$real" "$k") $(_netsim_uts "$real" "$k")" >>"$real/hosts.new"
  done
  mv "$real/hosts.new" "$real/hosts"
}

# Checks up's arguments: folder $1 (absolute), count $2.
_netsim_check_up() {
  local real=$1 count=$2
  if ! [[ "$count" =~ ^[0-9]+$ ]] || [ "$count" -lt 1 ] || [ "$count" -gt 254 ]; then
    _netsim_err "COUNT must be 1 to 254, not '$count'"
    return 2
  fi
  if [ "$(id -u)" -ne 0 ]; then
    _netsim_err "needs root (network namespaces)"
    return 1
  fi
  # DIR/hosts has one line per computer, fields separated by blanks.
  if [[ "$real" =~ [[:space:]] ]]; then
    _netsim_err "DIR must not contain blanks: '$real'"
    return 2
  fi
  if [ -e "$real" ] && [ -n "$(ls -A "$real" 2>/dev/null)" ]; then
    _netsim_err "$real is not empty"
    return 1
  fi
  if compgen -G "/run/netns/$(_netsim_prefix "$real")-*" >/dev/null; then
    _netsim_err "namespaces of an earlier run in $real are still there: run down $real first"
    return 1
  fi
}

# Prints the made prefix to start from: $1, or the default one, made when
# missing.
_netsim_made_prefix() {
  local made=${1:-$TOLVARAN_ROOT/build/wine/made-prefix}
  if [ -z "${1:-}" ]; then
    _netsim_make_default "$made" || return 1
  fi
  if [ ! -f "$made/system.reg" ]; then
    _netsim_err "$made is not a Wine prefix"
    return 1
  fi
  # cp -a would copy a link to the prefix, not the prefix.
  realpath "$made"
}

# netsim_up DIR COUNT [MADE_PREFIX]
netsim_up() {
  (_netsim_plain; _netsim_up "$@")
}

_netsim_up() {
  if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    _netsim_err "usage: up DIR COUNT [MADE_PREFIX]"
    return 2
  fi
  local real count=$2 made prefix subnet k status
  real=$(_netsim_realdir "$1")
  _netsim_check_up "$real" "$count" || { status=$?; return "$status"; }
  made=$(_netsim_made_prefix "${3:-}") || return 1
  prefix=$(_netsim_prefix "$real")
  mkdir -p "$real" || return 1
  # The run's mark (see _netsim_export) on up itself: a down from elsewhere
  # while up is still working ends it too.
  export NETSIM_DIR="$real"

  # From here on, whatever fails takes down what was made, computers still
  # starting first. The trap runs after this function has returned: it names
  # the folder itself.
  _netsim_up_done=""
  # shellcheck disable=SC2064  # the folder is fixed now, the rest when it runs
  trap "[ -n \"\$_netsim_up_done\" ] || { kill \$(jobs -p) 2>/dev/null; wait; netsim_down $(printf '%q' "$real") >/dev/null 2>&1; }" EXIT
  trap 'exit 1' INT TERM HUP

  subnet=$(_netsim_claim_subnet "$prefix" "$real") || return 1
  _netsim_make_bridge "$prefix" || return 1
  for ((k = 1; k <= count; k++)); do
    _netsim_make_network "$real" "$k" "$subnet" || return 1
    _netsim_name_computer "$real" "$k" "$subnet" "$count" || return 1
  done
  _netsim_start_all "$real" "$made" "$subnet" "$count" || return 1
  _netsim_write_hosts "$real" "$subnet" "$count" || return 1
  _netsim_up_done=yes
}

# Makes the default prefix once, on a display of its own; several runs
# starting at once make it one after the other.
_netsim_make_default() {
  local made=$1
  mkdir -p "$(dirname "$made")" || return 1
  (
    exec 9>"$made.lock"
    if ! flock -w 120 9; then
      _netsim_err "waited too long for $made"
      exit 1
    fi
    if [ -f "$made/.tolvaran-made-by" ] && [ "$(cat "$made/.tolvaran-made-by")" = "$(wine --version)" ]; then
      exit 0
    fi
    trap stop_display EXIT
    start_display || exit 1
    make_prefix "$made" >/dev/null || exit 1
    # Its server has ended and is never started again here: its private
    # folder goes (see _netsim_mount_prefix).
    _netsim_remove_server_folder "$made"
  )
}

# ---------------------------------------------------------------- down

# Ends the processes in $@ (TERM, then KILL), waiting a bounded time.
_netsim_end_pids() {
  local pid tries signal alive=()
  [ $# -gt 0 ] || return 0
  kill -TERM "$@" 2>/dev/null
  for signal in KILL ""; do
    for ((tries = 0; tries < 20; tries++)); do
      alive=()
      for pid in "$@"; do
        _netsim_alive "$pid" && alive+=("$pid")
      done
      [ ${#alive[@]} -eq 0 ] && return 0
      sleep 0.1
    done
    [ -n "$signal" ] && kill "-$signal" "${alive[@]}" 2>/dev/null
  done
  _netsim_err "processes still alive: ${alive[*]}"
  return 1
}

# Processes carrying the run's mark (NETSIM_DIR).
_netsim_marked_pids() {
  grep -lzx -F "NETSIM_DIR=$1" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3
}

# This process and its ancestors, blank-separated: never to be ended by down
# (an up that failed calls down, and carries the mark itself).
_netsim_ancestors() {
  local p=$BASHPID mine=" "
  while [ -n "$p" ] && [ "$p" -gt 1 ]; do
    mine+="$p "
    p=$(awk '/^PPid:/ { print $2 }' "/proc/$p/status" 2>/dev/null)
  done
  echo "$mine"
}

# The run's network namespaces (folder $1), one a line.
_netsim_namespaces() {
  local ns
  for ns in /run/netns/"$(_netsim_prefix "$1")"-*; do
    [ -e "$ns" ] && echo "${ns#/run/netns/}"
  done
}

# Each computer's server ends its Wine processes; they save their registry
# on the way. Not once a prefix is unmounted: Debian's wineserver would make
# a new private folder for it.
_netsim_stop_servers() {
  local home pid waits=()
  for home in "$1"/[0-9]*; do
    [ -f "$home/prefix/system.reg" ] || continue
    (
      export WINEPREFIX="$home/prefix" HOME="$home/home"
      timeout 3 wineserver -k >/dev/null 2>&1
      timeout 4 wineserver -w >/dev/null 2>&1
    ) &
    waits+=($!)
  done
  for pid in "${waits[@]}"; do
    wait "$pid"
  done
}

# Every process of the run in folder $1, one a line: its displays (by
# recorded pid and start time), whatever is inside its namespaces, and what
# carries its mark.
_netsim_run_pids() {
  local real=$1 home pid start ns
  for home in "$real"/[0-9]*; do
    [ -f "$home/xvfb.pid" ] || continue
    read -r pid start <"$home/xvfb.pid"
    [ -n "$pid" ] && [ "$(_netsim_starttime "$pid")" = "$start" ] && echo "$pid"
  done
  for ns in $(_netsim_namespaces "$real"); do
    ip netns pids "$ns" 2>/dev/null
  done
  _netsim_marked_pids "$real"
}

# Ends the run's processes $@, except this one and its ancestors.
_netsim_end_run() {
  local mine pid ending=()
  mine=$(_netsim_ancestors)
  for pid in $(printf '%s\n' "$@" | sort -un); do
    [[ "$mine" == *" $pid "* ]] || ending+=("$pid")
  done
  _netsim_end_pids "${ending[@]}"
}

# The displays' lock files were written for them (see _netsim_try_display);
# Xvfb removes its socket file when it ends in time, not when killed. A lock
# goes when its process has ended and it is for a number the run in folder
# $1 tried, or names one of the run's processes $2... (its files in DIR may
# be gone).
_netsim_remove_locks() {
  local real=$1 home lock pid number tried=" "
  shift
  for home in "$real"/[0-9]*; do
    [ -f "$home/display" ] && tried+="$(cut -c2- "$home/display") "
  done
  for lock in /tmp/.X*-lock; do
    [ -f "$lock" ] || continue
    pid=$(tr -d ' ' 2>/dev/null <"$lock")
    number=${lock#/tmp/.X}
    number=${number%-lock}
    if { [[ "$tried" == *" $number "* ]] || [[ " $* " == *" $pid "* ]]; } &&
      [ -n "$pid" ] && ! _netsim_alive "$pid"; then
      rm -f "$lock" "/tmp/.X11-unix/X$number"
    fi
  done
}

# Deletes the run's namespaces (folder $1) and their /etc/netns entries.
_netsim_delete_namespaces() {
  local real=$1 ns status=0
  for ns in $(_netsim_namespaces "$real"); do
    ip netns del "$ns" 2>/dev/null || { _netsim_err "could not delete namespace $ns"; status=1; }
  done
  for ns in /etc/netns/"$(_netsim_prefix "$real")"-*; do
    [ -e "$ns" ] && rm -rf "$ns"
  done
  # Only when empty, so never while another run is making its entry.
  rmdir /etc/netns 2>/dev/null
  return "$status"
}

# The server's private folder that prefix $1 names (see _netsim_mount_prefix).
_netsim_remove_server_folder() {
  local name
  [ -f "$1/wineserver" ] || return 0
  name=$(cat "$1/wineserver")
  if [[ "$name" =~ ^wine-[A-Za-z0-9]+$ ]]; then
    rm -rf "/tmp/$name"
    [ -n "${TMPDIR:-}" ] && rm -rf "${TMPDIR:?}/$name"
  fi
  rm -f "$1/wineserver"
}

# Unmounts computer folder $1's prefix and host-name file (deleting that).
# What the computer changed in its prefix stays in DIR/k/upper.
_netsim_unmount_computer() {
  local home=$1 status=0
  if [ -d "$home/prefix" ] && mountpoint -q "$home/prefix"; then
    umount "$home/prefix" 2>/dev/null || umount -l "$home/prefix" 2>/dev/null ||
      { _netsim_err "could not unmount $home/prefix"; status=1; }
  fi
  if [ -e "$home/uts" ]; then
    if mountpoint -q "$home/uts"; then
      umount "$home/uts" 2>/dev/null || { _netsim_err "could not unmount $home/uts"; status=1; }
    fi
    rm -f "$home/uts"
  fi
  return "$status"
}

# netsim_down DIR
netsim_down() {
  (_netsim_plain; _netsim_down "$@")
}

_netsim_down() {
  if [ $# -ne 1 ]; then
    _netsim_err "usage: down DIR"
    return 2
  fi
  local real home status=0 pids=()
  real=$(_netsim_realdir "$1")
  _netsim_stop_servers "$real"
  mapfile -t pids < <(_netsim_run_pids "$real")
  _netsim_end_run "${pids[@]}" || status=1
  _netsim_remove_locks "$real" "${pids[@]}"
  _netsim_delete_namespaces "$real" || status=1
  for home in "$real"/[0-9]*; do
    [ -d "$home" ] || continue
    _netsim_remove_server_folder "$home/prefix"
    _netsim_unmount_computer "$home" || status=1
  done
  _netsim_release_claims "$(_netsim_prefix "$real")"
  return "$status"
}
