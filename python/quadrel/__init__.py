# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""quadrel: layout analysis of scanned 1-bit pages.

    >>> import quadrel
    >>> layout = quadrel.analyse("page.tif")
    >>> for zone in layout.zones:
    ...     print(zone.kind.name, zone.left, zone.top, zone.right, zone.bottom)

analyse() takes a numpy array, a PIL image or the path of a TIFF, PNG or
PBM/PGM/PPM file and returns a Layout whose zones are the rectangles the analysis found.
quadrel.batch analyses many files on a Dask cluster.
"""

from ._inputs import Error, analyse, page_count
from ._quadrel import __version__
from ._layout import Layout, Zone, ZoneKind
from ._settings import Function, Param

__all__ = ["__version__", "analyse", "page_count", "Layout", "Zone", "ZoneKind", "Function", "Param", "Error"]
