// For --quiet: standard error goes nowhere while this lives, so that what
// the codec libraries print on their own (x265's and SVT-AV1's banners)
// stays out too; the program's own errors go to Errors(), the real one.
#pragma once

#include <cstdio>

class QuietStandardError {
public:
    explicit QuietStandardError(bool quiet);
    ~QuietStandardError();
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

    std::FILE* Errors() const { return mErrors; }

private:
    std::FILE* mErrors = stderr;
    int mSaved = -1;
};
