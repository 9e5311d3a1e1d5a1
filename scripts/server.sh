#!/usr/bin/env bash
# A Firebird server of the register's own, for several desks on one register.
#
#   scripts/server.sh install                       the Debian server package
#   scripts/server.sh start FOLDER [PORT [ADDRESS]] [--password-file FILE]
#                                                   prepare, then run in the background
#   scripts/server.sh create FOLDER [--password-file FILE]  a new register FOLDER/ARVENTA.FDB
#   scripts/server.sh copy FOLDER FILE              an existing register as FOLDER/ARVENTA.FDB
#   scripts/server.sh stop FOLDER                   stop the server started there
#
# and the two pieces `start` is made of, for whoever wants to own the process:
#
#   scripts/server.sh prepare FOLDER [PORT [ADDRESS]] [--password-file FILE]
#                                                      configuration and users only
#   scripts/server.sh run FOLDER                       the server in the foreground
#
# FOLDER is the server's private root: its own firebird.conf (the port, the
# address it listens on, databases only from FOLDER, encrypted connections
# only, no external files or UDFs), its own security database whose first
# administrator, SYSDBA, gets the password asked for when it is made (read
# from FILE's first line with --password-file; never a fixed one), and the
# register. Nothing of the system's Firebird configuration is read for
# users or changed, and no service is started. PORT defaults to 3050,
# ADDRESS to 127.0.0.1 (this machine only; 0.0.0.0 opens it to every
# network the machine is on: see the README before doing so).
# Desks then open the register as HOST/PORT:arventa, e.g.
#   arventa --database office-pc/3050:arventa
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
server_bin=/usr/sbin/firebird
system_conf=/etc/firebird/3.0
# The engine's folder, under the machine's multiarch library folder.
system_root="$(ls -d /usr/lib/*/firebird/3.0 2>/dev/null | head -n 1)"
# The administrator's password, from --password-file or asked once.
password_file=""
password=""

die() { echo "server.sh: $*" >&2; exit 1; }

# The system user a server started by root runs as.
server_user=arventa-fb

# The folder and everything in it (links themselves, not what they point
# to) become the server user's; made once, without a home or a shell.
own_folder() {
  if ! id -u "$server_user" >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$server_user" ||
      die "the system user $server_user cannot be made"
  fi
  chown -R -h "$server_user:$server_user" "$1"
}

# A register put in the folder by root belongs to whoever owns the folder.
same_owner_as_folder() {
  if [ "$(id -u)" -eq 0 ]; then chown --reference="$1" "$2"; fi
}

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# The package's own scripts would start a system-wide server; a policy that
# refuses every service start keeps them from it, for the install only.
install_package() {
  if dpkg-query -W -f='${Status}' firebird3.0-server 2>/dev/null | grep -q 'install ok installed'; then
    return 0
  fi
  local policy=/usr/sbin/policy-rc.d placed=""
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | as_root tee "$policy" >/dev/null
    as_root chmod 755 "$policy"
    placed=yes
  fi
  echo "server.sh: installing firebird3.0-server"
  export DEBIAN_FRONTEND=noninteractive
  local rc=0
  { as_root apt-get install -y -qq --no-install-recommends firebird3.0-server ||
    { as_root apt-get update -qq && as_root apt-get install -y -qq --no-install-recommends firebird3.0-server; }; } || rc=$?
  if [ -n "$placed" ]; then as_root rm -f "$policy"; fi
  return $rc
}

folder_of() {
  [ -n "${1:-}" ] || die "a folder is needed"
  mkdir -p "$1"
  (cd "$1" && pwd)
}

listening() { (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null; }

# The address this machine reaches its server by.
local_address() {
  local a
  a="$(cat "$1/address" 2>/dev/null || echo 0.0.0.0)"
  case "$a" in 0.0.0.0 | "*" | "") echo 127.0.0.1 ;; *) echo "$a" ;; esac
}

