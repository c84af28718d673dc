#include "platform/files/UFileTypeTranslator.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

struct BuiltInKind {
    OSType type;
    const char* extension;
    const char* description;
    const char* pattern;
};

// Patterns keep their leading blank: it is part of the entry (and of its length).
constexpr BuiltInKind kBuiltInKinds[] = {
    {FourCC("****"), "*.*", "All Files (*.*)", " *.*"},
    {FourCC(".SGI"), "sgi", "Silicon Graphics Image files", " *.sgi"},
    {FourCC("3DMF"), "3dm", "3DMF files", " *.3dm"},
    {FourCC("8BPS"), "psd", "PhotoShop files", " *.psd"},
    {FourCC("BMPf"), "bmp", "Windows Bitmap Image files", " *.bmp"},
    {FourCC("FLC "), "flc", "FLC Animation files", " *.flc"},
    {FourCC("FPix"), "fpx", "FlashPix Image files", " *.fpx"},
    {FourCC("GIFf"), "gif", "GIFF Image files", " *.gif"},
    {FourCC("JPEG"), "jpg", "JPEG Image files", " *.jpg;*.jpeg"},
    {FourCC("Midi"), "mid", "MIDI Music files", " *.mid"},
    {FourCC("MooV"), "mov", "QuickTime Movie files", " *.mov"},
    {FourCC("PICS"), "pct", "Macintosh PICS Image files", " *.pct"},
    {FourCC("PICT"), "pct", "Macintosh PICT Image files", " *.pct"},
    {FourCC("PNGf"), "png", "PNG Image files", " *.png"},
    {FourCC("SWFL"), "swf", "MacroMedia Flash Animation files", " *.swf"},
    {FourCC("TEXT"), "txt", "Text files", " *.txt"},
    {FourCC("TIFF"), "tif", "TIFF Image files", " *.tif;*.tiff"},
    {FourCC("TPIC"), "tga", "Targa Image files", " *.tga"},
    {FourCC("VfW "), "avi", "Video for Windows Movie files", " *.avi"},
    {FourCC("WAVE"), "wav", "Windows Digital Audio files", " *.wav"},
    {FourCC("qtif"), "qti", "QuickTime Image files", " *.qti"},
    {FourCC("trak"), "cda", "CD Audio Track files", " *.cda"},
};

struct BuiltInExtension {
    const char* extension;
    OSType type;
};

// 'FPix' and 'PICS' have no entry: their files come back as 'PICT' or not at all.
constexpr BuiltInExtension kBuiltInExtensions[] = {
    {"mid", FourCC("Midi")}, {"pct", FourCC("PICT")},  {"pict", FourCC("PICT")},
    {"mov", FourCC("MooV")}, {"qt", FourCC("MooV")},   {"txt", FourCC("TEXT")},
    {"wav", FourCC("WAVE")}, {"avi", FourCC("VfW ")},  {"cda", FourCC("trak")},
    {"gif", FourCC("GIFf")}, {"png", FourCC("PNGf")},  {"tif", FourCC("TIFF")},
    {"tiff", FourCC("TIFF")}, {"psd", FourCC("8BPS")}, {"sgi", FourCC(".SGI")},
    {"bmp", FourCC("BMPf")}, {"jpg", FourCC("JPEG")},  {"jpeg", FourCC("JPEG")},
    {"tga", FourCC("TPIC")}, {"qti", FourCC("qtif")},  {"3dm", FourCC("3DMF")},
    {"flc", FourCC("FLC ")}, {"swf", FourCC("SWFL")},
};

constexpr size_t kMaxExtensionLength = 31;
constexpr size_t kMaxDescriptionLength = 255;

std::vector<UFileTypeTranslator::FileMatchInfo> gRegistered;
std::string gCurrentExtension;
std::string gCurrentFilterEntry;

// Only A to Z change: extensions are compared byte for byte otherwise.
std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::string BuiltInEntry(const BuiltInKind& kind) {
    std::string entry = kind.description;
    entry += '\0';
    entry += kind.pattern;
    entry.append(2, '\0');
    return entry;
}

QString Trimmed(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())).trimmed(); }

}  // namespace

void UFileTypeTranslator::RegisterFileType(OSType type, const char* extension,
                                           const std::string* description) {
    if (!description) throw std::invalid_argument("inFileDesc != NULL");
    if (!extension) return;
    FileMatchInfo info;
    std::string lower = LowerCase(std::string_view(extension).substr(
        0, std::min(kMaxExtensionLength, std::strlen(extension))));
    std::copy(lower.begin(), lower.end(), info.extension.begin());
    info.type = type;
    info.description = description->substr(0, kMaxDescriptionLength);
    info.descriptionLength = uint32_t(info.description.size());
    gRegistered.push_back(std::move(info));
}

