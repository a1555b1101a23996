#!/usr/bin/env bash
# song_video_bench.sh - how fast karaoke-render turns a whole three-minute song
# into frames, and into finished videos, against the song's own length.
#
#   bench/song_video_bench.sh [BUILD_DIR]      (default build/native)
#
# The song is made here: 90 lines of 8 syllables, 180 seconds.  Each run reports
# frames per second and "x real time" (song seconds made per second of work; above
# 1 is faster than the song plays).  The video runs include encoding by ffmpeg.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/native}
PLAYER=$BUILD/tools/karaoke-render
WORK=$(mktemp -d /tmp/song_video_bench.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

# BPM 300: 50 ms a beat; a line is 8 notes of 4 beats and a rest of 8 beats, 2 s.
awk 'BEGIN {
  print "#TITLE:Three minutes"; print "#ARTIST:Benchmark"; print "#BPM:300"; print "#GAP:1000"
  split("la li lo lu le na ni no 好 一 朵 美 丽 的 茉 莉", syl, " ")
  for (line = 0; line < 90; line++) {
    for (n = 0; n < 8; n++) {
      beat = line * 40 + n * 4; pitch = (line * 3 + n * 5) % 12
      printf "%s %d 3 %d %s \n", (n == 7 ? "*" : ":"), beat, pitch, syl[(line + n) % 16 + 1]
    }
    printf "- %d\n", line * 40 + 34
  }
  print "E"
}' > "$WORK/song.txt"

run() {  # label, options...
  local label=$1; shift
  local start end
  start=$(date +%s.%N)
  "$PLAYER" --song "$WORK/song.txt" --out "$WORK/out" --every 0 --sheet 0 "$@" 2> /dev/null | grep 'frames per second' \
    | sed "s/^ */  $label /"
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v label="$label" \
    'BEGIN { printf "  %s total: %.1f s wall for 2 x 182 s of song (%.1fx real time)\n", label, e - s, 364 / (e - s) }'
}

echo "karaoke-render, a 182-second song at 30 frames per second, 640 x 230, both modes:"
run "frames only:"
if command -v ffmpeg > /dev/null; then
  run "with video:" --video
  ls -l "$WORK/out"/*.mp4 | awk '{ printf "  %s: %.1f MB\n", $NF, $5 / 1048576 }' | sed "s|$WORK/out/||"
else
  echo "  (no video run: ffmpeg is not installed)"
fi