# The first administrator's password: the first line of --password-file, or
# typed twice at a terminal. Nothing else knows it.
admin_password() {
  [ -z "$password" ] || return 0
  if [ -n "$password_file" ]; then
    [ -r "$password_file" ] || die "the password file cannot be read: $password_file"
    IFS= read -r password <"$password_file" || true
  elif [ -t 0 ]; then
    local again
    read -r -s -p "The administrator's (SYSDBA) password: " password; echo >&2
    read -r -s -p "Once more: " again; echo >&2
    [ "$password" = "$again" ] || die "the two passwords differ"
  else
    die "the administrator's password is needed: give it with --password-file FILE"
  fi
  [ ${#password} -ge 8 ] || die "the administrator's password must have at least 8 characters"
  case "$password" in *"'"*) die "the password must not hold a quote (')" ;; esac
}

prepare() {
  local root port address
  root="$(folder_of "${1:-}")"
  port="${2:-3050}"
  address="${3:-127.0.0.1}"
  [[ "$port" =~ ^[0-9]+$ ]] || die "the port must be a number: $port"
  [ -x "$server_bin" ] || die "$server_bin is missing: run scripts/server.sh install"
  # The engine's own files (plugins, messages) are found under the root
  # folder; the configuration files are ours to change. The character sets
  # module is loaded only from a real folder of the root, not through a link.
  local part
  for part in plugins UDF lib firebird.msg; do
    ln -sfn "$system_root/$part" "$root/$part"
  done
  rm -rf "${root:?}/intl"
  mkdir "$root/intl"
  cp "$system_root/intl/libfbintl.so" "$system_conf/fbintl.conf" "$root/intl/"
  cp "$system_conf/firebird.conf" "$system_conf/plugins.conf" "$root/"
  cat >>"$root/firebird.conf" <<EOF

# The register's own server (scripts/server.sh).
RemoteServicePort = $port
RemoteBindAddress = $address
DatabaseAccess = Restrict $root
# Every connection encrypted, every login checked by the server's own users;
# nothing of the machine reachable from SQL beyond the register.
WireCrypt = Required
AuthServer = Srp
ExternalFileAccess = None
UdfAccess = None
# Users of this server only; without it the engine would read and write the
# system's own security database.
SecurityDatabase = $root/security3.fdb
EOF
  cat >"$root/databases.conf" <<EOF
security.db = $root/security3.fdb
{
	RemoteAccess = false
}
arventa = $root/ARVENTA.FDB
EOF
  echo "$port" >"$root/port"
  echo "$address" >"$root/address"
  # An empty database becomes the security database when the first user is
  # made in it; the embedded engine needs no password to make him.
  if [ ! -f "$root/security3.fdb" ]; then
    admin_password
    FIREBIRD="$root" isql-fb -q -user sysdba >/dev/null <<EOF
create database '$root/security3.fdb';
create or alter user SYSDBA password '$password' using plugin Srp;
commit;
EOF
  fi
}

run() {
  local root
  root="$(folder_of "${1:-}")"
  [ -f "$root/firebird.conf" ] || die "$root is not prepared: scripts/server.sh prepare $root PORT"
  cd "$root"
  # exec keeps the process id: the one stop ends.
  echo $$ >"$root/firebird.pid"
  if [ "$(id -u)" -eq 0 ]; then
    # Started by root, the server runs as a system user of its own, who owns
    # the folder and nothing else: what a login can make the engine write
    # (a backup through its service, even an administrator's) stays where
    # that user may write.
    # Its lock files too: the machine's lock folder is root's.
    mkdir -p "$root/lock"
    own_folder "$root"
    FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" \
      exec setpriv --reuid="$server_user" --regid="$server_user" --init-groups "$server_bin"
  fi
  FIREBIRD="$root" exec "$server_bin"
}

start() {
  local root port pid
  prepare "$@"
  root="$(folder_of "$1")"
  port="$(cat "$root/port")"
  if [ -f "$root/firebird.pid" ] && kill -0 "$(cat "$root/firebird.pid")" 2>/dev/null; then
    die "a server runs in $root already (process $(cat "$root/firebird.pid"))"
  fi
  if listening "$(local_address "$root")" "$port"; then
    die "port $port is taken by another program: choose another one"
  fi
  # A plain process of its own session, so that it outlives this script
  # and the terminal; stop ends it by the id kept here.
  rm -f "$root/firebird.pid"
  setsid "$0" run "$root" >"$root/server.log" 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 1 100); do
    if [ -f "$root/firebird.pid" ] && listening "$(local_address "$root")" "$port"; then
      pid="$(cat "$root/firebird.pid")"
      echo "server.sh: the server listens on port $port (process $pid); desks open HOST/$port:arventa"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  rm -f "$root/firebird.pid"
  die "the server did not start on port $port: $(tail -n 5 "$root/server.log" 2>/dev/null)"
}

