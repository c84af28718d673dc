// The output's colours, chosen once from the source and the codec, which
// every step then follows: what the renderer decodes and tone-maps to, and
// the frame buffer's format and colour. Without filters to run, frames for
// 4:2:0 encoders are drawn straight into a YUV frame buffer, with no round
// trip through RGB.
#pragma once

#include <string>

#include "platform/media/OffscreenWorld.h"
#include "platform/media/encode/VideoSettings.h"

class Movie;
class MovieFrameRenderer;

// Returns a note for the user when the colours had to change (a deep or
// HDR picture made to fit the codec), else "".
std::string ChooseFrameColour(const Movie& movie, MovieFrameRenderer& renderer, const VideoSettings& settings,
                              bool mayBePlanar, OffscreenWorld& frameBuffer);
