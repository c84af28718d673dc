// The start-up hooks of the real program.
#pragma once

#include <memory>

#include "app/Startup.h"

class QCoreApplication;

// The platform as this program really uses it: Qt, the media layer, the
// compiled-in resource file. Window-system parts not built yet say so.
class MovelarkStartupHooks : public StartupHooks {
public:
    MovelarkStartupHooks(int argc, char** argv);
    ~MovelarkStartupHooks() override;

    bool HasDisplay() override;
    void PrepareWindowSystem(bool withWindows) override;
    void ShowStartupMessage(const std::string& text, const std::string& caption,
                            bool onTerminal) override;
    OSErr InitializeMedia() override;
    std::string MediaProblem() override;
    OSErr EnterMovies() override;
    std::optional<std::string> ExecutablePath() override;
    int16_t OpenResourceFile(const FSSpec& executable) override;
    void InitializeDragAndDrop() override;
    void CreateWindowAndDocumentLists() override;
    void LoadSharedStrings() override;
    void RegisterFileKinds() override;
    void InstallAppearance() override;
    void CreateApplication() override;
    bool HandleCommandLine(const std::string& commandTail) override;
    void SetStartupFile(const FSSpec& file) override;
    void RunEventLoop() override;
    void ReleaseSharedStrings() override;
    void DestroyApplication() override;
    void ExitMovies() override;
    void CloseResourceFile(int16_t refNum) override;
    void TerminateMedia() override;
    void UninitializeDragAndDrop() override;
    void ReleaseFileKinds() override;

    const FSSpec& StartupFile() const { return mStartupFile; }

private:
    int mArgc;  // Qt keeps a reference to it
    char** mArgv;
    std::unique_ptr<QCoreApplication> mQtApplication;
    FSSpec mStartupFile;
};
