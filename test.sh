#!/usr/bin/env bash
# Builds Quintaro and runs every test through CTest; exits non-zero on any failure.
# "./test.sh quick" stops there. By default (and in CI) it then builds the core and its tests
# again with AddressSanitizer and UndefinedBehaviorSanitizer (any report aborts the test that
# made it) and runs them, runs each fuzzer for 30 s, and last builds the Windows programs and runs
# their tests under Wine ("./test.sh windows" runs only that part).
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"

# Each part's time, printed at the end however the run ends: what makes CI slow is plain to see.
stage_name=""
stage_start=0
stage_times=()
stage() {
    stage_done
    stage_name=$1
    stage_start=$SECONDS
    echo "== $1"
}
stage_done() {
    if [ -n "$stage_name" ]; then
        stage_times+=("$(printf '%6d s  %s' $((SECONDS - stage_start)) "$stage_name")")
    fi
    stage_name=""
}
print_stage_times() {
    local code=$?
    stage_done
    echo "== Tiempo de cada parte"
    printf '%s\n' "${stage_times[@]+"${stage_times[@]}"}"
    printf '%6d s  en total\n' "$SECONDS"
    return $code
}
trap print_stage_times EXIT

# The Windows part: the cross build (and, when missing, its prefix: about 30 minutes on a fresh
# machine), its tests under Wine, and its installer installed, used and removed under Wine.
windows_tests() {
    stage "Windows: compilación cruzada (y su prefijo, si falta)"
    local build prefix
    build=$("$QUINTARO_ROOT/tools/windows/build.sh")
    prefix=$(cat "$build/mingw-prefix")
    stage "Windows: pruebas con Wine"
    # The Wine prefix is made once, before tests run side by side.
    QUINTARO_MINGW_PREFIX=$prefix "$QUINTARO_ROOT/tools/windows/wine-run.sh" cmd /c exit 0
    (cd "$build" && QUINTARO_MINGW_PREFIX=$prefix ctest --output-on-failure -j "$(nproc)" --timeout 600)
    stage "Linux ante los bloqueos de un programa de Windows bajo Wine"
    [ -x "$QUINTARO_ROOT/build/quintaro-cli" ] || quintaro_build "$QUINTARO_ROOT/build" -DBUILD_TESTING=OFF
    "$QUINTARO_ROOT/tools/windows/check-wine-locks.sh" "$QUINTARO_ROOT/build"
    stage "El instalador de Windows: para el usuario, sin administrador; uso y desinstalación bajo Wine"
    local stage
    stage=$(mktemp -d)
    "$QUINTARO_ROOT/tools/windows/stage.sh" "$build" "$stage/Quintaro"
    "$QUINTARO_ROOT/tools/windows/make-installer.sh" "$stage/Quintaro" 0.0-prueba "$stage/quintaro-instalador-prueba.exe"
    "$QUINTARO_ROOT/tools/windows/check-installer.sh" "$stage/quintaro-instalador-prueba.exe" "$QUINTARO_ROOT/build"
    rm -rf "$stage"
}
if [ "${1:-}" = "windows" ]; then
    windows_tests
    exit 0
fi

# Only what the build and CTest need; clang and the Windows tool chain come with their own parts.
stage "Paquetes de compilación y de pruebas"
quintaro_install "${QUINTARO_RUN_PACKAGES[@]}" "${QUINTARO_TEST_PACKAGES[@]}"

stage "Compilación"
quintaro_build "$QUINTARO_ROOT/build" -DBUILD_TESTING=ON
stage "Pruebas (CTest)"
(cd "$QUINTARO_ROOT/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
[ "${1:-}" = "quick" ] && exit 0

stage "Núcleo y pruebas con AddressSanitizer y UndefinedBehaviorSanitizer"
quintaro_build "$QUINTARO_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DQUINTARO_SANITIZE=ON -DQUINTARO_GUI=OFF
(cd "$QUINTARO_ROOT/build-asan" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$(nproc)")

stage "Fuzzing: cada objetivo 30 s sobre su corpus (tests/fuzz)"
# libFuzzer and the sanitizers' runtime come with the clang this Debian has, whatever its version.
quintaro_install clang
quintaro_install "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
CC=clang CXX=clang++ quintaro_build "$QUINTARO_ROOT/build-fuzz" -DQUINTARO_FUZZ=ON -DQUINTARO_SANITIZE=ON \
    -DQUINTARO_GUI=OFF -DBUILD_TESTING=OFF
for target in dbf export import; do
    corpus=$(mktemp -d)
    cp "$QUINTARO_ROOT/tests/fuzz/corpus_$target"/* "$corpus/"
    log="$QUINTARO_ROOT/build-fuzz/fuzz_$target.log"
    if ! (cd "$corpus" && "$QUINTARO_ROOT/build-fuzz/fuzz_$target" -max_total_time=30 -max_len=8192 \
            -print_final_stats=1 "$corpus" >"$log" 2>&1); then
        tail -n 60 "$log"
        echo "fuzz_$target encontró un fallo (entrada guardada en $corpus)"
        exit 1
    fi
    echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log")"
    rm -rf "$corpus"
done

windows_tests
