// Stands in a layout for a pane whose class is not registered: it
// keeps the pane's place and name and shows a quiet caption
// ("placeholderText" in the layout, else nothing).
#pragma once

#include <QFrame>

class LPlaceHolder : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString placeholderText READ PlaceholderText WRITE SetPlaceholderText)

public:
    explicit LPlaceHolder(QWidget* parent = nullptr);

    QString PlaceholderText() const { return mText; }
    void SetPlaceholderText(const QString& text);
    // The class the layout asked for.
    QString WantedClass() const { return mWantedClass; }
    void SetWantedClass(const QString& name) { mWantedClass = name; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString mText;
    QString mWantedClass;
};
