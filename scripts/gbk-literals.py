#!/usr/bin/env python3
"""Turns the UTF-8 message catalogue into C++ definitions with GBK byte escapes.

Reads lines `kName = text` (text in UTF-8, C escapes allowed) from standard input and prints
one definition per line with the readable text as a comment. Used to maintain
src/core/messages.cpp; the test suite converts every message back and compares.
"""
import sys


def literal(data: bytes) -> str:
    out, hex_before = [], False
    for b in data:
        c = chr(b)
        if b >= 0x80:
            out.append('\\x%02X' % b)
            hex_before = True
            continue
        if hex_before and c in '0123456789abcdefABCDEF':
            out.append('" "')
        hex_before = False
        out.append({'\r': '\\r', '\n': '\\n', '"': '\\"', '\\': '\\\\'}.get(c, c))
    return '"' + ''.join(out) + '"'


for line in sys.stdin:
    line = line.rstrip('\n')
    if not line.strip():
        continue
    name, text = (part.strip() for part in line.split('=', 1))
    raw = text.encode('utf-8').decode('unicode_escape').encode('latin-1').decode('utf-8')
    print('// %s' % text)
    print('const char %s[] = %s;' % (name, literal(raw.encode('gbk'))))
