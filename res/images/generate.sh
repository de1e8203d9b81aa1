#!/usr/bin/env bash
# Draws the program's icons and background bitmaps again:
#   IDI_TRAY1.ico, IDI_TRAY2.ico  32 x 32, 24 bits: a white swoosh on a teal square with a lighter rim
#   login_bg.bmp                  389 x 246, 24 bits: the login window's background
#   crm_bg.bmp                    386 x 238, 24 bits: the same style, for customer-relationship management
# Needs ImageMagick's convert, python3 and the font WenQuanYi Micro Hei (fonts-wqy-microhei).
set -euo pipefail
cd "$(dirname "$0")"

font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes the picture $1 as the 24-bit file $3 of kind $2 (ico or bmp).
pack() {
  convert "$1" -background white -alpha remove -alpha off -depth 8 "ppm:$work/packed.ppm"
  python3 pack_images.py "$2" "$work/packed.ppm" "$3"
}

# Draws the MVG text on stdin in a graphic context moved to ($1, $2).
at() {
  echo "push graphic-context translate $1,$2"
  cat
  echo "pop graphic-context"
}

# --- Tray icon: drawn eight times larger, then scaled down for smooth edges. ----------------------
icon=$(cat <<'MVG'
fill '#0e8a84' roundrectangle 20,20 235,235 28,28
fill '#13a197' path 'M 20,48 Q 20,20 48,20 L 208,20 Q 235,20 235,48 L 235,110 C 170,90 90,110 20,170 Z'
fill white path 'M 58,206 C 70,130 130,70 212,52 C 160,92 128,150 124,214 C 104,196 82,194 58,206 Z'
MVG
)
convert -size 256x256 xc:'#4fc4bb' -draw "$icon" -resize 32x32 "$work/icon.png"
pack "$work/icon.png" ico IDI_TRAY1.ico
cp IDI_TRAY1.ico IDI_TRAY2.ico

# --- The background both bitmaps share. -------------------------------------------------------------
# A blue-grey gradient with light swooshes, and a lighter band at the right whose labels end just
# left of the login window's two edits (x 292-369, y 121-142 and x 292-362, y 143-165).
background() {  # width height output
  local w=$1 h=$2
  local drawing
  drawing=$(cat <<MVG
fill none
stroke 'rgba(255,255,255,0.30)' stroke-width 16
path 'M -30,$((h - 40)) C 80,$((h - 130)) 220,$((h - 10)) $((w + 30)),$((h - 110))'
stroke 'rgba(255,255,255,0.45)' stroke-width 3
path 'M -30,$((h - 15)) C 100,$((h - 105)) 240,$((h + 10)) $((w + 30)),$((h - 80))'
stroke 'rgba(255,255,255,0.22)' stroke-width 30
path 'M $((w / 3)),-30 C $((w / 2)),40 $((w - 60)),20 $((w + 30)),70'
stroke none fill 'rgba(255,255,255,0.18)'
path 'M -10,$((h - 5)) C 120,$((h - 70)) 260,$((h - 20)) $((w + 10)),$((h - 60)) V $((h + 10)) H -10 Z'
fill 'rgba(255,255,255,0.38)' roundrectangle 218,110 $((w + 20)),174 16,16
font '$font' font-size 13 fill black text-anchor end
text 288,136 '用户名:'
text 288,159 '密 码:'
MVG
)
  convert -size "${w}x${h}" -define gradient:angle=160 gradient:'#b9c9d8-#5d7590' -draw "$drawing" "$3"
}

# --- Login background: a small 3-D bar chart with a rising arrow, beside large blue 进销存. -------
bar() {  # left height front top side; the bar stands on y = 0
  at "$1" 0 <<MVG
fill '$3' rectangle 0,-$2 11,0
fill '$4' polygon 0,-$2 6,-$(($2 + 6)) 17,-$(($2 + 6)) 11,-$2
fill '$5' polygon 11,-$2 17,-$(($2 + 6)) 17,-6 11,0
MVG
}
chart() {
  echo "fill 'rgba(40,60,90,0.25)' polygon -6,2 70,2 80,-6 4,-6"
  bar 0 26 '#3aa845' '#7fd685' '#26782f'
  bar 17 40 '#f08a24' '#f8bb7a' '#b8621a'
  bar 34 33 '#f2f2f2' '#ffffff' '#b9b9b9'
  bar 51 54 '#f08a24' '#f8bb7a' '#b8621a'
  echo "stroke '#e8731a' stroke-width 4 fill none polyline -4,-16 16,-32 32,-24 64,-62"
  echo "stroke none fill '#e8731a' polygon 72,-74 54,-64 68,-52"
}
login=$(
  chart | at 20 120
  at 105 104 <<MVG
font '$font' font-size 40 stroke-width 1.2
stroke white fill white text 2,2 '进销存'
stroke '#1b4fa8' fill '#1b4fa8' text 0,0 '进销存'
MVG
)
background 389 246 "$work/login_base.png"
convert "$work/login_base.png" -draw "$login" "$work/login.png"
pack "$work/login.png" bmp login_bg.bmp

# --- CRM background: two cartoon figures in business suits, 客户关系管理系统 and large blue CRM. --
person() {  # head-centre-x head-centre-y suit lapel tie
  at "$1" "$2" <<MVG
fill '$3' path 'M -27,62 L -25,30 Q -23,16 -10,14 H 10 Q 23,16 25,30 L 27,62 Z'
fill white polygon -9,14 9,14 0,34
fill '$4' polygon -10,14 -1,36 -13,24
fill '$4' polygon 10,14 1,36 13,24
fill '$5' polygon -3,15 3,15 4,30 0,35 -4,30
fill '#f3c9a4' rectangle -4,8 4,15
fill '#f8d8b8' circle 0,0 12,0
fill '#3b2b22' path 'M -12,-1 Q -13,-14 0,-14 Q 13,-14 12,-1 Q 4,-9 -12,-1 Z'
fill '#2a2a2a' circle -4,1 -3,1
fill '#2a2a2a' circle 4,1 5,1
fill none stroke '#b5533c' stroke-width 1.2 path 'M -4,6 Q 0,9 4,6'
MVG
}
crm=$(
  person 72 36 '#4d5d73' '#3c4a5e' '#2f6fd0'
  person 38 30 '#2c3e57' '#1f2e42' '#d0392f'
  at 112 36 <<MVG
font '$font' font-size 18
fill white text 1,1 '客户关系管理系统'
fill '#24405f' text 0,0 '客户关系管理系统'
font-size 58 stroke-width 1.5
stroke white fill white text 7,65 'CRM'
stroke '#1b4fa8' fill '#1b4fa8' text 4,62 'CRM'
MVG
)
background 386 238 "$work/crm_base.png"
convert "$work/crm_base.png" -draw "$crm" "$work/crm.png"
pack "$work/crm.png" bmp crm_bg.bmp