const std::vector<UFileTypeTranslator::FileMatchInfo>& UFileTypeTranslator::RegisteredFileTypes() {
    return gRegistered;
}

void UFileTypeTranslator::ReleaseRegisteredFileTypes() {
    gRegistered.clear();
    gRegistered.shrink_to_fit();
}

std::optional<UFileTypeTranslator::TypeEntry> UFileTypeTranslator::LookUpType(OSType type) {
    for (const auto& kind : kBuiltInKinds)
        if (kind.type == type) return TypeEntry{kind.extension, BuiltInEntry(kind)};
    for (const auto& info : gRegistered)
        if (info.type == type)
            return TypeEntry{info.extension.data(), info.description.substr(0, info.descriptionLength)};
    return std::nullopt;
}

std::optional<std::string> UFileTypeTranslator::TypeToExtension(OSType type) {
    auto entry = LookUpType(type);
    gCurrentExtension = entry ? entry->extension : std::string();
    gCurrentFilterEntry = entry ? entry->filterEntry : std::string();
    if (!entry) return std::nullopt;
    return gCurrentExtension;
}

const std::string& UFileTypeTranslator::CurrentExtension() { return gCurrentExtension; }
const std::string& UFileTypeTranslator::CurrentFilterEntry() { return gCurrentFilterEntry; }

OSType UFileTypeTranslator::ExtensionToType(std::string_view extension) {
    std::string lower = LowerCase(extension);
    for (const auto& entry : kBuiltInExtensions)
        if (lower == entry.extension) return entry.type;
    for (const auto& info : gRegistered)
        if (lower == info.extension.data()) return info.type;
    return 0;
}

OSType UFileTypeTranslator::FileTypeOfFile(const FSSpec& file) {
    std::string path = file.Path();
    size_t dot = path.rfind('.');
    if (dot == std::string::npos) return 0;
    return ExtensionToType(std::string_view(path).substr(dot + 1));
}

std::optional<std::string> UFileTypeTranslator::FilterListForTypes(const std::vector<OSType>& types) {
    std::string list;
    bool found = false;
    for (OSType type : types) {
        auto entry = LookUpType(type);
        if (!entry || entry->filterEntry.empty()) continue;
        found = true;
        list.append(entry->filterEntry, 0, entry->filterEntry.size() - 1);
    }
    if (!found) return std::nullopt;
    list += '\0';
    return list;
}

QStringList UFileTypeTranslator::ToQtNameFilters(std::string_view filterList) {
    QStringList filters;
    // Pairs of description and patterns, each closed by a zero byte; an
    // empty description ends the list.
    while (!filterList.empty()) {
        size_t end = filterList.find('\0');
        std::string_view description = filterList.substr(0, end);
        if (description.empty() || end == std::string_view::npos) break;
        filterList.remove_prefix(end + 1);
        end = filterList.find('\0');
        std::string_view patternText = filterList.substr(0, end);
        filterList.remove_prefix(end == std::string_view::npos ? filterList.size() : end + 1);

        QStringList patterns;
        for (const QString& part : Trimmed(patternText).split(u';', Qt::SkipEmptyParts)) {
            QString pattern = part.trimmed();
            if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
            if (!pattern.isEmpty() && !patterns.contains(pattern)) patterns << pattern;
        }
        if (patterns.isEmpty()) continue;
        // A description that already shows its patterns ("All Files (*.*)")
        // shows the ones Qt will use instead.
        QString text = Trimmed(description);
        if (text.endsWith(u')')) {
            qsizetype open = text.lastIndexOf(u'(');
            if (open > 0) text = text.left(open).trimmed();
        }
        filters << text + QStringLiteral(" (") + patterns.join(u' ') + QStringLiteral(")");
    }
    return filters;
}

QStringList UFileTypeTranslator::NameFiltersForTypes(const std::vector<OSType>& types) {
    auto list = FilterListForTypes(types);
    return list ? ToQtNameFilters(*list) : QStringList();
}

QString UFileTypeTranslator::DefaultSuffixForType(OSType type) {
    auto entry = LookUpType(type);
    if (!entry || entry->extension.find_first_of("*?") != std::string::npos) return {};
    return QString::fromUtf8(entry->extension.c_str());
}
