#!/usr/bin/env bash
# The main job: make a small sample movie (picture and sound) and compress
# it with the built-in default settings (H.264 at normal quality, AAC at
# 128 kbit/s), then show what came out.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/sample
mkdir -p "$out"
ffmpeg -nostdin -y -v error -f lavfi -i testsrc2=s=1280x720:r=30:d=10 -f lavfi -i sine=f=440:r=48000:d=10 \
  -c:v mjpeg -q:v 3 -c:a pcm_s16le "$out/sample.mov"
./build/app/movelark compress "$out/sample.mov" -o "$out/sample-compressed.mov"
ffprobe -v error -show_entries stream=codec_name,width,height,sample_rate,duration -of compact "$out/sample-compressed.mov"
ls -l "$out/sample.mov" "$out/sample-compressed.mov"
