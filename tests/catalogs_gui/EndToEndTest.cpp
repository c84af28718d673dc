// From the catalogs to a compressed movie: a video preset made in the
// settings dialog and two effect presets made in the parameter dialog are
// dragged out of their grids; the effects are dropped on the filter list,
// the preset becomes the document's video segment, the movie is
// compressed, and ffprobe and ffmpeg look at what came out.
#include <QMouseEvent>
#include <QSlider>
#include <cstring>
#include <fstream>
#include <iterator>

#include "CatalogTestSupport.h"
#include "catalogs/CFilterList.h"
#include "catalogs/CSingleEffectsList.h"
#include "catalogs/CVideoCodecList.h"
#include "catalogs/EffectParameterDialog.h"
#include "catalogs/VideoSettingsDialog.h"
#include "compress/CompressMovieFile.h"
#include "framework/LEventLoop.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoCodecTable.h"

using namespace cattest;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// Presses on a cell of a grid and moves: the grid starts its drag.
void DragCell(CFileListBase& list, int32_t index) {
    QWidget* frame = list.viewport();
    const QPoint from = list.CellActiveRect(index).center();
    auto send = [&](QEvent::Type type, QPoint where, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(where), frame->mapToGlobal(QPointF(where)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, from + QPoint(30, 30), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, from + QPoint(30, 30), Qt::NoButton);
}

// Mean colour and mean saturation (largest minus smallest channel) of one
// frame of a movie, decoded by ffmpeg.
struct FrameStats {
    double red = 0, green = 0, blue = 0, saturation = 0;
    double Luma() const { return 0.299 * red + 0.587 * green + 0.114 * blue; }
};

FrameStats StatsOfFrame(const fs::path& movie, const fs::path& scratch) {
    const fs::path raw = scratch / (movie.stem().string() + ".rgb");
    const std::string command = "ffmpeg -nostdin -v error -y -i " + testsupport::ShellQuote(movie.string()) +
                                " -vf 'select=eq(n\\,25)' -frames:v 1 -f rawvideo -pix_fmt rgb24 " +
                                testsupport::ShellQuote(raw.string());
    EXPECT_EQ(testsupport::RunCommand(command), 0) << command;
    std::ifstream in(raw, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FrameStats stats;
    EXPECT_EQ(bytes.size(), size_t(kWidth * kHeight * 3));
    if (bytes.size() != size_t(kWidth * kHeight * 3)) return stats;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        stats.red += bytes[i];
        stats.green += bytes[i + 1];
        stats.blue += bytes[i + 2];
        stats.saturation += std::max({bytes[i], bytes[i + 1], bytes[i + 2]}) - std::min({bytes[i], bytes[i + 1], bytes[i + 2]});
    }
    const double n = double(kWidth * kHeight);
    stats.red /= n;
    stats.green /= n;
    stats.blue /= n;
    stats.saturation /= n;
    return stats;
}

bool FileContains(const fs::path& file, const std::string& text) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.find(text) != std::string::npos;
}

class EndToEnd : public CatalogTest {
protected:
    fs::path Source() {
        return testsupport::FixtureMovie("catalogs-e2e.mov",
                                         "-f lavfi -i testsrc2=s=320x240:r=25:d=2 -c:v mjpeg -q:v 2");
    }

    // A new video preset from the grid's New button and the dialog.
    fs::path MakeVideoPreset(CVideoCodecList& list, QPushButton* newButton, const std::string& name, int quality) {
        dialogHandler = [quality](QDialog& dialog) {
            auto* video = dynamic_cast<VideoSettingsDialog*>(&dialog);
            if (video == nullptr || !video->SelectCodec(FourCC("avc1"))) return false;
            video->QualitySlider()->setValue(quality);
            return true;
        };
        savePath = QString::fromStdString((CodecFolder() / name).string());
        newButton->click();
        list.SpendTime(EventRecord{});
        return CodecFolder() / (name + ".QTcd");
    }

    // A new filter preset from the effects grid's New button.
    void MakeEffectPreset(QPushButton* newButton, const std::string& name, OSType type, OSType parameter, int32_t value) {
        dialogHandler = [=](QDialog& dialog) {
            auto* effect = dynamic_cast<EffectParameterDialog*>(&dialog);
            return effect != nullptr && effect->SelectEffect(type) && effect->SetParameter(parameter, value);
        };
        savePath = QString::fromStdString((FilterFolder() / name).string());
        newButton->click();
    }

    // The preset of a cell, dragged out of its grid.
    QByteArray Drag(CFileListBase& list, int32_t index) {
        drags.clear();
        DragCell(list, index);
        EXPECT_EQ(drags.size(), 1u);
        return drags.empty() ? QByteArray() : drags[0].data;
    }

    OSErr Compress(CTambleVideoDocModel& model, const fs::path& preset, const fs::path& destination) {
        auto segment = std::make_unique<Handle>(ReadFile(preset));
        SetDescriptionTime(segment.get(), STimeValue{0, model.GetDuration().scale}, model.GetDuration());
        model.VideoSegments().DisposeAll();
        model.VideoSegments().Append(std::move(segment));
        SilentProgress progress;
        CTambleVideoDocModel::SetCompressMovieFileHook(
            [&progress](const FSSpec& s, const FSSpec& d, const SCompressSettings& settings, std::string* message) {
                return CompressMovieFile(s, d, settings, progress, message);
            });
        const OSErr result = model.Compress(Spec(destination));
        CTambleVideoDocModel::SetCompressMovieFileHook(nullptr);
        return result;
    }
};

}  // namespace

