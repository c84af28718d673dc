// The pane class registry of the window layouts, in the order of the
// class table. Classes of parts this build does not have yet are left out:
// their layouts then hold placeholders in their place.
#include "app/CTambleApp.h"
#include "docwindow/CDataRateView.h"
#include "docwindow/CJellyButton.h"
#include "docwindow/LHintAttachment.h"
#include "docwindow/MyMultiPanel.h"
#include "framework/gui/LCheckBox.h"
#include "framework/gui/LCheckBoxGroupBox.h"
#include "framework/gui/LEditField.h"
#include "framework/gui/LMultiPanelView.h"
#include "framework/gui/LPlaceHolder.h"
#include "framework/gui/LPopupButton.h"
#include "framework/gui/LProgressBar.h"
#include "framework/gui/LPushButton.h"
#include "framework/gui/LSlider.h"
#include "framework/gui/LStaticText.h"
#include "framework/gui/LTabsControl.h"
#include "framework/gui/LView.h"
#include "framework/gui/URegistrar.h"

#if __has_include("appearance/CPixPatEraseAttachment.h")
#include "appearance/CPixPatEraseAttachment.h"
#define MOVELARK_HAS_ERASE_ATTACHMENTS 1
#endif
#if __has_include("catalogs/CatalogSetup.h")
#include "app/ApplicationFolder.h"
#include "app/UFileTypeTranslator.h"
#include "catalogs/CatalogSetup.h"
#include "catalogs/PresetFolders.h"
#define MOVELARK_HAS_CATALOGS 1
#endif
#if __has_include("preview/CMoviePreview.h")
#include "preview/CMoviePreview.h"
#define MOVELARK_HAS_MOVIE_PREVIEW 1
#endif
#if __has_include("fourup/CImageFilePreview.h")
#include "app/UFileTypeTranslator.h"
#include "fourup/CImageFilePreview.h"
#include "fourup/CThumbsView.h"
#include "fourup/CodecFourUp.h"
#define MOVELARK_HAS_IMAGE_WELL 1
#endif

#if __has_include("timeline/CVideoList.h")
#include "timeline/CVideoList.h"
#define MOVELARK_HAS_TIMELINE 1
#endif

void RegisterPaneClasses() {
    URegistrar::RegisterClass<LPlaceHolder>(FourCC("plac"), QStringLiteral("LPlaceHolder"));
    URegistrar::RegisterClass<LView>(FourCC("view"), QStringLiteral("LView"));
    // The framework's controls.
    URegistrar::RegisterClass<LCheckBox>(FourCC("cbox"), QStringLiteral("LCheckBox"));
    URegistrar::RegisterClass<LCheckBoxGroupBox>(FourCC("cbgb"), QStringLiteral("LCheckBoxGroupBox"));
    URegistrar::RegisterClass<LEditField>(FourCC("etxt"), QStringLiteral("LEditField"));
    URegistrar::RegisterClass<LPushButton>(FourCC("push"), QStringLiteral("LPushButton"));
    URegistrar::RegisterClass<LPopupButton>(FourCC("popb"), QStringLiteral("LPopupButton"));
    URegistrar::RegisterClass<LSlider>(FourCC("slid"), QStringLiteral("LSlider"));
    URegistrar::RegisterClass<LStaticText>(FourCC("stxt"), QStringLiteral("LStaticText"));
    URegistrar::RegisterClass<LProgressBar>(FourCC("pbar"), QStringLiteral("LProgressBar"));
    URegistrar::RegisterClass<LTabsControl>(FourCC("tabs"), QStringLiteral("LTabsControl"));
    URegistrar::RegisterClass<LMultiPanelView>(FourCC("mpvw"), QStringLiteral("LMultiPanelView"));

    URegistrar::RegisterClass<CJellyButton>(CJellyButton::kClassID, QStringLiteral("CJellyButton"));
#ifdef MOVELARK_HAS_ERASE_ATTACHMENTS
    // A layout asks for them with a property on the pane.
    URegistrar::RegisterAttachment(CPixPatEraseAttachment::kClassID, "eraseWithBackground",
                                   [](QWidget* pane, const QVariant& on) {
                                       if (on.toBool()) new CPixPatEraseAttachment(pane);
                                   });
    URegistrar::RegisterAttachment(CPixPatEraseAttachmentForTabs::kClassID, "eraseForTabs",
                                   [](QWidget* pane, const QVariant& theme) {
                                       new CPixPatEraseAttachmentForTabs(pane, int16_t(theme.toInt()));
                                   });
#endif
#ifdef MOVELARK_HAS_MOVIE_PREVIEW
    URegistrar::RegisterClass<CMoviePreview>(FourCC("mvPV"), QStringLiteral("CMoviePreview"));
#endif
#ifdef MOVELARK_HAS_IMAGE_WELL
    // The picture panes: the watermark well, the thumbnails (their Import
    // dialog offers the image kinds of the file-type translation) and the
    // four-up comparison.
    URegistrar::RegisterClass<CImageFilePreview>(CImageFilePreview::kClassID, QStringLiteral("CImageFilePreview"));
    URegistrar::RegisterClass<CThumbsView>(CThumbsView::kClassID, QStringLiteral("CThumbsView"));
    URegistrar::RegisterClass<CodecFourUp>(CodecFourUp::kClassID, QStringLiteral("CodecFourUp"));
    CThumbsView::SetNameFilterProvider([](const std::vector<OSType>& types) {
        const auto list = UFileTypeTranslator::FilterListForTypes(types);
        return list ? UFileTypeTranslator::ToQtNameFilters(*list) : QStringList();
    });
#endif
    URegistrar::RegisterClass<CDataRateView>(FourCC("Drat"), QStringLiteral("CDataRateView"));
#ifdef MOVELARK_HAS_TIMELINE
    URegistrar::RegisterClass<CVideoList>(FourCC("vcST"), QStringLiteral("CVideoList"));
#endif
    URegistrar::RegisterClass<MyMultiPanel>(MyMultiPanel::kClassID, QStringLiteral("MyMultiPanel"));
    LHintAttachment::Register();
#ifdef MOVELARK_HAS_CATALOGS
    // The preset grids and the filter list; their presets live in the
    // application's own folder, where the shipped ones go on the first start.
    PresetFolders::SetFileTypeResolver(&UFileTypeTranslator::ExtensionToType);
    StartCatalogs(ApplicationFolder(), ShippedDataFolder());
#endif
}
