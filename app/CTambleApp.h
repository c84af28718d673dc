// The one application object of the windowed program: answers About,
// Open, Quit and the web-page commands, opens movies in document windows
// (bringing a window forward when its file is already open), runs the
// start-up action, shows the About box (also as the start-up splash) and
// owns what all windows share: the hint mouse tracker.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/gui/LDocApplication.h"
#include "platform/media/FSSpec.h"

class CImageCache;
class LDocument;
class LHintMouseTracker;
class MovieDropOpener;

// The application's own commands.
constexpr CommandT cmd_WhatsNewPage = CommandT(FourCC("Mcht"));
constexpr CommandT cmd_InfoPage = CommandT(FourCC("Minf"));
constexpr CommandT cmd_SupportPage = CommandT(FourCC("Msup"));
constexpr CommandT cmd_WebPage = CommandT(FourCC("Mweb"));

class CTambleApp : public LDocApplication {
public:
    static constexpr int16_t kAboutLayout = 3000;
    static constexpr uint32_t kSplashTicks = 180;

    // Registers the pane classes, builds the menus, installs the
    // compression progress window and shows the About box as a splash for
    // splashTicks (0: no splash).
    explicit CTambleApp(uint32_t splashTicks = kSplashTicks);
    ~CTambleApp() override;

    static CTambleApp* Instance();

    // ---- The application's operations ----
    // splashTicks > 0: shown without taking input for that long, then
    // closed; 0: a modal About box until OK or Cancel.
    virtual void PresentAboutDialog(uint32_t splashTicks);
    void RunStartupAction() override;
    virtual void EnsureWindowOpen();
    virtual void OpenFileInWindow(const FSSpec& file);
    // The same for a path (Open Recent, dropped files).
    void OpenPathInWindow(const QString& path);
    virtual LDocument* CreateUntitledDocument() { return nullptr; }
    virtual void AskForFileToOpen();

    void SetStartupFile(const FSSpec& file) { mStartupFile = file; }
    const FSSpec& GetStartupFile() const { return mStartupFile; }
    LHintMouseTracker& HintTracker() { return *mHintTracker; }

    // The menus of every window, with the usual shortcuts.
    static void BuildMenus();

    // Opening web pages goes through here (tests replace it).
    using UrlOpener = std::function<void(const QString& url)>;
    static void SetUrlOpener(UrlOpener opener);
    static void OpenWebPage(int16_t list, int16_t item);
    // What that item opens: a web address, or a file URL into the manual.
    static QString WebPageAddress(int16_t list, int16_t item);

protected:
    bool HandleCommand(CommandT command, void* parameter) override;
    bool FindCommandStatus(CommandT command, SCommandStatus& status) override;

private:
    std::unique_ptr<LHintMouseTracker> mHintTracker;
    std::unique_ptr<MovieDropOpener> mDropOpener;
    std::unique_ptr<CImageCache> mImageCache;  // the one thumbnail cache
    FSSpec mStartupFile;
};

// Registers every pane class of the window layouts (in the order of the
// class table) with the pane class registry.
void RegisterPaneClasses();
