#include "compress/ImageCompressionSequence.h"

#include "framework/LException.h"

ImageCompressionSequence::ImageCompressionSequence(const OffscreenWorld& source, const Handle* settings,
                                                   double sourceFrameRate, bool onlySequenceInTrack)
    : CompressionSequence(settings), mSource(source), mSourceFrameRate(sourceFrameRate),
      mOnlySequence(onlySequenceInTrack) {
    // Unreadable settings compress as 'raw ' at normal quality.
    try {
        if (settings) mValues = VideoSettings::FromHandle(*settings);
    } catch (const LException&) {
        mValues = VideoSettings();
    }
}

void ImageCompressionSequence::Begin() {
    if (mEncoder.IsOpen()) return;
    const double rate = mValues.frameRate ? mValues.frameRate / 65536.0 : mSourceFrameRate;
    mEncoder.Open(mValues, mSource.Width(), mSource.Height(), MediaTimeBase{1, 600}, rate, mOnlySequence,
                  mSource.Colour());
}

void ImageCompressionSequence::CompressFrame(int64_t pts600, int64_t duration600, std::vector<EncodedPacket>& out) {
    Begin();
    mEncoder.Encode(mSource, pts600, duration600, out);
}

void ImageCompressionSequence::End(std::vector<EncodedPacket>& out) {
    if (mEncoder.IsOpen()) mEncoder.Flush(out);
}
