#include "app/Startup.h"

#include <algorithm>
#include <exception>
#include <iostream>

#include "app/CommandLine.h"
#include "platform/media/MediaLayer.h"

namespace {

// The name of a file record holds at most 255 bytes.
FSSpec StartupFileFromTail(const std::string& tail, bool& found) {
    found = false;
    FSSpec converted;
    if (NativePathNameToFSSpec(tail, converted, 0) != noErr) return {};
    uint8_t name[256] = {};
    size_t length = std::min<size_t>(tail.size(), 255);
    name[0] = uint8_t(length);
    std::copy_n(tail.data(), length, name + 1);
    FSSpec rebuilt;
    if (FSMakeFSSpec(converted.vRefNum, converted.parID, name, rebuilt) != noErr) return {};
    found = true;
    return rebuilt;
}

int RunTool(const LaunchRequest& request) {
    try {
        return request.command->handler(CommandContext{request.args, request.commandTail});
    } catch (const std::exception& e) {
        std::cerr << "movelark: " << request.command->name << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace

int RunMovelark(int argc, char** argv, StartupHooks& hooks) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    LaunchRequest request = ParseLaunch(args);
    if (request.mode == LaunchMode::Refused) {
        std::cerr << request.error << "\n";
        return 2;
    }
    if (request.mode == LaunchMode::Help) {
        std::cout << UsageText();
        return 0;
    }

    const bool interactive = request.mode == LaunchMode::Window || request.mode == LaunchMode::Batch;
    const bool withWindows = interactive && hooks.HasDisplay();
    // A batch runs unattended and the tools run in terminals: their start-up
    // problems go to standard error.
    const bool messagesOnTerminal = request.mode != LaunchMode::Window || !withWindows;
    // A tool must not report success when it could not even start.
    const int startupFailureCode = request.mode == LaunchMode::Subcommand ? 1 : 0;

    hooks.PrepareWindowSystem(withWindows);

    // Media libraries first: nothing else is of use without them. Any
    // failure here shows the same message; a failed step ends the program at
    // once, without undoing the steps before it.
    OSErr err = hooks.InitializeMedia();
    if (err == noErr) {
        err = hooks.EnterMovies();
        if (err != noErr) {
            hooks.ShowStartupMessage(std::string(kMediaVersionMessage) +
                                         "\nThe media libraries could not be started (error " +
                                         std::to_string(err) + ").",
                                     std::string(), messagesOnTerminal);
            return startupFailureCode;
        }
    } else {
        std::string problem = hooks.MediaProblem();
        if (problem.empty())
            problem = "The FFmpeg media libraries are missing or too old (error " + std::to_string(err) + ").";
        hooks.ShowStartupMessage(std::string(kMediaVersionMessage) + "\n" + problem, std::string(),
                                 messagesOnTerminal);
        return startupFailureCode;
    }

    // The resource file belongs to the executable; without a path to it the
    // step is skipped and no resource file is open.
    int16_t resourceRef = -1;
    if (auto path = hooks.ExecutablePath()) {
        FSSpec executable;
        NativePathNameToFSSpec(*path, executable, 0);
        resourceRef = hooks.OpenResourceFile(executable);
        if (resourceRef == -1) {
            hooks.ShowStartupMessage(kResourceFileMessage, kResourceFileCaption, messagesOnTerminal);
            return startupFailureCode;
        }
    }

    hooks.InitializeDragAndDrop();
    hooks.CreateWindowAndDocumentLists();
    hooks.LoadSharedStrings();
    hooks.RegisterFileKinds();
    hooks.InstallAppearance();

    int exitCode = 0;
    bool applicationBuilt = false;
    switch (request.mode) {
        case LaunchMode::Version:
            std::cout << "Movelark " << MOVELARK_VERSION << std::endl;
            break;
        case LaunchMode::Subcommand:
            exitCode = RunTool(request);
            break;
        default: {
            hooks.CreateApplication();
            applicationBuilt = true;
            if (hooks.HandleCommandLine(request.commandTail)) {
                exitCode = hooks.BatchExitCode();
            } else {
                bool found = false;
                FSSpec startupFile = StartupFileFromTail(request.commandTail, found);
                if (found) hooks.SetStartupFile(startupFile);
                if (!hooks.RunEventLoop()) exitCode = 1;
            }
            break;
        }
    }

    hooks.ReleaseSharedStrings();
    if (applicationBuilt) hooks.DestroyApplication();
    hooks.ExitMovies();
    if (resourceRef != -1) hooks.CloseResourceFile(resourceRef);
    hooks.TerminateMedia();
    hooks.UninitializeDragAndDrop();
    hooks.ReleaseFileKinds();
    return exitCode;
}
