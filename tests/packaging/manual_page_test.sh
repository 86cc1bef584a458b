#!/usr/bin/env bash
# Checks a manual page against its program: manual_page_test.sh PROGRAM PAGE RELEASE.
# The program answers --help and --version without a display (a window system that cannot
# connect would abort it), --version prints "quorvel RELEASE", every option that --help shows
# is in the page, and so is every quantity of --help's QUANTITY column (as a .QY line). man
# renders the page without a warning.
set -euo pipefail
program="$1" page="$2" release="$3"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

no_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" "$@"
}
help_text="$(no_display --help)" || fail "$program --help exits with status $?"
version="$(no_display --version)" || fail "$program --version exits with status $?"
[ "$version" = "quorvel $release" ] || fail "--version prints '$version', not 'quorvel $release'"
grep -q -- "--version" <<<"$help_text" || fail "--help does not mention --version"

# The page as plain text: \- is a hyphen, font changes and unbreakable spaces vanish.
text="$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\~/ /g' "$page")"

# An option is a word that starts with - or -- after a space, bracket, bar or comma.
mapfile -t options < <(grep -oE -- '(^|[][ |,(])--?[a-z][a-z0-9]*(-[a-z0-9]+)*' <<<"$help_text" |
    sed -E 's/^[][ |,(]//' | sort -u)
[ "${#options[@]}" -gt 0 ] || fail "no option found in --help"
for option in "${options[@]}"; do
    grep -qE -- "(^|[^a-z0-9-])${option}([^a-z0-9-]|\$)" <<<"$text" ||
        fail "option $option of --help is not in $(basename "$page")"
done

# The QUANTITY column of --help: names at the column's indentation, several joined by ", ".
mapfile -t quantities < <(awk '
    /^  QUANTITY / { inside = 1; width = index($0, $2) - 1 }
    inside && /^$/ { inside = 0 }
    inside && substr($0, width + 1, 1) != " " {
        names = substr($0, width + 1)
        sub(/  .*/, "", names)
        count = split(names, list, ", ")
        for (i = 1; i <= count; i++) print list[i]
    }' <<<"$help_text" | sort -u)
for quantity in "${quantities[@]}"; do
    grep -q "^\.QY $quantity " "$page" || fail "quantity $quantity of --help is not in $(basename "$page")"
done

warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
[ -z "$warnings" ] || fail "man warns about $(basename "$page"): $warnings"

echo "$(basename "$page"): ${#options[@]} options (${options[*]}) and ${#quantities[@]} quantities (${quantities[*]}) checked"
[ "$failures" -eq 0 ]
