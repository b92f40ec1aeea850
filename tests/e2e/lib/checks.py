"""Shared by the end-to-end checkers (common.sh puts this folder on the path):
every failed check is printed, and finish() ends with exit code 1 if any failed."""
import sys

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def finish(success=None):
    for failure in failures:
        print("FAIL:", failure)
    if not failures and success:
        print(success)
    sys.exit(1 if failures else 0)
