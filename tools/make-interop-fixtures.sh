#!/usr/bin/env bash
# Regenerates tests/fixtures/interop/: small BMP files written by ImageMagick and Pillow, which
# tests/interop/fixtures_test.cpp loads. The files are committed, so only a maintainer runs this:
#   apt-get install imagemagick python3-pil && tools/make-interop-fixtures.sh
# The pictures are made from the colour tables below; the test holds the same tables and the
# same pattern, so a change here needs the same change there.
set -euo pipefail
cd "$(dirname "$0")/.."
out=tests/fixtures/interop
convert=/usr/bin/convert  # /usr/local/bin/convert may be a stand-in, not ImageMagick
python=/usr/bin/python3
for tool in "$convert" "$python"; do
  [ -x "$tool" ] || { echo "missing $tool (apt-get install imagemagick python3-pil)" >&2; exit 1; }
done
"$python" -c "import PIL" 2>/dev/null || { echo "missing Pillow (python3-pil)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
rm -f "$out"/*.bmp

"$python" - "$work" "$out" <<'PY'
import sys
from PIL import Image

work, out = sys.argv[1], sys.argv[2]
W, H = 9, 4  # odd width: every depth has pad bytes, 1 and 4 bits a partly filled last byte

# COLOURS16 also makes the 16-bit files, so its channels are only 0, 132 and 255: every way of
# narrowing those to 5 or 6 bits (shift, or scale by 31/255 or 63/255 and truncate or round)
# keeps the same top five bits, so the files have one right answer.
MONO = [(0, 0, 0), (255, 255, 255)]
GREYS = [(v, v, v) for v in (0, 32, 64, 132, 200, 255)]
COLOURS16 = [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255),
             (255, 255, 0), (0, 255, 255), (132, 132, 132), (132, 0, 255), (0, 132, 132)]
COLOURS256 = COLOURS16 + [(32, 64, 132), (255, 132, 0), (0, 132, 255), (64, 64, 64),
                          (132, 255, 32), (255, 32, 132), (32, 32, 32), (0, 64, 0),
                          (64, 0, 0), (0, 0, 64), (132, 132, 255), (255, 255, 132),
                          (32, 255, 255), (200, 200, 200)]

def index(x, y, n):
    return (x + 3 * y) % n

def alpha(x, y):
    return (x * 40 + y * 7) % 256

def picture(table):
    im = Image.new("RGB", (W, H))
    for y in range(H):
        for x in range(W):
            im.putpixel((x, y), table[index(x, y, len(table))])
    return im

def with_alpha(table):
    im = Image.new("RGBA", (W, H))
    for y in range(H):
        for x in range(W):
            im.putpixel((x, y), table[index(x, y, len(table))] + (alpha(x, y),))
    return im

picture(MONO).save(f"{work}/mono.png")
picture(COLOURS16).save(f"{work}/colours16.png")
picture(COLOURS256).save(f"{work}/colours256.png")

picture(MONO).convert("1", dither=Image.Dither.NONE).save(f"{out}/pillow-1bit.bmp")
picture(GREYS).convert("L").save(f"{out}/pillow-8bit-grey.bmp")
picture(COLOURS256).convert("P", palette=Image.Palette.ADAPTIVE, colors=256).save(
    f"{out}/pillow-8bit-palette.bmp")
picture(COLOURS256).save(f"{out}/pillow-24bit.bmp")
with_alpha(COLOURS256).save(f"{out}/pillow-32bit-alpha.bmp")
PY

# BMP3: writes the 40-byte header; BMP: writes the v5 (124-byte) header, or v4 (108 bytes) for
# a grey picture.
"$convert" "$work/mono.png" -type Palette BMP3:"$out/imagemagick-1bit.bmp"
"$convert" "$work/mono.png" -monochrome BMP:"$out/imagemagick-1bit-v4-header.bmp"
"$convert" "$work/colours16.png" -type Palette BMP3:"$out/imagemagick-4bit-palette.bmp"
"$convert" "$work/colours16.png" -type Palette BMP:"$out/imagemagick-4bit-palette-v5-header.bmp"
# ImageMagick run-length encodes 8-bit files unless told not to; one such file shows the refusal.
"$convert" "$work/colours256.png" -type Palette -compress None \
  BMP3:"$out/imagemagick-8bit-palette.bmp"
"$convert" "$work/colours256.png" -type Palette -compress None \
  BMP:"$out/imagemagick-8bit-palette-v5-header.bmp"
"$convert" "$work/colours256.png" -type Palette BMP3:"$out/imagemagick-8bit-rle.bmp"
"$convert" "$work/colours16.png" -define bmp:subtype=RGB565 \
  BMP:"$out/imagemagick-16bit-rgb565-masks-v5-header.bmp"
"$convert" "$work/colours16.png" -define bmp:subtype=RGB555 \
  BMP:"$out/imagemagick-16bit-rgb555-masks-v5-header.bmp"
"$convert" "$work/colours256.png" -type TrueColor BMP:"$out/imagemagick-24bit-v5-header.bmp"

# Every file must have the depth, header size and compression its name promises.
"$python" - "$out" <<'PY'
import os, struct, sys
out = sys.argv[1]
for name in sorted(os.listdir(out)):
    data = open(os.path.join(out, name), "rb").read()
    off, = struct.unpack("<I", data[10:14])
    size, width, height, _, bits, compression = struct.unpack("<IiiHHI", data[14:34])
    print(f"{name}: {len(data)} bytes, biSize {size}, {width} x {height}, {bits} bits, "
          f"biCompression {compression}, bfOffBits {off}")
    want_bits = int(name.split("bit")[0].split("-")[-1])
    want_size = 124 if "v5-header" in name else 108 if "v4-header" in name else 40
    want_compression = 1 if "rle" in name else 3 if "masks" in name else 0
    if (bits, size, compression) != (want_bits, want_size, want_compression):
        sys.exit(f"{name}: have {bits} bits, biSize {size}, biCompression {compression}; "
                 f"want {want_bits}, {want_size}, {want_compression}")
PY
