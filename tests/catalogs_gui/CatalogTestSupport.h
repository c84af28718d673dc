// Shared pieces of the catalog tests: one QApplication with the appearance
// installed, a scratch application folder per test, answers for every
// question the catalogs ask (alerts, save dialogs, settings dialogs,
// drags), a document without a movie, and a window that holds a list with
// its three buttons.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMimeData>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/TestSupport.h"
#include "catalogs/CatalogDialogs.h"
#include "catalogs/EffectDragTask.h"
#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"
#include "framework/gui/LPushButton.h"
#include "framework/gui/UModalAlerts.h"
#include "support/PretendDocModel.h"

namespace cattest {

namespace fs = std::filesystem;

// One drag the catalogs started.
struct RecordedDrag {
    QString mimeType;
    QByteArray data;
};

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    fs::path AppFolder() const { return mAppFolder; }
    fs::path CodecFolder() const { return mAppFolder / "Presets"; }
    fs::path FilterFolder() const { return mAppFolder / "Filters"; }

    static void WriteFile(const fs::path& path, const Handle& data);
    static Handle ReadFile(const fs::path& path);
    static FSSpec Spec(const fs::path& path);

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

private:
    fs::path mAppFolder;
};

// A document without a movie: the catalogs need only its settings and
// filters.
class DocumentWithoutMovie : public PretendDocModel {
public:
    DocumentWithoutMovie() {
        canCompress = false;
        canOpen = [](const FSSpec&) { return false; };
    }
};

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
