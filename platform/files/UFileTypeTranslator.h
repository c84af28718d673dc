// File kinds: four-character types to default extensions and dialog filter
// entries, and extensions back to types. A fixed built-in table comes
// first; kinds registered at start-up follow in registration order.
//
// A filter entry is a description, a zero byte, blank-led patterns
// (" *.jpg;*.jpeg") and two zero bytes; a filter list is several entries,
// each without its last zero byte, closed by one zero byte.
#pragma once

#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/FourCharCode.h"
#include "platform/media/FSSpec.h"

class UFileTypeTranslator {
public:
    struct FileMatchInfo {
        std::array<char, 32> extension{};  // lower case, zero-terminated
        OSType type = 0;
        std::string description;           // the complete filter entry, up to 255 bytes
        uint32_t descriptionLength = 0;
    };

    // What a type lookup finds.
    struct TypeEntry {
        std::string extension;
        std::string filterEntry;  // zero bytes included
    };

    // Adds a kind. A null extension registers nothing; a null description is
    // a programming error (std::invalid_argument "inFileDesc != NULL").
    // Extensions are cut to 31 bytes, descriptions to 255.
    static void RegisterFileType(OSType type, const char* extension, const std::string* description);
    static const std::vector<FileMatchInfo>& RegisteredFileTypes();
    // Forgets every registered kind (at exit, and between tests).
    static void ReleaseRegisteredFileTypes();

    // Looks a type up without touching the current result.
    static std::optional<TypeEntry> LookUpType(OSType type);

    // The type's default extension, none when unknown. Also makes its filter
    // entry the current one (empty when unknown).
    static std::optional<std::string> TypeToExtension(OSType type);
    static const std::string& CurrentExtension();
    static const std::string& CurrentFilterEntry();

    // 0 when no kind has this extension (compared ignoring ASCII case).
    static OSType ExtensionToType(std::string_view extension);
    // From the text after the last "." of the file's path; 0 without one.
    static OSType FileTypeOfFile(const FSSpec& file);

    // The open dialog's filter list for these types in this order; types
    // that are unknown add nothing, and none at all gives no list.
    static std::optional<std::string> FilterListForTypes(const std::vector<OSType>& types);

    // Qt dialog name filters from a filter list or entry:
    // "QuickTime Movie files (*.mov)". "*.*" becomes "*" (files without a
    // dot are files too).
    static QStringList ToQtNameFilters(std::string_view filterList);
    // Name filters and default suffix for a save dialog of one type; the
    // suffix is empty and the filters empty when the type is unknown.
    static QStringList NameFiltersForTypes(const std::vector<OSType>& types);
    static QString DefaultSuffixForType(OSType type);
};
