"""Processes of a trial: commands run quietly in sessions of their own,
bounded in time and ended with everything they started, and the failure
that makes a trial impossible."""

import os
import signal
import subprocess

TOOLS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_CALL_SECONDS = 120     # the longest any one helper call of Wine may take


class Failure(Exception):
    """A trial that could not be made: exit code 2."""


def run_quietly(command, env=None, seconds=WINE_CALL_SECONDS, cwd=None):
    """Runs a command with no output, in a session of its own; answers its
    exit code, or -1 when it can't start or does not end within `seconds`
    (it is then killed with everything it started)."""
    return wait_quietly(start_quietly(command, env, cwd), seconds)


def start_quietly(command, env=None, cwd=None):
    """Starts a command with no output, in a session of its own; None when
    it can't start."""
    try:
        return subprocess.Popen(command, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
    except OSError:
        return None


def wait_quietly(process, seconds):
    """The exit code of a command of start_quietly, or -1 when it did not
    start or end within `seconds` (it is then killed with what it started)."""
    if process is None:
        return -1
    try:
        return process.wait(max(seconds, 1))
    except subprocess.TimeoutExpired:
        kill_session(process)
        return -1


def kill_session(process):
    """Ends a process started in a session of its own, and what it started."""
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except OSError:
        pass
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        pass
