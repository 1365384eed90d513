#!/usr/bin/env bash
# The PostgreSQL server of the tests: tools/test-server.sh start|stop STATE_DIR
#
# start makes a cluster with initdb in a new folder under /tmp, listening on a private
# Unix socket and on a free loopback port, and writes STATE_DIR/server.env (what the
# tests read: socket folder, port, roles and their passwords). As root the server runs
# as an unprivileged user. A watcher stops the server and removes its folder as soon as
# the process that ran "start" (CTest) ends, however it ends; "stop" does it at once.
# Without PostgreSQL's server programs, server.env says why and the tests skip.
set -uo pipefail

action=${1:?usage: test-server.sh start|stop STATE_DIR}
state=${2:?usage: test-server.sh start|stop STATE_DIR}
env_file=$state/server.env
mkdir -p "$state"

stop_server() {
  [[ -f $env_file ]] || return 0
  local folder
  folder=$(sed -n 's/^VELMORA_PG_FOLDER=//p' "$env_file")
  rm -f "$env_file"
  [[ -n $folder && -d $folder ]] || return 0
  [[ -f $folder/watcher.pid ]] && kill "$(cat "$folder/watcher.pid")" 2>/dev/null
  [[ -f $folder/data/postmaster.pid ]] && kill -QUIT "$(head -1 "$folder/data/postmaster.pid")" 2>/dev/null
  for _ in $(seq 50); do [[ -f $folder/data/postmaster.pid ]] || break; sleep 0.1; done
  rm -rf "$folder"
}

if [[ $action == stop ]]; then
  stop_server
  exit 0
fi
[[ $action == start ]] || { echo "unknown action $action" >&2; exit 2; }
stop_server  # one left by an earlier run

bin=""
for candidate in /usr/lib/postgresql/15/bin /usr/lib/postgresql/*/bin; do
  [[ -x $candidate/initdb && -x $candidate/postgres ]] && { bin=$candidate; break; }
done
if [[ -z $bin ]]; then
  echo "VELMORA_PG_MISSING=PostgreSQL's server programs (initdb, postgres) are not installed (Debian: postgresql-15)" >"$env_file"
  echo "test server skipped: no PostgreSQL server programs"
  exit 0
fi

folder=$(mktemp -d /tmp/velmora-test-server.XXXXXX) || exit 1
chmod 755 "$folder"
run_as=()
if [[ $(id -u) -eq 0 ]]; then
  # PostgreSQL refuses to run as root.
  user=nobody
  id postgres >/dev/null 2>&1 && user=postgres
  chown "$user" "$folder"
  run_as=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups --)
fi

admin_password=admin-$RANDOM$RANDOM
printf '%s\n' "$admin_password" >"$folder/pwfile"
chmod 644 "$folder/pwfile"
if ! "${run_as[@]}" "$bin/initdb" -D "$folder/data" -U velmora_admin --pwfile="$folder/pwfile" -E UTF8 \
    --locale=C --auth-local=trust --auth-host=scram-sha-256 >"$folder/initdb.log" 2>&1; then
  cat "$folder/initdb.log" >&2
  rm -rf "$folder"
  exit 1
fi
rm -f "$folder/pwfile"
# The administrator comes in without a password over the socket; every other role
# needs its password there too, and everyone over TCP.
cat >"$folder/data/pg_hba.conf" <<EOF
local all velmora_admin trust
local all all scram-sha-256
host all all 127.0.0.1/32 scram-sha-256
EOF
mkdir -p "$folder/socket"
[[ ${#run_as[@]} -gt 0 ]] && chown "$user" "$folder/socket"

started=""
for _ in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 30000))
  if "${run_as[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 start -o \
      "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories=$folder/socket -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c shared_buffers=32MB -c max_connections=60" \
      >/dev/null 2>&1; then
    started=yes
    break
  fi
done
if [[ -z $started ]]; then
  cat "$folder/server.log" >&2
  rm -rf "$folder"
  exit 1
fi

cat >"$env_file" <<EOF
VELMORA_PG_FOLDER=$folder
VELMORA_PG_BIN=$bin
VELMORA_PG_SOCKET=$folder/socket
VELMORA_PG_PORT=$port
VELMORA_PG_ADMIN=velmora_admin
VELMORA_PG_ADMIN_PASSWORD=$admin_password
EOF

# The watcher: when CTest (this script's parent) is gone, so is the server.
owner=$PPID
setsid bash -c '
  while kill -0 '"$owner"' 2>/dev/null && [[ -f "'"$env_file"'" ]]; do sleep 1; done
  [[ -f "'"$folder"'/data/postmaster.pid" ]] && kill -QUIT "$(head -1 "'"$folder"'/data/postmaster.pid")" 2>/dev/null
  sleep 1
  rm -rf "'"$folder"'"
' </dev/null >/dev/null 2>&1 &
echo $! >"$folder/watcher.pid"
echo "test server on port $port, socket $folder/socket"
