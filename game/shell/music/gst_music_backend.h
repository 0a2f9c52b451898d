// The music backend of the program: GStreamer's playbin, one pipeline built anew for each piece.
// MP3 and WMA play through the distribution's decoders, MIDI through the fluidsynth element with
// the General MIDI soundfont installed beside it. Only sound is played (a picture inside a file
// is never shown). A piece that ends is sought back to its beginning; a piece that fails is torn
// down and reported to the player (who closes its MIDI slot). Without GStreamer, without the
// needed elements or without a sound device the backend stays silent.
//
// The pipeline's messages are taken on the user-interface thread: by a timer of the running
// application every quarter second, or by Poll.
#pragma once

#include <memory>
#include <string>

#include "game/shell/music/music_player.h"

namespace rymd::shell {

// Whether the machine has a sound output the desktop's sink can play to: a PulseAudio or PipeWire
// server (PULSE_SERVER set, or its socket in the runtime folder) or an ALSA playback device
// (pcmC*D*p in the ALSA device folder, normally /dev/snd).
bool SoundOutputPresent(const char* pulseServer, const std::string& runtimeFolder,
                        const std::string& alsaFolder);

class GstMusicBackend final : public MusicBackend {
public:
    // audioSink: the name of the sink element that takes the sound ("": the desktop's sound output,
    // autoaudiosink; "fakesink": nowhere, for tests and machines without sound), or a chain of
    // elements ("audioconvert ! wavenc ! filesink location=out.wav"). An unknown one plays nothing.
    // With "" on a machine without a sound output (SoundOutputPresent) the backend says so in
    // one line on standard error and stays silent: the sound libraries are never asked.
    explicit GstMusicBackend(std::string audioSink = {});
    ~GstMusicBackend() override;
    GstMusicBackend(const GstMusicBackend&) = delete;
    GstMusicBackend& operator=(const GstMusicBackend&) = delete;

    // False when GStreamer could not be initialised (every Play then fails).
    bool Available() const;

    bool Play(const std::string& path, bool midi) override;
    void Stop() override;

    // Takes the pipeline's waiting messages: loops a finished piece, tears down a failed one.
    void Poll();
    // How often the current piece has started again from its beginning.
    int Loops() const;
    // True while a pipeline exists (a piece plays or waits to play).
    bool HasPiece() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace rymd::shell
