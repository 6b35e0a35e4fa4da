// The media table media.bin, written by hand for the demo tree and the
// tests: 80-byte records of an int32 LE enable word, a 50-byte label and a
// 26-byte device path, each text NUL-filled to its field's end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MediaEntry {
    int32_t enable = 1;
    std::string label;
    std::string device;
};

// One record. A text as long as its field or longer fills it whole, with
// no NUL (the fixtures of damaged records).
std::string MediaRecordBytes(const MediaEntry& entry);
std::string MediaTableBytes(const std::vector<MediaEntry>& entries);

// Parses "<enable> <device> <label ...>" lines ('#' comments). False with a
// message on a bad line.
bool ParseMediaText(const std::string& text, std::vector<MediaEntry>* entries, std::string* error);
