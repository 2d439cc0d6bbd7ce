#!/usr/bin/python3
"""Seeds of fuzz_image_decode, written with Pillow (python3-pil) into the
folder given: small JPEG files (baseline, progressive, subsampled, grey),
PNG files (RGB, RGBA, palette with a transparent entry, grey, grey with
alpha, 16-bit) and a run-length TGA file, each behind the byte that makes
the harness name it .tga (0), .jpg (1) or .png (2). Without Pillow it says
so and writes nothing."""
import io
import os
import sys

try:
    from PIL import Image
except ImportError:
    print("image_seeds.py: no Pillow (python3-pil), no JPEG or PNG seeds")
    sys.exit(0)

TGA, JPG, PNG = b"\x00", b"\x01", b"\x02"
# 3 x 2 pixels, 24-bit, run-length encoded (type 10), rows top to bottom:
# a run of three, then three raw pixels.
RLE_TGA = (bytes([0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0x20]) +
           bytes([0x82, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12]))


def picture(mode, width=19, height=13):
    """A gradient with a hard edge, so that every block has detail."""
    img = Image.new("RGBA", (width, height))
    img.putdata([((x * 13) % 256, (y * 19) % 256, 255 if x < width // 2 else 0, (x * y * 7) % 256)
                 for y in range(height) for x in range(width)])
    return img.convert(mode)


def encoded(img, **options):
    out = io.BytesIO()
    img.save(out, **options)
    return out.getvalue()


def main(folder):
    os.makedirs(folder, exist_ok=True)
    palette = picture("RGB").convert("P", palette=Image.ADAPTIVE, colors=16)
    palette.info["transparency"] = 3
    seeds = {
        "rle.tga": TGA + RLE_TGA,
        "baseline.jpg": JPG + encoded(picture("RGB"), format="JPEG", quality=90),
        "progressive.jpg": JPG + encoded(picture("RGB"), format="JPEG", quality=90, progressive=True),
        "subsampled.jpg": JPG + encoded(picture("RGB", 40, 24), format="JPEG", quality=50, subsampling=2),
        "grey.jpg": JPG + encoded(picture("L"), format="JPEG"),
        "rgb.png": PNG + encoded(picture("RGB"), format="PNG"),
        "rgba.png": PNG + encoded(picture("RGBA"), format="PNG"),
        "palette.png": PNG + encoded(palette, format="PNG"),
        "grey.png": PNG + encoded(picture("L"), format="PNG"),
        "grey_alpha.png": PNG + encoded(picture("LA"), format="PNG"),
        "sixteen.png": PNG + encoded(picture("L").convert("I;16"), format="PNG"),
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
