"""tgaconv against an independent decoder: Pillow writes run-length encoded
true colour (with and without alpha, bottom to top and top to bottom),
greyscale plain and run-length encoded, greyscale with alpha and 24-bit
colour-mapped files; tgaconv converts them; the library's own reader
(tga_dump) reads each result, which must hold Pillow's decode of the source
pixel for pixel, at the depth tgaconv promises.
Usage: /usr/bin/python3 pillow_compare.py TGACONV TGA_DUMP
Exit 77 (skipped) when python3-pil is not installed."""
import os
import random
import subprocess
import sys
import tempfile

try:
    from PIL import Image
except ImportError:
    print("SKIP: python3-pil is not installed")
    sys.exit(77)

RLE = {"compression": "tga_rle"}
# Name, Pillow mode, save options, bits per pixel tgaconv must write.
CASES = [
    ("rgb_rle.tga", "RGB", RLE, 24),
    ("rgb_rle_top.tga", "RGB", dict(RLE, orientation=1), 24),
    ("rgba_rle.tga", "RGBA", RLE, 32),
    ("grey.tga", "L", {}, 8),
    ("grey_rle.tga", "L", RLE, 8),
    ("grey_alpha_rle.tga", "LA", RLE, 32),
    ("mapped.tga", "P", {}, 24),
    ("mapped_rle.tga", "P", RLE, 24),
]
# A width over 128 pixels, so that packets may meet row ends anywhere.
WIDTH, HEIGHT = 157, 23


def picture(mode, rng):
    """Rows of runs of one pixel and stretches of noise, so that both kinds
    of packet occur."""
    channels = {"L": 1, "LA": 2, "RGB": 3, "RGBA": 4, "P": 1}[mode]
    data = bytearray()
    while len(data) < WIDTH * HEIGHT * channels:
        pixel = bytes(rng.randrange(40 if mode == "P" else 256) for _ in range(channels))
        if rng.random() < 0.5:
            data += pixel * rng.randrange(1, 300)
        else:
            for _ in range(rng.randrange(1, 40)):
                data += bytes(rng.randrange(40 if mode == "P" else 256) for _ in range(channels))
    image = Image.frombytes(mode, (WIDTH, HEIGHT), bytes(data[: WIDTH * HEIGHT * channels]))
    if mode == "P":
        image.putpalette(bytes(rng.randrange(256) for _ in range(40 * 3)))
    return image


def expected_bytes(source, bits):
    """Pillow's decode as the library's reader gives it: rows bottom to top,
    B,G,R(,A) or grey."""
    mode, raw = {8: ("L", "L"), 24: ("RGB", "BGR"), 32: ("RGBA", "BGRA")}[bits]
    return source.convert(mode).transpose(Image.FLIP_TOP_BOTTOM).tobytes("raw", raw)


def main():
    tgaconv, tga_dump = sys.argv[1], sys.argv[2]
    rng = random.Random(22)
    failures = []
    with tempfile.TemporaryDirectory() as work:
        source_dir, out_dir = os.path.join(work, "src"), os.path.join(work, "out")
        os.mkdir(source_dir)
        for name, mode, options, _ in CASES:
            picture(mode, rng).save(os.path.join(source_dir, name), **options)
        run = subprocess.run([tgaconv, "-o", out_dir, source_dir], capture_output=True, text=True)
        if run.returncode != 0:
            print(f"FAIL: tgaconv exit {run.returncode}: {run.stdout}{run.stderr}")
            return 1
        for name, _, _, bits in CASES:
            read = subprocess.run([tga_dump, os.path.join(out_dir, name)], capture_output=True)
            head, _, pixels = read.stdout.partition(b"\n")
            if read.returncode != 0 or head.decode() != f"{WIDTH} {HEIGHT} {bits}":
                failures.append(f"{name}: the reader gives '{head.decode()}' {read.stderr.decode()}")
                continue
            with Image.open(os.path.join(source_dir, name)) as source:
                want = expected_bytes(source, bits)
            if pixels != want:
                at = next(i for i in range(min(len(pixels), len(want))) if pixels[i] != want[i])
                failures.append(f"{name}: byte {at} of the pixels is {pixels[at]}, Pillow says {want[at]}")
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print(f"PASS: {len(CASES)} files as Pillow decodes them")
    return 1 if failures else 0


sys.exit(main())
