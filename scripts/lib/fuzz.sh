# Sourced by scripts/test and scripts/fuzz: builds the "fuzz" preset and runs every fuzz
# target in build/fuzz/fuzz for a given number of seconds, starting from its sample inputs in
# tests/fuzz/inputs/<target>/ and keeping what it finds in build/fuzz/corpus/<target>/.
# Sets fuzz_passed and fuzz_failed; prints one line of figures per target.
run_fuzz_targets() {
    local seconds=$1 root=$2 log=$3
    fuzz_passed=0
    fuzz_failed=0
    if ! { cmake --preset fuzz >"$log/configure-fuzz.log" 2>&1 &&
        cmake --build --preset fuzz -j"$(nproc)" >"$log/build-fuzz.log" 2>&1; }; then
        echo "BUILD FAILED: fuzz (see $log/build-fuzz.log)"
        tail -n 20 "$log/build-fuzz.log"
        fuzz_failed=1
        return 1
    fi
    local bin name corpus out
    # The first sanitizer report ends the run, also from code built without
    # -fno-sanitize-recover.
    local ubsan="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
    for bin in "$root"/build/fuzz/fuzz/*_fuzz; do
        [ -x "$bin" ] || continue
        name=$(basename "$bin")
        corpus="$root/build/fuzz/corpus/$name"
        mkdir -p "$corpus"
        out="$log/fuzz-$name.log"
        # A crash, a leak or a sanitizer report ends the run with a non-zero status.
        if (cd "$log" && UBSAN_OPTIONS="$ubsan" "$bin" -max_total_time="$seconds" -print_final_stats=1 \
            "$corpus" "$root/tests/fuzz/inputs/$name") >"$out" 2>&1; then
            fuzz_passed=$((fuzz_passed + 1))
            echo "fuzz $name: ok, $(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$out" |
                grep -oE '[0-9]+$') runs in ${seconds} s"
        else
            fuzz_failed=$((fuzz_failed + 1))
            echo "fuzz $name: FAILED (see $out)"
            grep -E 'ERROR|SUMMARY|Test unit written' "$out" | head -n 5
        fi
    done
}
