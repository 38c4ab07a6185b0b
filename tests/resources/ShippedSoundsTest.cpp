// The feedback sounds that ship beside the program are real, small audio
// files of the kinds their names say: MPEG audio layer III frames for the
// ".mp3" names, a Core Audio container with PCM samples for the ".caf" one.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kResources = std::string(TREKORA_BINARY_DIR) + "/resources";

std::vector<unsigned char> bytes(const std::string& name) {
    std::ifstream in(kResources + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint64_t bigEndian(const std::vector<unsigned char>& b, std::size_t at, int count) {
    std::uint64_t v = 0;
    for (int i = 0; i < count; ++i) v = (v << 8) | b.at(at + i);
    return v;
}

// Length of the MPEG audio layer III frame whose header starts at `at`; 0
// when no valid header is there.
std::size_t frameLength(const std::vector<unsigned char>& b, std::size_t at) {
    if (at + 4 > b.size() || b[at] != 0xFF || (b[at + 1] & 0xE0) != 0xE0) return 0;
    const int version = (b[at + 1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int layer = (b[at + 1] >> 1) & 3;    // 1: layer III
    const int bitrateIndex = b[at + 2] >> 4;
    const int rateIndex = (b[at + 2] >> 2) & 3;
    const int padding = (b[at + 2] >> 1) & 1;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
    static const int v1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int v2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int rates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    const int bitrate = (version == 3 ? v1 : v2)[bitrateIndex] * 1000;
    const int rate = rates[version][rateIndex];
    return static_cast<std::size_t>((version == 3 ? 144 : 72) * bitrate / rate + padding);
}

} // namespace

TEST(ShippedSounds, Mp3FilesAreWholeMpegAudioFrames) {
    for (const char* name : {"zvuk2.mp3", "zvuk3.mp3", "zvuk4.mp3", "zvuk5.mp3"}) {
        SCOPED_TRACE(name);
        const auto b = bytes(name);
        ASSERT_FALSE(b.empty());
        EXPECT_LT(b.size(), 16u * 1024u);
        std::size_t at = 0;
        int frames = 0;
        while (at < b.size()) {
            const std::size_t length = frameLength(b, at);
            ASSERT_GT(length, 0u) << "no frame header at byte " << at;
            at += length;
            ++frames;
        }
        EXPECT_EQ(at, b.size());
        EXPECT_GE(frames, 2);
    }
}

TEST(ShippedSounds, CafFileHoldsPcmSamples) {
    const auto b = bytes("WorkoutCountdown_Haptic.caf");
    ASSERT_GE(b.size(), 8u);
    EXPECT_LT(b.size(), 16u * 1024u);
    ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "caff");
    EXPECT_EQ(bigEndian(b, 4, 2), 1u);  // file version
    bool desc = false;
    std::uint64_t samples = 0;
    for (std::size_t at = 8; at + 12 <= b.size();) {
        const std::string type(b.begin() + at, b.begin() + at + 4);
        const std::uint64_t size = bigEndian(b, at + 4, 8);
        if (type == "desc") {
            desc = std::string(b.begin() + at + 20, b.begin() + at + 24) == "lpcm";
        } else if (type == "data") {
            samples = size - 4;  // after the edit count
        }
        at += 12 + size;
    }
    EXPECT_TRUE(desc);
    EXPECT_GT(samples, 0u);
}
