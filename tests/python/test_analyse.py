# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""quadrel.analyse against the command line, its settings and its errors."""

import json
import os
import pickle
import unittest

import numpy as np
from PIL import Image

import quadrel
from pages import LAYOUT_FORMATS, SCRATCH, ccitt_tiff, grey_tiff, quadrel_json, \
    quadrel_layout_files, text_page, without_timestamps, zone_rows


class SamePagesAsTheCommandLine(unittest.TestCase):
    def test_array_image_and_path_give_the_command_lines_zones(self):
        for n in (1, 2, 3):
            path = ccitt_tiff(n)
            expected = quadrel_json(path)[0]
            image = Image.open(path)
            ink = ~np.asarray(image)  # mode "1" reads True for white
            for name, source in [("path", path), ("pathlike", __import__("pathlib").Path(path)),
                                 ("PIL", image), ("bool array", ink),
                                 ("uint8 array", np.where(ink, 0, 255).astype(np.uint8)),
                                 ("int32 view", np.where(ink, 0, 1).astype(np.int32)[:, :]),
                                 ("Fortran order", np.asfortranarray(ink))]:
                with self.subTest(page=n, source=name):
                    layout = quadrel.analyse(source)
                    self.assertEqual(zone_rows(layout.zones), zone_rows(expected["zones"]))
                    self.assertEqual((layout.width, layout.height),
                                     (expected["width"], expected["height"]))
                    self.assertIsNone(layout.skew)

    def test_to_json_is_the_command_lines_page_object(self):
        path = ccitt_tiff(2)
        self.assertEqual(json.loads(quadrel.analyse(path).to_json()), quadrel_json(path)[0])

    def test_standard_formats_are_the_command_lines_files(self):
        path = ccitt_tiff(2)
        for pipe in (None, [1, 2, 8, 4, 16, 32]):
            args = ["--pipe", ",".join(map(str, pipe))] if pipe else []
            expected = quadrel_layout_files(path, *args)
            layout = quadrel.analyse(path, pipe=pipe)
            for option, method in LAYOUT_FORMATS.items():
                with self.subTest(pipe=pipe, format=option):
                    text = getattr(layout, method)()
                    self.assertEqual(without_timestamps(text), without_timestamps(expected[option]))
                    self.assertIn("zone_0", text)
                    self.assertNotIn("quadrel unknown", text)

    def test_pipes_and_parameters_as_on_the_command_line(self):
        path = ccitt_tiff(3)
        cases = [
            ({"pipe": [1, 2, 8, 4, 16, 32]}, ["--pipe", "1,2,8,4,16,32"]),
            ({"params": {quadrel.Param.NOISE_AND_PICTURES: 30}}, ["--param", "400=30"]),
            ({"pipe": [quadrel.Function.SKEW, 32], "params": {"lines_min_seed_length": 40,
                                                             401 - 1: 3}},
             ["--pipe", "1,32", "--param", "100=40", "--param", "400=3"]),
        ]
        default = zone_rows(quadrel.analyse(path).zones)
        for settings, args in cases:
            with self.subTest(args=args):
                expected = quadrel_json(*args, path)[0]
                layout = quadrel.analyse(path, **settings)
                self.assertEqual(zone_rows(layout.zones), zone_rows(expected["zones"]))
                self.assertNotEqual(zone_rows(layout.zones), default)
                if expected["skew_measured"]:
                    self.assertEqual(layout.skew, expected["skew"] / 100)

    def test_grey_pages_are_thresholded_as_with_binarize(self):
        bilevel = np.asarray(Image.open(ccitt_tiff(1)))
        grey = np.where(bilevel, 200, 40).astype(np.uint8)
        path = grey_tiff(os.path.join(SCRATCH, "grey.tif"), grey)
        expected = zone_rows(quadrel_json("--binarize", path)[0]["zones"])
        rgb = np.stack([grey, grey, grey], axis=2)
        for name, source in [("path", path), ("PIL L", Image.fromarray(grey)),
                             ("PIL RGB", Image.fromarray(rgb)), ("grey array", grey),
                             ("RGB array", rgb)]:
            with self.subTest(source=name):
                self.assertEqual(zone_rows(quadrel.analyse(source, binarize=True).zones),
                                 expected)

    def test_zones_unpack_compare_and_pickle(self):
        layout = quadrel.analyse(text_page(), dpi=300)
        self.assertGreater(len(layout.zones), 3)
        zone = layout.zones[1]
        kind, left, top, right, bottom, index = zone
        self.assertIsInstance(kind, quadrel.ZoneKind)
        self.assertEqual((left, top, right, bottom, index),
                         (zone.left, zone.top, zone.right, zone.bottom, 1))
        self.assertEqual(zone, (kind, left, top, right, bottom, 1))
        self.assertEqual(layout.dpi, (300, 300))
        self.assertEqual(pickle.loads(pickle.dumps(layout)), layout)
        self.assertEqual(quadrel.ZoneKind.LINE, 0)
        self.assertEqual(quadrel.ZoneKind.NOISE, 7)

    def test_resolution_of_the_image_wins_over_dpi(self):
        self.assertEqual(quadrel.analyse(ccitt_tiff(1), dpi=600).dpi, (200, 200))
        self.assertEqual(quadrel.analyse(Image.open(ccitt_tiff(1)), dpi=600).dpi, (200, 200))
        self.assertEqual(quadrel.analyse(text_page(), dpi=(300, 150)).dpi, (300, 150))
        self.assertEqual(quadrel.analyse(text_page()).dpi, (0, 0))


