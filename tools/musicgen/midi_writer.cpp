#include "tools/musicgen/midi_writer.h"

#include <algorithm>

namespace rymd::musicgen {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

std::uint8_t Byte(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 127));
}

}  // namespace

std::vector<std::uint8_t> VarLen(std::uint32_t value) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(value & 0x7f)};
    while (value >>= 7)
        out.insert(out.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7f)));
    return out;
}

void MidiTrack::Tempo(int tick, int beatsPerMinute) {
    const std::uint32_t micro = 60000000u / static_cast<std::uint32_t>(std::max(1, beatsPerMinute));
    events_.push_back({tick,
                       0,
                       {0xff, 0x51, 0x03, static_cast<std::uint8_t>(micro >> 16),
                        static_cast<std::uint8_t>(micro >> 8), static_cast<std::uint8_t>(micro)}});
}

void MidiTrack::Program(int tick, int channel, int program) {
    events_.push_back({tick, 0, {static_cast<std::uint8_t>(0xc0 | (channel & 15)), Byte(program)}});
}

void MidiTrack::Control(int tick, int channel, int controller, int value) {
    events_.push_back(
        {tick, 0, {static_cast<std::uint8_t>(0xb0 | (channel & 15)), Byte(controller), Byte(value)}});
}

void MidiTrack::Note(int tick, int length, int channel, int key, int velocity) {
    const auto ch = static_cast<std::uint8_t>(channel & 15);
    events_.push_back(
        {tick, 2, {static_cast<std::uint8_t>(0x90 | ch), Byte(key), Byte(std::max(1, velocity))}});
    events_.push_back({tick + std::max(1, length), 1, {static_cast<std::uint8_t>(0x80 | ch), Byte(key), 0}});
}

std::vector<std::uint8_t> MidiTrack::Chunk() const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<std::uint8_t> body;
    if (!name_.empty()) {
        body.insert(body.end(), {0x00, 0xff, 0x03});
        const std::vector<std::uint8_t> n = VarLen(static_cast<std::uint32_t>(name_.size()));
        body.insert(body.end(), n.begin(), n.end());
        body.insert(body.end(), name_.begin(), name_.end());
    }
    int at = 0;
    for (const Event& e : sorted) {
        const std::vector<std::uint8_t> d = VarLen(static_cast<std::uint32_t>(e.tick - at));
        body.insert(body.end(), d.begin(), d.end());
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        at = e.tick;
    }
    body.insert(body.end(), {0x00, 0xff, 0x2f, 0x00});
    std::vector<std::uint8_t> out{'M', 'T', 'r', 'k'};
    Put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> MidiFile(const std::vector<MidiTrack>& tracks, int ticksPerBeat) {
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    Put16(out, 1);
    Put16(out, static_cast<int>(tracks.size()));
    Put16(out, ticksPerBeat);
    for (const MidiTrack& t : tracks) {
        const std::vector<std::uint8_t> c = t.Chunk();
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

}  // namespace rymd::musicgen
