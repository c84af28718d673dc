#include "compress/FrameColour.h"

#include "platform/media/encode/OutputColour.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"

std::string ChooseFrameColour(const Movie& movie, MovieFrameRenderer& renderer, const VideoSettings& settings,
                              bool mayBePlanar, OffscreenWorld& frameBuffer) {
    const VideoCodecInfo* codec = VideoCodecTable::Find(settings.codecType);
    if (!codec) return "";
    const MovieLayout& layout = movie.Layout();
    const OutputColour colour =
        OutputColour::Choose(layout.colour, layout.codedWidth, layout.codedHeight, *codec, settings.depth);
    renderer.SetColour(colour.source, colour.toneMap);
    OffscreenWorld::Format planar;
    if (mayBePlanar && colour.PlanarWorld(planar))
        frameBuffer.Allocate(frameBuffer.Width(), frameBuffer.Height(), planar);
    frameBuffer.SetColour(colour.output);
    return colour.note;
}
