#!/usr/bin/env python3
"""Not run by hand: run.sh writes its demo packages and the release build its example package with
it. Writes a package file: one 1840-byte record per profile given as
name|command|object|directory|arguments|type|window. The store's codec is C++ that builds only into
Windows programs (Wine to run) or the separate sanitizer build; a native test keeps the two in step."""
import struct
import sys


def record(fields):
    data = struct.pack('<I', 0)
    for text in fields:
        raw = text.encode('cp1251')[:259]
        data += raw + b'\0' * (260 - len(raw))
    return data + b'\0' * 16


def main():
    if len(sys.argv) < 2:
        sys.exit('usage: make-package.py OUT.mwpack "name|command|object|directory|arguments|type|window" ...')
    with open(sys.argv[1], 'wb') as out:
        for profile in sys.argv[2:]:
            fields = profile.split('|')
            if len(fields) != 7:
                sys.exit('a profile needs 7 fields: ' + profile)
            out.write(record(fields))


if __name__ == '__main__':
    main()
