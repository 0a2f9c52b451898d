// musicgen: the game's own music.
//   musicgen midi yuugure|kassen OUT.mid   writes the piece as a MIDI file
//   musicgen render IN.mid OUT.mp3         renders a MIDI file to MP3 with GStreamer: the
//                                          fluidsynth element with the General MIDI soundfont
//                                          (TimGM6mb, from timgm6mb-soundfont, when installed),
//                                          then the LAME encoder (44.1 kHz stereo, 128 kbit/s)
// The build runs both for Yuugure.mp3 (the standard song) and Kassen.mp3 (the battle piece).
#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tools/musicgen/compositions.h"
#include "tools/musicgen/stall_watch.h"

namespace {

constexpr const char* kSoundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

int Usage() {
    std::fprintf(stderr,
                 "usage: musicgen midi yuugure|kassen OUT.mid\n       musicgen render IN.mid OUT.mp3\n");
    return 2;
}

int WriteMidi(const std::string& piece, const std::string& out) {
    std::vector<std::uint8_t> bytes;
    if (piece == "yuugure")
        bytes = rymd::musicgen::YuugureMidi();
    else if (piece == "kassen")
        bytes = rymd::musicgen::KassenMidi();
    else
        return Usage();
    const std::string temp = out + ".part";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!f) {
            std::fprintf(stderr, "musicgen: cannot write %s\n", temp.c_str());
            return 1;
        }
    }
    if (std::rename(temp.c_str(), out.c_str()) != 0) {
        std::fprintf(stderr, "musicgen: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

double SecondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Counts the bytes that reach the output file (called on the pipeline's streaming thread).
GstPadProbeReturn CountBytes(GstPad*, GstPadProbeInfo* info, gpointer written) {
    if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info))
        *static_cast<std::atomic<std::uint64_t>*>(written) += gst_buffer_get_size(buffer);
    return GST_PAD_PROBE_OK;
}

int Render(const std::string& in, const std::string& out) {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        std::fprintf(stderr, "musicgen: GStreamer: %s\n", error ? error->message : "cannot start");
        return 1;
    }
    const std::string temp = out + ".part";
    GstElement* pipeline = gst_parse_launch(
        "filesrc name=in ! midiparse ! fluiddec name=synth synth-gain=0.8 ! audioconvert ! audioresample ! "
        "audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate cbr=true bitrate=128 ! filesink "
        "name=out",
        &error);
    if (!pipeline || error) {
        std::fprintf(stderr,
                     "musicgen: GStreamer: %s (needs gstreamer1.0-plugins-bad, -good and a soundfont)\n",
                     error ? error->message : "no pipeline");
        return 1;
    }
    // The soundfont the credits name, when it is there; otherwise the element's own search.
    if (std::FILE* f = std::fopen(kSoundfont, "rb")) {
        std::fclose(f);
        GstElement* synth = gst_bin_get_by_name(GST_BIN(pipeline), "synth");
        g_object_set(synth, "soundfont", kSoundfont, nullptr);
        gst_object_unref(synth);
    }
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "in");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_object_set(src, "location", in.c_str(), nullptr);
    g_object_set(sink, "location", temp.c_str(), nullptr);
    std::atomic<std::uint64_t> written{0};
    GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(sinkPad, GST_PAD_PROBE_TYPE_BUFFER, CountBytes, &written, nullptr);
    gst_object_unref(sinkPad);
    gst_object_unref(src);
    gst_object_unref(sink);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    // Rendering takes seconds on a quiet machine and as long as it must on a busy one; only a
    // render whose output stands still for minutes is a fault.
    rymd::musicgen::StallWatch watch(SecondsNow());
    GstMessage* msg = nullptr;
    bool stalled = false;
    while (!msg && !stalled) {
        msg = gst_bus_timed_pop_filtered(bus, GST_SECOND,
                                         static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!msg) stalled = watch.Stalled(written.load(), SecondsNow());
    }
    int result = 0;
    if (!msg) {
        std::fprintf(stderr, "musicgen: rendering %s stopped: no output for %.0f minutes\n", in.c_str(),
                     rymd::musicgen::StallWatch::kStallSeconds / 60);
        result = 1;
    } else if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
        GError* e = nullptr;
        gst_message_parse_error(msg, &e, nullptr);
        std::fprintf(stderr, "musicgen: rendering %s: %s\n", in.c_str(), e ? e->message : "error");
        if (e) g_error_free(e);
        result = 1;
    }
    if (msg) gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    if (result == 0 && std::rename(temp.c_str(), out.c_str()) != 0) {
        std::fprintf(stderr, "musicgen: cannot write %s\n", out.c_str());
        result = 1;
    }
    if (result != 0) std::remove(temp.c_str());
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    if (std::strcmp(argv[1], "midi") == 0) return WriteMidi(argv[2], argv[3]);
    if (std::strcmp(argv[1], "render") == 0) return Render(argv[2], argv[3]);
    return Usage();
}
