#!/usr/bin/env bash
# Throwaway PostgreSQL server for the tests: pgserver.sh start|stop|halt|resume DIR
# Listens on 127.0.0.1 at a free port (written to DIR/port), trust authentication, superuser "gc".
# halt stops it as an administrator's restart does (fast, keeping the data); resume starts it
# again on the same port.
set -euo pipefail
cmd=$1
dir=$2
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bindir/initdb" ] || { echo "PostgreSQL server binaries not found" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

serve() {
    as_owner "$bindir/pg_ctl" -D "$dir/data" -w -t 60 -l "$dir/server.log" \
        -o "-p $1 -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" start >/dev/null
}

case "$cmd" in
start)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    as_owner "$bindir/initdb" -D "$dir/data" -U gc --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
    serve "$port"
    echo "$port" >"$dir/port"
    ;;
halt)
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    ;;
resume)
    serve "$(cat "$dir/port")"
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    fi
    ;;
*)
    echo "usage: pgserver.sh start|stop|halt|resume DIR" >&2
    exit 2
    ;;
esac
