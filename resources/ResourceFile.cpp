#include "resources/ResourceFile.h"

#include <QFile>
#include <mutex>

#include "resources/StringLists.h"

// The resources live in this static library; naming them here makes the
// linker keep them in every program that reads them.
static void RegisterCompiledResources() {
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(resources); });
}

namespace ResourceFile {

namespace {
const char* const kRequiredResources[] = {"strings.txt", "vers.txt"};
}

bool IsAvailable() {
    RegisterCompiledResources();
    for (const char* name : kRequiredResources)
        if (!QFile::exists(QStringLiteral(":/") + QString::fromUtf8(name))) return false;
    return true;
}

std::optional<std::vector<char>> Read(const std::string& name) {
    RegisterCompiledResources();
    QFile file(QStringLiteral(":/") + QString::fromStdString(name));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    return std::vector<char>(bytes.begin(), bytes.end());
}

std::string ShortVersion() {
    auto bytes = Read("vers.txt");
    if (!bytes) return {};
    std::string text(bytes->begin(), bytes->end());
    size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.erase(end);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    if (text.size() > kMaxStringItemLength) text.resize(kMaxStringItemLength);
    return text;
}

}  // namespace ResourceFile
