#include "catalogs/SoundSettingsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>
#include <cstdlib>

#include "platform/media/encode/SoundTypeTable.h"

namespace {

const char* const kBitRateOption = "bitrate";
constexpr int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 88200, 96000};
constexpr int kBitRates[] = {32000, 48000, 64000, 96000, 128000, 160000, 192000, 256000, 320000};

// Selects the item holding value; adds one with the text when missing.
void SelectOrAdd(QComboBox* box, int value, const QString& text) {
    if (SoundSettingsDialog::SelectValue(box, value)) return;
    box->addItem(text, value);
    box->setCurrentIndex(box->count() - 1);
}

QString KilobitText(int bitsPerSecond) { return QObject::tr("%1 kbit/s").arg(bitsPerSecond / 1000); }

}  // namespace

bool SoundSettingsDialog::SelectValue(QComboBox* box, int value) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemData(i).toInt() == value) {
            box->setCurrentIndex(i);
            return true;
        }
    return false;
}

SoundSettingsDialog::SoundSettingsDialog(const SoundSettings& initial, QWidget* parent)
    : QDialog(parent), mInitial(initial) {
    setWindowTitle(tr("Sound Settings"));
    auto* form = new QFormLayout;
    mFormat = new QComboBox;
    mFormat->setObjectName(QStringLiteral("format"));
    mRate = new QComboBox;
    mRate->setObjectName(QStringLiteral("sampleRate"));
    mChannels = new QComboBox;
    mChannels->setObjectName(QStringLiteral("channels"));
    mSampleSize = new QComboBox;
    mSampleSize->setObjectName(QStringLiteral("sampleSize"));
    mBitRate = new QComboBox;
    mBitRate->setObjectName(QStringLiteral("bitRate"));
    form->addRow(tr("Format:"), mFormat);
    form->addRow(tr("Rate:"), mRate);
    form->addRow(tr("Channels:"), mChannels);
    form->addRow(tr("Sample size:"), mSampleSize);
    form->addRow(tr("Bit rate:"), mBitRate);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(buttons);

    for (const SoundTypeInfo& info : SoundTypeTable::All())
        if (info.IsAvailable()) mFormat->addItem(QString::fromUtf8(info.name), QVariant::fromValue(info.type));
    for (int i = 0; i < mFormat->count(); ++i)
        if (mFormat->itemData(i).value<OSType>() == mInitial.compressionType) mFormat->setCurrentIndex(i);
    if (mFormat->currentData().value<OSType>() != mInitial.compressionType) {
        mFormat->addItem(QString::fromStdString(SoundTypeTable::NameOf(mInitial.compressionType)),
                         QVariant::fromValue(mInitial.compressionType));
        mFormat->setCurrentIndex(mFormat->count() - 1);
    }
    FormatChanged();
    connect(mFormat, &QComboBox::currentIndexChanged, this, [this] { FormatChanged(); });
}

SoundSettingsDialog::~SoundSettingsDialog() = default;

OSType SoundSettingsDialog::CompressionType() const { return mFormat->currentData().value<OSType>(); }

bool SoundSettingsDialog::SelectFormat(OSType type) {
    for (int i = 0; i < mFormat->count(); ++i)
        if (mFormat->itemData(i).value<OSType>() == type) {
            mFormat->setCurrentIndex(i);
            return true;
        }
    return false;
}

void SoundSettingsDialog::FormatChanged() {
    FillRates();
    FillChannels();
    FillSampleSizes();
    FillBitRates();
}

// Each list keeps the value the user picked before (or the initial value)
// when the new format takes it.
void SoundSettingsDialog::FillRates() {
    const SoundTypeInfo* info = SoundTypeTable::Find(CompressionType());
    const int keep = mRate->count() > 0 ? mRate->currentData().toInt() : mInitial.SampleRateHz();
    mRate->clear();
    mRate->addItem(tr("As source"), 0);
    for (int rate : kRates)
        if (info == nullptr || info->AcceptsRate(rate)) mRate->addItem(tr("%1 kHz").arg(rate / 1000.0), rate);
    if (!SelectValue(mRate, keep) && keep > 0) {
        if (info == nullptr || info->AcceptsRate(keep))
            SelectOrAdd(mRate, keep, tr("%1 kHz").arg(keep / 1000.0));
        else
            SelectValue(mRate, info->NearestRate(keep));
    }
}

