#!/usr/bin/env python3
"""Copies a TrueType font without its 'gasp' table.

Wine's Tahoma asks, through its 'gasp' table, for unsmoothed text at dialog sizes. Wine then
draws that text from the font's embedded bitmaps, whose glyphs are narrower than the outline
metrics by which Wine measures text (GetTextExtentPoint32, DrawText): at 8 points a line of 62
characters measures 300 pixels and is drawn in 275. Layouts made from the measure then leave
gaps (the link control places each link after the measured, not the drawn, text before it) and
wrap labels that would fit. Without the table Wine draws every size smoothed from the outlines,
exactly as wide as it measures.

Standard library only. Usage: python3 tools/font_without_gasp.py SOURCE.ttf TARGET.ttf
"""
import struct
import sys


def without_table(font, dropped=b'gasp'):
    version, count = struct.unpack('>IH', font[:6])
    tables = []
    for i in range(count):
        tag, checksum, offset, length = struct.unpack('>4sIII', font[12 + 16 * i:28 + 16 * i])
        if tag != dropped:
            tables.append((tag, checksum, font[offset:offset + length]))
    # The table directory's search fields follow from the number of tables.
    power = 1
    while power * 2 <= len(tables):
        power *= 2
    header = struct.pack('>IHHHH', version, len(tables), power * 16, power.bit_length() - 1,
                         (len(tables) - power) * 16)
    directory, body = b'', b''
    start = len(header) + 16 * len(tables)
    for tag, checksum, table in tables:
        directory += struct.pack('>4sIII', tag, checksum, start + len(body), len(table))
        body += table + b'\0' * (-len(table) % 4)
    return header + directory + body


if __name__ == '__main__':
    with open(sys.argv[1], 'rb') as source:
        font = source.read()
    with open(sys.argv[2], 'wb') as target:
        target.write(without_table(font))
