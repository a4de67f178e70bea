#!/bin/bash
# Runs sumlark-cli over a fixed list of command lines (every type, the
# problem forms, class sets, PDFs, refusals and mistyped options) and keeps
# what each run left behind: its text sheets byte for byte, the names of its
# PDFs, its standard output and error and its exit code. Two builds are the
# same to a user when `diff -r` finds nothing between their records.
#
#   scripts/compare-runs.sh BUILD/cli/sumlark-cli RECORD-FOLDER
#
# Every run has a seed, so no line depends on the clock; the folder a run
# writes into is shown as ROOT, so records made in different places compare.
set -u
program=$(realpath "$1")
record=$2
rm -rf "$record"
mkdir -p "$record"
record=$(realpath "$record")

runs=()
types=(add sub mul div add-sub mul-div add-sub-mul all)
# Every type over a few ranges and the window's switches.
for type in "${types[@]}"; do
    runs+=("--type $type")
    runs+=("--type $type --smallest 0 --largest 100 --count 40 --per-line 4 --numbered")
    runs+=("--type $type --smallest -20 --largest 20 --count 25 --remainder --no-answers")
    runs+=("--type $type --largest 20 --distinct --count 30 --per-line 1")
done
for index in 0 1 2 3 4 5 6 7; do
    runs+=("--type $index --largest 12 --count 7.5 --per-line 3")
done
# The problem forms and the digit rules.
for blank in result first second mixed; do
    runs+=("--blank $blank --largest 50 --count 30")
    runs+=("--type sub --blank $blank --largest 100 --borrow with --count 20")
    runs+=("--type mul-div --blank $blank --largest 81 --no-trivial --count 20")
done
runs+=("--terms 3 --largest 30" "--type sub --terms 3 --largest 50 --distinct" "--type add-sub --terms 3 --result 0..20 --no-trivial")
runs+=("--first 10..99 --second 1..9 --result 0..100 --count 50" "--type div --first 10..100 --second 2..9 --remainder")
runs+=("--carry with --largest 100" "--carry without --largest 100 --count 60" "--type add-sub --carry with --borrow without --largest 100")
runs+=("--type all --largest 20 --remainder --no-trivial --distinct --count 50")
runs+=("--first -5..5 --second -5..5" "--type mul --first 2..9 --second 2..9 --distinct --count 64")
# Class sets, encodings, PDFs and the column form.
runs+=("--sheets 3 --type all --largest 20" "--sheets 12 --type sub --largest 100 --borrow with" "--sheets 2 --blank mixed --no-answers")
runs+=("--encoding GBK --type all --count 20" "--encoding GB18030 --numbered" "--encoding UTF-8 --type div")
runs+=("--pdf --count 110 --numbered" "--pdf --paper b5 --font-size 20 --sheets 2" "--pdf --layout vertical --type add-sub --largest 20")
runs+=("--layout vertical" "--pdf --paper letter --no-answers --type mul")
# Refusals of the engine, each once at least.
runs+=("--count abc" "--count ''" "--count 32767" "--count 1e9" "--smallest x" "--largest 十" "--largest 40000"
       "--smallest -40000" "--largest 32767.5" "--smallest 1e300" "--largest 1e400" "--type div --smallest -1e400 --largest -1e400"
       "--smallest 500 --largest 500" "--smallest 5 --largest 0" "--type mul --smallest 100 --largest 1000"
       "--type div --smallest -5 --largest 0 --remainder" "--type mul-div --smallest 0 --largest 0"
       "--type mul --carry with" "--type add --borrow without" "--type add --smallest -5 --carry with"
       "--first -5..5 --carry with" "--second -3..3 --type sub --borrow with" "--terms 3 --type mul"
       "--terms 3 --type all" "--first 50..60 --second 50..60 --result 0..10"
       "--distinct --largest 3 --count 50" "--distinct --type sub --blank first --largest 5 --count 99"
       "--carry with --largest 5" "--carry without --smallest 9 --largest 10" "--type sub --borrow with --largest 9"
       "--type add-sub --carry with --borrow with --largest 5"
       "--blank first --layout vertical" "--terms 3 --layout vertical --pdf" "--blank mixed --terms 3 --layout vertical"
       "--count '\$(echo)\\e[2J'")
# Mistakes on the command line.
runs+=("--typ add" "--type nine" "--count" "--numbered=yes" "--sheets 100" "--first 9..1" "--result 0..99999999999"
       "--seed -1" "--paper a3" "--font-size 7" "--layout columns" "--blank none" "--terms 4" "--encoding NOPE" "extra"
       "--carry maybe" "-o" "--help" "--version")
# Mistyped names, each answered with the option it most likely meant.
for typo in --smalest --cont --perline --noanswers --encodng --ot --sed --cary --borow --frst --reslt --sheet --pf \
    --fontsize --layot --seet --Type --PDF --hlp --versio; do
    runs+=("$typo 1")
done

number=0
for line in "${runs[@]}"; do
    number=$((number + 1))
    run=$(printf '%s/%03d' "$record" "$number")
    mkdir -p "$run/out"
    printf '%s\n' "$line" >"$run/command"
    (cd "$run/out" && eval "LC_ALL=C.UTF-8 \"$program\" --seed $number $line" >"$run/stdout" 2>"$run/stderr")
    echo $? >"$run/exit"
    sed -i "s|$run/out|ROOT|g" "$run/stdout" "$run/stderr"
    # A PDF carries the time it was made: its name is compared, its bytes are not.
    for pdf in "$run"/out/*.pdf; do
        [ -e "$pdf" ] && mv "$pdf" "$pdf.made"
    done
    for made in "$run"/out/*.made; do
        [ -e "$made" ] && : >"$made"
    done
done
echo "$number runs recorded in $record"