void SoundSettingsDialog::FillChannels() {
    const SoundTypeInfo* info = SoundTypeTable::Find(CompressionType());
    const int keep = mChannels->count() > 0 ? mChannels->currentData().toInt() : mInitial.channels;
    const int most = info != nullptr ? info->maxChannels : 8;
    mChannels->clear();
    mChannels->addItem(tr("As source"), 0);
    mChannels->addItem(tr("Mono"), 1);
    if (most >= 2) mChannels->addItem(tr("Stereo"), 2);
    if (!SelectValue(mChannels, keep) && keep > 0 && keep <= most) SelectOrAdd(mChannels, keep, tr("%1 channels").arg(keep));
}

void SoundSettingsDialog::FillSampleSizes() {
    const SoundTypeInfo* info = SoundTypeTable::Find(CompressionType());
    const int keep = mSampleSize->count() > 0 ? mSampleSize->currentData().toInt() : mInitial.sampleSize;
    mSampleSize->clear();
    if (info != nullptr && info->type == FourCC("alac")) {
        // The one format here whose size is a choice.
        mSampleSize->addItem(tr("16 bits"), 16);
        mSampleSize->addItem(tr("24 bits"), 24);
        mSampleSize->setEnabled(true);
        if (!SelectValue(mSampleSize, keep)) SelectValue(mSampleSize, 16);
        return;
    }
    // Other formats have their own size; the stored value stays as it was.
    mSampleSize->setEnabled(false);
    const int fixed = info != nullptr ? info->fixedSampleSize : 0;
    mSampleSize->addItem(fixed > 0 ? tr("%1 bits").arg(fixed) : tr("Set by the format"), mInitial.sampleSize);
}

int SoundSettingsDialog::InitialBitRate() const {
    const std::string text = FindEncoderOption(mInitial.options, kBitRateOption);
    return text.empty() ? 0 : std::atoi(text.c_str());
}

void SoundSettingsDialog::FillBitRates() {
    const SoundTypeInfo* info = SoundTypeTable::Find(CompressionType());
    const int keep = mBitRate->count() > 0 ? mBitRate->currentData().toInt() : InitialBitRate();
    mBitRate->clear();
    const bool has = info != nullptr && info->hasBitRate;
    mBitRate->setEnabled(has);
    if (!has) {
        mBitRate->addItem(tr("Set by the format"), 0);
        return;
    }
    mBitRate->addItem(tr("Default (%1 stereo)").arg(KilobitText(info->defaultBitRate)), 0);
    for (int rate : kBitRates) mBitRate->addItem(KilobitText(rate), rate);
    if (!SelectValue(mBitRate, keep) && keep > 0) SelectOrAdd(mBitRate, keep, KilobitText(keep));
}

SoundSettings SoundSettingsDialog::Settings() const {
    SoundSettings s = mInitial;
    s.compressionType = CompressionType();
    const int rate = mRate->currentData().toInt();
    if (rate != mInitial.SampleRateHz()) s.sampleRate = uint32_t(rate) << 16;
    s.channels = int16_t(mChannels->currentData().toInt());
    s.sampleSize = int16_t(mSampleSize->currentData().toInt());

    const SoundTypeInfo* info = SoundTypeTable::Find(s.compressionType);
    const bool hasBitRate = info != nullptr && info->hasBitRate;
    const int bitRate = hasBitRate ? mBitRate->currentData().toInt() : 0;
    if (bitRate != InitialBitRate()) {
        // Only the bit rate line changes; the codec's other lines stay.
        bool replaced = false;
        for (auto it = s.options.begin(); it != s.options.end();) {
            if (it->first != kBitRateOption) {
                ++it;
            } else if (bitRate > 0 && !replaced) {
                it->second = std::to_string(bitRate);
                replaced = true;
                ++it;
            } else {
                it = s.options.erase(it);
            }
        }
        if (bitRate > 0 && !replaced) s.options.emplace_back(kBitRateOption, std::to_string(bitRate));
    }
    return s;
}
