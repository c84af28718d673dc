// File records as drags carry them: a prefix of zero bytes, then the
// file's FSSpec.
#pragma once

#include <QByteArray>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "framework/Handle.h"
#include "framework/gui/DragFlavors.h"
#include "platform/media/FSSpec.h"

namespace testsupport {

// The record a drag of this file from the file manager carries.
inline Handle FileRecord(const std::filesystem::path& file) {
    const std::optional<QByteArray> record = MakeFileRecord(file.string());
    EXPECT_TRUE(record.has_value()) << file;
    return record ? Handle(record->constData(), size_t(record->size())) : Handle();
}

// The file a record names; checks the record's size and prefix.
inline FSSpec CarriedFile(const QByteArray& record) {
    FSSpec spec;
    EXPECT_EQ(record.size(), qsizetype(kFileRecordSize));
    EXPECT_EQ(record.left(kFileRecordPrefixSize), QByteArray(kFileRecordPrefixSize, '\0'));
    if (record.size() == qsizetype(kFileRecordSize))
        std::memcpy(&spec, record.constData() + kFileRecordPrefixSize, sizeof spec);
    return spec;
}

}  // namespace testsupport
