#!/usr/bin/env python3
"""Runs end-to-end cases for CTest.

    run_case.py --list FILE...              one "name<TAB>timeout" line per case
    run_case.py --make-prefix --prefix DIR  the Wine prefix that the cases clone
    run_case.py --end-prefix --prefix DIR [--work DIR]   ends the prefix's processes, if any,
        and deletes the ended cases' prefixes
    run_case.py --exe EXE --prefix DIR --work DIR --out DIR [--wininfo EXE] FILE::FUNCTION

A case is a function test_* of a file test_*.py beside this script; see
harness.py. Exit status 0 is a pass, 1 a failure.
"""

import argparse
import ast
import importlib.util
import os
import signal
import sys
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402


def list_cases(files):
    """Reads the cases without importing the files: name and time limit."""
    for path in files:
        topic = os.path.splitext(os.path.basename(path))[0][len("test_"):]
        with open(path, encoding="utf-8") as f:
            tree = ast.parse(f.read(), path)
        for node in tree.body:
            if not isinstance(node, ast.FunctionDef) or not node.name.startswith("test_"):
                continue
            timeout = harness.DEFAULT_TIMEOUT
            for deco in node.decorator_list:
                if isinstance(deco, ast.Call) and getattr(deco.func, "id", getattr(
                        deco.func, "attr", "")) == "case":
                    for kw in deco.keywords:
                        if kw.arg == "timeout" and isinstance(kw.value, ast.Constant):
                            timeout = int(kw.value.value)
            print(f"{topic}.{node.name[len('test_'):]}\t{os.path.abspath(path)}::{node.name}"
                  f"\t{timeout}")


def load_function(spec):
    path, _, name = spec.partition("::")
    module_name = os.path.splitext(os.path.basename(path))[0]
    module_spec = importlib.util.spec_from_file_location(module_name, path)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return getattr(module, name)


def run_one(args):
    fn = load_function(args.case)
    timeout = getattr(fn, "e2e_timeout", harness.DEFAULT_TIMEOUT)
    name = os.path.basename(args.case.partition("::")[0])[:-3] + "." + fn.__name__
    out_dir = os.path.join(args.out, name)

    def on_alarm(signum, frame):
        raise harness.CaseTimeout(f"the case ran past its time limit of {timeout} s")

    def on_term(signum, frame):
        raise harness.CaseTimeout("ended by SIGTERM")

    signal.signal(signal.SIGALRM, on_alarm)
    # CTest ends a test with SIGTERM on its own time-out: clean up all the same.
    signal.signal(signal.SIGTERM, on_term)
    signal.alarm(timeout)
    c = None
    try:
        c = harness.Case(name, args.exe, args.prefix, args.work, out_dir, args.wininfo)
        fn(c)
        signal.alarm(0)
        print(f"PASS {name}")
        return 0
    except BaseException as error:  # noqa: B902 - a failure of any kind is reported
        signal.alarm(0)
        traceback.print_exc()
        print(f"FAIL {name}: {error}", file=sys.stderr)
        if c is not None:
            signal.alarm(60)  # the clean-up has a limit of its own
            try:
                for path in c.collect_artifacts():
                    print(f"  kept {path}", file=sys.stderr)
            except BaseException:  # noqa: B902
                traceback.print_exc()
        return 1
    finally:
        if c is not None:
            signal.alarm(60)
            try:
                c.close()
            finally:
                signal.alarm(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", nargs="*")
    parser.add_argument("--make-prefix", action="store_true")
    parser.add_argument("--end-prefix", action="store_true")
    parser.add_argument("--exe")
    parser.add_argument("--prefix")
    parser.add_argument("--work")
    parser.add_argument("--out")
    parser.add_argument("--wininfo")
    parser.add_argument("case", nargs="?")
    args = parser.parse_args()
    if args.list is not None:
        list_cases(args.list)
        return 0
    if args.make_prefix:
        harness.ensure_prefix(args.prefix)
        return 0
    if args.end_prefix:
        harness.end_prefix_processes(args.prefix)
        if args.work:
            harness.remove_ended_prefixes(args.work)
        return 0
    if not os.path.isfile(args.exe or ""):
        print(f"no exe at {args.exe}", file=sys.stderr)
        return 1
    return run_one(args)


if __name__ == "__main__":
    sys.exit(main())
