#include "MidiFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace sorel::host::test {
namespace {

std::vector<uint8_t> withTrack(std::vector<uint8_t> track) {
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 0};
    file[21] = uint8_t(track.size());
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

// A hand-made format 0 file: 96 ticks per quarter, tempo 100 bpm (600000 us),
// note 60 on at 0 and off at 96 with running status, then end of track.
std::vector<uint8_t> handMadeFile() {
    return withTrack({0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,  // tempo 600000
                      0x00, 0x90, 60, 100, 0x60, 60, 0,         // running status: note on velocity 0 = off
                      0x00, 0xFF, 0x2F, 0x00});
}

struct BrokenFile {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* reason;  // a phrase of the message
};

std::vector<BrokenFile> brokenFiles() {
    auto with = [](std::function<void(std::vector<uint8_t>&)> change) {
        auto bytes = handMadeFile();
        change(bytes);
        return bytes;
    };
    return {
        {"empty", {}, "no MThd"},
        {"text file", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'}, "no MThd"},
        {"header only", with([](auto& b) { b.resize(14); }), "holds 0"},
        {"truncated track", with([](auto& b) { b.resize(b.size() - 5); }), "runs past the end"},
        {"track length past the end", with([](auto& b) { b[21] = 0x7F; }), "runs past the end"},
        {"two tracks declared", with([](auto& b) { b[11] = 2; }), "declares 2 tracks"},
        {"no tracks declared", with([](auto& b) { b[11] = 0; }), "no tracks"},
        {"SMPTE division", with([](auto& b) { b[12] = 0xE7; b[13] = 40; }), "SMPTE"},
        {"zero division", with([](auto& b) { b[12] = 0; b[13] = 0; }), "zero ticks"},
        {"format 7", with([](auto& b) { b[9] = 7; }), "unknown file format"},
        {"format 2", with([](auto& b) { b[9] = 2; }), "format 2"},
        {"header of 7 bytes", with([](auto& b) { b[7] = 7; b.insert(b.begin() + 14, 0); }), "header length"},
        {"data byte first", with([](auto& b) { b[29] = 0x10; b[30] = 0x10; }), "data byte without status"},
        {"endless delta", with([](auto& b) { b[22] = b[23] = b[24] = b[25] = b[26] = 0xFF; }), "bad delta time"},
        {"meta length past track end", with([](auto& b) { b[25] = 0x7F; }), "truncated meta"},
        {"status inside message", with([](auto& b) { b[31] = 0x90; }), "status byte inside"},
        {"tempo of two bytes", with([](auto& b) { b[25] = 0x02; }), "wrong length"},
        {"end of track with data", with([](auto& b) { b[39] = 0x01; b.push_back(0); b[21] += 1; }), "wrong length"},
        {"event behind end of track", with([](auto& b) { b.insert(b.end(), {0x00, 0x90, 60, 0}); b[21] += 4; }),
         "behind the end-of-track"},
        {"no end of track", withTrack({0x00, 0x90, 60, 100, 0x10, 0x80, 60, 0}), "without end-of-track"},
        // Meta events end running status: the data bytes after the tempo have none.
        {"running status after meta",
         withTrack({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x10, 60, 0, 0x00, 0xFF, 0x2F, 0x00}),
         "data byte without status"},
    };
}

TEST(MidiFileTest, RefusesMalformedFilesWithAMessage) {
    for (const BrokenFile& broken : brokenFiles()) {
        MidiSong song;
        std::string error;
        EXPECT_FALSE(MidiFile::readFromMemory(broken.bytes.data(), broken.bytes.size(), song, error)) << broken.what;
        EXPECT_NE(error.find(broken.reason), std::string::npos) << broken.what << ": " << error;
    }
    // The same running status without the meta event between is fine.
    const auto plain = withTrack({0x00, 0x90, 60, 100, 0x10, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
    MidiSong song;
    std::string error;
    EXPECT_TRUE(MidiFile::readFromMemory(plain.data(), plain.size(), song, error)) << error;
    EXPECT_EQ(song.events.size(), 2u);
}

// Events a render has no use for, in forms the format allows, between the
// notes: every note must come through at its own tick.
TEST(MidiFileTest, KeepsEveryNoteAroundLongTextsSysexAndForeignChunks) {
    std::vector<uint8_t> track = {0x00, 0xFF, 0x03, 0x81, 0x48};  // a track name of 200 characters
    track.insert(track.end(), 200, 'x');
    track.insert(track.end(), {0x10, 0x90, 60, 100,
                               0x20, 0xFF, 0x01, 0x80, 0x05, 'h', 'e', 'l', 'l', 'o',  // a text, its length padded
                               0x30, 0xF0, 0x03, 0x7E, 0x01, 0xF7,                     // system exclusive
                               0x40, 0xF7, 0x02, 0xF8, 0xF8,                           // escaped real-time bytes
                               0x50, 0x80, 60, 0,
                               0x80, 0x60, 0x90, 64, 90,  // a padded delta time
                               0x70, 64, 0, 0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 96, 'X', 'F', 'I', 'H', 0, 0, 0, 3, 1, 2, 3,
                                 'M', 'T', 'r', 'k', 0, 0, uint8_t(track.size() >> 8), uint8_t(track.size())};
    file.insert(file.end(), track.begin(), track.end());
    MidiSong song;
    std::string error;
    ASSERT_TRUE(MidiFile::readFromMemory(file.data(), file.size(), song, error)) << error;
    const std::tuple<int64_t, int, bool> expected[] = {  // tick, key, note-on
        {0x10, 60, true}, {0x10 + 0x20 + 0x30 + 0x40 + 0x50, 60, false}, {0x150, 64, true}, {0x150 + 0x70, 64, false}};
    ASSERT_EQ(song.events.size(), std::size(expected));
    for (size_t i = 0; i < song.events.size(); ++i)
        EXPECT_EQ(std::tuple(song.events[i].tick, int(song.events[i].bytes[1]), song.events[i].isNoteOn()), expected[i]) << i;
    EXPECT_EQ(song.lengthTicks, 0x150 + 0x70);
}

}  // namespace
}  // namespace sorel::host::test
