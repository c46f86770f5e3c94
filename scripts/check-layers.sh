#!/usr/bin/env bash
# Fails when a source includes a folder above its own: the folders form
# layers, each including only those below it, so that no two depend on each
# other (tests and benchmarks aside, which may use anything).
#
#   app/                                 the application: the run, the views
#   service/                             the Windows service's parts
#   settings/                            the dialog and its checks
#   monitor/ alarm/ controls/            the subsystems
#   core/                                settings store, texts, log
#   framework/ res/                      the Win32 layer, resources
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
declare -A RANK=([framework]=0 [res]=0 [core]=1 [monitor]=2 [alarm]=2 [controls]=2
                 [settings]=3 [service]=4 [app]=5)
bad=0
while IFS=: read -r file line text; do
  own="${file%%/*}"
  used="$(sed -E 's|#include "([a-z]+)/.*|\1|' <<<"$text")"
  [ -n "${RANK[$own]:-}" ] && [ -n "${RANK[$used]:-}" ] || continue
  [ "$own" = "$used" ] && continue
  if [ "${RANK[$used]}" -ge "${RANK[$own]}" ]; then
    echo "layer: $file:$line includes $used/, which is not below $own/" >&2
    bad=1
  fi
done < <(git ls-files '*.cpp' '*.h' | grep -Ev '/(tests|bench)/' | xargs grep -nE '^#include "[a-z]+/' || true)
exit $bad
