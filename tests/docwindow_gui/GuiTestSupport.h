// What the document window's tests share: the rest of the program's
// start-up (strings, file kinds, pane classes), scripted answers for
// message boxes and file dialogs, and fixture movies.
#pragma once

#include <QString>
#include <functional>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "app/CTambleApp.h"
#include "docwindow/CTambleDoc.h"
#include "framework/Handle.h"
#include "framework/gui/LControl.h"
#include "framework/gui/UModalAlerts.h"
#include "support/CompressJob.h"
#include "support/PretendDocModel.h"
#include "support/TestSupport.h"

namespace guitest {

// 320x240 H.264 at 30 fps, 3 s, with a sine tone.
using compressfixtures::MovieWithSound;
// 640x360, 641 pixels wide, without sound.
std::filesystem::path Movie641Wide();

// Answers every box and dialog while it exists; records what was asked.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();

    // Answers in turn; when they run out, OK / Yes.
    std::vector<UModalAlerts::Answer> answers;
    std::vector<UModalAlerts::Alert> alerts;
    // Open dialogs are cancelled.
    std::vector<UModalAlerts::OpenRequest> openRequests;
    // Paths to hand to save dialogs in turn; when they run out, cancel.
    std::vector<QString> saveAnswers;
    std::vector<UModalAlerts::SaveRequest> saveRequests;
};

// The document opened last; null when none is open.
CTambleDoc* LastDocument();

// The application object with scripted dialogs, for tests that open
// movies in document windows.
class DocumentTest : public ::testing::Test {
public:
    void SetUp() override { app = std::make_unique<CTambleApp>(0); }
    void TearDown() override;

    CTambleDoc* Open(const std::filesystem::path& path);
    template <class T = LControl>
    T* Pane(CTambleDoc* doc, const char* id) {
        uint32_t code = 0;
        for (int i = 0; i < 4; ++i) code = (code << 8) | uint8_t(id[i]);
        return doc->GetWindow()->FindPane<T>(PaneIDT(code));
    }
    // Types into a number field and presses Return, as a person would.
    void TypeInto(QWidget* field, const QString& text);

    ScriptedDialogs dialogs;  // outlives the application
    std::unique_ptr<CTambleApp> app;
};

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000);

}  // namespace guitest
