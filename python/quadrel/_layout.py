# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""The result of an analysis: Layout, its Zones and their kinds."""

import enum
import typing

from . import _quadrel

ZoneKind = enum.IntEnum("ZoneKind", _quadrel.CONTENTS, module="quadrel")
ZoneKind.__doc__ = "What a zone holds; the values are the library's content codes."


def _kind_of(content):
    # Content codes outside the known ones are noise, as the programs read them.
    member = ZoneKind._value2member_map_.get(content)
    return member if member is not None else ZoneKind.NOISE


class Zone(typing.NamedTuple):
    """One zone: a rectangle in page pixels, origin at the top left.

    left, top and bottom are inclusive, right is exclusive; index is the
    zone's place in the library's zone table. A Zone is a tuple
    (kind, left, top, right, bottom, index): it unpacks and compares as one.
    """

    kind: ZoneKind
    left: int
    top: int
    right: int
    bottom: int
    index: int


class Layout:
    """The zones of one analysed page.

    Attributes: zones (list of Zone, in table order), width and height of
    the page in pixels, dpi ((x, y), 0 where unknown), skew (degrees as a
    float when the pipe measured it, else None), file and page (the input
    file, None for arrays and images, and its page).
    """

    __slots__ = ("_core", "zones", "file", "page")

    def __init__(self, core, file=None, page=0):
        self._core = core
        self.file = file
        self.page = page
        self.zones = [Zone(_kind_of(c), left, top, right, bottom, i)
                      for i, (c, left, top, right, bottom) in enumerate(core.zones)]

    @property
    def width(self):
        return self._core.width

    @property
    def height(self):
        return self._core.height

    @property
    def dpi(self):
        return self._core.dpi

    @property
    def skew(self):
        return self._core.skew / 100 if self._core.skew_measured else None

    def to_json(self):
        """The page as the command line's `quadrel --json` reports it (a str)."""
        return self._core.to_json(self.file or "", self.page)

    def to_xml(self):
        """The XML layout file of the page (a str, lines ended by CR LF)."""
        return self._core.to_xml()

    def to_page_xml(self):
        """The page as PAGE XML (2019-07-15), as `quadrel --page-xml` writes it (a str)."""
        return self._core.to_page_xml(self.file or "", self.page)

    def to_alto(self):
        """The page as ALTO 4.4, as `quadrel --alto` writes it (a str)."""
        return self._core.to_alto(self.file or "", self.page)

    def to_hocr(self):
        """The page as hOCR 1.2 XHTML, as `quadrel --hocr` writes it (a str)."""
        return self._core.to_hocr(self.file or "", self.page)

    def __reduce__(self):
        return (Layout, (self._core, self.file, self.page))

    def __eq__(self, other):
        if not isinstance(other, Layout):
            return NotImplemented
        return (self.zones, self.width, self.height, self.skew) == \
            (other.zones, other.width, other.height, other.skew)

    __hash__ = None

    def __repr__(self):
        skew = "" if self.skew is None else f", skew={self.skew}"
        return f"<Layout {self.width}x{self.height}, {len(self.zones)} zones{skew}>"
