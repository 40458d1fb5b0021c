#!/usr/bin/env bash
# Draws the program's own pictures into resources/pictures: the button
# pictures, the contact window's icons and the maker's logos. The
# logos are plain placeholders in the maker's colours for the maker to
# replace with its own artwork. Needs ImageMagick; run it again after a
# change and commit the PNG files.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/resources/pictures"
mkdir -p "$out"

blue='rgb(47,133,184)'
font=DejaVu-Sans-Bold

# 24 x 24 button pictures.
convert -size 24x24 xc:none -stroke 'rgb(30,150,60)' -strokewidth 4 -fill none \
  -draw 'polyline 4,13 10,19 20,5' "$out/button_ok.png"
convert -size 24x24 xc:none -stroke 'rgb(200,40,40)' -strokewidth 4 \
  -draw 'line 5,5 19,19' -draw 'line 19,5 5,19' "$out/button_cancel.png"

# Contact window icons, 25 x 25.
icon() { # name colour drawing...
  local name=$1 colour=$2
  shift 2
  convert -size 25x25 xc:none -fill "$colour" -draw 'roundrectangle 0,0 24,24 5,5' "$@" "$out/$name.png"
}
icon icon_phone "$blue" -fill white -draw 'roundrectangle 8,3 16,21 2,2' -fill "$blue" -draw 'rectangle 10,6 14,15'
icon icon_mail "$blue" -fill white -draw 'rectangle 4,7 20,17' -stroke "$blue" -fill none -draw 'polyline 4,7 12,13 20,7'
icon icon_web "$blue" -stroke white -strokewidth 2 -fill none -draw 'circle 12,12 12,4' \
  -draw 'ellipse 12,12 3,8 0,360' -draw 'line 4,12 20,12'
icon icon_dogs "$blue" -fill white -draw 'ellipse 12,15 5,4 0,360' -draw 'circle 6,9 6,7' \
  -draw 'circle 10,6 10,4' -draw 'circle 14,6 14,4' -draw 'circle 18,9 18,7'
icon icon_facebook 'rgb(59,89,152)' -fill white -font "$font" -pointsize 20 -gravity center -annotate +1+2 'f'
icon icon_linkedin 'rgb(0,119,181)' -fill white -font "$font" -pointsize 13 -gravity center -annotate +0+1 'in'
icon icon_youtube 'rgb(205,32,31)' -fill white -draw 'polygon 9,7 9,17 18,12'
icon icon_instagram 'rgb(193,53,132)' -stroke white -strokewidth 2 -fill none \
  -draw 'roundrectangle 5,5 19,19 4,4' -draw 'circle 12,12 12,8' -fill white -stroke none -draw 'circle 17,7 17,6'

# The maker's logo, 219 x 55, with a line in each language.
logo() { # language line
  convert -size 219x55 xc:'rgb(218,241,255)' -fill "$blue" -draw 'roundrectangle 0,0 218,54 8,8' \
    -fill white -font "$font" -pointsize 22 -gravity north -annotate +0+4 'MAKER' \
    -font DejaVu-Sans -pointsize 12 -annotate +0+33 "$2" "$out/logo_$1.png"
}
logo en 'Instruments for breeders'
logo pl 'Przyrządy dla hodowców'
logo de 'Geräte für Züchter'
logo fr 'Instruments pour éleveurs'
logo es 'Instrumentos para criadores'
logo ru 'Приборы для заводчиков'

# Without their time stamps, pictures drawn again unchanged stay the same files.
mogrify -strip -define png:exclude-chunks=date,time "$out"/*.png
