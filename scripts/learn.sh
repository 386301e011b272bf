#!/usr/bin/env bash
# Runs a learning agent on a real simulation server of its own.
#
#   SOCCER_SERVER_PREFIX=/opt/soccer-server scripts/learn.sh AGENT [--port=P] [agent options]
#
# AGENT: walk (zamp_walk_evolution), kick2 (zamp_kick_evolution2), kick1
# (zamp_kick_evolution1), practice (zamp_motion_practice), demo (zamp_demo, as players 10
# and 9 side by side). The server runs in synchronous mode with ground truth and a half that
# never ends (see scripts/server.sh), on agent port P and trainer port P + 100 (free ports
# unless --port=P is given). The game is put into PlayOn, then the agent starts from the
# repository root with --syn=1 --port=P --unum=10 --team=Left and the remaining options.
# Ctrl-C (SIGINT) or SIGTERM is passed on to the agent; when the agent has ended, the server
# is stopped. The exit status is the agent's (for demo: the first non-zero of the two).
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=server.sh
source "$root/scripts/server.sh"

usage() {
  echo "usage: scripts/learn.sh walk|kick2|kick1|practice|demo [--port=P] [agent options]" >&2
  exit 2
}

[ $# -ge 1 ] || usage
agent=$1
shift
case $agent in
  walk) exe=zamp_walk_evolution ;;
  kick2) exe=zamp_kick_evolution2 ;;
  kick1) exe=zamp_kick_evolution1 ;;
  practice) exe=zamp_motion_practice ;;
  demo) exe=zamp_demo ;;
  -h | --help) usage ;;
  *)
    echo "learn.sh: unknown agent '$agent'" >&2
    usage
    ;;
esac
# LEARN_BUILD_DIR lets the tests point at another build; the default is build/ beside scripts/.
binary=${LEARN_BUILD_DIR:-$root/build}/apps/$exe
if [ ! -x "$binary" ]; then
  echo "learn.sh: $binary is not built (cmake --build build --target $exe)" >&2
  exit 1
fi

port=
options=()
for a in "$@"; do
  case $a in
    --port=*) port=${a#--port=} ;;
    *) options+=("$a") ;;
  esac
done

agent_pids=()
watchdog=
finish() {
  local p
  for p in "${agent_pids[@]}"; do server_stop_pid "$p" 5; done
  [ -n "$watchdog" ] && kill "$watchdog" 2>/dev/null
  server_stop
}
trap finish EXIT

server_start ${port:+"$port"} || exit 1
echo "learn.sh: server pid $SERVER_PID, agent port $SERVER_PORT, trainer port $SERVER_TRAINER_PORT" >&2
server_trainer '(playMode PlayOn)' || exit 1

cd "$root" || exit 1
if [ "$agent" = demo ]; then
  "$binary" --syn=1 --port="$SERVER_PORT" --unum=10 --team=Left "${options[@]}" &
  agent_pids+=($!)
  # Robots created in the same server cycle can tangle: let the first one in first.
  sleep 1
  "$binary" --syn=1 --port="$SERVER_PORT" --unum=9 --team=Left "${options[@]}" &
  agent_pids+=($!)
else
  "$binary" --syn=1 --port="$SERVER_PORT" --unum=10 --team=Left "${options[@]}" &
  agent_pids+=($!)
fi

# Passes a signal on to the agents and makes sure they end within a bounded time.
forward() {
  local p
  for p in "${agent_pids[@]}"; do kill -s "$1" "$p" 2>/dev/null; done
  if [ -z "$watchdog" ]; then
    (
      sleep 20
      for p in "${agent_pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
    ) &
    watchdog=$!
  fi
}
trap 'forward INT' INT
trap 'forward TERM' TERM

status=0
for p in "${agent_pids[@]}"; do
  # A wait cut short by a trapped signal returns while the agent still runs; the last wait
  # gives the status bash kept for it.
  while kill -0 "$p" 2>/dev/null; do wait "$p"; done
  wait "$p"
  rc=$?
  [ $status -eq 0 ] && status=$rc
done
trap - INT TERM
exit $status
