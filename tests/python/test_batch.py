# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""quadrel.batch over a folder of good and broken pages: on a LocalCluster of
two processes, and on a scheduler and two workers started as processes."""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import numpy as np
from PIL import Image

import quadrel.batch
from pages import LAYOUT_FORMATS, ccitt_tiff, grey_tiff, quadrel_json, quadrel_layout_files, \
    without_timestamps


def make_folder():
    """Three CCITT pages, a two-page file, a PNG page and three broken inputs: a file
    that is no TIFF, a TIFF cut short and a grey page (refused without
    --binarize). Returns the folder and the pages that analyse."""
    folder = tempfile.mkdtemp(prefix="quadrel-batch-in-")
    for n in (1, 2, 3):
        shutil.copy(ccitt_tiff(n), folder)
    subprocess.run(["tiffcp", ccitt_tiff(4), ccitt_tiff(5), os.path.join(folder, "two.tif")],
                   check=True)
    with open(os.path.join(folder, "notes.tif"), "wb") as f:
        f.write(b"this is no image")
    with open(ccitt_tiff(6), "rb") as f:
        head = f.read(4000)
    with open(os.path.join(folder, "cut.tif"), "wb") as f:
        f.write(head)
    grey_tiff(os.path.join(folder, "grey.tif"), np.full((50, 60), 128, np.uint8))
    good = [(os.path.join(folder, f"ccitt{n}.tif"), 0) for n in (1, 2, 3)]
    good += [(os.path.join(folder, "two.tif"), p) for p in (0, 1)]
    png = os.path.join(folder, "ccitt7.png")
    Image.open(ccitt_tiff(7)).save(png, dpi=(200, 200))
    good.append((png, 0))
    return folder, good


def read_manifest(out):
    with open(os.path.join(out, "manifest.jsonl")) as f:
        return [json.loads(line) for line in f]


class BatchChecks:
    """Set-up and checks of a batch run shared by both cluster set-ups."""

    def make_folders(self):
        """The input folder, its good pages and an empty output folder,
        removed after the test."""
        folder, good = make_folder()
        out = tempfile.mkdtemp(prefix="quadrel-batch-out-")
        self.addCleanup(shutil.rmtree, folder)
        self.addCleanup(shutil.rmtree, out)
        return folder, good, out

    def check_outputs(self, out, good):
        expected = {(p["file"], p["page"]): p
                    for p in quadrel_json("--all-pages", *sorted({f for f, _ in good}))}
        for file, page in good:
            stem = os.path.splitext(os.path.basename(file))[0]
            with open(os.path.join(out, f"{stem}-p{page}.json")) as f:
                self.assertEqual(json.load(f), expected[(file, page)], (file, page))
        leftovers = [n for n in os.listdir(out) if n.endswith(".tmp")]
        self.assertEqual(leftovers, [])

    def check_layout_files(self, out, task):
        """The batch's PAGE XML, ALTO and hOCR files of a page are the command line's."""
        file, page = task
        expected = quadrel_layout_files(file)
        stem = os.path.splitext(os.path.basename(file))[0]
        for option, suffix in zip(LAYOUT_FORMATS, [".page.xml", ".alto.xml", ".hocr"]):
            with open(os.path.join(out, f"{stem}-p{page}{suffix}"), encoding="utf-8",
                      newline="") as f:
                self.assertEqual(without_timestamps(f.read()),
                                 without_timestamps(expected[option]), suffix)

    def check_manifest(self, rows, good, folder):
        by_key = {(r["file"], r["page"]): r for r in rows}
        for file, page in good:
            row = by_key[(file, page)]
            self.assertEqual(row["status"], "ok", row)
            self.assertGreater(row["zones"], 0)
            self.assertIsNone(row["error"])
        failed = {os.path.basename(r["file"]): r for r in rows if r["status"] == "failed"}
        self.assertEqual(sorted(failed), ["cut.tif", "grey.tif", "notes.tif"])
        self.assertIn("Unknown image format", failed["notes.tif"]["error"])
        self.assertIsNone(failed["notes.tif"]["page"])
        self.assertIn("bits per pixel", failed["grey.tif"]["error"])
        self.assertEqual(failed["grey.tif"]["page"], 0)
        self.assertEqual(len(rows), len(good) + 3)


class LocalClusterBatch(unittest.TestCase, BatchChecks):
    def test_folder_on_two_local_processes_then_resumed(self):
        folder, good, out = self.make_folders()
        command = [sys.executable, "-m", "quadrel.batch", folder, "--out", out, "--workers",
                   "2", "--format", "json,xml"]
        first = subprocess.run(command, capture_output=True, text=True, timeout=120)
        self.assertEqual(first.returncode, 1, first.stderr)
        self.assertIn("6 analysed, 0 skipped, 3 failed", first.stdout)
        self.assertIn("notes.tif", first.stderr)
        rows = read_manifest(out)
        self.check_manifest(rows, good, folder)
        self.check_outputs(out, good)
        with open(os.path.join(out, "summary.json")) as f:
            self.assertEqual(json.load(f)["analysed"], 6)
        with open(os.path.join(out, "ccitt1-p0.xml"), "rb") as f:
            self.assertEqual(f.read(),
                             quadrel.analyse(os.path.join(folder, "ccitt1.tif")).to_xml().encode())

        # A page whose outputs are all there is not analysed again; one that
        # lost an output is.
        os.remove(os.path.join(out, "ccitt2-p0.xml"))
        stamp = os.stat(os.path.join(out, "ccitt1-p0.json")).st_mtime_ns
        again = quadrel.batch.run([folder], out, formats=["json", "xml"], workers=2)
        statuses = {(os.path.basename(r["file"]), r["page"]): r["status"] for r in again}
        self.assertEqual(statuses[("ccitt2.tif", 0)], "ok")
        self.assertEqual(sum(s == "skipped" for s in statuses.values()), 5)
        self.assertEqual(os.stat(os.path.join(out, "ccitt1-p0.json")).st_mtime_ns, stamp)
        self.assertEqual(again, read_manifest(out))

        third = quadrel.batch.run([os.path.join(folder, "ccitt*.tif")], out,
                                  formats=["json", "xml"])
        self.assertEqual([r["status"] for r in third], ["skipped"] * 3)
        self.assertEqual([r["zones"] for r in third],
                         [r["zones"] for r in rows if r["file"].endswith(("1.tif", "2.tif",
                                                                          "3.tif"))])

    def test_usage_errors_exit_with_2(self):
        out = tempfile.mkdtemp(prefix="quadrel-batch-out-")
        self.addCleanup(shutil.rmtree, out)
        for args in (["--format", "pdf"], ["--pipe", "1,3"], ["--param", "999=1"],
                     ["--workers", "0"]):
            with self.subTest(args=args):
                run = subprocess.run([sys.executable, "-m", "quadrel.batch", ccitt_tiff(1),
                                      "--out", out, *args], capture_output=True, text=True)
                self.assertEqual(run.returncode, 2, run.stderr)
        other = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, other)
        shutil.copy(ccitt_tiff(1), other)
        with self.assertRaisesRegex(ValueError, "two inputs named 'ccitt1'"):
            quadrel.batch.run([ccitt_tiff(1), os.path.join(other, "ccitt1.tif")], out)


def start(command, env):
    return subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


def stop(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


class ExternalSchedulerBatch(unittest.TestCase, BatchChecks):
    def test_folder_on_a_scheduler_and_two_worker_processes(self):
        folder, good, out = self.make_folders()
        scratch = tempfile.mkdtemp(prefix="quadrel-scheduler-")
        self.addCleanup(shutil.rmtree, scratch)
        scheduler_file = os.path.join(scratch, "scheduler.json")
        env = dict(os.environ)
        env["PYTHONPATH"] = os.pathsep.join(p for p in sys.path if p)
        scheduler = start([sys.executable, "-m", "distributed.cli.dask_scheduler", "--host",
                           "127.0.0.1", "--port", "0", "--no-dashboard", "--scheduler-file",
                           scheduler_file], env)
        self.addCleanup(stop, scheduler)
        deadline = time.monotonic() + 60
        while not os.path.exists(scheduler_file) and time.monotonic() < deadline:
            time.sleep(0.1)
        with open(scheduler_file) as f:
            address = json.load(f)["address"]
        for _ in range(2):
            worker = start([sys.executable, "-m", "distributed.cli.dask_worker", address,
                            "--host", "127.0.0.1", "--nthreads", "1", "--no-dashboard",
                            "--no-nanny"], env)
            self.addCleanup(stop, worker)
        from distributed import Client

        with Client(address, timeout=60) as client:
            client.wait_for_workers(2, timeout=60)
            self.assertEqual(len(client.scheduler_info()["workers"]), 2)
        run = subprocess.run([sys.executable, "-m", "quadrel.batch", folder, "--out", out,
                              "--scheduler", address, "--quiet", "--format",
                              "json,page,alto,hocr"],
                             capture_output=True, text=True, timeout=120)
        self.assertEqual(run.returncode, 1, run.stderr)
        self.assertEqual(run.stdout, "")
        rows = read_manifest(out)
        self.check_manifest(rows, good, folder)
        self.check_outputs(out, good)
        self.check_layout_files(out, good[-1])


if __name__ == "__main__":
    unittest.main()
