#!/usr/bin/python3
"""Times the cluster driver on one machine, all in one invocation (the machine may be shared:
quote the ratios): a PGN file cut at game boundaries into seven files of uneven sizes (three
of them compressed with zstd, gzip and xz) is indexed by the driver on a local cluster of one
worker and of two (beside the same job run without the engine, one and two builds at a
time, which shows what the machine gives at the moment), and with one merge of all the
per-file indexes against a tree of pairwise merges, each the best of the given runs taken
in turn (the job's own time, without starting the cluster); then the rates of one merge
and one vorline build, each task's processor time and from it the ratio on idle cores,
and Dask's overhead per task.

usage: bench/cluster_bench.py <pgn file> [vorline executable] [runs]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DRIVER = os.path.join(HERE, "..", "cluster", "vorline_cluster.py")
sys.path.insert(0, os.path.join(HERE, "..", "cluster"))
from test_vorline_cluster import SHARES, cut_games  # noqa: E402  (the tests' cutting)
from vorline_cluster import work_estimate  # noqa: E402  (the driver's order)


def driver_seconds(vorline, files, folder, *more):
    """The job's time as the driver reports it, from a fresh working folder."""
    index = os.path.join(folder, "all.idx")
    shutil.rmtree(index + ".work", ignore_errors=True)
    result = subprocess.run(["/usr/bin/python3", DRIVER, "--vorline", vorline, "-w", index,
                             *more, *files], capture_output=True, text=True, check=True)
    return float(re.search(r"index built: \d+ tasks in ([0-9.]+) s", result.stderr).group(1))


