// The document model on a real movie: opens the document's file, measures
// it, plays and positions it for the previews and the timeline, keeps the
// settings inside the movie file, saves the movie under a new name, and
// prepares a compression run.
//
// The compression job itself lives above this folder; whoever asks for a
// run hands it to Compress.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "model/CTambleDocModel.h"
#include "platform/media/source/Movie.h"

class CTambleVideoDocModel : public CTambleDocModel {
public:
    static constexpr OSType kSettingsType = FourCC("MSTG");
    static constexpr OSType kMovieFileType = FourCC("MooV");

    CTambleVideoDocModel() = default;
    ~CTambleVideoDocModel() override;

    // Files of type 'MooV': .mov, .qt, .mp4, .m4v (any case).
    static bool IsMovieFile(const FSSpec& spec);

    // Why the last CanOpen said no.
    enum class OpenRefusal { None, NotAMovie, NoPictures };
    OpenRefusal GetOpenRefusal() const { return mOpenRefusal; }

    // ---- The movie-backed operations ----
    void ResetSettings() override;
    void SkipExcludedRange(Fixed rate) override;
    std::unique_ptr<OffscreenWorld> GetCurrentFramePicture() override;
    bool CanCompress() override;
    bool IsOutputWidthValid() override;
    // Throws LException when the movie file cannot be rewritten.
    void SaveSettingsToMovie() override;
    // noErr, or the error that kept the new file from being written (the
    // document then stays on its old file).
    OSErr SaveMovieAs(const FSSpec& spec) override;
    // Fits the segments to the movie and runs the service on the settings.
    OSErr Compress(const FSSpec& destination, CompressionService& service) override;
    void LoadMovieInfo() override;
    // Any file the media libraries open with a picture track, whatever its
    // name says; a 'MooV' file that cannot be opened at all is let through
    // (the document then has no movie).
    bool CanOpen(const FSSpec& spec) override;
    void ReadSettingsFromMovie() override;
    // The document is saved in its own file only when that file is a
    // QuickTime or ISO movie (decided by its content); any other movie is
    // saved with SaveMovieAs.
    void OpenMovie() override;

    // ---- Playback and position; nothing happens without a movie ----
    bool IsPlaying() const;
    bool IsAtEnd() const;
    void Play();
    void Stop();
    void GoToStart();
    void GoToEnd();
    void StepFrames(int32_t count);
    void SetCurrentTime(const STimeValue& t);
    void PauseForEdit();
    void ResumeAfterEdit();
    // Moves t onto the frame grid (direction 0: nearest; else the next
    // frame that way); the result is in the movie's time scale.
    void SnapToFrame(STimeValue& t, int32_t direction) const;

    // The current movie time in the movie's scale (0 in 600 without one).
    STimeValue GetCurrentTime() const;
    Movie* GetMovie() const { return mMovie.get(); }
    bool HasAudio() const { return mHasAudio; }
    bool HasVideo() const { return mHasVideo; }
    Fixed GetSavedRate() const { return mSavedRate; }
    // The compression job's explanation of its last failure.
    const std::string& GetCompressMessage() const { return mCompressMessage; }
    // False, with the reason, when the output size the user chose cannot be
    // compressed with the codec of the first video segment; a size taken
    // from the source always can (the job trims it).
    bool CanCompressAtOutputSize(std::string& why) const;
    // Why the movie's stored settings were set aside on opening; "" when they were read.
    const std::string& GetSettingsWarning() const { return mSettingsWarning; }

private:
    void SetMovieTime(int64_t time);
    void FitSegmentsToDuration();
    SCompressSettings MakeCompressSettings();

    std::unique_ptr<Movie> mMovie;
    Fixed mSavedRate = 0;
    bool mHasAudio = true;
    bool mHasVideo = true;
    std::string mCompressMessage;
    OpenRefusal mOpenRefusal = OpenRefusal::None;
    std::string mSettingsWarning;
};
