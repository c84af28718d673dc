// Shared pieces of the catalog tests: a scratch application folder per
// test, answers for every question the catalogs ask (alerts, save dialogs,
// settings dialogs, drags), a document without a movie, and a window that
// holds a list with its three buttons.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QMimeData>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <optional>
#include <tuple>
#include <vector>

#include "catalogs/CatalogDialogs.h"
#include "framework/gui/DragFlavors.h"
#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"
#include "framework/EventRecord.h"
#include "framework/Ticks.h"
#include "framework/gui/LPushButton.h"
#include "framework/gui/UModalAlerts.h"
#include "support/FileRecords.h"
#include "support/PretendDocModel.h"
#include "support/TestSupport.h"

namespace cattest {

using namespace testsupport;

// One drag the catalogs started.
struct RecordedDrag {
    QString mimeType;
    QByteArray data;
};

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        mAppFolder = ScratchDir();
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
            return dialogHandler && dialogHandler(dialog) ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        SetFlavorDragRunner([this](QWidget*, std::unique_ptr<QMimeData> data, const QPixmap& image) {
            dragImage = image;
            for (const QString& format : data->formats()) drags.push_back({format, data->data(format)});
            return Qt::CopyAction;
        });
    }
    void TearDown() override {
        UModalAlerts::SetHook(nullptr);
        UModalAlerts::SetSaveHook(nullptr);
        CatalogDialogs::SetRunner(nullptr);
        SetFlavorDragRunner(nullptr);
        PresetFolders::SetApplicationFolder({});
    }

    fs::path AppFolder() const { return mAppFolder; }
    fs::path CodecFolder() const { return mAppFolder / "Presets"; }
    fs::path FilterFolder() const { return mAppFolder / "Filters"; }

    static void WriteFile(const fs::path& path, const Handle& data) {
        fs::create_directories(path.parent_path());
        WriteBytes(path, Bytes(data));
    }
    static Handle ReadFile(const fs::path& path) {
        Handle data;
        EXPECT_TRUE(ReadPresetFile(path.string(), data)) << path;
        return data;
    }
    // Accepts the next settings dialogs as a `Dialog` after `edit` has set it up.
    template <class Dialog>
    void AcceptWith(std::function<void(Dialog&)> edit) {
        dialogHandler = [edit](QDialog& dialog) {
            auto* typed = dynamic_cast<Dialog*>(&dialog);
            EXPECT_NE(typed, nullptr);
            if (typed && edit) edit(*typed);
            return typed != nullptr;
        };
    }

    // Answers for the questions: the alert answer, the next save path
    // (none: the user cancels), the settings dialog (it gets the dialog to
    // set up and answers accept or not).
    UModalAlerts::Answer alertAnswer = UModalAlerts::Answer::Yes;
    int alertsShown = 0;
    std::optional<QString> savePath;
    int saveDialogsShown = 0;
    std::function<bool(QDialog&)> dialogHandler;
    int dialogsShown = 0;
    std::vector<RecordedDrag> drags;
    QPixmap dragImage;  // shown under the mouse by the last drag

private:
    fs::path mAppFolder;
};

// A document without a movie: the catalogs need only its settings and filters.
class DocumentWithoutMovie : public PretendDocModel {
public:
    DocumentWithoutMovie() {
        canCompress = false;
        canOpen = [](const FSSpec&) { return false; };
    }
};

// An idle pass as the event loop makes it, at a given tick (now by default).
inline EventRecord IdleAt(uint32_t when = TickCount()) {
    EventRecord event;
    event.when = when;
    return event;
}

// A top-level window holding one list and its New, Edit and Delete buttons.
template <class List>
struct ListWindow {
    QWidget window;
    List* list = nullptr;
    LPushButton* newButton = nullptr;
    LPushButton* editButton = nullptr;
    LPushButton* deleteButton = nullptr;

    ListWindow(PaneIDT newID, PaneIDT editID, PaneIDT deleteID, QSize listSize = QSize(366, 300)) {
        auto* layout = new QVBoxLayout(&window);
        list = new List(&window);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFixedSize(listSize);
        layout->addWidget(list);
        auto* row = new QHBoxLayout;
        for (auto [button, id, label] : {std::tuple{&newButton, newID, "New…"}, {&editButton, editID, "Edit…"},
                                         {&deleteButton, deleteID, "Delete"}}) {
            *button = new LPushButton(&window);
            (*button)->setObjectName(PaneName(id));
            (*button)->setText(QString::fromUtf8(label));
            row->addWidget(*button);
        }
        layout->addLayout(row);
        list->FinishCreate();
    }
    void Show() {
        window.show();
        QApplication::processEvents();
    }
};

}  // namespace cattest
