#!/bin/sh
# tests/string/check_exports.sh OBJDUMP NM MODULE EXPECTED: checks the built
# Windows module as a host's loader sees it, without running it: it exports
# exactly the names in EXPECTED ('#' starts a comment); it imports from
# system DLLs only (the compiler's runtime is linked in); CAbort's exported
# virtual table points at its first slot, two pointers into the compiler's.
set -u
export LC_ALL=C

objdump=$1 nm=$2 module=$3 expected=$4
tmp=${TMPDIR:-/tmp}/check_exports.$$
trap 'rm -f "$tmp".*' EXIT
failed=0

fail() { echo "FAIL: $*" >&2 && failed=1; }

"$objdump" -p "$module" >"$tmp.headers" || { echo "FAIL: cannot read $module" >&2; exit 1; }

# Export names, from the name pointer table: "[ ordinal] name".
awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
     on && /^[ \t]*$/ { on = 0 }
     on { sub(/^[ \t]*\[ *[0-9]+\] /, ""); print }' "$tmp.headers" | sort >"$tmp.actual"
sed -e 's/#.*//' -e 's/[ \t]*$//' -e '/^$/d' "$expected" | sort >"$tmp.expected"

comm -23 "$tmp.expected" "$tmp.actual" >"$tmp.missing"
comm -13 "$tmp.expected" "$tmp.actual" >"$tmp.extra"
[ -s "$tmp.missing" ] && fail "exports missing:" && sed 's/^/  /' "$tmp.missing" >&2
[ -s "$tmp.extra" ] && fail "exports not expected:" && sed 's/^/  /' "$tmp.extra" >&2

sed -n 's/^[ \t]*DLL Name: //p' "$tmp.headers" >"$tmp.imports"
[ -s "$tmp.imports" ] || fail "no imports found"
while read -r dll; do
    case $(echo "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | comdlg32.dll | comctl32.dll | \
        shell32.dll | shlwapi.dll | ole32.dll | oleaut32.dll | version.dll | msvcrt.dll) ;;
    *) fail "imports a DLL that is not part of the system: $dll" ;;
    esac
done <"$tmp.imports"

# The .def file exports CAbort's table as g_abortVtable (32-bit only).
if grep -qxF '??_7CAbort@@6B@' "$tmp.expected"; then
    set -- $("$nm" "$module" | awk '$3 ~ /^_*_ZTV6CAbort$/ { t = $1 } $3 ~ /^_*g_abortVtable$/ { a = $1 }
        END { print t, a }')
    [ $# -eq 2 ] && [ $((0x$2 - 0x$1)) -eq 8 ] ||
        fail "g_abortVtable ($*) is not two pointers past CAbort's virtual table"
fi

[ "$failed" -eq 0 ] && echo "exports and imports of $module as expected"
exit "$failed"
