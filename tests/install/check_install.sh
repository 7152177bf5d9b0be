#!/usr/bin/env bash
# Installs the build into an empty prefix and checks what a desktop needs: the
# program, a desktop entry and AppStream metainfo that their validators accept,
# and the icon in every size. Then starts the installed program from a prefix
# it cannot write to and checks that its settings file goes to the per-user
# configuration folder, not beside the executable.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
id=example.vistrel.Vistrel
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/vistrel share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg; do
    [ -f "$prefix/$file" ] || fail "missing $file"
done
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x$size/apps/$id.png"
    [ -f "$png" ] || fail "missing the ${size}px icon"
    # The PNG header holds width and height as 32-bit big-endian numbers.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x$size" ] || fail "the ${size}px icon is $dims"
done
[ -x "$prefix/bin/vistrel" ] || fail "bin/vistrel is not executable"
# The decoder process, where the installed program looks for it: beside
# bin/, under libexec/vistrel/. Started by hand, it must confine itself and
# say Hello on its descriptor 3 (an 8-byte record starting with "VDC1").
decoder=$(find "$prefix" -path '*/libexec/vistrel/vistrel-decoder' -type f)
[ -n "$decoder" ] && [ -x "$decoder" ] || fail "no executable libexec/vistrel/vistrel-decoder"
[ "$(realpath "$prefix/bin/../libexec/vistrel/vistrel-decoder")" = "$(realpath "$decoder")" ] ||
    fail "the decoder is not in ../libexec/vistrel/ from bin/"
python3 - "$decoder" <<'PY' || fail "the installed decoder does not start confined"
import os, socket, struct, subprocess, sys
a, b = socket.socketpair(socket.AF_UNIX, socket.SOCK_SEQPACKET)
mine, theirs = os.dup(a.fileno()), os.dup(b.fileno())
a.close(); b.close()
os.dup2(theirs, 3); os.close(theirs)
child = subprocess.Popen([sys.argv[1], "--address-space=2147483648"], pass_fds=(3,))
os.close(3)
s = socket.socket(fileno=mine)
s.settimeout(10)
hello = s.recv(64)
s.close()
child.wait(10)
sys.exit(0 if len(hello) == 8 and struct.unpack("<I", hello[:4])[0] == 0x56444331 else 1)
PY
grep -q '^Exec=vistrel %f$' "$prefix/share/applications/$id.desktop" ||
    fail "the desktop entry does not pass a folder"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli validate"
grep -q "version=\"$("$prefix/bin/vistrel" --version | cut -d' ' -f2)\"" \
    "$prefix/share/metainfo/$id.metainfo.xml" || fail "the metainfo names another version"

# A prefix the user cannot write to, as after a system-wide install. Root may
# write anywhere, so root runs the program as the unprivileged user nobody.
home="$work/home"
mkdir -p "$home"
run=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$home"
    chmod 755 "$work"
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
    chmod -R a-w "$prefix"
fi
env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
    "${run[@]}" "$prefix/bin/vistrel" "$home" >"$work/out.txt" 2>&1 &
pid=$!
# The program leaves an (empty) settings file where it keeps them as soon as it
# has read them; wait for it, but never for long.
expected="$home/.config/Corvantis/Vistrel/ztsetup.dat"
for _ in $(seq 1 300); do
    [ -e "$expected" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/out.txt" >&2; fail "the installed program ended"; }
    sleep 0.1
done
[ -e "$expected" ] || { cat "$work/out.txt" >&2; fail "no settings file in $expected"; }
[ ! -e "$prefix/bin/ztsetup.dat" ] || fail "a settings file was written beside the executable"
echo "install layout, validators and per-user settings: ok"
