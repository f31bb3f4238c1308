#!/usr/bin/python3
"""Tests of the cluster driver: the reference games cut into files of uneven sizes, some
compressed, indexed on a local cluster and on a scheduler with workers of their own (one
killed midway) answer byte for byte as one vorline run over the whole file; an input that
cannot be read and a damaged per-file index end the job with their message and leave no
index. Run with the vorline executable in VORLINE_EXE and the reference data in
VORLINE_DATA_DIR; a test skips when the data is absent."""

import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
DRIVER = os.path.join(HERE, "vorline_cluster.py")
VORLINE = os.environ.get("VORLINE_EXE", os.path.join(HERE, "..", "build", "vorline"))
DATA = os.environ.get("VORLINE_DATA_DIR", os.path.join(HERE, "..", "..", "shared", "data"))
GAMES = os.path.join(DATA, "games", "bench.pgn")
POSITIONS = os.path.join(DATA, "epd", "popularpos_lichess_v3.epd")
PYTHON = "/usr/bin/python3"

# The shares of the games in each of the seven files, and how each is compressed.
SHARES = [0.30, 0.05, 0.20, 0.02, 0.15, 0.08, 0.20]
COMPRESSORS = [["zstd", "-q", "--rm", "-1"], None, ["gzip", "-1"], None, ["xz", "-0"], None, None]
SUFFIXES = [".zst", "", ".gz", "", ".xz", "", ""]


def cut_games(data, shares, folder):
    """Writes `data` cut at game boundaries into files that hold the given shares of its
    games, compressed as COMPRESSORS says; returns their names in order."""
    starts = [0] + [match.start() + 1 for match in re.finditer(rb"\n\[Event ", data)]
    cuts, total = [0], 0.0
    for share in shares[:-1]:
        total += share
        cuts.append(starts[int(total * len(starts))])
    cuts.append(len(data))
    names = []
    for n in range(len(shares)):
        name = os.path.join(folder, f"part{n + 1}.pgn")
        with open(name, "wb") as file:
            file.write(data[cuts[n]:cuts[n + 1]])
        if COMPRESSORS[n % len(COMPRESSORS)]:
            subprocess.run(COMPRESSORS[n % len(COMPRESSORS)] + [name], check=True)
            name += SUFFIXES[n % len(SUFFIXES)]
        names.append(name)
    return names


def answers(folder, *arguments):
    """The games and failed lines of `vorline <arguments> -e pos.epd` run in `folder`."""
    shutil.copy(POSITIONS, os.path.join(folder, "pos.epd"))
    if os.path.exists(os.path.join(folder, "pos.pgn")):
        os.remove(os.path.join(folder, "pos.pgn"))  # vorline appends to it
    subprocess.run([VORLINE, *arguments, "-e", "pos.epd"], cwd=folder, check=True,
                   stdout=subprocess.DEVNULL)
    with open(os.path.join(folder, "pos.pgn"), "rb") as games, \
            open(os.path.join(folder, "failed.epd"), "rb") as failed:
        return games.read(), failed.read()


class ClusterTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vorline-cluster-")
        self.index = os.path.join(self.folder, "all.idx")
        self.work = self.index + ".work"

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def need_data(self):
        if not os.path.exists(GAMES) or not os.path.exists(POSITIONS):
            self.skipTest(f"reference data absent ({DATA})")

    def driver(self, files, *more, scheduler=None, index=None):
        """Runs the driver to its end: its status, standard output and standard error."""
        arguments = [PYTHON, DRIVER, "--vorline", VORLINE, "-w", index or self.index, *more,
                     *files]
        arguments += ["--scheduler", scheduler] if scheduler else ["--workers", "2"]
        result = subprocess.run(arguments, cwd=self.folder, capture_output=True, text=True,
                                timeout=240)
        return result.returncode, result.stdout, result.stderr

    def expect_answers_as_one_run(self):
        direct = os.path.join(self.folder, "direct")
        if not os.path.isdir(direct):
            os.mkdir(direct)
            self.direct = answers(direct, "-p", GAMES)
        self.assertTrue(self.direct == answers(self.folder, "-i", self.index))

    def expect_finished(self, status, out, err, tasks):
        """A job that ended well: all its tasks done, and an index that answers as one run
        over all the games does."""
        self.assertEqual(status, 0, out + err)
        self.assertTrue(out.endswith("Finished!\n"), out)
        self.assertIn(f"{tasks} of {tasks} tasks", err)
        self.expect_answers_as_one_run()

    def expect_failure(self, status, out, message):
        self.assertNotEqual(status, 0)
        self.assertIn(message, out)
        self.assertNotIn("Finished!", out)
        self.assertFalse(os.path.exists(self.index))
        # Neither intermediate merges nor torn files stay behind.
        self.assertEqual([name for name in os.listdir(self.work) if "merge" in name
                          or not name.endswith(".idx")], [])

    def start_cluster(self):
        """Starts a scheduler and two workers of one thread each as processes of their own
        on 127.0.0.1, each in a process group with the vorline runs it starts; returns the
        scheduler's address and its scheduler file. They are killed when the test ends."""
        address_file = os.path.join(self.folder, "scheduler.json")
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL,
                 "start_new_session": True, "cwd": self.folder}
        self.started = [subprocess.Popen(
            ["dask-scheduler", "--host", "127.0.0.1", "--port", "0", "--no-dashboard",
             "--scheduler-file", address_file], **quiet)]
        self.addCleanup(self.stop_cluster)
        for _ in range(2):
            self.started.append(subprocess.Popen(
                ["dask-worker", "--scheduler-file", address_file, "--host", "127.0.0.1",
                 "--nthreads", "1", "--no-nanny", "--no-dashboard"], **quiet))
        for _ in range(600):
            if os.path.exists(address_file) and os.path.getsize(address_file) > 0:
                break
            time.sleep(0.1)
        with open(address_file) as file:
            return json.load(file)["address"], address_file

    def stop_cluster(self):
        for process in reversed(self.started):
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()

    def test_local_cluster_answers_as_one_run(self):
        self.need_data()
        with open(GAMES, "rb") as file:
            files = cut_games(file.read(), SHARES, self.folder)
        status, out, err = self.driver(files)
        self.expect_finished(status, out, err, 8)
        self.assertEqual(len(os.listdir(self.work)), 7)

    def test_workers_started_apart_one_killed_midway(self):
        self.need_data()
        with open(GAMES, "rb") as file:
            files = cut_games(file.read(), SHARES, self.folder)
        address, _ = self.start_cluster()
        driver = subprocess.Popen(
            [PYTHON, DRIVER, "--vorline", VORLINE, "-w", self.index, "--scheduler", address,
             *files], cwd=self.folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        # Once the first task is done the others are under way: one worker goes down with
        # the vorline it runs, and its task runs again on the other.
        first = driver.stderr.readline()
        self.assertIn("1 of 8 tasks", first)
        os.killpg(self.started[1].pid, signal.SIGKILL)
        out, err = driver.communicate(timeout=240)
        self.expect_finished(driver.returncode, out, first + err, 8)

        # A rerun reuses every per-file index, and a tree of merges answers the same.
        os.remove(self.index)
        status, out, err = self.driver(files, "--fan-in", "2", scheduler=address)
        self.expect_finished(status, out, err, 13)
        self.assertEqual(err.count("reused"), 7, err)
        self.assertEqual(len(os.listdir(self.work)), 7)

    def test_faults_end_the_job_with_their_message(self):
        self.need_data()
        with open(GAMES, "rb") as file:
            files = cut_games(file.read(10_000_000), SHARES[:3], self.folder)

        _, address = self.start_cluster()  # the driver reads the scheduler file
        status, out, _ = self.driver(files + [os.path.join(self.folder, "nowhere.pgn")],
                                     scheduler=address)
        self.assertNotEqual(status, 0)
        self.assertIn("Problem with input pgn-file " + os.path.join(self.folder, "nowhere.pgn"),
                      out)
        self.assertFalse(os.path.exists(self.index))
        # Games are never written over.
        with open(files[1], "rb") as file:
            games = file.read()
        status, out, _ = self.driver(files, scheduler=address, index=files[1])
        self.assertNotEqual(status, 0)
        self.assertIn("Output file is an input file: " + files[1], out)
        with open(files[1], "rb") as file:
            self.assertTrue(file.read() == games)

        # A compressed file cut short cannot be read whole.
        with open(files[2], "rb") as file:
            compressed = file.read()
        with open(files[2], "wb") as file:
            file.write(compressed[:len(compressed) // 2])
        status, out, _ = self.driver(files, scheduler=address)
        self.expect_failure(status, out, "Error while reading " + files[2])
        with open(files[2], "wb") as file:
            file.write(compressed)

        # A per-file index damaged after it was built is not taken, nor built over.
        status, out, err = self.driver(files, scheduler=address)
        self.assertEqual(status, 0, out + err)
        os.remove(self.index)
        damaged = os.path.join(self.work, sorted(os.listdir(self.work))[1])
        with open(damaged, "r+b") as file:
            file.seek(os.path.getsize(damaged) // 2)
            byte = file.read(1)
            file.seek(-1, os.SEEK_CUR)
            file.write(bytes([byte[0] ^ 1]))
        status, out, _ = self.driver(files, scheduler=address)
        self.expect_failure(status, out, f"Problem with index file {damaged}: corrupted")

        os.remove(damaged)
        status, out, err = self.driver(files, scheduler=address)
        self.assertEqual(status, 0, out + err)
        self.assertEqual(err.count("reused"), 2, err)


if __name__ == "__main__":
    unittest.main()
