// The entry function: brings the platform up in a fixed order, hands the
// command line to the application, runs the event loop and takes everything
// down again. Each platform step is a hook, so that the order itself can be
// tested and later parts (the application object, the appearance) plug in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/LException.h"
#include "platform/media/FSSpec.h"

// First line of the message shown when the media libraries cannot be used.
inline constexpr const char* kMediaVersionMessage =
    "Quicktime version 4.1.2 or later is required to run this application.";
inline constexpr const char* kResourceFileMessage = "Unable to load resource file";
inline constexpr const char* kResourceFileCaption = "Error";

class StartupHooks {
public:
    virtual ~StartupHooks() = default;

    // Before anything else, so that start-up messages can be shown.
    // withWindows: a GUI application (windows, message boxes, drag and drop).
    virtual bool HasDisplay() = 0;
    virtual void PrepareWindowSystem(bool withWindows) = 0;
    // onTerminal: print on standard error instead of a message box.
    virtual void ShowStartupMessage(const std::string& text, const std::string& caption,
                                    bool onTerminal) = 0;

    virtual OSErr InitializeMedia() = 0;                  // step 2
    virtual std::string MediaProblem() = 0;               // why step 2 failed, one line
    virtual OSErr EnterMovies() = 0;                      // step 3
    virtual std::optional<std::string> ExecutablePath() = 0;      // step 4
    virtual int16_t OpenResourceFile(const FSSpec& executable) = 0;  // step 4, -1 on failure
    virtual void InitializeDragAndDrop() = 0;             // step 5
    virtual void CreateWindowAndDocumentLists() = 0;      // step 6
    virtual void LoadSharedStrings() = 0;                 // step 7
    virtual void RegisterFileKinds() = 0;                 // step 8
    virtual void InstallAppearance() = 0;                 // step 9
    virtual void CreateApplication() = 0;                 // step 10
    // Step 11: true when the tail was a batch hand-over that has been run.
    virtual bool HandleCommandLine(const std::string& commandTail) = 0;
    // The process's exit status after a batch: not 0 when a file was left out.
    virtual int BatchExitCode() const { return 0; }
    virtual void SetStartupFile(const FSSpec& file) = 0;
    // Step 12; false when there is no display to run it on.
    virtual bool RunEventLoop() = 0;

    virtual void ReleaseSharedStrings() = 0;
    virtual void DestroyApplication() = 0;
    virtual void ExitMovies() = 0;
    virtual void CloseResourceFile(int16_t refNum) = 0;
    virtual void TerminateMedia() = 0;
    virtual void UninitializeDragAndDrop() = 0;
    virtual void ReleaseFileKinds() = 0;
};

// Runs the program for these arguments (argv[0] is the program). The exit
// code is 0 for the windowed program, a batch and --version whatever
// happens, except that a window wanted without a display gives 1; a tool subcommand returns its own code (1 when start-up fails);
// a refused command line gives 2.
int RunMovelark(int argc, char** argv, StartupHooks& hooks);
