// The sound compression settings dialog: format, sample rate, channels,
// sample size and bit rate, offered as far as the chosen format takes
// them. As the video dialog, Settings() keeps the values the dialog
// started from wherever the user left a control as it was, and keeps the
// codec's own option lines other than the bit rate.
#pragma once

#include <QDialog>

#include "platform/media/encode/SoundSettings.h"

class QComboBox;

class SoundSettingsDialog : public QDialog {
public:
    explicit SoundSettingsDialog(const SoundSettings& initial, QWidget* parent = nullptr);
    ~SoundSettingsDialog() override;

    SoundSettings Settings() const;
    OSType CompressionType() const;
    bool SelectFormat(OSType type);
    // Picks the item holding that value; false when there is none.
    static bool SelectValue(QComboBox* box, int value);

    QComboBox* FormatBox() const { return mFormat; }
    QComboBox* SampleRateBox() const { return mRate; }
    QComboBox* ChannelsBox() const { return mChannels; }
    QComboBox* SampleSizeBox() const { return mSampleSize; }
    QComboBox* BitRateBox() const { return mBitRate; }

private:
    void FormatChanged();
    void FillRates();
    void FillChannels();
    void FillSampleSizes();
    void FillBitRates();
    int InitialBitRate() const;

    SoundSettings mInitial;
    QComboBox* mFormat = nullptr;
    QComboBox* mRate = nullptr;
    QComboBox* mChannels = nullptr;
    QComboBox* mSampleSize = nullptr;
    QComboBox* mBitRate = nullptr;
};
