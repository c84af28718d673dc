#include "app/DropletBatchCommand.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "app/ApplicationFolder.h"
#include "app/CDropletBatch.h"
#include "compress/StopSignals.h"
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
    // The compression job is installed in the models at start-up, with the
    // progress window or, without a display, progress on standard error.
    // A signal stops the batch after the file it interrupts; the summary
    // is shown and the hand-over file removed before it takes effect.
    StopSignals::Guard stopSignals;
    CDropletBatch batch([] { return std::make_unique<CTambleVideoDocModel>(); }, ShowBatchMessage,
                        ApplicationFolder());
    batch.HandleCommandLine(context.commandTail);
    return batch.NotCompressed().empty() ? 0 : 1;
}
