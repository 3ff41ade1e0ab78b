"""The program on screens scaled to 150% and 200%: the native one where the
desktop says so (Xft.dpi 144 and 192), the Windows one where Windows does
(LogPixels in a Wine prefix of the test's own, under the Wine the test
command names). The window is the figure's size times the scale, the face
fills it and is drawn for the scale, the eyes look at the pointer, a drag
moves the face with the pointer, and a double-click stores the place on the
screen in twips, so that the same file opens the face at the same place at
96 dots per inch."""

import math
import os
import subprocess
import time
import unittest

from peerkin_e2e import (EYES, FIGURE_SIZE, PUPIL_OFFSET, SECTION, TICKS, Figure, between_the_eyes, double_click,
                         drag_from, exe_path, is_black, is_red, move_mouse, runs_natively, screenshot)
from peerkin_e2e import wine
from pydesktop.display import SCREEN, use_private_display

SCALED = (144, 192)  # Xft.dpi of 150% and 200%
WHITE = (255, 255, 255)
CHIN = (96, 250)  # a point of the face that lay in the white strip when the window was not drawn for the scale


def setUpModule():
    exe_path()


def device(program_pixels, dpi):
    """A length or place of the program's pixels on a screen of dpi."""
    return math.floor(program_pixels * dpi / 96 + 0.5)


def set_dots_per_inch(dpi):
    """The desktop's scale as desktops set it for X programs; None removes it."""
    text = "" if dpi is None else f"Xft.dpi: {dpi}\n"
    subprocess.run(["xrdb", "-nocpp", "-load" if dpi is None else "-merge"], input=text, text=True, check=True)


def wine_prefix(dpi):
    """The Wine prefix of the Windows program at dpi: the test command's own
    at 96, one beside it for each other scale."""
    base = os.environ["WINEPREFIX"]
    if dpi is None and os.path.exists(os.path.join(base, "system.reg")):
        return base
    return wine.prefix_at_dpi(base if dpi is None else f"{base}-{dpi}dpi", dpi or 96, os.environ)


def scaled_figure(dpi, **options):
    """The figure on a screen of dpi dots per inch (None: 96, unscaled)."""
    if runs_natively():
        set_dots_per_inch(dpi)
        return Figure(**options)
    return Figure(env=dict(os.environ, WINEPREFIX=wine_prefix(dpi)), **options)


def ini_values(text):
    lines = [line for line in text.splitlines() if line.strip()]
    assert lines[0] == SECTION, text
    return dict(line.split("=", 1) for line in lines[1:])


def face_pixels(shot, geometry, dpi):
    """The luminance of each device pixel of the window, rows of it, with the
    eyes (drawn, not pictured) left out as None."""
    x, y, width, height = geometry
    reach = device(20, dpi)
    eyes = [(x + device(ex, dpi), y + device(ey, dpi)) for ex, ey in EYES]
    rows = []
    for row in range(y, y + height):
        values = []
        for column in range(x, x + width):
            near_eye = any(abs(column - ex) < reach and abs(row - ey) < reach for ex, ey in eyes)
            values.append(None if near_eye else sum(shot.pixel(column, row)))
        rows.append(values)
    return rows


def horizontal_variation(rows):
    """The summed steps between neighbours along the rows: detail. An
    enlargement of a picture by whole pixels, or by interpolating between
    them, never adds to it per row of the original."""
    total = 0
    for values in rows:
        total += sum(abs(b - a) for a, b in zip(values, values[1:]) if a is not None and b is not None)
    return total


