"""Times tgaconv over a folder of run-length encoded textures against its
peers and its floor, each one process over the whole folder:

  tgaconv      tgaconv -o OUT FOLDER
  Pillow       one Python process opening each file and saving it
               uncompressed (compression=None)
  ImageMagick  mogrify -path OUT -format tga -compress None FILES...
  floor        tgaconv_floor: each input read whole, as many bytes written as
               tgaconv's output of it holds, no fsync

One untimed pass of each warms the page cache and is checked: every output
must be an uncompressed true-colour file of the input's size and depth whose
pixels, read back by Pillow, are the input's, so that a peer that skips work
cannot look fast. Then each runs REPETITIONS times, the order turned each
time, into an emptied folder; the figure is the fastest wall time.

Run by bench/tgaconv_bench.sh with Debian's /usr/bin/python3 (python3-pil)."""
import argparse
import os
import shutil
import subprocess
import sys
import time

from PIL import Image, __version__ as pillow_version

import tgaconv_inputs

PILLOW_PEER = r"""
import os, sys
from PIL import Image
source, target = sys.argv[1], sys.argv[2]
for name in sorted(os.listdir(source)):
    if name.lower().endswith(".tga"):
        with Image.open(os.path.join(source, name)) as image:
            image.save(os.path.join(target, name), compression=None)
"""


def command_of(peer, args, inputs, out):
    if peer == "tgaconv":
        return [args.tgaconv, "-o", out, os.path.dirname(inputs[0])]
    if peer == "Pillow":
        return [sys.executable, "-c", PILLOW_PEER, os.path.dirname(inputs[0]), out]
    if peer == "ImageMagick":
        return [args.mogrify, "-path", out, "-format", "tga", "-compress", "None"] + inputs
    return [args.floor, os.path.join(args.work, "floor.list")]


def run_once(command, out):
    """Empties out, runs the command into it; the wall time in seconds."""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    start = time.perf_counter()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("%s: exit status %d\n%s" % (command[0], done.returncode, done.stderr.decode(errors="replace")))
    return seconds


def header_problem(source, written):
    """What is wrong with one output of a converter, or None."""
    if not os.path.exists(written):
        return "missing"
    head = open(written, "rb").read(18)
    original = open(source, "rb").read(18)
    if len(head) < 18 or head[1] != 0 or head[2] != 2:
        return "not an uncompressed true-colour file (type %d)" % (head[2] if len(head) > 2 else -1)
    if head[12:17] != original[12:17]:
        return "size or depth differs from the input's"
    pixel_bytes = int.from_bytes(head[12:14], "little") * int.from_bytes(head[14:16], "little") * head[16] // 8
    if os.path.getsize(written) < 18 + head[0] + pixel_bytes:
        return "shorter than its pixels"
    with Image.open(source) as a, Image.open(written) as b:
        if a.mode != b.mode or a.tobytes() != b.tobytes():
            return "pixels differ from the input's"
    return None


def check_outputs(peer, inputs, out, tgaconv_out):
    problems = []
    for source in inputs:
        name = os.path.basename(source)
        written = os.path.join(out, name)
        if peer == "floor":
            if not os.path.exists(written):
                problem = "missing"
            elif os.path.getsize(written) != os.path.getsize(os.path.join(tgaconv_out, name)):
                problem = "size differs from tgaconv's output"
            else:
                problem = None
        else:
            problem = header_problem(source, written)
        if problem:
            problems.append("%s: %s: %s" % (peer, name, problem))
    return problems


def shown(seconds):
    return "%8.1f ms" % (seconds * 1e3)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tgaconv", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--mogrify", default=shutil.which("mogrify") or "mogrify")
    parser.add_argument("--work", required=True, help="folder for the inputs and the outputs")
    parser.add_argument("--repetitions", type=int, default=10)
    args = parser.parse_args()
    args.work = os.path.abspath(args.work)

    inputs = tgaconv_inputs.Inputs_Make(os.path.join(args.work, "in"))
    peers = ["tgaconv", "Pillow", "ImageMagick", "floor"]
    outs = {peer: os.path.join(args.work, "out-" + peer) for peer in peers}
    commands = {peer: command_of(peer, args, inputs, outs[peer]) for peer in peers}

    # The warm pass; tgaconv's outputs give the floor its sizes.
    run_once(commands["tgaconv"], outs["tgaconv"])
    with open(os.path.join(args.work, "floor.list"), "w") as listing:
        for source in inputs:
            written = os.path.join(outs["tgaconv"], os.path.basename(source))
            size = os.path.getsize(written) if os.path.exists(written) else 0
            listing.write("%d\t%s\t%s\n" % (size, source, os.path.join(outs["floor"], os.path.basename(source))))
    for peer in peers[1:]:
        run_once(commands[peer], outs[peer])
    problems = []
    for peer in peers:
        problems += check_outputs(peer, inputs, outs[peer], outs["tgaconv"])
    if problems:
        print("\n".join(problems))
        sys.exit("wrong outputs: no figures")

    load = os.getloadavg()[0]
    best = {peer: float("inf") for peer in peers}
    for repetition in range(args.repetitions):
        turn = repetition % len(peers)
        for peer in peers[turn:] + peers[:turn]:
            best[peer] = min(best[peer], run_once(commands[peer], outs[peer]))

    read_bytes = sum(map(os.path.getsize, inputs))
    written_bytes = sum(os.path.getsize(os.path.join(outs["tgaconv"], os.path.basename(p))) for p in inputs)
    magick = subprocess.run([args.mogrify, "-version"], capture_output=True, text=True).stdout.split("\n")[0]
    print("-- tgaconv over %d run-length encoded TGA files, 64 to 1024 pixels square, 24 and 32 bits:"
          % len(inputs))
    print("   %.2f MB read, %.2f MB written by tgaconv; best wall time of %d, one process each"
          % (read_bytes / 1e6, written_bytes / 1e6, args.repetitions))
    print("   load %.2f before, %.2f after; Pillow %s, %s"
          % (load, os.getloadavg()[0], pillow_version, magick.replace("Version: ", "")))
    print("%-44s %14s %14s %9s" % ("tgaconv vs peer or floor", "tgaconv", "peer", "ratio"))
    for peer, what in (("Pillow", "one python3 process"), ("ImageMagick", "mogrify"),
                       ("floor", "read + write, tgaconv_floor")):
        print("%-44s %14s %14s %9.2f" % ("%s (%s)" % (peer, what),
                                         shown(best["tgaconv"]), shown(best[peer]),
                                         best["tgaconv"] / best[peer]))


main()
