#!/usr/bin/python3
# Makes the program's pictures: the wallpaper (wallpaper.jpg), the 28 piece pictures (koma/<name>1.gif for
# the player, koma/<name>2.gif for the computer, turned 180 degrees), their drawings at twice and four
# times the size for a scaled-up view (koma/<name><side>@2x.gif, @4x.gif) and the window icons (icons/*.png).
# Run with Debian's python3 and python3-pil; the kanji come from fonts-noto-cjk (or fonts-ipafont-gothic).
#   /usr/bin/python3 res/make_pictures.py            (writes into res/)
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))

# Fonts in order of preference: a bold serif face looks most like carved pieces; the Gothic face of the
# set-up is the fallback.
FONTS = [
    ("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc", "Noto Serif CJK JP"),
    ("/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc", "Noto Sans CJK JP"),
    ("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", "IPAGothic"),
]

TILE = 32          # the part of a piece picture the board uses
DETAIL = (2, 4)    # the larger drawings of each piece: the view scaled up picks the one it needs
SCALE = 8          # drawn this many times larger, then reduced, for smooth kanji
WHITE = (255, 255, 255)
WOOD = (236, 196, 120)       # piece face
WOOD_EDGE = (150, 100, 40)   # carved rim
INK = (20, 14, 8)
RED_INK = (200, 16, 16)

# name, character on the face, promoted (red), width of the piece in pixels (kings largest, pawns smallest)
PIECES = [
    ("hu", "歩", False, 24), ("kyo", "香", False, 25), ("kei", "桂", False, 26), ("gin", "銀", False, 27),
    ("kin", "金", False, 27), ("kaku", "角", False, 28), ("hi", "飛", False, 28), ("gyoku", "玉", False, 29),
    ("tokin", "と", True, 24), ("nkyo", "杏", True, 25), ("nkei", "圭", True, 26), ("ngin", "全", True, 27),
    ("uma", "馬", True, 28), ("ryu", "龍", True, 28),
]
# The computer's king carries the other traditional character.
SECOND_KING = "王"


def load_font(size):
    for path, family in FONTS:
        if not os.path.exists(path):
            continue
        if path.endswith(".ttc"):
            for index in range(8):
                try:
                    font = ImageFont.truetype(path, size, index=index)
                except OSError:
                    break
                if font.getname()[0] == family:
                    return font
        else:
            return ImageFont.truetype(path, size)
    sys.exit("make_pictures: no Japanese font found; install fonts-noto-cjk or fonts-ipafont-gothic")


def pentagon(width, height, left, top):
    """The five corners of a piece seen from above, point up."""
    shoulder = top + height * 0.28
    return [
        (left + width / 2, top),
        (left + width * 0.86, shoulder),
        (left + width, top + height),
        (left, top + height),
        (left + width * 0.14, shoulder),
    ]


def piece_picture(char, promoted, width, font, factor=1):
    """A 32 x 32 picture (times factor), point up, white around the piece."""
    tile, step = TILE * factor, SCALE * factor
    big = TILE * step
    w, h = width * step, (width + 3) * step
    left, top = (big - w) / 2, (big - h) / 2 + step * 0.5
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).polygon(pentagon(w, h, left, top), fill=255)

    face = Image.new("RGB", (big, big), WOOD)
    draw = ImageDraw.Draw(face)
    draw.polygon(pentagon(w, h, left, top), outline=WOOD_EDGE, width=step)
    # The character, centred a little below the middle, where the piece is widest.
    box = draw.textbbox((0, 0), char, font=font)
    cx = big / 2 - (box[0] + box[2]) / 2
    cy = top + h * 0.58 - (box[1] + box[3]) / 2
    draw.text((cx, cy), char, font=font, fill=RED_INK if promoted else INK)

    face = face.resize((tile, tile), Image.LANCZOS)
    mask = mask.resize((tile, tile), Image.LANCZOS)
    # Hard edge: the board draws every non-white pixel, so a pixel is either piece or pure white.
    out = Image.new("RGB", (tile, tile), WHITE)
    solid = mask.point(lambda a: 255 if a >= 110 else 0)
    out.paste(face, (0, 0), solid)
    # A pure white pixel inside the piece would show the board through it.
    pixels = out.load()
    for y in range(tile):
        for x in range(tile):
            if solid.getpixel((x, y)) and pixels[x, y] == WHITE:
                pixels[x, y] = (254, 254, 254)
    return out, solid


def save_gif(picture, solid, path):
    """GIF with a palette whose last entry is exactly white, used for every transparent pixel."""
    quantized = picture.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = quantized.getpalette()[: 255 * 3]
    palette += [0, 0, 0] * (255 - len(palette) // 3) + [255, 255, 255]
    quantized.putpalette(palette)
    data = quantized.load()
    for y in range(picture.height):
        for x in range(picture.width):
            if not solid.getpixel((x, y)):
                data[x, y] = 255
            elif palette[data[x, y] * 3 : data[x, y] * 3 + 3] == [255, 255, 255]:
                sys.exit("make_pictures: a piece pixel came out white")
    quantized.save(path, optimize=False)


def wallpaper(path, width=1920, height=1200):
    """A calm, light wood texture: noise stretched along the board gives the grain, coarser noise the figure."""
    grain = Image.effect_noise((width // 24, height), 48).resize((width, height), Image.BICUBIC)
    grain = grain.filter(ImageFilter.GaussianBlur(1.2))
    figure = Image.effect_noise((width // 160, height // 24), 40).resize((width, height), Image.BICUBIC)
    figure = figure.filter(ImageFilter.GaussianBlur(8))
    mixed = ImageChops.blend(grain, figure, 0.5)
    light, dark = (234, 212, 168), (200, 166, 112)
    channels = [mixed.point(lambda v, a=a, b=b: int(b + (a - b) * v / 255)) for a, b in zip(light, dark)]
    Image.merge("RGB", channels).save(path, quality=88)


def icons(folder, font_path_font):
    """The window icons: a gold-rimmed king piece, in the sizes window managers ask for."""
    for size in (16, 32, 48, 64, 128, 256):
        big = 512
        picture = Image.new("RGBA", (big, big), (0, 0, 0, 0))
        draw = ImageDraw.Draw(picture)
        corners = pentagon(400, 460, 56, 24)
        draw.polygon(corners, fill=WOOD + (255,), outline=WOOD_EDGE + (255,), width=24)
        font = font_path_font(300)
        box = draw.textbbox((0, 0), "王", font=font)
        draw.text((256 - (box[0] + box[2]) / 2, 300 - (box[1] + box[3]) / 2), "王", font=font, fill=INK + (255,))
        picture.resize((size, size), Image.LANCZOS).save(os.path.join(folder, "halvane-%d.png" % size))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else HERE
    os.makedirs(os.path.join(out, "koma"), exist_ok=True)
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)
    for factor in (1,) + DETAIL:
        font = load_font(22 * SCALE * factor)
        suffix = "" if factor == 1 else "@%dx" % factor
        for name, char, promoted, width in PIECES:
            for side in (1, 2):
                shown = SECOND_KING if (side == 2 and name == "gyoku") else char
                picture, solid = piece_picture(shown, promoted, width, font, factor)
                if side == 2:   # the computer's pieces face the player
                    picture, solid = picture.rotate(180), solid.rotate(180)
                save_gif(picture, solid, os.path.join(out, "koma", "%s%d%s.gif" % (name, side, suffix)))
    wallpaper(os.path.join(out, "wallpaper.jpg"))
    icons(os.path.join(out, "icons"), load_font)


if __name__ == "__main__":
    main()
