#include "CatalogTestSupport.h"

#include <fstream>

#include "appearance/CAppearance.h"
#include "appearance/QtAppearance.h"
#include "resources/ResourceFile.h"

namespace cattest {

namespace {

// The program-wide pieces every catalog test needs, made once.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_catalogs_gui";
        static char* argv[] = {name, nullptr};
        mApplication = std::make_unique<QApplication>(argc, argv);
        ASSERT_TRUE(ResourceFile::IsAvailable());
        CAppearance::Install(std::make_unique<QtAppearance>());
    }
    void TearDown() override {
        CAppearance::Remove();
        mApplication.reset();
    }

private:
    std::unique_ptr<QApplication> mApplication;
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

void CatalogTest::SetUp() {
    mAppFolder = testsupport::ScratchDir();
    PresetFolders::SetApplicationFolder(mAppFolder.string());
    UModalAlerts::SetHook([this](const UModalAlerts::Alert&) {
        ++alertsShown;
        return alertAnswer;
    });
    UModalAlerts::SetSaveHook([this](const UModalAlerts::SaveRequest&) {
        ++saveDialogsShown;
        return savePath;
    });
    CatalogDialogs::SetRunner([this](QDialog& dialog) {
        ++dialogsShown;
        const bool accepted = dialogHandler ? dialogHandler(dialog) : false;
        return accepted ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    EffectDragTask::SetDragRunner([this](QWidget*, std::unique_ptr<QMimeData> data, const QPixmap&) {
        for (const QString& format : data->formats()) drags.push_back({format, data->data(format)});
        return Qt::CopyAction;
    });
}

void CatalogTest::TearDown() {
    UModalAlerts::SetHook(nullptr);
    UModalAlerts::SetSaveHook(nullptr);
    CatalogDialogs::SetRunner(nullptr);
    EffectDragTask::SetDragRunner(nullptr);
    PresetFolders::SetApplicationFolder({});
}

void CatalogTest::WriteFile(const fs::path& path, const Handle& data) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.Data()), std::streamsize(data.Size()));
    ASSERT_TRUE(out.good()) << path;
}

Handle CatalogTest::ReadFile(const fs::path& path) {
    Handle data;
    EXPECT_TRUE(ReadPresetFile(path.string(), data)) << path;
    return data;
}

FSSpec CatalogTest::Spec(const fs::path& path) {
    FSSpec spec;
    EXPECT_EQ(FSSpec::FromPath(path.string(), spec), noErr);
    return spec;
}

}  // namespace cattest
