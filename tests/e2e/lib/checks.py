"""Shared by the end-to-end checkers (common.sh puts this folder on the path):
every failed check is printed, and finish() ends with exit code 1 if any failed.
A checker gets the work folder first: work is it, args what follows."""
import json
import os
import sys

work, args = (sys.argv[1:] or [""])[0], sys.argv[2:]
failures = []


def load(*names):
    """The dumps NAMES of the work folder (".json" may be left out): one, or a tuple of them."""
    dumps = [json.load(open(os.path.join(work, n if n.endswith(".json") else n + ".json"), encoding="utf-8"))
             for n in names]
    return dumps[0] if len(dumps) == 1 else tuple(dumps)


def check(condition, message):
    if not condition:
        failures.append(message)


def finish(success=None):
    for failure in failures:
        print("FAIL:", failure)
    if not failures and success:
        print(success)
    sys.exit(1 if failures else 0)
