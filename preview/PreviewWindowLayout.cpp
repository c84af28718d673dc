#include "preview/PreviewWindowLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "framework/gui/LEditField.h"
#include "framework/gui/LPushButton.h"
#include "framework/gui/LTabsControl.h"
#include "preview/CMoviePreview.h"

namespace {

template <class T>
T* MakePane(QWidget* parent, const char* id) {
    auto* pane = new T(parent);
    pane->setObjectName(QString::fromLatin1(id));
    return pane;
}

LPushButton* Button(QWidget* parent, const char* id, const QString& title) {
    auto* button = MakePane<LPushButton>(parent, id);
    button->setText(title);
    return button;
}

}  // namespace

CMoviePreview* BuildPreviewWindow(QWidget& window) {
    auto* column = new QVBoxLayout(&window);
    auto* tabs = MakePane<LTabsControl>(&window, "PREV");
    tabs->SetTabTitles(QStringLiteral("Preview|Filters|Filters + Codec|Compare"));
    column->addWidget(tabs);
    auto* captions = new QHBoxLayout;
    auto* before = MakePane<QLabel>(&window, "BEFO");
    before->setText(QStringLiteral("Before"));
    auto* after = MakePane<QLabel>(&window, "AFTE");
    after->setText(QStringLiteral("After"));
    after->setAlignment(Qt::AlignRight);
    captions->addWidget(before);
    captions->addWidget(after);
    column->addLayout(captions);
    before->hide();
    after->hide();
    auto* preview = MakePane<CMoviePreview>(&window, "mvPV");
    column->addWidget(preview, 1);

    auto* controls = new QHBoxLayout;
    const std::pair<const char*, const char*> transport[] = {{"Tbeg", "|<"}, {"Tbac", "<|"}, {"Tstp", "Stop"},
                                                             {"Tply", "Play"}, {"Tfwd", "|>"}, {"Tend", ">|"}};
    for (const auto& [id, title] : transport) controls->addWidget(Button(&window, id, QString::fromLatin1(title)));
    controls->addSpacing(16);
    const std::pair<const char*, const char*> zooms[] = {{"FITT", "Fit"}, {"50pc", "50%"}, {"100p", "100%"},
                                                         {"200p", "200%"}};
    for (const auto& [id, title] : zooms) controls->addWidget(Button(&window, id, QString::fromLatin1(title)));
    controls->addStretch(1);
    column->addLayout(controls);

    auto* fields = new QHBoxLayout;
    const std::pair<const char*, const char*> edits[] = {{"iWID", "Width"}, {"iHIG", "Height"}, {"iLFT", "Left"},
                                                         {"iTOP", "Top"},   {"iRGT", "Right"},  {"iBOT", "Bottom"}};
    for (const auto& [id, title] : edits) {
        fields->addWidget(new QLabel(QString::fromLatin1(title), &window));
        auto* edit = MakePane<LEditField>(&window, id);
        edit->setRange(0, 32000);
        fields->addWidget(edit);
    }
    fields->addStretch(1);
    column->addLayout(fields);
    return preview;
}
