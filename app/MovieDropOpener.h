// Opens movies dropped from the desktop's file manager onto any window of
// the program: each opens in a document window (or comes forward when it
// is open already). Dropped on the open dialog, the movie is the one
// chosen. Drags that carry anything but movies are left to the panes
// (pictures for the watermark, presets for the timeline); while another
// modal window is up, nothing is taken.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

class MovieDropOpener : public QObject {
public:
    using Opener = std::function<void(const QString& path)>;

    // Watches the whole application until destroyed.
    explicit MovieDropOpener(Opener open);
    ~MovieDropOpener() override;

    // The local movie files a drag carries; empty when it carries
    // anything else too.
    QStringList MoviesIn(const QMimeData& data) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool TakesDropOn(QWidget* target) const;
    void Open(const QStringList& movies, QWidget* target);

    Opener mOpen;
    std::vector<std::string> mMovieKinds;  // file name extensions
};
