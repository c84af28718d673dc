#include "platform/media/FSSpec.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr int32_t kNilPointer = int32_t(FourCC("nilP"));

OSErr StoreName(FSSpec& spec, const std::string& path) {
    if (path.size() > 255) return bdNamErr;
    spec.name[0] = uint8_t(path.size());
    std::memcpy(spec.name + 1, path.data(), path.size());
    return noErr;
}
}  // namespace

OSErr FSSpec::FromPath(const std::string& path, FSSpec& out) {
    FSSpec spec;
    OSErr err = StoreName(spec, path);
    if (err == noErr) out = spec;
    return err;
}

std::string FSSpec::FileName(bool withExtension) const {
    std::string path = Path();
    size_t slash = path.rfind('/');
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!withExtension) {
        size_t dot = leaf.rfind('.');
        if (dot != std::string::npos && dot > 0) leaf.erase(dot);
    }
    return leaf;
}

OSErr FSSpec::SetFileName(const std::string& fileName) {
    std::string path = Path();
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return StoreName(*this, folder + fileName);
}

int64_t FSSpec::FileSize() const {
    std::error_code ec;
    auto size = fs::file_size(Path(), ec);
    return ec ? -1 : int64_t(size);
}

int64_t FSSpec::ModificationStamp() const {
    std::error_code ec;
    auto stamp = fs::last_write_time(Path(), ec);
    if (ec) return -1;
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::file_clock::to_sys(stamp).time_since_epoch())
        .count();
}

OSErr FSSpec::Child(const std::string& childName, FSSpec& out, bool isFolder) const {
    if (childName.empty()) throw LException(kNilPointer, "missing name");
    std::string base = Path();
    if (!isFolder) {
        size_t slash = base.rfind('/');
        base = slash == std::string::npos ? std::string() : base.substr(0, slash);
    }
    std::string path = base.empty() ? childName : base + "/" + childName;
    FSSpec spec;
    OSErr err = StoreName(spec, path);
    if (err != noErr) return err;
    std::error_code ec;
    if (!fs::exists(path, ec)) return fnfErr;
    out = spec;
    return noErr;
}
