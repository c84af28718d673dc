// Shows the movie preview pane on its own: a window with the pane, its
// mode tabs, zoom and transport buttons and crop fields, on a movie given
// on the command line. Also measures playback and stepping.
//
//   preview_harness MOVIE [--tab 1..4] [--zoom fit|50|100|200]
//                   [--crop L,T,R,B] [--filter TYPE] [--segment CODEC:QUALITY]
//                   [--watermark IMAGE] [--time SECONDS] [--play]
//                   [--bench-play SECONDS] [--bench-step COUNT] [--size WxH]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "appearance/CAppearance.h"
#include "appearance/QtAppearance.h"
#include "framework/gui/LGuiApplication.h"
#include "framework/gui/LGuiEventLoop.h"
#include "framework/gui/LTabsControl.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/MediaLayer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/Movie.h"
#include "preview/CMoviePreview.h"
#include "preview/PreviewWindowLayout.h"

namespace {

struct Options {
    std::string movie;
    int tab = 1;
    std::string zoom = "fit";
    std::vector<int> crop;
    std::vector<std::string> filters;
    std::vector<std::string> segments;
    std::string watermark;
    double time = -1;
    bool play = false;
    double benchPlaySeconds = 0;
    int benchSteps = 0;
    int width = 960, height = 640;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--tab") o.tab = std::stoi(next());
        else if (a == "--zoom") o.zoom = next();
        else if (a == "--crop") {
            o.crop.clear();
            for (const QString& part : QString::fromStdString(next()).split(',')) o.crop.push_back(part.toInt());
        } else if (a == "--filter") o.filters.push_back(next());
        else if (a == "--segment") o.segments.push_back(next());
        else if (a == "--watermark") o.watermark = next();
        else if (a == "--time") o.time = std::stod(next());
        else if (a == "--play") o.play = true;
        else if (a == "--bench-play") o.benchPlaySeconds = std::stod(next());
        else if (a == "--bench-step") o.benchSteps = std::stoi(next());
        else if (a == "--size") std::sscanf(next().c_str(), "%dx%d", &o.width, &o.height);
        else if (!a.empty() && a[0] != '-') o.movie = a;
        else return false;
    }
    return !o.movie.empty() && (o.crop.empty() || o.crop.size() == 4);
}

