#!/usr/bin/env python3
"""Checks the documents against the tree they describe.

    docs_links.py SOURCE_DIR links   every relative link of every *.md file
                                     names a file or folder that exists, and a
                                     link to a heading (#...) names one there
    docs_links.py SOURCE_DIR names   the README's tables name what exists: each
                                     name in backticks in a "where to change
                                     what" row is in one of the files the row
                                     links to, and each control name in the
                                     glossary's first column is a control of
                                     ui/Unit1.ui

Prints one line per fault and exits 1 when there is any.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

SKIPPED_DIRS = {".git", "node_modules", ".cache"}
LINK = re.compile(r"(?<!!)\[[^\]]*\]\(([^)\s]+)\)|!\[[^\]]*\]\(([^)\s]+)\)")
FENCE = re.compile(r"^```.*?^```", re.S | re.M)
CODE = re.compile(r"`[^`\n]*`")
NAME = re.compile(r"`([A-Za-z_][A-Za-z0-9_]*)`")


def markdown_files(root):
    for folder, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if d not in SKIPPED_DIRS and not d.startswith("build"))
        for name in sorted(files):
            if name.endswith(".md"):
                yield os.path.join(folder, name)


def slug(heading):
    text = CODE.sub(lambda m: m.group(0)[1:-1], heading).strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors(path):
    seen = {}
    result = set()
    with open(path, encoding="utf-8") as f:
        text = FENCE.sub("", f.read())
    for line in text.splitlines():
        m = re.match(r"#{1,6}\s+(.*)", line)
        if m:
            base = slug(m.group(1))
            count = seen.get(base, 0)
            seen[base] = count + 1
            result.add(base if count == 0 else f"{base}-{count}")
    return result


def check_links(root):
    faults = []
    for path in markdown_files(root):
        with open(path, encoding="utf-8") as f:
            text = f.read()
        # Links in code are examples, not links; a code span inside a link's
        # text keeps the link.
        text = FENCE.sub("", text)
        text = CODE.sub("code", text)
        for m in LINK.finditer(text):
            target = m.group(1) or m.group(2)
            if re.match(r"[a-z][a-z0-9+.-]*:", target):
                continue  # an address with a scheme: http:, https:, mailto:
            file_part, _, anchor = target.partition("#")
            where = os.path.relpath(path, root)
            linked = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
            if not os.path.exists(linked):
                faults.append(f"{where}: link to {target}: {file_part} does not exist")
            elif anchor and linked.endswith(".md") and anchor not in anchors(linked):
                faults.append(f"{where}: link to {target}: no heading #{anchor} in {os.path.relpath(linked, root)}")
    return faults


def table_rows(text, heading):
    """The body rows of the first table under `## heading`, as lists of cells."""
    section = re.search(rf"^## {re.escape(heading)}\n(.*?)(?=^## |\Z)", text, re.S | re.M)
    if not section:
        return None
    rows = [line for line in section.group(1).splitlines() if line.startswith("|")]
    return [[cell.strip() for cell in row.strip("|").split("|")] for row in rows[2:]]


def check_names(root):
    faults = []
    readme = os.path.join(root, "README.md")
    with open(readme, encoding="utf-8") as f:
        text = f.read()

    rows = table_rows(text, "Where to change what")
    if not rows:
        faults.append("README.md: no table under \"## Where to change what\"")
    for row in rows or []:
        line = " | ".join(row)
        files = [os.path.join(root, target) for target in re.findall(r"\]\(([^)#]+)\)", line)]
        contents = ""
        for file in files:
            if os.path.isfile(file):
                with open(file, encoding="utf-8") as f:
                    contents += f.read()
        for name in NAME.findall(line):
            if not re.search(rf"\b{re.escape(name)}\b", contents):
                faults.append(f"README.md, where to change what: `{name}` is in none of {', '.join(os.path.relpath(f, root) for f in files) or 'no linked file'}")

    controls = {w.get("name") for w in ET.parse(os.path.join(root, "ui", "Unit1.ui")).iter("widget")}
    rows = table_rows(text, "Glossary")
    if not rows:
        faults.append("README.md: no table under \"## Glossary\"")
    for row in rows or []:
        for name in NAME.findall(row[0]):
            if name not in controls:
                faults.append(f"README.md, glossary: `{name}` is not a control of ui/Unit1.ui")
    return faults


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in ("links", "names"):
        sys.exit(__doc__)
    root = os.path.abspath(sys.argv[1])
    faults = check_links(root) if sys.argv[2] == "links" else check_names(root)
    for fault in faults:
        print(fault)
    if faults:
        sys.exit(1)
    print(f"docs_links {sys.argv[2]}: ok")


if __name__ == "__main__":
    main()
