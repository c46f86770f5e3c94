# Sourced by the scripts: a Wine prefix of the project's own, made once.
# WINEDLLOVERRIDES keeps Wine from trying to download Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"

# ensure_wine_prefix DIR: creates the prefix unless it is complete, and maps
# the dialog font 宋体/SimSun to the installed CJK font.
ensure_wine_prefix() {
  local prefix="$1"
  if [ -f "$prefix/.vorlane-ready" ]; then return 0; fi
  mkdir -p "$prefix"
  echo "Creating the Wine prefix $prefix (about 20 s, once)..." >&2
  WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1 &
  local pid=$!
  wait "$pid" || true
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  for face in '宋体' 'SimSun'; do
    LANG=C.UTF-8 WINEPREFIX="$prefix" wine reg add "$key" /v "$face" /t REG_SZ /d 'WenQuanYi Zen Hei' /f >/dev/null 2>&1
  done
  # Message boxes use Tahoma, which has no Chinese: link it to the CJK font.
  LANG=C.UTF-8 WINEPREFIX="$prefix" wine reg add \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'wqy-zenhei.ttc,WenQuanYi Zen Hei' /f >/dev/null 2>&1
  # Without a window manager (Xvfb) Wine would wait for one whenever a
  # managed window goes away; the desktop's own manager is used if present.
  if [ -z "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o 'window id')" ]; then
    WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  fi
  touch "$prefix/.vorlane-ready"
}
