#include "platform/media/StreamParameters.h"

#include "platform/media/AVHandles.h"

namespace {
struct CodecParametersDeleter {
    void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
}  // namespace

struct StreamParameters::Impl {
    std::unique_ptr<AVCodecParameters, CodecParametersDeleter> parameters;
    MediaTimeBase timeBase;
};

StreamParameters::StreamParameters() = default;
StreamParameters::~StreamParameters() = default;
StreamParameters::StreamParameters(StreamParameters&& other) noexcept = default;
StreamParameters& StreamParameters::operator=(StreamParameters&& other) noexcept = default;

StreamParameters::StreamParameters(const StreamParameters& other) {
    if (other.mImpl) *this = FromCodecParameters(other.CodecParameters(), other.TimeBase());
}

StreamParameters& StreamParameters::operator=(const StreamParameters& other) {
    if (this != &other) {
        StreamParameters copy(other);
        mImpl = std::move(copy.mImpl);
    }
    return *this;
}

StreamParameters StreamParameters::FromCodecParameters(const AVCodecParameters* parameters,
                                                       MediaTimeBase timeBase) {
    StreamParameters result;
    if (!parameters) return result;
    auto impl = std::make_unique<Impl>();
    impl->parameters.reset(avcodec_parameters_alloc());
    if (!impl->parameters || avcodec_parameters_copy(impl->parameters.get(), parameters) < 0)
        throw std::bad_alloc();
    impl->timeBase = timeBase;
    result.mImpl = std::move(impl);
    return result;
}

StreamParameters StreamParameters::FromCodecContext(const AVCodecContext* context, MediaTimeBase timeBase) {
    StreamParameters result;
    if (!context) return result;
    auto impl = std::make_unique<Impl>();
    impl->parameters.reset(avcodec_parameters_alloc());
    if (!impl->parameters || avcodec_parameters_from_context(impl->parameters.get(), context) < 0)
        throw std::bad_alloc();
    impl->timeBase = timeBase;
    result.mImpl = std::move(impl);
    return result;
}

bool StreamParameters::IsEmpty() const { return !mImpl; }
bool StreamParameters::IsAudio() const {
    return mImpl && mImpl->parameters->codec_type == AVMEDIA_TYPE_AUDIO;
}
bool StreamParameters::IsVideo() const {
    return mImpl && mImpl->parameters->codec_type == AVMEDIA_TYPE_VIDEO;
}
std::string StreamParameters::CodecName() const {
    return mImpl ? avcodec_get_name(mImpl->parameters->codec_id) : "";
}
MediaTimeBase StreamParameters::TimeBase() const { return mImpl ? mImpl->timeBase : MediaTimeBase{}; }
const AVCodecParameters* StreamParameters::CodecParameters() const {
    return mImpl ? mImpl->parameters.get() : nullptr;
}
