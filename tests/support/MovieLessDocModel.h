// A document model with no movie behind it: its movie operations do
// nothing, which is all that reading, writing and showing settings need.
// Shared by the tests and the fuzz targets.
#pragma once

#include "model/CTambleDocModel.h"

class MovieLessDocModel : public CTambleDocModel {
public:
    // Whether it answers that it could open and compress a movie.
    explicit MovieLessDocModel(bool claimsMovieSupport = true) : mClaimsMovieSupport(claimsMovieSupport) {}

    bool CanCompress() override { return mClaimsMovieSupport; }
    void SaveSettingsToMovie() override {}
    OSErr SaveMovieAs(const FSSpec&) override { return noErr; }
    OSErr Compress(const FSSpec&) override { return noErr; }
    void LoadMovieInfo() override {}
    bool CanOpen(const FSSpec&) override { return mClaimsMovieSupport; }
    void ReadSettingsFromMovie() override {}
    void OpenMovie() override {}

private:
    bool mClaimsMovieSupport;
};
