"""Prepared Wine prefixes: one per kind of bench and Windows version, made
once with wineboot in a cache folder and copied for each trial, so that a
trial costs about what the medium's own run costs. A prefix is made again
when the Wine version or the bench's scripts change; one whose making was
cut off is never used."""

import fcntl
import hashlib
import json
import os
import shutil
import subprocess
import time

from .processes import TOOLS, Failure, run_quietly

READY = "ready"                 # written last: the prefix beside it is whole
BASELINE = "baseline.json"      # what a run of an empty medium changes on the prefix
BASELINE_WAIT_SECONDS = 300     # what a trial waits for another that makes the baseline
BASELINE_RETRY_SECONDS = 600    # how long a failed making stands before a trial tries again
# The Windows versions a trial can show: the name a user gives, Wine's own.
WINDOWS_VERSIONS = {"98": "win98", "2000": "win2k", "xp": "winxp"}
DEFAULT_WINDOWS = "2000"        # what a trial shows when no version is asked for
MAKING_SECONDS = 600


def default_cache():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(base, "qvkit", "try-media")


def cache_key(arch, windows):
    """What a prepared prefix depends on: the Wine version, the bench's
    scripts, the kind of bench and the Windows version."""
    digest = hashlib.sha256()
    try:
        digest.update(subprocess.run(["wine", "--version"], capture_output=True, timeout=60).stdout)
    except (OSError, subprocess.TimeoutExpired):
        raise Failure("wine can't be started")
    for script in ("bench", "bench-env.sh"):
        with open(os.path.join(TOOLS, script), "rb") as source:
            digest.update(source.read())
    return "%s-%s-%s" % (arch, windows or "default", digest.hexdigest()[:16])


def make_prefix(entry, arch, windows_version, env):
    """Makes the prepared prefix of `entry` in a folder of its own, then
    moves it into place and marks it ready."""
    making = entry + ".making"
    shutil.rmtree(making, ignore_errors=True)
    os.makedirs(making)
    with open(os.path.join(making, "arch"), "w") as kind:
        kind.write(arch)
    bench = [os.path.join(TOOLS, "bench")]
    try:
        if run_quietly(bench + ["start", making], env=env, seconds=MAKING_SECONDS) != 0:
            raise Failure("the Wine prefix could not be made in the cache %s" % making)
        if windows_version:
            bench_env = dict(env, WINEPREFIX=os.path.join(making, "prefix"))
            run_quietly(["wine", "reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d",
                         windows_version, "/f"], env=bench_env)
    finally:
        run_quietly(bench + ["stop", making], env=env, seconds=60)
    shutil.rmtree(entry, ignore_errors=True)
    os.makedirs(entry)
    os.rename(os.path.join(making, "prefix"), os.path.join(entry, "prefix"))
    shutil.rmtree(making, ignore_errors=True)
    open(os.path.join(entry, READY), "w").close()


def is_whole(entry):
    """True for a prepared prefix that was made to its end and still has its registry."""
    return (os.path.isfile(os.path.join(entry, READY)) and
            os.path.isfile(os.path.join(entry, "prefix", "system.reg")))


def remove_outdated(cache, key):
    """Removes the prefixes of the same kind of bench and Windows version made
    for another Wine or other bench scripts, unless a trial is making one."""
    kind = key.rsplit("-", 1)[0] + "-"
    for name in os.listdir(cache):
        if not name.startswith(kind) or name.startswith(key) or not name.endswith(".lock"):
            continue
        outdated = os.path.join(cache, name[:-len(".lock")])
        with open(os.path.join(cache, name), "w") as lock:
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except OSError:
                continue
            shutil.rmtree(outdated, ignore_errors=True)
            shutil.rmtree(outdated + ".making", ignore_errors=True)
            if os.path.exists(outdated + ".baseline.lock"):
                os.remove(outdated + ".baseline.lock")
            os.remove(os.path.join(cache, name))


