#!/usr/bin/env bash
# make-demo.sh FOLDER [NEWBASE]: a demo catalogue in FOLDER (left alone when it already has one).
set -euo pipefail
dir=$1
newbase=${2:-build/app/vidarro-newbase}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
if [ -e "$dir/BaseFilm.mdb" ]; then
    echo "$dir/BaseFilm.mdb exists; it is kept as it is."
    exit 0
fi
"$newbase" "$dir"
sqlite3 "$dir/BaseFilm.mdb" < "$here/demo.sql"
printf '[Config]\r\nMessage=1\r\nTable=1\r\n' > "$dir/Korvel.ini"
