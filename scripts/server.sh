# shellcheck shell=bash
# Prepares, starts, commands and stops a real 3D soccer simulation server (rcssserver3d 0.7.x)
# for a run on this machine. A bash library: source it, do not run it. Used by scripts/learn.sh
# and by the real-server tests under tests/real_server/.
#
#   source scripts/server.sh
#   server_start                   # or: server_start PORT; SERVER_MODE=realtime server_start
#   server_trainer '(playMode PlayOn)'
#   ... agents connect to 127.0.0.1:$SERVER_PORT ...
#   server_stop
#
# Needs SOCCER_SERVER_PREFIX naming the installation (bin/rcssserver3d, share/simspark,
# share/rcssserver3d, lib/simspark, lib/rcssserver3d) and python3 for the port checks and the
# trainer link. The server's settings are copied from the installation into a temporary
# folder used as its HOME and edited there; the installation is never changed.
#
# Functions (each returns 0 on success, prints one line on standard error and returns 1
# otherwise):
#   server_prepare DIR [MODE]  writes DIR/.simspark for MODE: sync (default: waits for every
#                              agent's "(syn)", no real time) or realtime (20 ms cycles);
#                              both with ground truth (mypos, myorien, ballpos in every
#                              vision) and a half that never ends
#   server_free_port           prints a port P such that P and P + 100 are free on 127.0.0.1
#   server_start [PORT]        prepares a temporary HOME (mode from SERVER_MODE), starts the
#                              server with agent port PORT (default: a free one) and trainer
#                              port PORT + 100 and waits (SERVER_START_TIMEOUT s, default 30)
#                              until both listen; sets SERVER_PID, SERVER_PORT,
#                              SERVER_TRAINER_PORT, SERVER_HOME, SERVER_LOG
#   server_trainer CMD...      sends each CMD as one trainer command (4-byte big-endian
#                              length, then the text) to SERVER_TRAINER_PORT
#   server_stop                SIGINT to SERVER_PID (the server ignores SIGTERM), SIGKILL after
#                              SERVER_STOP_TIMEOUT s (default 10); removes the temporary HOME
#   server_stop_pid PID [S]    the same for any process id, with S seconds before SIGKILL

SERVER_MODE=${SERVER_MODE:-sync}
SERVER_PID=
SERVER_PORT=
SERVER_TRAINER_PORT=
SERVER_HOME=
SERVER_LOG=

server_error() { echo "server.sh: $*" >&2; }

server_check_prefix() {
  if [ -z "${SOCCER_SERVER_PREFIX:-}" ]; then
    server_error "SOCCER_SERVER_PREFIX is not set (it names the simulation server's installation)"
    return 1
  fi
  local p=$SOCCER_SERVER_PREFIX
  if [ ! -x "$p/bin/rcssserver3d" ] || [ ! -f "$p/share/simspark/spark.rb" ] ||
    [ ! -f "$p/share/rcssserver3d/naosoccersim.rb" ]; then
    server_error "no rcssserver3d installation in $p (bin/rcssserver3d, share/simspark, share/rcssserver3d)"
    return 1
  fi
}

# Replaces the line `$NAME = true|false` of FILE by `$NAME = VALUE`; fails when there is none.
server_set_switch() {
  local file=$1 name=$2 value=$3
  grep -Eq "^\\\$$name = (true|false)\$" "$file" || {
    server_error "switch \$$name not found in $file"
    return 1
  }
  sed -i -E "s/^\\\$$name = (true|false)\$/\$$name = $value/" "$file"
}

server_prepare() {
  local dir=$1 mode=${2:-sync}
  server_check_prefix || return 1
  local sync realtime
  case $mode in
    sync) sync=true realtime=false ;;
    realtime) sync=false realtime=true ;;
    *)
      server_error "unknown mode '$mode' (sync or realtime)"
      return 1
      ;;
  esac
  local ss=$SOCCER_SERVER_PREFIX/share/simspark rs=$SOCCER_SERVER_PREFIX/share/rcssserver3d
  local d=$dir/.simspark
  mkdir -p "$d/rsg/agent/nao" || return 1
  cp "$ss/spark.rb" "$ss/kerosin.rb" "$rs/rcssserver3d.rb" "$rs/naosoccersim.rb" "$d/" || return 1
  cp "$rs/rsg/agent/nao/naoneckhead.rsg" "$d/rsg/agent/nao/" || return 1
  # Threaded agent control and the multi-threaded server deadlock or crash on 0.7.x.
  server_set_switch "$d/spark.rb" agentSyncMode $sync &&
    server_set_switch "$d/spark.rb" threadedAgentControl false &&
    server_set_switch "$d/spark.rb" serverMultiThreadedMode false &&
    server_set_switch "$d/rcssserver3d.rb" enableRealTimeMode $realtime || return 1
  if grep -Eq "^\\\$enableInternalMonitor = (true|false)\$" "$d/rcssserver3d.rb"; then
    server_set_switch "$d/rcssserver3d.rb" enableInternalMonitor false || return 1
  fi
  local rsg=$d/rsg/agent/nao/naoneckhead.rsg
  sed -i -E -e 's/\(setSenseMyPos false\)/(setSenseMyPos true)/' \
    -e 's/\(setSenseMyOrien false\)/(setSenseMyOrien true)/' \
    -e 's/\(setSenseBallPos false\)/(setSenseBallPos true)/' "$rsg"
  local s
  for s in setSenseMyPos setSenseMyOrien setSenseBallPos; do
    grep -q "($s true)" "$rsg" || {
      server_error "ground truth switch $s not found in $rsg"
      return 1
    }
  done
  # At the end of a half play returns to BeforeKickOff, where the ball goes back to the centre.
  sed -i -E "s/^addSoccerVar\('RuleHalfTime', .*\)/addSoccerVar('RuleHalfTime', 100000000.0)/" \
    "$d/naosoccersim.rb"
  grep -q "'RuleHalfTime', 100000000.0" "$d/naosoccersim.rb" || {
    server_error "half time rule not found in $d/naosoccersim.rb"
    return 1
  }
}

