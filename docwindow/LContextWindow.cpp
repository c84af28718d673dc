#include "docwindow/LContextWindow.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>

#include "framework/gui/ULayoutLoader.h"

#include "appearance/StDrawingContext.h"

namespace {

// Paints the surface over the window; never takes the mouse.
class Overlay : public QWidget {
public:
    Overlay(QWidget* parent, const QImage* surface) : QWidget(parent), mSurface(surface) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, *mSurface);
    }

private:
    const QImage* mSurface;
};

}  // namespace

LContextWindow::LContextWindow(LCommander* superCommander, Kind kind) : LWindow(superCommander, kind) {
    setAcceptDrops(true);
    // The surface covers the largest the window can become on its screen,
    // so the context never has to be reopened.
    QSize size(1280, 800);
    if (QScreen* s = QGuiApplication::primaryScreen()) size = s->size();
    mSurface = std::make_unique<QImage>(size, QImage::Format_ARGB32_Premultiplied);
    mSurface->fill(Qt::transparent);
    mOverlay = new Overlay(this, mSurface.get());
    mOverlay->resize(this->size());
    OpenContext();
}

LContextWindow::~LContextWindow() {
    // The context goes before the surface it draws on.
    mContext.reset();
}

LContextWindow* LContextWindow::CreateContextWindow(int16_t layoutNumber, LCommander* superCommander,
                                                    Kind kind) {
    auto* window = new LContextWindow(superCommander, kind);
    try {
        QWidget* content = ULayoutLoader::Load(layoutNumber, window);
        window->setCentralWidget(content);
        if (!content->windowTitle().isEmpty()) window->setWindowTitle(content->windowTitle());
        window->resize(content->size());
        window->mOverlay->raise();
        ULayoutLoader::FinishCreate(content);
    } catch (...) {
        window->SetSuperCommander(nullptr);
        delete window;
        throw;
    }
    return window;
}

void LContextWindow::OpenContext() {
    mContext = std::make_unique<StDrawingContext>(mSurface.get());
}

void LContextWindow::FlushDrawing() {
    mOverlay->raise();
    mOverlay->update();
}

void LContextWindow::ClearDrawing() {
    // The open painter keeps drawing; wipe through it when there is one.
    if (mContext && mContext->GetDeviceContext() != nullptr) {
        QPainter* painter = mContext->GetDeviceContext();
        painter->save();
        painter->setCompositionMode(QPainter::CompositionMode_Source);
        painter->resetTransform();
        painter->fillRect(mSurface->rect(), Qt::transparent);
        painter->restore();
    } else {
        mSurface->fill(Qt::transparent);
    }
    FlushDrawing();
}

void LContextWindow::resizeEvent(QResizeEvent* event) {
    LWindow::resizeEvent(event);
    mOverlay->resize(event->size());
    mOverlay->raise();
}
