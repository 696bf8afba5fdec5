#!/usr/bin/env python3
"""Generated trees for bench/ntbackup.sh.

    tree.py ROOT mixed FILES MEGABYTES   most files small, a few large (Pareto), about MEGABYTES in all
    tree.py ROOT tiny FILES              empty files, a thousand to a folder
    tree.py ROOT touch N ROUND [PATH]    changes N files of a mixed tree, and PATH (for an Incremental)
"""
import os
import random
import sys


def mixed(root, files, mb):
    random.seed(7)
    weights = [random.paretovariate(1.2) for _ in range(files)]
    scale = mb * 1024 * 1024 / sum(weights)
    block = os.urandom(1 << 20)
    for i, w in enumerate(weights):
        d = os.path.join(root, "d%03d" % (i % 400), "s%02d" % (i % 7))
        os.makedirs(d, exist_ok=True)
        size = int(w * scale)
        with open(os.path.join(d, "f%06d.bin" % i), "wb") as f:
            while size > 0:
                f.write(block[: min(size, len(block))])
                size -= len(block)


def tiny(root, files):
    for i in range(files):
        d = os.path.join(root, "d%04d" % (i // 1000))
        if i % 1000 == 0:
            os.makedirs(d, exist_ok=True)
        os.close(os.open(os.path.join(d, "f%07d" % i), os.O_CREAT | os.O_WRONLY, 0o644))


def touch(root, n, round_, extra):
    paths = [os.path.join("d%03d" % (i % 400), "s%02d" % (i % 7), "f%06d.bin" % i) for i in range(0, n * 997, 997)]
    for path in paths + extra:
        with open(os.path.join(root, path), "ab") as f:
            f.write(b"round %d\n" % round_)


root, shape = sys.argv[1], sys.argv[2]
os.makedirs(root, exist_ok=True)
if shape == "mixed":
    mixed(root, int(sys.argv[3]), int(sys.argv[4]))
elif shape == "tiny":
    tiny(root, int(sys.argv[3]))
elif shape == "touch":
    touch(root, int(sys.argv[3]), int(sys.argv[4]), sys.argv[5:])
else:
    sys.exit("unknown shape " + shape)
