// The compression progress window (layout 2800): status line 'CAPT',
// progress bar 'BAR!', the live data-rate graph 'Drat' and a Cancel button
// that answers 901. The job polls it; each poll lets the window system's
// events through once, so the window moves, repaints and takes the Cancel
// click while the compression runs on this thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "compress/CompressionProgress.h"
#include "model/CompressionService.h"
#include "framework/FourCharCode.h"
#include "framework/gui/LPane.h"

class CDataRateView;
class LCommander;
class LControl;
class StDialogHandler;

class CProgressWindow : public CompressionProgress {
public:
    static constexpr int16_t kLayout = 2800;
    static constexpr PaneIDT kStatusPane = PaneIDT(FourCC("CAPT"));
    static constexpr PaneIDT kBarPane = PaneIDT(FourCC("BAR!"));
    static constexpr PaneIDT kGraphPane = PaneIDT(FourCC("Drat"));

    explicit CProgressWindow(LCommander* superCommander);
    ~CProgressWindow() override;

    void Open(const std::string& title) override;
    void Close() override;
    void SetStatus(const std::string& text) override;
    void SetBar(int percent) override;
    int32_t Poll() override;

    bool IsOpen() const { return mDialog != nullptr; }
    StDialogHandler* Dialog() const { return mDialog.get(); }
    CDataRateView* GraphView() const { return mGraph; }
    int PollCount() const { return mPollCount; }

    // Called at every poll before the events are let through (scripts and
    // tests watch or drive the window from here); null to clear.
    using PollHook = std::function<void(CProgressWindow&)>;
    static void SetPollHook(PollHook hook);

protected:
    void GraphChanged() override;

private:
    LCommander* mSuperCommander;
    std::unique_ptr<StDialogHandler> mDialog;
    LControl* mStatus = nullptr;
    LControl* mBar = nullptr;
    CDataRateView* mGraph = nullptr;
    bool mBusyCursor = false;
    int mPollCount = 0;
};

// Compresses through a progress window opened for each run, whose
// super-commander is the given one (the application).
class WindowedCompression : public CompressionService {
public:
    explicit WindowedCompression(LCommander* superCommander) : mSuperCommander(superCommander) {}
    OSErr CompressMovieFile(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                            std::string* message) override;

private:
    LCommander* mSuperCommander;
};
