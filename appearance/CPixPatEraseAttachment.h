// Erase attachments: put on a pane by a window layout, they erase the
// pane's rectangle before the pane draws itself. CPixPatEraseAttachment
// erases with the background; CPixPatEraseAttachmentForTabs paints with the
// pen's colour (the tab panel's face unless set otherwise) and then puts the
// normal pen back. Class IDs 'PPer' and 'PPtb'. Each belongs to its pane.
#pragma once

#include <QObject>
#include <QWidget>
#include <cstdint>

#include "framework/FourCharCode.h"

class StDrawingContext;

class CPixPatEraseAttachment : public QObject {
public:
    static constexpr OSType kClassID = FourCC("PPer");

    explicit CPixPatEraseAttachment(QWidget* pane);
    QWidget* Pane() const { return mPane; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void Erase(StDrawingContext& context);

private:
    QWidget* mPane;
};

class CPixPatEraseAttachmentForTabs : public CPixPatEraseAttachment {
public:
    static constexpr OSType kClassID = FourCC("PPtb");

    explicit CPixPatEraseAttachmentForTabs(QWidget* pane, int16_t themeColor = 1);

protected:
    void Erase(StDrawingContext& context) override;

private:
    int16_t mThemeColor;
};
