#include "compress/OutputMovieFile.h"

#include "platform/media/encode/MovieWriter.h"

OutputMovieFile::OutputMovieFile() = default;

OutputMovieFile::~OutputMovieFile() { Discard(); }

OSErr OutputMovieFile::Create(const FSSpec& destination, const std::string& temporaryName, std::string& why) {
    if (!mFile.Create(destination.Path(), temporaryName, why)) return ioErr;
    mWriter = std::make_unique<MovieWriter>();
    const std::string shownName = "\"" + destination.FileName(true) + "\"";
    try {
        mWriter->Create(mFile.Descriptor(), shownName, MovieWriter::IsMp4Path(destination.Path()));
    } catch (const LException& e) {
        mWriter.reset();
        why = "The movie cannot be written in the folder of " + shownName + ": " + e.what();
        return OSErr(e.Code());
    }
    return noErr;
}

OSErr OutputMovieFile::Commit(const std::function<bool()>& stopped, std::string& why) {
    try {
        mWriter->Finish();
        mWriter.reset();
        if (!stopped() && !mFile.Commit(why)) return ioErr;
    } catch (const LException& e) {
        why = std::string("The movie could not be written: ") + e.what();
        return OSErr(e.Code());
    }
    return noErr;
}

void OutputMovieFile::Discard() {
    if (mWriter) {
        mWriter->Abort();
        mWriter.reset();
    }
    mFile.Discard();
}
