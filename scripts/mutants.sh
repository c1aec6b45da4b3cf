#!/usr/bin/env bash
# Do the tests notice real faults? Each mutation below is one small edit of one source file, a fault the
# tests must catch. They are applied one at a time to a scratch worktree of a commit (HEAD by default):
# rebuild, run the tests (stopping at the first failure), restore. Prints a table and "N of M killed".
# By hand only, not in CI: it takes a full build plus one rebuild and one test run per mutation.
#   scripts/mutants.sh [REV] [NAME-PATTERN]
# Uses ccache when there is one. MUTANTS_DIR=DIR keeps the scratch worktree and its build in DIR, so the next
# run rebuilds only what changed; MUTANTS_KEEP=1 keeps a temporary one for a look after a failure.
set -euo pipefail

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
rev=$(git -C "$repo" rev-parse "${1:-HEAD}")
only=${2:-}
if [ -n "${MUTANTS_DIR:-}" ]; then
    work=$(mkdir -p "$MUTANTS_DIR" && cd "$MUTANTS_DIR" && pwd)
    MUTANTS_KEEP=1
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/vidarro-mutants.XXXXXX")
fi
src=$work/src
build=$work/build

cleanup() {
    if [ -z "${MUTANTS_KEEP:-}" ]; then
        git -C "$repo" worktree remove --force "$src" >/dev/null 2>&1 || true
        rm -rf "$work"
    fi
}
trap cleanup EXIT
if [ -e "$src/.git" ]; then
    git -C "$src" checkout --quiet --force --detach "$rev"
else
    git -C "$repo" worktree add --detach --quiet "$src" "$rev"
fi

if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    # Paths relative to the scratch tree, so a second run reuses the first one's objects.
    export CCACHE_BASEDIR=$src CCACHE_NOHASHDIR=1
fi
unset DISPLAY WAYLAND_DISPLAY
jobs=$(nproc)

# build_and_test [TESTS]: the tests matching the regular expression TESTS first (built alone, so a fault they
# catch costs one program), then everything.
build_and_test() {
    if [ -n "${1:-}" ]; then
        local first
        first=$(ctest --test-dir "$build" -N -R "$1" | sed -n 's/^ *Test *#[0-9]*: //p')
        if [ -n "$first" ]; then
            # shellcheck disable=SC2086
            timeout 1800 cmake --build "$build" -j"$jobs" --target $first >"$work/build.log" 2>&1 || return 2
            timeout 900 ctest --test-dir "$build" -R "$1" --timeout 120 >"$work/test.log" 2>&1 || return 1
        fi
    fi
    timeout 1800 cmake --build "$build" -j"$jobs" >"$work/build.log" 2>&1 || return 2
    timeout 900 ctest --test-dir "$build" -j"$jobs" --stop-on-failure --timeout 120 >"$work/test.log" 2>&1 || return 1
    return 0
}

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIDARRO_BUILD_BENCH=OFF >"$work/configure.log"
if ! build_and_test; then
    echo "The unchanged tree does not build or pass its tests; see $work" >&2
    MUTANTS_KEEP=1
    exit 1
fi

names=()
results=()
broken=0

# mutant NAME FILE ORIGINAL REPLACEMENT [TESTS]: ORIGINAL must occur exactly once in FILE; TESTS (a regular
# expression of test names) are the ones expected to notice, run first.
mutant() {
    local name=$1 file=$src/$2 original=$3 replacement=$4 hint=${5:-}
    if [ -n "$only" ] && [[ $name != *$only* ]]; then
        return
    fi
    cp "$file" "$work/saved"
    if ! python3 - "$file" "$original" "$replacement" <<'EOF'; then
import sys
path, old, new = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(f"{path}: the snippet occurs {text.count(old)} times, not once:\n{old}")
open(path, "w", encoding="utf-8").write(text.replace(old, new))
EOF
        echo "Mutation \"$name\" no longer applies: update the list." >&2
        exit 1
    fi
    local rc=0
    build_and_test "$hint" || rc=$?
    cp "$work/saved" "$file"
    names+=("$name")
    case $rc in
    0) results+=("SURVIVED") ;;
    1) results+=("killed") ;;
    *)
        results+=("DOES NOT BUILD")
        broken=1
        cp "$work/build.log" "$work/build-$(echo "$name" | tr -c 'a-zA-Z0-9\n' '-').log"
        ;;
    esac
    printf '%-55s %s\n' "$name" "${results[-1]}" >&2
}

# ---- The list ----

mutant "dropped transaction (import)" import/updialog.cpp \
    'CDaoDatabase::Transaction transaction(cDaoDB);' \
    'struct { void Commit() {} } transaction;' \
    'test_updialog|test_import'

mutant "transaction destructor without ROLLBACK" data/daodb.cpp \
    'q.exec(QStringLiteral("ROLLBACK"));' \
    'q.exec(QStringLiteral("SELECT 1"));' \
    'test_recordlayer|test_core'

