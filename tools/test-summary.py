#!/usr/bin/env python3
"""Counts the test cases of a tools/test.sh run and prints "N passed, N failed".

Each ctest run is given as BUILD_DIR:CTEST_JUNIT:GTEST_XML_DIR. A ctest test whose
program is a GoogleTest program that wrote its XML report counts with its test
cases; any other ctest test (or one whose program died before writing the report)
counts as one case. A ctest test that failed although its report shows no failing
case (a crash at exit, a sanitizer report) adds one failed case.

Further files given with --checks hold lines "PASS name" or "FAIL name: ..." from
checks outside ctest (product checks, fuzzing, builds); each line is one case.
"""
import argparse
import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    passed = failed = 0
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.get("status") == "notrun" or case.find("skipped") is not None:
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def ctest_results(junit):
    """name -> True when the ctest test passed."""
    results = {}
    if not os.path.exists(junit):
        return results
    for case in ET.parse(junit).getroot().iter("testcase"):
        status = case.get("status", "")
        if status == "disabled":
            continue
        results[case.get("name")] = status == "run"
    return results


def ctest_commands(build_dir):
    """name -> command line of each ctest test."""
    out = subprocess.run(["ctest", "--test-dir", build_dir, "--show-only=json-v1"],
                         capture_output=True, text=True, check=False).stdout
    try:
        return {t["name"]: t.get("command", []) for t in json.loads(out).get("tests", [])}
    except (ValueError, AttributeError):
        return {}


def report_of(command, xml_dir):
    """The GoogleTest XML report written by the program of this command, if any."""
    for arg in command:
        base = os.path.basename(arg.replace("\\", "/"))
        stem = base[:-4] if base.lower().endswith(".exe") else base
        path = os.path.join(xml_dir, stem + ".xml")
        if stem and os.path.isfile(path):
            return path
    return None


def count_run(run):
    build_dir, junit, xml_dir = run.split(":", 2)
    results = ctest_results(junit)
    commands = ctest_commands(build_dir)
    passed = failed = 0
    reports = {}  # report -> did every ctest test using it pass
    for name, ok in results.items():
        report = report_of(commands.get(name, []), xml_dir)
        if report is None:
            passed += ok
            failed += not ok
        else:
            reports[report] = reports.get(report, True) and ok
    for report, all_ok in reports.items():
        p, f = gtest_counts(report)
        if not all_ok and f == 0:
            f = 1
        passed += p
        failed += f
    return passed, failed


def count_checks(path):
    passed = failed = 0
    with open(path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            if line.startswith("PASS "):
                passed += 1
            elif line.startswith("FAIL "):
                failed += 1
    return passed, failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("runs", nargs="*", help="BUILD_DIR:CTEST_JUNIT:GTEST_XML_DIR")
    parser.add_argument("--checks", action="append", default=[])
    args = parser.parse_args()
    total_passed = total_failed = 0
    for counter, items in ((count_run, args.runs), (count_checks, args.checks)):
        for item in items:
            p, f = counter(item)
            print(f"  {item.split(':')[0]}: {p} passed, {f} failed", file=sys.stderr)
            total_passed += p
            total_failed += f
    print(f"{total_passed} passed, {total_failed} failed")
    return 1 if total_failed else 0


if __name__ == "__main__":
    sys.exit(main())
