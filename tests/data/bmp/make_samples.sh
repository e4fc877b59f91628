#!/usr/bin/env bash
# Regenerates the BMP samples and, for each, the pixels ImageMagick reads from it (expected/*.ppm),
# which the decoder's tests compare against. ImageMagick writes the usual variants; handmade.py
# rewrites some of them into what ImageMagick does not write (RLE4, deltas, top-down rows, other
# header sizes, BI_RGB at 16 and 32 bits) and into the damaged files under malformed/.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.bmp expected/*.ppm malformed/*.bmp
mkdir -p expected malformed
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Odd widths, so that every depth pads its rows.
convert -size 13x7 -seed 7 plasma:red-blue "$tmp/wide.png"
convert -size 7x5 -seed 11 plasma:green-yellow "$tmp/narrow.png"
convert "$tmp/wide.png" \( -size 13x7 gradient:white-black \) -alpha off -compose copyopacity \
  -composite "$tmp/alpha.png"

convert "$tmp/wide.png" BMP2:bmp2_24.bmp
convert "$tmp/wide.png" -colors 200 BMP2:bmp2_8.bmp
convert "$tmp/narrow.png" -colors 2 BMP2:bmp2_1.bmp
convert "$tmp/wide.png" BMP3:bmp3_24.bmp
convert "$tmp/narrow.png" -colors 2 -compress None BMP3:bmp3_1.bmp
convert "$tmp/narrow.png" -colors 12 -compress None BMP3:bmp3_4.bmp
convert "$tmp/wide.png" -colors 12 -compress None BMP3:bmp3_4_wide.bmp
convert "$tmp/wide.png" -colors 200 -compress None BMP3:bmp3_8.bmp
convert "$tmp/wide.png" -colors 200 -compress RLE BMP3:bmp3_rle8.bmp
convert "$tmp/wide.png" BMP:bmp5_24.bmp
convert "$tmp/wide.png" -colors 200 -compress RLE BMP:bmp5_rle8.bmp
convert "$tmp/wide.png" -define bmp:subtype=RGB555 BMP:bmp5_555.bmp
convert "$tmp/wide.png" -define bmp:subtype=RGB565 BMP:bmp5_565.bmp
convert "$tmp/alpha.png" -define bmp:subtype=ARGB8888 BMP:bmp5_argb.bmp

./handmade.py rle bmp3_4_wide.bmp rle4_delta.bmp
./handmade.py rle bmp3_8.bmp rle8_delta.bmp
./handmade.py topdown bmp3_24.bmp topdown_24.bmp
./handmade.py topdown bmp5_565.bmp topdown_565.bmp
./handmade.py info bmp5_565.bmp info_bitfields_565.bmp
./handmade.py v2 bmp5_565.bmp v2_565.bmp
./handmade.py v3 bmp5_argb.bmp v3_argb.bmp
./handmade.py v4 bmp5_argb.bmp v4_argb.bmp
./handmade.py v4 bmp5_24.bmp v4_24.bmp
./handmade.py rgb16 bmp5_555.bmp rgb16.bmp
./handmade.py rgb32 bmp3_24.bmp rgb32.bmp
./handmade.py shorttable bmp3_8.bmp short_table_8.bmp
./handmade.py gap bmp3_8.bmp gap_before_rows.bmp
rm bmp3_4_wide.bmp
./handmade.py malformed bmp3_24.bmp malformed

for sample in ./*.bmp; do
  name=$(basename "$sample" .bmp)
  convert "$sample" -alpha off -depth 8 "expected/$name.ppm"
done
