#!/usr/bin/env bash
# Creates the box-office schema in fresh databases, loads sample_rows.sql and runs every
# statement of server/schema/statements.sql, comparing the rows each returns (or changes) with
# expected_rows.txt. SQLite always (sqlite3 CLI, temporary file); PostgreSQL as well when
# KAV_TEST_PG holds a libpq connection string (a fresh schema inside that database, dropped at the
# end). With PostgreSQL the two schema files are also compared column by column.
#
# SQLite gets each statement through the dialect rewrites of server/schema/README.md and binds
# :NAME parameters natively; PostgreSQL gets the statement unchanged with :NAME replaced by the
# quoted sample value, as the server's binding does. Writes run inside a rolled-back transaction.
#
# Usage: tests/server/schema/check_schema.sh        exit status 0 when every check passed
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
schema_dir=$root/server/schema
catalogue=$schema_dir/statements.sql
fixture=$here/sample_rows.sql
expectations=$here/expected_rows.txt

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

work=$(mktemp -d "${TMPDIR:-/tmp}/kav-schema-check.XXXXXX")
pg_schema=""
cleanup() {
    if [[ -n $pg_schema ]]; then
        psql "$KAV_TEST_PG" -X -q -c "drop schema if exists $pg_schema cascade" >/dev/null 2>&1
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Sample value bound to a :NAME parameter (names compared ignoring case, as the server does).
param_value() {
    case ${1^^} in
    NODECODE) echo "01" ;;
    ORDERCODE) echo "D0000001" ;;
    *) return 1 ;;
    esac
}

# The SQLite dialect rewrites; keep in step with the list in server/schema/README.md.
sqlite_dialect() {
    sed -E "s/cast[[:space:]]*\([[:space:]]*'now'[[:space:]]+as[[:space:]]+timestamp[[:space:]]*\)/datetime('now','localtime')/gI"
}

declare -A expected=()
while read -r id count; do
    [[ -z $id || $id == \#* ]] && continue
    expected[$id]=$count
done <"$expectations"

# ---- catalogue -> arrays
ids=() calls=() params=() statements=()
id="" call="" param_names=""
while IFS= read -r line; do
    case $line in
    "-- id: "*) id=${line#"-- id: "} ;;
    "-- call: "*) call=${line#"-- call: "} ;;
    "-- params: "*) param_names=${line#"-- params: "} ;;
    --*) ;;
    "") ;;
    *)
        if [[ -z $id || -z $call ]]; then
            fail "catalogue: statement without id or call: ${line:0:60}"
        else
            ids+=("$id") calls+=("$call") params+=("$param_names") statements+=("$line")
        fi
        id="" call="" param_names=""
        ;;
    esac
done <"$catalogue"
echo "catalogue: ${#ids[@]} statements"

for i in "${!ids[@]}"; do
    case ${calls[$i]} in
    GetData | MasterData | DetailData | ExecSQL) ;;
    *) fail "${ids[$i]}: unknown call '${calls[$i]}'" ;;
    esac
    [[ -n ${expected[${ids[$i]}]+x} ]] || fail "${ids[$i]}: no line in expected_rows.txt"
    for name in ${params[$i]}; do
        grep -q ":$name\b" <<<"${statements[$i]}" || fail "${ids[$i]}: parameter :$name not in the statement"
        param_value "$name" >/dev/null || fail "${ids[$i]}: no sample value for :$name"
    done
done

# ---- SQLite
db=$work/check.db
if ! sqlite3 -bail -batch "$db" <"$schema_dir/sqlite.sql" 2>"$work/err" ||
    ! sqlite3 -bail -batch "$db" <"$fixture" 2>>"$work/err"; then
    fail "sqlite: schema or sample rows: $(cat "$work/err")"
fi

run_sqlite() { # statement call params -> prints the row count (reads) or changed rows (writes)
    local sql call=$2 name script=""
    sql=$(sqlite_dialect <<<"$1")
    for name in $3; do
        # The value is an SQL literal; the double quotes keep its apostrophes through the shell.
        script+=".parameter set :$name \"'$(param_value "$name")'\""$'\n'
    done
    if [[ $call == ExecSQL ]]; then
        script+="BEGIN;"$'\n'"$sql;"$'\n'"SELECT changes();"$'\n'"ROLLBACK;"$'\n'
        sqlite3 -bail -batch -list -cmd "PRAGMA case_sensitive_like=ON" "$db" <<<"$script" | tail -n 1
    else
        script+="$sql;"$'\n'
        sqlite3 -bail -batch -list -cmd "PRAGMA case_sensitive_like=ON" "$db" <<<"$script" | wc -l
    fi
}

check_statements() { # backend runner
    local backend=$1 runner=$2 i out
    for i in "${!ids[@]}"; do
        if ! out=$("$runner" "${statements[$i]}" "${calls[$i]}" "${params[$i]}" 2>"$work/err") ||
            [[ -s $work/err ]]; then
            fail "$backend ${ids[$i]}: $(head -c 400 "$work/err")"
        elif [[ $out != "${expected[${ids[$i]}]:-?}" ]]; then
            fail "$backend ${ids[$i]}: $out rows, expected ${expected[${ids[$i]}]:-?}"
        fi
    done
}
check_statements sqlite run_sqlite

