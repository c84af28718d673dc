#include "docwindow/CProgressWindow.h"

#include <QApplication>
#include <climits>
#include <new>

#include "compress/CompressMovieFile.h"
#include "docwindow/CDataRateView.h"
#include "framework/gui/ErrorMessages.h"
#include "framework/gui/LControl.h"
#include "framework/gui/StDialogHandler.h"
#include "model/CTambleVideoDocModel.h"

namespace {
CProgressWindow::PollHook& ThePollHook() {
    static CProgressWindow::PollHook hook;
    return hook;
}
}  // namespace

CProgressWindow::CProgressWindow(LCommander* superCommander) : mSuperCommander(superCommander) {}

CProgressWindow::~CProgressWindow() { Close(); }

void CProgressWindow::SetPollHook(PollHook hook) { ThePollHook() = std::move(hook); }

void CProgressWindow::Open(const std::string& title) {
    if (mDialog) return;
    // The arrow with the busy sign: the Cancel button stays clickable.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    mBusyCursor = true;
    mDialog = std::make_unique<StDialogHandler>(kLayout, mSuperCommander);
    mDialog->SetSleepTime(0);
    mStatus = mDialog->FindPane<LControl>(kStatusPane);
    mBar = mDialog->FindPane<LControl>(kBarPane);
    mGraph = mDialog->FindPane<CDataRateView>(kGraphPane);
    if (mGraph != nullptr) mGraph->SetTracker(&Graph());
    mDialog->GetDialog()->setWindowTitle(QString::fromStdString(title));
    SetStatus(title);
    mDialog->GetDialog()->show();
    mDialog->GetDialog()->raise();
    mDialog->GetDialog()->activateWindow();
    // Let the window appear before the first frame is compressed.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CProgressWindow::Close() {
    mStatus = nullptr;
    mBar = nullptr;
    mGraph = nullptr;
    mDialog.reset();
    if (mBusyCursor) {
        QApplication::restoreOverrideCursor();
        mBusyCursor = false;
    }
}

void CProgressWindow::SetStatus(const std::string& text) {
    if (mStatus != nullptr) mStatus->SetDescriptor(QString::fromStdString(text));
}

void CProgressWindow::SetBar(int percent) {
    CompressionProgress::SetBar(percent);
    if (mBar != nullptr) mBar->SetValue(percent);
}

int32_t CProgressWindow::Poll() {
    if (!mDialog) return 0;
    ++mPollCount;
    if (ThePollHook()) ThePollHook()(*this);
    return mDialog->PollDialog();
}

void CProgressWindow::GraphChanged() {
    if (mGraph != nullptr) mGraph->Redraw();
}

OSErr WindowedCompression::CompressMovieFile(const FSSpec& source, const FSSpec& destination,
                                             const SCompressSettings& settings, std::string* message) {
    // Nothing may escape into the model: a failure is a result code with a
    // sentence, like any other.
    try {
        CProgressWindow progress(mSuperCommander);
        const OSErr result = ::CompressMovieFile(source, destination, settings, progress, message);
        // What the run had to leave out, once it is over.
        if (result == noErr && !progress.Warnings().empty()) {
            QStringList warnings;
            for (const std::string& w : progress.Warnings()) warnings << QString::fromStdString(w);
            ShowWarningText(warnings.join(QStringLiteral("\n\n")));
        }
        return result;
    } catch (const LException& e) {
        if (message != nullptr) *message = e.what();
        return e.Code() >= INT16_MIN && e.Code() <= INT16_MAX ? OSErr(e.Code()) : ioErr;
    } catch (const std::bad_alloc&) {
        return memFullErr;
    } catch (const std::exception& e) {
        if (message != nullptr) *message = e.what();
        return ioErr;
    }
}
