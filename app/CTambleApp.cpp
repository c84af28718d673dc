#include "app/CTambleApp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QThread>
#include <QUrl>
#include <algorithm>

#include "app/MovieDropOpener.h"
#include "app/URecentFiles.h"
#include "docwindow/CProgressWindow.h"
#include "docwindow/CTambleDoc.h"
#include "docwindow/LHintMouseTracker.h"
#include "framework/Ticks.h"
#include "framework/gui/ErrorMessages.h"
#include "framework/gui/LCommandMenus.h"
#include "framework/gui/LStaticText.h"
#include "framework/gui/StDialogHandler.h"
#include "framework/gui/UModalAlerts.h"
#include "platform/files/ApplicationFolder.h"
#include "platform/files/FileKinds.h"
#include "platform/files/UFileTypeTranslator.h"
#include "resources/ResourceFile.h"
#include "resources/StringLists.h"
#include "stills/CImageCache.h"

namespace {

CTambleApp* gTheApplication = nullptr;

void OpenWithDesktop(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

CTambleApp::UrlOpener& TheUrlOpener() {
    static CTambleApp::UrlOpener opener = OpenWithDesktop;
    return opener;
}

constexpr PaneIDT kVersionPane = PaneIDT(FourCC("vers"));
constexpr PaneIDT kProjectPagePane = PaneIDT(FourCC("webp"));
constexpr int16_t kProjectPageList = 1001;
constexpr int16_t kProjectPageItem = 11;
constexpr int16_t kFileOpenFailedItem = 37;
constexpr int16_t kNoPicturesItem = 39;

}  // namespace

CTambleApp::CTambleApp(uint32_t splashTicks) : mHintTracker(std::make_unique<LHintMouseTracker>()) {
    gTheApplication = this;
    RegisterPaneClasses();
    mImageCache = std::make_unique<CImageCache>(100, 100);
    CImageCache::SetApplicationCache(mImageCache.get());
    BuildMenus();
    mDropOpener = std::make_unique<MovieDropOpener>([this](const QString& path) { OpenPathInWindow(path); });
    if (splashTicks > 0) PresentAboutDialog(splashTicks);
}

CTambleApp::~CTambleApp() {
    mHintTracker->StopIdleTask();
    mDropOpener.reset();
    // The documents go while the application still exists around them.
    while (!GetSubCommanders().empty()) {
        LCommander* sub = GetSubCommanders().back();
        sub->SetSuperCommander(nullptr);
        if (auto* widget = dynamic_cast<QWidget*>(sub))
            delete widget;
        else
            delete sub;
    }
    if (gTheApplication == this) gTheApplication = nullptr;
}

CTambleApp* CTambleApp::Instance() { return gTheApplication; }

void CTambleApp::BuildMenus() {
    using Item = LCommandMenus::Item;
    LCommandMenus::Instance().SetMenus({
        {QStringLiteral("&File"),
         {
             Item{cmd_Open, QStringLiteral("&Open…"), QKeySequence::Open, QAction::NoRole},
             Item::Submenu(QStringLiteral("Open &Recent"),
                           [](QMenu* menu) {
                               URecentFiles::FillMenu(menu, [](const QString& path) {
                                   if (CTambleApp* app = Instance()) app->OpenPathInWindow(path);
                               });
                           }),
             Item{cmd_Close, QStringLiteral("&Close"), QKeySequence::Close, QAction::NoRole},
             Item{},
             Item{cmd_Save, QStringLiteral("&Save Settings"), QKeySequence::Save, QAction::NoRole},
             Item{cmd_SaveAs, QStringLiteral("Save Movie &As…"), QKeySequence::SaveAs, QAction::NoRole},
             Item{cmd_Revert, QStringLiteral("&Revert"), QKeySequence(), QAction::NoRole},
             Item{},
             Item{cmd_Compress, QStringLiteral("Co&mpress…"), QKeySequence(Qt::CTRL | Qt::Key_E),
                  QAction::NoRole},
             Item{cmd_WriteDroplet, QStringLiteral("Make &Droplet…"),
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), QAction::NoRole},
             Item{},
             Item{cmd_Quit, QStringLiteral("&Quit"), QKeySequence::Quit, QAction::QuitRole},
         }},
        // Clear has no key of its own: Delete belongs to the focused field or list.
        {QStringLiteral("&Edit"),
         {
             Item{cmd_Undo, QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), QAction::NoRole},
             Item{cmd_Redo, QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                  QAction::NoRole},
             Item{},
             Item{cmd_Clear, QStringLiteral("Clear"), QKeySequence(), QAction::NoRole},
         }},
        {QStringLiteral("&Picture"),
         {
             Item{cmd_RotateLeft, QStringLiteral("Rotate &Left"), QKeySequence(Qt::CTRL | Qt::Key_L),
                  QAction::NoRole},
             Item{cmd_RotateRight, QStringLiteral("Rotate &Right"), QKeySequence(Qt::CTRL | Qt::Key_R),
                  QAction::NoRole},
             Item{},
             Item{cmd_FlipHorizontal, QStringLiteral("Flip &Horizontally"),
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H), QAction::NoRole},
             Item{cmd_FlipVertical, QStringLiteral("Flip &Vertically"),
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), QAction::NoRole},
         }},
        {QStringLiteral("&Help"),
         {
             Item{cmd_WhatsNewPage, QStringLiteral("What's &New"), QKeySequence(), QAction::NoRole},
             Item{cmd_InfoPage, QStringLiteral("Product &Information"), QKeySequence(), QAction::NoRole},
             Item{cmd_SupportPage, QStringLiteral("&Support"), QKeySequence(), QAction::NoRole},
             Item{cmd_WebPage, QStringLiteral("Movelark on the &Web"), QKeySequence(), QAction::NoRole},
             Item{},
             Item{cmd_About, QStringLiteral("&About Movelark"), QKeySequence(), QAction::AboutRole},
         }},
    });
}

