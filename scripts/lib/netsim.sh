# Simulated computers for network tests: several "computers" on this one
# machine, each with its own network namespace, host name, X display, Wine
# prefix and wineserver, joined by a bridge that reaches nothing outside.
# See docs/SIMULATED-COMPUTERS.md. Needs root, iproute2 and util-linux.
#
# Source it for netsim_up, netsim_run, netsim_exec and netsim_down; it defines
# functions only and leaves the caller's shell options alone (each function
# runs in a subshell of its own, except netsim_exec, which replaces it).

NETSIM_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${TOLVARAN_ROOT:=$(dirname "$(dirname "$NETSIM_LIB")")}"
source "$NETSIM_LIB/wine.sh"

# Subnet claims of the runs on this machine (see _netsim_claim_subnet).
NETSIM_CLAIMS=/run/tvsim

_netsim_err() {
  echo "netsim: $*" >&2
}

# The state folder's absolute path, whether it still exists or not.
_netsim_realdir() {
  realpath -m -- "$1"
}

# Namespace names start with this: derived from the state folder, so runs
# with different folders never meet.
_netsim_prefix() {
  printf 'tvsim%s' "$(printf '%s' "$1" | sha1sum | cut -c1-8)"
}

# Field 22 of /proc/PID/stat: with the pid, it names one process for good.
_netsim_starttime() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  set -- $stat
  printf '%s' "${20}"
}

