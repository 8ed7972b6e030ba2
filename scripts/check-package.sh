#!/usr/bin/env bash
# Makes the Debian package of a build, checks its desktop files, unpacks it into a scratch root
# and runs the installed brimble-cli on the demo files. Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls -t "$build"/brimble_*.deb | head -1)
echo "package: $(basename "$package")"
dpkg-deb --info "$package" | sed -n 's/^ *\(Depends\|Version\|Package\):/  \1:/p'
dpkg-deb -x "$package" "$scratch/root"
root=$scratch/root/usr

for file in bin/brimble bin/brimble-cli share/man/man1/brimble.1 share/man/man1/brimble-cli.1 \
    share/applications/app.brimble.Brimble.desktop share/metainfo/app.brimble.Brimble.metainfo.xml \
    share/icons/hicolor/scalable/apps/app.brimble.Brimble.svg share/icons/hicolor/48x48/apps/app.brimble.Brimble.png \
    share/icons/hicolor/256x256/apps/app.brimble.Brimble.png; do
    [[ -e "$root/$file" ]] || { echo "missing from the package: /usr/$file"; exit 1; }
done
desktop-file-validate "$root/share/applications/app.brimble.Brimble.desktop"
appstreamcli validate --no-net --pedantic "$root/share/metainfo/app.brimble.Brimble.metainfo.xml" >/dev/null
file "$root/share/icons/hicolor/48x48/apps/app.brimble.Brimble.png" | grep -q "48 x 48"
man -l "$root/share/man/man1/brimble-cli.1" >/dev/null 2>&1 || groff -man -Tutf8 "$root/share/man/man1/brimble-cli.1" >/dev/null

"$root/bin/brimble-cli" --version
"$build/tools/brimble-make-demo" "$scratch/demo" >/dev/null
(cd "$scratch/demo" && "$root/bin/brimble-cli" build | tail -1)
echo "package checks passed"
