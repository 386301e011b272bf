#!/usr/bin/env bash
# Runs one real-server scenario with build/apps/zamp_agent (or $ZAMP_AGENT): starts a server through scripts/server.sh, runs
#   python3 tests/real_server/SCENARIO.py --port=P --trainer-port=P+100 [ARGS...]
# and stops the server whatever happened. Exit status: the scenario's; 77 (skipped) when
# SOCCER_SERVER_PREFIX is not set; 1 when the server cannot be started.
#   tests/real_server/run.sh SCENARIO [ARGS...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ -z "${SOCCER_SERVER_PREFIX:-}" ]; then
  echo "skipped: SOCCER_SERVER_PREFIX is not set (no real simulation server on this machine)"
  exit 77
fi
[ $# -ge 1 ] || {
  echo "usage: $0 SCENARIO [ARGS...]" >&2
  exit 2
}
scenario=$1
shift
agent=${ZAMP_AGENT:-$root/build/apps/zamp_agent}
if [ ! -x "$agent" ]; then
  echo "$agent is not built" >&2
  exit 1
fi

# shellcheck source=../../scripts/server.sh
source "$root/scripts/server.sh"
scenario_pid=
cleanup() {
  [ -n "$scenario_pid" ] && server_stop_pid "$scenario_pid" 15
  server_stop
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

server_start || exit 1
python3 "$here/$scenario.py" --port="$SERVER_PORT" --trainer-port="$SERVER_TRAINER_PORT" "$@" &
scenario_pid=$!
wait "$scenario_pid"
status=$?
scenario_pid=
exit $status
