#!/usr/bin/env bash
# End-to-end checks of the built tool on real files: exact output, exit status, and
# the image's bytes afterwards.
#
#   run.sh CASE
#
# VORNSET names the binary, VORNSET_RUNNER an optional command to run it with (wine),
# SAMPLE the sample image and GOLDEN the folder of expected outputs. Each case runs in
# a fresh temporary folder holding a copy of the sample as vornbm.bin. A case that
# needs a mechanism the platform lacks exits 77, which CTest shows as skipped.
set -u

fail() {
    echo "FAIL: $*"
    exit 1
}

skip() {
    echo "skipped: $*"
    exit 77
}

on_windows() {
    [[ $VORNSET == *.exe ]]
}

# Runs a command, leaving its output in $out and its exit status in $status. The C
# runtime on Windows ends lines with CR LF, which is all that is normalised here.
capture() {
    out=$("$@"; echo "status=$?")
    status=${out##*status=}
    out=${out%status=*}
    out=${out//$'\r\n'/$'\n'}
}

# Runs the tool. With VORNSET_RECORD naming a folder, a run that needs no other file
# than its image (or none) and reads standard input only for load=- leaves there
# its arguments, input, image before and after, output, errors and status, for the
# page's core to replay.
tool() {
    local image=${!#} argument
    if [[ -z ${VORNSET_RECORD:-} ]] || { (($#)) && [[ ! -f $image || ! -w $image ]]; }; then
        ${VORNSET_RUNNER:-} "$VORNSET" "$@"
        return
    fi
    (($#)) && for argument in "${@:1:$# - 1}"; do
        [[ $argument == load=* && $argument != load=- || -e $argument ]] && {
            ${VORNSET_RUNNER:-} "$VORNSET" "$@"
            return
        }
    done
    local run
    run=$(mktemp -d "$VORNSET_RECORD/run.XXXXXX")
    if (($#)); then printf '%s\0' "$@"; fi >"$run/arguments"
    if [[ " $* " == *" load=- "* ]]; then cat >"$run/input"; else : >"$run/input"; fi
    if (($#)); then cp "$image" "$run/before"; else : >"$run/before"; fi
    ${VORNSET_RUNNER:-} "$VORNSET" "$@" <"$run/input" >"$run/output" 2>"$run/errors"
    local status=$?
    echo "$status" >"$run/status"
    if (($#)); then cp "$image" "$run/after"; else : >"$run/after"; fi
    cat "$run/output"
    cat "$run/errors" >&2
    return "$status"
}

vornset() {
    capture tool "$@"
}

expect_status() {
    [[ $status == "$1" ]] || fail "exit status $status, expected $1; output: $out"
}

expect_output() {
    [[ $out == "$1" ]] || fail "output differs:$(diff <(printf '%s' "$1") <(printf '%s' "$out"))"
}

expect_golden() {
    local expected
    expected=$(cat "$GOLDEN/$1"; echo x)
    expect_output "${expected%x}"
}

# The 0-based hexadecimal offsets at which FILE differs from the original sample,
# which must also have the same length.
changed_offsets() {
    [[ $(stat -c %s "$1") == $(stat -c %s "$2") ]] || fail "$2 changed its length"
    cmp -l "$1" "$2" | awk '{ printf "0x%X ", $1 - 1 }'
}

expect_changed() {
    local changed
    changed=$(changed_offsets original.bin "${2:-vornbm.bin}")
    [[ $changed == "$1" ]] || fail "changed bytes: '$changed', expected '$1'"
}

expect_unchanged() {
    expect_changed "" "${1:-vornbm.bin}"
}

# Sets the byte at OFFSET of FILE to VALUE, both in any shell notation.
poke() {
    printf "\\x$(printf %02x "$3")" | dd of="$1" bs=1 seek=$(($2)) conv=notrunc status=none
}

closing='data changed

hint: if you use the windows boot menu to start the boot manager, then its
a good idea to start vornprep again! vornbm.bin may not be fragmented.
'

case_help_screen_without_arguments() {
    vornset
    expect_status 0
    expect_golden help.txt
}

case_report_of_the_sample_image() {
    vornset vornbm.bin
    expect_status 0
    expect_golden report_of_sample.txt
    vornset vornbm.bin
    expect_golden report_of_sample.txt
    expect_unchanged
}

case_missing_file_is_named() {
    vornset vm=text
    expect_status 1
    expect_output $'Error: unable to open vm=text\n'
    vornset "no such folder/$(printf 'x%.0s' {1..1500}).bin"
    expect_status 1
    expect_output "Error: unable to open no such folder/$(printf 'x%.0s' {1..1500}).bin"$'\n'
}

case_path_with_spaces() {
    mkdir "boot files"
    cp vornbm.bin "boot files/my image.bin"
    vornset dbt=cdrom "boot files/my image.bin"
    expect_status 0
    expect_changed "0x28A " "boot files/my image.bin"
}

case_long_path() {
    local dir=.
    for i in 1 2 3 4 5 6 7 8; do
        dir=$dir/$(printf "$i%.0s" {1..200})
    done
    mkdir -p "$dir"
    cp vornbm.bin "$dir/vornbm.bin"
    vornset "$dir/vornbm.bin"
    expect_status 0
    expect_golden report_of_sample.txt
    vornset dbt=usb "$dir/vornbm.bin"
    expect_status 0
    expect_changed "0x28A " "$dir/vornbm.bin"
}

case_oversized_file_is_refused() {
    cp vornbm.bin big.bin
    head -c $((65537 - $(stat -c %s vornbm.bin))) /dev/zero >>big.bin
    cp big.bin big-original.bin
    vornset dbt=usb big.bin
    expect_status 1
    expect_output $'Error: file too large for a boot manager image (more than 65536 bytes)\n'
    cmp -s big.bin big-original.bin || fail "oversized file changed"

    head -c 65536 big.bin >largest.bin
    cp largest.bin original.bin
    vornset dbt=usb largest.bin
    expect_status 0
    expect_changed "0x28A " largest.bin
}

case_a_file_size_limit_below_the_image_refuses_the_edit_before_it_writes() {
    on_windows && skip "needs a Linux file-size limit"
    # Without the check, the write would stop part-way at the first KiB, or the
    # limit's signal would end the run in the middle of it.
    capture bash -c 'ulimit -f 1; exec "$0" "$@" 2>errors.txt' "$VORNSET" cntval=5 prf=16 prfname=NEWNAME vornbm.bin
    expect_status 1
    expect_output $'ffffError: unable to write to file\n'
    [[ $(cat errors.txt) == "vornset: vornbm.bin: the file-size limit of 1024 bytes lies below the image's end; the image is as it was" ]] ||
        fail "errors: $(cat errors.txt)"
    expect_unchanged
    printf 'cntval=5\nprf=16\nprfname=NEWNAME\n' >settings.txt
    capture bash -c 'ulimit -f 16; exec "$0" "$@"' "$VORNSET" load=settings.txt vornbm.bin
    expect_status 0
    expect_changed "0x28D 0x778 0x779 0x77A 0x77B 0x77C 0x77D 0x77E "
}

case_read_only_file_is_not_written() {
    on_windows && skip "needs a Linux user without write permission"
    chmod 444 vornbm.bin
    if [[ $(id -u) == 0 ]]; then
        # Root may write anything; run as an unprivileged user instead, from a copy of
        # the binary that user can reach wherever the build lies.
        chmod 755 .
        cp "$VORNSET" ./vornset && chmod 755 ./vornset
        capture setpriv --reuid=nobody --regid=nogroup --clear-groups ./vornset dbt=usb vornbm.bin
    else
        vornset dbt=usb vornbm.bin
    fi
    expect_status 1
    expect_output $'Error: unable to open vornbm.bin for writing\n'
    expect_unchanged
}

case_concurrent_edits_take_turns_and_both_land() {
    local rounds=50 round
    on_windows && rounds=10 # each start of wine takes a while
    for ((round = 0; round < rounds; round++)); do
        cp original.bin vornbm.bin
        ${VORNSET_RUNNER:-} "$VORNSET" cnt=off vornbm.bin >first.txt &
        ${VORNSET_RUNNER:-} "$VORNSET" cntval=5 vornbm.bin >second.txt &
        wait %1 && wait %2 || fail "an edit failed in round $round: $(cat first.txt second.txt)"
        [[ $(od -An -tx1 -j 0x28C -N2 vornbm.bin) == " 00 05" ]] || fail "a change was lost in round $round"
    done
}

case_held_lock_is_waited_for_then_given_up() {
    on_windows && skip "the flock command's locks are not Windows locks"
    flock vornbm.bin -c 'touch locked; exec sleep 9' >/dev/null 2>&1 &
    local holder=$! started=$SECONDS
    while [[ ! -e locked ]]; do sleep 0.05; done
    "$VORNSET" dbt=usb vornbm.bin >edit.txt 2>reasons.txt &
    "$VORNSET" vornbm.bin >report.txt 2>/dev/null
    local report=$?
    wait %2
    status=$?
    local waited=$((SECONDS - started))
    kill "$holder"
    out=$(cat edit.txt)
    expect_status 1
    expect_output $'Error: unable to open vornbm.bin for writing'
    [[ $report == 1 && $(cat report.txt) == "Error: unable to read file" ]] || fail "report: $(cat report.txt)"
    ((waited >= 4 && waited < 8)) || fail "gave up after $waited s, not 5"
    [[ $(cat reasons.txt) == "vornset: waiting for another program to release vornbm.bin
vornset: vornbm.bin is locked by another program" ]] || fail "reasons: $(cat reasons.txt)"
    expect_unchanged
}

case_files_that_are_not_images_are_refused_without_waiting() {
    local others=(folder)
    mkdir folder
    if on_windows; then
        others+=(NUL)
    else
        mkfifo fifo
        perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Local => "socket", Listen => 1) or die "$!"' ||
            fail "cannot make a socket"
        others+=(fifo socket /dev/null /dev/zero)
    fi
    for other in "${others[@]}"; do
        local reason="Not a regular file"
        [[ $other == folder ]] && reason="Is a directory"
        for arguments in "$other" "dbt=usb $other"; do
            capture timeout 10 ${VORNSET_RUNNER:-} "$VORNSET" $arguments 2>errors.txt
            expect_status 1
            expect_output $'Error: unable to read file\n'
            [[ $(tr -d '\r' <errors.txt) == "vornset: $other: $reason" ]] || fail "$arguments: $(cat errors.txt)"
        done
    done
}

case_paths_outside_the_ansi_code_page() {
    mkdir -p "Ελληνικά/日本語"
    cp vornbm.bin "Ελληνικά/日本語/vornbm.bin"
    export LC_ALL=C.UTF-8
    vornset "Ελληνικά/日本語/vornbm.bin"
    expect_status 0
    expect_golden report_of_sample.txt
    vornset dbt=usb "Ελληνικά/日本語/vornbm.bin"
    expect_status 0
    expect_changed "0x28A " "Ελληνικά/日本語/vornbm.bin"
    printf 'cntval=9\n' >"Ελληνικά/設定.txt"
    vornset "load=Ελληνικά/設定.txt" "Ελληνικά/日本語/vornbm.bin"
    expect_status 0
    expect_changed "0x28A 0x28D " "Ελληνικά/日本語/vornbm.bin"
}

# A name is stored as typed or not at all: on Windows an option that the ANSI code
# page cannot hold exactly is refused before the image is opened, never stored with
# "?" or a look-alike. A settings file's name is opened by its wide form, and is
# taken.
case_a_name_outside_the_code_page_is_not_stored_as_a_look_alike() {
    export LC_ALL=C.UTF-8
    vornset prf=1 "prfname=Ωmega" vornbm.bin
    local stored
    stored=$(od -An -tx1 -j 0x688 -N6 vornbm.bin | tr -d ' ')
    if on_windows; then
        expect_status 1
        expect_output $'Parameter error: prfname=?mega, the code page cannot hold it exactly; use letters of your Windows code page\n'
        expect_unchanged
        vornset show=json "Ωmega=1" vornbm.bin
        expect_status 1
        expect_output ""
        printf 'cntval=9\n' >"Ωmega.txt"
        vornset "load=Ωmega.txt" vornbm.bin
        expect_status 0
        expect_changed "0x28D "
    else
        expect_status 0
        [[ $stored == cea96d656761 ]] || fail "stored $stored, not the UTF-8 of Ωmega"
    fi
}

# Only the last argument names the image: a folder or a device before it is refused
# as a file is.
case_a_folder_or_a_device_before_the_path_is_refused() {
    mkdir sub
    local others=(sub)
    if ! on_windows; then
        ln -s /dev/null device
        others+=(device)
    fi
    local other
    for other in "${others[@]}"; do
        vornset cntval=5 "$other" vornbm.bin
        expect_status 1
        expect_output "Parameter error: $other, only the last parameter names the image"$'\n'
    done
    expect_unchanged
}

case_output_that_cannot_be_written_fails_the_run() {
    [[ -w /dev/full ]] || skip "needs /dev/full"
    for arguments in "" "vornbm.bin" "dbt=usb vornbm.bin"; do
        ${VORNSET_RUNNER:-} "$VORNSET" $arguments >/dev/full 2>error.txt
        status=$?
        out=$(cat error.txt)
        expect_status 1
        [[ $(wc -l <error.txt) == 1 ]] || fail "the error stream holds: $out"
    done
    expect_changed "0x28A " # the edit itself was done
}

# The calls on the image's descriptor from its open to its close, then those on
# standard output, when the tool runs with the given arguments.
image_calls() {
    ASAN_OPTIONS=detect_leaks=0 strace -o trace.txt -e trace=open,openat,flock,read,pread64,write,pwrite64,fsync,fdatasync,close \
        "$VORNSET" "$@" >/dev/null 2>&1
    [[ $(grep -c '"vornbm.bin"' trace.txt) == 1 ]] || fail "the image is opened more than once"
    local fd
    fd=$(sed -nE 's/^open(at)?\(.*"vornbm\.bin".* = ([0-9]+)$/\2/p' trace.txt)
    awk -v fd="$fd" '/"vornbm\.bin"/ { open = 1; next }
        open && $0 ~ "^[a-z0-9]+\\(" fd "[,)]" { print; if ($0 ~ /^close/) open = 0 }
        $0 ~ /^write\(1,/ { print }' trace.txt |
        sed -E 's/^(pwrite64)\(.*, ([0-9]+), ([0-9]+)\) += [0-9]+$/\1 \2 at \3/; t; s/^([a-z0-9]+)\(.*/\1/' | paste -sd ' '
}

case_an_edit_locks_writes_the_block_and_syncs_before_it_reports() {
    on_windows && skip "traces Linux system calls"
    command -v strace >/dev/null || skip "strace is not installed"
    strace -o /dev/null true 2>/dev/null || skip "strace cannot trace here"
    local calls
    calls=$(image_calls dbt=usb vornbm.bin)
    [[ $calls == "flock pread64 pwrite64 376 at 648 fdatasync close write" ]] || fail "edit: $calls"
    # Only the sectors that hold changed bytes are written, the last first, each synced.
    calls=$(image_calls prf=2 prfname=Other btdrv=83h dbt=cdrom vornbm.bin)
    [[ $calls == "flock pread64 pwrite64 392 at 1536 fdatasync pwrite64 512 at 1024 fdatasync pwrite64 376 at 648 fdatasync close write" ]] ||
        fail "edit of three sectors: $calls"
    calls=$(image_calls dbt=cdrom vornbm.bin)
    [[ $calls == "flock pread64 close write" ]] || fail "an edit that changes nothing: $calls"
    # Whatever ends the run, the image is closed before anything is printed.
    for arguments in "vornbm.bin" "cntval=500 vornbm.bin" "show=profiles vornbm.bin"; do
        calls=$(image_calls $arguments)
        [[ $calls == "flock pread64 close write" ]] || fail "$arguments: $calls"
    done
}

# Standard input is read to its end before the image is locked, so that a pipeline
# that reads an image and writes it back never waits on itself, and the warnings go
# out after the image is closed, so that nobody reading them late holds the lock.
case_every_input_is_read_before_the_lock_and_printed_after_the_close() {
    on_windows && skip "traces Linux system calls"
    command -v strace >/dev/null || skip "strace is not installed"
    strace -o /dev/null true 2>/dev/null || skip "strace cannot trace here"
    printf 'cntval=3\n' | ASAN_OPTIONS=detect_leaks=0 strace -o trace.txt -e trace=openat,read,flock,close,write \
        "$VORNSET" cntvl=5 load=- vornbm.bin >/dev/null 2>warnings.txt
    [[ $(cat warnings.txt) == "vornset: warning: ignored cntvl=5: no such option; did you mean cntval=?" ]] ||
        fail "$(cat warnings.txt)"
    local last_input flock fd image_closed warning
    last_input=$(grep -n '^read(0,' trace.txt | tail -1 | cut -d: -f1)
    flock=$(grep -n '^flock(' trace.txt | head -1 | cut -d: -f1)
    fd=$(sed -nE 's/^openat\(.*"vornbm\.bin".* = ([0-9]+)$/\1/p' trace.txt)
    image_closed=$(grep -n "^close($fd)" trace.txt | tail -1 | cut -d: -f1)
    warning=$(grep -n '^write(2,' trace.txt | head -1 | cut -d: -f1)
    [[ -n $last_input && -n $flock && -n $image_closed && -n $warning ]] || fail "trace: $(paste -sd ' ' trace.txt)"
    ((last_input < flock)) || fail "standard input was read under the lock"
    ((image_closed < warning)) || fail "the warning was written while the image was open"

    # The image read and written back in one pipeline.
    ${VORNSET_RUNNER:-} "$VORNSET" show=options vornbm.bin | sed 's/^cntval=.*/cntval=3/' |
        timeout 10 "$VORNSET" load=- vornbm.bin >load.txt || fail "the pipeline failed: $(cat load.txt)"
    expect_changed "0x28D "
}

# A dry run and every refusal leave the image's bytes and its modification time.
case_dry_runs_and_refusals_leave_the_image_and_its_time() {
    touch -d '2001-02-03 04:05:06' vornbm.bin
    local stamp
    stamp=$(stat -c %Y vornbm.bin)
    vornset write=no show=changes cntval=25 prf=2 "prfname=Linux Mint" vornbm.bin
    expect_status 0
    expect_output $'ffffnothing written (write=no)\n\ncntval: 10 -> 25\nprf=2 prfname: "Debian 12" -> "Linux Mint"\n'
    cp vornbm.bin copy.bin
    vornset cntval=5 copy.bin vornbm.bin
    expect_status 1
    expect_output $'Parameter error: copy.bin, only the last parameter names the image\n'
    vornset write=no cntval=0 vornbm.bin
    expect_status 1
    expect_output $'Parameter error: cntval, only values 1-99 are valid\n'
    expect_unchanged
    [[ $(stat -c %Y vornbm.bin) == "$stamp" ]] || fail "the image's modification time changed"
}

# A failed run that prints data leaves its pipe empty; why it failed is on standard
# error, after the fixed message.
case_a_failed_data_run_prints_nothing_and_says_why_on_standard_error() {
    capture ${VORNSET_RUNNER:-} "$VORNSET" show=json nosuch.bin 2>errors.txt
    expect_status 1
    expect_output ""
    local errors
    errors=$(tr -d '\r' <errors.txt)
    [[ $errors == "vornset: Error: unable to open nosuch.bin"$'\n'"vornset: nosuch.bin: "?* ]] || fail "errors: $errors"
    capture ${VORNSET_RUNNER:-} "$VORNSET" nosuch.bin 2>errors.txt
    expect_output $'Error: unable to open nosuch.bin\n'
    [[ $(tr -d '\r' <errors.txt) == "vornset: nosuch.bin: "?* ]] || fail "errors: $(cat errors.txt)"
    capture tool show=options cntvl=5 cntval=0 vornbm.bin 2>errors.txt
    expect_status 1
    expect_output ""
    [[ $(tr -d '\r' <errors.txt) == "vornset: Parameter error: cntval, only values 1-99 are valid" ]] ||
        fail "errors: $(cat errors.txt)"
}

# Runs the tool with its standard descriptors as the redirections in $1 leave them,
# keeping its exit status in $status.
run_redirected() {
    local redirections=$1
    shift
    eval '${VORNSET_RUNNER:-} "$VORNSET" "$@" '"$redirections"
    status=$?
}

# Under wine, what a Windows program sees of closed descriptors is wine's affair (with
# both output descriptors closed it even loses the exit status), so there only the
# image is checked: its handle is never a C runtime descriptor.
case_closed_standard_streams_never_reach_the_image() {
    expect_status_when_closed() {
        on_windows || [[ $status == "$1" ]] || fail "$2 with $redirections: status $status"
    }
    cp vornbm.bin wrong.bin
    poke wrong.bin 0x287 6
    cp wrong.bin wrong-original.bin
    local redirections
    for redirections in '>&-' '2>&-' '>&- 2>&-' '>/dev/full 2>&-' '<&- >&- 2>&-'; do
        local closed_out=1
        [[ $redirections == '2>&-' ]] && closed_out=0
        run_redirected "$redirections"
        expect_status_when_closed "$closed_out" help
        run_redirected "$redirections" vornbm.bin
        expect_status_when_closed "$closed_out" report
        run_redirected "$redirections" cntval=500 vornbm.bin
        expect_status_when_closed 1 "refused edit"
        run_redirected "$redirections" vm=text wrong.bin
        expect_status_when_closed 1 "version error"
        expect_unchanged
        cmp -s wrong.bin wrong-original.bin || fail "the wrong version's image changed with $redirections"
        run_redirected "$redirections" dbt=usb vornbm.bin
        expect_status_when_closed "$closed_out" edit
        expect_changed "0x28A "
        cp original.bin vornbm.bin
    done
}

case_a_closed_pipe_fails_the_run_with_its_line() {
    # A pipe whose reading end is closed before the tool starts, whatever the load: a
    # reader that merely exits soon may not have exited yet when the tool writes.
    python3 -c 'import os, subprocess, sys
reading, writing = os.pipe()
os.close(reading)
sys.exit(subprocess.run(sys.argv[1:], stdout=writing).returncode)' ${VORNSET_RUNNER:-} "$VORNSET" vornbm.bin 2>error.txt
    echo $? >status.txt
    status=$(cat status.txt)
    out=$(tr -d '\r' <error.txt)
    expect_status 1
    expect_output "vornset: error writing to standard output"
}

# Another program holds the lock while the tool waits for it, and meanwhile replaces
# the image by a rename, or makes it longer or shorter; the edit then works on the
# file and the length that the path has once the lock is granted.
# Such a run is not recorded for a replay: its image changes under it.
hold_lock_while() {
    flock "$1" -c "touch locked; sleep 0.5; $2" &
    while [[ ! -e locked ]]; do sleep 0.02; done
    rm locked
}

case_an_image_replaced_while_waiting_is_edited_by_its_path() {
    on_windows && skip "the flock command's locks are not Windows locks"
    hold_lock_while vornbm.bin 'cp vornbm.bin new.bin && mv new.bin vornbm.bin'
    VORNSET_RECORD= vornset cntval=5 vornbm.bin
    wait
    expect_status 0
    expect_output "$closing"
    expect_changed "0x28D "
}

case_an_image_grown_or_shrunk_while_waiting_is_measured_under_the_lock() {
    on_windows && skip "the flock command's locks are not Windows locks"
    hold_lock_while vornbm.bin 'truncate -s 100000 vornbm.bin'
    VORNSET_RECORD= vornset cntval=5 vornbm.bin
    wait
    expect_status 1
    expect_output $'Error: file too large for a boot manager image (more than 65536 bytes)\n'
    [[ $(stat -c %s vornbm.bin) == 100000 ]] || fail "the grown image was changed"

    head -c 2000 original.bin >vornbm.bin
    hold_lock_while vornbm.bin 'truncate -s 1990 vornbm.bin'
    VORNSET_RECORD= vornset cntval=5 vornbm.bin
    wait
    expect_status 0
    [[ $(stat -c %s vornbm.bin) == 1990 ]] || fail "the shrunk image changed its length"
    [[ $(od -An -tu1 -j 0x28D -N1 vornbm.bin) == "   5" ]] || fail "the shrunk image was not edited"
}

# Windows programs take /? for help; elsewhere it is a path like any other, which
# Run.HelpAndVersionAskedForAloneOpenNothing holds. Windows has no man: both ways to
# ask for help point to the manual that the zip puts beside the exe.
case_help_on_windows_points_to_the_manual_beside_the_exe() {
    on_windows || skip "/? asks for help, and the manual is vornset.txt, on Windows alone"
    local help asked
    help=$(cat "$GOLDEN/help.txt"; echo x)
    help=${help%x}
    for asked in "/?" --help; do
        vornset "$asked"
        expect_status 0
        [[ $out == "$help"More:* && $out == *$'\n'" vornset.txt (beside the exe) "*$'\n' && $out != *"man vornset"* ]] ||
            fail "$asked printed: $out"
    done
}

# The cases below make the system calls on the image fail as no real file can, with
# a library preloaded into the tool.
shim() {
    [[ -n ${VORNSET_SHIM_LIBRARY:-} ]] || skip "needs the test build's system call shim"
    local rule=$1
    shift
    capture env LD_PRELOAD="$VORNSET_SHIM_LIBRARY" VORNSET_SHIM="$rule" VORNSET_SHIM_FILE=vornbm.bin \
        VORNSET_SHIM_LOG=calls.txt ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 "$VORNSET" "$@"
}

case_an_image_that_may_only_be_read_is_refused_at_the_write() {
    local error
    for error in EACCES EPERM EROFS ETXTBSY; do
        shim "open-rw=$error" prf=1 prfname=X vornbm.bin
        expect_status 1
        expect_output $'ffffError: unable to open vornbm.bin for writing\n'
        shim "open-rw=$error" cntval=0 vornbm.bin
        expect_output $'Parameter error: cntval, only values 1-99 are valid\n'
    done
    shim open-rw=ENOENT prf=1 prfname=X vornbm.bin
    expect_output $'Error: unable to open vornbm.bin\n'
    expect_unchanged
}

case_interrupted_calls_are_retried_but_not_for_ever() {
    shim pread-eintr=1 vornbm.bin
    expect_status 0
    expect_golden report_of_sample.txt
    shim flock-eintr=1 dbt=usb vornbm.bin
    expect_status 0
    expect_changed "0x28A "
    cp original.bin vornbm.bin
    shim pwrite-eintr=3 dbt=usb vornbm.bin
    expect_status 0
    expect_changed "0x28A "
    cp original.bin vornbm.bin

    # A signal may interrupt a call 99 times in a row; the hundredth ends the run.
    shim pread-eintr=99 vornbm.bin
    expect_status 0
    shim pread-eintr=100 vornbm.bin
    expect_status 1
    shim pwrite-eintr=99 dbt=usb vornbm.bin
    expect_status 0
    expect_changed "0x28A "
    cp original.bin vornbm.bin
    shim pwrite-eintr=100 dbt=usb vornbm.bin
    expect_status 1

    shim pread-eintr=-1 dbt=usb vornbm.bin
    expect_status 1
    expect_output $'Error: unable to read file\n'
    shim pwrite-eintr=-1 dbt=usb vornbm.bin
    expect_status 1
    expect_output $'Error: unable to write to file\n'
    expect_unchanged
}

case_a_signal_that_ends_the_run_while_it_writes_waits_for_the_whole_edit() {
    # The edit spans the names' sector, written first, and the global settings'.
    [[ -n ${VORNSET_SHIM_LIBRARY:-} ]] || skip "needs the test build's system call shim"
    local edit=(vm=text prf=16 prfname=X)
    cp original.bin whole.bin
    "$VORNSET" "${edit[@]}" whole.bin >/dev/null || fail "the edit failed without a signal"
    shim pwrite-term "${edit[@]}" vornbm.bin
    expect_status 143
    expect_output ""
    cmp -s whole.bin vornbm.bin || fail "the image holds part of the edit: $(changed_offsets whole.bin vornbm.bin)"
}

case_a_file_that_cannot_be_measured_is_not_read() {
    [[ -n ${VORNSET_SHIM_LIBRARY:-} ]] || skip "needs the test build's system call shim"
    capture env LD_PRELOAD="$VORNSET_SHIM_LIBRARY" VORNSET_SHIM=fstat-eio VORNSET_SHIM_FILE=vornbm.bin \
        ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 "$VORNSET" dbt=usb vornbm.bin 2>reasons.txt
    expect_status 1
    expect_output $'Error: unable to read file\n'
    [[ $(cat reasons.txt) == "vornset: vornbm.bin: Input/output error" ]] || fail "reasons: $(cat reasons.txt)"
    expect_unchanged
}

case_an_image_opened_on_descriptor_0_is_moved_off_it() {
    shim open-fd0 dbt=usb vornbm.bin
    expect_status 0
    expect_output "$closing"
    expect_changed "0x28A "
    [[ $(head -1 calls.txt) == "open 0" ]] || fail "the shim did not open on 0: $(cat calls.txt)"
    if awk 'NR > 1 && $2 <= 2 { found = 1 } END { exit !found }' calls.txt; then
        fail "the image was used through a standard descriptor: $(paste -sd ' ' calls.txt)"
    fi
}

# A blank image of the sample's length and version, whose settings are all zero.
blank_image() {
    head -c "$(stat -c %s original.bin)" /dev/zero >"$1"
    poke "$1" 0x287 7
}

case_settings_copy_from_one_image_to_another_through_a_pipe() {
    blank_image blank.bin
    cp blank.bin blank-original.bin
    ${VORNSET_RUNNER:-} "$VORNSET" show=options vornbm.bin | tool load=- blank.bin >load.txt
    [[ $(tr -d '\r' <load.txt) == "${closing%$'\n'}" ]] || fail "load=- printed: $(cat load.txt)"
    vornset show=options blank.bin
    local copied=$out
    vornset show=options vornbm.bin
    [[ $copied == "$out" ]] || fail "the copy's settings differ:$(diff <(echo "$out") <(echo "$copied"))"
    expect_golden settings_of_sample.txt
    # Only the block's named fields changed in the blank image.
    cmp -l blank-original.bin blank.bin | awk '$1 - 1 < 648 || $1 - 1 >= 1928 { bad = 1 } END { exit bad }' ||
        fail "bytes outside the block changed"
}

# What a backup holds is restored whole or not at all: a stream cut short is refused,
# JSON edited with jq reads back, and a file saved by Notepad is read.
case_settings_restore_whole_or_not_at_all() {
    blank_image blank.bin
    cp blank.bin blank-original.bin
    capture tool load=- blank.bin < <(${VORNSET_RUNNER:-} "$VORNSET" show=options vornbm.bin | head -n 5)
    expect_status 1
    expect_output $'Parameter error: load, line 5: the settings end before their end line\n'
    cmp -s blank.bin blank-original.bin || fail "a cut-off stream was applied"
    capture tool load=- blank.bin < <(${VORNSET_RUNNER:-} "$VORNSET" show=options missing.bin 2>/dev/null)
    expect_output $'Parameter error: load, the file holds no settings\n'
    cmp -s blank.bin blank-original.bin || fail "an empty pipe was applied"

    command -v jq >/dev/null || skip "jq is not installed"
    ${VORNSET_RUNNER:-} "$VORNSET" show=json vornbm.bin | tr -d '\r' | jq '.settings.cntval = 5' >edited.json
    vornset load=edited.json blank.bin
    expect_status 0
    [[ $(od -An -tu1 -j 0x28D -N1 blank.bin) == "   5" ]] || fail "the countdown is not 5"
    cp blank.bin from-json.bin
    cp blank-original.bin blank.bin
    ${VORNSET_RUNNER:-} "$VORNSET" show=options vornbm.bin | tr -d '\r' >settings.txt
    vornset load=settings.txt cntval=5 blank.bin
    cmp -s blank.bin from-json.bin || fail "JSON and options restore differently"

    printf '\xef\xbb\xbfcntval=42\r\nprf=3\r\nprfname=Caf\xc3\xa9' >notepad.txt
    vornset load=notepad.txt vornbm.bin
    expect_status 0
    expect_changed "0x28D 0x6A8 0x6A9 0x6AA 0x6AB 0x6AC 0x6AD "
}

case_settings_files_refused_name_their_line_and_leave_the_image() {
    local file message
    while IFS='|' read -r file message; do
        printf "$file" >settings.txt
        vornset load=settings.txt vornbm.bin
        expect_status 1
        expect_output "$message"$'\n'
    done <<'CASES'
vm=text\r\ncntvl=5\r\n|Parameter error: load, line 2: cntvl, no such option; did you mean cntval?
vm=text\n\0|Error: unable to read settings from settings.txt
CASES
    # Standard error says why, in the system's words.
    vornset load=missing.txt vornbm.bin 2>errors.txt
    expect_output $'Error: unable to read settings from missing.txt\n'
    [[ $(tr -d '\r' <errors.txt) == "vornset: missing.txt: "?* ]] || fail "errors: $(cat errors.txt)"
    mkdir folder
    vornset load=folder vornbm.bin 2>errors.txt
    expect_output $'Error: unable to read settings from folder\n'
    [[ $(tr -d '\r' <errors.txt) == "vornset: folder: Is a directory" ]] || fail "errors: $(cat errors.txt)"
    head -c 65537 /dev/zero | tr '\0' '#' >settings.txt
    vornset load=settings.txt vornbm.bin
    expect_output $'Error: unable to read settings from settings.txt\n'
    expect_unchanged
}

case_json_is_valid_and_answers_queries() {
    vornset show=json vornbm.bin
    expect_status 0
    command -v python3 >/dev/null || skip "python3 is not installed"
    printf '%s' "$out" | python3 -m json.tool >/dev/null || fail "python3 cannot parse the JSON"
    command -v jq >/dev/null || skip "jq is not installed"
    local answers
    answers=$(printf '%s' "$out" | jq -r '[.version, .settings.vm, .settings.cntval, .profiles[10].prfname,
        .profiles[15].btdrv, .stored.dbt, (.profiles | length)] | join(",")')
    [[ $answers == "7,800x600,10,Ubuntu Server 24,83h,1,16" ]] || fail "jq answered $answers"
    expect_unchanged
}

# A document that jq or Python rewrites, escaping characters or not, loads back to
# the same bytes: names in UTF-8, in a code page, and with controls.
case_json_rewritten_by_jq_and_python_loads_back_the_same_bytes() {
    command -v jq >/dev/null || skip "jq is not installed"
    command -v python3 >/dev/null || skip "python3 is not installed"
    vornset prf=1 "prfname=$(printf 'Caf\xc3\xa9 \xe2\x98\x83 \xf0\x9f\x98\x80')" vornbm.bin
    vornset prf=2 "prfname=$(printf '\xe9t\xe9 \x80')" vornbm.bin
    vornset prf=3 "prfname=$(printf 'a\x01b\x7f\tc\x1b')" vornbm.bin
    vornset prf=4 "prfname=$(printf '\xc2\x85 "q" \\u00e9')" vornbm.bin
    ${VORNSET_RUNNER:-} "$VORNSET" show=json vornbm.bin | tr -d '\r' >shown.json
    grep -q '"format_version": 2' shown.json || fail "not format_version 2"
    local rewriter
    for rewriter in 'jq .' 'jq -a .' \
        'python3 -c "import json,sys; json.dump(json.load(sys.stdin), sys.stdout, ensure_ascii=True)"' \
        'python3 -c "import json,sys; json.dump(json.load(sys.stdin), sys.stdout, ensure_ascii=False)"'; do
        bash -c "$rewriter" <shown.json >rewritten.json || fail "$rewriter failed"
        cmp -s shown.json rewritten.json && [[ $rewriter != 'jq .' ]] && fail "$rewriter left the document as it was"
        cp vornbm.bin target.bin
        for profile in 1 2 3 4; do
            ${VORNSET_RUNNER:-} "$VORNSET" prf=$profile prfname=x target.bin >/dev/null
        done
        cmp -s vornbm.bin target.bin && fail "the names were not changed before the load"
        vornset load=rewritten.json target.bin
        expect_status 0
        cmp -s vornbm.bin target.bin || fail "$rewriter: the names load back otherwise: $(cmp -l vornbm.bin target.bin | head)"
    done
}

case_a_run_with_redirected_input_never_waits_to_close() {
    capture timeout 20 ${VORNSET_RUNNER:-} "$VORNSET" vornbm.bin < <(exec sleep 30 >/dev/null 2>&1)
    expect_status 0
    expect_golden report_of_sample.txt
    capture timeout 20 ${VORNSET_RUNNER:-} "$VORNSET" </dev/null
    expect_status 0
    expect_golden help.txt
}

[[ $# == 1 ]] && declare -F "case_$1" >/dev/null || {
    echo "usage: run.sh CASE"
    exit 2
}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cp "$SAMPLE" "$work/vornbm.bin" && cp "$SAMPLE" "$work/original.bin" || fail "cannot copy $SAMPLE"
chmod u+w "$work/vornbm.bin" "$work/original.bin"
cd "$work" || fail "cannot enter $work"
"case_$1"
echo "ok: $1"