OSType CodeOf(const std::string& text) {
    std::string code = text;
    code.resize(4, ' ');
    return (OSType(uint8_t(code[0])) << 24) | (OSType(uint8_t(code[1])) << 16) | (OSType(uint8_t(code[2])) << 8) |
           OSType(uint8_t(code[3]));
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    LGuiApplication app(argc, argv);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: preview_harness MOVIE [--tab N] [--zoom fit|50|100|200] [--crop L,T,R,B]\n"
                     "       [--filter TYPE] [--segment CODEC:QUALITY] [--watermark IMAGE] [--time S]\n"
                     "       [--play] [--bench-play SECONDS] [--bench-step COUNT] [--size WxH]\n");
        return 2;
    }
    if (InitializeMediaLayer(0) != noErr) {
        std::fprintf(stderr, "preview_harness: the media libraries cannot be used\n");
        return 1;
    }
    CAppearance::Install(std::make_unique<QtAppearance>());
    LGuiEventLoop loop;

    CTambleVideoDocModel model;
    FSSpec spec;
    if (FSSpec::FromPath(options.movie, spec) != noErr || !model.SetSourceFile(spec) || model.GetMovie() == nullptr) {
        std::fprintf(stderr, "preview_harness: cannot open %s as a movie\n", options.movie.c_str());
        return 1;
    }
    for (const std::string& type : options.filters)
        model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(CodeOf(type))));
    // The segments share the movie's length equally, in the order given.
    const int32_t duration = model.GetDuration().ValueIn(600);
    const int32_t count = int32_t(options.segments.size());
    std::vector<std::unique_ptr<Handle>> laid;
    for (int32_t i = 0; i < count; ++i) {
        const std::string& segment = options.segments[size_t(i)];
        const size_t colon = segment.find(':');
        const int quality = colon == std::string::npos ? 0x200 : std::stoi(segment.substr(colon + 1), nullptr, 0);
        auto settings = std::make_unique<Handle>(MakeVideoSettings(CodeOf(segment.substr(0, colon)), quality));
        SetDescriptionTime(settings.get(), STimeValue{duration * i / count, 600},
                           STimeValue{duration * (i + 1) / count, 600});
        laid.push_back(std::move(settings));
    }
    if (count > 0) model.LayVideoSegments(std::move(laid));
    if (!options.watermark.empty()) {
        FSSpec mark;
        if (FSSpec::FromPath(options.watermark, mark) == noErr) model.SetWatermarkFile(mark);
    }
    if (options.crop.size() == 4) model.SetCrop(options.crop[0], options.crop[1], options.crop[2], options.crop[3]);
    if (options.time >= 0) model.SetCurrentTime(STimeValue{int32_t(options.time * 600), 600});

    QWidget window;
    window.setWindowTitle(QStringLiteral("Movelark preview - %1").arg(QString::fromStdString(options.movie)));
    CMoviePreview* preview = BuildPreviewWindow(window);
    window.resize(options.width, options.height);
    window.show();
    window.activateWindow();
    preview->FinishCreate();
    preview->SetModel(&model);
    preview->Activate();
    auto* tabs = window.findChild<LTabsControl*>(QStringLiteral("PREV"));
    tabs->SetValue(options.tab);
    const std::pair<const char*, MessageT> zooms[] = {
        {"fit", msg_ZoomFit}, {"50", msg_Zoom50}, {"100", msg_Zoom100}, {"200", msg_Zoom200}};
    for (const auto& [name, message] : zooms)
        if (options.zoom == name) preview->OnMessage(message, nullptr);

    Movie& movie = *model.GetMovie();
    if (options.benchPlaySeconds > 0) {
        // Real-time playback: which frames reached the screen in that time.
        QApplication::processEvents();
        std::set<int64_t> shown;
        int64_t firstShown = -1, lastShown = -1;
        preview->SetFrameShownObserver([&](int64_t t) {
            shown.insert(t);
            if (firstShown < 0) firstShown = t;
            lastShown = t;
        });
        QElapsedTimer clock;
        clock.start();
        model.Play();
        bool soundOn = false;
        QTimer::singleShot(int(options.benchPlaySeconds * 1000), &app, [&] {
            soundOn = preview->IsSoundPlaying();
            QApplication::quit();
        });
        app.exec();
        const double movieSeconds = double(movie.CurrentTime()) / movie.TimeScale();
        model.Stop();
        const double seconds = clock.nsecsElapsed() / 1e9;
        const auto& times = movie.VisualSampleTimes();
        const auto from = std::lower_bound(times.begin(), times.end(), firstShown);
        const auto to = std::upper_bound(times.begin(), times.end(), lastShown);
        const long expected = long(to - from);
        const long dropped = expected - long(shown.size());
        std::printf("played %.2f s (movie time reached %.2f s) at %dx%d, %.3f fps movie: %zu frames shown of %ld "
                    "(dropped %ld, %.2f %%), sound %s\n",
                    seconds, movieSeconds, movie.BoxWidth(), movie.BoxHeight(), movie.VideoFrameRate(), shown.size(),
                    expected, dropped, expected > 0 ? 100.0 * double(dropped) / double(expected) : 0.0,
                    soundOn ? "on" : "off (no output device)");
        return 0;
    }
    if (options.benchSteps > 0) {
        // One frame forward: the model steps, the repeat task decodes and draws.
        QApplication::processEvents();
        std::vector<double> ms;
        for (int i = 0; i < options.benchSteps; ++i) {
            QElapsedTimer clock;
            clock.start();
            preview->OnMessage(msg_StepForward, nullptr);
            preview->SpendTime(EventRecord{});
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::vector<double> back;
        for (int i = 0; i < std::min(options.benchSteps, 10); ++i) {
            QElapsedTimer clock;
            clock.start();
            preview->OnMessage(msg_StepBack, nullptr);
            preview->SpendTime(EventRecord{});
            back.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("step forward at %dx%d: median %.1f ms, max %.1f ms over %d steps; step back: median %.1f ms\n",
                    movie.BoxWidth(), movie.BoxHeight(), Median(ms), *std::max_element(ms.begin(), ms.end()),
                    options.benchSteps, Median(back));
        return 0;
    }
    if (options.play) model.Play();
    return app.exec();
}
