#!/usr/bin/env python3
"""Fails when a text the user sees has no English translation.

Runs lupdate over the sources into a copy of the committed .ts (the committed file is left alone)
and reports: texts that are new or changed (unfinished), entries whose text is gone from the
sources (vanished), empty translations, translations whose %1..%9 differ from their source's,
and lupdate's own warnings (a tr() whose context lupdate cannot tell differs from the one the
program asks for at run time).

Usage: check_translations.py LUPDATE TS_FILE -- LUPDATE_SOURCE_ARGUMENTS...
(run in the source folder).
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def main():
    if len(sys.argv) < 4 or sys.argv[3] != "--":
        sys.exit(__doc__)
    lupdate, committed, sources = sys.argv[1], sys.argv[2], sys.argv[4:]
    problems = []
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, os.path.basename(committed))
        shutil.copyfile(committed, copy)
        run = subprocess.run([lupdate, "-silent", *sources, "-ts", copy],
                             capture_output=True, text=True)
        warnings = [line for line in (run.stdout + run.stderr).splitlines() if line.strip()]
        if run.returncode != 0:
            problems.append("lupdate failed (exit status %d)" % run.returncode)
        problems += ["lupdate: " + line for line in warnings]
        root = ET.parse(copy).getroot()
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "missing"
            text = (translation.text or "") if translation is not None else ""
            forms = [form.text or "" for form in translation.iter("numerusform")] if translation is not None else []
            if forms:
                # A text with a count has one translation per plural form: all of them filled.
                text = "" if not all(form.strip() for form in forms) else forms[-1]
            where = "%s: %r" % (name, source)
            if kind == "unfinished":
                problems.append("no English translation: " + where)
            elif kind in ("vanished", "obsolete"):
                problems.append("no longer in the sources (run the update_translations target): " + where)
            elif not text.strip() and source.strip():
                problems.append("empty translation: " + where)
            elif sorted(set(re.findall(r"%\d", source))) != sorted(set(re.findall(r"%\d", text))):
                problems.append("placeholders differ from the source's: %s -> %r" % (where, text))
    if problems:
        print("\n".join(problems))
        print("%d problem(s) in %s" % (len(problems), committed))
        return 1
    print("Every text has its English translation.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
