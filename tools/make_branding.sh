#!/usr/bin/env bash
# Draws the three branding images as SVG and rasterises them into src/resources/branding/:
#   icon_256.png        256 x 256  application icon: the mark on a dark rounded tile
#   wordmark.png        512 x 152  "ORVA" over "3D STUDIO", transparent background
#   logo_with_text.png  441 x 512  splash artwork: the mark over "ORVA", transparent background
# The PNGs are committed; the build embeds them and never runs this script. Regenerating needs the
# Debian packages librsvg2-bin (rsvg-convert) and fonts-urw-base35 (URW Gothic, for "3D STUDIO").
#
# Usage: tools/make_branding.sh [--svg DIR] [--web DIR]
#   --svg DIR  also keeps the SVG sources in DIR
#   --web DIR  also writes the web game's two images into DIR: orva-icon.png (the icon drawn at
#              64 x 64, the favicon) and orva-wordmark.png (a copy of wordmark.png)
#
# The mark is an isometric cube in the editor's accent blue (0.259, 0.522, 0.957) = #4285F4 with an
# orbit ring around it. "ORVA" is drawn from geometry rather than a font: the O is the orbit ring
# with its satellite, the A an open chevron mirroring the V.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/src/resources/branding"
svgDir=""
webDir=""
while [[ $# -gt 0 ]]; do
    case "$1" in
    --svg) svgDir="${2:?--svg needs a folder}"; shift 2 ;;
    --web) webDir="${2:?--web needs a folder}"; shift 2 ;;
    *) echo "make_branding: unknown argument $1" >&2; exit 1 ;;
    esac
done

if ! command -v rsvg-convert >/dev/null; then
    echo "make_branding: rsvg-convert not found (apt-get install librsvg2-bin)" >&2
    exit 1
fi
if [[ -z "$(fc-list "URW Gothic:style=Book")" ]]; then
    echo "make_branding: the URW Gothic font is missing (apt-get install fonts-urw-base35)" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# [SECTION] Shared pieces

# Gradients and filters used by every image.
defs='
  <linearGradient id="faceTop" x1="0" y1="-64" x2="0" y2="0" gradientUnits="userSpaceOnUse">
    <stop offset="0" stop-color="#B4D0FF"/><stop offset="1" stop-color="#86AEF9"/>
  </linearGradient>
  <linearGradient id="faceLeft" x1="-56" y1="-32" x2="0" y2="64" gradientUnits="userSpaceOnUse">
    <stop offset="0" stop-color="#5594FA"/><stop offset="1" stop-color="#3B76E2"/>
  </linearGradient>
  <linearGradient id="faceRight" x1="0" y1="0" x2="56" y2="64" gradientUnits="userSpaceOnUse">
    <stop offset="0" stop-color="#2A5EC2"/><stop offset="1" stop-color="#1B4391"/>
  </linearGradient>
  <linearGradient id="ring" x1="-104" y1="0" x2="104" y2="0" gradientUnits="userSpaceOnUse">
    <stop offset="0" stop-color="#9DBFFF"/><stop offset="0.55" stop-color="#E8F0FF"/>
    <stop offset="1" stop-color="#B9D1FF"/>
  </linearGradient>
  <radialGradient id="glow" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#4285F4" stop-opacity="0.42"/>
    <stop offset="0.6" stop-color="#4285F4" stop-opacity="0.12"/>
    <stop offset="1" stop-color="#4285F4" stop-opacity="0"/>
  </radialGradient>
  <radialGradient id="satGlow" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#8FB6FF" stop-opacity="0.9"/>
    <stop offset="1" stop-color="#4285F4" stop-opacity="0"/>
  </radialGradient>
  <filter id="soft" x="-50%" y="-50%" width="200%" height="200%">
    <feGaussianBlur stdDeviation="6"/>
  </filter>
  <!-- The front half of the orbit passes in front of the cube: the cube is cut away along it. -->
  <mask id="ringCut" maskUnits="userSpaceOnUse" x="-200" y="-200" width="400" height="400">
    <rect x="-200" y="-200" width="400" height="400" fill="#fff"/>
    <path transform="rotate(-20)" d="M -104 0 A 104 34 0 0 0 104 0" fill="none" stroke="#000" stroke-width="16"/>
  </mask>'

