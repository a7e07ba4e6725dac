#!/bin/sh
# Checks of the installed programmer, run by ctest (see CMakeLists.txt next to this file):
#   install_test.sh CHECK CMAKE BUILD STAGE PREFIX BINDIR PROGRAMDIR DATADIR APPID WORKFOLDER
#                   VERSION HELP
# CHECK is "stage" (installs the build into STAGE, the others' fixture), "layout", "launcher",
# "desktop_entry", "metainfo" or "monitor". Exit status 77 means skipped.
set -eu

check=$1 cmake=$2 build=$3 stage=$4 prefix=$5 bindir=$6 programdir=$7 datadir=$8 appid=$9
shift 9
workfolder=$1 version=$2 source_help=$3

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

# An installation folder as it lies under ROOT: relative ones are under the prefix.
under() {
    case $2 in
        /*) echo "$1$2" ;;
        *) echo "$1$prefix/$2" ;;
    esac
}

bin=$(under "$stage" "$bindir")
programs=$(under "$stage" "$programdir")
data=$(under "$stage" "$datadir")
launcher=$bin/zk77q3-programmer
desktop=$data/applications/$appid.desktop
metainfo=$data/metainfo/$appid.metainfo.xml
icon=$data/icons/hicolor/scalable/apps/$appid.svg

case $check in
stage)
    rm -rf "$stage"
    DESTDIR=$stage "$cmake" --install "$build" >/dev/null
    [ -x "$launcher" ] || { echo "nothing installed at $launcher" >&2; exit 1; }
    echo "installed into $stage"
    ;;

layout)
    for f in "$bin/zk77q3" "$launcher" "$programs/zk77q3-programmer"; do
        [ -f "$f" ] && [ -x "$f" ] || fail "$f is not an installed executable"
    done
    for f in "$data/zk77q3/help.rtf" "$desktop" "$metainfo" "$icon" "$programs/libzk77q3-receive.so"; do
        [ -f "$f" ] || fail "$f is not installed"
    done
    # The window is only started through the launcher, which is a script, not the program.
    head -n 1 "$launcher" | grep -qx '#!/bin/sh' || fail "the launcher in bin is not a shell script"
    sh -n "$launcher" || fail "the launcher does not parse"
    cmp -s "$source_help" "$data/zk77q3/help.rtf" || fail "the installed help.rtf differs"

    out=$("$bin/zk77q3" --version) || fail "zk77q3 --version failed"
    [ "$out" = "zk77q3 $version" ] || fail "zk77q3 --version printed '$out'"
    # verify opens the installed decoder library, found through zk77q3's RUNPATH relative to bin/,
    # never through the build tree.
    if readelf -d "$bin/zk77q3" | grep -E 'RPATH|RUNPATH' | grep -qF "$build"; then
        fail "the installed zk77q3 looks for libraries in the build tree"
    fi
    work=$(mktemp -d)
    XDG_STATE_HOME=$work "$bin/zk77q3" generate -C "$work" --user-open 1590 >/dev/null 2>&1 ||
        fail "the installed zk77q3 cannot generate"
    out=$(XDG_STATE_HOME=$work "$bin/zk77q3" verify --user-open 1590 "$work/_qq.wav" 2>&1) ||
        { rm -rf "$work"; fail "the installed zk77q3 verify failed: $out"; }
    rm -rf "$work"

    # Nothing installed may point into the build or the source tree.
    for f in "$launcher" "$desktop" "$metainfo"; do
        if grep -qF -e "$build" -e "$(dirname "$source_help")/" "$f"; then
            fail "$f names a build or source folder"
        fi
    done

    # The desktop entry, the metainfo and the icon name one another.
    grep -qx 'Exec=zk77q3-programmer %f' "$desktop" || fail "the desktop entry does not start the launcher"
    grep -qx "Icon=$appid" "$desktop" || fail "the desktop entry's icon is not $appid"
    grep -q "<launchable type=\"desktop-id\">$appid.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not launch $appid.desktop"
    grep -q "<id>$appid</id>" "$metainfo" || fail "the metainfo's id is not $appid"
    grep -q '<svg' "$icon" || fail "the icon is not SVG"
    finish
    ;;

launcher)
    # A copy of the installed tree whose window is a stub that reports where and how it was
    # started; the launcher itself is the installed one, unchanged.
    tmp=$(mktemp -d)
    trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
    cp -a "$stage" "$tmp/stage"
    tbin=$(under "$tmp/stage" "$bindir")
    tlauncher=$tbin/zk77q3-programmer
    thelp=$(under "$tmp/stage" "$datadir")/zk77q3/help.rtf
    stub=$(under "$tmp/stage" "$programdir")/zk77q3-programmer
    cat >"$stub" <<'STUB'
#!/bin/sh
echo "cwd=$(pwd -P)"
for a in "$@"; do echo "arg=[$a]"; done
[ -f help.rtf ] && echo "help=yes"
exit 3
STUB
    chmod +x "$stub"
    home=$tmp/home
    mkdir "$home"
    work=$home/$workfolder

    run() { HOME=$home "$tlauncher" "$@" >"$tmp/out" 2>"$tmp/err"; }

    # First start: the folder is made, the help copied, the program started there with the
    # arguments as given, and its exit status is the launcher's.
    status=0; run xq "two words" "" || status=$?
    [ "$status" -eq 3 ] || fail "first start: status $status, not the program's 3 ($(cat "$tmp/err"))"
    [ -d "$work" ] || fail "first start: $work was not made"
    cmp -s "$thelp" "$work/help.rtf" || fail "first start: help.rtf was not copied"
    [ ! "$thelp" -nt "$work/help.rtf" ] && [ ! "$thelp" -ot "$work/help.rtf" ] \
        || fail "first start: the copy does not keep the installed file's time"
    printf 'cwd=%s\narg=[xq]\narg=[two words]\narg=[]\nhelp=yes\n' "$(cd "$work" && pwd -P)" \
        >"$tmp/expected"
    cmp -s "$tmp/expected" "$tmp/out" || fail "first start: the program saw $(cat "$tmp/out")"
    [ -z "$(find "$work" -name '.help.rtf.*')" ] || fail "first start: a partial copy was left"

    # A profile named relative to where the launcher is started is still found from the
    # working folder; an absolute one and other arguments pass unchanged.
    mkdir "$tmp/profiles"
    status=0; (cd "$tmp/profiles" && run north.toml /abs/south.toml xq) || status=$?
    printf 'cwd=%s\narg=[%s]\narg=[/abs/south.toml]\narg=[xq]\nhelp=yes\n' \
        "$(cd "$work" && pwd -P)" "$(cd "$tmp/profiles" && pwd)/north.toml" >"$tmp/expected"
    cmp -s "$tmp/expected" "$tmp/out" || fail "relative profile: the program saw $(cat "$tmp/out")"

    # A help the user edited afterwards is newer than the installed one and is kept, and so are
    # the program's own files.
    echo "edited" >"$work/help.rtf"
    echo "sound" >"$work/_qq.wav"
    status=0; run || status=$?
    [ "$status" -eq 3 ] || fail "edited help: status $status"
    [ "$(cat "$work/help.rtf")" = "edited" ] || fail "edited help: the user's help.rtf was replaced"
    [ "$(cat "$work/_qq.wav")" = "sound" ] || fail "edited help: _qq.wav was touched"
    grep -qx 'arg=.*' "$tmp/out" && fail "no arguments: the program got $(cat "$tmp/out")"

    # An update brings a newer help: it replaces the copy.
    touch -d '+1 day' "$thelp"
    run || true
    cmp -s "$thelp" "$work/help.rtf" || fail "newer help: the copy was not replaced"

    # A deleted copy comes back.
    rm "$work/help.rtf"
    run || true
    cmp -s "$thelp" "$work/help.rtf" || fail "deleted help: not copied again"

    # Started through a link elsewhere (as a menu or a desktop may do), the launcher still finds
    # the installed program.
    ln -s "$tlauncher" "$tmp/link"
    status=0; HOME=$home "$tmp/link" >"$tmp/out" 2>"$tmp/err" || status=$?
    [ "$status" -eq 3 ] || fail "through a link: status $status ($(cat "$tmp/err"))"

    # Without a home folder, or with a file where the folder should be, the launcher says why
    # and the program is not started.
    status=0; env -u HOME "$tlauncher" >"$tmp/out" 2>"$tmp/err" || status=$?
    [ "$status" -eq 1 ] && [ ! -s "$tmp/out" ] && grep -q HOME "$tmp/err" \
        || fail "no HOME: status $status, said '$(cat "$tmp/err")'"
    home2=$tmp/home2
    mkdir "$home2"
    : >"$home2/$workfolder"
    status=0; HOME=$home2 "$tlauncher" >"$tmp/out" 2>"$tmp/err" || status=$?
    [ "$status" -eq 1 ] && [ ! -s "$tmp/out" ] && [ -s "$tmp/err" ] \
        || fail "a file in the folder's place: status $status, said '$(cat "$tmp/err")'"

    # A folder the user cannot write to is refused (root writes anywhere, so not checked as root).
    if [ "$(id -u)" -ne 0 ]; then
        home3=$tmp/home3
        mkdir -p "$home3/$workfolder"
        chmod a-w "$home3/$workfolder"
        status=0; HOME=$home3 "$tlauncher" >"$tmp/out" 2>"$tmp/err" || status=$?
        [ "$status" -eq 1 ] && [ ! -s "$tmp/out" ] \
            || fail "read-only folder: status $status, said '$(cat "$tmp/err")'"
    fi
    finish
    ;;

monitor)
    # The monitor window: started from bin, in the system's language, with its own entry, data
    # and icon naming one another, all of them valid.
    monitor=$bin/zk77q3-monitor
    mid=${appid%.*}.Monitor
    mdesktop=$data/applications/$mid.desktop
    mmetainfo=$data/metainfo/$mid.metainfo.xml
    micon=$data/icons/hicolor/scalable/apps/$mid.svg
    [ -f "$monitor" ] && [ -x "$monitor" ] || fail "$monitor is not an installed executable"
    for f in "$mdesktop" "$mmetainfo" "$micon"; do
        [ -f "$f" ] || fail "$f is not installed"
    done
    out=$(QT_QPA_PLATFORM=offscreen "$monitor" --version 2>/dev/null) || fail "zk77q3-monitor --version failed"
    [ "$out" = "zk77q3-monitor $version" ] || fail "zk77q3-monitor --version printed '$out'"
    out=$(LANG=ru_RU.UTF-8 LC_ALL= QT_QPA_PLATFORM=offscreen "$monitor" --help 2>/dev/null) || true
    echo "$out" | grep -q 'ушло в эфир' || fail "zk77q3-monitor --help is not Russian in a Russian locale: $out"
    grep -qx 'Exec=zk77q3-monitor %f' "$mdesktop" || fail "the monitor's entry does not start it"
    grep -qx "Icon=$mid" "$mdesktop" || fail "the monitor's entry's icon is not $mid"
    grep -q "<launchable type=\"desktop-id\">$mid.desktop</launchable>" "$mmetainfo" \
        || fail "the monitor's metainfo does not launch $mid.desktop"
    grep -q "<id>$mid</id>" "$mmetainfo" || fail "the monitor's metainfo's id is not $mid"
    grep -q '<svg' "$micon" || fail "the monitor's icon is not SVG"
    if command -v desktop-file-validate >/dev/null; then
        said=$(desktop-file-validate "$mdesktop" 2>&1) || fail "desktop-file-validate rejects $mdesktop"
        [ -z "$said" ] || fail "desktop-file-validate: $said"
    fi
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$mmetainfo" >/dev/null || fail "appstreamcli rejects $mmetainfo"
    fi
    finish
    ;;

desktop_entry)
    command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate not found"; exit 77; }
    # Its errors do not change its exit status yet ("will be fatal in the future"), so anything
    # it says counts.
    said=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate rejects $desktop"
    [ -z "$said" ] || fail "desktop-file-validate: $said"
    finish
    ;;

metainfo)
    command -v appstreamcli >/dev/null || { echo "appstreamcli not found"; exit 77; }
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
    finish
    ;;

*)
    echo "unknown check: $check" >&2
    exit 2
    ;;
esac
