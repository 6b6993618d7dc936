#!/usr/bin/env python3
"""Writes the characters outside ASCII in the string and character literals of C++
files (UTF-8) as Windows-1252 escapes, in place: "Bestätigen" becomes
"Best\\xE4tigen". Before a hex digit the octal form is taken, which ends after its
three digits: "\\374berschreiben". Comments stay as they are.

The program's sources must write such characters so (cmake/CheckSourceText.cmake
fails the build otherwise): GCC would turn a literal "ä" into 1252, Clang keeps it
UTF-8, and every build must carry the bytes that ship.

Usage: tools/escape-literals.py FILE...
"""
import re
import string
import sys

# Comments, literals, and numbers (whose digit separators are no character literals).
TOKEN = re.compile(r"""//[^\n]*|/\*.*?\*/|R"\(.*?\)"|"(?:[^"\\\n]|\\.)*"|'(?:[^'\\\n]|\\.)*'"""
                   r"""|[0-9][0-9A-Za-z_.']*""", re.S)


def escape(literal, where):
    if literal.startswith('R'):
        sys.exit(f"{where}: a raw string can't hold escapes: {literal}")
    out = []
    for index, char in enumerate(literal):
        if ord(char) < 0x80:
            out.append(char)
            continue
        try:
            byte = char.encode('cp1252')[0]
        except UnicodeEncodeError:
            sys.exit(f"{where}: {char!r} has no Windows-1252 form")
        # A hex escape would take a hex digit behind it along; the octal one has
        # three digits at most.
        hex_follows = literal[index + 1] in string.hexdigits
        out.append(f'\\{byte:03o}' if hex_follows else f'\\x{byte:02X}')
    return ''.join(out)


def convert(path):
    with open(path, encoding='utf-8', newline='') as file:
        text = file.read()
    changed = []

    def replace(match):
        token = match.group(0)
        if token[0] in '"\'R' and any(ord(c) >= 0x80 for c in token):
            line = text.count('\n', 0, match.start()) + 1
            changed.append(line)
            return escape(token, f'{path}:{line}')
        return token

    result = TOKEN.sub(replace, text)
    if changed:
        with open(path, 'w', encoding='utf-8', newline='') as file:
            file.write(result)
        print(f"{path}: {len(changed)} literal(s) escaped")


for name in sys.argv[1:]:
    convert(name)
