#!/usr/bin/python3
"""Builds one opening index of many game files on a Dask cluster.

Every game file is indexed by a run of `vorline -p <file> -d <depth> -w <folder>/<n>-<id>.idx`
on some worker, largest files first so that uneven files balance; the per-file indexes are
then merged in the files' order into one index that answers exactly as one run over all the
games in that order (one merge of them all by default, or a tree of smaller merges that run
in parallel with --fan-in). The heavy work stays in the vorline executable; Dask schedules
the tasks, reruns those of a worker that dies and balances the load. vorline writes every
file under a temporary name and renames it into place, so a task run twice or killed midway
leaves no torn file. Every worker must see the game files, the working folder and the
executable under the same names (a shared file system).
"""

import argparse
import hashlib
import logging
import os
import re
import subprocess
import sys
import time
import uuid

import vorline_tasks
from vorline_tasks import build_task, merge_task  # what the workers run

# Dask's settings for a job, also as the environment variables of workers started apart.
QUIET_DASK = {"distributed.worker.profile.enabled": False,
              "distributed.admin.tick.interval": "1s",
              "distributed.admin.system-monitor.interval": "2s"}

DEFAULT_VORLINE = os.path.normpath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "vorline"))

def index_name(game_file, depth):
    """What names a game file's index beside its number: a digest of the file's name, size,
    modification time and the depth, so that a rerun reuses only an index of the same
    games at the same depth."""
    status = os.stat(game_file)
    identity = f"{game_file}\0{status.st_size}\0{status.st_mtime_ns}\0{depth}"
    return hashlib.sha256(identity.encode("utf-8", "surrogateescape")).hexdigest()[:16]


# The first bytes of the compressed formats vorline reads, each with the processor time
# indexing a byte of it takes against a byte of plain games (measured on 20 MB of the
# archive's games at each tool's default level): games compress three to five times,
# and decoding bzip2 and xz costs far more than indexing.
WORK_PER_BYTE = ((b"\x28\xb5\x2f\xfd", 4), (b"\x1f\x8b", 3), (b"BZh", 25),
                 (b"\xfd7zXZ\x00", 12))


def work_estimate(game_file, size):
    """How much work indexing a file takes, for running the largest first: its size, times
    its format's factor when it is compressed."""
    with open(game_file, "rb") as file:
        start = file.read(6)
    for magic, factor in WORK_PER_BYTE:
        if start.startswith(magic):
            return size * factor
    return size


def merge_plan(count, fan_in):
    """The merge tree over `count` ordered indexes: a list of levels, each a list of groups
    of adjacent positions in the level below; the last level has one group."""
    levels = []
    while True:
        groups = [list(range(i, min(i + fan_in, count))) for i in range(0, count, fan_in)]
        levels.append(groups)
        if len(groups) == 1:
            return levels
        count = len(groups)


class Progress:
    """Tasks done of all and bytes of games read: one line redrawn on a terminal, else a
    line per task."""

    def __init__(self, total_tasks, total_bytes, stream=sys.stderr):
        self.total_tasks, self.total_bytes = total_tasks, total_bytes
        self.done_tasks, self.done_bytes = 0, 0
        self.start = time.monotonic()
        self.stream = stream
        self.terminal = stream.isatty()
        self.setup_seconds = 0.0  # of the cluster before the job began

    def seconds(self):
        return time.monotonic() - self.start

    def task_done(self, what, size):
        self.done_tasks += 1
        self.done_bytes += size
        line = (f"{self.done_tasks} of {self.total_tasks} tasks, "
                f"{self.done_bytes / 1e6:,.1f} of {self.total_bytes / 1e6:,.1f} MB of games, "
                f"{self.seconds():.1f} s: {what}")
        self.stream.write("\r\x1b[K" + line if self.terminal else line + "\n")
        self.stream.flush()

    def end(self):
        if self.terminal and self.done_tasks:
            self.stream.write("\n")
            self.stream.flush()


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        description="Builds one vorline index of many game files on a Dask cluster: one "
        "vorline run per file, then their merge in the files' order, so that the index "
        "answers as one run over all the games in that order.")
    parser.add_argument("games", nargs="+", metavar="GAMES",
                        help="the game files, in order (any compression vorline reads), on "
                        "storage every worker sees")
    parser.add_argument("-w", "--index", required=True, help="the index file to write")
    parser.add_argument("--work", metavar="FOLDER",
                        help="the shared working folder for the per-file indexes, kept for "
                        "reruns (default: the index file's name + '.work')")
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="the Dask scheduler's address (tcp://host:port) or its scheduler "
                        "file (dask-scheduler --scheduler-file); without it a local cluster "
                        "runs one worker process per core")
    parser.add_argument("--vorline", default=DEFAULT_VORLINE, metavar="EXECUTABLE",
                        help="the vorline executable (default: the one built beside this "
                        "driver, %(default)s)")
    parser.add_argument("-d", "--depth", type=int, default=24,
                        help="half moves of each game indexed (default 24)")
    parser.add_argument("-e", "--epd", metavar="EPD_FILE",
                        help="an EPD file to answer from the index once it is built (as "
                        "vorline -i <index> -e <file> does)")
    parser.add_argument("--fan-in", type=int, default=0, metavar="N",
                        help="indexes joined by one merge task: 2 or more merges as a tree "
                        "of tasks; 0 (default) merges them all in one task")
    parser.add_argument("--workers", type=int, default=os.cpu_count() or 1, metavar="N",
                        help="worker processes of the local cluster (default: one per core, "
                        "%(default)s)")
    options = parser.parse_args(argv)
    if options.fan_in == 1 or options.fan_in < 0:
        parser.error("--fan-in must be 0 or at least 2")
    if options.workers < 1:
        parser.error("--workers must be at least 1")
    if options.depth < 1:
        parser.error("--depth must be at least 1")
    return options


