// The change record of the models' observer mechanism and the change codes
// that document models and the image cache send.
#pragma once

#include <cstdint>

#include "framework/FourCharCode.h"

// Kinds of subject.
constexpr OSType kSenderDocModel = FourCC("tMDL");
constexpr OSType kSenderImageCache = FourCC("xxIC");

struct SChangeInfo {
    int32_t changeCode = 0;
    OSType senderKind = 0;
    void* arg1 = nullptr;  // a pointer where the code says so
    int32_t arg2 = 0;
    int32_t arg3 = 0;
    int32_t arg4 = 0;
};

// Document model changes (sender kDocModel); arg1 is null except where noted.
enum : int32_t {
    kChangeRefreshFromSource = 10000,   // reset and re-read from the movie
    kChangeRotation = 10001,
    kChangeFlipHorizontal = 10002,
    kChangeFlipVertical = 10003,
    kChangeSourceFile = 10004,
    kChangeUnused10005 = 10005,         // never sent
    kChangeCrop = 10006,
    kChangeWatermarkFile = 10007,
    kChangeConstrainProportions = 10008,
    kChangeOutputWidth = 10009,
    kChangeOutputHeight = 10010,
    kChangeCustomSize = 10011,
    kChangeFilterAdded = 10012,
    kChangeFilterRemoved = 10013,
    kChangeFilterChanged = 10014,
    kChangeSegmentAdded = 10015,        // video or audio segment placed
    kChangeVideoSegments = 10016,       // video segment list changed
    kChangeVideoSegmentChanged = 10017,
    kChangeUnused10018 = 10018,         // never sent
    kChangeAudioSegmentRemoved = 10019,
    kChangeAudioSegmentChanged = 10020,
    kChangeUnused10021 = 10021,         // never sent
    kChangeUnused10022 = 10022,         // never sent
    kChangeExcludedRanges = 10023,
    kChangePlay = 10024,
    kChangeStop = 10025,
    kChangeCurrentTime = 10026,
    kChangeMovieReplaced = 10027,       // arg1: the model's movie reference
};

// Image cache changes (sender kSenderImageCache); arg1 points to the file's
// FSSpec, which the observer copies before it returns.
enum : int32_t {
    kChangeImageReady = 5,
    kChangeImageFailed = 6,
};