# The mark, centred on the origin: cube of corner radius 64, orbit ellipse 104 x 34 tilted 20 degrees.
mark='
  <ellipse cx="0" cy="80" rx="58" ry="9" fill="#000" opacity="0.45" filter="url(#soft)"/>
  <path transform="rotate(-20)" d="M -104 0 A 104 34 0 0 1 104 0" fill="none" stroke="#7FA8F5"
        stroke-opacity="0.55" stroke-width="5" stroke-linecap="round"/>
  <g mask="url(#ringCut)">
    <path d="M 0 -64 L 55.43 -32 L 0 0 L -55.43 -32 Z" fill="url(#faceTop)"/>
    <path d="M -55.43 -32 L 0 0 L 0 64 L -55.43 32 Z" fill="url(#faceLeft)"/>
    <path d="M 0 0 L 55.43 -32 L 55.43 32 L 0 64 Z" fill="url(#faceRight)"/>
    <path d="M -55.43 -32 L 0 0 L 55.43 -32 M 0 0 L 0 64" fill="none" stroke="#FFFFFF"
          stroke-opacity="0.45" stroke-width="1.6" stroke-linejoin="round"/>
  </g>
  <path transform="rotate(-20)" d="M -104 0 A 104 34 0 0 0 104 0" fill="none" stroke="url(#ring)"
        stroke-width="6" stroke-linecap="round"/>
  <g transform="rotate(-20) translate(94.26 14.37)">
    <circle r="17" fill="url(#satGlow)"/>
    <circle r="7.5" fill="#FFFFFF"/>
  </g>'

# "ORVA" on a cap height of 84, 326 wide, top-left at the origin. Strokes run past the cap band and
# are clipped flat to it, which gives the V and A their cut points.
orva='
  <clipPath id="capBand"><rect x="-20" y="0" width="380" height="84"/></clipPath>
  <mask id="satGap" maskUnits="userSpaceOnUse" x="-20" y="-20" width="140" height="140">
    <rect x="-20" y="-20" width="140" height="140" fill="#fff"/>
    <circle cx="65.33" cy="18.67" r="17" fill="#000"/>
  </mask>
  <g clip-path="url(#capBand)" fill="none" stroke-width="18" stroke-linejoin="miter" stroke-miterlimit="8">
    <circle cx="42" cy="42" r="33" stroke="#4285F4" mask="url(#satGap)"/>
    <g stroke="#ECEFF5">
      <path d="M 110 -10 V 94"/>
      <path d="M 110 9 H 136 A 21 21 0 0 1 136 51 H 110"/>
      <path d="M 135 51 L 165 94"/>
      <path d="M 180 -10 L 213 94 L 246 -10"/>
      <path d="M 255 94 L 288 -10 L 321 94"/>
    </g>
  </g>
  <circle cx="65.33" cy="18.67" r="10" fill="#ECEFF5"/>'

# [SECTION] The images

cat >"$work/icon_256.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>$defs
    <linearGradient id="tile" x1="0" y1="8" x2="0" y2="248" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#2A2D37"/><stop offset="1" stop-color="#14151A"/>
    </linearGradient>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="56" fill="url(#tile)"/>
  <rect x="9" y="9" width="238" height="238" rx="55" fill="none" stroke="#FFFFFF" stroke-opacity="0.08"
        stroke-width="2"/>
  <ellipse cx="128" cy="128" rx="104" ry="104" fill="url(#glow)"/>
  <g transform="translate(128 126) scale(0.94)">$mark
  </g>
</svg>
EOF

cat >"$work/wordmark.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="512" height="152" viewBox="0 0 512 152">
  <defs>$defs</defs>
  <g transform="translate(93 14)">$orva
  </g>
  <text x="256" y="140" text-anchor="middle" font-family="URW Gothic" font-weight="normal" font-size="26"
        letter-spacing="24.5" fill="#8FB6FF">3D STUDIO</text>
</svg>
EOF

cat >"$work/logo_with_text.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="441" height="512" viewBox="0 0 441 512">
  <defs>$defs</defs>
  <ellipse cx="220.5" cy="196" rx="200" ry="200" fill="url(#glow)"/>
  <g transform="translate(220.5 192) scale(1.72)">$mark
  </g>
  <g transform="translate(81.5 404) scale(0.855)">$orva
  </g>
</svg>
EOF

# [SECTION] Rasterise

mkdir -p "$out"
for name in icon_256 wordmark logo_with_text; do
    rsvg-convert --format=png --output="$out/$name.png" "$work/$name.svg"
    if [[ -n "$svgDir" ]]; then
        mkdir -p "$svgDir"
        cp "$work/$name.svg" "$svgDir/"
    fi
done
if [[ -n "$webDir" ]]; then
    mkdir -p "$webDir"
    rsvg-convert --format=png --width=64 --height=64 --output="$webDir/orva-icon.png" "$work/icon_256.svg"
    cp "$out/wordmark.png" "$webDir/orva-wordmark.png"
    echo "make_branding: wrote orva-icon.png orva-wordmark.png into $webDir"
fi
echo "make_branding: wrote $(cd "$out" && ls icon_256.png wordmark.png logo_with_text.png | tr '\n' ' ')"
