#include "app/MovelarkStartupHooks.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "app/CTambleApp.h"
#include "app/CommandLine.h"
#include "platform/files/FileKinds.h"
#include "platform/files/UFileTypeTranslator.h"
#include "compress/CompressMovieFile.h"
#include "compress/TerminalProgress.h"
#include "model/CTambleVideoDocModel.h"
#include "platform/media/MediaLayer.h"
#include "resources/ResourceFile.h"
#include "resources/SharedStrings.h"
#include "framework/gui/LGuiApplication.h"

#include "appearance/ColourScheme.h"
#include "appearance/QtAppearance.h"

namespace {

constexpr int16_t kApplicationResourceFile = 1;

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

MovelarkStartupHooks::MovelarkStartupHooks(int argc, char** argv) : mArgc(argc), mArgv(argv) {}

MovelarkStartupHooks::~MovelarkStartupHooks() = default;

// Qt ends the process when it cannot reach the display it was told to use,
// so only claim a display that is there.
bool MovelarkStartupHooks::HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::string_view name = platform ? platform : "";
    if (name.empty()) return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
    if (name.starts_with("offscreen") || name.starts_with("minimal")) return false;
    if (name.starts_with("xcb")) return IsSet("DISPLAY");
    if (name.starts_with("wayland")) return IsSet("WAYLAND_DISPLAY");
    return true;
}

void MovelarkStartupHooks::PrepareWindowSystem(bool withWindows) {
    QCoreApplication::setApplicationName(QStringLiteral("Movelark"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quenwick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MOVELARK_VERSION));
    if (withWindows) {
        // Every event's handling is guarded: an error that escapes one is
        // swallowed and the program goes on.
        mQtApplication = std::make_unique<LGuiApplication>(mArgc, mArgv);
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Movelark"));
        QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/movelark.svg")));
        FollowDesktopColourScheme();
    }
    else
        mQtApplication = std::make_unique<QCoreApplication>(mArgc, mArgv);
}

void MovelarkStartupHooks::ShowStartupMessage(const std::string& text, const std::string& caption,
                                              bool onTerminal) {
    if (onTerminal || !qobject_cast<QApplication*>(mQtApplication.get())) {
        std::cerr << (caption.empty() ? "" : caption + ": ") << text << std::endl;
        return;
    }
    QMessageBox box(caption.empty() ? QMessageBox::NoIcon : QMessageBox::Critical,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

OSErr MovelarkStartupHooks::InitializeMedia() { return InitializeMediaLayer(0); }

std::string MovelarkStartupHooks::MediaProblem() { return MediaLayerProblem(); }

OSErr MovelarkStartupHooks::EnterMovies() { return ::EnterMovies(); }

std::optional<std::string> MovelarkStartupHooks::ExecutablePath() {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || path.empty()) return std::nullopt;
    return path.string();
}

// The resource file is compiled into the program, so the executable's
// record only tells which program asks.
int16_t MovelarkStartupHooks::OpenResourceFile(const FSSpec&) {
    return ResourceFile::IsAvailable() ? kApplicationResourceFile : int16_t(-1);
}

// Qt's drag and drop needs nothing beyond the application object.
void MovelarkStartupHooks::InitializeDragAndDrop() {}

void MovelarkStartupHooks::CreateWindowAndDocumentLists() {}

void MovelarkStartupHooks::LoadSharedStrings() { ::LoadSharedStrings(); }

void MovelarkStartupHooks::RegisterFileKinds() { RegisterStartupFileKinds(); }

bool MovelarkStartupHooks::HasWindows() const {
    return qobject_cast<QApplication*>(mQtApplication.get()) != nullptr;
}

void MovelarkStartupHooks::InstallAppearance() {
    if (HasWindows()) CAppearance::Install(std::make_unique<QtAppearance>());
}

void MovelarkStartupHooks::CreateApplication() {
    if (!HasWindows()) return;  // a batch without a display needs no application object
    // A splash can be skipped for scripted runs.
    const bool splash = qEnvironmentVariableIsEmpty("MOVELARK_NO_SPLASH");
    mApplication = std::make_unique<CTambleApp>(splash ? CTambleApp::kSplashTicks : 0);
}

bool MovelarkStartupHooks::HandleCommandLine(const std::string& commandTail) {
    if (commandTail.substr(0, commandTail.find(' ')) != "BATCH") return false;
    const Subcommand* batch = FindSubcommand("BATCH");
    if (batch && batch->handler) mBatchExitCode = batch->handler(CommandContext{{}, commandTail});
    return true;
}

void MovelarkStartupHooks::SetStartupFile(const FSSpec& file) {
    mStartupFile = file;
    if (mApplication) mApplication->SetStartupFile(file);
}

bool MovelarkStartupHooks::RunEventLoop() {
    if (mApplication) {
        mApplication->RunEventLoop();
        return true;
    }
    std::cerr << "movelark: there is no display to open windows on";
    if (mStartupFile.IsSet()) std::cerr << " (start-up file: " << mStartupFile.Path() << ")";
    std::cerr << "; use \"movelark compress\" to work without one" << std::endl;
    return false;
}

void MovelarkStartupHooks::ReleaseSharedStrings() { ::ReleaseSharedStrings(); }

void MovelarkStartupHooks::DestroyApplication() {
    mApplication.reset();
}

void MovelarkStartupHooks::ExitMovies() { ::ExitMovies(); }

void MovelarkStartupHooks::CloseResourceFile(int16_t) {}

void MovelarkStartupHooks::TerminateMedia() { TerminateMediaLayer(); }

void MovelarkStartupHooks::UninitializeDragAndDrop() {}

void MovelarkStartupHooks::ReleaseFileKinds() { UFileTypeTranslator::ReleaseRegisteredFileTypes(); }
