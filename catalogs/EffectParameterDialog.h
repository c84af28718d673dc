// The standard parameter dialog of an effect, built from the effect table:
// the effect chosen from an effect list, one slider or choice per
// parameter, and a preview picture run through the effect as it stands.
#pragma once

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/effects/EffectTable.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QWidget;

class EffectParameterDialog : public QDialog {
public:
    // description: the container to start from (its 'what' picks the
    // effect; an empty one starts with the list's first effect).
    // effectList: 'name' and 'type' atoms, as GetEffectList gives them.
    // picture: the preview's picture; none uses the test picture.
    // fixedType: the effect cannot be changed (editing a filter in place).
    EffectParameterDialog(const AtomContainer& description, const Handle& effectList,
                          const OffscreenWorld* picture, bool fixedType, QWidget* parent = nullptr);
    ~EffectParameterDialog() override;

    // The description with the chosen effect and every parameter it shows
    // (top-level atoms, id 1); everything else as it came.
    AtomContainer Description() const;
    OSType SelectedEffectType() const;
    const EffectValues& Values() const { return mValues; }

    bool SelectEffect(OSType type);
    // Sets a parameter by its atom type (clamped); false when the effect
    // has no such parameter.
    bool SetParameter(OSType atomType, int32_t value);

    QComboBox* EffectBox() const { return mEffect; }
    int CountParameterControls() const { return int(mControls.size()); }

    // Renders the preview now; false when the effect could not run.
    bool UpdatePreview();
    const QImage& PreviewImage() const { return mPreviewImage; }

private:
    void EffectChanged();
    void BuildParameterControls();
    void SchedulePreview();

    AtomContainer mDescription;
    OffscreenWorld mPicture;
    QComboBox* mEffect = nullptr;
    QWidget* mParameterPanel = nullptr;
    QFormLayout* mParameterForm = nullptr;
    QLabel* mPreview = nullptr;
    std::vector<QWidget*> mControls;
    EffectValues mValues;
    const EffectType* mType = nullptr;
    QTimer mPreviewTimer;
    QImage mPreviewImage;
};