def plain_job(vorline, files, folder, at_once):
    """The same job without the engine: the builds, largest first, `at_once` at a time by
    a pool of threads that each run one vorline, then one merge; its seconds."""
    from concurrent.futures import ThreadPoolExecutor
    work = os.path.join(folder, "plain.work")
    shutil.rmtree(work, ignore_errors=True)
    os.mkdir(work)
    indexes = [os.path.join(work, f"{n + 1}.idx") for n in range(len(files))]
    start = time.perf_counter()
    with ThreadPoolExecutor(at_once) as pool:
        order = sorted(range(len(files)),
                       key=lambda n: -work_estimate(files[n], os.path.getsize(files[n])))
        list(pool.map(lambda n: subprocess.run(
            [vorline, "-p", files[n], "-t", "1", "-w", indexes[n]], check=True,
            stdout=subprocess.DEVNULL), order))
    subprocess.run([vorline] + [a for index in indexes for a in ("-i", index)] +
                   ["-w", os.path.join(folder, "plain.idx")], check=True,
                   stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def processor_seconds(arguments):
    """The processor time (user and system, all threads) of one run."""
    pid = subprocess.Popen(arguments, stdout=subprocess.DEVNULL).pid
    _, status, usage = os.wait4(pid, 0)
    if status != 0:
        sys.exit(f"{arguments} failed")
    return usage.ru_utime + usage.ru_stime


def modelled_ratio(vorline, files, folder):
    """Each build's and the merge's processor time, run one at a time, and from them the
    time of the job on 1 and on 2 idle cores (builds handed out largest first, each to the
    worker free first, then the merge): what the machine would give with nothing beside."""
    work = os.path.join(folder, "model.work")
    shutil.rmtree(work, ignore_errors=True)
    os.mkdir(work)
    indexes = [os.path.join(work, f"{n + 1}.idx") for n in range(len(files))]
    builds = [processor_seconds([vorline, "-p", files[n], "-t", "1", "-w", indexes[n]])
              for n in range(len(files))]
    merge = processor_seconds([vorline] + [a for index in indexes for a in ("-i", index)] +
                              ["-w", os.path.join(folder, "model.idx")])
    free = [0.0, 0.0]
    for seconds in sorted(builds, reverse=True):
        free[free.index(min(free))] += seconds
    return builds, merge, (sum(builds) + merge) / (max(free) + merge)


def best_of_turns(runs, variants):
    """The best time of each variant (name -> function), the variants taken in turn."""
    best = {name: float("inf") for name in variants}
    for _ in range(runs):
        for name, run in variants.items():
            best[name] = min(best[name], run())
    return best


def noop(_):
    return None


def run_true(_):
    subprocess.run(["/bin/true"], check=True)


def engine_overhead(tasks=400):
    """Per task: a task that does nothing, and one that runs a process that does nothing,
    on a local cluster of two single-thread workers (tasks in flight together), and the
    round trip of one task waited for alone."""
    from distributed import Client, LocalCluster
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        client.gather(client.map(noop, range(50), pure=False))  # warm up
        figures = {}
        for name, function in (("empty task", noop), ("task running /bin/true", run_true)):
            start = time.perf_counter()
            client.gather(client.map(function, range(tasks), pure=False))
            figures[name] = (time.perf_counter() - start) / tasks
        start = time.perf_counter()
        for n in range(50):
            client.submit(noop, n, pure=False).result()
        figures["one empty task's round trip"] = (time.perf_counter() - start) / 50
        return figures


def timed(arguments):
    start = time.perf_counter()
    subprocess.run(arguments, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def main(argv):
    if not argv:
        sys.exit(__doc__)
    games = os.path.abspath(argv[0])
    vorline = os.path.abspath(argv[1] if len(argv) > 1 else
                              os.path.join(HERE, "..", "build", "vorline"))
    runs = int(argv[2]) if len(argv) > 2 else 3
    folder = tempfile.mkdtemp(prefix="vorline-cluster-bench-")
    try:
        with open(games, "rb") as file:
            data = file.read()
        files = cut_games(data, SHARES, folder)
        print(f"{games}: {len(data) / 1e6:.1f} MB cut into {len(files)} files, "
              f"{', '.join(f'{os.path.getsize(f) / 1e6:.1f}' for f in files)} MB on disk")

        best = best_of_turns(runs, {
            "one vorline -p over the whole file, -t 1": lambda: timed(
                [vorline, "-p", games, "-t", "1", "-w", os.path.join(folder, "one.idx")]),
            "without the engine, 1 build at a time": lambda: plain_job(vorline, files, folder, 1),
            "without the engine, 2 builds at a time": lambda: plain_job(vorline, files, folder, 2),
            "1 worker, one merge": lambda: driver_seconds(vorline, files, folder,
                                                          "--workers", "1"),
            "2 workers, one merge": lambda: driver_seconds(vorline, files, folder,
                                                           "--workers", "2"),
            "2 workers, tree of pairwise merges": lambda: driver_seconds(
                vorline, files, folder, "--workers", "2", "--fan-in", "2"),
        })
        for name, seconds in best.items():
            print(f"{name:45} {seconds:7.2f} s")
        plain_ratio = (best["without the engine, 1 build at a time"] /
                       best["without the engine, 2 builds at a time"])
        print(f"2 builds at a time against 1, without the engine: {plain_ratio:.2f}x "
              "(the most this machine gives now)")
        one, two = best["1 worker, one merge"], best["2 workers, one merge"]
        tree = best["2 workers, tree of pairwise merges"]
        print(f"2 workers against 1: {one / two:.2f}x; tree against one merge: {tree / two:.2f}x "
              "the time")

        # The parts of the model: one build's rate and the merge's rate.
        work = os.path.join(folder, "all.idx.work")
        driver_seconds(vorline, files, folder, "--workers", "2")
        parts = sorted((os.path.join(work, name) for name in os.listdir(work)),
                       key=lambda name: int(os.path.basename(name).split("-")[0]))
        merge = [vorline] + [a for part in parts for a in ("-i", part)] + \
            ["-w", os.path.join(folder, "merged.idx")]
        merge_seconds = min(timed(merge) for _ in range(runs))
        inputs = sum(os.path.getsize(part) for part in parts)
        output = os.path.getsize(os.path.join(folder, "merged.idx"))
        print(f"one merge of the {len(parts)} per-file indexes ({inputs / 1e6:.1f} MB) into one "
              f"({output / 1e6:.1f} MB): {merge_seconds:.2f} s, "
              f"{(inputs + output) / merge_seconds / 1e6:.0f} MB/s read and written")
        build_seconds = best["one vorline -p over the whole file, -t 1"]
        index_bytes = os.path.getsize(os.path.join(folder, "one.idx"))
        print(f"one vorline -p -t 1 -w over the whole file: "
              f"{len(data) / build_seconds / 1e6:.0f} MB/s of games, index "
              f"{index_bytes / 1e6:.1f} MB")

        builds, merge, ratio = modelled_ratio(vorline, files, folder)
        print(f"processor time of the builds: {', '.join(f'{b:.2f}' for b in builds)} s, of the "
              f"merge: {merge:.2f} s; on 2 idle cores 2 workers would take {1 / ratio:.2f} of "
              f"1 worker's time ({ratio:.2f}x)")
        for name, seconds in engine_overhead().items():
            print(f"Dask overhead, {name}: {seconds * 1e3:.2f} ms")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main(sys.argv[1:])
