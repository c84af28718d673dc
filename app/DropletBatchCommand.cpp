#include "app/DropletBatchCommand.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "platform/files/ApplicationFolder.h"
#include "app/CDropletBatch.h"
#include "app/CTambleApp.h"
#include "compress/CompressMovieFile.h"
#include "compress/StopSignals.h"
#include "compress/TerminalProgress.h"
#include "docwindow/CProgressWindow.h"
#include "model/CTambleVideoDocModel.h"

namespace {

bool HasWindows() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

void ShowBatchMessage(const std::string& text) {
    if (HasWindows()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QString::fromStdString(text),
                        QMessageBox::Ok);
        box.exec();
        return;
    }
    std::cerr << "movelark: " << text << std::endl;
}

int RunDropletBatchCommand(const CommandContext& context) {
    // With a display each file shows the progress window; without one the
    // progress goes to standard error.
    TerminalProgress terminal(stderr);
    CompressionJob onTheTerminal(terminal);
    WindowedCompression inAProgressWindow(CTambleApp::Instance());
    CompressionService& compression = HasWindows() ? static_cast<CompressionService&>(inAProgressWindow) : onTheTerminal;
    // A signal stops the batch after the file it interrupts; the summary
    // is shown and the hand-over file removed before it takes effect.
    StopSignals::Guard stopSignals;
    CDropletBatch batch([] { return std::make_unique<CTambleVideoDocModel>(); }, ShowBatchMessage,
                        ApplicationFolder(), compression);
    batch.HandleCommandLine(context.commandTail);
    return batch.NotCompressed().empty() ? 0 : 1;
}