def prepared_prefix(cache, arch, windows, env):
    """The prepared prefix for a trial showing Windows `windows` (a key of
    WINDOWS_VERSIONS, or None for Wine's default), made when there is none
    (one maker at a time: trials that start together wait for it); its folder."""
    try:
        os.makedirs(cache, exist_ok=True)
        key = cache_key(arch, windows)
        entry = os.path.join(cache, key)
        with open(entry + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not is_whole(entry):
                make_prefix(entry, arch, WINDOWS_VERSIONS.get(windows), env)
                remove_outdated(cache, key)
    except OSError as error:
        raise Failure("the cache folder %s can't be used: %s" % (cache, error))
    return os.path.join(entry, "prefix")


def prepared_prefix_of_tree(tree, cache, windows, display):
    """The prepared prefix for a trial of the build tree `tree`'s kind."""
    with open(os.path.join(tree, "bench", "arch")) as kind:
        arch = kind.read().strip()
    env = dict(os.environ)
    if not display:
        env.pop("DISPLAY", None)
    return prepared_prefix(cache, arch, windows, env)


def copy_prefix(prepared, target):
    """The trial's prefix, made of the prepared one: an overlay mount where
    the system allows one (the prepared prefix below it, never written, the
    trial's changes in a folder beside it), else a copy (links as links).
    True when it is a mount, which unmount_prefix ends."""
    if mount_overlay(prepared, target):
        return True
    if run_quietly(["cp", "-a", "--reflink=auto", prepared, target], seconds=300) != 0:
        raise Failure("the prepared prefix %s could not be copied" % prepared)
    return False


def mount_overlay(prepared, target):
    """Mounts `prepared` as the lower layer of `target`; False where the
    system allows no such mount (not root, a temporary folder that is an
    overlay itself) or a path can't be written in the mount's options."""
    layers = target + ".layers"
    if any(c in p for p in (prepared, layers) for c in ",:\\"):
        return False
    upper, scratch = os.path.join(layers, "upper"), os.path.join(layers, "work")
    for folder in (upper, scratch, target):
        os.makedirs(folder)
    options = "lowerdir=%s,upperdir=%s,workdir=%s" % (prepared, upper, scratch)
    if run_quietly(["mount", "-t", "overlay", "overlay", "-o", options, target], seconds=30) == 0 \
            and os.path.ismount(target):
        return True
    os.rmdir(target)
    shutil.rmtree(layers, ignore_errors=True)
    return False


def unmount_prefix(target):
    """Ends the overlay mount of a trial's prefix (lazily when a program that
    escaped the trial's end still holds a file of it)."""
    if os.path.ismount(target) and run_quietly(["umount", target], seconds=30) != 0:
        run_quietly(["umount", "-l", target], seconds=30)


def cached_baseline(prepared, inputs, make, wait_seconds=BASELINE_WAIT_SECONDS):
    """What a run of an empty medium changes on copies of the prepared
    prefix `prepared` (Wine's own churn): {"changes": ...} as `make()`
    answers it, or {"failed": why}. Made once for the `inputs` (a digest of
    the programs and scripts that make it) and kept beside the prefix; a
    failed making is kept for a while too, so that trials that wait for it
    do not each try again. Trials wait at most `wait_seconds` for one that makes it."""
    entry = os.path.dirname(prepared)
    path = os.path.join(entry, BASELINE)
    try:
        with open(entry + ".baseline.lock", "w") as lock:
            deadline = time.monotonic() + wait_seconds
            while True:
                try:
                    fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                    break
                except OSError:
                    if time.monotonic() > deadline:
                        return {"failed": "another trial was still making it after %d s" % wait_seconds}
                    time.sleep(1)
            try:
                with open(path, encoding="utf-8") as kept:
                    baseline = json.load(kept)
                # A failed making is tried again once it is a while old.
                if is_baseline(baseline) and baseline["inputs"] == inputs and \
                        ("failed" not in baseline or time.time() - baseline["made"] < BASELINE_RETRY_SECONDS):
                    return baseline
            except (OSError, ValueError):
                pass
            baseline = dict(make(), inputs=inputs, made=time.time())
            with open(path + ".new", "w", encoding="utf-8") as new:
                json.dump(baseline, new)
            os.replace(path + ".new", path)
            return baseline
    except OSError as error:
        return {"failed": "the cache can't keep it: %s" % error}


def is_baseline(data):
    """True for a baseline as cached_baseline keeps it: made for some inputs,
    either failed (why) or the changes by kind, each name's [how, value]."""
    if not (isinstance(data, dict) and isinstance(data.get("inputs"), str) and
            isinstance(data.get("made"), (int, float))):
        return False
    if "failed" in data:
        return isinstance(data["failed"], str)
    changes = data.get("changes")
    return isinstance(changes, dict) and all(
        isinstance(changes.get(kind), dict) and
        all(isinstance(v, list) and len(v) == 2 for v in changes[kind].values()) for kind in ("files", "registry"))