void CTambleApp::SetUrlOpener(UrlOpener opener) {
    TheUrlOpener() = opener ? std::move(opener) : UrlOpener(OpenWithDesktop);
}

void CTambleApp::OpenWebPage(int16_t list, int16_t item) {
    const QString address = WebPageAddress(list, item);
    if (!address.isEmpty()) TheUrlOpener()(address);  // the result is not looked at
}

// A page of the installed manual is named without a scheme ("manual.html#support").
QString CTambleApp::WebPageAddress(int16_t list, int16_t item) {
    const QString address = QString::fromStdString(GetIndString(list, item));
    if (address.isEmpty() || address.contains(QLatin1String("://"))) return address;
    const qsizetype hash = address.indexOf(QLatin1Char('#'));
    QUrl page = QUrl::fromLocalFile(QString::fromStdString(ManualFolder()) + QLatin1Char('/') + address.left(hash));
    if (hash >= 0) page.setFragment(address.mid(hash + 1));
    return page.toString();
}

// ---- Commands ----

bool CTambleApp::HandleCommand(CommandT command, void* parameter) {
    switch (command) {
        case cmd_About:
            PresentAboutDialog(0);
            return true;
        case cmd_New:
            CreateUntitledDocument();
            return true;
        case cmd_Open:
            AskForFileToOpen();
            return true;
        case cmd_Quit:
            RequestQuit(kAEAsk);
            return true;
        case cmd_WhatsNewPage:
            OpenWebPage(2000, 3);
            return true;
        case cmd_InfoPage:
            OpenWebPage(2000, 4);
            return true;
        case cmd_SupportPage:
            OpenWebPage(1001, 12);
            return true;
        case cmd_WebPage:
            OpenWebPage(kProjectPageList, kProjectPageItem);
            return true;
        default:
            return LDocApplication::HandleCommand(command, parameter);
    }
}

bool CTambleApp::FindCommandStatus(CommandT command, SCommandStatus& status) {
    switch (command) {
        case cmd_About:
        case cmd_New:
        case cmd_Open:
        case cmd_Quit:
        case cmd_WhatsNewPage:
        case cmd_InfoPage:
        case cmd_SupportPage:
        case cmd_WebPage:
            status.enabled = true;
            return true;
        default:
            return LDocApplication::FindCommandStatus(command, status);
    }
}

// ---- Operations ----

