#!/usr/bin/env bash
# Checks the Debian package as a user meets it: package_test.sh DEB README. The control fields
# (section, computed dependencies); the files a desktop and Debian expect, the icon under the
# desktop entry's Icon name, which is its id; the AppStream metadata validated in the unpacked
# tree (which finds the desktop entry the metadata launches); the unpacked programs (--version
# without a display, and every README example written as "    $ quorvel-cli ..." followed by
# its output line); and lintian without errors.
set -uo pipefail
deb="$1" readme="$2"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x $deb"

field() { dpkg-deb -f "$deb" "$1"; }
version="$(field Version)"
[ "$(field Package)" = quorvel ] || fail "package name is '$(field Package)'"
[ "$(field Section)" = science ] || fail "section is '$(field Section)'"
[ -n "$(field Description)" ] || fail "no description"
depends="$(field Depends | sed 's/ ([^)]*)//g')"
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6; do
    [[ ", $depends," == *", $library,"* ]] || fail "Depends lacks $library: $(field Depends)"
done

desktop_files=("$root"/usr/share/applications/*.desktop)
[ "${#desktop_files[@]}" -eq 1 ] || fail "expected one desktop entry: ${desktop_files[*]}"
id="$(basename "${desktop_files[0]}" .desktop)"
expected=(
    usr/bin/quorvel usr/bin/quorvel-cli
    usr/share/man/man1/quorvel.1.gz usr/share/man/man1/quorvel-cli.1.gz
    usr/share/bash-completion/completions/quorvel-cli
    "usr/share/metainfo/$id.metainfo.xml"
    "usr/share/icons/hicolor/scalable/apps/$id.svg"
    usr/share/doc/quorvel/copyright usr/share/doc/quorvel/changelog.gz
)
for size in 16 24 32 48 64 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
icon="$(sed -n 's/^Icon=//p' "${desktop_files[0]}")"
[ "$icon" = "$id" ] || fail "the desktop entry's Icon is '$icon', not its id $id"
report="$(appstreamcli validate-tree --no-net --no-color "$root" 2>&1)" ||
    fail "appstreamcli validate-tree: $report"
echo "$report"
[ "$(zcat "$root/usr/share/doc/quorvel/changelog.gz" | head -n 1 | grep -o '([^)]*)')" = "($version)" ] ||
    fail "the changelog's newest entry is not version $version"

cli="$root/usr/bin/quorvel-cli"
[ "$("$cli" --version)" = "quorvel $version" ] || fail "unpacked quorvel-cli --version: $("$cli" --version)"
gui_version="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/quorvel" --version)"
[ "$gui_version" = "quorvel $version" ] || fail "unpacked quorvel --version: $gui_version"

examples=0
while IFS= read -r command && IFS= read -r output; do
    read -r -a arguments <<<"${command#*\$ quorvel-cli }"
    got="$("$cli" "${arguments[@]}")"
    [ "$got" = "${output#"    "}" ] || fail "README example '${command#*\$ }' prints '$got', README says '${output#"    "}'"
    examples=$((examples + 1))
done < <(grep -A 1 '^    \$ quorvel-cli ' "$readme" | grep -v '^--$')
[ "$examples" -gt 0 ] || fail "no '    \$ quorvel-cli' example in $readme"
echo "$examples README example(s) run with the unpacked quorvel-cli"

lintian_report="$(lintian --fail-on error --display-info --tag-display-limit 0 "$deb" 2>&1)" ||
    fail "lintian reports errors"
echo "lintian: ${lintian_report:-no tags}"

[ "$failures" -eq 0 ]
