# Pillow's round trip for the whole-process benchmark: decode a BMP file and encode it again.
#   /usr/bin/python3 bench/pillow_roundtrip.py SOURCE TARGET
# Pillow reads 32-bit files without alpha as RGB; they are written back at 32 bits (RGBA) so that
# the output keeps the source's depth. 4-bit files come back at 8 bits and 16-bit files at 24
# bits, the nearest depths Pillow can write.
import sys

from PIL import Image

source, target = sys.argv[1], sys.argv[2]
with open(source, "rb") as file:
    bits = int.from_bytes(file.read(30)[28:30], "little")
with Image.open(source) as image:
    if bits == 32 and image.mode == "RGB":
        image = image.convert("RGBA")
    image.save(target, "BMP")
