#include "platform/files/UFileTypeTranslator.h"

#include <gtest/gtest.h>

#include "platform/files/FileKinds.h"
#include "support/TestSupport.h"

namespace {

using T = UFileTypeTranslator;

std::string Z(const char* text, size_t size) { return std::string(text, size); }

class FileTypeTranslator : public ::testing::Test {
protected:
    void SetUp() override { T::ReleaseRegisteredFileTypes(); }
    void TearDown() override { T::ReleaseRegisteredFileTypes(); }
};

// Every built-in kind gives its dialogs one filter of its own patterns.
TEST_F(FileTypeTranslator, BuiltInKindsGiveOneDialogFilterEach) {
    for (const char* type : {"****", ".SGI", "3DMF", "8BPS", "BMPf", "FLC ", "FPix", "GIFf", "JPEG", "Midi", "MooV",
                             "PICS", "PICT", "PNGf", "SWFL", "TEXT", "TIFF", "TPIC", "VfW ", "WAVE", "qtif", "trak"})
        EXPECT_EQ(T::NameFiltersForTypes({testsupport::Code(type)}).size(), 1) << type;
    EXPECT_EQ(T::LookUpType(FourCC("JPEG"))->filterEntry, Z("JPEG Image files\0 *.jpg;*.jpeg\0\0", 32));
}

TEST_F(FileTypeTranslator, ExtensionsMapBackIgnoringCase) {
    // 'FPix' and 'PICS' have no way back; only A to Z are folded, other
    // bytes must match exactly.
    const std::pair<const char*, OSType> extensions[] = {
        {"JPEG", FourCC("JPEG")}, {"jpg", FourCC("JPEG")}, {"Tiff", FourCC("TIFF")}, {"pict", FourCC("PICT")},
        {"qt", FourCC("MooV")},   {"xyz", 0},              {"", 0},                  {"fpx", 0},
        {"pct", FourCC("PICT")},  {"J\xC3\x89PG", 0}};
    for (const auto& [extension, type] : extensions) EXPECT_EQ(T::ExtensionToType(extension), type) << extension;
}

TEST_F(FileTypeTranslator, DialogListsKeepOrderAndSkipUnknownTypes) {
    auto list = T::FilterListForTypes({FourCC("MooV"), FourCC("zzzz"), FourCC("****")});
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, Z("QuickTime Movie files\0 *.mov\0All Files (*.*)\0 *.*\0\0", 51));
    EXPECT_FALSE(T::FilterListForTypes({FourCC("zzzz")}));
    EXPECT_FALSE(T::FilterListForTypes({}));

    QStringList filters = T::ToQtNameFilters(*list);
    EXPECT_EQ(filters, (QStringList{"QuickTime Movie files (*.mov)", "All Files (*)"}));
    EXPECT_EQ(T::NameFiltersForTypes({FourCC("JPEG")}), QStringList{"JPEG Image files (*.jpg *.jpeg)"});

    EXPECT_EQ(T::DefaultSuffixForType(FourCC("MooV")), "mov");
}

// The kinds the program registers at start-up, with their resource texts.
TEST_F(FileTypeTranslator, StartupKindsComeFromTheResourceFile) {
    RegisterStartupFileKinds();
    const auto& kinds = T::RegisteredFileTypes();
    ASSERT_EQ(kinds.size(), 8u);
    for (auto [extension, type] : {std::pair{"Qtfx", "QTfx"}, {"qtcd", "QTcd"}, {"m4v", "MooV"}, {"Droplet", "DExe"}})
        EXPECT_EQ(T::ExtensionToType(extension), testsupport::Code(type)) << extension;

    EXPECT_EQ(*T::TypeToExtension(FourCC("AllI")), "alli");
    // Built-in kinds come before registered ones.
    EXPECT_EQ(T::DefaultSuffixForType(FourCC("MooV")), "mov");
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
