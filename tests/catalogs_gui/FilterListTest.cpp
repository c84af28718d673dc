// The filter list: cell geometry, drops between cells (straight and
// through the delayed drop), refused drops, deleting, model changes and
// the thumbnails.
#include <QComboBox>
#include <QKeyEvent>

#include "CatalogTestSupport.h"
#include "catalogs/CFilterList.h"
#include "catalogs/EffectParameterDialog.h"
#include "catalogs/FilterThumbnail.h"
#include "framework/LEventLoop.h"
#include "framework/gui/DragFlavors.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoSettings.h"

using namespace cattest;

namespace {

class FilterList : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        list = std::make_unique<CFilterList>();
        list->setFixedSize(120, 400);
        list->SetModel(&model);
    }
    void TearDown() override {
        list.reset();
        CatalogTest::TearDown();
    }

    fs::path Preset(const std::string& name, const Handle& description) {
        const fs::path file = FilterFolder() / (name + ".QTfx");
        WriteFile(file, description);
        return file;
    }
    std::string NameAt(int32_t index) { return GetEffectName(*model.GetFilter(index)); }

    DocumentWithoutMovie model;
    std::unique_ptr<CFilterList> list;
};

}  // namespace

TEST_F(FilterList, SizeAndDropPlacesFollowTheFiltersAndTheOrientation) {
    model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("blur"))));
    model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("edge"))));
    EXPECT_EQ(list->GetImageSize(), QSize(92, 180)) << "the model's change reached the list";
    // A drop goes before or after the cell under it.
    EXPECT_EQ(list->DropIndexAt(QPoint(20, 10)), 1) << "upper half of the first cell";
    EXPECT_EQ(list->DropIndexAt(QPoint(20, 50)), 2) << "lower half of the first cell";
    EXPECT_EQ(list->DropIndexAt(QPoint(20, 140)), 3);
    EXPECT_EQ(list->DropIndexAt(QPoint(20, 300)), 3) << "below the last cell appends";
    list->SetSideBySide(true);
    EXPECT_EQ(list->GetImageSize(), QSize(230, 72));
    EXPECT_EQ(list->DropIndexAt(QPoint(50, 10)), 2) << "right of the first cell's middle";
    EXPECT_EQ(list->DropIndexAt(QPoint(40, 10)), 1);
    model.RemoveFilter(1);
    EXPECT_EQ(list->GetImageSize(), QSize(138, 72));
}

// Marked presets, other flavours, short records and missing files are
// refused; a preset is inserted under its file name.
TEST_F(FilterList, ADroppedPresetIsInsertedUnderItsFileNameOthersAreRefused) {
    model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("blur"))));
    model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("edge"))));
    for (OSType marker : {FourCC("NONE"), FourCC("DELT")}) {
        AtomContainer c = AtomContainer::Parse(MakeEffectDescription(FourCC("blur")));
        c.Insert(marker, 1, nullptr, 0);
        Handle record = FileRecord(Preset(FourCCToString(marker), c.ToHandle()));
        list->ReceiveDropItem(record, kFlavorEffect, QPoint(5, 5), 0);
    }
    Handle codec = FileRecord(Preset("codec", MakeVideoSettings(FourCC("jpeg"))));
    list->ReceiveDropItem(codec, kFlavorVideoCodec, QPoint(5, 5), 0);
    Handle shortRecord("short", 5);
    list->ReceiveDropItem(shortRecord, kFlavorEffect, QPoint(5, 5), 0);
    Handle missing = FileRecord(FilterFolder() / "gone.QTfx");
    list->ReceiveDropItem(missing, kFlavorEffect, QPoint(5, 5), 0);
    EXPECT_EQ(model.FilterCount(), 2);

    AtomContainer withName = AtomContainer::Parse(MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}}));
    withName.Root().InsertChildText(FourCC("Edsc"), 1, "old name");
    Handle record = FileRecord(Preset("Old Photo", withName.ToHandle()));
    EXPECT_FALSE(list->ReceiveDropItem(record, kFlavorEffect, QPoint(20, 50), 0)) << "the list keeps no record";
    ASSERT_EQ(model.FilterCount(), 3);
    EXPECT_EQ(NameAt(2), "Old Photo");
    EXPECT_EQ(NameAt(3), "Edge Detection");
    EXPECT_EQ(list->GetSelection(), 2);
    const AtomContainer inserted = AtomContainer::Parse(*model.GetFilter(2));
    EXPECT_EQ(inserted.Count(FourCC("Edsc")), 1);
    EXPECT_EQ(inserted.Find(FourCC("tint"))->S32(), 1);
}

