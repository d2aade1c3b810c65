#!/usr/bin/env python3
"""Reads the game's board off a screenshot and checks it pixel for pixel: the grey grid lines, each
empty cell's 39 x 39 interior in its own background colour, and each ball cell's interior exactly
one of the 64 ball sprites on that background, as the game stretches it to the cell (taken from the build's contact sheet, magnified 4
times). Prints the board as 81 digits (1 a ball, 0 empty); exits 1 on the first wrong pixel.
Usage: check_board.py SCREEN.ppm SPRITE-SHEET.ppm BOARD-LEFT BOARD-TOP"""
import sys

CELL, SIDE, SPRITE, MAGNIFY, PER_ROW, GAP = 40, 9, 39, 4, 8, 6
GRID = (0x60, 0x60, 0x60)
BACKGROUNDS = [(33, 32, 33), (0, 0, 0)]  # odd cell numbers, even ones


def read_ppm(path):
    data = open(path, "rb").read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    assert fields[0] == b"P6" and fields[3] == b"255", path
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:at + 1 + width * height * 3]
    return width, height, pixels


def main():
    screen_w, _, screen = read_ppm(sys.argv[1])
    sheet_w, _, sheet = read_ppm(sys.argv[2])
    left, top = int(sys.argv[3]), int(sys.argv[4])

    def at(x, y):
        i = ((top + y) * screen_w + left + x) * 3
        return tuple(screen[i:i + 3])

    # A ball is drawn stretched from 39 to 40 pixels, each pixel taking the source pixel under its
    # centre, and the first 39 rows and columns of that land in the cell.
    def stretched(d):
        return (2 * d + 1) * SPRITE // (2 * CELL)

    def sprite_pixel(index, copy, x, y):
        x, y = stretched(x), stretched(y)
        row, column = divmod(index, PER_ROW)
        sx = GAP + column * (2 * SPRITE * MAGNIFY + GAP) + copy * SPRITE * MAGNIFY + x * MAGNIFY
        sy = GAP + row * (SPRITE * MAGNIFY + GAP) + y * MAGNIFY
        i = (sy * sheet_w + sx) * 3
        return tuple(sheet[i:i + 3])

    def fail(message):
        print("FAIL:", message)
        sys.exit(1)

    for i in range(SIDE):
        for k in range(SIDE * CELL):
            for x, y in ((i * CELL, k), (k, i * CELL)):
                if at(x, y) != GRID:
                    fail(f"grid pixel ({x}, {y}) is {at(x, y)}")
    layout = ""
    for cell in range(1, SIDE * SIDE + 1):
        cx, cy = (cell - 1) % SIDE * CELL + 1, (cell - 1) // SIDE * CELL + 1
        copy = 0 if cell % 2 else 1
        interior = [at(cx + x, cy + y) for y in range(SPRITE) for x in range(SPRITE)]
        if all(p == BACKGROUNDS[copy] for p in interior):
            layout += "0"
            continue
        for index in range(64):
            if all(interior[y * SPRITE + x] == sprite_pixel(index, copy, x, y)
                   for y in range(SPRITE) for x in range(SPRITE)):
                break
        else:
            fail(f"cell {cell} is neither empty nor a ball sprite")
        layout += "1"
    print(layout)


main()