# Exit status 0 when every given port can be bound on 127.0.0.1.
server_ports_free() {
  python3 - "$@" <<'EOF'
import socket, sys
for p in sys.argv[1:]:
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", int(p)))
    except OSError:
        sys.exit(1)
    finally:
        s.close()
EOF
}

server_free_port() {
  local _ p
  for _ in $(seq 1 50); do
    p=$((20000 + RANDOM % 20000))
    if server_ports_free "$p" $((p + 100)); then
      echo "$p"
      return 0
    fi
  done
  server_error "no free pair of ports found"
  return 1
}

server_listening() {
  python3 - "$1" <<'EOF'
import socket, sys
s = socket.socket()
s.settimeout(1.0)
try:
    s.connect(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(1)
finally:
    s.close()
EOF
}

server_start() {
  server_check_prefix || return 1
  if [ -n "$SERVER_PID" ]; then
    server_error "a server is already running (pid $SERVER_PID)"
    return 1
  fi
  local port=${1:-}
  if [ -z "$port" ]; then
    port=$(server_free_port) || return 1
  elif ! [[ $port =~ ^[0-9]+$ ]] || [ "$port" -lt 1 ] || [ "$port" -gt 65435 ]; then
    server_error "bad port '$port'"
    return 1
  elif ! server_ports_free "$port" $((port + 100)); then
    server_error "port $port or $((port + 100)) is in use"
    return 1
  fi
  local home
  home=$(mktemp -d "${TMPDIR:-/tmp}/soccer-server.XXXXXX") || return 1
  server_prepare "$home" "$SERVER_MODE" || {
    rm -rf "$home"
    return 1
  }
  SERVER_HOME=$home
  SERVER_PORT=$port
  SERVER_TRAINER_PORT=$((port + 100))
  SERVER_LOG=$home/server.log
  local lib=$SOCCER_SERVER_PREFIX/lib
  # The server looks for its scene files in the working directory first, then in HOME.
  (cd "$home" && HOME=$home \
    LD_LIBRARY_PATH="$lib/simspark:$lib/rcssserver3d:$lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
    exec "$SOCCER_SERVER_PREFIX/bin/rcssserver3d" --agent-port "$SERVER_PORT" \
    --server-port "$SERVER_TRAINER_PORT" >"$SERVER_LOG" 2>&1 </dev/null) &
  SERVER_PID=$!
  local deadline=$((SECONDS + ${SERVER_START_TIMEOUT:-30}))
  while [ $SECONDS -lt $deadline ]; do
    if ! kill -0 "$SERVER_PID" 2>/dev/null; then
      server_error "the server ended at once; its output:"
      tail -n 20 "$SERVER_LOG" >&2
      SERVER_PID=
      rm -rf "$home"
      SERVER_HOME=
      return 1
    fi
    if server_listening "$SERVER_PORT" && server_listening "$SERVER_TRAINER_PORT"; then
      return 0
    fi
    sleep 0.2
  done
  server_error "the server (pid $SERVER_PID) did not open ports $SERVER_PORT and $SERVER_TRAINER_PORT in time"
  server_stop
  return 1
}

server_trainer() {
  if [ -z "$SERVER_TRAINER_PORT" ]; then
    server_error "no server started"
    return 1
  fi
  python3 - "$SERVER_TRAINER_PORT" "$@" <<'EOF'
import socket, sys, time
try:
    s = socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=5.0)
    for text in sys.argv[2:]:
        data = text.encode()
        s.sendall(len(data).to_bytes(4, "big") + data)
    # The server reads a link once per cycle; closing at once could drop the commands.
    time.sleep(0.3)
    s.close()
except OSError as e:
    sys.exit("server.sh: trainer link failed: %s" % e)
EOF
}

server_stop_pid() {
  local pid=$1 wait_s=${2:-10}
  [ -n "$pid" ] || return 0
  kill -INT "$pid" 2>/dev/null || return 0
  local _
  for _ in $(seq 1 $((wait_s * 5))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null; fi
  wait "$pid" 2>/dev/null
  return 0
}

server_stop() {
  if [ -n "$SERVER_PID" ]; then
    server_stop_pid "$SERVER_PID" "${SERVER_STOP_TIMEOUT:-10}"
  fi
  [ -n "$SERVER_HOME" ] && [ -z "${SERVER_KEEP_HOME:-}" ] && rm -rf "$SERVER_HOME"
  SERVER_PID=
  SERVER_HOME=
  return 0
}
