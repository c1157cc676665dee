#!/usr/bin/env python3
"""Draws the program icon (32x32, 16 colours) into src/res/veldis.ico."""
import struct
import sys

# The standard 16-colour palette; a letter per colour in the picture below.
PALETTE = {
    'k': (0, 0, 0), 'r': (128, 0, 0), 'g': (0, 128, 0), 'y': (128, 128, 0),
    'b': (0, 0, 128), 'm': (128, 0, 128), 'c': (0, 128, 128), 's': (192, 192, 192),
    'd': (128, 128, 128), 'R': (255, 0, 0), 'G': (0, 255, 0), 'Y': (255, 255, 0),
    'B': (0, 0, 255), 'M': (255, 0, 255), 'C': (0, 255, 255), 'W': (255, 255, 255),
}
ORDER = 'krgybmcsdRGYBMCW'

# A floppy disk with a red hex byte on its label, under a magnifying glass.
# '.' is transparent.
PICTURE = """
................................
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
..kbbbbkssssssssssssssskbbbbbk..
..kbbbbksssskkkkssssssskbbbbbk..
..kbbbbksssskkkkssssssskbbbbbk..
..kbbbbksssskkkkssssssskbbbbbk..
..kbbbbksssskkkkssssssskbbbbbk..
..kbbbbkssssssssssssssskbbbbbk..
..kbbbbbkkkkkkkkkkkkkkkbbbbbbk..
..kbbbbbbbbbbbbbbbbbbbbbbbbbbk..
..kbbbbbbbbbbbbbbbbbbbbbbbbbbk..
..kbbbkkkkkkkkkkkkkkkkkkkkbbbk..
..kbbbkWWWWWWWWWWWWWWWWWWkbbbk..
..kbbbkWRRRWRRRWWWWWWWWWWkbbbk..
..kbbbkWRWRWRWRWWWkkkkkWWkbbbk..
..kbbbkWRWRWRWRWWkCCCCCkWkbbbk..
..kbbbkWRWRWRWRWkCCWWCCCkkbbbk..
..kbbbkWRRRWRRRWkCWWCCCCkkbbbk..
..kbbbkWWWWWWWWWkCCCCCCCkkbbbk..
..kbbbkWkkkWkkkWkCCCCCCCkkbbbk..
..kbbbkWkWkWkWkWkCCCCCCCkkbbbk..
..kbbbkWkkkWkkkWWkCCCCCkkkbbbk..
..kbbbkWWWWWWWWWWWkkkkkYkkbbbk..
..kbbbkWWWWWWWWWWWWWWWWYYkbbbk..
..kbbbkWWWWWWWWWWWWWWWWWYYkbbk..
..kbbbkWWWWWWWWWWWWWWWWWkYYkbk..
..kbbbkkkkkkkkkkkkkkkkkkkkYYkk..
..kbbbbbbbbbbbbbbbbbbbbbbbbYYk..
..kbbbbbbbbbbbbbbbbbbbbbbbbbkk..
...kbbbbbbbbbbbbbbbbbbbbbbbbbk..
....kkkkkkkkkkkkkkkkkkkkkkkkkk..
................................
"""


def main(path):
    rows = [line for line in PICTURE.strip('\n').split('\n')]
    assert len(rows) == 32 and all(len(r) == 32 for r in rows), 'picture must be 32x32'
    palette = b''.join(struct.pack('<BBBB', *reversed(PALETTE[c]), 0) for c in ORDER)
    xor = b''
    mask = b''
    for row in reversed(rows):  # bottom-up, as in every DIB
        pixels = [ORDER.index(c) if c != '.' else 0 for c in row]
        xor += bytes(pixels[i] << 4 | pixels[i + 1] for i in range(0, 32, 2))
        bits = ''.join('1' if c == '.' else '0' for c in row)
        mask += int(bits, 2).to_bytes(4, 'big')
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4,
                                                          len(image), 6 + 16)
    with open(path, 'wb') as out:
        out.write(directory + image)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'src/res/veldis.ico')
