#!/usr/bin/env bash
# Simulated computers for network tests (docs/SIMULATED-COMPUTERS.md):
#   netsim.sh up DIR COUNT [MADE_PREFIX]
#   netsim.sh run DIR K COMMAND [ARGS...]
#   netsim.sh down DIR
source "$(cd "$(dirname "$0")" && pwd)/lib/netsim.sh"

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
  # In this process, not a subshell: a signal to it reaches up's trap,
  # which takes down what was made so far.
  up) _netsim_up "$@" ;;
  # Exec all the way down: the caller's $! is the command's own pid.
  run) netsim_exec "$@" ;;
  down) _netsim_down "$@" ;;
  *)
    echo "usage: $0 up DIR COUNT [MADE_PREFIX] | run DIR K COMMAND [ARGS...] | down DIR" >&2
    exit 2
    ;;
esac