class Errors(unittest.TestCase):
    def assertRaisesWith(self, error, text, *args, **kwargs):
        with self.assertRaises(error) as caught:
            quadrel.analyse(*args, **kwargs)
        self.assertIn(text, str(caught.exception))
        return caught.exception

    def test_arrays_of_the_wrong_shape_or_type(self):
        page = text_page()
        for array, text in [(np.zeros((2, 3, 4), bool), "2-D"), (np.zeros(10, bool), "2-D"),
                            (np.zeros((0, 5), bool), "at least 1 x 1"),
                            (page.astype(np.float32), "float32"),
                            (np.array([["a"]]), "integer"), ([[object()]], "object")]:
            with self.subTest(text=text, shape=np.shape(array)):
                self.assertRaisesWith(ValueError, text, array)
        self.assertRaisesWith(ValueError, "8-bit grey", page.astype(np.int16), binarize=True)

    def test_grey_input_without_binarize(self):
        grey = Image.fromarray(np.full((20, 20), 128, np.uint8))
        self.assertRaisesWith(ValueError, "binarize=True", grey)
        self.assertRaisesWith(ValueError, "binarize=True", grey.convert("RGB"))
        self.assertRaisesWith(ValueError, "'P'", grey.convert("P"), binarize=True)
        path = grey_tiff(os.path.join(SCRATCH, "flat.tif"), np.full((20, 20), 9, np.uint8))
        error = self.assertRaisesWith(ValueError, "8 bits per pixel", path)
        self.assertIn(path, str(error))

    def test_unreadable_files(self):
        missing = os.path.join(SCRATCH, "missing.tif")
        self.assertEqual(self.assertRaisesWith(FileNotFoundError, "missing.tif", missing)
                         .filename, missing)
        self.assertRaisesWith(IsADirectoryError, SCRATCH, SCRATCH)
        garbage = os.path.join(SCRATCH, "garbage.tif")
        with open(garbage, "wb") as f:
            f.write(b"not an image at all")
        error = self.assertRaisesWith(OSError, garbage, garbage)
        self.assertEqual(error.strerror, "Unknown image format")
        self.assertRaisesWith(IndexError, "the file has 1 page", ccitt_tiff(1), page=1)
        self.assertRaisesWith(IndexError, "page -1", ccitt_tiff(1), page=-1)
        self.assertRaisesWith(ValueError, "page=", text_page(), page=2)

    def test_bad_settings(self):
        page = text_page()
        for kwargs, error, text in [
                ({"pipe": [3]}, ValueError, "3 is not a function code"),
                ({"pipe": []}, ValueError, "empty"),
                ({"pipe": [32] * 21}, ValueError, "at most 20"),
                ({"pipe": "1,2"}, TypeError, "sequence"),
                ({"pipe": [True]}, ValueError, "function code"),
                ({"params": {999: 1}}, ValueError, "999 is not a parameter id"),
                ({"params": {"nope": 1}}, ValueError, "'nope'"),
                ({"params": {quadrel.Param.PIPE: 1}}, ValueError, "cannot be set"),
                ({"params": {"SKEW_ANGLE": 1}}, ValueError, "cannot be set"),
                ({"params": {400: 1.5}}, TypeError, "integer"),
                ({"params": {400: 2**31}}, ValueError, "32-bit"),
                ({"params": [(400, 1)]}, TypeError, "mapping"),
                ({"dpi": 0}, ValueError, "dpi"),
                ({"dpi": (1, 2, 3)}, TypeError, "pair")]:
            with self.subTest(kwargs=kwargs):
                self.assertRaisesWith(error, text, page, **kwargs)

    def test_failure_statuses_become_exceptions(self):
        from quadrel._inputs import _checked

        class Core:
            def __init__(self, status):
                self.status = status

        with self.assertRaisesRegex(MemoryError, "status 1"):
            _checked(Core(1))
        for status in (2, 4, 11):
            with self.subTest(status=status), self.assertRaises(quadrel.Error) as caught:
                _checked(Core(status))
            self.assertEqual(caught.exception.status, status)
            self.assertIn(f"status {status}", str(caught.exception))
            copy = pickle.loads(pickle.dumps(caught.exception))
            self.assertEqual((copy.status, str(copy)), (status, str(caught.exception)))


if __name__ == "__main__":
    unittest.main()
