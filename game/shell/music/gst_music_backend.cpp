#include "game/shell/music/gst_music_backend.h"

#include <gst/gst.h>

#include <dirent.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>
#include <iostream>

namespace rymd::shell {

namespace {

// playbin's flags: sound only, with its own volume control (no video, no subtitles).
constexpr int kPlayFlagAudio = 0x2;
constexpr int kPlayFlagSoftVolume = 0x10;
constexpr int kPollMilliseconds = 250;

bool InitGstreamer() {
    static const bool ok = [] {
        GError* error = nullptr;
        const bool done = gst_init_check(nullptr, nullptr, &error);
        if (error) g_error_free(error);
        return done;
    }();
    return ok;
}

bool IsSocket(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace

bool SoundOutputPresent(const char* pulseServer, const std::string& runtimeFolder,
                        const std::string& alsaFolder) {
    if (pulseServer && *pulseServer) return true;
    if (!runtimeFolder.empty() &&
        (IsSocket(runtimeFolder + "/pulse/native") || IsSocket(runtimeFolder + "/pipewire-0")))
        return true;
    DIR* dir = ::opendir(alsaFolder.c_str());
    if (!dir) return false;
    bool playback = false;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind("pcmC", 0) == 0 && !name.empty() && name.back() == 'p') playback = true;
    }
    ::closedir(dir);
    return playback;
}

struct GstMusicBackend::Impl {
    std::string audioSink;
    bool available = false;
    GstElement* pipeline = nullptr;
    int loops = 0;
    std::unique_ptr<QTimer> timer;

    void TearDown() {
        if (timer) timer->stop();
        if (!pipeline) return;
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        pipeline = nullptr;
    }

    // Back to the beginning of the piece that ended.
    void Restart() {
        ++loops;
        if (gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                    static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                                    0))
            return;
        gst_element_set_state(pipeline, GST_STATE_READY);
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
    }
};

GstMusicBackend::GstMusicBackend(std::string audioSink) : impl_(std::make_unique<Impl>()) {
    impl_->audioSink = std::move(audioSink);
    if (impl_->audioSink.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!SoundOutputPresent(std::getenv("PULSE_SERVER"), runtime ? runtime : "", "/dev/snd")) {
            std::cerr << "No sound device (no PulseAudio or PipeWire server, no ALSA playback device): "
                         "the game plays without music.\n";
            return;
        }
    }
    impl_->available = InitGstreamer();
}

GstMusicBackend::~GstMusicBackend() {
    impl_->TearDown();
}

bool GstMusicBackend::Available() const {
    return impl_->available;
}

bool GstMusicBackend::Play(const std::string& path, bool /*midi: the stream's type decides*/) {
    Stop();
    if (!impl_->available || path.empty()) return false;
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (error) g_error_free(error);
    if (!uri) return false;
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin) {
        g_free(uri);
        return false;
    }
    g_object_set(playbin, "uri", uri, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);
    g_free(uri);
    if (!impl_->audioSink.empty()) {
        GstElement* sink = nullptr;
        if (impl_->audioSink.find('!') == std::string::npos) {
            sink = gst_element_factory_make(impl_->audioSink.c_str(), nullptr);
        } else {
            sink = gst_parse_bin_from_description(impl_->audioSink.c_str(), TRUE, &error);
            if (error) {
                g_error_free(error);
                error = nullptr;
            }
        }
        if (!sink) {
            gst_object_unref(playbin);
            return false;
        }
        g_object_set(playbin, "audio-sink", sink, nullptr);  // playbin takes the floating reference
    }
    impl_->pipeline = GST_ELEMENT(gst_object_ref_sink(playbin));  // ours now, no longer floating
    impl_->loops = 0;
    if (gst_element_set_state(impl_->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        impl_->TearDown();
        return false;
    }
    if (QCoreApplication::instance()) {
        if (!impl_->timer) {
            impl_->timer = std::make_unique<QTimer>();
            QObject::connect(impl_->timer.get(), &QTimer::timeout, [this] { Poll(); });
        }
        impl_->timer->start(kPollMilliseconds);
    }
    return true;
}

void GstMusicBackend::Stop() {
    impl_->TearDown();
}

void GstMusicBackend::Poll() {
    while (impl_->pipeline) {
        GstBus* bus = gst_element_get_bus(impl_->pipeline);
        GstMessage* message =
            gst_bus_pop_filtered(bus, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        gst_object_unref(bus);
        if (!message) return;
        const GstMessageType type = GST_MESSAGE_TYPE(message);
        gst_message_unref(message);
        if (type == GST_MESSAGE_EOS) {
            impl_->Restart();
            return;  // messages of the finished run are of no more use
        }
        impl_->TearDown();  // not music, no decoder, no device: silence
        ReportFailure();
        return;
    }
}

int GstMusicBackend::Loops() const {
    return impl_->loops;
}

bool GstMusicBackend::HasPiece() const {
    return impl_->pipeline != nullptr;
}

}  // namespace rymd::shell
