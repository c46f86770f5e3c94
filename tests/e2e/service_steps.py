"""Steps of the service cases (test_service.py, and scripts/bench): a case's
private prefix whose wineserver, services.exe and so the service run inside
the case's network namespace; /install and /uninstall; the service manager's
and the registry's view; the installed files.

Under Wine a service lives only while its prefix's wineserver does, and a
wineserver ends a few seconds after its last ordinary program: the cases
start a persistent one (``wineserver -p``) inside the namespace before
anything else. services.exe gives a service the environment of the
registry, not of the program that started it: VORLANE_TRACE is set there,
to the case's trace file, which every program of the prefix then writes
(the service's states are "service" lines, a view's bar's are "status").
Wine's own trace of the Event Log calls goes to the case's wine.log: the
first program of the prefix, whose output services.exe keeps, runs with
WINEDEBUG +eventlog."""

import contextlib
import os
import re
import subprocess

from harness import HarnessError, poll, wine_env
from monitor_common import windows_path

SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\Vorlane"
EVENT_SOURCE_KEY = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Vorlane"
ENVIRONMENT_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager\Environment"


def _env(c, **extra):
    env = wine_env(c.prefix, DISPLAY=c.display.name, VORLANE_TRACE=c.trace.path, **extra)
    env.pop("XAUTHORITY", None)
    return env


def _in_namespace(c, env, *command):
    return c.netns.command("env", *[f"{k}={v}" for k, v in env.items()], *command)


def prepare(c, hosts=None):
    """The case's namespace and prefix, with the prefix's persistent
    wineserver and services started inside it; returns the namespace."""
    ns = c.network(hosts)
    # Written into the prefix's registry file before any Wine program runs:
    # services.exe takes the environment in once, at its start.
    system_reg = os.path.join(c.prefix, "system.reg")
    with open(system_reg, encoding="utf-8") as f:
        text = f.read()
    section = "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment]"
    at = text.index("\n", text.index(section)) + 1
    at = text.index("\n", at) + 1 if text[at:].startswith("#time=") else at
    value = windows_path(c.trace.path).replace("\\", "\\\\")
    text = text[:at] + f'"VORLANE_TRACE"="{value}"\n' + text[at:]
    with open(system_reg, "w", encoding="utf-8") as f:
        f.write(text)
    env = _env(c, WINEDEBUG="fixme-all,+eventlog")
    # Not in the Unix environment of services.exe and the service: the
    # harness finds a case's programs by it (App.pids), and the service is
    # not one of them.
    del env["VORLANE_TRACE"]
    with open(c.wine_log, "ab") as log:
        subprocess.run(_in_namespace(c, env, "wineserver", "-p", "3600"), env=env, stdout=log,
                       stderr=log, timeout=30, check=True)
        # The first program of the prefix: services.exe keeps its output.
        subprocess.run(_in_namespace(c, env, "wine", "reg", "query", ENVIRONMENT_KEY, "/v",
                                     "VORLANE_TRACE"),
                       env=env, stdout=log, stderr=log, timeout=120, check=True)
    return ns


def wine(c, *args, timeout=120):
    """Runs a Wine program in the case's namespace; (exit code, output)."""
    env = _env(c)
    result = subprocess.run(_in_namespace(c, env, "wine", *args), env=env, capture_output=True,
                            timeout=timeout)
    return result.returncode, result.stdout.decode("utf-8", errors="replace")


def setup(c, *args):
    """Vorlane.exe of the case folder with the switches `args` (add
    "/quiet"); its exit code."""
    code, _ = wine(c, os.path.join(c.folder, c.exe_name), *args)
    return code


def service_state(c):
    """RUNNING, STOPPED, ... as `sc query` says; None when there is no such
    service."""
    _, out = wine(c, "sc", "query", "Vorlane")
    match = re.search(r"STATE\s*:\s*\d+\s+(\w+)", out)
    return match.group(1) if match else None


def wait_state(c, state, timeout=30):
    poll(f"the service {state}", lambda: service_state(c) == state, timeout, 0.5)


def registry_values(c, key):
    """The values of a registry key as {name: value}: text as text, a
    DWORD as an int, REG_EXPAND_SZ as its text; None when the key is absent.
    Through `reg export`, whose file is UTF-16: `reg query` prints in the
    console's code page, which has no Chinese here."""
    exported = os.path.join(c.folder, "exported.reg")
    with contextlib.suppress(FileNotFoundError):
        os.remove(exported)
    code, _ = wine(c, "reg", "export", key, windows_path(exported), "/y")
    if code != 0:
        return None
    with open(exported, "rb") as f:
        text = f.read().decode("utf-16")
    # A long value goes on over lines that end in a backslash.
    text = re.sub(r"\\\r?\n\s*", "", text)
    values = {}
    for line in text.splitlines():
        match = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
        if not match:
            continue
        name, value = match.group(1), match.group(2)
        if value.startswith("dword:"):
            values[name] = int(value[6:], 16)
        elif value.startswith('"'):
            values[name] = re.sub(r"\\(.)", r"\1", value[1:-1])
        elif value.startswith("hex(2):"):
            raw = bytes(int(b, 16) for b in value[7:].replace("\\", "").split(",") if b.strip())
            values[name] = raw.decode("utf-16-le").rstrip("\0")
    return values


def installed_exe(c):
    """The installed copy, a Unix path (Program Files or Program Files (x86),
    as the exe's architecture has it), from the service's command line."""
    command = registry_values(c, SERVICE_KEY)["ImagePath"]
    path = re.match(r'"C:\\(.*)" /service', command).group(1)
    return os.path.join(c.prefix, "drive_c", *path.split("\\"))


def data_folder(c):
    return os.path.join(c.prefix, "drive_c", "ProgramData", "Vorlane")


def service_log(c):
    """Vorlane.log of the service as [event, {key: value}] lines."""
    try:
        with open(os.path.join(data_folder(c), "Vorlane.log"), encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        return []
    lines = []
    for line in text.splitlines():
        fields = line.split("\t")
        lines.append((fields[1], dict(f.partition("=")[::2] for f in fields[2:] if f)))
    return lines


def wait_logged(c, event, timeout=30, **details):
    def found():
        return [l for l in service_log(c) if l[0] == event and
                all(l[1].get(k) == v for k, v in details.items())]
    return poll(f"{event} {details} in the service's log", found, timeout, 0.2)[-1]


def service_statuses(c, since=0):
    """(colour, text) of every state the service traced."""
    return [tuple(l.detail.split("\t")[1:3]) for l in c.trace.find("service", "^status\t",
                                                                     since=since)]


def wait_service_status(c, pattern, timeout=30, since=0):
    return poll(f"the service's status {pattern}", lambda: [
        s for s in service_statuses(c, since) if re.search(pattern, s[1])], timeout, 0.1)[0]


def install(c, settings, *extra):
    """Writes the case folder's settings, installs, and waits until the
    service's first probe; returns the exit code."""
    c.write_ini(settings)
    code = setup(c, "/install", "/quiet", *extra)
    if code != 0:
        raise HarnessError(f"/install ended with {code}")
    wait_service_status(c, "没掉线|掉线")
    return code


def wine_eventlog_lines(c):
    """Wine's trace of its ReportEventW: (level, text) per call."""
    with open(c.wine_log, "rb") as f:
        text = f.read().decode("utf-8", errors="replace")
    return re.findall(r"(trace|warn|err):eventlog:ReportEventW (L\".*\")", text)
