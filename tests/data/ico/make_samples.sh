#!/usr/bin/env bash
# Regenerates the icon samples and, for each image in them, the pixels ImageMagick reads from it
# (expected/*.pam, RGBA), which the icon reader's tests compare against.
#   multi.ico: 16 x 16 at 4 bits, 32 x 32 at 4, 8 and 32 bits, 48 x 48 at 8 bits; the palette
#     images are transparent through their AND masks, the 32-bit one through alpha.
#   mask_alpha.ico: one 32-bit image whose alpha bytes are all 0, so its AND mask decides.
#   png.ico: 32 x 32 at 32 bits and 256 x 256 as PNG, which ImageMagick writes for that size; the
#     tests decode its PNG through a stand-in of the platform's decoder, so it has no reference.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.ico expected/*.pam
mkdir -p expected
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A picture with a round transparent hole: hard-edged (threshold) for masks, soft for alpha.
picture() {  # size seed colours edge output
  local round=(\( -size "$1x$1" radial-gradient: -negate \))
  [[ $4 == hard ]] && round=(\( -size "$1x$1" radial-gradient: -negate -threshold 40% \))
  convert -size "$1x$1" -seed "$2" plasma: "${round[@]}" -alpha off -compose copyopacity \
    -composite ${3:+-colors "$3"} "$5"
}
picture 16 3 8 hard "$tmp/p16.png"
convert -size 32x32 -seed 5 plasma: -colors 12 "$tmp/q32.png"
picture 32 6 100 hard "$tmp/p32.png"
picture 32 7 "" soft "$tmp/a32.png"
picture 48 8 200 hard "$tmp/p48.png"
picture 16 9 "" hard "$tmp/h16.png"

convert \( "$tmp/p16.png" -type PaletteMatte \) \( "$tmp/q32.png" -type Palette \) \
  \( "$tmp/p32.png" -type PaletteMatte \) "$tmp/a32.png" \( "$tmp/p48.png" -type PaletteMatte \) \
  multi.ico
convert "$tmp/a32.png" \( -size 256x256 gradient:red-blue \) png.ico

# ImageMagick writes the AND mask of a 32-bit image from its alpha; clearing the alpha bytes
# leaves the mask alone to say what is transparent.
convert "$tmp/h16.png" "$tmp/h16.ico"
python3 - "$tmp/h16.ico" mask_alpha.ico <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
offset = struct.unpack_from('<I', data, 18)[0]
assert struct.unpack_from('<H', data, offset + 14)[0] == 32
for i in range(16 * 16):
    data[offset + 40 + 4 * i + 3] = 0
open(sys.argv[2], 'wb').write(data)
PY
convert "$tmp/h16.ico" -depth 8 expected/mask_alpha_0.pam

for ((i = 0; i < 5; i++)); do
  convert "multi.ico[$i]" -depth 8 "expected/multi_$i.pam"
done
