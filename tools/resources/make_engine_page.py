#!/usr/bin/env python3
"""Writes the browser-engine report page: the template with the minified UAParser.js put in
place of its @UAPARSER_JS@ line. Usage: make_engine_page.py TEMPLATE PARSER.min.js OUTPUT"""
import re
import sys

PLACEHOLDER = "@UAPARSER_JS@"


def main(template_path, parser_path, output_path):
    with open(template_path, encoding="utf-8") as f:
        template = f.read()
    with open(parser_path, encoding="utf-8") as f:
        parser = f.read().strip()
    if template.count(PLACEHOLDER) != 1:
        sys.exit(f"{template_path}: expected one {PLACEHOLDER}")
    # The script is inlined: a closing script tag inside it would end the element early.
    if re.search(r"</script", parser, re.IGNORECASE):
        sys.exit(f"{parser_path}: contains a closing script tag")
    page = template.replace(PLACEHOLDER, parser)
    # The loader drops the resource's last byte: it must be this newline.
    page = page.rstrip("\n") + "\n"
    with open(output_path, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


if __name__ == "__main__":
    main(*sys.argv[1:4])
