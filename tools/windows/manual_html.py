#!/usr/bin/python3
"""The manual as one self-contained HTML page, for a Windows user to open by double-click.

   manual_html.py MANUAL.md OUT.html
"""
import html
import sys

import markdown

source, target = sys.argv[1], sys.argv[2]
with open(source, encoding="utf-8") as f:
    text = f.read()
title = text.splitlines()[0].lstrip("# ").strip()
body = markdown.markdown(text, extensions=["fenced_code", "tables"], output_format="html")
page = f"""<!DOCTYPE html>
<html lang="es">
<head>
<meta charset="utf-8">
<title>{html.escape(title)}</title>
<style>
body {{ font-family: "Segoe UI", Arial, sans-serif; max-width: 50em; margin: 2em auto; padding: 0 1em; line-height: 1.45; }}
code, pre {{ font-family: Consolas, monospace; background: #f3f3f3; }}
pre {{ padding: 0.6em; overflow-x: auto; }}
h1, h2 {{ color: #8b1a1a; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""
with open(target, "w", encoding="utf-8", newline="\r\n") as f:
    f.write(page)
