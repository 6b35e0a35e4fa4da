// The media table /u/qel/sys_data/files/media.bin: the removable media that
// the backup and the restore offer. The file is a plain run of 80-byte
// records, no header and no count:
//
//   offset 0   int32 LE  enable (non-zero: the medium is offered)
//   offset 4   50 bytes  label, NUL-ended
//   offset 54  26 bytes  device path, NUL-ended (at most 25 characters)
//
// The media dialog offers the first nine enabled records; the media table
// editor shows the first nine records and rewrites only their enable words,
// every other byte of the file as it was read; it therefore edits only a
// file that it read whole. No X.
#pragma once

#include "installfile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kMediaFile = "/u/qel/sys_data/files/media.bin";
// The install's program that writes a media table when there is none.
inline constexpr const char* kTransMedia = "/u/qel/xeq/transmedia.exe";

inline constexpr size_t kMediaRecordSize = 80;
inline constexpr size_t kMediaEnableAt = 0;
inline constexpr size_t kMediaLabelAt = 4;
inline constexpr size_t kMediaLabelWidth = 50;
inline constexpr size_t kMediaDeviceAt = 54;
inline constexpr size_t kMediaDeviceWidth = 26;
// The most media a dialog or the editor holds.
inline constexpr int kMediaMax = 9;

// One record, as its bytes.
struct MediaRecord {
    unsigned char bytes[kMediaRecordSize] = {};
};

int32_t MediaEnable(const MediaRecord& r);
void SetMediaEnable(MediaRecord& r, int32_t enable);
// The label up to its NUL, within its 50 bytes.
std::string MediaLabel(const MediaRecord& r);
// The device up to its NUL within its 26 bytes; "" when the field holds no
// NUL, as a cut path would name another device.
std::string MediaDevice(const MediaRecord& r);
// Empties the device (its first byte 0); the other bytes stay.
void ClearMediaDevice(MediaRecord& r);
// Whether tar and the format program may be handed the device: not "", and
// in a sandbox only a device that the sandbox re-roots, so that no test
// ever writes a real device.
bool MediaDeviceUsable(const std::string& device);

// What the operator is told of a medium whose device cannot be used:
// media.bin's path, then the texts of labels 155 and 100.
std::string RefusedMediumText(const std::string& notFoundText, const std::string& continueText);

// The media of the dialog: the first nine enabled whole records of the
// file, in file order.
std::vector<MediaRecord> SelectableMedia(const std::string& fileBytes);

// The media of the editor: the first nine whole records, and every byte of
// the file after them (further records, a short tail) as it was read.
struct MediaTable {
    std::vector<MediaRecord> records;
    std::string rest;
};
MediaTable ParseMediaTable(const std::string& fileBytes);
// The file's bytes again: the records, then the rest.
std::string MediaTableBytes(const MediaTable& table);

// The most of media.bin that is read: 819 records, far more than the nine
// that the dialog and the editor show.
inline constexpr size_t kMediaFileMax = 65536;
// The file's bytes, at most kMediaFileMax of them; a file that is not plain
// is refused. who names the reader on the console.
InstallFile ReadMediaFile(const char* who, const std::string& path, std::string* bytes);
// Replaces the file with the bytes: written to a file beside it (path +
// ".new", with the old file's permission bits), synced, and renamed over
// it. False when any step fails; the old file is then left whole and the
// new one removed. The console says which step failed.
bool WriteMediaFile(const std::string& path, const std::string& bytes);
