"""The benchmark's input folder: run-length encoded true-colour TGA files of
game-texture sizes, written by Pillow (compression="tga_rle").

The content compresses the way textures do: each image is a two-colour
gradient stepped into bands, flat shapes over it, and fine noise over part
of it (the cloth and stone of a skin), not pure noise and not one colour.
The 32-bit files carry an alpha channel with cut-out shapes and a fade.
The same seed gives the same files."""
import os
import random

from PIL import Image, ImageDraw, ImageOps

# (size, files at 24 bits, files at 32 bits): many small and middle-sized
# textures, a few large ones, as in a game's texture folder.
MIX = [(64, 5, 3), (128, 5, 3), (256, 6, 4), (512, 5, 3), (1024, 3, 1)]
# Bumped whenever the content changes, so that an old folder is made anew.
VERSION = "1"


def random_colour(rng):
    return tuple(rng.randrange(256) for _ in range(3))


def random_box(rng, size, smallest, largest):
    w = rng.randint(int(size * smallest), int(size * largest))
    h = rng.randint(int(size * smallest), int(size * largest))
    x = rng.randrange(0, size - w + 1)
    y = rng.randrange(0, size - h + 1)
    return (x, y, x + w - 1, y + h - 1)


def colour_image(rng, size):
    # A vertical or horizontal gradient in 16 bands between two colours.
    ramp = Image.linear_gradient("L").point(lambda v: v // 16 * 17)
    if rng.random() < 0.5:
        ramp = ramp.rotate(90)
    ramp = ramp.resize((size, size), Image.NEAREST)
    image = ImageOps.colorize(ramp, random_colour(rng), random_colour(rng))

    draw = ImageDraw.Draw(image)
    for _ in range(rng.randint(3, 8)):
        box = random_box(rng, size, 0.1, 0.5)
        shape = draw.ellipse if rng.random() < 0.4 else draw.rectangle
        shape(box, fill=random_colour(rng))

    # Fine noise, about 12 levels either way, over a third to two thirds of
    # the image; elsewhere runs stay long.
    noise = Image.frombytes("RGB", (size, size), rng.randbytes(3 * size * size))
    noisy = Image.blend(image, noise, 0.1)
    mask = Image.new("L", (size, size), 0)
    mask_draw = ImageDraw.Draw(mask)
    covered = rng.uniform(0.33, 0.66)
    mask_draw.rectangle((0, 0, size - 1, int(size * covered)), fill=255)
    for _ in range(rng.randint(1, 3)):
        mask_draw.ellipse(random_box(rng, size, 0.1, 0.3), fill=0)
    return Image.composite(noisy, image, mask)


def alpha_channel(rng, size):
    # Opaque, with cut-out shapes and a fade along one edge.
    alpha = Image.new("L", (size, size), 255)
    draw = ImageDraw.Draw(alpha)
    for _ in range(rng.randint(1, 4)):
        draw.ellipse(random_box(rng, size, 0.1, 0.4), fill=0)
    fade = Image.linear_gradient("L").resize((size, size // 4))
    alpha.paste(fade, (0, size - size // 4))
    return alpha


def Inputs_Make(folder, seed=22):
    """Writes the mix into folder (made if missing) unless a folder of this
    version is already there; returns the sorted list of file paths."""
    stamp = os.path.join(folder, ".made")
    names = []
    index = 0
    for size, files24, files32 in MIX:
        for bits in [24] * files24 + [32] * files32:
            names.append((index, size, bits, "tex%02d_%d_%d.tga" % (index, size, bits)))
            index += 1
    paths = [os.path.join(folder, name) for _, _, _, name in names]
    made = VERSION + " " + str(seed)
    if os.path.exists(stamp) and open(stamp).read() == made and all(map(os.path.exists, paths)):
        return paths

    os.makedirs(folder, exist_ok=True)
    for entry in os.listdir(folder):
        os.remove(os.path.join(folder, entry))
    for (index, size, bits, name), path in zip(names, paths):
        rng = random.Random(seed * 1000 + index)
        image = colour_image(rng, size)
        if bits == 32:
            image.putalpha(alpha_channel(rng, size))
        image.save(path, compression="tga_rle")
    with open(stamp, "w") as out:
        out.write(made)
    return paths
