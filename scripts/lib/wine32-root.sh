# Sourced: makes a private 32-bit Wine that runs under the user-mode emulator
# qemu-i386, for machines whose kernel refuses 32-bit programs. The packages
# are downloaded with a private apt configuration and unpacked into a folder:
# the system's package state and architectures are never touched.
#   wine32_root_make DIR   -> DIR/root is the unpacked 32-bit system, DIR/wine
#                             its launcher
#   wine32_root_ready DIR  -> true when DIR/root is complete

# The Windows DLLs and helpers Wine loads at run time besides its own
# dependencies: the X client libraries are only recommended, not required.
_wine32_root_extra_packages=(
  libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxcomposite1 libxinerama1 libxxf86vm1
)

_wine32_root_say() { echo "wine32-root: $*" >&2; }

# The version of the installed 64-bit Wine: the 32-bit clients talk to its
# wineserver, whose protocol must be the same.
_wine32_root_wine_version() {
  dpkg-query -W -f='${Version}' wine64 2>/dev/null
}

wine32_root_ready() {
  local dir=$1
  [[ -f "$dir/ready" && -x "$dir/wine" && "$(cat "$dir/ready")" == "$(_wine32_root_wine_version)" ]]
}

# The system's own package sources, restricted to i386. One-line sources get
# an [arch=i386] option; deb822 stanzas get an Architectures field.
_wine32_root_write_sources() {
  local out=$1 file
  mkdir -p "$out"
  rm -f "$out"/*
  if [[ -f /etc/apt/sources.list ]]; then
    sed -E -n 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?/deb [arch=i386] /p' \
      /etc/apt/sources.list >"$out/system.list"
  fi
  for file in /etc/apt/sources.list.d/*.list; do
    [[ -f "$file" ]] || continue
    sed -E -n 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?/deb [arch=i386] /p' \
      "$file" >"$out/$(basename "$file")"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$file" ]] || continue
    awk 'BEGIN { print_arch = 1 }
         /^Architectures:/ { next }
         /^[[:space:]]*$/ { if (!print_arch) print "Architectures: i386"; print_arch = 1; print; next }
         /^Types:/ { print_arch = 0 }
         { print }
         END { if (!print_arch) print "Architectures: i386" }' "$file" >"$out/$(basename "$file")"
  done
}

_wine32_root_write_apt_config() {
  local dir=$1
  mkdir -p "$dir/apt/state/lists/partial" "$dir/apt/cache/archives/partial" "$dir/apt/etc"
  : >"$dir/apt/state/status"
  _wine32_root_write_sources "$dir/apt/etc/sources.list.d"
  cat >"$dir/apt/apt.conf" <<EOF
Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "$dir/apt/etc/sources.list.d";
Dir::Etc::Preferences "/dev/null";
Dir::Etc::PreferencesParts "/dev/null";
Dir::State "$dir/apt/state";
Dir::State::status "$dir/apt/state/status";
Dir::Cache "$dir/apt/cache";
APT::Architecture "i386";
APT::Architectures { "i386"; };
APT::Install-Recommends "false";
APT::Sandbox::User "root";
Acquire::Retries "3";
EOF
}

_wine32_root_download() {
  local dir=$1 version=$2
  export APT_CONFIG="$dir/apt/apt.conf"
  # One failed mirror index does not stop the install, whose result decides.
  apt-get -q update >"$dir/apt/update.log" 2>&1 ||
    _wine32_root_say "apt-get update reported a problem (see $dir/apt/update.log); trying the download anyway"
  if ! apt-get -q -y --download-only install \
    "wine32=$version" "wine32-preloader=$version" "wine=$version" "${_wine32_root_extra_packages[@]}" \
    >"$dir/apt/download.log" 2>&1; then
    _wine32_root_say "cannot download the 32-bit Wine $version; see $dir/apt/download.log"
    unset APT_CONFIG
    return 1
  fi
  unset APT_CONFIG
}

# Wine's own packaging makes its zlib1.dll from the MinGW one at install time;
# user32 does not load without it.
_wine32_root_make_zlib() {
  local root=$1 arch mingw source target
  for arch in i386 x86_64; do
    mingw=$arch
    [[ $arch == i386 ]] && mingw=i686
    source=$root/usr/$mingw-w64-mingw32/lib/zlib1.dll
    [[ -f "$source" ]] || source=/usr/$mingw-w64-mingw32/lib/zlib1.dll
    target=$root/usr/lib/i386-linux-gnu/wine/$arch-windows
    [[ -d "$target" && -f "$source" ]] || continue
    {
      head -c 64 "$source"
      printf 'Wine builtin DLL'
      printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
      tail -c +97 "$source"
    } >"$target/zlib1.dll"
  done
  [[ -f "$root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll" ]] ||
    { _wine32_root_say "no zlib1.dll for the 32-bit Wine"; return 1; }
}

# The kernel cannot start the 32-bit preloader, so every Wine process is
# started through the emulator instead. -0 keeps the program's own name in
# argv[0], which the preloader reads.
_wine32_root_wrap_preloader() {
  local root=$1 preloader=$1/usr/lib/wine/wine-preloader
  # The package ships the preloader as a link to the static binary.
  if [[ -L "$preloader" ]]; then
    rm "$preloader"
  elif [[ ! -f "$preloader.static" ]]; then
    mv "$preloader" "$preloader.static"
  fi
  [[ -f "$preloader.static" ]] || { _wine32_root_say "no wine-preloader in the 32-bit Wine"; return 1; }
  cat >"$preloader" <<EOF
#!/bin/sh
exec qemu-i386 -L "$root" -0 "\$0" "$root/usr/lib/wine/wine-preloader.static" "\$@"
EOF
  chmod +x "$preloader"
}

# DIR/wine starts a program under the 32-bit Wine, like the system's `wine`.
_wine32_root_write_launcher() {
  local dir=$1
  cat >"$dir/wine" <<EOF
#!/bin/sh
exec qemu-i386 -L "$dir/root" "$dir/root/usr/lib/wine/wine" "\$@"
EOF
  chmod +x "$dir/wine"
}

_wine32_root_unpack() {
  local dir=$1 deb
  rm -rf "$dir/root"
  mkdir -p "$dir/root"
  for deb in "$dir"/apt/cache/archives/*.deb; do
    dpkg -x "$deb" "$dir/root" || { _wine32_root_say "cannot unpack $deb"; return 1; }
  done
  # FreeType and the X libraries are found through the root's own cache.
  ldconfig -r "$dir/root" 2>/dev/null || true
  _wine32_root_make_zlib "$dir/root" || return 1
  _wine32_root_wrap_preloader "$dir/root" || return 1
  _wine32_root_write_launcher "$dir"
}

wine32_root_make() {
  local dir version
  dir=$(mkdir -p "$1" && cd "$1" && pwd)
  wine32_root_ready "$dir" && return 0
  if ! command -v qemu-i386 >/dev/null; then
    _wine32_root_say "qemu-i386 is missing: run scripts/setup (package qemu-user)"
    return 1
  fi
  version=$(_wine32_root_wine_version)
  if [[ -z "$version" ]]; then
    _wine32_root_say "the 64-bit Wine (package wine64) is missing: run scripts/setup"
    return 1
  fi
  _wine32_root_say "making a 32-bit Wine $version in $dir (a download of about 145 MB, once)"
  rm -f "$dir/ready"
  _wine32_root_write_apt_config "$dir"
  _wine32_root_download "$dir" "$version" || return 1
  _wine32_root_unpack "$dir" || return 1
  echo "$version" >"$dir/ready"
}
