// The pane class registry of the window layouts, in the order of the
// class table. A class a layout names that is not registered becomes a
// placeholder.
#include "app/CTambleApp.h"
#include "appearance/CPixPatEraseAttachment.h"
#include "catalogs/CatalogSetup.h"
#include "catalogs/PresetFolders.h"
#include "docwindow/CDataRateView.h"
#include "docwindow/CJellyButton.h"
#include "docwindow/LHintAttachment.h"
#include "docwindow/MyMultiPanel.h"
#include "fourup/CodecFourUp.h"
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
#include "platform/files/ApplicationFolder.h"
#include "platform/files/UFileTypeTranslator.h"
#include "preview/CMoviePreview.h"
#include "stills/CImageFilePreview.h"
#include "stills/CThumbsView.h"
#include "timeline/CVideoList.h"

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
    // A layout asks for them with a property on the pane.
    URegistrar::RegisterAttachment(CPixPatEraseAttachment::kClassID, "eraseWithBackground",
                                   [](QWidget* pane, const QVariant& on) {
                                       if (on.toBool()) new CPixPatEraseAttachment(pane);
                                   });
    URegistrar::RegisterAttachment(CPixPatEraseAttachmentForTabs::kClassID, "eraseForTabs",
                                   [](QWidget* pane, const QVariant& theme) {
                                       new CPixPatEraseAttachmentForTabs(pane, int16_t(theme.toInt()));
                                   });
    URegistrar::RegisterClass<CMoviePreview>(FourCC("mvPV"), QStringLiteral("CMoviePreview"));
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
    URegistrar::RegisterClass<CDataRateView>(FourCC("Drat"), QStringLiteral("CDataRateView"));
    URegistrar::RegisterClass<CVideoList>(FourCC("vcST"), QStringLiteral("CVideoList"));
    URegistrar::RegisterClass<MyMultiPanel>(MyMultiPanel::kClassID, QStringLiteral("MyMultiPanel"));
    LHintAttachment::Register();
    // The preset grids and the filter list; their presets live in the
    // application's own folder, where the shipped ones go on the first start.
    PresetFolders::SetFileTypeResolver(&UFileTypeTranslator::ExtensionToType);
    StartCatalogs(ApplicationFolder(), ShippedDataFolder());
}