# Picks the third byte X of 10.213.X.0/24 for a run and claims it in
# $NETSIM_CLAIMS/subnet-X (created exclusively). The bridges of two runs are
# separate, so equal addresses would not meet on the wire; distinct ones keep
# logs and captures of simultaneous runs apart. The first try comes from the
# folder's hash. A claim whose run has no bridge any more and that is over a
# minute old was left by a run that never came down: it is taken over.
_netsim_claim_subnet() {
  local prefix=$1 real=$2 hash start i x claim owner
  hash=$(printf '%s' "$real" | sha1sum | cut -c9-10)
  start=$((16#$hash))
  for ((i = 0; i < 256; i++)); do
    x=$(((start + i) % 256))
    claim="$NETSIM_CLAIMS/subnet-$x"
    # Down removes the folder when it empties: make it each time.
    mkdir -p "$NETSIM_CLAIMS" || return 1
    if (set -C; echo "$prefix $real" >"$claim") 2>/dev/null; then
      echo "$x"
      return 0
    fi
    owner=$(cut -d' ' -f1 "$claim" 2>/dev/null) || continue
    if [ -n "$owner" ] && [ ! -e "/run/netns/$owner-br" ] && [ -n "$(find "$claim" -mmin +1 2>/dev/null)" ]; then
      rm -f "$claim"
      if (set -C; echo "$prefix $real" >"$claim") 2>/dev/null; then
        echo "$x"
        return 0
      fi
    fi
  done
  _netsim_err "no free subnet in 10.213.0.0/16"
  return 1
}

# Sets the environment of a computer (the NS_* variables, from DIR/hosts by
# _netsim_lookup) in the current shell.
_netsim_export() {
  export DISPLAY="$NS_DISPLAY" WINEPREFIX="$NS_PREFIX" HOME="$NS_HOME"
  export TOLVARAN_WINEPREFIX="$NS_PREFIX" TOLVARAN_WINEHOME="$NS_HOME"
  export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
  # Marks every process of the run, so that down finds strays by it.
  export NETSIM_DIR="$NS_DIR"
}

# Reads computer K of DIR from DIR/hosts into NS_* variables.
_netsim_lookup() {
  local dir=$1 want=$2 k name addr display prefix home netns uts
  NS_DIR=$(_netsim_realdir "$dir")
  if [ ! -f "$NS_DIR/hosts" ]; then
    _netsim_err "$dir has no simulated computers (no hosts file)"
    return 1
  fi
  while read -r k name addr display prefix home netns uts; do
    if [ "$k" = "$want" ]; then
      NS_NAME=$name NS_ADDRESS=$addr NS_DISPLAY=$display NS_PREFIX=$prefix
      NS_HOME=$home NS_NETNS=$netns NS_UTS=$uts
      if [ ! -e "/run/netns/$NS_NETNS" ]; then
        _netsim_err "computer $want of $dir is down"
        return 1
      fi
      return 0
    fi
  done <"$NS_DIR/hosts"
  _netsim_err "$dir has no computer $want"
  return 1
}

# netsim_exec DIR K COMMAND [ARGS...]: becomes COMMAND inside computer K.
# Replaces the current shell: meant for "netsim_exec ... &", whose $! is
# then the command's own pid (ip, nsenter and the command exec in turn).
netsim_exec() {
  if [ $# -lt 3 ]; then
    _netsim_err "usage: run DIR K COMMAND [ARGS...]"
    return 2
  fi
  local dir=$1 k=$2
  shift 2
  _netsim_lookup "$dir" "$k" || return 2
  _netsim_export
  exec ip netns exec "$NS_NETNS" nsenter --uts="$NS_UTS" -- "$@"
}

# netsim_run DIR K COMMAND [ARGS...]: runs COMMAND inside computer K and
# returns its exit code.
netsim_run() {
  (netsim_exec "$@")
}

# Starts a display inside the namespaces $2 and $3, trying numbers from $4
# up: DIR/k/display and DIR/k/xvfb.pid (pid and start time).
#
# Xvfb finds a free number by binding the abstract socket @/tmp/.X11-unix/XN,
# which belongs to the network namespace: in a fresh one every number looks
# free, and it would take over another display's socket file in
# /tmp/.X11-unix. So the number is chosen here, skipping those with a lock
# file, a socket file or an abstract socket in this namespace, and claimed by
# writing the lock file exclusively, the way X servers do (with -displayfd
# Xvfb writes none of its own).
_netsim_start_display() {
  local home=$1 netns=$2 uts=$3 first=$4 n fifo number pid job
  local deadline=$((SECONDS + 15))
  for ((n = first; n < first + 40 && SECONDS < deadline; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    grep -q " @/tmp/.X11-unix/X$n\$" /proc/net/unix && continue
    fifo="$home/displayfd"
    rm -f "$fifo"
    mkfifo "$fifo" || return 1
    # Noted first, so that down finds the lock file however this ends.
    echo ":$n" >"$home/display"
    ip netns exec "$netns" nsenter --uts="$uts" -- sh -c '
      (set -C; printf "%10d\n" $$ >"/tmp/.X$1-lock") 2>/dev/null || exit 99
      echo $$ >"$2"
      exec Xvfb ":$1" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp' \
      sh "$n" "$home/xvfb.pid.new" 3>"$fifo" </dev/null >"$home/xvfb.log" 2>&1 &
    job=$!
    number=""
    read -r -t 10 number <"$fifo"
    rm -f "$fifo"
    if [ "$number" = "$n" ]; then
      pid=$(cat "$home/xvfb.pid.new")
      rm -f "$home/xvfb.pid.new"
      echo "$pid $(_netsim_starttime "$pid")" >"$home/xvfb.pid"
      return 0
    fi
    # Taken meanwhile (99), or Xvfb failed on this number: the next one.
    kill "$job" 2>/dev/null
    wait "$job"
    [ $? -ne 99 ] && rm -f "/tmp/.X$n-lock"
    rm -f "$home/xvfb.pid.new"
  done
  _netsim_err "Xvfb did not start (see $home/xvfb.log)"
  return 1
}

# Brings computer $k up after its network: display first (a wineserver
# started without one never makes windows), then the prefix, its server and
# a first Wine process, so that Wine's service processes are running before
# any caller's pipes are around to be inherited.
_netsim_start_computer() {
  local dir=$1 k=$2 made=$3 warmup=$4 subnet=$7
  local home="$dir/$k"
  NS_DIR=$dir NS_NETNS=$5 NS_UTS=$6 NS_PREFIX="$home/prefix" NS_HOME="$home/home"
  # Displays of simultaneous runs start apart; "Xvfb -displayfd" elsewhere
  # takes the lowest free numbers.
  _netsim_start_display "$home" "$NS_NETNS" "$NS_UTS" $((100 + subnet * 16 + k - 1)) || return 1
  NS_DISPLAY=$(cat "$home/display")
  # A copy on write: a prefix is over a gigabyte (Wine puts its PE DLLs in
  # it), and three full copies at once take ten seconds or more. Where an
  # overlay cannot be mounted, a full copy.
  mkdir -p "$home/upper" "$home/work" "$NS_PREFIX" || return 1
  if ! mount -t overlay overlay -o "lowerdir=$made,upperdir=$home/upper,workdir=$home/work" "$NS_PREFIX" 2>/dev/null; then
    rmdir "$NS_PREFIX" "$home/upper" "$home/work"
    if ! timeout 60 cp -a "$made" "$NS_PREFIX"; then
      _netsim_err "could not copy $made"
      return 1
    fi
  fi
  # Debian's wine notes the server's private /tmp folder in the prefix: each
  # copy gets its own.
  rm -f "$NS_PREFIX/wineserver"
  mkdir -p "$NS_HOME"
  (
    _netsim_export
    enter=(ip netns exec "$NS_NETNS" nsenter --uts="$NS_UTS" --)
    if ! timeout 10 "${enter[@]}" wineserver -p </dev/null >>"$home/wine.log" 2>&1; then
      _netsim_err "wineserver of computer $k did not start"
      exit 1
    fi
    if ! timeout "$warmup" "${enter[@]}" wine cmd /c exit </dev/null >>"$home/wine.log" 2>&1; then
      _netsim_err "Wine did not start on computer $k within ${warmup}s (see $home/wine.log)"
      exit 1
    fi
  )
}

_netsim_hosts_file() {
  local subnet=$1 count=$2 k
  echo "127.0.0.1 localhost"
  echo "::1 localhost"
  for ((k = 1; k <= count; k++)); do
    echo "10.213.$subnet.$k TVSIM$k tvsim$k"
  done
}

# netsim_up DIR COUNT [MADE_PREFIX]
netsim_up() {
  (_netsim_up "$@")
}

_netsim_up() {
  if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    _netsim_err "usage: up DIR COUNT [MADE_PREFIX]"
    return 2
  fi
  local dir=$1 count=$2 made=${3:-}
  local default_made="$TOLVARAN_ROOT/build/wine/made-prefix"
  local warmup=${NETSIM_WARMUP_TIMEOUT:-20}
  if ! [[ "$count" =~ ^[0-9]+$ ]] || [ "$count" -lt 1 ] || [ "$count" -gt 254 ]; then
    _netsim_err "COUNT must be 1 to 254, not '$count'"
    return 2
  fi
  if [ "$(id -u)" -ne 0 ]; then
    _netsim_err "needs root (network namespaces)"
    return 1
  fi
  local real
  real=$(_netsim_realdir "$dir")
  # DIR/hosts has one line per computer, fields separated by blanks.
  if [[ "$real" =~ [[:space:]] ]]; then
    _netsim_err "DIR must not contain blanks: '$real'"
    return 2
  fi
  if [ -e "$real" ] && [ -n "$(ls -A "$real" 2>/dev/null)" ]; then
    _netsim_err "$dir is not empty"
    return 1
  fi
  local prefix
  prefix=$(_netsim_prefix "$real")
  if compgen -G "/run/netns/$prefix-*" >/dev/null; then
    _netsim_err "namespaces of an earlier run in $dir are still there: run down $dir first"
    return 1
  fi
  if [ -z "$made" ]; then
    made=$default_made
    _netsim_make_default "$made" || return 1
  fi
  if [ ! -f "$made/system.reg" ]; then
    _netsim_err "$made is not a Wine prefix"
    return 1
  fi
  mkdir -p "$real" || return 1
  # The run's mark (see _netsim_export) on up itself: a down from elsewhere
  # while up is still working ends it too.
  export NETSIM_DIR="$real"

  # From here on, whatever fails takes down what was made, computers still
  # starting first. The trap runs after this function has returned: it names
  # the folder itself.
  _netsim_up_done=""
  trap "[ -n \"\$_netsim_up_done\" ] || { kill \$(jobs -p) 2>/dev/null; wait; netsim_down $(printf '%q' "$real") >/dev/null 2>&1; }" EXIT
  trap 'exit 1' INT TERM HUP

  local subnet
  subnet=$(_netsim_claim_subnet "$prefix" "$real") || return 1

  local bridge="$prefix-br" k ns
  if ! { ip netns add "$bridge" &&
    ip -n "$bridge" link set lo up &&
    ip -n "$bridge" link add br0 type bridge &&
    ip -n "$bridge" link set br0 up; }; then
    _netsim_err "could not make the bridge"
    return 1
  fi
  for ((k = 1; k <= count; k++)); do
    ns="$prefix-$k"
    # eth0 is made in the bridge's namespace and moved at once: no name of
    # the run ever appears in the machine's own namespace.
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
    # ip netns exec mounts these over /etc/hosts and /etc/resolv.conf. A
    # name server on the loopback answers at once that there is none;
    # without it, every cold Wine start waits seconds for a DNS time-out.
    mkdir -p "/etc/netns/$ns" &&
      _netsim_hosts_file "$subnet" "$count" >"/etc/netns/$ns/hosts" &&
      echo "nameserver 127.0.0.1" >"/etc/netns/$ns/resolv.conf" || return 1
    mkdir -p "$real/$k" && touch "$real/$k/uts" || return 1
    if ! unshare --uts="$real/$k/uts" hostname "TVSIM$k"; then
      _netsim_err "could not make the host name namespace of computer $k"
      return 1
    fi
  done

  # The computers start side by side: most of the time goes to Wine. What
  # they have to say waits until all are through, so that an interrupted
  # up does not report the failures its own teardown causes.
  local pids=() failed=""
  for ((k = 1; k <= count; k++)); do
    _netsim_start_computer "$real" "$k" "$made" "$warmup" "$prefix-$k" "$real/$k/uts" "$subnet" \
      2>"$real/$k/errors" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || failed=yes
  done
  cat "$real"/[0-9]*/errors >&2
  rm -f "$real"/[0-9]*/errors
  [ -z "$failed" ] || return 1

  : >"$real/hosts.new"
  for ((k = 1; k <= count; k++)); do
    echo "$k TVSIM$k 10.213.$subnet.$k $(cat "$real/$k/display") $real/$k/prefix $real/$k/home $prefix-$k $real/$k/uts" >>"$real/hosts.new"
  done
  mv "$real/hosts.new" "$real/hosts"
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
    # folder goes (see _netsim_start_computer).
    local name
    name=$(cat "$made/wineserver" 2>/dev/null)
    [[ "$name" =~ ^wine-[A-Za-z0-9]+$ ]] && rm -rf "/tmp/$name"
    rm -f "$made/wineserver"
  )
}

# Whether process $1 runs (a zombie waits for its parent, the caller's
# shell perhaps, but has ended).
_netsim_alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat:0:1}" != Z ]
}

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

# Processes carrying the run's mark (NETSIM_DIR), except this one and its
# ancestors (down may be called from inside a computer).
_netsim_marked_pids() {
  local real=$1 pid mine=" " p=$BASHPID
  while [ -n "$p" ] && [ "$p" -gt 1 ]; do
    mine+="$p "
    p=$(awk '/^PPid:/ { print $2 }' "/proc/$p/status" 2>/dev/null)
  done
  for pid in $(grep -lzx -F "NETSIM_DIR=$real" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3); do
    [[ "$mine" == *" $pid "* ]] || echo "$pid"
  done
}

# netsim_down DIR
netsim_down() {
  (_netsim_down "$@")
}

_netsim_down() {
  if [ $# -ne 1 ]; then
    _netsim_err "usage: down DIR"
    return 2
  fi
  local real prefix ns home pid start k status=0
  real=$(_netsim_realdir "$1")
  prefix=$(_netsim_prefix "$real")
  local namespaces=()
  for ns in /run/netns/"$prefix"-*; do
    [ -e "$ns" ] && namespaces+=("${ns#/run/netns/}")
  done

  # Each server ends its Wine processes; they save their registry on the way.
  local waits=()
  for home in "$real"/[0-9]*; do
    # Not once the prefix is unmounted: Debian's wineserver would make a
    # new private folder for it.
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

  # Then everything left inside the namespaces or marked as the run's: the
  # displays, the programs started through run.
  local pids=()
  for home in "$real"/[0-9]*; do
    [ -f "$home/xvfb.pid" ] || continue
    read -r pid start <"$home/xvfb.pid"
    if [ -n "$pid" ] && [ "$(_netsim_starttime "$pid")" = "$start" ]; then
      pids+=("$pid")
    fi
  done
  for ns in "${namespaces[@]}"; do
    pids+=($(ip netns pids "$ns" 2>/dev/null))
  done
  pids+=($(_netsim_marked_pids "$real"))
  if [ ${#pids[@]} -gt 0 ]; then
    _netsim_end_pids $(printf '%s\n' "${pids[@]}" | sort -un) || status=1
  fi
  # The displays' lock files were written for them (see _netsim_start_display);
  # Xvfb removes its socket file when it ends in time, not when killed. A
  # lock goes when its process has ended and it is for a number the run
  # tried, or names a process the run had (its files in DIR may be gone).
  local lock number tried=" "
  for home in "$real"/[0-9]*; do
    [ -f "$home/display" ] && tried+="$(cut -c2- "$home/display") "
  done
  for lock in /tmp/.X*-lock; do
    [ -f "$lock" ] || continue
    pid=$(tr -d ' ' 2>/dev/null <"$lock")
    number=${lock#/tmp/.X}
    number=${number%-lock}
    if { [[ "$tried" == *" $number "* ]] || [[ " ${pids[*]} " == *" $pid "* ]]; } &&
      [ -n "$pid" ] && ! _netsim_alive "$pid"; then
      rm -f "$lock" "/tmp/.X11-unix/X$number"
    fi
  done

  for ns in "${namespaces[@]}"; do
    ip netns del "$ns" 2>/dev/null || { _netsim_err "could not delete namespace $ns"; status=1; }
  done
  for ns in /etc/netns/"$prefix"-*; do
    [ -e "$ns" ] && rm -rf "$ns"
  done
  # Only when empty, so never while another run is making its entry.
  rmdir /etc/netns 2>/dev/null

  local name
  for home in "$real"/[0-9]*; do
    [ -d "$home" ] || continue
    # The server's private folder, named in the prefix (see _netsim_start_computer).
    if [ -f "$home/prefix/wineserver" ]; then
      name=$(cat "$home/prefix/wineserver")
      if [[ "$name" =~ ^wine-[A-Za-z0-9]+$ ]]; then
        rm -rf "/tmp/$name"
        [ -n "${TMPDIR:-}" ] && rm -rf "${TMPDIR:?}/$name"
      fi
      rm -f "$home/prefix/wineserver"
    fi
    # What the computer changed in its prefix stays in DIR/k/upper.
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
  done

  local claim
  for claim in "$NETSIM_CLAIMS"/subnet-*; do
    [ -f "$claim" ] || continue
    [ "$(cut -d' ' -f1 "$claim" 2>/dev/null)" = "$prefix" ] && rm -f "$claim"
  done
  rmdir "$NETSIM_CLAIMS" 2>/dev/null
  return "$status"
}
