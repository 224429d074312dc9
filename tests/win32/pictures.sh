#!/usr/bin/env bash
# Turns the window pictures that the tests under Wine wrote (BMP) into PNG files beside them.
#   pictures.sh DIR
set -eu
dir=$1
shopt -s nullglob
for bmp in "$dir"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png"
    rm -f "$bmp"
done
