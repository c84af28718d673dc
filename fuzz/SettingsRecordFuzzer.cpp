// The settings record reader (movie user data, droplets, record files) and
// the readable form that `movelark settings` prints. Anything but the
// stream's own error is a fault; a record that reads must write back to
// bytes that read and write back to the same bytes again.
#include <cstddef>
#include <cstdint>

#include "app/SettingsRecordText.h"
#include "fuzz/FuzzSupport.h"

FUZZ_STARTS_MEDIA_LAYER

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Handle record(data, size);

    try {
        (void)DescribeSettingsRecord(record);
        (void)DescribeSettingsRecordAsJson(record);
    } catch (const LException& e) {
        FUZZ_CHECK(e.Code() == eofErr);
    }

    PretendDocModel model;
    try {
        model.ReadSettings(record);
    } catch (const LException& e) {
        FUZZ_CHECK(e.Code() == eofErr);
        // A half-read record leaves a model that still writes and reads.
        const Handle partial = model.WriteSettings();
        PretendDocModel again;
        again.ReadSettings(partial);
        return 0;
    }

    const Handle written = model.WriteSettings();
    FUZZ_CHECK(written.Size() <= size + 64);  // no field grows on the way through
    PretendDocModel copy;
    copy.ReadSettings(written);
    FUZZ_CHECK(copy.WriteSettings() == written);
    FUZZ_CHECK(copy.FilterCount() == model.FilterCount());
    FUZZ_CHECK(copy.VideoSegmentCount() == model.VideoSegmentCount());
    FUZZ_CHECK(copy.AudioSegmentCount() == model.AudioSegmentCount());
    FUZZ_CHECK(copy.ExcludedRangeCount() == model.ExcludedRangeCount());
    (void)DescribeSettingsRecordAsJson(written);
    return 0;
}
