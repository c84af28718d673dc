#!/bin/sh
# Draws the catalog pictures of the resource file with ImageMagick:
#   2001 the test picture (settings preview, filter thumbnails)
#   2002 effect preset, 2003 video preset, 2200 sound preset
# Usage: make_catalog_pictures.sh <resources/PICT>
set -eu
out=${1:?usage: make_catalog_pictures.sh <picture folder>}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 2001: a small landscape with a colour bar: smooth areas, edges and
# saturated colours, so that compression and effects both show.
convert -size 192x96 gradient:'#5aa0e6'-'#d8ecff' "$tmp/sky.png"
convert "$tmp/sky.png" -gravity north -background '#3f8a3a' -extent 192x144 \
  -fill '#ffd23f' -stroke '#e0a000' -strokewidth 2 -draw "circle 150,30 150,46" \
  -stroke none -fill '#4f9e44' -draw "ellipse 50,118 90,40 180,360" \
  -fill '#2f6e2b' -draw "ellipse 150,124 80,34 180,360" \
  -fill white -draw "ellipse 45,30 22,9 0,360" -draw "ellipse 65,26 18,10 0,360" \
  -fill '#8b5a2b' -draw "rectangle 96,70 104,104" -fill '#2e7d32' -draw "circle 100,66 100,50" \
  -fill '#c62828' -draw "rectangle 0,132 23,143" -fill '#ef6c00' -draw "rectangle 24,132 47,143" \
  -fill '#f9a825' -draw "rectangle 48,132 71,143" -fill '#43a047' -draw "rectangle 72,132 95,143" \
  -fill '#1565c0' -draw "rectangle 96,132 119,143" -fill '#6a1b9a' -draw "rectangle 120,132 143,143" \
  -fill black -draw "rectangle 144,132 167,143" -fill white -draw "rectangle 168,132 191,143" \
  -stroke '#333333' -strokewidth 1 -draw "line 10,100 40,80" -draw "line 40,80 60,96" \
  PNG24:"$out/2001.png"

# 2003: a film frame with a play mark.
convert -size 64x48 xc:none -fill '#2b2b2b' -draw "roundrectangle 2,4 61,43 5,5" \
  -fill '#e8e8e8' \
  -draw "rectangle 7,7 11,10" -draw "rectangle 17,7 21,10" -draw "rectangle 27,7 31,10" \
  -draw "rectangle 37,7 41,10" -draw "rectangle 47,7 51,10" -draw "rectangle 55,7 58,10" \
  -draw "rectangle 7,37 11,40" -draw "rectangle 17,37 21,40" -draw "rectangle 27,37 31,40" \
  -draw "rectangle 37,37 41,40" -draw "rectangle 47,37 51,40" -draw "rectangle 55,37 58,40" \
  -fill '#4a90d9' -draw "rectangle 6,13 57,34" \
  -fill white -draw "polygon 26,16 26,31 40,23.5" \
  PNG32:"$out/2003.png"

# 2200: a loudspeaker with sound waves (the right-hand parts of two rings).
convert -size 64x48 xc:none -fill none -stroke '#e07b00' -strokewidth 3 \
  -draw "circle 30,24 40,24" -draw "circle 30,24 48,24" -crop 26x48+38+0 +repage "$tmp/waves.png"
convert -size 64x48 xc:none -fill '#3d3d3d' -draw "rectangle 10,17 20,31" \
  -draw "polygon 20,17 32,7 32,41 20,31" \
  "$tmp/waves.png" -geometry +38+0 -composite \
  PNG32:"$out/2200.png"

# 2002: a magic wand with sparkles over a picture frame.
convert -size 64x48 xc:none -fill '#7e57c2' -draw "roundrectangle 4,6 50,42 4,4" \
  -fill '#b39ddb' -draw "rectangle 8,10 46,38" \
  -stroke '#5d4037' -strokewidth 4 -draw "line 20,40 50,12" -stroke none \
  -fill '#ffd54f' -draw "polygon 52,2 54,8 60,10 54,12 52,18 50,12 44,10 50,8" \
  -draw "polygon 36,4 37,7 40,8 37,9 36,12 35,9 32,8 35,7" \
  PNG32:"$out/2002.png"
