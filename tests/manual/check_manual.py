#!/usr/bin/python3
"""The manual in each language: its page exists, every picture and link on it resolves, the program's
bundle holds the page and its pictures, and an installation puts the same files under the program's share
folder. Usage: check_manual.py <docs/manual> <build folder>"""
import html.parser
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

LANGUAGES = ("zh_CN", "zh_TW", "en")


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links = []
        self.anchors = set()

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for key in ("name", "id"):
            if key in attrs:
                self.anchors.add(attrs[key])
        if tag == "img":
            self.links.append(attrs.get("src", ""))
        elif tag == "a" and "href" in attrs:
            self.links.append(attrs["href"])


def broken(folder, language):
    """What is wrong with the page of `language` in `folder`, one line each, and the pictures it shows."""
    path = os.path.join(folder, language + ".html")
    if not os.path.isfile(path):
        return [f"{path}: missing"], []
    page = Page()
    with open(path, encoding="utf-8") as f:
        page.feed(f.read())
    faults = []
    for link in page.links:
        if link.startswith(("http://", "https://", "mailto:")):
            continue
        target, _, anchor = link.partition("#")
        if target and not os.path.isfile(os.path.join(folder, target)):
            faults.append(f"{path}: {link} does not resolve")
        elif not target and anchor not in page.anchors:
            faults.append(f"{path}: no anchor {anchor}")
    if not any(link.endswith(".png") for link in page.links):
        faults.append(f"{path}: no picture")
    return faults, [link for link in page.links if link.endswith(".png")]


def main():
    docs, build = sys.argv[1], sys.argv[2]
    bundled = {e.text for e in ET.parse(os.path.join(docs, "manual.qrc")).getroot().iter("file")}
    faults = []
    with tempfile.TemporaryDirectory() as prefix:
        subprocess.run(["cmake", "--install", build, "--prefix", prefix, "--component", "manual"], check=True,
                       stdout=subprocess.DEVNULL)
        installed = os.path.join(prefix, "share", "ostrel-blackbody", "manual")
        for language in LANGUAGES:
            page_faults, pictures = broken(docs, language)
            faults += page_faults
            for name in [language + ".html"] + pictures:
                if name not in bundled:
                    faults.append(f"manual.qrc does not bundle {name}")
            faults += broken(installed, language)[0]
    for fault in faults:
        print(fault)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
