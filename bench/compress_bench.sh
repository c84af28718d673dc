#!/usr/bin/env bash
# Compression benchmark: movelark against the ffmpeg command line doing the
# same work (crop, scale to 1280x720, watermark, H.264 at CRF 23 with the
# same preset, AAC at 128 kbit/s) on the same 1920x1080, 10 s, 30 fps
# source with sound, in the same run. Prints the ratios, not bare times.
#   bench/compress_bench.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
work="$build/bench-work"
mkdir -p "$work"
movelark="$build/app/movelark"
settings_tool="$build/bench/movelark_bench_settings"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (apt-get install time)"; exit 2; }

src="$work/source-1080p.mov"
mark="$work/watermark.png"
[ -f "$src" ] || ffmpeg -nostdin -y -v error -f lavfi -i testsrc2=s=1920x1080:r=30:d=10 \
  -f lavfi -i sine=f=440:r=48000:d=10 -ac 2 -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p \
  -c:a aac -b:a 192k "$src"
[ -f "$mark" ] || ffmpeg -nostdin -y -v error -f lavfi -i color=c=white@0.6:s=200x80,format=rgba -frames:v 1 "$mark"
"$settings_tool" "$src" "$mark" "$work/bench.settings" > "$work/crop.txt"
read -r _ crop _ size < "$work/crop.txt"
l=${crop%%,*}; rest=${crop#*,}; t=${rest%%-*}; rest=${rest#*-}; r=${rest%%,*}; b=${rest#*,}
cw=$((r - l)); ch=$((b - t))

run() {  # label, command...
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/$label.time" "$@" > "$work/$label.log" 2>&1
  read -r secs kb < "$work/$label.time"
  echo "$label $secs $kb"
}

best() {  # label, runs, command... : the fastest of several runs
  local label=$1 n=$2; shift 2
  local bs="" bk=""
  for _ in $(seq "$n"); do
    read -r _ s k < <(run "$label" "$@")
    if [ -z "$bs" ] || awk "BEGIN{exit !($s < $bs)}"; then bs=$s; fi
    if [ -z "$bk" ] || [ "$k" -gt "$bk" ]; then bk=$k; fi
  done
  echo "$bs $bk"
}

runs=${RUNS:-3}
read -r m_s m_kb < <(best movelark "$runs" "$movelark" compress "$src" -o "$work/movelark.mov" --settings "$work/bench.settings" --quiet)
read -r f_s f_kb < <(best ffmpeg "$runs" ffmpeg -nostdin -y -v error -i "$src" -i "$mark" -filter_complex \
  "[0:v]crop=$cw:$ch:$l:$t,scale=1280:720:flags=bicubic[v];[v][1:v]overlay=W-w:H-h,format=yuv420p" \
  -c:v libx264 -crf 23 -preset medium -c:a aac -b:a 128k -ar 48000 "$work/ffmpeg.mov")

ms=$(stat -c %s "$work/movelark.mov"); fsz=$(stat -c %s "$work/ffmpeg.mov")
echo "wall time ratio movelark/ffmpeg: $(awk "BEGIN{printf \"%.3f\", $m_s/$f_s}")  (movelark ${m_s}s, ffmpeg ${f_s}s, best of $runs)"
echo "peak memory: movelark $((m_kb / 1024)) MB, ffmpeg $((f_kb / 1024)) MB"
echo "output size ratio movelark/ffmpeg: $(awk "BEGIN{printf \"%.3f\", $ms/$fsz}")"
ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 "$work/movelark.mov" | tr '\n' ' '; echo
