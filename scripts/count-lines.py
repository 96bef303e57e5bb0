#!/usr/bin/env python3
"""Counts the C++ lines under version control that hold code (blank lines and comments
excluded) and prints tests/, all, and the share of tests in percent."""
import subprocess
import sys
from pathlib import Path


def code_lines(text):
    count = 0
    in_block = False
    for line in text.split("\n"):
        code = []
        i = 0
        while i < len(line):
            if in_block:
                end = line.find("*/", i)
                if end < 0:
                    break
                in_block = False
                i = end + 2
            elif line.startswith("//", i):
                break
            elif line.startswith("/*", i):
                in_block = True
                i += 2
            elif line[i] == '"':
                j = i + 1
                while j < len(line) and line[j] != '"':
                    j += 2 if line[j] == "\\" else 1
                code.append(line[i : j + 1])
                i = j + 1
            else:
                code.append(line[i])
                i += 1
        if "".join(code).strip():
            count += 1
    return count


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    files = subprocess.check_output(["git", "ls-files"], cwd=root, text=True).split()
    total = tests = 0
    for name in files:
        if name.endswith((".cpp", ".h")):
            n = code_lines((root / name).read_text(encoding="utf-8", errors="replace"))
            total += n
            tests += n if name.startswith("tests/") else 0
    print(f"tests {tests} / all {total} = {100.0 * tests / total:.1f}%")


if __name__ == "__main__":
    main()
