#include "compress/SafeOutputFile.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <random>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kUniqueLength = 12;
constexpr int kAttempts = 64;
constexpr char kUniqueLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";

// ".movelark-compressing.mov" -> ".movelark-compressing" and ".mov".
struct NameParts {
    std::string stem, extension;
};

NameParts SplitName(std::string base) {
    const size_t slash = base.rfind('/');
    if (slash != std::string::npos) base.erase(0, slash + 1);
    if (base.empty()) base = ".movelark-compressing.mov";
    const size_t dot = base.rfind('.');
    if (dot == std::string::npos || dot == 0) return {base, ""};
    return {base.substr(0, dot), base.substr(dot)};
}

bool IsUniqueName(const std::string& name, const NameParts& parts) {
    const size_t length = parts.stem.size() + 1 + kUniqueLength + parts.extension.size();
    if (name.size() != length || name.compare(0, parts.stem.size() + 1, parts.stem + "-") != 0 ||
        name.compare(length - parts.extension.size(), std::string::npos, parts.extension) != 0)
        return false;
    const std::string unique = name.substr(parts.stem.size() + 1, kUniqueLength);
    return unique.find_first_not_of(kUniqueLetters) == std::string::npos;
}

std::string UniquePart() {
    static std::mt19937_64 random(std::random_device{}() ^ uint64_t(getpid()) << 32 ^
                                  uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<size_t> pick(0, sizeof kUniqueLetters - 2);
    std::string unique;
    for (size_t i = 0; i < kUniqueLength; ++i) unique += kUniqueLetters[pick(random)];
    return unique;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A file of ours that no live run holds: a killed run's. Anything else
// (another user's file, a link, a pipe, a file in use) is left alone.
void RemoveIfAbandoned(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(held, named))
        ::unlink(path.c_str());
    ::close(fd);
}

void RemoveAbandoned(const std::string& folder, const NameParts& parts) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir))
        if (IsUniqueName(entry->d_name, parts)) RemoveIfAbandoned(folder + "/" + entry->d_name);
    ::closedir(dir);
}

}  // namespace

SafeOutputFile::~SafeOutputFile() { Discard(); }

std::string SafeOutputFile::CheckDestination(const std::string& destination) {
    struct stat st {};
    if (::lstat(destination.c_str(), &st) != 0) return {};  // a new file; its folder is checked when writing
    const std::string named = "\"" + destination + "\"";
    if (S_ISLNK(st.st_mode) && ::stat(destination.c_str(), &st) != 0)
        return named + " is a link to a file that does not exist; choose another destination.";
    const char* kind = nullptr;
    if (S_ISREG(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) kind = "a folder";
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) kind = "a device";
    else if (S_ISFIFO(st.st_mode)) kind = "a named pipe (FIFO)";
    else if (S_ISSOCK(st.st_mode)) kind = "a socket";
    else kind = "not an ordinary file";
    return named + " is " + kind + ", not a movie file; nothing was written to it.";
}

bool SafeOutputFile::Create(const std::string& destination, const std::string& baseName, std::string& why) {
    Discard();
    const std::string shown = "\"" + FileNameOf(destination) + "\"";
    mTarget = destination;
    struct stat st {};
    if (::lstat(destination.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(destination.c_str(), resolved)) {
            why = "The link " + shown + " cannot be followed: " + std::strerror(errno);
            return false;
        }
        mTarget = resolved;
    }
    const std::string folder = FolderOf(mTarget);
    const NameParts parts = SplitName(baseName);
    RemoveAbandoned(folder, parts);

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path = folder + "/" + parts.stem + "-" + UniquePart() + parts.extension;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            why = "The movie cannot be written in the folder of " + shown + ": " + std::strerror(errno);
            return false;
        }
        // A run cleaning up may have taken the fresh file for a dead one's
        // between the two calls: then it is gone or going, and so are we.
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        struct stat held {};
        if ((!locked && errno == EWOULDBLOCK) || ::fstat(fd, &held) != 0 || held.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        mPath = path;
        mFd = fd;
        return true;
    }
    why = "The movie cannot be written in the folder of " + shown + ": no free name for its temporary file.";
    return false;
}

bool SafeOutputFile::StillOurs() const {
    struct stat held {}, named {};
    return mFd >= 0 && ::fstat(mFd, &held) == 0 && ::lstat(mPath.c_str(), &named) == 0 && SameFile(held, named);
}

bool SafeOutputFile::Commit(std::string& why) {
    const std::string shown = "\"" + FileNameOf(mTarget) + "\"";
    if (mFd < 0) {
        why = "The movie " + shown + " was not written.";
        return false;
    }
    // What stands at the destination may have changed while the movie was made.
    why = CheckDestination(mTarget);
    if (!why.empty()) {
        Discard();
        return false;
    }
    struct stat old {};
    mode_t mode;
    if (::stat(mTarget.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(mFd, mode);
    if (!StillOurs()) {
        why = "The movie could not be saved as " + shown + ": its unfinished file was moved away.";
        Discard();
        return false;
    }
    if (::rename(mPath.c_str(), mTarget.c_str()) != 0) {
        why = "The movie could not be saved as " + shown + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    mPath.clear();
    ::close(mFd);
    mFd = -1;
    return true;
}

void SafeOutputFile::Discard() {
    if (mFd < 0) return;
    if (!mPath.empty() && StillOurs()) ::unlink(mPath.c_str());
    ::close(mFd);
    mFd = -1;
    mPath.clear();
}
