// The start-up hooks of the real program.
#pragma once

#include <memory>

#include "app/Startup.h"

class QCoreApplication;
class CTambleApp;

// The platform as this program really uses it: Qt, the media layer, the
// compiled-in resource file, the drawing layer and the application object
// of the windowed program. Without a display there are no windows: the
// tools and batches still run.
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
    int BatchExitCode() const override { return mBatchExitCode; }
    void SetStartupFile(const FSSpec& file) override;
    bool RunEventLoop() override;
    void ReleaseSharedStrings() override;
    void DestroyApplication() override;
    void ExitMovies() override;
    void CloseResourceFile(int16_t refNum) override;
    void TerminateMedia() override;
    void UninitializeDragAndDrop() override;
    void ReleaseFileKinds() override;

    const FSSpec& StartupFile() const { return mStartupFile; }

private:
    bool HasWindows() const;

    int mArgc;  // Qt keeps a reference to it
    char** mArgv;
    std::unique_ptr<QCoreApplication> mQtApplication;
    std::unique_ptr<CTambleApp> mApplication;
    FSSpec mStartupFile;
    int mBatchExitCode = 0;
};
