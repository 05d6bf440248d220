#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the picture of the about window (473 x 569): a stylised sweep of a band-pass filter on
# an instrument screen. Needs ImageMagick's convert and the DejaVu fonts.
# Usage: scripts/make-about-picture.sh [output]   (default: assets/about.jpg)
set -eu
out=${1:-"$(dirname "$0")/../assets/about.jpg"}

# Screen area of the diagram inside the picture.
left=40 top=96 width=400 height=320
bottom=$((top + height)) right=$((left + width))

# Grid: 10 columns, 8 rows of 10 dB each.
grid=$(awk -v l=$left -v t=$top -v w=$width -v h=$height 'BEGIN {
  for (i = 0; i <= 10; i++) { x = l + i * w / 10; printf "line %d,%d %d,%d ", x, t, x, t + h }
  for (j = 0; j <= 8; j++) { y = t + j * h / 8; printf "line %d,%d %d,%d ", l, y, l + w, y }
}')

# Band-pass response, 10.04 to 10.24 MHz, centre 10.14 MHz, 50 kHz wide, 0 dB at the top line.
curve=$(awk -v l=$left -v t=$top -v w=$width -v h=$height 'BEGIN {
  printf "polyline"
  for (x = 0; x <= w; x += 2) {
    f = 10.04 + 0.20 * x / w; d = (f - 10.14) / 0.025
    db = -10 * log(1 + d ^ 6) / log(10) - 0.5
    if (db < -78) db = -78 + 1.0 * sin(x / 3)
    printf " %d,%d", l + x, t - db * h / 80
  }
}')

labels=""
for j in 0 2 4 6 8; do
  y=$((top + j * height / 8 + 4))
  v=$((j * -10)); labels="$labels text 4,$y '$v'"
done

convert -size 473x569 gradient:'#25374a-#101a24' \
  -fill '#0d1f14' -stroke '#6f8796' -strokewidth 3 \
  -draw "roundrectangle $((left - 14)),$((top - 14)) $((right + 14)),$((bottom + 14)) 10,10" \
  -fill none -stroke '#2f5a3c' -strokewidth 1 -draw "$grid" \
  -stroke '#5f9a6c' -draw "line $((left + width / 2)),$top $((left + width / 2)),$bottom" \
  -stroke '#d8f06a' -strokewidth 2 -draw "$curve" \
  -stroke '#e07a3a' -strokewidth 1 -draw "line $left,$((top + 3 * height / 80)) $right,$((top + 3 * height / 80))" \
  -stroke none -fill '#9fb8c6' -font DejaVu-Sans -pointsize 11 -draw "$labels" \
  -draw "text $((left - 6)),$((bottom + 32)) '10,04'" \
  -draw "text $((left + width / 2 - 16)),$((bottom + 32)) '10,14'" \
  -draw "text $((right - 28)),$((bottom + 32)) '10,24'" \
  -draw "text $((left + width / 2 - 10)),$((bottom + 48)) 'MHz'" \
  -draw "text 4,$((top - 22)) 'dB'" \
  -fill '#eef4f8' -font DejaVu-Sans-Bold -pointsize 30 -draw "text 40,52 'Netzwerktester'" \
  -fill '#9fb8c6' -font DejaVu-Sans -pointsize 13 \
  -draw "text 42,74 'Durchgangsmessung  ·  Bandpass 10,14 MHz'" \
  -fill '#d8f06a' -draw "text $((left + 8)),$((top + 20)) '-3 dB: 50 kHz'" \
  -fill '#6f8796' -stroke '#9fb8c6' -strokewidth 2 \
  -draw "circle 96,520 96,544" -draw "circle 236,520 236,544" -draw "circle 376,520 376,544" \
  -stroke none -fill '#c8d4dc' -font DejaVu-Sans -pointsize 11 \
  -draw "text 72,562 'Frequenz'" -draw "text 206,562 'Dämpfung'" -draw "text 350,562 'Schritt'" \
  -stroke '#25374a' -strokewidth 3 \
  -draw "line 96,520 112,504" -draw "line 236,520 228,498" -draw "line 376,520 396,514" \
  -strip -interlace none -quality 90 "$out"
echo "wrote $out"
