#!/usr/bin/env bash
# Checks the bash completion against quorvel-cli itself: completion_test.sh CLI COMPLETION.
# For each distribution, every quantity that quorvel-cli knows must be offered, and for each
# such quantity the options offered must be exactly those quorvel-cli accepts there (probed
# with every option that --help shows). A quantity offered that quorvel-cli does not know yet
# is listed, not failed, so the completion may name a quantity before it arrives.
set -u
cli="$1"
# shellcheck source=/dev/null
source "$2"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# What the completion offers for the words given (the last one is being completed).
offered() {
    COMP_WORDS=(quorvel-cli "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _quorvel_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort -u
}

# Whether quorvel-cli takes the option in DISTRIBUTION QUANTITY OPTION: it refuses one it does
# not take with one of these phrases (and any other input with another message).
takes() {
    local said
    said="$("$cli" "$@" 1 2>&1)"
    [[ $said != *"unknown option"* && $said != *"does not belong"* && $said != *"is not used by"* ]]
}

mapfile -t all_options < <("$cli" --help | grep -oE -- '(^|[][ |,(])--[a-z][a-z0-9]*(-[a-z0-9]+)*' |
    sed -E 's/^[][ |,(]//' | grep -vxE -- '--(help|version|batch|option)' | sort -u)
[ "${#all_options[@]}" -gt 10 ] || fail "too few options found in --help: ${all_options[*]}"

[ "$(offered "" | tr '\n' ' ')" = "--batch --help --version chisq f t x2 " ] ||
    fail "first word offers: $(offered "" | tr '\n' ' ')"

checked=0
for distribution in f t chisq; do
    # quorvel-cli lists the quantities of a distribution when it is given an unknown one.
    known="$("$cli" "$distribution" no-such-quantity 2>&1 |
        sed -n 's/.*: use \(.*\) (see .*/\1/p' | sed -e 's/,\| or / /g')"
    [ -n "$known" ] || fail "quorvel-cli names no quantities for $distribution"
    mapfile -t quantities < <(offered "$distribution" "")
    for quantity in $known; do
        printf '%s\n' "${quantities[@]}" | grep -qx -- "$quantity" ||
            fail "$distribution $quantity is not offered"
    done
    for quantity in "${quantities[@]}"; do
        if ! grep -qw -- "$quantity" <<<"$known"; then
            echo "note: $distribution $quantity is offered but quorvel-cli does not know it yet"
            continue
        fi
        accepted=()
        for option in "${all_options[@]}"; do
            if takes "$distribution" "$quantity" "$option"; then
                accepted+=("$option")
            fi
        done
        expected="$(printf '%s\n' "${accepted[@]}" | sort -u | tr '\n' ' ')"
        got="$(offered "$distribution" "$quantity" "" | tr '\n' ' ')"
        [ "$got" = "$expected" ] ||
            fail "$distribution $quantity offers [$got], quorvel-cli accepts [$expected]"
        checked=$((checked + 1))
    done
done

# An option already given is not offered again; --sides and --design offer their values.
[ "$(offered f cdf --value 3 "" | tr '\n' ' ')" = "--df1 --df2 --lambda " ] ||
    fail "f cdf after --value offers: $(offered f cdf --value 3 "" | tr '\n' ' ')"
[ "$(offered t sample-size --design "" | tr '\n' ' ')" = "equivalence one-sample paired two-sample " ] ||
    fail "--design offers: $(offered t sample-size --design "" | tr '\n' ' ')"
[ "$(offered X2 rmsea --confidence = 0.9 "" | tr '\n' ' ')" = "--alternative --df --n --value " ] ||
    fail "X2 rmsea after --confidence=0.9 offers: $(offered X2 rmsea --confidence = 0.9 "" | tr '\n' ' ')"
[ "$(offered t g --alternative "" | tr '\n' ' ')" = "greater less two-sided " ] ||
    fail "--alternative offers: $(offered t g --alternative "" | tr '\n' ' ')"

echo "completion: $checked quantities checked against ${#all_options[@]} options"
[ "$failures" -eq 0 ]
