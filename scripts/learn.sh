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
# repository root with --syn=1 --port=P --unum=10 --team=Left and the remaining options
# (demo: the players start first, then the game).
# Ctrl-C (SIGINT) or SIGTERM is passed on to the agent as SIGINT; when the agent has ended,
# the server is stopped. The exit status is the agent's (for demo: the first non-zero of the two).
#
#   scripts/learn.sh kick2 --procs=N [--port=P] [agent options]
#
# runs the multi-process kick optimisation instead: N servers as above on agent ports P to
# P + N - 1 (trainer ports 100 above each; free ones unless --port=P is given), each put
# into PlayOn; then the parent (zamp_kick_evolution_parent --procs=N) on port P and, once it
# has made its shared memory pages under tmp/shared_memory/, child i
# (zamp_kick_evolution_child) on port P + 1 + i, each on its own server. When the parent has
# ended the children are stopped; the exit status is the parent's.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=server.sh
source "$root/scripts/server.sh"

usage() {
  echo "usage: scripts/learn.sh walk|kick2|kick1|practice|demo [--port=P] [agent options]" >&2
  echo "       scripts/learn.sh kick2 --procs=N [--port=P] [agent options]" >&2
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
procs=
options=()
for a in "$@"; do
  case $a in
    --port=*) port=${a#--port=} ;;
    --procs=*) procs=${a#--procs=} ;;
    *) options+=("$a") ;;
  esac
done

# The multi-process kick optimisation: one server per process on consecutive ports.
if [ -n "$procs" ]; then
  if [ "$agent" != kick2 ]; then
    echo "learn.sh: --procs is only for kick2" >&2
    usage
  fi
  if ! [[ $procs =~ ^[0-9]+$ ]] || [ "$procs" -lt 1 ] || [ "$procs" -gt 64 ]; then
    echo "learn.sh: --procs needs a whole number from 1 to 64, not '$procs'" >&2
    usage
  fi
  parent_binary=${LEARN_BUILD_DIR:-$root/build}/apps/zamp_kick_evolution_parent
  child_binary=${LEARN_BUILD_DIR:-$root/build}/apps/zamp_kick_evolution_child
  for b in "$parent_binary" "$child_binary"; do
    if [ ! -x "$b" ]; then
      echo "learn.sh: $b is not built (cmake --build build --target $(basename "$b"))" >&2
      exit 1
    fi
  done
fi

# Exit status 0 when agent ports BASE to BASE + N - 1 and their trainer ports are free.
multi_ports_free() {
  local base=$1 n=$2 i ports=()
  for ((i = 0; i < n; i++)); do ports+=($((base + i)) $((base + 100 + i))); done
  server_ports_free "${ports[@]}"
}

agent_pids=()
pages=()
server_pids=()
server_homes=()
watchdog=
finish() {
  local p i
  for p in "${agent_pids[@]}"; do server_stop_pid "$p" 5; done
  [ -n "$watchdog" ] && kill "$watchdog" 2>/dev/null
  server_stop
  for p in "${server_pids[@]}"; do kill -INT "$p" 2>/dev/null; done
  for i in "${!server_pids[@]}"; do
    server_stop_pid "${server_pids[$i]}" "${SERVER_STOP_TIMEOUT:-10}"
    [ -z "${SERVER_KEEP_HOME:-}" ] && rm -rf "${server_homes[$i]}"
  done
  # The pages are only a channel between the processes of this run.
  [ ${#pages[@]} -gt 0 ] && rm -f "${pages[@]/#/$root/}"
  return 0
}
trap finish EXIT

if [ -n "$procs" ]; then
  if [ -z "$port" ]; then
    for i in $(seq 1 50); do
      p=$((20000 + RANDOM % 20000))
      if multi_ports_free "$p" "$procs"; then
        port=$p
        break
      fi
    done
    if [ -z "$port" ]; then
      echo "learn.sh: no $procs free agent ports in a row (with their trainer ports) found" >&2
      exit 1
    fi
  fi
  for ((i = 0; i < procs; i++)); do
    server_start $((port + i)) || exit 1
    server_pids+=("$SERVER_PID")
    server_homes+=("$SERVER_HOME")
    echo "learn.sh: server $i pid $SERVER_PID, agent port $SERVER_PORT, trainer port $SERVER_TRAINER_PORT" >&2
    server_trainer '(playMode PlayOn)' || exit 1
    # Stopped by finish from the lists above.
    SERVER_PID=
    SERVER_HOME=
  done
else
  server_start ${port:+"$port"} || exit 1
  echo "learn.sh: server pid $SERVER_PID, agent port $SERVER_PORT, trainer port $SERVER_TRAINER_PORT" >&2
  # The demonstration's game starts once its players are there (below): a server in PlayOn
  # without agents runs ahead, and the demonstration walks only in the first 45 s of game
  # time.
  if [ "$agent" != demo ]; then
    server_trainer '(playMode PlayOn)' || exit 1
  fi
fi

cd "$root" || exit 1
if [ -n "$procs" ]; then
  # A page left by an earlier run must not be taken for the parent's new one.
  for ((i = 1; i < procs; i++)); do pages+=("tmp/shared_memory/MapFile$((port + i))"); done
  rm -f "${pages[@]}"
  "$parent_binary" --syn=1 --port="$port" --unum=10 --team=Left --procs="$procs" "${options[@]}" &
  agent_pids+=($!)
  # A child opens its page only once the parent has made it whole.
  page_bytes=$(getconf PAGESIZE)
  [ "$page_bytes" -ge 4096 ] || page_bytes=4096
  deadline=$((SECONDS + 30))
  for f in "${pages[@]}"; do
    while [ "$(stat -c %s "$f" 2>/dev/null || echo 0)" -lt "$page_bytes" ]; do
      if ! kill -0 "${agent_pids[0]}" 2>/dev/null; then
        wait "${agent_pids[0]}"
        rc=$?
        echo "learn.sh: the parent ended (status $rc) before it made its pages" >&2
        exit $((rc == 0 ? 1 : rc))
      fi
      if [ $SECONDS -ge $deadline ]; then
        echo "learn.sh: the parent made no page $f within 30 s" >&2
        exit 1
      fi
      sleep 0.1
    done
  done
  for ((i = 1; i < procs; i++)); do
    "$child_binary" --syn=1 --port=$((port + i)) --unum=10 --team=Left "${options[@]}" &
    agent_pids+=($!)
  done
elif [ "$agent" = demo ]; then
  "$binary" --syn=1 --port="$SERVER_PORT" --unum=10 --team=Left "${options[@]}" &
  agent_pids+=($!)
  # Robots created in the same server cycle can tangle: let the first one in first.
  sleep 1
  "$binary" --syn=1 --port="$SERVER_PORT" --unum=9 --team=Left "${options[@]}" &
  agent_pids+=($!)
  sleep 1
  server_trainer '(playMode PlayOn)' || exit 1
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
# The agents end a run cleanly (links closed, status 0) on SIGINT only.
trap 'forward INT' TERM

status=0
if [ -n "$procs" ]; then
  # The children only play what the parent hands them: they end with it.
  parent=${agent_pids[0]}
  while kill -0 "$parent" 2>/dev/null; do wait "$parent"; done
  wait "$parent"
  status=$?
  for p in "${agent_pids[@]:1}"; do server_stop_pid "$p" 5; done
  agent_pids=()
fi
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
