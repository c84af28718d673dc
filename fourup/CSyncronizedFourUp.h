// Scrolls the other comparison panes when one is scrolled by hand, so all
// of them show the same part of the picture.
#pragma once

#include <vector>

#include "framework/LListener.h"

class CodecFourUp;

constexpr MessageT msg_FourUpScrolled = MessageT(FourCC("cvSC"));

class CSyncronizedFourUp : public LListener {
public:
    // Listens to the pane; null is ignored.
    void AttachPane(CodecFourUp* pane);
    void OnMessage(MessageT message, void* parameter) override;

private:
    std::vector<CodecFourUp*> mPanes;
};
