#include "platform/media/CopiedTrackMuxing.h"

#include <cstring>
#include <new>

void DescribeCopiedStream(AVStream* stream, const CopiedTrack& track) {
    stream->disposition = track.isDefault ? AV_DISPOSITION_DEFAULT : 0;
    for (const auto& [key, value] : track.tags) av_dict_set(&stream->metadata, key.c_str(), value.c_str(), 0);
    if (track.displayMatrix.size() == 36) {
        uint8_t* matrix = av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, 36);
        if (!matrix) throw std::bad_alloc();
        std::memcpy(matrix, track.displayMatrix.data(), 36);
    }
}

void AddMovieDetails(AVFormatContext* format, const MovieDetails& details) {
    for (const auto& [key, value] : details.tags) av_dict_set(&format->metadata, key.c_str(), value.c_str(), 0);
    for (const MovieChapter& c : details.chapters) {
        auto** grown = static_cast<AVChapter**>(av_realloc_array(format->chapters, format->nb_chapters + 1, sizeof(AVChapter*)));
        if (!grown) throw std::bad_alloc();
        format->chapters = grown;
        auto* chapter = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (!chapter) throw std::bad_alloc();
        chapter->id = int64_t(format->nb_chapters) + 1;
        chapter->time_base = AVRational{c.timeBase.num, c.timeBase.den};
        chapter->start = c.start;
        chapter->end = c.end;
        av_dict_set(&chapter->metadata, "title", c.title.c_str(), 0);
        format->chapters[format->nb_chapters++] = chapter;
    }
}
