// The file a compression writes before its movie becomes the destination.
// Each run makes one of its own beside the destination: created exclusively
// under a fresh name and never through a link, so nothing planted in a
// shared folder is written through and parallel runs never meet. It is
// locked while the run lives; a file of this kind that nobody locks was
// left by a killed run and is removed by the next one. Only a finished
// movie is renamed onto the destination, so the destination always holds
// either its old bytes or a whole new movie.
#pragma once

#include <string>

class SafeOutputFile {
public:
    SafeOutputFile() = default;
    ~SafeOutputFile();  // removes the file unless it was committed
    SafeOutputFile(const SafeOutputFile&) = delete;
    SafeOutputFile& operator=(const SafeOutputFile&) = delete;

    // Empty when a movie may be written to `destination`; otherwise one
    // sentence saying why not: it is a folder, a device, a pipe, a socket
    // or a link to nothing. A link to a file is fine: that file is replaced.
    static std::string CheckDestination(const std::string& destination);

    // Makes the file in the destination's folder (following a link at the
    // destination), its name made from `baseName` with a unique part before
    // the extension, and removes the files of this kind that killed runs
    // left there. False with a sentence for the user (which never names
    // the temporary file) in `why`.
    bool Create(const std::string& destination, const std::string& baseName, std::string& why);

    // Open for reading and writing while the run lives.
    int Descriptor() const { return mFd; }

    // Gives the file the destination's permissions and renames it onto
    // the destination. False with a sentence in `why`; the file is gone
    // either way.
    bool Commit(std::string& why);

    // Removes the file (when not committed) and lets it go.
    void Discard();

private:
    bool StillOurs() const;

    std::string mTarget;  // the destination with a link at its name followed
    std::string mPath;
    int mFd = -1;
};