void CTambleApp::PresentAboutDialog(uint32_t splashTicks) {
    std::unique_ptr<StDialogHandler> dialog;
    try {
        dialog = std::make_unique<StDialogHandler>(kAboutLayout, this);
    } catch (const LException&) {
        return;  // no About box in this build's resources
    }
    // The splash goes by itself: no button to suggest otherwise.
    if (auto* ok = dialog->FindPane<QWidget>(PaneIDT(FourCC("okay")))) ok->setVisible(splashTicks == 0);
    if (auto* version = dialog->FindPane<LControl>(kVersionPane))
        version->SetDescriptor(QString::fromStdString(ResourceFile::ShortVersion()));
    // The project page, opened the way the Help menu opens it.
    if (auto* page = dialog->FindPane<QLabel>(kProjectPagePane)) {
        const QString address = WebPageAddress(kProjectPageList, kProjectPageItem);
        page->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()));
        QObject::connect(page, &QLabel::linkActivated, [](const QString&) { OpenWebPage(kProjectPageList, kProjectPageItem); });
    }
    LWindow* window = dialog->GetDialog();
    window->show();
    window->raise();
    window->activateWindow();

    if (splashTicks > 0) {
        // Drawn at once, then left alone: the user's clicks and keys wait
        // until the splash has gone.
        window->repaint();
        const uint32_t start = TickCount();
        while (TickCount() - start < splashTicks) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(15);
        }
    } else {
        dialog->DoDialogUntil(msg_OK, msg_Cancel);
    }
}

void CTambleApp::RunStartupAction() {
    mHintTracker->StartIdleTask();
    if (!mStartupFile.IsSet()) {
        ObeyCommand(cmd_Open, nullptr);
        if (LDocument::GetDocumentList().empty()) RequestQuit(kAEAsk);
    } else {
        OpenFileInWindow(mStartupFile);
        // A start-up file that did not open leaves nothing to work in.
        if (LDocument::GetDocumentList().empty()) EnsureWindowOpen();
    }
}

void CTambleApp::EnsureWindowOpen() {
    QWidget* active = QApplication::activeWindow();
    const bool hasRegularWindow = active != nullptr && active->isVisible() && !active->isModal();
    if (!hasRegularWindow && QApplication::activeModalWidget() == nullptr) {
        bool anyDocumentWindow = false;
        for (LDocument* document : LDocument::GetDocumentList())
            anyDocumentWindow = anyDocumentWindow || !document->IsClosing();
        if (!anyDocumentWindow) {
            ObeyCommand(cmd_Open, nullptr);
            if (LDocument::GetDocumentList().empty()) RequestQuit(kAEAsk);
        }
    }
}

void CTambleApp::OpenFileInWindow(const FSSpec& file) {
    const QString path = QString::fromStdString(file.Path());
    for (LDocument* document : LDocument::GetDocumentList()) {
        if (!document->IsClosing() && document->UsesFileSpec(file)) {
            document->MakeCurrent();
            URecentFiles::Add(path);
            return;
        }
    }
    try {
        new CTambleDoc(this, &file);  // owned by the application as its sub-commander
        URecentFiles::Add(path);
    } catch (const LException& e) {
        URecentFiles::Remove(path);
        ShowErrorMessage(kErrorStringList, e.Code() == kMovieWithoutPicturesErr ? kNoPicturesItem : kFileOpenFailedItem);
    } catch (...) {
        URecentFiles::Remove(path);
        ShowErrorMessage(kErrorStringList, kFileOpenFailedItem);
    }
}

void CTambleApp::OpenPathInWindow(const QString& path) {
    FSSpec file;
    if (FSSpec::FromPath(path.toStdString(), file) != noErr) {
        ShowErrorForCode(bdNamErr);
        return;
    }
    OpenFileInWindow(file);
}

void CTambleApp::AskForFileToOpen() {
    UModalAlerts::OpenRequest request;
    request.title = QStringLiteral("Open a movie");
    // Every movie kind the program reads, then any file.
    request.nameFilters = UFileTypeTranslator::ToQtNameFilters(MovieKindsFilterEntry());
    if (request.nameFilters.isEmpty()) {
        if (auto filters = UFileTypeTranslator::FilterListForTypes({FourCC("MooV")}))
            request.nameFilters = UFileTypeTranslator::ToQtNameFilters(*filters);
    }
    if (auto any = UFileTypeTranslator::FilterListForTypes({FourCC("****")}))
        request.nameFilters << UFileTypeTranslator::ToQtNameFilters(*any);
    else
        request.nameFilters << QStringLiteral("All files (*)");
    request.multiple = false;
    const std::vector<QString> chosen = UModalAlerts::AskOpen(request);
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) OpenPathInWindow(*it);
}
