#!/usr/bin/env bash
# A mosquitto broker for the tests, on 127.0.0.1 only, in a folder of its own:
#   mosquitto-rig.sh start DIR   writes the configuration, a password file, an ACL, a CA and a
#                                server certificate (and a second CA nobody signed with), starts
#                                the broker and waits until it listens; DIR/ports then holds
#                                TCP_PORT, TLS_PORT and WS_PORT as shell assignments
#   mosquitto-rig.sh stop DIR    ends the broker (SIGTERM, then SIGKILL)
#   mosquitto-rig.sh kill DIR    ends it with SIGKILL, as a crash would
#   mosquitto-rig.sh restart DIR starts it again on the same ports with the same data
# Users: station/station-secret may write anything, dash/dash-secret may only read.
set -euo pipefail
action="${1:?start, stop, kill or restart}"
dir="${2:?the folder of the broker}"
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_listening() {
  local port="$1"
  for _ in $(seq 1 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
    sleep 0.05
  done
  echo "mosquitto-rig: the broker does not listen on $port; its log:" >&2
  cat "$dir/mosquitto.log" >&2 || true
  return 1
}

make_certificates() {
  local days=30
  openssl req -x509 -newkey rsa:2048 -nodes -days "$days" -subj "/CN=Test plant CA" \
    -keyout "$dir/ca.key" -out "$dir/ca.crt" 2>/dev/null
  openssl req -x509 -newkey rsa:2048 -nodes -days "$days" -subj "/CN=Another CA" \
    -keyout "$dir/other-ca.key" -out "$dir/other-ca.crt" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
    -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
  printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\n' >"$dir/server.ext"
  openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.crt" -CAkey "$dir/ca.key" -CAcreateserial \
    -days "$days" -extfile "$dir/server.ext" -out "$dir/server.crt" 2>/dev/null
}

write_configuration() {
  : >"$dir/passwd"
  mosquitto_passwd -b "$dir/passwd" station station-secret
  mosquitto_passwd -b "$dir/passwd" dash dash-secret
  printf 'user station\ntopic readwrite #\n\nuser dash\ntopic read #\n' >"$dir/acl"
  mkdir -p "$dir/data"
  printf 'TCP_PORT=%s\nTLS_PORT=%s\nWS_PORT=%s\n' "$(free_port)" "$(free_port)" "$(free_port)" >"$dir/ports"
  # shellcheck disable=SC1091
  . "$dir/ports"
  cat >"$dir/mosquitto.conf" <<CONF
per_listener_settings false
allow_anonymous false
password_file $dir/passwd
acl_file $dir/acl
persistence true
persistence_location $dir/data/
autosave_interval 1
log_dest file $dir/mosquitto.log
log_type error
log_type warning
log_type notice
listener $TCP_PORT 127.0.0.1
listener $TLS_PORT 127.0.0.1
cafile $dir/ca.crt
certfile $dir/server.crt
keyfile $dir/server.key
listener $WS_PORT 127.0.0.1
protocol websockets
CONF
  # Started as root, mosquitto goes on as its own user: it must reach every file here.
  chmod -R a+rX "$dir"
  chmod a+rwx "$dir/data"
  touch "$dir/mosquitto.log" && chmod a+rw "$dir/mosquitto.log"
}

run_broker() {
  # shellcheck disable=SC1091
  . "$dir/ports"
  mosquitto -c "$dir/mosquitto.conf" >>"$dir/mosquitto.out" 2>&1 &
  echo $! >"$dir/pid"
  wait_listening "$TCP_PORT" && wait_listening "$TLS_PORT" && wait_listening "$WS_PORT"
}

end_broker() {
  local signal="$1"
  [ -f "$dir/pid" ] || return 0
  local pid
  pid="$(cat "$dir/pid")"
  kill "-$signal" "$pid" 2>/dev/null || true
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -KILL "$pid" 2>/dev/null || true
  rm -f "$dir/pid"
}

case "$action" in
start)
  make_certificates
  write_configuration
  run_broker
  ;;
restart) run_broker ;;
stop) end_broker TERM ;;
kill) end_broker KILL ;;
*) echo "mosquitto-rig: unknown action $action" >&2; exit 2 ;;
esac
