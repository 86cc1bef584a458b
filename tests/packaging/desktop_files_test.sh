#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metadata with the desktop's own tools and
# checks that they agree: desktop_files_test.sh RESOURCES APP_ID RELEASE. The desktop entry's
# icon, the metadata's id and launchable are the one reverse-DNS id; the metadata provides
# both programs; its newest release and the Debian changelog's are the project's release.
set -uo pipefail
resources="$1" id="$2" release="$3"
desktop="$resources/$id.desktop" metainfo="$resources/$id.metainfo.xml"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# desktop-file-validate must say nothing, not even a hint; appstreamcli fails on any error or
# warning and shows its notes.
report="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
report="$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1)" || fail "appstreamcli: $report"
echo "$report"

field() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(field Icon)" = "$id" ] || fail "desktop entry's Icon is '$(field Icon)', not $id"
[ "$(field Exec)" = "quorvel" ] || fail "desktop entry's Exec is '$(field Exec)'"

grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $id.desktop"
for binary in quorvel quorvel-cli; do
    grep -q "<binary>$binary</binary>" "$metainfo" || fail "metainfo does not provide $binary"
done
for category in Science Math Education; do
    grep -q "<category>$category</category>" "$metainfo" || fail "metainfo lacks category $category"
done
newest="$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d '"' -f 2)"
[ "$newest" = "$release" ] || fail "metainfo's newest release is '$newest', not $release"
changelog="$(dpkg-parsechangelog -l "$resources/package/changelog" -S Version)"
[ "$changelog" = "$release" ] || fail "changelog's newest version is '$changelog', not $release"

[ "$failures" -eq 0 ]
