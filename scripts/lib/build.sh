# Sourced: configures and builds both architectures.
#   build_both ROOT BUILD_DIR

build_one() {
  local root=$1 dir=$2 toolchain=$3
  shift 3
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" "$@" >/dev/null || return 1
  cmake --build "$dir" || return 1
}

# The i686 build is the deliverable, and its tests run under the emulated
# 32-bit Wine: a part of each program normally, all of it with TAVRO_DEEP=1.
build_both() {
  local root=$1 build_dir=$2 short=ON
  [[ "${TAVRO_DEEP:-0}" == 1 ]] && short=OFF
  echo "== building the i686 deliverable and its tests"
  build_one "$root" "$build_dir/i686" toolchain-i686.cmake -DBUILD_TESTING=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/lib/emulated-wine" -DTAVRO_EMULATED_SHORT=$short || return 1
  echo "== building the x86_64 test build"
  build_one "$root" "$build_dir/x86_64" toolchain-x86_64.cmake -DBUILD_TESTING=ON \
    -DTAVRO_DELIVERABLE_DIR="$build_dir/i686/bin" || return 1
}
