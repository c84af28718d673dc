#include "platform/media/encode/EncoderOptionSetting.h"

#include "platform/media/AVHandles.h"
#include "platform/media/encode/EncodeErrors.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

void SetEncoderOption(AVCodecContext* ctx, const char* encoderName, const std::string& name,
                      const std::string& value) {
    const int rc = av_opt_set(ctx, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
    if (rc < 0)
        throw LException(kCodecErr, std::string("The ") + encoderName + " encoder does not take the option " + name +
                                        "=" + value + " (" + media::av::ErrorText(rc) + ").");
}
