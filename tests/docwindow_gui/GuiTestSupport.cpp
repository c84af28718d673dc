#include "GuiTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QSpinBox>
#include <QTest>
#include <QThread>

#include "platform/files/FileKinds.h"
#include "platform/media/MediaLayer.h"
#include "resources/ResourceFile.h"
#include "resources/SharedStrings.h"

namespace guitest {

namespace {

// The rest of the program's start-up, once for the whole test program (the
// application object, the media layer and the appearance come with every
// widget test program; the media layer counts its users).
class StartupEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(InitializeMediaLayer(0), noErr);
        ASSERT_EQ(EnterMovies(), noErr);
        ASSERT_TRUE(ResourceFile::IsAvailable());
        LoadSharedStrings();
        RegisterStartupFileKinds();
        // What the application object's constructor does, for the tests
        // that build layouts without one.
        RegisterPaneClasses();
        // Recent files and the like go to a folder of this run, not the user's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mSettingsFolder.path());
    }
    void TearDown() override {
        ReleaseSharedStrings();
        ExitMovies();
        TerminateMediaLayer();
    }

private:
    QTemporaryDir mSettingsFolder;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new StartupEnvironment);

}  // namespace

std::filesystem::path Movie641Wide() {
    // testsrc2 makes even sizes only; the scaler makes the odd one.
    return testsupport::FixtureMovie("docwin_641_square.mov",
                                     "-f lavfi -i testsrc2=size=640x360:rate=30:duration=1 -vf scale=641:360,setsar=1 "
                                     "-c:v libx264 -pix_fmt yuv444p");
}

ScriptedDialogs::ScriptedDialogs() {
    UModalAlerts::SetHook([this](const UModalAlerts::Alert& alert) {
        alerts.push_back(alert);
        if (answers.empty()) {
            return alert.buttons == UModalAlerts::Buttons::OK || alert.buttons == UModalAlerts::Buttons::OKCancel
                       ? UModalAlerts::Answer::OK
                       : UModalAlerts::Answer::Yes;
        }
        const UModalAlerts::Answer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
    UModalAlerts::SetOpenHook([this](const UModalAlerts::OpenRequest& request) {
        openRequests.push_back(request);
        return std::vector<QString>{};
    });
    UModalAlerts::SetSaveHook([this](const UModalAlerts::SaveRequest& request) -> std::optional<QString> {
        saveRequests.push_back(request);
        if (saveAnswers.empty()) return std::nullopt;
        const QString answer = saveAnswers.front();
        saveAnswers.erase(saveAnswers.begin());
        return answer;
    });
}

ScriptedDialogs::~ScriptedDialogs() {
    UModalAlerts::SetHook(nullptr);
    UModalAlerts::SetOpenHook(nullptr);
    UModalAlerts::SetSaveHook(nullptr);
}

CTambleDoc* LastDocument() {
    const auto& list = LDocument::GetDocumentList();
    return list.empty() ? nullptr : dynamic_cast<CTambleDoc*>(list.back());
}

void DocumentTest::TearDown() {
    app.reset();
    QCoreApplication::processEvents();
}

CTambleDoc* DocumentTest::Open(const std::filesystem::path& path) {
    app->OpenFileInWindow(testsupport::Spec(path));
    return LastDocument();
}

void DocumentTest::TypeInto(QWidget* field, const QString& text) {
    field->setFocus();
    auto* spin = qobject_cast<QSpinBox*>(field);
    ASSERT_NE(spin, nullptr);
    spin->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace guitest
