// The movie being written and the file it goes into: made under a
// temporary name beside the destination (SafeOutputFile), so that only a
// finished movie becomes the destination and anything else leaves the
// destination as it was.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "compress/SafeOutputFile.h"
#include "framework/LException.h"
#include "platform/media/FSSpec.h"

class MovieWriter;

class OutputMovieFile {
public:
    OutputMovieFile();
    ~OutputMovieFile();  // discards what was not committed
    OutputMovieFile(const OutputMovieFile&) = delete;
    OutputMovieFile& operator=(const OutputMovieFile&) = delete;

    // Makes the temporary file under `temporaryName` and starts the movie
    // in it. noErr, or an error with a sentence for the user in `why`.
    OSErr Create(const FSSpec& destination, const std::string& temporaryName, std::string& why);
    bool IsOpen() const { return mWriter != nullptr; }
    MovieWriter& Writer() { return *mWriter; }

    // Finishes the movie, then, unless `stopped` says the run was stopped
    // meanwhile, renames it onto the destination. noErr, or an error with
    // a sentence in `why`. The file is gone afterwards either way.
    OSErr Commit(const std::function<bool()>& stopped, std::string& why);
    // Gives up the movie and removes the file.
    void Discard();

private:
    SafeOutputFile mFile;  // declared before the writer: outlives it
    std::unique_ptr<MovieWriter> mWriter;
};
