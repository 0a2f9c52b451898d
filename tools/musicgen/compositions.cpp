#include "tools/musicgen/compositions.h"

#include "tools/musicgen/midi_writer.h"

namespace rymd::musicgen {

namespace {

constexpr int kBeat = 480;  // ticks to the quarter note
constexpr int kBar = 4 * kBeat;

// General MIDI programs (zero-based) and the percussion channel's keys.
constexpr int kStrings = 48;
constexpr int kBrass = 61;
constexpr int kShamisen = 106;
constexpr int kKoto = 107;
constexpr int kShakuhachi = 77;
constexpr int kTaiko = 116;
constexpr int kDrumChannel = 9;
constexpr int kBassDrum = 36;
constexpr int kLowTom = 45;
constexpr int kFloorTom = 41;

struct Tone {
    int key;  // 0: a rest
    double beats;
};

// Plays a line of tones from bar on; returns the tick after it.
int Line(MidiTrack& t, int channel, int bar, const std::vector<Tone>& tones, int velocity,
         int transpose = 0) {
    int at = bar * kBar;
    for (const Tone& n : tones) {
        const int len = static_cast<int>(n.beats * kBeat);
        if (n.key > 0) t.Note(at, len - kBeat / 16, channel, n.key + transpose, velocity);
        at += len;
    }
    return at;
}

// --- 夕暮れ --------------------------------------------------------------------------------------

// Yo scale on D: D E G A B.
constexpr int D4 = 62, E4 = 64, G4 = 67, A4 = 69, B4 = 71, D5 = 74, E5 = 76;

const std::vector<Tone> kDuskA = {
    {A4, 2}, {G4, 1}, {E4, 1}, {D4, 3}, {E4, 1}, {G4, 1.5}, {A4, 0.5}, {B4, 1}, {A4, 1}, {A4, 4},
    {D5, 2}, {B4, 1}, {A4, 1}, {G4, 2}, {E4, 2}, {G4, 1},   {A4, 1},   {G4, 1}, {E4, 1}, {D4, 4},
};
const std::vector<Tone> kDuskB = {
    {B4, 2}, {D5, 1}, {E5, 1}, {D5, 3}, {B4, 1}, {A4, 1.5}, {B4, 0.5}, {A4, 1}, {G4, 1}, {E4, 4},
    {G4, 2}, {A4, 1}, {B4, 1}, {A4, 2}, {G4, 2}, {E4, 1},   {G4, 1},   {E4, 1}, {D4, 1}, {D4, 4},
};
// The root of each bar's harmony (the third octave), for A and for B.
const std::vector<int> kDuskRootsA = {50, 50, 55, 57, 55, 52, 57, 50};
const std::vector<int> kDuskRootsB = {55, 50, 57, 52, 55, 57, 52, 50};

}  // namespace

std::vector<std::uint8_t> YuugureMidi() {
    MidiTrack conductor, flute, koto, strings, taiko;
    conductor.Name("Yuugure");
    conductor.Tempo(0, 72);
    flute.Name("Shakuhachi");
    koto.Name("Koto");
    strings.Name("Strings");
    taiko.Name("Taiko");
    flute.Program(0, 0, kShakuhachi);
    koto.Program(0, 1, kKoto);
    strings.Program(0, 2, kStrings);
    taiko.Program(0, 3, kTaiko);
    for (int ch = 0; ch < 4; ++ch)
        conductor.Control(0, ch, 91, 70);  // reverb
    strings.Control(0, 2, 7, 90);

    // A B A', 8 bars each; the koto doubles the last melody an octave lower.
    Line(flute, 0, 0, kDuskA, 108);
    Line(flute, 0, 8, kDuskB, 114);
    Line(flute, 0, 16, kDuskA, 108);
    Line(koto, 1, 16, kDuskA, 76, -12);
    for (int bar = 0; bar < 24; ++bar) {
        const int root = (bar / 8 == 1 ? kDuskRootsB : kDuskRootsA)[bar % 8];
        const int at = bar * kBar;
        strings.Note(at, kBar - 10, 2, root - 12, 80);
        strings.Note(at, kBar - 10, 2, root - 5, 72);
        const int pattern[8] = {0, 7, 12, 7, 14 - (root == 55 ? 0 : 2), 12, 7, 12};
        for (int i = 0; i < 8; ++i)
            koto.Note(at + i * kBeat / 2, i < 7 ? kBeat : kBeat / 2 - 10, 1, root + pattern[i],
                      i % 4 == 0 ? 92 : 72);
        if (bar % 2 == 0) taiko.Note(at, kBeat, 3, 45, 90);
        if (bar % 8 == 7) taiko.Note(at + 3 * kBeat, kBeat / 2, 3, 45, 70);
    }
    return MidiFile({conductor, flute, koto, strings, taiko}, kBeat);
}

namespace {

// --- 合戦 ------------------------------------------------------------------------------------------

// Miyako-bushi scale on A: A Bb D E F.
constexpr int F4 = 65, A3 = 57, Bb4 = 70, F5 = 77;

const std::vector<Tone> kBattleTheme = {
    {A4, 1}, {A4, 0.5}, {Bb4, 0.5}, {D5, 2}, {E5, 1},   {D5, 1},    {Bb4, 1}, {A4, 1}, {F4, 1},
    {E4, 1}, {D4, 2},   {E4, 3},    {0, 1},  {A4, 0.5}, {Bb4, 0.5}, {D5, 1},  {E5, 1}, {F5, 1},
    {E5, 2}, {D5, 1},   {Bb4, 1},   {A4, 1}, {Bb4, 1},  {A4, 1},    {F4, 1},  {E4, 3},
};
// The ostinato's root for each bar of a theme: A A D E A A D E.
const std::vector<int> kBattleRoots = {0, 0, 5, 7, 0, 0, 5, 7};

void Drums(MidiTrack& t, int bar, bool fill) {
    const int at = bar * kBar;
    for (int i = 0; i < 8; ++i) {
        const int tick = at + i * kBeat / 2;
        if (i == 0 || i == 3 || i == 4) t.Note(tick, kBeat / 4, kDrumChannel, kBassDrum, i == 0 ? 118 : 96);
        if (fill && i >= 4)
            t.Note(tick, kBeat / 4, kDrumChannel, i % 2 ? kFloorTom : kLowTom, 100);
        else if (i % 2)
            t.Note(tick, kBeat / 4, kDrumChannel, kFloorTom, 70);
    }
}

}  // namespace

std::vector<std::uint8_t> KassenMidi() {
    MidiTrack conductor, brass, shamisen, strings, taiko, drums;
    conductor.Name("Kassen");
    conductor.Tempo(0, 132);
    brass.Name("Brass");
    shamisen.Name("Shamisen");
    strings.Name("Strings");
    taiko.Name("Taiko");
    drums.Name("Drums");
    brass.Program(0, 0, kBrass);
    shamisen.Program(0, 1, kShamisen);
    strings.Program(0, 2, kStrings);
    taiko.Program(0, 3, kTaiko);
    for (int ch = 0; ch < 4; ++ch)
        conductor.Control(0, ch, 91, 40);

    // Intro (4 bars of drums and ostinato), theme, theme with strings, a bridge of 4 bars, the
    // theme once more, an outro of 8 bars that leads back to the intro: 40 bars.
    constexpr int kThemes[3] = {4, 12, 24};
    for (int start : kThemes)
        Line(brass, 0, start, kBattleTheme, 100);
    Line(strings, 2, 12, kBattleTheme, 70, -12);
    const int ostinato[8] = {0, 0, 7, 0, 1, 0, 7, 8};
    for (int bar = 0; bar < 40; ++bar) {
        const int at = bar * kBar;
        const bool inTheme = (bar >= 4 && bar < 20) || (bar >= 24 && bar < 32);
        const int root = A3 + (inTheme ? kBattleRoots[(bar - (bar >= 24 ? 24 : 4)) % 8] : 0);
        for (int i = 0; i < 8; ++i)
            shamisen.Note(at + i * kBeat / 2, kBeat / 2 - 20, 1, root + ostinato[i], i % 4 == 0 ? 104 : 80);
        if (!inTheme) strings.Note(at, kBar - 10, 2, root - 12, 64);
        strings.Note(at, kBar - 10, 2, root - 24, 58);
        taiko.Note(at, kBeat, 3, 41, 120);
        taiko.Note(at + 5 * kBeat / 2, kBeat / 2, 3, 41, 100);
        if (bar % 4 == 3) taiko.Note(at + 7 * kBeat / 2, kBeat / 2, 3, 41, 110);
        Drums(drums, bar, bar % 8 == 7);
    }
    return MidiFile({conductor, brass, shamisen, strings, taiko, drums}, kBeat);
}

}  // namespace rymd::musicgen
