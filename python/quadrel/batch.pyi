# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
import os
from typing import Any, Iterable, Mapping, Sequence, TypedDict

from . import Function, Param

class ManifestRow(TypedDict):
    file: str
    page: int | None
    status: str  # "ok", "failed" or "skipped"
    zones: int | None
    seconds: float | None
    error: str | None

FORMATS: dict[str, tuple[str, str]]

def run(
    inputs: Iterable[str | os.PathLike[str]],
    out: str | os.PathLike[str],
    *,
    formats: Sequence[str] | str = ...,
    pipe: Sequence[Function | int] | None = ...,
    params: Mapping[Param | int | str, int] | None = ...,
    binarize: bool = ...,
    dpi: float | tuple[float, float] | None = ...,
    workers: int | None = ...,
    scheduler: str | None = ...,
    client: Any | None = ...,
    progress: bool | None = ...,
) -> list[ManifestRow]: ...
def summarise(rows: Sequence[ManifestRow], seconds: float) -> dict[str, int | float]: ...
def main(argv: Sequence[str] | None = ...) -> int: ...