def main(argv):
    options = parse_arguments(argv)
    vorline = os.path.abspath(options.vorline)
    games = [os.path.abspath(name) for name in options.games]
    target = os.path.abspath(options.index)
    work = os.path.abspath(options.work or target + ".work")
    if not os.access(vorline, os.X_OK):
        print(f"Problem with the vorline executable {vorline}", flush=True)
        return 1
    for name in games:
        if not os.path.isfile(name) or not os.access(name, os.R_OK):
            print(f"Problem with input pgn-file {name}", flush=True)
            return 1
    if os.path.exists(target) and any(os.path.samefile(target, name) for name in games):
        print(f"Output file is an input file: {target}", flush=True)
        return 1
    os.makedirs(work, exist_ok=True)

    import dask
    from distributed import Client, LocalCluster
    # Quieter than Dask's defaults, which serve interactive work with a dashboard: every
    # worker would sample its threads' stacks a hundred times a second for a profile no
    # one sees, and every process wake fifty times a second to time its event loop. On
    # a few cores that takes a tenth of a core from vorline. (The local cluster's workers
    # take the driver's settings; workers started apart take them from the environment.)
    dask.config.set(QUIET_DASK)
    started = time.monotonic()
    cluster = None
    if options.scheduler and os.path.isfile(options.scheduler):
        client = Client(scheduler_file=options.scheduler)
    elif options.scheduler:
        client = Client(options.scheduler)
    else:
        # Its workers' own reports of failed tasks stay quiet: the driver reports the failure.
        cluster = LocalCluster(n_workers=options.workers, threads_per_worker=1,
                               processes=True, dashboard_address=None,
                               silence_logs=logging.ERROR)
        client = Client(cluster)
    try:
        # The workers import the tasks from their own copy of the module, also workers that
        # join later, so that a task is sent as a reference to its function rather than as
        # the function itself: a task then costs Dask a few milliseconds, not a hundred.
        client.upload_file(vorline_tasks.__file__)
        problem = check_workers(client, vorline, work)
        if problem:
            print(problem, flush=True)
            return 1
        return run_job(client, options, vorline, games, target, work,
                       time.monotonic() - started)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()


def check_workers(client, vorline, work):
    """Asks every worker there is whether it sees the executable and the working folder
    under their names (the job's files are on storage they share); returns what one does
    not see, or none. This also pays before the job what Dask's first submission costs the
    client once (it reads the calling code for its records: about a tenth of a second)."""
    workers = list(client.scheduler_info()["workers"])
    # Each check may run elsewhere should its worker be gone meanwhile (bound to a worker
    # that died, it would wait for ever).
    checks = [client.submit(vorline_tasks.missing_on_worker, vorline, work, workers=[address],
                            allow_other_workers=True, pure=False) for address in workers]
    for address, missing in zip(workers, client.gather(checks)):
        if missing:
            return f"Problem on worker {address}: it does not see {missing}"
    return None


