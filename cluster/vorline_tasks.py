"""The tasks of the cluster driver (vorline_cluster.py), which its workers import: a build
of one game file's index and a merge of indexes, each a run of the vorline executable."""

import os
import subprocess

# How often a task looks whether the job has failed meanwhile, in seconds.
STOP_POLL_SECONDS = 0.5


def job_stopped(stop_file):
    """Whether the job's client has asked every task to stop (a failure elsewhere): it
    does so by creating `stop_file` in the shared working folder. Looking costs a stat
    where asking the scheduler would cost a connection from the worker, and a task asks
    before it starts its run and twice a second while the run goes on."""
    return stop_file is not None and os.path.exists(stop_file)


def run_vorline(arguments, stop_file=None):
    """Runs vorline to its end; returns none, or what went wrong: vorline's own message
    (which names the file), or how it ended. A run still going when the job stops is
    interrupted, which makes vorline remove what it was writing."""
    process = subprocess.Popen(arguments, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               stdin=subprocess.DEVNULL, text=True, errors="replace")
    stopping = False
    while True:
        try:
            output, _ = process.communicate(timeout=STOP_POLL_SECONDS)
            break
        except subprocess.TimeoutExpired:
            if not stopping and job_stopped(stop_file):
                process.terminate()
                stopping = True
    if process.returncode == 0:
        return None
    lines = [line for line in output.splitlines()
             if line and not line.startswith(("reading ", "writing ", "Type 'vorline -h'"))]
    if process.returncode < 0:
        lines.append(f"{' '.join(arguments)} ended by signal {-process.returncode}")
    return "; ".join(lines) or f"{' '.join(arguments)} ended with status {process.returncode}"


class VorlineFailed(RuntimeError):
    """A run of vorline that failed. The client tells failures by the future's state, not
    by this class, which it need not be able to import."""


def worker_threads():
    """The threads for this task's vorline: its share of the threads of the worker it runs
    on, which runs as many tasks at once as it has threads (1 outside a worker)."""
    try:
        from distributed import get_worker
        state = get_worker().state
        return max(1, int(state.nthreads) // max(1, int(state.executing_count)))
    except Exception:
        return 1


def missing_on_worker(vorline, work):
    """What of the job's shared files this worker cannot see: none, or the first missing."""
    if not os.access(vorline, os.X_OK):
        return f"the vorline executable {vorline}"
    if not os.path.isdir(work) or not os.access(work, os.W_OK):
        return f"the working folder {work}"
    return None


def build_task(vorline, game_file, size, depth, target, stop_file):
    """Indexes one game file into `target`, or finds its complete index there from an
    earlier job (every block checked by vorline). Returns the target, the bytes of games
    read and whether the index was reused."""
    if job_stopped(stop_file):
        raise VorlineFailed("stopped")
    if os.path.exists(target):
        failure = run_vorline([vorline, "-i", target, "-d", str(depth)], stop_file)
        if failure:
            raise VorlineFailed(f"{failure} (an index kept from an earlier job: remove it "
                                "to build it again)")
        return target, size, True
    failure = run_vorline([vorline, "-p", game_file, "-d", str(depth), "-t",
                           str(worker_threads()), "-w", target], stop_file)
    if failure:
        raise VorlineFailed(failure)
    return target, size, False


def merge_task(vorline, target, depth, stop_file, *parts):
    """Merges the indexes `parts` (results of earlier tasks), in order, into `target`."""
    if job_stopped(stop_file):
        raise VorlineFailed("stopped")
    arguments = [vorline, "-d", str(depth)]
    for path, _, _ in parts:
        arguments += ["-i", path]
    failure = run_vorline(arguments + ["-w", target], stop_file)
    if failure:
        raise VorlineFailed(failure)
    return target, 0, False
