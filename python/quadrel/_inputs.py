# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""analyse(): the page in any of its accepted forms, to a Layout."""

import os
import sys

import numpy as np

from . import _quadrel
from ._layout import Layout
from ._settings import check_dpi, check_params, check_pipe


class Error(Exception):
    """The analysis failed with a status of the library; `status` holds it."""

    def __init__(self, message, status=None):
        super().__init__(message, status)
        self.status = status

    def __str__(self):
        return self.args[0]


def _checked(core):
    if core.status == _quadrel.STATUS_OK:
        return core
    # The reasons are worded as the command line and Evalia word them.
    reason = _quadrel.status_reason(core.status)
    if core.status == _quadrel.STATUS_OUT_OF_MEMORY:
        raise MemoryError(reason)
    raise Error(reason, core.status)


def _is_pil_image(image):
    pil = sys.modules.get("PIL.Image")
    return pil is not None and isinstance(image, pil.Image)


def _pil_dpi(image, fallback):
    dpi = image.info.get("dpi")
    try:
        return check_dpi(dpi) if dpi else fallback
    except (TypeError, ValueError):  # 0 or nonsense in the file: as if absent
        return fallback


def _analyse_pil(image, binarize, settings):
    pipe, params, dpi = settings
    dpi = _pil_dpi(image, dpi)
    if image.mode == "1":
        width, height = image.size
        # Mode "1" packs rows to whole bytes with 1 bits white.
        return _quadrel.analyse_rows(image.tobytes(), width, height, (width + 7) // 8, 0,
                                     pipe, params, dpi)
    if image.mode in ("L", "RGB"):
        if not binarize:
            raise ValueError(f"the image has mode {image.mode!r}, not '1'; pass binarize=True "
                             "to threshold it")
        return _quadrel.analyse_grey(np.asarray(image), pipe, params, dpi)
    raise ValueError(f"the image has mode {image.mode!r}; analyse takes mode '1', or 'L' and "
                     "'RGB' with binarize=True (convert it first, e.g. image.convert('L'))")


def _analyse_path(path, page, binarize, settings):
    name = os.fsdecode(path)
    try:
        return _quadrel.analyse_file(os.fsencode(path), page, binarize, *settings)
    except (ValueError, IndexError) as e:
        raise type(e)(f"{name}: {e}") from None


def analyse(image, *, pipe=None, params=None, page=0, binarize=False, dpi=None):
    """Analyses the layout of one page and returns its Layout.

    Parameters
    ----------
    image : numpy array, PIL image, str or os.PathLike
        A 2-D array (bool: True is ink; integer: 0 is black, any other value
        white), a PIL image of mode "1" (or "L"/"RGB" with binarize=True), or
        the path of a TIFF, PNG or PBM/PGM/PPM file.
    pipe : sequence of int, optional
        Function codes (quadrel.Function) to run in order; None runs the
        library's default pipe (LINES_AND_TABLES, INVERSE_TEXT,
        LINE_REMOVAL, TEXT_BLOCKS).
    params : dict, optional
        Parameter (quadrel.Param, its name or its id) to integer value,
        applied over the default values.
    page : int
        Page of a multi-page file, from 0.
    binarize : bool
        Threshold grey and colour pages by Otsu's method first, as the
        command line's --binarize does; without it they are refused.
    dpi : number or (x, y), optional
        Resolution where the image carries none.

    Raises
    ------
    ValueError
        An array of the wrong shape or type, grey input without binarize, a
        bad pipe, parameter or resolution.
    OSError
        The file cannot be read (FileNotFoundError when it does not exist).
    IndexError
        The file has no page `page`.
    MemoryError
        The analysis ran out of memory (status 1).
    quadrel.Error
        The analysis failed with another status (its `status`).
    """
    settings = (check_pipe(pipe), check_params(params), check_dpi(dpi))
    if isinstance(image, (str, bytes, os.PathLike)):
        return Layout(_checked(_analyse_path(image, page, binarize, settings)),
                      os.fsdecode(image), page)
    if page != 0:
        raise ValueError("page= picks a page of a file; an array or image is one page")
    if _is_pil_image(image):
        return Layout(_checked(_analyse_pil(image, binarize, settings)))
    array = np.asarray(image)
    if binarize and array.dtype != np.bool_:
        return Layout(_checked(_quadrel.analyse_grey(array, *settings)))
    return Layout(_checked(_quadrel.analyse_array(array, *settings)))


def page_count(path):
    """Number of pages of an image file; OSError when it cannot be read."""
    return _quadrel.page_count(os.fsencode(path))
