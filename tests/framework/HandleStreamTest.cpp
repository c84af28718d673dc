#include "framework/LHandleStream.h"

#include <gtest/gtest.h>

#include <limits>

TEST(LHandleStream, BigEndianRoundTrip) {
    LHandleStream out;
    out.PutBE32(0x00010000);
    out.PutBE32(-2);
    out.PutBE16(-3);
    out.PutByte(0xAB);
    out.PutPString("wm.png");
    out.PutBE32(std::numeric_limits<int32_t>::min());
    Handle h = out.DetachHandle();
    EXPECT_EQ(out.GetLength(), 0u);  // the stream starts again empty
    ASSERT_EQ(h.Size(), 4u + 4 + 2 + 1 + 7 + 4);
    const uint8_t expected[] = {0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFD, 0xAB, 6};
    for (size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(h.Data()[i], expected[i]) << i;

    LHandleStream in(&std::as_const(h));
    EXPECT_EQ(in.GetBE32(), 0x00010000);
    EXPECT_EQ(in.GetBE32(), -2);
    EXPECT_EQ(in.GetBE16(), -3);
    EXPECT_EQ(in.GetByte(), 0xAB);
    EXPECT_EQ(in.GetPString(), "wm.png");
    EXPECT_EQ(in.GetBE32(), std::numeric_limits<int32_t>::min());
    EXPECT_TRUE(in.AtEnd());
    LHandleStream longName;
    longName.PutPString(std::string(300, 'x'));  // cut to 255 bytes after the length byte
    EXPECT_EQ(longName.GetLength(), 256u);
}

TEST(LHandleStream, ReadingPastTheEndOrWritingAReadOnlyHandleThrows) {
    Handle h(std::vector<uint8_t>{1, 2, 3});
    LHandleStream in(&std::as_const(h));
    in.GetByte();
    try {
        in.GetBE32();
        FAIL() << "no exception";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), eofErr);
    }
    EXPECT_EQ(in.GetMarker(), 1u);
    EXPECT_EQ(in.GetBE16(), 0x0203);
    EXPECT_THROW(in.GetByte(), LException);
    EXPECT_THROW(in.PutByte(1), LException);
    EXPECT_EQ(h.Size(), 3u);
    EXPECT_THROW(LHandleStream(static_cast<Handle*>(nullptr)), LException);
}

TEST(LHandleStream, LyingLengthsAllocateNothing) {
    // A string length and a handle size that claim more than is there.
    Handle h(std::vector<uint8_t>{200, 'a', 'b'});
    LHandleStream in(&std::as_const(h));
    EXPECT_THROW(in.GetPString(), LException);
    EXPECT_EQ(in.GetMarker(), 0u);

    LHandleStream sized;
    sized.PutBE32(0x7FFFFFF0);
    sized.PutBytes("xy", 2);
    sized.SetMarker(0);
    EXPECT_THROW(sized.GetSizedHandle(), LException);
    EXPECT_EQ(sized.GetMarker(), 0u);

    LHandleStream negative;
    negative.PutBE32(-7);
    negative.SetMarker(0);
    EXPECT_THROW(negative.GetSizedHandle(), LException);
}

TEST(LHandleStream, SizedHandlesKeepNullApartFromEmpty) {
    Handle null;
    EXPECT_FALSE(null == Handle(size_t(0)));
    null.Append("ab", 2);
    EXPECT_EQ(null.Size(), 2u);
    null.Dispose();
    EXPECT_TRUE(null.IsNull());

    LHandleStream out;
    out.PutSizedHandle(Handle());
    out.PutSizedHandle(Handle(size_t(0)));
    out.PutSizedHandle(Handle("abc", 3));
    Handle h = out.DetachHandle();
    EXPECT_EQ(h.Size(), 4u + 4 + 7);
    EXPECT_EQ(h.Data()[0], 0xFF);

    LHandleStream in(&std::as_const(h));
    EXPECT_TRUE(in.GetSizedHandle().IsNull());
    Handle empty = in.GetSizedHandle();
    EXPECT_FALSE(empty.IsNull());
    EXPECT_EQ(empty.Size(), 0u);
    EXPECT_EQ(in.GetSizedHandle(), Handle("abc", 3));
}
