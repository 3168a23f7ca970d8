#!/usr/bin/env python3
"""Checks the README against the tree: every relative link (text or picture) names a file or
folder that exists, and every figure it quotes (a number with a unit: ms, µs, s, bytes, KB, MB,
MiB, %, x, times) appears in docs/benchmarks.md, where each has its command and machine.

Usage: check_docs.py [README [BENCHMARKS]]   (defaults: README.md, docs/benchmarks.md of the tree)
Prints each fault and exits 1 when there is one, 0 otherwise."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# [text](target) and ![alt](target); the alt text may span lines.
LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")
# A number (digits with , or . inside) and its unit, not inside a word or a hex literal.
FIGURE = re.compile(r"(?<![\w.,])(\d+(?:[.,]\d+)*)\s?(ms|µs|s|bytes|KB|MB|MiB|%|x|times)(?![\w])")


def strip_code(text):
    """The text without fenced blocks and inline code: commands there are not figures or links."""
    text = re.sub(r"```.*?```", "", text, flags=re.S)
    return re.sub(r"`[^`\n]*`", "", text)


def bad_links(text, base):
    faults = []
    for target in LINK.findall(text):
        if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I) or target.startswith("#"):
            continue  # a web address, mail or an anchor on the same page
        path = target.split("#", 1)[0]
        if not os.path.exists(os.path.normpath(os.path.join(base, path))):
            faults.append("link to a missing file: %s" % target)
    return faults


def normal(figure):
    return re.sub(r"\s+", " ", figure)


def missing_figures(text, benchmarks):
    # The benchmarks' figures with and without the space before the unit, any line breaks joined.
    known = set(normal(m.group(1) + " " + m.group(2)) for m in FIGURE.finditer(benchmarks))
    faults = []
    for m in FIGURE.finditer(text):
        figure = normal(m.group(1) + " " + m.group(2))
        if figure not in known:
            faults.append("figure not in docs/benchmarks.md: %s" % m.group(0))
    return faults


def main(argv):
    readme = argv[1] if len(argv) > 1 else os.path.join(ROOT, "README.md")
    benchmarks = argv[2] if len(argv) > 2 else os.path.join(ROOT, "docs", "benchmarks.md")
    with open(readme, encoding="utf-8") as f:
        text = f.read()
    with open(benchmarks, encoding="utf-8") as f:
        bench = f.read()
    prose = strip_code(text)
    faults = bad_links(prose, os.path.dirname(os.path.abspath(readme)))
    faults += missing_figures(prose, bench)
    for fault in faults:
        print("check_docs: %s: %s" % (os.path.relpath(readme), fault), file=sys.stderr)
    if not faults:
        print("check_docs: %s: links and figures fine" % os.path.relpath(readme))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
