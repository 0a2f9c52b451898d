// The MIDI files the music generator writes: the file's structure, the variable-length numbers,
// and the two pieces (tracks, channels, whole bars, so that they loop without a seam).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/musicgen/compositions.h"
#include "tools/musicgen/midi_writer.h"

namespace rymd::musicgen {
namespace {

std::uint32_t Be(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

struct Parsed {
    int format = -1, tracks = 0, division = 0;
    int notesOn = 0, notesOff = 0;
    std::uint32_t lastTick = 0;  // the latest event of any track
    bool wellFormed = true;
};

// Reads the file as a player would (running status is never written, so none is read).
Parsed Parse(const std::vector<std::uint8_t>& b) {
    Parsed p;
    if (b.size() < 14 || Be(b, 0, 4) != 0x4d546864u || Be(b, 4, 4) != 6)
        return Parsed{-1, 0, 0, 0, 0, 0, false};
    p.format = static_cast<int>(Be(b, 8, 2));
    const int count = static_cast<int>(Be(b, 10, 2));
    p.division = static_cast<int>(Be(b, 12, 2));
    std::size_t at = 14;
    for (int t = 0; t < count; ++t) {
        if (at + 8 > b.size() || Be(b, at, 4) != 0x4d54726bu) return p.wellFormed = false, p;
        const std::size_t end = at + 8 + Be(b, at + 4, 4);
        if (end > b.size()) return p.wellFormed = false, p;
        at += 8;
        std::uint32_t tick = 0;
        bool ended = false;
        while (at < end && !ended) {
            std::uint32_t delta = 0;
            do
                delta = delta << 7 | (b[at] & 0x7f);
            while (b[at++] & 0x80);
            tick += delta;
            const std::uint8_t status = b[at++];
            if (status == 0xff) {
                const std::uint8_t type = b[at++];
                const std::uint8_t len = b[at++];
                at += len;
                ended = type == 0x2f;
                continue;
            }
            if (tick > p.lastTick) p.lastTick = tick;
            switch (status & 0xf0) {
                case 0x90:
                    ++p.notesOn;
                    at += 2;
                    break;
                case 0x80:
                    ++p.notesOff;
                    at += 2;
                    break;
                case 0xb0: at += 2; break;
                case 0xc0: at += 1; break;
                default: return p.wellFormed = false, p;
            }
        }
        if (!ended || at != end) p.wellFormed = false;
        ++p.tracks;
    }
    return p;
}

TEST(MidiWriterTest, VariableLengthNumbers) {
    EXPECT_EQ(VarLen(0), (std::vector<std::uint8_t>{0x00}));
    EXPECT_EQ(VarLen(0x7f), (std::vector<std::uint8_t>{0x7f}));
    EXPECT_EQ(VarLen(0x80), (std::vector<std::uint8_t>{0x81, 0x00}));
    EXPECT_EQ(VarLen(0x0fffffff), (std::vector<std::uint8_t>{0xff, 0xff, 0xff, 0x7f}));
}

TEST(MidiWriterTest, NotesAreSortedAndEachOneEnds) {
    MidiTrack t;
    t.Note(480, 240, 0, 60, 100);
    t.Note(0, 480, 0, 62, 100);  // ends where the other begins: its note-off comes first
    const std::vector<std::uint8_t> file = MidiFile({t}, 480);
    const Parsed p = Parse(file);
    EXPECT_TRUE(p.wellFormed);
    EXPECT_EQ(p.format, 1);
    EXPECT_EQ(p.division, 480);
    EXPECT_EQ(p.notesOn, 2);
    EXPECT_EQ(p.notesOff, 2);
    EXPECT_EQ(p.lastTick, 720u);
    // Track body: 00 90 3e 64, 83 60 80 3e 00, 00 90 3c 64, 81 70 80 3c 00, end of track.
    const std::vector<std::uint8_t> body(file.begin() + 22, file.end());
    EXPECT_EQ(body,
              (std::vector<std::uint8_t>{0x00, 0x90, 0x3e, 0x64, 0x83, 0x60, 0x80, 0x3e, 0x00, 0x00, 0x90,
                                         0x3c, 0x64, 0x81, 0x70, 0x80, 0x3c, 0x00, 0x00, 0xff, 0x2f, 0x00}));
}

TEST(MidiWriterTest, ThePiecesAreWholeAndEndOnABarLine) {
    struct Piece {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int tracks;
        int bars;
    };
    for (const Piece& piece :
         {Piece{"yuugure", YuugureMidi(), 5, 24}, Piece{"kassen", KassenMidi(), 6, 40}}) {
        const Parsed p = Parse(piece.bytes);
        EXPECT_TRUE(p.wellFormed) << piece.name;
        EXPECT_EQ(p.tracks, piece.tracks) << piece.name;
        EXPECT_EQ(p.notesOn, p.notesOff) << piece.name;
        EXPECT_GT(p.notesOn, 200) << piece.name;
        // The last note ends on the last bar line at the latest, a little before it (the
        // notes are cut short by a few ticks).
        const std::uint32_t end = static_cast<std::uint32_t>(piece.bars * 4 * p.division);
        EXPECT_LE(p.lastTick, end) << piece.name;
        EXPECT_GT(p.lastTick, end - static_cast<std::uint32_t>(p.division)) << piece.name;
        EXPECT_EQ(piece.bytes,
                  piece.name == std::string("yuugure") ? YuugureMidi() : KassenMidi());  // the same each time
    }
}

}  // namespace
}  // namespace rymd::musicgen
