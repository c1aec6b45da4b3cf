#!/usr/bin/env bash
# The house rules a build does not check: the .clang-format style, windows going through the facades
# for message boxes, file dialogs and SQL, and the share of test code.
#   scripts/check-style.sh                   every check (what CI runs)
#   scripts/check-style.sh format|facades|share ...   only the named ones
set -uo pipefail
cd "$(dirname "$0")/.."

MAX_TEST_SHARE=0.40
CLANG_FORMAT=clang-format-14

# The sources: every *.cpp and *.h but those of build trees (build*/, or any folder with a CMakeCache.txt).
sources() {
    find . -type d \( -name .git -o -name 'build*' -o -exec test -e '{}/CMakeCache.txt' \; \) -prune \
        -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | LC_ALL=C sort
}

failed=()

check_format() {
    if ! command -v "$CLANG_FORMAT" >/dev/null; then
        echo "FAILED format: $CLANG_FORMAT is missing (scripts/install-deps.sh installs it)"
        return 1
    fi
    local out bad
    out=$(sources | xargs -d '\n' "$CLANG_FORMAT" --dry-run --Werror 2>&1)
    bad=$(printf '%s\n' "$out" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*clang-format-violations.*/\1/p' | sort -u)
    if [ -n "$bad" ] || printf '%s\n' "$out" | grep -q 'error:'; then
        echo "FAILED format: not in the .clang-format style ($CLANG_FORMAT -i FILE mends it):"
        if [ -n "$bad" ]; then
            printf '  %s\n' $bad
        else
            printf '%s\n' "$out" | head -20
        fi
        return 1
    fi
    echo "ok format: $(sources | wc -l) files in the .clang-format style"
}

# Windows show messages and choose files through app/msgbox.* and app/filedialog.*; SQL stays in data/.
# Allowed beyond those:
#   import/prevbase.cpp QSqlQuery: reads a base of the previous version (no window; core library).
ALLOWED_FACADE_USES=(
    "import/prevbase.cpp:QSqlQuery"
)

check_facades() {
    local hits=() file word
    while IFS= read -r file; do
        case "$file" in
        tests/* | bench/* | data/* | app/msgbox.* | app/filedialog.*) continue ;;
        esac
        for word in QMessageBox QFileDialog QSqlQuery; do
            grep -qw "$word" "$file" || continue
            [[ " ${ALLOWED_FACADE_USES[*]} " == *" $file:$word "* ]] && continue
            hits+=("$(grep -nw "$word" "$file" | sed "s|^|  $file:|")")
        done
    done < <(sources)
    if [ ${#hits[@]} -gt 0 ]; then
        echo "FAILED facades: use app::MessageBox, app::GetOpenFileName, or the record layer in data/ instead of:"
        printf '%s\n' "${hits[@]}"
        return 1
    fi
    echo "ok facades: no window calls QMessageBox, QFileDialog or QSqlQuery itself"
}

nonblank() {
    xargs -d '\n' -r cat | grep -cv '^[[:space:]]*$'
}

check_share() {
    local tests code share
    tests=$(sources | grep '^tests/' | nonblank)
    code=$(sources | grep -v '^tests/' | grep -v '^bench/' | nonblank)
    share=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.3f", c ? t / c : 0 }')
    if awk -v s="$share" -v m="$MAX_TEST_SHARE" 'BEGIN { exit !(s > m) }'; then
        echo "FAILED share: test share $share ($tests test lines / $code code lines) is above $MAX_TEST_SHARE"
        return 1
    fi
    echo "ok share: test share $share ($tests test lines / $code code lines), at most $MAX_TEST_SHARE"
}

checks=("$@")
[ ${#checks[@]} -eq 0 ] && checks=(format facades share)
for c in "${checks[@]}"; do
    case "$c" in
    format | facades | share) "check_$c" || failed+=("$c") ;;
    *)
        echo "unknown check: $c (format, facades, share)"
        exit 2
        ;;
    esac
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "check-style: failed: ${failed[*]}"
    exit 1
fi
