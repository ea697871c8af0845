#!/bin/sh
# A server for the length of a test run (a CTest fixture):
#   background.sh start PIDFILE PORT COMMAND ARG...   starts COMMAND, at most
#       10 minutes, and returns once something listens on 127.0.0.1:PORT
#   background.sh stop PIDFILE                         stops it
set -eu
case "$1" in
  start)
    pidfile=$2 port=$3
    shift 3
    timeout 600 "$@" >"$pidfile.log" 2>&1 </dev/null &
    echo $! >"$pidfile"
    for _ in $(seq 50); do
      kill -0 "$(cat "$pidfile")" 2>/dev/null || { cat "$pidfile.log" >&2; exit 1; }
      if bash -c "exec 3<>/dev/tcp/127.0.0.1/$port" 2>/dev/null; then exit 0; fi
      sleep 0.1
    done
    echo "nothing listens on port $port" >&2
    exit 1
    ;;
  stop)
    [ -f "$2" ] && kill "$(cat "$2")" 2>/dev/null || true
    rm -f "$2"
    ;;
esac
