// A Standard MIDI File (format 1) written by code: tracks of note and program events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rymd::musicgen {

class MidiTrack {
public:
    // Events at absolute ticks; they are sorted when the file is written.
    void Tempo(int tick, int beatsPerMinute);
    void Program(int tick, int channel, int program);
    void Control(int tick, int channel, int controller, int value);
    // A note from tick for length ticks.
    void Note(int tick, int length, int channel, int key, int velocity);
    void Name(std::string name) { name_ = std::move(name); }

    // The track chunk ("MTrk", length, events, end of track).
    std::vector<std::uint8_t> Chunk() const;

private:
    struct Event {
        int tick;
        int order;  // note-offs before note-ons at the same tick
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Event> events_;
    std::string name_;
};

// A whole file: the header chunk and the tracks, ticksPerBeat to the quarter note.
std::vector<std::uint8_t> MidiFile(const std::vector<MidiTrack>& tracks, int ticksPerBeat);

// The variable-length quantity of the format.
std::vector<std::uint8_t> VarLen(std::uint32_t value);

}  // namespace rymd::musicgen
