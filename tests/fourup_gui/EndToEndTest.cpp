// The picture panes working together: pictures imported into the
// thumbnails, one dragged onto the movie preview as the watermark, four
// codecs compared on one frame. With MOVELARK_SCREENSHOTS naming a folder
// the window is saved there as fourup.png (run under xvfb-run with
// QT_QPA_PLATFORM=xcb to see it as a user would).
#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QTest>
#include <cstdlib>

#include "catalogs/PresetFile.h"
#include "compress/CompressMovieFile.h"
#include "compress/TerminalProgress.h"
#include "catalogs/PresetFolders.h"
#include "fourup/CImageCache.h"
#include "fourup/CSyncronizedFourUp.h"
#include "fourup/CThumbsView.h"
#include "fourup/CodecFourUp.h"
#include "fourup/ThumbNailDragTask.h"
#include "framework/Ticks.h"
#include "framework/gui/DragFlavors.h"
#include "framework/gui/LPushButton.h"
#include "platform/media/encode/VideoSettings.h"
#include "resources/StringLists.h"
#include "tests/fourup_gui/FourUpTestSupport.h"
#include "tests/preview_gui/PreviewTestSupport.h"

namespace fs = std::filesystem;
using namespace fouruptest;

TEST(PicturePanesEndToEnd, ImportDragAWatermarkAndCompareFourCodecs) {
    const fs::path dir = TestDir();
    PresetFolders::SetApplicationFolder(dir.string());
    previewtest::PreviewWindow w(420, 330);
    w.Open(previewtest::BarsMovie());

    // The thumbnails with their buttons beside the preview.
    auto* side = new QWidget(&w.window);
    auto* column = new QVBoxLayout(side);
    auto* thumbs = new CThumbsView(side);
    auto* importButton = new LPushButton(side);
    importButton->setObjectName("sIMP");
    importButton->setText("Import…");
    auto* deleteButton = new LPushButton(side);
    deleteButton->setObjectName("sDEL");
    deleteButton->setText("Delete");
    column->addWidget(thumbs);
    column->addWidget(importButton);
    column->addWidget(deleteButton);
    side->setFixedSize(260, 330);
    w.window.layout()->addWidget(side);
    CImageCache cache;
    thumbs->FinishCreate();
    thumbs->SetImageCache(&cache);

    // Import three pictures through the button.
    const fs::path outside = dir / "pictures";
    fs::create_directories(outside);
    fs::copy_file(Picture(160, 80, "magenta"), outside / "logo.png");
    fs::copy_file(Picture(120, 90, "blue"), outside / "blue.png");
    fs::copy_file(Picture(90, 120, "green"), outside / "green.png");
    CThumbsView::SetOpenDialogRunner([&](QWidget*, const QStringList&) {
        return QStringList{QString::fromStdString((outside / "logo.png").string()),
                           QString::fromStdString((outside / "blue.png").string()),
                           QString::fromStdString((outside / "green.png").string())};
    });
    importButton->click();
    CThumbsView::SetOpenDialogRunner(nullptr);
    thumbs->Reload();
    ASSERT_EQ(thumbs->CountItems(), 3);
    for (uint32_t tick = TickCount() + 1, end = tick + 1000; cache.CountEntries() < 3 && tick < end; tick += 40)
        thumbs->PreCache(tick);
    EXPECT_EQ(cache.CountEntries(), 3u);

    // Drag the logo onto the preview: the thumbnail drag's items as the
    // preview receives them.
    const FSSpec logo = Spec(fs::path(PresetFolders::FolderPath(GetIndString(1002, 4))) / "logo.png");
    ASSERT_NE(thumbs->IndexOfItem(logo), 0);
    const auto data = ThumbNailDragTask(thumbs, QPoint(), QRect(), logo).MakeDragData();
    ASSERT_TRUE(w.preview->HandleDrop(DragItemsOf(*data), QPoint(50, 50)));
    previewtest::RunRepeatTasks();
    EXPECT_TRUE(w.model.GetWatermarkFile() == logo);

    // Four codecs on one frame.
    auto* grid = new QWidget(&w.window);
    auto* gridLayout = new QGridLayout(grid);
    CSyncronizedFourUp sync;
    const OSType codecs[4] = {FourCC("avc1"), FourCC("vp09"), FourCC("jpeg"), FourCC("apcn")};
    const char* names[4] = {"H.264", "VP9", "Photo - JPEG", "ProRes 422"};
    std::vector<CodecFourUp*> panes;
    for (int i = 0; i < 4; ++i) {
        auto* pane = new CodecFourUp(grid);
        pane->setObjectName(QString::number(i + 1));
        pane->setFixedSize(300, 250);
        gridLayout->addWidget(pane, i / 2, i % 2);
        pane->SetMoviePreview(w.preview);
        pane->SetModel(&w.model);
        pane->Activate();
        sync.AttachPane(pane);
        const fs::path preset = dir / (std::string(names[i]) + ".qtcd");
        ASSERT_TRUE(WritePresetFile(Spec(preset), MakeVideoSettings(codecs[i])));
        const auto record = MakeFileRecord(preset.string());
        Handle bytes(record->constData(), size_t(record->size()));
        pane->ReceiveDropItem(bytes, kFlavorVideoCodec, QPoint(), 0);
        panes.push_back(pane);
    }
    w.window.layout()->addWidget(grid);
    // Everything at fit zoom, so the watermark corner is in view.
    w.preview->OnMessage(msg_ZoomFit, nullptr);
    for (CodecFourUp* pane : panes) pane->OnMessage(msg_ZoomFit, nullptr);
    w.window.resize(1280, 800);
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    w.window.repaint();
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(panes[size_t(i)]->GetCompressedSize(), 0) << names[i];
        EXPECT_EQ(panes[size_t(i)]->CodecLabel().rfind(names[i], 0), 0u) << panes[size_t(i)]->CodecLabel();
    }
    // The watermark shows in the panes too: magenta in the picture's
    // bottom-right corner, where the source's last bar is cyan.
    const auto cornerMagenta = [&] {
        const QImage pane = panes[2]->viewport()->grab().toImage();
        const int pictureBottom = pane.height() - kFourUpLabelBand - kFourUpBorder;
        int count = 0;
        for (int y = pictureBottom - 18; y < pictureBottom - 2; ++y)
            for (int x = pane.width() - 30; x < pane.width() - kFourUpBorder - 2; ++x) {
                const QRgb c = pane.pixel(x, y);
                if (qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) > 200) ++count;
            }
        return count;
    };
    const int magenta = cornerMagenta();
    EXPECT_GT(magenta, 100) << "no watermark in the comparison pane";

    if (const char* shots = std::getenv("MOVELARK_SCREENSHOTS")) {
        fs::create_directories(shots);
        EXPECT_TRUE(w.window.grab().save(QString::fromStdString((fs::path(shots) / "fourup.png").string())));
    }
    // Without the watermark that corner is the source's own picture.
    const FSSpec watermark = w.model.GetWatermarkFile();
    w.model.SetWatermarkFile(FSSpec{});
    EXPECT_LT(cornerMagenta(), magenta / 4);
    w.model.SetWatermarkFile(watermark);
    for (CodecFourUp* p : panes) delete p;

    // The compressed movie carries the watermark: the same corner of its
    // first frame is magenta.
    CTambleVideoDocModel::SetCompressMovieFileHook(
        [](const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings, std::string* message) {
            TerminalProgress progress(stderr);
            return CompressMovieFile(source, destination, settings, progress, message);
        });
    const STimeValue wholeMovie{1200, 600};
    w.model.AddVideoSegment(std::make_unique<Handle>(MakeVideoSettings(FourCC("jpeg"))), STimeValue{0, 600},
                            &wholeMovie, nullptr);
    const fs::path output = dir / "watermarked.mov";
    EXPECT_EQ(w.model.Compress(Spec(output)), noErr) << w.model.GetCompressMessage();
    CTambleVideoDocModel::SetCompressMovieFileHook(nullptr);
    ASSERT_TRUE(fs::exists(output));
    const fs::path frame = dir / "frame.png";
    ASSERT_EQ(testsupport::RunCommand("ffmpeg -v error -y -i " + testsupport::ShellQuote(output.string()) +
                                      " -frames:v 1 " + testsupport::ShellQuote(frame.string())),
              0);
    const QImage first(QString::fromStdString(frame.string()));
    ASSERT_FALSE(first.isNull());
    const QRgb corner = first.pixel(first.width() - 20, first.height() - 10);
    EXPECT_GT(qRed(corner), 180);
    EXPECT_LT(qGreen(corner), 80);
    EXPECT_GT(qBlue(corner), 180);
    PresetFolders::SetApplicationFolder("");
}