stop() {
  local root pid
  root="$(folder_of "${1:-}")"
  [ -f "$root/firebird.pid" ] || { echo "server.sh: no server was started in $root"; return 0; }
  pid="$(cat "$root/firebird.pid")"
  if kill -TERM "$pid" 2>/dev/null; then
    # The server finishes its databases on SIGTERM, within two seconds or
    # so; now and then it lets a SIGTERM that comes just after a detach go
    # unanswered. What was committed is on disk by then, so a server that
    # has not ended after ten seconds is killed.
    for _ in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
      echo "server.sh: the server did not end in 10 s; killing it" >&2
      kill -KILL "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$root/firebird.pid"
  echo "server.sh: stopped"
}

newdb_program() {
  local p
  for p in "${ARVENTA_NEWDB:-}" "$here/../build-release/tools/newdb/arventa-newdb" "$here/../build/tools/newdb/arventa-newdb"; do
    if [ -n "$p" ] && [ -x "$p" ]; then echo "$p"; return 0; fi
  done
  die "arventa-newdb is not built (cmake --build build-release), or name it in ARVENTA_NEWDB"
}

create() {
  local root
  root="$(folder_of "${1:-}")"
  [ ! -e "$root/ARVENTA.FDB" ] || die "$root/ARVENTA.FDB exists; a register is never written over"
  # Made through the server when it runs, so that the file is the server's
  # from the start; else by the embedded engine, before the server opens it.
  if [ -f "$root/firebird.pid" ] && kill -0 "$(cat "$root/firebird.pid")" 2>/dev/null; then
    admin_password
    ISC_USER=SYSDBA ISC_PASSWORD="$password" \
      "$(newdb_program)" "$(local_address "$root")/$(cat "$root/port"):$root/ARVENTA.FDB"
  else
    "$(newdb_program)" "$root/ARVENTA.FDB"
  fi
  same_owner_as_folder "$root" "$root/ARVENTA.FDB"
  echo "server.sh: a new register in $root/ARVENTA.FDB"
}

copy() {
  local root file
  root="$(folder_of "${1:-}")"
  file="${2:-}"
  [ -f "$file" ] || die "no register to copy: $file"
  [ ! -e "$root/ARVENTA.FDB" ] || die "$root/ARVENTA.FDB exists; a register is never written over"
  # The copy is whole only while no program has the file open; a program
  # on it would keep the embedded engine's lock, which this test finds.
  isql-fb -q -user sysdba "$file" </dev/null >/dev/null ||
    die "$file cannot be opened as a database (is a program still working on it?)"
  cp "$file" "$root/ARVENTA.FDB.part"
  # A copy of a test's or generated database may have forced writes off; a
  # register the desks work on has them on (see README, "Where the data lives").
  gfix -user sysdba -write sync "$root/ARVENTA.FDB.part" ||
    die "forced writes cannot be set on the copy of $file"
  same_owner_as_folder "$root" "$root/ARVENTA.FDB.part"
  mv "$root/ARVENTA.FDB.part" "$root/ARVENTA.FDB"
  echo "server.sh: $file copied to $root/ARVENTA.FDB"
}

# --password-file FILE may come anywhere after the command.
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --password-file) [ $# -ge 2 ] || die "--password-file needs a file"; password_file="$2"; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
set -- "${args[@]+"${args[@]}"}"

case "${1:-}" in
  install) install_package ;;
  prepare) shift; prepare "$@" ;;
  run) shift; run "$@" ;;
  start) shift; start "$@" ;;
  stop) shift; stop "$@" ;;
  create) shift; create "$@" ;;
  copy) shift; copy "$@" ;;
  *) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 2 ;;
esac
