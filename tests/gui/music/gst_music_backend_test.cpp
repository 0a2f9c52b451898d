// The GStreamer backend with its sound sent nowhere (fakesink, which runs as fast as it can): no
// sound device is needed. A piece loops; a file that is not music, a missing file and an
// unknown sink end in silence with the failure reported. Skipped where GStreamer has no playbin.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "game/shell/music/gst_music_backend.h"

namespace rymd::gui_test {
namespace {

using shell::GstMusicBackend;

// A short mono WAV file: a tenth of a second of a 440 Hz square wave at 8 kHz.
void WriteWav(const std::string& path) {
    const std::uint32_t rate = 8000, samples = 800;
    std::vector<std::uint8_t> b;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        b.push_back(static_cast<std::uint8_t>(v));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    u32(36 + samples * 2);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16((i / 9) % 2 ? 0x2000 : 0xe000);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

class GstMusicBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("rymd_gst_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        backend_.SetFailureHandler([this] { ++failures_; });
        if (!backend_.Available()) GTEST_SKIP() << "GStreamer cannot start here";
    }
    void TearDown() override {
        backend_.Stop();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    // Takes the pipeline's messages until done() holds; false after ten minutes without it (a
    // bound against a hang, not a measure of speed: a busy machine may take long).
    template <class Done>
    bool PollUntil(GstMusicBackend& b, Done done) {
        for (int i = 0; i < 60000; ++i) {
            b.Poll();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::filesystem::path dir_;
    GstMusicBackend backend_{"fakesink"};
    int failures_ = 0;
};

TEST_F(GstMusicBackendTest, APieceLoopsUntilStopped) {
    const std::string wav = (dir_ / "tone.wav").string();
    WriteWav(wav);
    if (!backend_.Play(wav, false)) GTEST_SKIP() << "no playbin";
    EXPECT_TRUE(PollUntil(backend_, [&] { return backend_.Loops() >= 2; }));
    EXPECT_EQ(failures_, 0);
    EXPECT_TRUE(backend_.HasPiece());
    backend_.Stop();
    EXPECT_FALSE(backend_.HasPiece());
}

TEST_F(GstMusicBackendTest, WhatIsNotMusicEndsInSilence) {
    const std::string text = (dir_ / "notes.mp3").string();
    std::ofstream(text) << "this is a letter, not a song\n";
    if (backend_.Play(text, false)) {
        EXPECT_TRUE(PollUntil(backend_, [&] { return failures_ > 0; }));
    }
    EXPECT_FALSE(backend_.HasPiece());

    failures_ = 0;
    const std::string missing = (dir_ / "gone.mid").string();
    if (backend_.Play(missing, true)) {
        EXPECT_TRUE(PollUntil(backend_, [&] { return failures_ > 0; }));
    }
    EXPECT_FALSE(backend_.HasPiece());

    GstMusicBackend nowhere("no-such-sink-element");
    EXPECT_FALSE(nowhere.Play((dir_ / "tone.wav").string(), false));
    EXPECT_FALSE(backend_.Play("", false));
}

// The MP3 pieces and a MIDI file (through the fluidsynth element and the soundfont).
TEST_F(GstMusicBackendTest, TheGamesOwnSongsPlay) {
    for (const char* name : {"Yuugure.mp3", "Kassen.mp3", "music/kassen.mid"}) {
        const std::string song = std::string(RYMD_BUILD_DIR) + "/" + name;
        ASSERT_TRUE(std::filesystem::is_regular_file(song)) << song;
        failures_ = 0;
        ASSERT_TRUE(backend_.Play(song, shell::IsMidiFile(song))) << song;
        // It decodes to its end and starts again, without a failure.
        EXPECT_TRUE(PollUntil(backend_, [&] { return backend_.Loops() >= 1 || failures_ > 0; })) << song;
        EXPECT_EQ(failures_, 0) << song;
    }
}

// A machine without a sound output is found out from its folders alone, before any sound library
// is asked (they fill the terminal with complaints otherwise).
TEST(SoundOutput, FoundFromTheServersSocketOrAnAlsaPlaybackDevice) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("rymd_sound_" + std::to_string(getpid()));
    const std::string runtime = (root / "run").string(), alsa = (root / "snd").string();
    auto listen = [](const std::string& path) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << path;
        ::close(fd);
    };
    const struct {
        const char* name;
        const char* pulseServer;
        std::function<void()> make;
        bool present;
    } kCases[] = {
        {"nothing", nullptr, [] {}, false},
        {"a capture device only", nullptr, [&] { std::ofstream(alsa + "/pcmC0D0c"); }, false},
        {"PULSE_SERVER", "tcp:host", [] {}, true},
        {"an empty PULSE_SERVER", "", [] {}, false},
        {"a file named like the socket", nullptr, [&] { std::ofstream(runtime + "/pulse/native"); }, false},
        {"the PulseAudio socket", nullptr, [&] { listen(runtime + "/pulse/native"); }, true},
        {"the PipeWire socket", nullptr, [&] { listen(runtime + "/pipewire-0"); }, true},
        {"an ALSA playback device", nullptr, [&] { std::ofstream(alsa + "/pcmC1D3p"); }, true},
    };
    for (const auto& c : kCases) {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(runtime + "/pulse");
        std::filesystem::create_directories(alsa);
        c.make();
        EXPECT_EQ(shell::SoundOutputPresent(c.pulseServer, runtime, alsa), c.present) << c.name;
    }
    EXPECT_FALSE(shell::SoundOutputPresent(nullptr, "", (root / "none").string()));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace rymd::gui_test
