// Pictures of the windows for people to judge the look: run under a real
// X server with MOVELARK_SCREENSHOTS naming a folder, e.g.
//   MOVELARK_SCREENSHOTS=/tmp/shots QT_QPA_PLATFORM=xcb xvfb-run -a \
//     -s "-screen 0 1280x800x24" test_docwindow_gui --gtest_filter='Screenshots.*'
// Each picture is the whole screen, taken with ImageMagick's import.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "support/TestSupport.h"
#include "app/CTambleApp.h"
#include "docwindow/CProgressWindow.h"
#include "docwindow/CTambleDoc.h"
#include "framework/gui/LDocument.h"
#include "framework/gui/LWindow.h"

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> ShotFolder() {
    const QByteArray folder = qgetenv("MOVELARK_SCREENSHOTS");
    if (folder.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb")) return std::nullopt;
    fs::create_directories(folder.constData());
    return fs::path(folder.constData());
}

void Settle(int milliseconds) { guitest::WaitFor([] { return false; }, milliseconds); }

bool Shoot(const fs::path& file) {
    QCoreApplication::processEvents();
    return testsupport::RunCommand("import -window root " + testsupport::ShellQuote(file.string())) == 0;
}

TEST(Screenshots, DocumentWindowAboutBoxAndProgressWindow) {
    const auto folder = ShotFolder();
    if (!folder) GTEST_SKIP() << "set MOVELARK_SCREENSHOTS and run on an X server";
    guitest::ScriptedDialogs dialogs;
    auto app = std::make_unique<CTambleApp>(0);

    const fs::path movie = guitest::CopyToScratch(guitest::LongMovie(), "Harbour at dusk.mov");
    FSSpec spec;
    ASSERT_EQ(FSSpec::FromPath(movie.string(), spec), noErr);
    app->OpenFileInWindow(spec);
    auto* doc = dynamic_cast<CTambleDoc*>(LDocument::GetDocumentList().back());
    ASSERT_NE(doc, nullptr);
    doc->GetWindow()->move(0, 0);
    doc->Model().SetCrop(40, 20, 600, 340);
    doc->Model().AddVideoSegment(guitest::VideoSegment(), STimeValue{0, 600}, nullptr, nullptr);
    Settle(1000);
    doc->MakeCurrent();
    Settle(500);
    EXPECT_TRUE(Shoot(*folder / "document-window.png"));

    // The About box, over the document window.
    QTimer::singleShot(1200, [&] {
        EXPECT_TRUE(Shoot(*folder / "about-box.png"));
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* ok = w->findChild<QAbstractButton*>(QStringLiteral("okay")); ok && w->isVisible()) ok->click();
    });
    app->PresentAboutDialog(0);

    // The progress window half-way through a run.
    bool shot = false;
    CProgressWindow::SetPollHook([&](CProgressWindow& progress) {
        if (shot || progress.Bar() < 45) return;
        shot = true;
        Settle(200);
        EXPECT_TRUE(Shoot(*folder / "progress-window.png"));
    });
    dialogs.saveAnswers = {QString::fromStdString((movie.parent_path() / "Harbour at dusk new.mov").string())};
    doc->ObeyCommand(cmd_Compress);
    CProgressWindow::SetPollHook(nullptr);
    EXPECT_TRUE(shot);
    app.reset();
}

}  // namespace
