// The video compression settings dialog: the codec types this program
// writes, a quality slider from least to lossless with the encoder's own
// figure, the encoder's speed preset and the depth where the codec has
// them, the frame rate, key frames, a data-rate limit, and a live preview
// of the test picture compressed with the chosen settings.
//
// Settings() returns the values the dialog started from wherever the user
// left a control as it was, so confirming without a change changes nothing.
#pragma once

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/media/OffscreenWorld.h"
#include "platform/media/encode/VideoSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;

// An encoder's speed preset: the option it is written as and its values,
// fastest last.
struct SpeedPresetChoices {
    std::string option;  // empty: the codec has none
    std::vector<std::string> values;
};
SpeedPresetChoices SpeedPresetsFor(OSType codecType);

class VideoSettingsDialog : public QDialog {
public:
    explicit VideoSettingsDialog(const VideoSettings& initial, QWidget* parent = nullptr);
    ~VideoSettingsDialog() override;

    VideoSettings Settings() const;
    OSType CodecType() const;

    // Picks a codec type by its code; false when the list does not hold it.
    bool SelectCodec(OSType type);

    QComboBox* CodecBox() const { return mCodec; }
    QSlider* QualitySlider() const { return mQuality; }
    QLabel* QualityLabel() const { return mQualityText; }
    QComboBox* SpeedBox() const { return mSpeed; }
    QComboBox* DepthBox() const { return mDepth; }
    QComboBox* FrameRateBox() const { return mFrameRate; }
    QCheckBox* KeyFrameCheck() const { return mKeyFrames; }
    QSpinBox* KeyFrameSpin() const { return mKeyFrameRate; }
    QCheckBox* DataRateCheck() const { return mLimitDataRate; }
    QSpinBox* DataRateSpin() const { return mDataRate; }

    // Compresses the test picture with the current settings now; false
    // when the codec cannot (the preview then says so).
    bool UpdatePreview();
    const QImage& PreviewImage() const { return mPreviewImage; }
    size_t PreviewBytes() const { return mPreviewBytes; }

private:
    void FillCodecs();
    void CodecChanged();
    void UpdateQualityText();
    void FillSpeedPresets();
    void FillDepths();
    void UpdateEnabling();
    void SchedulePreview();

    VideoSettings mInitial;
    OffscreenWorld mTestPicture;
    QComboBox* mCodec = nullptr;
    QSlider* mQuality = nullptr;
    QLabel* mQualityText = nullptr;
    QComboBox* mSpeed = nullptr;
    QLabel* mSpeedLabel = nullptr;
    QComboBox* mDepth = nullptr;
    QLabel* mDepthLabel = nullptr;
    QComboBox* mFrameRate = nullptr;
    QCheckBox* mKeyFrames = nullptr;
    QSpinBox* mKeyFrameRate = nullptr;
    QCheckBox* mLimitDataRate = nullptr;
    QSpinBox* mDataRate = nullptr;
    QLabel* mPreview = nullptr;
    QLabel* mPreviewText = nullptr;
    QTimer mPreviewTimer;
    QImage mPreviewImage;
    size_t mPreviewBytes = 0;
};
