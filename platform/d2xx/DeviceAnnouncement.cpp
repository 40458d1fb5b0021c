#include "DeviceAnnouncement.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace d2xx
{

namespace
{

constexpr std::size_t maxFileSize = 4096;
constexpr char fileSuffix[] = ".device";

bool isPrintable(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7F;
    });
}

bool isValid(const Announcement &a)
{
    return !a.serialNumber.empty() && a.serialNumber.size() <= 15 && isPrintable(a.serialNumber) &&
           a.description.size() <= 63 && isPrintable(a.description) && a.ttyPath.is_absolute() &&
           isPrintable(a.ttyPath.native()) && a.pid > 0;
}

bool processIsRunning(long pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool isTerminal(const fs::path &path)
{
    struct stat st {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

bool isOwnRegularFile(const fs::path &path)
{
    struct stat st {
    };
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
           st.st_size <= static_cast<off_t>(maxFileSize);
}

std::optional<std::string> readSmallFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text(maxFileSize + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > maxFileSize)
        return std::nullopt;
    return text;
}

// Writes the text beside the target and renames it over the target.
bool writeAtomically(const fs::path &target, const std::string &text)
{
    const fs::path temporary = fs::path(target).concat(".new");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error)
        fs::remove(temporary, error);
    return !error;
}

} // namespace

fs::path announcementFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/')
        return {};
    return fs::path(runtime) / "qev-devices";
}

bool isTrustedFolder(const fs::path &folder)
{
    struct stat st {
    };
    if (folder.empty() || ::lstat(folder.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string formatAnnouncement(const Announcement &a)
{
    std::ostringstream out;
    out << "serial=" << a.serialNumber << '\n'
        << "description=" << a.description << '\n'
        << "tty=" << a.ttyPath.native() << '\n'
        << "pid=" << a.pid << '\n';
    return out.str();
}

std::optional<Announcement> parseAnnouncement(std::string_view text)
{
    Announcement a;
    bool hasSerial = false, hasDescription = false, hasTty = false, hasPid = false;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "serial") {
            a.serialNumber = value;
            hasSerial = true;
        } else if (key == "description") {
            a.description = value;
            hasDescription = true;
        } else if (key == "tty") {
            a.ttyPath = value;
            hasTty = true;
        } else if (key == "pid") {
            char *end = nullptr;
            a.pid = std::strtol(value.c_str(), &end, 10);
            hasPid = !value.empty() && *end == '\0';
        }
    }
    if (!(hasSerial && hasDescription && hasTty && hasPid) || !isValid(a))
        return std::nullopt;
    return a;
}

std::vector<Announcement> readAnnouncements(const fs::path &folder)
{
    std::vector<Announcement> live;
    if (!isTrustedFolder(folder))
        return live;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() != fileSuffix || !isOwnRegularFile(entry.path()))
            continue;
        const auto text = readSmallFile(entry.path());
        const auto announcement = text ? parseAnnouncement(*text) : std::nullopt;
        if (announcement && processIsRunning(announcement->pid) && isTerminal(announcement->ttyPath))
            live.push_back(*announcement);
    }
    std::sort(live.begin(), live.end(),
              [](const Announcement &a, const Announcement &b) { return a.serialNumber < b.serialNumber; });
    return live;
}

DeviceInfo deviceFromAnnouncement(const Announcement &announcement)
{
    DeviceInfo info;
    info.serialNumber = announcement.serialNumber;
    info.description = announcement.description;
    info.ttyPath = announcement.ttyPath;
    return info;
}

std::unique_ptr<AnnouncementFile> AnnouncementFile::publish(const Announcement &announcement,
                                                            std::string &error, const fs::path &folder)
{
    if (folder.empty()) {
        error = "XDG_RUNTIME_DIR is not set, so there is no private folder to announce the device in";
        return nullptr;
    }
    if (!isValid(announcement)) {
        error = "the serial number, description or terminal cannot be announced";
        return nullptr;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + folder.native();
        return nullptr;
    }
    if (!isTrustedFolder(folder)) {
        error = folder.native() + " must be a folder owned by you and writable by nobody else";
        return nullptr;
    }
    static std::atomic<int> counter{0};
    const std::string name = std::to_string(::getpid()) + "-" + std::to_string(counter++) + fileSuffix;
    std::unique_ptr<AnnouncementFile> file(new AnnouncementFile(folder / name));
    if (!file->update(announcement)) {
        error = "cannot write " + file->path_.native();
        file->path_.clear();
        return nullptr;
    }
    return file;
}

AnnouncementFile::~AnnouncementFile()
{
    std::error_code error;
    if (!path_.empty())
        fs::remove(path_, error);
}

bool AnnouncementFile::update(const Announcement &announcement)
{
    return isValid(announcement) && writeAtomically(path_, formatAnnouncement(announcement));
}

} // namespace d2xx
