#!/usr/bin/env bash
# The layers' include rules, read from the sources: the command line is reached by nothing
# else, the mathematics reaches no layer above it, the model reaches neither front end, and only
# the window includes Qt.
set -uo pipefail
cd "$1"
status=0

forbid() {
    local folders="$1" pattern="$2" rule="$3"
    local hits
    hits=$(grep -rnE --include='*.h' --include='*.cpp' "$pattern" $folders)
    if [ -n "$hits" ]; then
        echo "$rule:"
        echo "$hits"
        status=1
    fi
}

forbid "gui model numerics" '#include "cli/' "only the command line includes cli/"
forbid "numerics" '#include "(model|gui)/' "numerics/ includes nothing from model/ or gui/"
forbid "model" '#include "gui/' "model/ includes nothing from gui/"
forbid "numerics model cli" '#include <Q|#include <qt' "only gui/ includes Qt"
[ $status -eq 0 ] && echo "layers respected"
exit $status
