// A window holding the movie preview with the panes it looks for (tabs,
// captions, buttons and crop fields, laid out as the preview harness has
// them), optionally with codec comparison panes below it; the fixture movies
// it is tried on, and a measure of block artefacts. For the preview and
// four-up tests and the drawing benchmarks.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <filesystem>
#include <memory>

#include "framework/LPeriodical.h"
#include "framework/gui/LEditField.h"
#include "framework/gui/LTabsControl.h"
#include "model/CTambleVideoDocModel.h"
#include "catalogs/PresetFile.h"
#include "fourup/CSyncronizedFourUp.h"
#include "fourup/CodecFourUp.h"
#include "framework/gui/DragFlavors.h"
#include "preview/CMoviePreview.h"
#include "preview/PreviewWindowLayout.h"
#include "support/TestSupport.h"

namespace previewtest {

namespace fs = std::filesystem;

// 640 x 480 colour bars, ten frames a second for two seconds.
inline fs::path BarsMovie() {
    return testsupport::FixtureMovie("preview_bars.mov",
                                     "-f lavfi -i testsrc2=size=640x480:rate=10:duration=2 -c:v mpeg4 -q:v 2 -g 5");
}
// 320 x 120: the left half red, the right half blue.
inline fs::path HalvesMovie() {
    return testsupport::FixtureMovie(
        "preview_halves.mov",
        "-f lavfi -i 'color=c=red:s=160x120:d=1:r=10[a];color=c=blue:s=160x120:d=1:r=10[b];[a][b]hstack' "
        "-c:v png");
}
// 320 x 240 smooth gradients (no edges for a codec to hide blocks in).
inline fs::path GradientMovie() {
    return testsupport::FixtureMovie("preview_gradient.mov",
                                     "-f lavfi -i gradients=s=320x240:r=10:d=2:speed=0.01:seed=3 -c:v png");
}

using testsupport::Spec;

inline void RunRepeatTasks() { LPeriodical::RunRepeatTasks(EventRecord{}); }

// A window with the preview and the panes it finds when it is finished.
struct PreviewWindow {
    QWidget window;
    LTabsControl* tabs = nullptr;
    QLabel* before = nullptr;
    QLabel* after = nullptr;
    LEditField* fields[6] = {};
    CMoviePreview* preview = nullptr;
    CTambleVideoDocModel model;

    // The frame (viewport) is frameWidth x frameHeight.
    explicit PreviewWindow(int frameWidth = 300, int frameHeight = 300) : preview(BuildPreviewWindow(window)) {
        window.layout()->setContentsMargins(0, 0, 0, 0);
        tabs = window.findChild<LTabsControl*>("PREV");
        before = window.findChild<QLabel*>("BEFO");
        after = window.findChild<QLabel*>("AFTE");
        const char* ids[6] = {"iWID", "iHIG", "iLFT", "iTOP", "iRGT", "iBOT"};
        for (int i = 0; i < 6; ++i) fields[i] = window.findChild<LEditField*>(ids[i]);
        preview->setFixedSize(frameWidth, frameHeight);
        window.show();
        preview->FinishCreate();
        preview->Activate();
    }
    ~PreviewWindow() {
        // The pane watches the model: it goes first.
        delete preview;
    }

    void Open(const fs::path& movie) {
        ASSERT_TRUE(model.SetSourceFile(Spec(movie)));
        ASSERT_NE(model.GetMovie(), nullptr);
        preview->SetModel(&model);
    }

    QWidget* Frame() const { return preview->viewport(); }

    // What the frame shows now.
    QImage Grab() const {
        QImage image(Frame()->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        Frame()->render(&image);
        return image;
    }

    // A point of the view's image, in frame (viewport) coordinates.
    QPoint At(int imageX, int imageY) const { return preview->ImageToFrame(QPoint(imageX, imageY)); }

    void ChooseTab(int tab) { tabs->SetValue(tab); }
};

// The preview window with comparison panes below it, sharing its model.
struct FourUpWindow : PreviewWindow {
    std::vector<CodecFourUp*> panes;
    CSyncronizedFourUp sync;

    FourUpWindow(int count, QSize paneSize, int previewSize = 300) : PreviewWindow(previewSize, previewSize) {
        for (int i = 0; i < count; ++i) {
            auto* pane = new CodecFourUp(&window);
            pane->setObjectName(QString::number(i + 1));
            pane->setFixedSize(paneSize);
            window.layout()->addWidget(pane);
            pane->SetMoviePreview(preview);
            pane->Activate();
            sync.AttachPane(pane);
            panes.push_back(pane);
        }
        window.show();
    }
    void Connect() {
        for (CodecFourUp* pane : panes) pane->SetModel(&model);
    }
    ~FourUpWindow() {
        for (CodecFourUp* pane : panes) delete pane;
    }
};

// A preset file written to the scratch folder, as the 272-byte record a drag carries.
inline Handle PresetRecord(const Handle& contents, const std::string& name) {
    const fs::path path = testsupport::ScratchDir() / name;
    EXPECT_TRUE(WritePresetFile(Spec(path), contents));
    const auto record = MakeFileRecord(path.string());
    return record ? Handle(record->constData(), size_t(record->size())) : Handle();
}

// Drops a preset on a pane; the pane keeps no record.
inline void Drop(CodecFourUp& pane, OSType flavor, const Handle& contents, const std::string& name) {
    Handle record = PresetRecord(contents, name);
    EXPECT_FALSE(pane.ReceiveDropItem(record, flavor, QPoint(), 0));
}

// The most pixels of one row of the image that are close to the colour.
inline int WidestRow(const QImage& image, const QColor& colour) {
    int widest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                             std::abs(c.blue() - colour.blue()) < 40;
        }
        widest = std::max(widest, count);
    }
    return widest;
}

// Luminance of an RGB24 world pixel.
inline double Luma(const OffscreenWorld& w, int x, int y) {
    const uint8_t* p = w.Row(y) + x * w.BytesPerPixel();
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

// How much stronger the steps across 8-pixel block edges are than the
// steps inside blocks (about 1 for a picture without block artefacts); with
// a source, measured on what a codec changed.
inline double Blockiness(const OffscreenWorld& w, const OffscreenWorld* source = nullptr) {
    auto value = [&](int x, int y) { return Luma(w, x, y) - (source ? Luma(*source, x, y) : 0.0); };
    double sum[2] = {0, 0};
    long count[2] = {0, 0};
    for (int y = 0; y < w.Height(); ++y)
        for (int x = 1; x < w.Width(); ++x) {
            sum[x % 8 == 0] += std::abs(value(x, y) - value(x - 1, y));
            ++count[x % 8 == 0];
        }
    const double inside = sum[0] / double(std::max(1L, count[0])), edge = sum[1] / double(std::max(1L, count[1]));
    return edge / std::max(inside, 0.05);
}

}  // namespace previewtest