class ScaledScreen(unittest.TestCase):
    def setUp(self):
        try:
            use_private_display(self)
        except RuntimeError as error:
            self.skipTest(f"the scaled screen needs an X display of its own, and Xvfb did not give one: {error}")
        if not runs_natively():
            # Wine's programs keep to the display they started on.
            for dpi in (None, *SCALED):
                self.addCleanup(wine.end_wineserver, wine_prefix(dpi), os.environ)

    def test_the_window_is_scaled_and_the_face_fills_it_without_white(self):
        for dpi in SCALED:
            with self.subTest(dpi=dpi):
                with scaled_figure(dpi) as figure:
                    x, y, width, height = figure.geometry()
                    shot = screenshot()
                self.assertEqual((width, height), (device(FIGURE_SIZE[0], dpi), device(FIGURE_SIZE[1], dpi)))
                # Beyond the 193 x 279 pixels of an unscaled drawing: once a
                # white block in the shape; now face, or cut away to the
                # (black) screen below. The metal's brightest glints are white.
                strip = [(column, row) for row in range(y, y + height) for column in range(x, x + width)
                         if column - x >= FIGURE_SIZE[0] or row - y >= FIGURE_SIZE[1]]
                white = [place for place in strip if shot.pixel(*place) == WHITE]
                self.assertLess(len(white), len(strip) / 100, f"{len(white)} white pixels where the strip was")
                corner = {shot.pixel(column, row) for row in range(y + height - 10, y + height)
                          for column in range(x + width - 10, x + width)}
                self.assertEqual(corner, {(0, 0, 0)}, "the window's corner is not cut away")
                chin = shot.pixel(x + device(CHIN[0], dpi), y + device(CHIN[1], dpi))
                self.assertFalse(is_black(chin), f"the face does not reach its chin: {chin}")

    def test_the_pupils_look_at_the_pointer_at_both_ends_of_the_screen(self):
        for dpi in SCALED:
            with scaled_figure(dpi) as figure:
                x, y, _, _ = figure.geometry()
                for side, pointer_x in ((-1, 0), (1, SCREEN[0] - 1)):
                    with self.subTest(dpi=dpi, side=side):
                        move_mouse(pointer_x, y + device(EYES[0][1], dpi))
                        time.sleep(TICKS)
                        shot = screenshot()
                        for eye_x, eye_y in EYES:
                            toward = shot.pixel(x + device(eye_x + side * PUPIL_OFFSET, dpi), y + device(eye_y, dpi))
                            away = shot.pixel(x + device(eye_x - side * PUPIL_OFFSET, dpi), y + device(eye_y, dpi))
                            self.assertTrue(is_black(toward), f"no pupil toward the pointer: {toward}")
                            self.assertTrue(is_red(away), f"a pupil away from the pointer: {away}")

    def test_a_drag_is_one_to_one_and_a_double_click_stores_the_place_on_the_screen_in_twips(self):
        grip = between_the_eyes()
        for dpi in SCALED:
            with self.subTest(dpi=dpi):
                with scaled_figure(dpi) as figure:
                    x, y, _, _ = figure.geometry()
                    drag_from((x + device(grip[0], dpi), y + device(grip[1], dpi)), 10)
                    moved = figure.geometry()[:2]
                    self.assertEqual(moved, (x + 100, y + 50), "the face did not follow the pointer 1:1")
                    double_click()
                    self.assertTrue(figure.wait_exit(3), "the program did not end")
                    stored = figure.read_ini()
                values = ini_values(stored)
                twips_per_device_pixel = 1440 / dpi
                for key, at in (("Left", moved[0]), ("Top", moved[1])):
                    # Whole pixels of the program, 15 twips each: within half of one of the screen's place.
                    self.assertEqual(int(values[key]) % 15, 0, stored)
                    self.assertLessEqual(abs(int(values[key]) - at * twips_per_device_pixel), 7.5, stored)

                with scaled_figure(dpi, ini_text=stored) as again:
                    self.assertEqual(again.geometry()[:2], moved, "the same scale opened elsewhere")
                with scaled_figure(None, ini_text=stored) as unscaled:
                    self.assertEqual(unscaled.geometry(),
                                     (int(values["Left"]) // 15, int(values["Top"]) // 15, *FIGURE_SIZE),
                                     "96 dots per inch opened the file elsewhere on the screen")

    def test_the_face_at_200_percent_is_drawn_for_it_not_enlarged(self):
        faces = {}
        for dpi in (192, None):
            with scaled_figure(dpi) as figure:
                move_mouse(0, 0)
                time.sleep(TICKS)
                faces[dpi] = face_pixels(screenshot(), figure.geometry(), dpi or 96)
        scaled = faces[192]
        blocks = [[scaled[row][column], scaled[row][column + 1], scaled[row + 1][column], scaled[row + 1][column + 1]]
                  for row in range(0, len(scaled) - 1, 2) for column in range(0, len(scaled[0]) - 1, 2)]
        face_blocks = [block for block in blocks if None not in block and min(block) > 0]
        uniform = sum(1 for block in face_blocks if len(set(block)) == 1)
        self.assertLess(uniform, len(face_blocks) / 2, f"{uniform} of {len(face_blocks)} 2x2 blocks are uniform")
        # Twice the rows at 200%: per row of the face, more detail than the 1x face, which any enlargement keeps.
        detail = horizontal_variation(scaled) / 2 / horizontal_variation(faces[None])
        self.assertGreater(detail, 1.02, "the 200% face holds no more detail than the 100% one")


if __name__ == "__main__":
    unittest.main()