TEST_F(EndToEnd, PresetsFromTheDialogsCompressTheMovieWithTheirCodecQualityAndFilters) {
    if (!VideoCodecTable::Find(FourCC("avc1"))->IsAvailable()) GTEST_SKIP() << "no H.264 encoder";
    ListWindow<CVideoCodecList> codecs(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton);
    ListWindow<CSingleEffectsList> effects(kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton);
    codecs.Show();
    effects.Show();

    const fs::path high = MakeVideoPreset(*codecs.list, codecs.newButton, "Web High", 0x300);
    const fs::path low = MakeVideoPreset(*codecs.list, codecs.newButton, "Web Low", 0x100);
    ASSERT_TRUE(fs::exists(high));
    ASSERT_TRUE(fs::exists(low));
    ASSERT_EQ(codecs.list->CountItems(), 2);

    MakeEffectPreset(effects.newButton, "Grey", FourCC("tint"), FourCC("tint"), 1);
    MakeEffectPreset(effects.newButton, "Brighter", FourCC("brco"), FourCC("brit"), 60);
    effects.list->SpendTime(EventRecord{});
    ASSERT_EQ(effects.list->CountItems(), 2);  // "Brighter", "Grey"

    // The document, and its filter list with the two effects dropped on it.
    CTambleVideoDocModel model;
    ASSERT_TRUE(model.SetSourceFile(Spec(Source())));
    ASSERT_NE(model.GetMovie(), nullptr);
    CFilterList filters;
    filters.setFixedSize(100, 300);
    filters.SetModel(&model);
    LEventLoop loop;
    for (int32_t cell : {2, 1}) {  // "Grey" first, then "Brighter" after it
        SDragItem item;
        item.flavors.emplace_back(kFlavorEffect, Drag(*effects.list, cell));
        ASSERT_TRUE(filters.HandleDrop({item}, QPoint(10, 300)));
        LEventLoop::RunRepeatTasksNow();
    }
    ASSERT_EQ(model.FilterCount(), 2);
    EXPECT_EQ(GetEffectName(*model.GetFilter(1)), "Grey");
    EXPECT_EQ(GetEffectName(*model.GetFilter(2)), "Brighter");

    // The video preset dragged out of its grid is the one that is used.
    const QByteArray record = Drag(*codecs.list, codecs.list->IndexOfItem(Spec(high)));
    ASSERT_EQ(record.size(), 272);
    FSSpec dragged;
    std::memcpy(&dragged, record.constData() + 10, sizeof dragged);
    ASSERT_EQ(dragged.Path(), high.string());

    const fs::path scratch = AppFolder();
    const fs::path highOut = scratch / "high.mov", lowOut = scratch / "low.mov";
    ASSERT_EQ(Compress(model, dragged.Path(), highOut), noErr) << model.GetCompressMessage();
    ASSERT_EQ(Compress(model, low, lowOut), noErr) << model.GetCompressMessage();

    EXPECT_EQ(testsupport::Probe(highOut, "-select_streams v:0 -show_entries stream=codec_name"), "h264");
    EXPECT_EQ(testsupport::Probe(highOut, "-select_streams v:0 -show_entries stream=width,height"), "320\n240");
    // x264 writes its settings into the stream: the chosen quality is there.
    EXPECT_TRUE(FileContains(highOut, "crf=18.0"));
    EXPECT_TRUE(FileContains(lowOut, "crf=30.0"));
    EXPECT_GT(fs::file_size(highOut), fs::file_size(lowOut) * 3 / 2) << "more quality, more bytes";

    // The after frame went through both filters: grey, and brighter.
    const FrameStats before = StatsOfFrame(Source(), scratch);
    const FrameStats after = StatsOfFrame(highOut, scratch);
    EXPECT_GT(before.saturation, 60);
    EXPECT_LT(after.saturation, 8) << "the grey tint took the colour out";
    EXPECT_GT(after.Luma(), before.Luma() + 20) << "the brightness filter ran after it";
}

TEST_F(EndToEnd, TheCommandLineTakesThePresetTheDialogMade) {
    const fs::path program = testsupport::MovelarkBinary();
    if (!fs::exists(program)) GTEST_SKIP() << "the movelark program is not built in this tree";
    if (!VideoCodecTable::Find(FourCC("hvc1"))->IsAvailable()) GTEST_SKIP() << "no HEVC encoder";
    ListWindow<CVideoCodecList> codecs(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton);
    dialogHandler = [](QDialog& dialog) {
        auto* video = dynamic_cast<VideoSettingsDialog*>(&dialog);
        if (video == nullptr || !video->SelectCodec(FourCC("hvc1"))) return false;
        video->QualitySlider()->setValue(0x300);
        return true;
    };
    savePath = QString::fromStdString((CodecFolder() / "HEVC High").string());
    codecs.newButton->click();
    const fs::path preset = CodecFolder() / "HEVC High.QTcd";
    ASSERT_TRUE(fs::exists(preset));

    const fs::path out = AppFolder() / "cli.mov";
    const std::string command = testsupport::ShellQuote(program.string()) + " compress " +
                                testsupport::ShellQuote(Source().string()) + " -o " +
                                testsupport::ShellQuote(out.string()) + " --video-preset " +
                                testsupport::ShellQuote(preset.string()) + " --quiet";
    ASSERT_EQ(testsupport::RunCommand(command), 0) << command;
    EXPECT_EQ(testsupport::Probe(out, "-select_streams v:0 -show_entries stream=codec_name"), "hevc");
    EXPECT_TRUE(FileContains(out, "crf=23.0")) << "HEVC's figure for quality 0x300";
}
