#include "catalogs/CatalogSetup.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <filesystem>

#include "catalogs/CAudioCodecList.h"
#include "catalogs/CDoubleEffectsList.h"
#include "catalogs/CEffectsListView.h"
#include "catalogs/CFilterList.h"
#include "catalogs/CSingleEffectsList.h"
#include "catalogs/CVideoCodecList.h"
#include "catalogs/PresetFolders.h"
#include "framework/gui/URegistrar.h"
#include "resources/ResourceFile.h"

namespace fs = std::filesystem;

namespace {

ClassIDT ClassID(const char* code) {
    return (ClassIDT(uint8_t(code[0])) << 24) | (ClassIDT(uint8_t(code[1])) << 16) |
           (ClassIDT(uint8_t(code[2])) << 8) | ClassIDT(uint8_t(code[3]));
}

// The shipped folder of that name: installed on disk, or compiled in.
std::vector<std::string> InstallFolder(const std::string& folderName, const std::string& shippedFolder) {
    std::vector<std::string> written;
    ResourceFile::IsAvailable();  // registers the compiled-in resources
    const QString root = shippedFolder.empty() ? QStringLiteral(":/presets") : QString::fromStdString(shippedFolder);
    const QDir shipped(root + QLatin1Char('/') + QString::fromStdString(folderName));
    if (!shipped.exists() || folderName.empty()) return written;
    const fs::path target = PresetFolders::FolderPath(folderName);
    std::error_code ec;
    if (fs::exists(target, ec)) return written;
    if (!fs::create_directories(target, ec) || ec) return written;
    for (const QString& name : shipped.entryList(QDir::Files, QDir::Name)) {
        const fs::path file = target / name.toStdString();
        QFile::remove(QString::fromStdString(file.string()));
        if (!QFile::copy(shipped.filePath(name), QString::fromStdString(file.string()))) continue;
        // Resource files come read-only; presets are the user's to edit.
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                  fs::perms::others_read, ec);
        written.push_back(file.string());
    }
    return written;
}

}  // namespace

void RegisterCatalogPaneClasses() {
    URegistrar::RegisterClass<CVideoCodecList>(ClassID(kVideoCodecListClass), QStringLiteral("CVideoCodecList"));
    URegistrar::RegisterClass<CAudioCodecList>(ClassID(kAudioCodecListClass), QStringLiteral("CAudioCodecList"));
    URegistrar::RegisterClass<CEffectsListView>(ClassID(kEffectsListClass), QStringLiteral("CEffectsListView"));
    URegistrar::RegisterClass<CSingleEffectsList>(ClassID(kSingleEffectsListClass), QStringLiteral("CSingleEffectsList"));
    URegistrar::RegisterClass<CDoubleEffectsList>(ClassID(kDoubleEffectsListClass), QStringLiteral("CDoubleEffectsList"));
    URegistrar::RegisterClass<CFilterList>(ClassID(kFilterListClass), QStringLiteral("CFilterList"));
}

std::vector<std::string> InstallDefaultPresets(const std::string& shippedFolder) {
    std::vector<std::string> written;
    std::vector<std::string> folders;
    for (const std::string& name : {PresetFolders::CodecFolderName(), PresetFolders::FilterFolderName(),
                                    PresetFolders::ThumbnailFolderName()})
        if (std::find(folders.begin(), folders.end(), name) == folders.end()) folders.push_back(name);
    for (const std::string& folder : folders) {
        std::vector<std::string> files = InstallFolder(folder, shippedFolder);
        written.insert(written.end(), files.begin(), files.end());
    }
    return written;
}

void StartCatalogs(const std::string& applicationFolder, const std::string& shippedFolder) {
    if (!applicationFolder.empty()) PresetFolders::SetApplicationFolder(applicationFolder);
    InstallDefaultPresets(shippedFolder);
    RegisterCatalogPaneClasses();
}
