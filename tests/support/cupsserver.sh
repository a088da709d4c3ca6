#!/usr/bin/env bash
# Throwaway print spooler for the tests: cupsserver.sh start|stop DIR
# A private cupsd with its own configuration, spool and socket (DIR/cups.sock; clients set
# CUPS_SERVER to it). DIR links to a folder under /tmp, which the spooler's own user can
# reach and whose socket path is short enough. Queues, with the cups-pdf driver's paper
# sizes and their PDFs in DIR/out/QUEUE:
#   gc-slip    default page 80 x 144 mm, the default destination
#   gc-a4      default page A4
#   gc-reject  A4, refusing jobs (cupsreject)
#   gc-paused  A4, paused (cupsdisable)
# The queues take PDF to the end (the spooler's pdftopdf puts each page on the job's paper)
# and their backend files it, so that the text stays readable; the cups-pdf backend itself
# insists on root, reads only the system's configuration and writes into the job owner's
# home, none of which a test may touch, and its PostScript round trip loses the text.
set -euo pipefail
PATH=$PATH:/usr/sbin:/sbin
cmd=$1
link=$(realpath -ms "$2")
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

stop() {
    if [ -L "$link" ]; then
        local dir
        dir=$(readlink "$link")
        if [ -f "$dir/cupsd.pid" ]; then
            kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
            sleep 0.2
        fi
        rm -rf "$dir"
    fi
    rm -rf "$link"
}

write_config() {
    mkdir -p "$dir"/{conf/ppd,spool/tmp,cache,state,log,out,bin/backend}
    for part in filter cgi-bin daemon driver monitor notifier; do
        [ -e /usr/lib/cups/$part ] && ln -s /usr/lib/cups/$part "$dir/bin/$part"
    done
    cat >"$dir/bin/backend/pdfout" <<'BACKEND'
#!/bin/sh
# pdfout:/OUTDIR  job user title copies options [file]
[ $# -eq 0 ] && exit 0
out=${DEVICE_URI#pdfout:}
cat "${6:--}" >"$out/job-$1.pdf.part" && mv "$out/job-$1.pdf.part" "$out/job-$1.pdf"
BACKEND
    chmod 755 "$dir/bin/backend/pdfout"
    # As root the filters run as lp; otherwise everything runs as the user.
    local user group
    user=$(id -un)
    group=$(id -gn)
    if [ "$(id -u)" -eq 0 ]; then
        user=lp
        group=lp
    fi
    cat >"$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin $dir/bin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User $user
Group $group
SystemGroup root
FileDevice Yes
CONF
    cat >"$dir/conf/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
Browsing Off
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    # PDF to the backend.
    sed '/^\*PCFileName/a *cupsFilter2: "application/pdf application/vnd.cups-pdf 0 -"' \
        "$ppd" >"$dir/a4.ppd"
    # The slip printer's own paper, as its default.
    sed -e 's/^\*DefaultPageSize: A4/*DefaultPageSize: Slip/' \
        -e 's/^\*DefaultPageRegion: A4/*DefaultPageRegion: Slip/' \
        -e 's/^\*DefaultImageableArea: A4/*DefaultImageableArea: Slip/' \
        -e 's/^\*DefaultPaperDimension: A4/*DefaultPaperDimension: Slip/' \
        -e '/^\*PageSize A4\//i *PageSize Slip/80 x 144 mm: "<</PageSize[227 408]/ImagingBBox null>>setpagedevice"' \
        -e '/^\*PageRegion A4\//i *PageRegion Slip/80 x 144 mm: "<</PageSize[227 408]/ImagingBBox null>>setpagedevice"' \
        -e '/^\*ImageableArea A4\//i *ImageableArea Slip/80 x 144 mm: "0 0 227 408"' \
        -e '/^\*PaperDimension A4\//i *PaperDimension Slip/80 x 144 mm: "227 408"' \
        "$dir/a4.ppd" >"$dir/slip.ppd"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R lp:lp "$dir/spool" "$dir/cache" "$dir/out"
        chmod 1777 "$dir/out"
    fi
}

add_queue() { # name ppd
    mkdir -p "$dir/out/$1"
    chmod 1777 "$dir/out/$1"
    lpadmin -h "$dir/cups.sock" -p "$1" -v "pdfout:$dir/out/$1" -P "$2" -E
}

case "$cmd" in
start)
    command -v cupsd >/dev/null || { echo "cupsd not found (Debian package cups)" >&2; exit 1; }
    [ -f "$ppd" ] || { echo "cups-pdf driver not found (printer-driver-cups-pdf)" >&2; exit 1; }
    stop
    dir=$(mktemp -d /tmp/gc-cups.XXXXXX)
    chmod 755 "$dir"
    mkdir -p "$(dirname "$link")"
    ln -s "$dir" "$link"
    write_config
    cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$dir/cupsd.pid"
    for _ in $(seq 100); do
        [ -S "$dir/cups.sock" ] && lpstat -h "$dir/cups.sock" -r >/dev/null 2>&1 && break
        sleep 0.1
    done
    add_queue gc-slip "$dir/slip.ppd"
    add_queue gc-a4 "$dir/a4.ppd"
    add_queue gc-reject "$dir/a4.ppd"
    add_queue gc-paused "$dir/a4.ppd"
    cupsreject -h "$dir/cups.sock" gc-reject
    cupsdisable -h "$dir/cups.sock" gc-paused
    lpadmin -h "$dir/cups.sock" -d gc-slip
    ;;
stop)
    stop
    ;;
*)
    echo "usage: cupsserver.sh start|stop DIR" >&2
    exit 2
    ;;
esac
