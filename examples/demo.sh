#!/bin/sh
# examples/demo.sh BUILD OUT: exports the sample database four ways into the
# folder OUT with the ferlo-export of the build folder BUILD, then lists the
# files written with their sizes and first lines. `make demo` runs it.
#
# The exports run inside OUT, and -o names each output file relative to
# it; ferlo-export says after each export which files it wrote.
build=$(cd "$1" && pwd)
examples=$(cd "$(dirname "$0")" && pwd)
db=$build/examples/sample.db
rm -rf "$2" && mkdir -p "$2" && cd "$2" || exit 1

failed=0
export_() {
    title=$1
    shift
    echo "== $title"
    "$build/ferlo-export" "$@" "$db" || failed=1
}

export_ 'customers as CSV, ";" between fields, in the system code page' \
    -o customers.csv --options '[CSV=TRUE][DELIMITER=;][OVERWRITE=TRUE]' --table customers
export_ 'orders as UTF-16 text with a headline, a tab between fields' \
    -o orders.txt --options '[CHARSET=UNICODE][WRITEHEAD=TRUE][DELIMITER=\T][OVERWRITE=TRUE]' \
    --table orders
export_ 'one XML file per document, named after the path in its record' \
    -o documents/documents --options '[SINGLE=TRUE][XML=TRUE]' \
    --table documents --record-path-column path
export_ 'customers and orders in one export: a file per table' \
    -o shop.csv --options '[CSV=TRUE][DELIMITER=,][CHARSET=65001][OVERWRITE=TRUE]' \
    --table customers --table orders

echo
python3 "$examples/show_output.py" .
exit $failed
