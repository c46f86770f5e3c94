# Sourced by the scripts that run the exe under Wine. Debian's `wine` runs a
# 32-bit exe through the i386 loader, which needs a kernel that runs 32-bit
# programs; some machines' kernels do not ("Exec format error"). There the
# same sources are built for x86_64 and run by wine64 instead.

# vorlane_win_arch: prints i686 where 32-bit programs run, else x86_64.
vorlane_win_arch() {
  if [ -n "${VORLANE_WIN_ARCH:-}" ]; then echo "$VORLANE_WIN_ARCH"; return; fi
  if [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}

# vorlane_choose_arch NAME DIR: sets ARCH (vorlane_win_arch); where it is not
# i686, says so on stderr as NAME and runs use_wine64 DIR.
vorlane_choose_arch() {
  ARCH="$(vorlane_win_arch)"
  if [ "$ARCH" != i686 ]; then
    echo "$1: this machine cannot run 32-bit programs; the $ARCH build of the same sources" \
      "runs under wine64" >&2
    use_wine64 "$2"
  fi
}

# use_wine64 DIR: puts `wine` and `wineboot` that use Wine's 64-bit loader in
# DIR and first on PATH (Debian's own `wine` would pick the i386 loader
# whenever it is installed, runnable or not).
#
# The loader runs with address-space randomisation off (setarch -R), which its
# children inherit. Debian's Wine has no preloader to keep Windows' fixed
# addresses free, and this kernel puts the loader's heap anywhere in the
# gigabyte above it: now and then right on 0x7ffe0000, where Wine must map
# the shared user data, and that Wine process died at once ("failed to map
# the shared user data: c0000018"). Without randomisation the heap follows
# the loader at 0x7d005000, every time.
use_wine64() {
  local dir="$1"
  mkdir -p "$dir"
  cat >"$dir/wine" <<'SH'
#!/bin/sh
export WINELOADER=/usr/lib/wine/wine64
exec setarch x86_64 -R /usr/lib/wine/wine64 "$@"
SH
  cat >"$dir/wineboot" <<SH
#!/bin/sh
exec "$dir/wine" wineboot "\$@"
SH
  chmod +x "$dir/wine" "$dir/wineboot"
  export PATH="$dir:$PATH"
}
