# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""What a batch task does on its worker, and the files it leaves behind:
outputs written whole or not at all, and the manifest."""

import json
import os
import tempfile
import time


def write_atomically(path, text):
    """Writes `text` to a temporary file beside `path` and renames it over
    `path`, so that an output either is complete or does not exist."""
    folder = os.path.dirname(path) or "."
    fd, temporary = tempfile.mkstemp(dir=folder, prefix=f".{os.path.basename(path)}.",
                                     suffix=".tmp")
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="") as f:
            f.write(text)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    except BaseException:
        try:
            os.unlink(temporary)
        except OSError:
            pass
        raise


def outputs_complete(task):
    return bool(task.outputs) and all(os.path.isfile(p) for p in task.outputs.values())


def row(task, status, zones=None, seconds=None, error=None):
    """A manifest row."""
    return {"file": task.file, "page": task.page, "status": status, "zones": zones,
            "seconds": seconds, "error": error}


def skipped_row(task):
    """A page whose outputs a previous run completed; its zone count is read
    back from its JSON output when there is one."""
    zones = None
    if "json" in task.outputs:
        try:
            with open(task.outputs["json"], encoding="utf-8") as f:
                zones = len(json.load(f)["zones"])
        except (OSError, ValueError, KeyError, TypeError):
            pass
    return row(task, "skipped", zones)


def reason(error):
    """What went wrong, without the file name the manifest row already holds."""
    text = error.strerror if isinstance(error, OSError) and error.strerror else str(error)
    return f"{type(error).__name__}: {text}"


def analyse_task(task, settings, writers):
    """Runs on a worker: analyses the page, writes its outputs and returns
    its manifest row. A failure of any kind becomes a "failed" row."""
    import quadrel  # imported on the worker

    start = time.perf_counter()
    try:
        layout = quadrel.analyse(task.file, page=task.page, **settings)
        for fmt, path in task.outputs.items():
            write_atomically(path, getattr(layout, writers[fmt])())
    except Exception as e:  # noqa: BLE001 - a broken page never stops the batch
        return row(task, "failed", seconds=round(time.perf_counter() - start, 4),
                   error=reason(e))
    return row(task, "ok", len(layout.zones), round(time.perf_counter() - start, 4))


class Manifest:
    """manifest.jsonl in the output folder: a row per page as it completes
    (so that an interrupted run leaves what it did), rewritten in input order
    at the end."""

    def __init__(self, out):
        self.path = os.path.join(out, "manifest.jsonl")
        self._file = open(self.path, "w", encoding="utf-8")

    def add(self, manifest_row):
        self._file.write(json.dumps(manifest_row) + "\n")
        self._file.flush()

    def finish(self, rows):
        self._file.close()
        write_atomically(self.path, "".join(json.dumps(r) + "\n" for r in rows))

    def close(self):
        if not self._file.closed:
            self._file.close()
