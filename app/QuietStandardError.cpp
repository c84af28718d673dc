#include "app/QuietStandardError.h"

#include <fcntl.h>
#include <unistd.h>

QuietStandardError::QuietStandardError(bool quiet) {
    if (!quiet) return;
    std::fflush(stderr);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    mSaved = ::dup(STDERR_FILENO);
    std::FILE* errors = mSaved >= 0 ? ::fdopen(::dup(mSaved), "w") : nullptr;
    if (nowhere < 0 || !errors || ::dup2(nowhere, STDERR_FILENO) < 0) {
        if (errors) std::fclose(errors);
        if (nowhere >= 0) ::close(nowhere);
        if (mSaved >= 0) ::close(mSaved);
        mSaved = -1;
        return;
    }
    ::close(nowhere);
    mErrors = errors;
}

QuietStandardError::~QuietStandardError() {
    if (mSaved < 0) return;
    std::fflush(stderr);
    ::dup2(mSaved, STDERR_FILENO);
    ::close(mSaved);
    std::fclose(mErrors);
}
