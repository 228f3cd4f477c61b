#!/usr/bin/env bash
# Writes the seed corpus of fuzz_preview with the stand-in drawing generator:
# small previews of every kind the reader meets, in drawings, in plain bitmap
# files and as metafiles. Run after the Windows build, with WINEPREFIX naming
# a private Wine prefix:
#   tests/fuzz/make-preview-seeds.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/windows}
out=tests/fuzz/corpus/fuzz_preview
mkdir -p "$out"
mkdwg() { scripts/wine-run.sh "$build/bin/tools/mkdwg.exe" "$@"; }

n=0
seed() {  # seed NAME mkdwg-options...
    local name=$1
    shift
    mkdwg "Z:$(pwd)/$out/$name" "$@"
    n=$((n + 1))
}
for kind in bmp1 bmp4 bmp8 bmp24 bmp32 rle8 rle4 core1 core4 core8 core24; do
    seed "$kind.dwg" --preview "$kind" --size 9x5 --seed 1
    seed "$kind.bmp" --preview "$kind" --size 7x3 --seed 2 --plain
done
seed odd-widths-rle4.dwg --preview rle4 --size 13x4 --seed 3
seed odd-widths-rle8.dwg --preview rle8 --size 21x3 --seed 4
seed top-down-8.dwg --preview bmp8 --size 6x4 --top-down
seed top-down-24.bmp --preview bmp24 --size 5x3 --top-down --plain
seed wmf-and-bitmap.dwg --preview bmp4 --size 8x4 --also-wmf
seed wmf-only.dwg --preview wmf
seed placeable.wmf --preview wmf --plain
seed no-preview.dwg --preview none
seed oldest.dwg --version OX1012 --preview bmp1 --size 8x2
seed newest.dwg --version OX1032 --preview rle8 --size 4x4
seed too-old.dwg --version OX1011 --preview bmp8 --size 2x2
seed one-pixel-24.dwg --preview bmp24 --size 1x1
echo "wrote $n seeds into $out"
