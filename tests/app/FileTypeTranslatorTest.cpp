#include "platform/files/UFileTypeTranslator.h"

#include <gtest/gtest.h>

#include "platform/files/FileKinds.h"
#include "support/TestSupport.h"

namespace {

using T = UFileTypeTranslator;

std::string Z(const char* text, size_t size) { return std::string(text, size); }

OSType CodeOf(const char* text) {
    OSType code = 0;
    for (int i = 0; i < 4; ++i) code = (code << 8) | uint8_t(text[i]);
    return code;
}

class FileTypeTranslator : public ::testing::Test {
protected:
    void SetUp() override { T::ReleaseRegisteredFileTypes(); }
    void TearDown() override { T::ReleaseRegisteredFileTypes(); }
};

// Every built-in entry: description, zero, pattern with its leading blank, two zeros.
TEST_F(FileTypeTranslator, BuiltInEntriesAreWellFormedFilterEntries) {
    for (const char* type : {"****", ".SGI", "3DMF", "8BPS", "BMPf", "FLC ", "FPix", "GIFf", "JPEG", "Midi", "MooV",
                             "PICS", "PICT", "PNGf", "SWFL", "TEXT", "TIFF", "TPIC", "VfW ", "WAVE", "qtif", "trak"}) {
        ASSERT_TRUE(T::TypeToExtension(CodeOf(type))) << type;
        const std::string& entry = T::CurrentFilterEntry();
        ASSERT_GE(entry.size(), 4u);
        EXPECT_EQ(entry.substr(entry.size() - 2), Z("\0\0", 2)) << type;
        EXPECT_EQ(entry.substr(entry.find('\0') + 1, 3), " *.") << type;
        EXPECT_EQ(T::ToQtNameFilters(entry).size(), 1) << type;
    }
    EXPECT_EQ(T::LookUpType(FourCC("JPEG"))->filterEntry, Z("JPEG Image files\0 *.jpg;*.jpeg\0\0", 32));
    EXPECT_FALSE(T::TypeToExtension(FourCC("zzzz")));  // an unknown type clears the current result
    EXPECT_EQ(T::CurrentExtension(), "");
    EXPECT_EQ(T::CurrentFilterEntry().size(), 0u);
}

TEST_F(FileTypeTranslator, ExtensionsMapBackIgnoringCase) {
    // 'FPix' and 'PICS' have no way back; only A to Z are folded, other
    // bytes must match exactly.
    const std::pair<const char*, OSType> extensions[] = {
        {"JPEG", FourCC("JPEG")}, {"jpg", FourCC("JPEG")}, {"Tiff", FourCC("TIFF")}, {"pict", FourCC("PICT")},
        {"qt", FourCC("MooV")},   {"xyz", 0},              {"", 0},                  {"fpx", 0},
        {"pct", FourCC("PICT")},  {"J\xC3\x89PG", 0}};
    for (const auto& [extension, type] : extensions) EXPECT_EQ(T::ExtensionToType(extension), type) << extension;
    // Both pct kinds share an extension; the extension names 'PICT'.
    EXPECT_EQ(*T::TypeToExtension(FourCC("PICS")), "pct");
    EXPECT_EQ(*T::TypeToExtension(FourCC("PICT")), "pct");
    // A file's type comes from the extension after its last dot.
    const std::pair<const char*, OSType> files[] = {
        {"/videos/holiday.2023.MOV", FourCC("MooV")}, {"/videos/README", 0}, {"/a.jpg/notes", 0}};
    for (const auto& [path, type] : files) EXPECT_EQ(T::FileTypeOfFile(testsupport::Spec(path)), type) << path;
    EXPECT_EQ(T::FileTypeOfFile(FSSpec()), 0u);
}

TEST_F(FileTypeTranslator, RegistrationRulesAndOrderWithBuiltInsFirst) {
    std::string desc = Z("Mine\0 *.Mine\0\0", 14);
    EXPECT_THROW(T::RegisterFileType(FourCC("Mine"), "Mine", nullptr), std::invalid_argument);
    T::RegisterFileType(FourCC("Mine"), nullptr, &desc);
    EXPECT_TRUE(T::RegisteredFileTypes().empty());

    T::RegisterFileType(FourCC("Mine"), "MiNe", &desc);
    T::RegisterFileType(FourCC("Othr"), "mine", &desc);
    ASSERT_EQ(T::RegisteredFileTypes().size(), 2u);
    EXPECT_STREQ(T::RegisteredFileTypes()[0].extension.data(), "mine");
    EXPECT_EQ(T::RegisteredFileTypes()[0].descriptionLength, 14u);
    // First registration wins, both ways.
    EXPECT_EQ(T::ExtensionToType("MINE"), FourCC("Mine"));
    EXPECT_EQ(*T::TypeToExtension(FourCC("Mine")), "mine");
    EXPECT_EQ(T::CurrentFilterEntry(), desc);

    // Long extensions and descriptions are cut, never overflow.
    std::string longDesc(400, 'd');
    std::string longExt(50, 'E');
    T::RegisterFileType(FourCC("Long"), longExt.c_str(), &longDesc);
    const auto& info = T::RegisteredFileTypes().back();
    EXPECT_EQ(std::string(info.extension.data()), std::string(31, 'e'));
    EXPECT_EQ(info.descriptionLength, 255u);
    EXPECT_EQ(T::ExtensionToType(std::string(31, 'e')), FourCC("Long"));

    // Built-in types are never taken from the registry.
    std::string movies = Z("Other movies\0 *.mov\0\0", 21);
    T::RegisterFileType(FourCC("MooV"), "mp4", &movies);
    T::RegisterFileType(FourCC("Fake"), "mov", &movies);
    EXPECT_EQ(*T::TypeToExtension(FourCC("MooV")), "mov");
    EXPECT_EQ(T::CurrentFilterEntry().substr(0, 21), "QuickTime Movie files");
    EXPECT_EQ(T::ExtensionToType("mov"), FourCC("MooV"));
    EXPECT_EQ(T::ExtensionToType("MP4"), FourCC("MooV"));
}

TEST_F(FileTypeTranslator, DialogListsKeepOrderSkipUnknownTypesAndSurviveOddLists) {
    auto list = T::FilterListForTypes({FourCC("MooV"), FourCC("zzzz"), FourCC("****")});
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, Z("QuickTime Movie files\0 *.mov\0All Files (*.*)\0 *.*\0\0", 51));
    EXPECT_FALSE(T::FilterListForTypes({FourCC("zzzz")}));
    EXPECT_FALSE(T::FilterListForTypes({}));

