#include "framework/gui/LDocApplication.h"

#include <vector>

#include "framework/gui/LDocument.h"

bool LDocApplication::RequestQuit(OSType saveOption) {
    // A copy: documents leave the list as they close.
    const std::vector<LDocument*> documents = LDocument::GetDocumentList();
    for (LDocument* document : documents) {
        if (saveOption == kAENo)
            document->Close();
        else if (!document->AttemptClose(true))
            return false;
    }
    DoQuit();
    return true;
}
