# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""Pages per second: quadrel.batch with 1 and 2 local worker processes beside
`quadrel --jobs 1` and `--jobs 2` on the same folder.

The folder holds COPIES copies of the eight CCITT test pages (1728 x 2376,
Group 4). The batch is timed twice: the whole command (starting its
LocalCluster) and run() on a cluster already started, which is the rate a
long batch approaches.

    PYTHONPATH=build/python python3 bench/python/batch_bench.py build/bin/quadrel [COPIES]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import quadrel.batch


def make_folder(folder, copies):
    for n in range(1, 9):
        pbm = os.path.join(folder, f"ccitt{n}.pbm")
        subprocess.run(["jbgtopbm", f"/usr/share/jbigkit-testdata/ccitt{n}.jbg", pbm], check=True)
        for c in range(copies):
            subprocess.run(["ppm2tiff", "-c", "g4", "-R", "200", pbm,
                            os.path.join(folder, f"page{n}-{c}.tif")], check=True)
        os.remove(pbm)
    return sorted(os.path.join(folder, f) for f in os.listdir(folder))


def timed(call):
    start = time.perf_counter()
    call()
    return time.perf_counter() - start


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "quadrel"
    copies = int(sys.argv[2]) if len(sys.argv) > 2 else 6
    from distributed import Client, LocalCluster

    with tempfile.TemporaryDirectory() as scratch:
        folder = os.path.join(scratch, "pages")
        os.mkdir(folder)
        files = make_folder(folder, copies)
        pages = len(files)
        print(f"{pages} pages of 1728 x 2376 on {os.cpu_count()} CPUs")
        for jobs in (1, 2):
            seconds = timed(lambda: subprocess.run(
                [program, "--json", "--quiet", "--jobs", str(jobs), *files],
                stdout=subprocess.DEVNULL, check=False))
            print(f"  quadrel --jobs {jobs}               {pages / seconds:7.1f} pages/s "
                  f"({seconds:.2f} s)")
        for workers in (1, 2):
            out = os.path.join(scratch, f"out-{workers}")
            seconds = timed(lambda: subprocess.run(
                [sys.executable, "-m", "quadrel.batch", folder, "--out", out, "--workers",
                 str(workers), "--quiet"], check=False))
            print(f"  quadrel.batch --workers {workers}     {pages / seconds:7.1f} pages/s "
                  f"({seconds:.2f} s, cluster start included)")
            shutil.rmtree(out)
            with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                              dashboard_address=None) as cluster, Client(cluster) as client:
                client.submit(lambda: None).result()  # the workers have started
                seconds = timed(lambda: quadrel.batch.run([folder], out, client=client,
                                                          progress=False))
            print(f"  batch.run, {workers} worker(s) ready   {pages / seconds:7.1f} pages/s "
                  f"({seconds:.2f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
