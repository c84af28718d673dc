// An application of documents: quitting asks every open document to close
// first (the close protocol of LDocument) and stops when one refuses.
#pragma once

#include <cstdint>

#include "framework/FourCharCode.h"
#include "framework/gui/LApplication.h"

// Save options of RequestQuit.
constexpr OSType kAEAsk = FourCC("ask ");
constexpr OSType kAENo = FourCC("no  ");

class LDocApplication : public LApplication {
public:
    LDocApplication() = default;

    // True when every document agreed and the program is now quitting.
    virtual bool RequestQuit(OSType saveOption);
};