    QStringList filters = T::ToQtNameFilters(*list);
    EXPECT_EQ(filters, (QStringList{"QuickTime Movie files (*.mov)", "All Files (*)"}));
    EXPECT_EQ(T::NameFiltersForTypes({FourCC("JPEG")}), QStringList{"JPEG Image files (*.jpg *.jpeg)"});

    EXPECT_TRUE(T::ToQtNameFilters("").isEmpty());
    // A description without its patterns, or with no zero byte at all.
    EXPECT_TRUE(T::ToQtNameFilters(Z("Lonely\0", 7)).isEmpty());
    EXPECT_TRUE(T::ToQtNameFilters("No zero bytes").isEmpty());
    EXPECT_EQ(T::ToQtNameFilters(Z("Pics\0 *.png ; ;*.png;*.gif", 26)), QStringList{"Pics (*.png *.gif)"});
    EXPECT_EQ(T::DefaultSuffixForType(FourCC("MooV")), "mov");
    EXPECT_EQ(T::DefaultSuffixForType(FourCC("****")) + T::DefaultSuffixForType(FourCC("zzzz")), "");
}

// The kinds the program registers at start-up, with their resource texts.
TEST_F(FileTypeTranslator, StartupKindsComeFromTheResourceFile) {
    RegisterStartupFileKinds();
    const auto& kinds = T::RegisteredFileTypes();
    ASSERT_EQ(kinds.size(), 8u);
    for (auto [extension, type] : {std::pair{"Qtfx", "QTfx"}, {"qtcd", "QTcd"}, {"m4v", "MooV"}, {"Droplet", "DExe"}})
        EXPECT_EQ(T::ExtensionToType(extension), CodeOf(type)) << extension;

    EXPECT_EQ(*T::TypeToExtension(FourCC("AllI")), "alli");
    const std::string& entry = T::CurrentFilterEntry();
    ASSERT_GT(entry.size(), 3u);
    EXPECT_EQ(entry.substr(entry.size() - 2), Z("\0\0", 2));
    // Images offered first, then any file.
    QStringList filters = T::NameFiltersForTypes({FourCC("AllI"), FourCC("****")});
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].contains("*.png")) << filters[0].toStdString();
    EXPECT_TRUE(filters[0].contains("*.jpeg")) << filters[0].toStdString();
    EXPECT_EQ(filters[1], "All Files (*)");

    for (const auto& kind : kinds) EXPECT_EQ(T::ToQtNameFilters(kind.description).size(), 1) << FourCCToString(kind.type);
}

}  // namespace