mutant "off-by-one in the position walk" data/recordset.cpp \
    'Select(QStringLiteral("ORDER BY rowid LIMIT 1 OFFSET ?"), { position });' \
    'Select(QStringLiteral("ORDER BY rowid LIMIT 1 OFFSET ?"), { position + 1 });' \
    'test_recordlayer|test_core'

mutant "cursor left wrong after a failed rowid move" data/recordset.cpp \
    $'    if (IsEOF())\n        m_lastRowid = rowid;\n' \
    '' \
    'test_recordlayer|test_core'

mutant "rows read before an error not listed" app/listctrl.cpp \
    $'    const auto show = qScopeGuard([&] { SetRows(std::move(rows)); });\n    read(rows);' \
    $'    read(rows);\n    SetRows(std::move(rows));' \
    'test_gui'

mutant "film list read ahead used after the file changed" app/vidarrodlg.cpp \
    'if (preloaded->SameFile(FileState(m_strBasePath))) {' \
    'if (true) {' \
    'test_gui'

mutant "QSqlQuery fallback insert stores NULLs" data/recordset.cpp \
    'm_insert.bindValue(i, values[i]);' \
    'm_insert.bindValue(i, QVariant());' \
    'test_bulkappend|test_core'

mutant "Latin-only case folding" data/textrules.cpp \
    'return text.toLower();' \
    'QString s = text; for (QChar& c : s) if (c.unicode() < 128) c = c.toLower(); return s;' \
    'test_recordlayer|test_core'

mutant "n/d rule broken for a single blank" data/textrules.cpp \
    'input == QStringLiteral(" ")' \
    'input == QStringLiteral("  ")' \
    'test_recordlayer|test_core'

mutant "skipped black-list check" debtors/adddolgdialog.cpp \
    'if (!CheckBlackList(cDaoDB, m_strName))' \
    'if (false && !CheckBlackList(cDaoDB, m_strName))' \
    'test_adddolgdialog|test_debtors'

mutant "in-place settings write" settings/profile.cpp \
    'QSaveFile file(filePath);' \
    'struct : QFile { using QFile::QFile; void cancelWriting() {} bool commit() { return flush(); } } file(filePath);' \
    'test_profile|test_core'

mutant "lost CR LF" settings/profile.cpp \
    'QByteArray eol = "\r\n";' \
    'QByteArray eol = "\n";' \
    'test_profile|test_core'

mutant "progress range without its minimum" import/updialog.cpp \
    'm_progress->setRange(0, std::max(total, 1));' \
    'm_progress->setRange(0, total);' \
    'test_updialog|test_import'

mutant "import count leaves out debtors" import/updialog.cpp \
    'm_nTotal += debtors;' \
    '' \
    'test_updialog|test_import'

mutant "import window may close during the copy" import/updialog.cpp \
    $'    if (m_bCopying)\n        return;\n' \
    '' \
    'test_updialog|test_import'

mutant "\"rating above\" as >=" data/search.cpp \
    'return LeadingInt(stored) > m_number;' \
    'return LeadingInt(stored) >= m_number;' \
    'test_search|test_core'

mutant "no debtor recount" app/vidarrodlg.cpp \
    $'only "OK" recounts.\n    if (dlg.DoModal() == app::IDOK) {\n        CountDebtors();' \
    $'only "OK" recounts.\n    if (dlg.DoModal() == app::IDOK) {' \
    'test_debtoralert|test_debtors'

mutant "no sound in alert mode 3" app/vidarrodlg.cpp \
    'if (mode == 2 || mode == 3)' \
    'if (mode == 2)' \
    'test_debtoralert|test_debtors'

mutant "no WAV block-alignment check" debtors/debtorsound.cpp \
    '|| blockAlign != channels * bits / 8)' \
    ')' \
    'test_debtoralert|test_debtors'

mutant "stream trusted with bytes after its end" import/mdbreader.cpp \
    'return m_ended && !m_bad && m_buffer.isEmpty();' \
    'return m_ended && !m_bad;' \
    'test_prevbase'

mutant "conversion cut short keeps its temporary file" import/jetconvert.cpp \
    $'        } catch (const ReadFailure& failure) {\n            RemoveTemp(temp);' \
    $'        } catch (const ReadFailure& failure) {' \
    'test_import'

# ---- The table ----

killed=0
echo
printf '| %-55s | %-9s |\n' "Mutation" "Result"
printf '|%s|%s|\n' "$(printf -- '-%.0s' {1..57})" "$(printf -- '-%.0s' {1..11})"
for i in "${!names[@]}"; do
    printf '| %-55s | %-9s |\n' "${names[$i]}" "${results[$i]}"
    [ "${results[$i]}" = killed ] && killed=$((killed + 1))
done
echo
echo "$killed of ${#names[@]} killed"
[ "$broken" = 0 ] || exit 2
[ "$killed" = "${#names[@]}" ]
