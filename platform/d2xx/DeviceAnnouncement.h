#pragma once

#include "DeviceInfo.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace d2xx
{

// A virtual instrument announces itself by a small text file in the folder
// "qev-devices" of the user's runtime folder ($XDG_RUNTIME_DIR), one
// "key=value" line each for serial, description, tty and pid. The D2XX layer
// lists every live announcement after the USB devices. platform/README.md
// describes the format.
struct Announcement {
    std::string serialNumber;
    std::string description;
    std::filesystem::path ttyPath;
    long pid = 0;
};

// $XDG_RUNTIME_DIR/qev-devices, or an empty path when the runtime folder is
// not set: there is deliberately no shared fallback such as /tmp, where
// another user could plant announcements.
std::filesystem::path announcementFolder();

// A folder the layer trusts: a real folder (no symbolic link), owned by the
// user and writable by nobody else.
bool isTrustedFolder(const std::filesystem::path &folder);

std::string formatAnnouncement(const Announcement &announcement);

// The announcement a file holds, or nothing when a field is missing or
// malformed (a serial number of 1 to 15 printable characters, a description
// of at most 63, an absolute terminal path, a positive process id).
std::optional<Announcement> parseAnnouncement(std::string_view text);

// The announcements of running instruments whose terminal still exists,
// ordered by serial number. Empty when the folder is missing or untrusted.
std::vector<Announcement> readAnnouncements(const std::filesystem::path &folder = announcementFolder());

DeviceInfo deviceFromAnnouncement(const Announcement &announcement);

// The announcement of one running instrument: written when published,
// rewritten by update, removed when the object goes.
class AnnouncementFile
{
public:
    // Creates the folder when missing (private to the user) and writes the
    // file. Returns null and an explanation in error when that is not
    // possible or the folder is not trusted.
    static std::unique_ptr<AnnouncementFile>
    publish(const Announcement &announcement, std::string &error,
            const std::filesystem::path &folder = announcementFolder());

    ~AnnouncementFile();
    AnnouncementFile(const AnnouncementFile &) = delete;
    AnnouncementFile &operator=(const AnnouncementFile &) = delete;

    // Replaces the content in one step, so that a reader never sees half a
    // file (the instrument moves to a new terminal after a hang-up).
    bool update(const Announcement &announcement);

    const std::filesystem::path &path() const { return path_; }

private:
    explicit AnnouncementFile(std::filesystem::path path) : path_(std::move(path)) {}

    std::filesystem::path path_;
};

} // namespace d2xx
