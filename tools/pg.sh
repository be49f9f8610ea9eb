#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests and the load benchmark.
#
#   tools/pg.sh COMMAND [ARGS...]   starts a server, runs COMMAND with
#                                   ZONITRA_TEST_PG set, stops the server and
#                                   removes it (also on failure or Ctrl-C);
#                                   exits with COMMAND's status
#   tools/pg.sh restart DIR         restarts the server kept in DIR (what a
#                                   test uses to cut every connection)
#
# The server is initdb + pg_ctl from Debian's postgresql package, in a fresh
# folder under /tmp, run by the unprivileged user postgres when started by
# root (the server refuses to run as root). It listens on a Unix socket in
# that folder only (no TCP), so parallel runs never meet, and trusts local
# connections, which only the folder's owner and root can reach. fsync is off:
# nothing in it outlives the command. Extra server settings may be given in
# ZONITRA_PG_SETTINGS (e.g. "-c fsync=on -c synchronous_commit=on").
#
# ZONITRA_TEST_PG is the connection string of the maintenance database
# "postgres" as its superuser; tests create a database of their own from it.
# ZONITRA_TEST_PG_RESTART is the command that restarts the server.
set -euo pipefail

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bindir" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "pg.sh: PostgreSQL server programs not found (install postgresql)" >&2
    exit 1
fi

# Runs a server program as the owner of the server folder.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

if [ "${1:-}" = restart ]; then
    dir=${2:?usage: pg.sh restart DIR}
    as_owner "$bindir/pg_ctl" restart -D "$dir/data" -m fast -w -s -l "$dir/server.log" \
        -o "$(cat "$dir/options")"
    exit 0
fi
if [ $# -eq 0 ]; then
    echo "usage: pg.sh COMMAND [ARGS...] | pg.sh restart DIR" >&2
    exit 2
fi

dir=$(mktemp -d /tmp/zonitra-pg.XXXXXX)
[ "$(id -u)" -ne 0 ] || chown postgres: "$dir"
chmod 700 "$dir"
stop() {
    as_owner "$bindir/pg_ctl" stop -D "$dir/data" -m immediate -s >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap stop EXIT
trap 'exit 130' INT TERM

# French ICU collation by default, as an organisation's server may have: the
# tests then show that no order depends on the server's collation.
as_owner "$bindir/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
    --locale-provider=icu --icu-locale=fr >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
echo "-c listen_addresses='' -k $dir -c fsync=off -c max_connections=200 ${ZONITRA_PG_SETTINGS:-}" \
    >"$dir/options"
as_owner "$bindir/pg_ctl" start -D "$dir/data" -w -s -l "$dir/server.log" -o "$(cat "$dir/options")" ||
    { cat "$dir/server.log" >&2; exit 1; }

export ZONITRA_TEST_PG="postgresql:///postgres?host=$dir&user=postgres"
export ZONITRA_TEST_PG_RESTART="bash $(cd "$(dirname "$0")" && pwd)/pg.sh restart $dir"
status=0
"$@" || status=$?
exit "$status"