def run_job(client, options, vorline, games, target, work, start_seconds):
    token = uuid.uuid4().hex[:12]  # keeps this job's task names apart from other jobs'
    stop_file = os.path.join(work, f"stop-{token}")
    sizes = [os.path.getsize(name) for name in games]
    fan_in = options.fan_in or len(games)
    levels = merge_plan(len(games), max(fan_in, 2))
    progress = Progress(len(games) + sum(len(group) > 1 or i == len(levels) - 1
                                         for i, level in enumerate(levels) for group in level),
                        sum(sizes))

    # One build per file, largest first (Dask runs higher priorities first).
    parts = [None] * len(games)
    paths = [target]  # every file the tasks write
    work_estimates = [work_estimate(name, size) for name, size in zip(games, sizes)]
    order = sorted(range(len(games)), key=lambda n: -work_estimates[n])
    for rank, n in enumerate(order):
        path = os.path.join(work, f"{n + 1}-{index_name(games[n], options.depth)}.idx")
        paths.append(path)
        parts[n] = client.submit(build_task, vorline, games[n], sizes[n], options.depth, path,
                                 stop_file, key=f"vorline-build-{n + 1}-{token}",
                                 priority=len(games) - rank, pure=False)
    tasks = list(parts)

    # The merges in the files' order, level by level; the last one writes the target. A
    # merge goes before any build waiting, so that merging overlaps the builds.
    intermediate = {}  # merge future -> the merges below it, whose files it reads
    merges = set()
    for depth, level in enumerate(levels):
        last = depth == len(levels) - 1
        merged = []
        for j, group in enumerate(level):
            if len(group) == 1 and not last:
                merged.append(parts[group[0]])
                continue
            path = target if last else os.path.join(work, f"merge-{token}-{depth + 1}-{j + 1}.idx")
            paths.append(path)
            future = client.submit(merge_task, vorline, path, options.depth, stop_file,
                                   *[parts[i] for i in group],
                                   key=f"vorline-merge-{depth + 1}-{j + 1}-{token}",
                                   priority=len(games) + 1, pure=False)
            intermediate[future] = [parts[i] for i in group if depth > 0 and parts[i] in merges]
            merges.add(future)
            merged.append(future)
            tasks.append(future)
        parts = merged

    try:
        progress.setup_seconds = start_seconds
        return await_tasks(client, options, vorline, target, tasks, intermediate, stop_file,
                           progress)
    finally:
        remove_file(stop_file)
        for folder in {work, os.path.dirname(target)}:
            remove_leftovers(folder, {os.path.basename(path) for path in paths})


def await_tasks(client, options, vorline, target, tasks, intermediate, stop_file, progress):
    """Follows the tasks to their end, or stops them all at the first failure; then answers
    the EPD file when one is given. Returns the exit status."""
    from distributed import as_completed, wait

    failure = None
    try:
        for future in as_completed(tasks):
            if future.status != "finished":
                failure = (future.exception() if future.status == "error" else
                           f"Task {future.key} {future.status} (the scheduler was lost?)")
                break
            path, size, reused = future.result()
            progress.task_done(("reused " if reused else "") + os.path.basename(path), size)
            for done_input in intermediate.get(future, []):
                remove_file(done_input.result()[0])
    except KeyboardInterrupt:
        failure = "Interrupted"
    progress.end()
    if failure is not None:
        # Every task still running stops its vorline, which removes what it was writing,
        # and every task yet to start ends at once; then they are let go.
        try:
            with open(stop_file, "w"):
                pass
        except OSError:  # then the tasks yet to start are cancelled below
            pass
        try:
            wait(tasks, timeout=30)
        except Exception:
            pass
        client.cancel(tasks)
        for future, inputs in intermediate.items():
            for done_input in inputs:
                if done_input.status == "finished":
                    remove_file(done_input.result()[0])
        print(failure, flush=True)
        return 1
    sys.stderr.write(f"index built: {len(tasks)} tasks in {progress.seconds():.2f} s "
                     f"(cluster ready after {progress.setup_seconds:.2f} s)\n")
    sys.stderr.flush()

    if options.epd:
        return subprocess.run([vorline, "-i", target, "-e", options.epd]).returncode
    print("Finished!", flush=True)
    return 0


def remove_leftovers(work, names):
    """Removes what vorline runs killed with their worker left in `work`: files being
    written under a temporary name (the final name and six characters of mkstemp's) for
    the files `names`."""
    pattern = re.compile(r"(.*)\.[A-Za-z0-9]{6}")
    for entry in os.listdir(work):
        match = pattern.fullmatch(entry)
        if match and match.group(1) in names:
            remove_file(os.path.join(work, entry))


def remove_file(path):
    try:
        os.remove(path)
    except FileNotFoundError:
        pass


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
