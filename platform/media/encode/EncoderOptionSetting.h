// Hands one "name=value" option to an encoder before it is opened.
#pragma once

#include <string>

struct AVCodecContext;

// Sets the option on the context or its private options (x264's preset,
// libvpx's deadline, ...). An option the encoder does not take, or a value
// it refuses, throws kCodecErr naming the encoder, the option and why.
void SetEncoderOption(AVCodecContext* ctx, const char* encoderName, const std::string& name,
                      const std::string& value);
