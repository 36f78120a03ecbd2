# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""Batch analysis on Dask: many files, one task per page, on this machine or
on a cluster.

    python3 -m quadrel.batch scans/ more/*.tif --out results --workers 4
    python3 -m quadrel.batch scans/ --out results --scheduler tcp://host:8786

Every page's outputs are written atomically as <stem>-p<page><suffix> in the
output folder, one per format: json (.json), xml (.xml), page (.page.xml, PAGE
XML), alto (.alto.xml) and hocr (.hocr); a page whose outputs all exist is skipped, so an interrupted
run picks up where it stopped. manifest.jsonl records every page (file, page,
status "ok"/"failed"/"skipped", zones, seconds, error) and summary.json the
totals. The command exits with 0 when no page failed, 1 otherwise.
"""

import argparse
import json
import os
import sys
import time

from ._batch_inputs import make_tasks
from ._batch_outputs import Manifest, analyse_task, outputs_complete, reason, row, \
    skipped_row, write_atomically
from ._batch_progress import ProgressBar
from ._settings import check_dpi, check_params, check_pipe, parameter_id

# Output format: (file suffix, Layout method that writes it).
FORMATS = {
    "json": (".json", "to_json"),
    "xml": (".xml", "to_xml"),
    "page": (".page.xml", "to_page_xml"),
    "alto": (".alto.xml", "to_alto"),
    "hocr": (".hocr", "to_hocr"),
}


def _check_formats(formats):
    formats = [formats] if isinstance(formats, str) else list(formats)
    unknown = [f for f in formats if f not in FORMATS]
    if unknown or not formats:
        raise ValueError(f"unknown output format {', '.join(unknown) or '(none)'}; "
                         f"available: {', '.join(FORMATS)}")
    return list(dict.fromkeys(formats))


def _start_client(workers, scheduler):
    """A client of the scheduler at `scheduler`, or of a new LocalCluster of
    `workers` processes with one thread each (the library analyses one page at
    a time per process). Returns the client and what to close after it."""
    from distributed import Client, LocalCluster

    if scheduler:
        return Client(scheduler), None
    cluster = LocalCluster(n_workers=workers or os.cpu_count() or 1, threads_per_worker=1,
                           processes=True, dashboard_address=None)
    return Client(cluster), cluster


def _analyse_all(client, tasks, settings, writers, manifest, progress):
    from distributed import as_completed

    futures = {client.submit(analyse_task, task, settings, writers, pure=False): task
               for task in tasks}
    for future in as_completed(futures):
        task = futures[future]
        try:
            result = future.result()
        except Exception as e:  # noqa: BLE001 - a lost worker fails its page only
            result = row(task, "failed", error=reason(e))
        manifest.add(result)
        progress.advance(result["status"])
        yield task, result


def summarise(rows, seconds):
    count = {s: sum(r["status"] == s for r in rows) for s in ("ok", "skipped", "failed")}
    return {"pages": len(rows), "analysed": count["ok"], "skipped": count["skipped"],
            "failed": count["failed"], "zones": sum(r["zones"] or 0 for r in rows),
            "seconds": round(seconds, 3)}


def run(inputs, out, *, formats=("json",), pipe=None, params=None, binarize=False, dpi=None,
        workers=None, scheduler=None, client=None, progress=None):
    """Analyses every page of `inputs` (files, folders, glob patterns) into
    the folder `out` and returns the manifest rows, in input order.

    Pages run on `client` when given; else on the cluster whose scheduler
    listens at `scheduler`; else on a LocalCluster of `workers` processes
    (default: one per CPU), started and stopped here. pipe, params, binarize
    and dpi are those of quadrel.analyse. `progress`: draw a progress bar on
    stderr (default: when stderr is a terminal).
    """
    formats = _check_formats(formats)
    settings = {"pipe": check_pipe(pipe), "params": dict(check_params(params)),
                "binarize": bool(binarize), "dpi": check_dpi(dpi) if dpi else None}
    os.makedirs(out, exist_ok=True)
    start = time.perf_counter()
    tasks = make_tasks(inputs, out, {f: FORMATS[f][0] for f in formats})
    rows = {}
    manifest = Manifest(out)
    try:
        for i, task in enumerate(tasks):
            if task.error is not None:
                rows[i] = row(task, "failed", error=task.error)
            elif outputs_complete(task):
                rows[i] = skipped_row(task)
        for r in rows.values():
            manifest.add(r)
        pending = [t for i, t in enumerate(tasks) if i not in rows]
        if pending:
            bar = ProgressBar(len(pending), enabled=progress)
            index = {id(t): i for i, t in enumerate(tasks)}
            owned = own_client = None
            if client is None:
                own_client, owned = _start_client(workers, scheduler)
            try:
                writers = {f: FORMATS[f][1] for f in formats}
                for task, result in _analyse_all(client or own_client, pending, settings,
                                                 writers, manifest, bar):
                    rows[index[id(task)]] = result
            finally:
                bar.close()
                if own_client is not None:
                    own_client.close()
                if owned is not None:
                    owned.close()
        ordered = [rows[i] for i in range(len(tasks))]
        manifest.finish(ordered)
    finally:
        manifest.close()
    summary = summarise(ordered, time.perf_counter() - start)
    write_atomically(os.path.join(out, "summary.json"), json.dumps(summary, indent=2) + "\n")
    return ordered


def _parameter(text):
    key, sep, value = text.partition("=")
    if not sep:
        raise argparse.ArgumentTypeError(f"{text!r} is not of the form ID=VALUE")
    key = key.strip()
    try:
        pid = parameter_id(int(key) if key.lstrip("+-").isdigit() else key)
    except ValueError as e:
        raise argparse.ArgumentTypeError(str(e).replace("params: ", "")) from None
    try:
        return pid, int(value)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{value.strip()!r} is not an integer") from None


def _pipe(text):
    try:
        return check_pipe([int(code) for code in text.split(",")])
    except ValueError as e:
        raise argparse.ArgumentTypeError(str(e).replace("pipe: ", "")) from None


def _formats(text):
    try:
        return _check_formats([f.strip() for f in text.split(",")])
    except ValueError as e:
        raise argparse.ArgumentTypeError(str(e)) from None


def _parser():
    p = argparse.ArgumentParser(
        prog="python3 -m quadrel.batch",
        description="Analyses the layout of every page of files, folders and glob patterns "
                    "on Dask worker processes.")
    p.add_argument("inputs", nargs="+", metavar="INPUT", help="TIFF, PNG or PBM/PGM/PPM files, folders or globs")
    p.add_argument("--out", required=True, metavar="DIR", help="output folder")
    p.add_argument("--format", type=_formats, default=["json"],
                   help=f"comma-separated output formats: {', '.join(FORMATS)} (default json)")
    p.add_argument("--pipe", type=_pipe, help="comma-separated function codes, e.g. 1,2,8,4,32")
    p.add_argument("--param", type=_parameter, action="append", default=[],
                   metavar="ID=VALUE", help="set a parameter by id or name (repeatable)")
    p.add_argument("--binarize", action="store_true",
                   help="threshold grey and colour pages by Otsu's method")
    p.add_argument("--dpi", type=int, help="resolution of pages that carry none")
    where = p.add_mutually_exclusive_group()
    where.add_argument("--workers", type=int, metavar="N",
                       help="local worker processes (default: one per CPU)")
    where.add_argument("--scheduler", metavar="ADDRESS",
                       help="run on the Dask cluster of this scheduler, e.g. tcp://host:8786")
    p.add_argument("--quiet", action="store_true", help="print no progress bar or summary")
    return p


def main(argv=None):
    args = _parser().parse_args(argv)
    if args.workers is not None and args.workers < 1:
        _parser().error("--workers must be at least 1")
    try:
        rows = run(args.inputs, args.out, formats=args.format, pipe=args.pipe,
                   params=dict(args.param), binarize=args.binarize, dpi=args.dpi,
                   workers=args.workers, scheduler=args.scheduler,
                   progress=False if args.quiet else None)
    except (ValueError, OSError) as e:
        print(f"quadrel.batch: {e}", file=sys.stderr)
        return 2
    if not args.quiet:
        s = summarise(rows, 0)
        print(f"{s['pages']} pages: {s['analysed']} analysed, {s['skipped']} skipped, "
              f"{s['failed']} failed; {s['zones']} zones. Manifest: "
              f"{os.path.join(args.out, 'manifest.jsonl')}")
        for r in rows:
            if r["status"] == "failed":
                page = "" if r["page"] is None else f" page {r['page']}"
                print(f"failed: {r['file']}{page}: {r['error']}", file=sys.stderr)
    return 1 if any(r["status"] == "failed" for r in rows) else 0


if __name__ == "__main__":
    # Run as `python3 -m quadrel.batch`: the tasks must be pickled as
    # quadrel.batch's functions, not __main__'s, for the workers to find them.
    from quadrel.batch import main as _main

    sys.exit(_main())
