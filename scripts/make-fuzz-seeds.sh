#!/usr/bin/env bash
# Makes the seed inputs of the fuzz harnesses in the folder given (default build-fuzz/seeds):
# WAV files made by sox in every format the program reads, audio files of every format the
# libsndfile reader takes, the project's own broken WAV
# fixtures, hand-written list files and number texts, and generator inputs.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-fuzz/seeds}
rm -rf "$out"
mkdir -p "$out"/{wav_read,audio_read,list_file,numbers,generators}

# WAV: 8/16 bit, mono/stereo, a few rates, a few milliseconds each.
for bits in 8 16; do
    for channels in 1 2; do
        for rate in 4000 32075 48000; do
            sox -q -n -r "$rate" -c "$channels" -b "$bits" "$out/wav_read/sox_${bits}_${channels}_${rate}.wav" \
                synth 0.003 sine 440 vol 0.5
        done
    done
done
cp tests/data/*.wav "$out/wav_read/"

# Every format the libsndfile reader takes: PCM 8...32 bit, float 32/64, extensible with four
# channels, RF64 (by ffmpeg), FLAC and AIFF, a few milliseconds each; the broken files replayed as tests.
a="$out/audio_read"
for bits in 8 16 24 32; do
    sox -q -n -r 96000 -c 2 -b "$bits" "$a/pcm_$bits.wav" synth 0.002 sine 440 vol 0.5
done
sox -q -n -r 48000 -c 1 -e floating-point -b 32 "$a/float32.wav" synth 0.002 sine 440
sox -q -n -r 48000 -c 2 -e floating-point -b 64 "$a/float64.wav" synth 0.002 sine 440
sox -q -n -r 48000 -c 4 -b 24 "$a/extensible_4ch.wav" synth 0.002 sine 440
# sox writes no RF64; ffmpeg does, when it is there.
if command -v ffmpeg >/dev/null; then
    ffmpeg -v error -y -f lavfi -i sine=440:d=0.002 -ac 2 -rf64 always "$a/rf64.wav"
fi
sox -q -n -r 96000 -c 2 -b 24 "$a/flac_24.flac" synth 0.002 sine 440
sox -q -n -r 44100 -c 1 -b 16 "$a/aiff_16.aiff" synth 0.002 sine 440
cp fuzz/reproducers/audio_read/* "$a/"

# Lists: the first byte picks the form (0 sine, 1 pn-phase, 2 band), the rest is the file.
seed_list() { printf "$2" > "$out/list_file/$1"; }
seed_list sine '\000Level -6 dB\n1;1000;1.0;0\n2;3000;0.333;90\n'
seed_list sine_nolevel '\000Level dB\n1;1000;1.0;0\n'
seed_list sine_comma '\000Level -3,5 dB\n1;1000,5;1;0\n'
seed_list pn '\001Level -6 dB\n1;1000;1.0\n2;3000;0.333\n'
seed_list pn_tokens '\001Level 0 dB\n1;x;1\n'
seed_list band '\002Level -6 dB\n1;100;200;1;0.5\n2;1000;1100;10;0.2\n'
seed_list band_tiny '\002Level 0 dB\n1;1000;1000;1e-13;1\n'
seed_list band_huge '\002Level 0 dB\n1;1;20000;1e-9;1\n'
seed_list band_exp '\002Level 1e999 dB\n1;0.0000000001e20;2e3;1;1\n'

# Numbers: edit fields, and the parameter dialog's five fields cut at ';'.
seed_num() { printf '%s' "$2" > "$out/numbers/$1"; }
seed_num plain '1.5'
seed_num comma '0,5'
seed_num big '-1e308'
seed_num nan 'nan'
seed_num inf '-inf'
seed_num unit '22050 Hz'
seed_num format '16;44100;1.0;32768;1'
seed_num format8 '8;48000.1;180.5;129;2'
seed_num zeros '0.000000000000000000000000000000001e40'

# Generators: a format byte block, then the generator's byte and its values (see the harness).
python3 - "$out/generators" <<'PY'
import os, struct, sys
out = sys.argv[1]
def edge(i, scale=0):  # a value from the harness's table of edges
    return bytes([128 + i, 128 + scale])
def raw(x):
    return bytes([0]) + struct.pack('<d', x)
fmt = bytes([3, 1, 0, 9])           # 44100 Hz, stereo, 16 bit, 10 ms
level = raw(-3.0)
cases = {
    'sine': bytes([0]) + raw(1000.0) + raw(1.0) + raw(45.0) + raw(90.0),
    'square': bytes([1, 0]) + raw(100.0) + raw(0.0) + raw(0.0),
    'sawtooth_low': bytes([1, 2]) + raw(1.0) + raw(1e300) + raw(0.0),
    'am': bytes([2]) + raw(1000.0) + raw(100.0) + raw(0.0) + raw(0.0) + raw(1.0),
    'fm': bytes([3]) + raw(1000.0) + raw(1e307) + raw(1.0),
    'sweep': bytes([4]) + raw(100.0) + raw(10000.0) + bytes([2]),
    'pn': bytes([5]) + raw(1000.0) + raw(-1.0) + raw(0.0),
    'white': bytes([6, 0]) + raw(100.0) + raw(1000.0) + raw(10.0) + raw(-1.0) + raw(0.0),
    'pink': bytes([7, 1]) + raw(20.0) + raw(2000.0) + raw(1.0) + raw(1.0) + raw(45.0),
    'pn_list': bytes([8, 1, 3]) + raw(1e300) + raw(1.0) + raw(0) + raw(500.0) + raw(1.0) + raw(0) + raw(700.0) + raw(1.0) + raw(0),
    'edges': bytes([0]) + edge(4) + edge(1) + edge(7) + edge(8),
}
for name, body in cases.items():
    with open(os.path.join(out, name), 'wb') as f:
        f.write(fmt + level + body)
PY
echo "seeds in $out: $(find "$out" -type f | wc -l) files"
