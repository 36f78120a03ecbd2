# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""The pages of a batch: inputs (files, folders, globs) to one task per page."""

import dataclasses
import glob
import os

from ._batch_outputs import reason
from ._inputs import page_count

# Files a folder contributes; other files in it are left alone.
PAGE_SUFFIXES = (".tif", ".tiff", ".png", ".pbm", ".pgm", ".ppm", ".pnm")


@dataclasses.dataclass(frozen=True)
class PageTask:
    """One page to analyse, or (error set) an input that gave no pages."""

    file: str
    page: int | None
    outputs: dict = dataclasses.field(default_factory=dict)  # format -> path
    error: str | None = None


def _folder_files(folder):
    names = sorted(os.listdir(folder))
    return [os.path.join(folder, n) for n in names
            if n.lower().endswith(PAGE_SUFFIXES) and os.path.isfile(os.path.join(folder, n))]


def expand_inputs(inputs):
    """(file, error) pairs in input order: folders give their page files,
    globs their matches; an input that gives nothing comes with its reason."""
    seen = set()
    found = []

    def add(path, error=None):
        if error is not None or path not in seen:
            seen.add(path)
            found.append((path, error))

    for item in inputs:
        item = os.fspath(item)
        if os.path.isdir(item):
            files = _folder_files(item)
            if not files:
                add(item, f"the folder holds no {' or '.join(PAGE_SUFFIXES)} file")
            for f in files:
                add(f)
        elif os.path.exists(item) or not glob.has_magic(item):
            add(item)
        else:
            matches = sorted(m for m in glob.glob(item, recursive=True) if os.path.isfile(m))
            if not matches:
                add(item, "no file matches")
            for m in matches:
                add(m)
    return found


def output_paths(out, file, page, suffixes):
    """Where a page's outputs go: <out>/<stem>-p<page><suffix>, as the
    command line names them in an output folder."""
    stem = os.path.splitext(os.path.basename(file))[0]
    return {fmt: os.path.join(out, f"{stem}-p{page}{suffix}") for fmt, suffix in suffixes.items()}


def make_tasks(inputs, out, suffixes):
    """Every page of every input. Raises ValueError when two inputs would
    write the same outputs (the same file name in two folders)."""
    tasks = []
    stems = {}
    for file, error in expand_inputs(inputs):
        if error is None:
            stem = os.path.splitext(os.path.basename(file))[0]
            if stems.setdefault(stem, file) != file:
                raise ValueError(f"two inputs named {stem!r} would write the same outputs: "
                                 f"{stems[stem]} and {file}")
            try:
                pages = page_count(file)
            except OSError as e:
                error = reason(e)
        if error is not None:
            tasks.append(PageTask(file, None, {}, error))
            continue
        tasks.extend(PageTask(file, page, output_paths(out, file, page, suffixes))
                     for page in range(pages))
    return tasks