TEST_F(FilterList, ADragEndsInADelayedDeliveryToTheModel) {
    const fs::path preset = Preset("Sharp", MakeEffectDescription(FourCC("shrp"), {{FourCC("ksiz"), 5}}));
    LEventLoop loop;
    SDragItem item;
    const std::optional<QByteArray> record = MakeFileRecord(preset.string());
    ASSERT_TRUE(record.has_value());
    item.flavors.emplace_back(kFlavorEffect, *record);
    ASSERT_TRUE(list->HandleDragEnter({item}, QPoint(10, 10)));
    ASSERT_TRUE(list->HandleDrop({item}, QPoint(10, 10)));
    LEventLoop::RunRepeatTasksNow();
    ASSERT_EQ(model.FilterCount(), 1);
    EXPECT_EQ(NameAt(1), "Sharp");
}

TEST_F(FilterList, DeletingTheLastFilterSelectsTheNewLast) {
    for (OSType type : {FourCC("blur"), FourCC("edge"), FourCC("embs")})
        model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(type)));
    list->SetSelection(3);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(list.get(), &del);
    EXPECT_EQ(model.FilterCount(), 2);
    EXPECT_EQ(list->GetSelection(), 2);
    EXPECT_EQ(NameAt(2), "Edge Detection");
    list->SetSelection(1);
    list->DeleteSelectedFilter();
    EXPECT_EQ(list->GetSelection(), 1);
    EXPECT_EQ(NameAt(1), "Edge Detection");
    list->DeleteSelectedFilter();
    EXPECT_EQ(model.FilterCount(), 0);
    EXPECT_EQ(list->GetSelection(), 0);
}

// Editing a filter in place keeps its effect, drops its preset name and
// source, and tells the model; an effect without a dialog is left alone.
TEST_F(FilterList, EditingAFilterInPlaceTellsTheModel) {
    AtomContainer c = AtomContainer::Parse(MakeEffectDescription(FourCC("solr"), {{FourCC("thrs"), 100}}));
    c.Root().InsertChildText(FourCC("Edsc"), 1, "Preset name");
    c.Root().InsertChildU32(FourCC("src "), 1, FourCC("srcA"));
    model.AddFilter(std::make_unique<Handle>(c.ToHandle()));
    model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("zzzz"))));
    bool askedForPicture = false;
    list->SetPictureSource([&](int, int) {
        askedForPicture = true;
        auto world = std::make_unique<OffscreenWorld>(200, 150);
        world->Fill(200, 30, 30);
        return world;
    });
    AcceptWith<EffectParameterDialog>([](EffectParameterDialog& d) {
        EXPECT_FALSE(d.EffectBox()->isEnabled()) << "a filter's effect cannot change here";
        d.SetParameter(FourCC("thrs"), 200);
    });
    list->EditFilter(1);
    EXPECT_TRUE(askedForPicture);
    const AtomContainer edited = AtomContainer::Parse(*model.GetFilter(1));
    EXPECT_EQ(edited.Find(FourCC("thrs"))->S32(), 200);
    EXPECT_EQ(edited.Count(FourCC("Edsc")) + edited.Count(FourCC("src ")), 0);
    EXPECT_EQ(NameAt(1), "Solarize");
    const Handle unknown = *model.GetFilter(2);
    list->EditFilter(2);
    EXPECT_EQ(*model.GetFilter(2), unknown);
    EXPECT_EQ(dialogsShown, 1);
}

TEST_F(FilterList, TheThumbnailIsTheTestPictureThroughTheFilter) {
    QImage plain, grey, broken;
    EXPECT_TRUE(MakeFilterThumbnail(MakeEffectDescription(FourCC("brco")), plain));
    const Handle tint = MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}});
    const Handle before = tint;
    EXPECT_TRUE(MakeFilterThumbnail(tint, grey));
    EXPECT_EQ(tint, before) << "the filter itself is not touched";
    ASSERT_EQ(grey.size(), QSize(192, 144));
    const QColor red = plain.pixelColor(10, 138), greyed = grey.pixelColor(10, 138);  // the colour bar's red
    EXPECT_GT(red.red() - red.blue(), 100);
    EXPECT_LT(std::abs(greyed.red() - greyed.blue()), 12);
    EXPECT_FALSE(MakeFilterThumbnail(Handle("not a container", 15), broken));
    EXPECT_EQ(broken.size(), QSize(192, 144)) << "a filter that fails leaves the picture as it was";
}