# Searches the order window runs on large tables must start from an index, never a full scan.
statement_of() {
    local i
    for i in "${!ids[@]}"; do [[ ${ids[$i]} == "$1" ]] && printf '%s' "${statements[$i]}"; done
}
bare=$(statement_of order.by_condition.bare)
declare -A searches=(
    [order code]="$(statement_of order.by_code)"
    [order password]="$(statement_of order.by_password)"
    [create time]="$bare and o.CREATETIME >= '2026-11-01 00:00:00' and o.CREATETIME <= '2026-12-07 23:59:59'"
    [product]="$bare and o.PRODUCTCODE in ('P0001','P0002')"
    [customer name]="$bare and c.CNAME = '张三'"
    [telephone]="$bare and c.TEL = '010-12345678'"
    [cell phone]="$bare and c.CELLPHONE = '13900000001'"
    [member card]="$bare and o.MEMBERCARDNO = '8800001'"
    [seats of an order]="$(statement_of order.seats)"
    [booked seats of an order]="$(statement_of salecore.book_seat_info)"
    [discount lines]="$(statement_of split.order_discount)"
    [product search]="$(statement_of product.search)"
)
for what in "${!searches[@]}"; do
    plan=$(sqlite3 -batch "$db" "EXPLAIN QUERY PLAN ${searches[$what]}" 2>&1)
    if grep -q -- "--SCAN " <<<"$plan"; then
        fail "sqlite: the $what search scans a whole table: $(grep -- "--SCAN " <<<"$plan" | head -n 2)"
    fi
done

# ---- PostgreSQL
if [[ -n ${KAV_TEST_PG:-} ]]; then
    pg_schema=kav_check_$$
    export PGCLIENTENCODING=UTF8
    psql "$KAV_TEST_PG" -X -q -v ON_ERROR_STOP=1 -c "create schema $pg_schema" >/dev/null || exit 1
    export PGOPTIONS="-c search_path=$pg_schema"
    if ! psql "$KAV_TEST_PG" -X -q -v ON_ERROR_STOP=1 -f "$schema_dir/postgresql.sql" >/dev/null 2>"$work/err" ||
        ! psql "$KAV_TEST_PG" -X -q -v ON_ERROR_STOP=1 -f "$fixture" >/dev/null 2>>"$work/err"; then
        fail "postgresql: schema or sample rows: $(cat "$work/err")"
    fi

    run_pg() {
        local sql=$1 call=$2 name
        for name in $3; do
            sql=$(NAME=$name VALUE=$(param_value "$name") perl -pe 's/:\Q$ENV{NAME}\E\b/'"'"'$ENV{VALUE}'"'"'/g' <<<"$sql")
        done
        if [[ $call == ExecSQL ]]; then
            psql "$KAV_TEST_PG" -X -A -t -v ON_ERROR_STOP=1 -c "BEGIN" -c "$sql" -c "ROLLBACK" |
                awk '/^(UPDATE|DELETE|INSERT [0-9]+) [0-9]+$/ { print $NF }'
        else
            psql "$KAV_TEST_PG" -X -A -t -v ON_ERROR_STOP=1 -c "$sql" | wc -l
        fi
    }
    check_statements postgresql run_pg

    # Both schema files must declare the same columns with corresponding types:
    # varchar(n) both sides, integers, money (numeric / REAL) and times (timestamp / TIMESTAMP).
    psql "$KAV_TEST_PG" -X -A -t -F ' ' -c "select lower(table_name) || '.' || lower(column_name),
            case when data_type = 'character varying' then 'text(' || character_maximum_length || ')'
                 when data_type in ('smallint', 'integer', 'bigint') then 'integer'
                 when data_type = 'numeric' then 'money'
                 when data_type like 'timestamp%' then 'timestamp'
                 else data_type end
        from information_schema.columns where table_schema = '$pg_schema' order by 1" >"$work/pg.columns"
    sqlite3 -batch -separator ' ' "$db" "select lower(m.name) || '.' || lower(c.name),
            case when upper(c.type) like 'VARCHAR(%' then 'text(' || substr(c.type, 9, length(c.type) - 9) || ')'
                 when upper(c.type) in ('SMALLINT', 'INTEGER') then 'integer'
                 when upper(c.type) = 'REAL' then 'money'
                 when upper(c.type) = 'TIMESTAMP' then 'timestamp'
                 else c.type end
        from sqlite_schema m, pragma_table_info(m.name) c where m.type = 'table' order by 1" >"$work/sqlite.columns"
    if ! diff "$work/pg.columns" "$work/sqlite.columns" >"$work/diff"; then
        fail "schema files differ (< postgresql, > sqlite): $(cat "$work/diff")"
    fi
fi

# Every table has a primary key.
for table in $(sqlite3 -batch "$db" "select name from sqlite_schema where type = 'table'"); do
    [[ $(sqlite3 -batch "$db" "select count(*) from pragma_table_info('$table') where pk > 0") -gt 0 ]] ||
        fail "sqlite: table $table has no primary key"
done

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed${KAV_TEST_PG:+ (SQLite and PostgreSQL)}"
