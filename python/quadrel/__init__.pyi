# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
import enum
import os
from typing import Any, Mapping, NamedTuple, Sequence

import numpy as np
import numpy.typing as npt

class Function(enum.IntEnum):
    SKEW = 1
    LINES_AND_TABLES = 2
    LINE_REMOVAL = 4
    INVERSE_TEXT = 8
    PICTURES = 16
    TEXT_BLOCKS = 32

class Param(enum.IntEnum):
    LINES_MIN_SEED_LENGTH = 100
    LINES_MAX_THICKNESS = 101
    LINES_DIRECTIONS = 102
    REMOVAL_MIN_SEED_LENGTH = 200
    REMOVAL_MAX_THICKNESS = 201
    REMOVAL_DIRECTIONS = 202
    REMOVAL_RESERVED = 203
    INVERSE_MIN_WIDTH = 300
    INVERSE_RESERVED = 301
    NOISE_AND_PICTURES = 400
    PIPE = 500
    SKEW_ANGLE = 600

class ZoneKind(enum.IntEnum):
    LINE = 0
    TABLE = 1
    TABLE_COLUMN = 2
    TABLE_CELL = 3
    INVERTED_TEXT = 4
    PICTURE = 5
    TEXT = 6
    NOISE = 7

class Zone(NamedTuple):
    kind: ZoneKind
    left: int
    top: int
    right: int
    bottom: int
    index: int

class Layout:
    zones: list[Zone]
    file: str | None
    page: int
    @property
    def width(self) -> int: ...
    @property
    def height(self) -> int: ...
    @property
    def dpi(self) -> tuple[int, int]: ...
    @property
    def skew(self) -> float | None: ...
    def to_json(self) -> str: ...
    def to_xml(self) -> str: ...
    def to_page_xml(self) -> str: ...
    def to_alto(self) -> str: ...
    def to_hocr(self) -> str: ...

class Error(Exception):
    status: int | None
    def __init__(self, message: str, status: int | None = ...) -> None: ...

_Image = npt.ArrayLike | str | bytes | os.PathLike[str] | os.PathLike[bytes] | Any
_ParamKey = Param | int | str

def analyse(
    image: _Image,
    *,
    pipe: Sequence[Function | int] | None = ...,
    params: Mapping[_ParamKey, int] | None = ...,
    page: int = ...,
    binarize: bool = ...,
    dpi: float | tuple[float, float] | None = ...,
) -> Layout: ...
def page_count(path: str | bytes | os.PathLike[str] | os.PathLike[bytes]) -> int: ...

__version__: str
