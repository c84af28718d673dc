#include "catalogs/VideoSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "catalogs/CatalogDrawing.h"
#include "platform/media/encode/StillImageCompressor.h"
#include "platform/media/encode/VideoCodecTable.h"

namespace {

constexpr int kDefaultKeyFrameRate = 250;
constexpr int kDefaultDataRateKB = 500;
constexpr int kBytesPerKB = 1024;
constexpr int kPreviewDelayMs = 150;
const char* const kSpeedOptionNames[] = {"preset", "cpu-used"};

uint32_t Fixed16(double value) { return uint32_t(std::lround(value * 65536.0)); }

QString RateText(uint32_t fixedRate) {
    return QString::number(fixedRate / 65536.0, 'f', 3).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

// Selects the item whose data equals value; adds it (with the text) when
// the list does not hold it yet.
template <class T>
void SelectData(QComboBox* box, const T& value, const QString& textWhenMissing) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemData(i).value<T>() == value) {
            box->setCurrentIndex(i);
            return;
        }
    box->addItem(textWhenMissing, QVariant::fromValue(value));
    box->setCurrentIndex(box->count() - 1);
}

}  // namespace

SpeedPresetChoices SpeedPresetsFor(OSType codecType) {
    if (codecType == FourCC("avc1") || codecType == FourCC("hvc1"))
        return {"preset", {"veryslow", "slower", "slow", "medium", "fast", "faster", "veryfast", "superfast", "ultrafast"}};
    if (codecType == FourCC("vp09")) return {"cpu-used", {"0", "1", "2", "3", "4", "5"}};
    if (codecType == FourCC("av01"))
        return {"preset", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}};
    return {};
}

VideoSettingsDialog::VideoSettingsDialog(const VideoSettings& initial, QWidget* parent)
    : QDialog(parent), mInitial(initial) {
    setWindowTitle(tr("Video Compression Settings"));
    mTestPicture = WorldFromImage(CatalogPicture(kTestPicture));

    auto* form = new QFormLayout;
    mCodec = new QComboBox;
    mCodec->setObjectName(QStringLiteral("codec"));
    form->addRow(tr("Compression type:"), mCodec);

    auto* qualityRow = new QVBoxLayout;
    mQuality = new QSlider(Qt::Horizontal);
    mQuality->setObjectName(QStringLiteral("quality"));
    mQuality->setRange(VideoCodecTable::kMinQuality, VideoCodecTable::kLosslessQuality);
    mQuality->setTickInterval(VideoCodecTable::kLowQuality);
    mQuality->setTickPosition(QSlider::TicksBelow);
    mQuality->setPageStep(VideoCodecTable::kLowQuality / 4);
    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel(tr("Least")));
    ends->addStretch();
    mQualityText = new QLabel;
    mQualityText->setObjectName(QStringLiteral("qualityText"));
    ends->addWidget(mQualityText);
    ends->addStretch();
    ends->addWidget(new QLabel(tr("Lossless")));
    qualityRow->addWidget(mQuality);
    qualityRow->addLayout(ends);
    form->addRow(tr("Quality:"), qualityRow);

    mSpeed = new QComboBox;
    mSpeed->setObjectName(QStringLiteral("speed"));
    mSpeedLabel = new QLabel(tr("Encoder speed:"));
    form->addRow(mSpeedLabel, mSpeed);

    mDepth = new QComboBox;
    mDepth->setObjectName(QStringLiteral("depth"));
    mDepthLabel = new QLabel(tr("Depth:"));
    form->addRow(mDepthLabel, mDepth);

    mFrameRate = new QComboBox;
    mFrameRate->setObjectName(QStringLiteral("frameRate"));
    mFrameRate->addItem(tr("As source"), QVariant::fromValue(0u));
    for (double rate : {8.0, 10.0, 12.0, 15.0, 23.976, 24.0, 25.0, 29.97, 30.0, 48.0, 50.0, 59.94, 60.0})
        mFrameRate->addItem(RateText(Fixed16(rate)), QVariant::fromValue(Fixed16(rate)));
    SelectData<uint32_t>(mFrameRate, mInitial.frameRate, RateText(mInitial.frameRate));
    form->addRow(tr("Frames per second:"), mFrameRate);

    auto* keyRow = new QHBoxLayout;
    mKeyFrames = new QCheckBox(tr("Key frame every"));
    mKeyFrames->setObjectName(QStringLiteral("keyFrames"));
    mKeyFrameRate = new QSpinBox;
    mKeyFrameRate->setObjectName(QStringLiteral("keyFrameRate"));
    mKeyFrameRate->setRange(1, 100000);
    mKeyFrameRate->setSuffix(tr(" frames"));
    mKeyFrames->setChecked(mInitial.keyFrameRate > 0);
    mKeyFrameRate->setValue(mInitial.keyFrameRate > 0 ? mInitial.keyFrameRate : kDefaultKeyFrameRate);
    keyRow->addWidget(mKeyFrames);
    keyRow->addWidget(mKeyFrameRate);
    keyRow->addStretch();
    form->addRow(QString(), keyRow);

    auto* rateRow = new QHBoxLayout;
    mLimitDataRate = new QCheckBox(tr("Limit data rate to"));
    mLimitDataRate->setObjectName(QStringLiteral("limitDataRate"));
    mDataRate = new QSpinBox;
    mDataRate->setObjectName(QStringLiteral("dataRate"));
    mDataRate->setRange(1, 2000000);
    mDataRate->setSuffix(tr(" KBytes/sec"));
    mLimitDataRate->setChecked(mInitial.dataRate > 0);
    mDataRate->setValue(mInitial.dataRate > 0 ? int((mInitial.dataRate + kBytesPerKB - 1) / kBytesPerKB)
                                              : kDefaultDataRateKB);
    rateRow->addWidget(mLimitDataRate);
    rateRow->addWidget(mDataRate);
    rateRow->addStretch();
    form->addRow(QString(), rateRow);

    auto* previewBox = new QGroupBox(tr("Preview"));
    auto* previewLayout = new QVBoxLayout(previewBox);
    mPreview = new QLabel;
    mPreview->setObjectName(QStringLiteral("preview"));
    mPreview->setFixedSize(mTestPicture.IsEmpty() ? QSize(192, 144) : QSize(mTestPicture.Width(), mTestPicture.Height()));
    mPreview->setAlignment(Qt::AlignCenter);
    mPreviewText = new QLabel;
    mPreviewText->setAlignment(Qt::AlignCenter);
    previewLayout->addWidget(mPreview);
    previewLayout->addWidget(mPreviewText);
    previewLayout->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addLayout(form, 1);
    columns->addWidget(previewBox);
    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addWidget(buttons);

    FillCodecs();
    mQuality->setValue(std::clamp<int>(mInitial.spatialQuality, VideoCodecTable::kMinQuality,
                                       VideoCodecTable::kLosslessQuality));
    FillSpeedPresets();
    FillDepths();
    UpdateEnabling();
    UpdateQualityText();

    mPreviewTimer.setSingleShot(true);
    mPreviewTimer.setInterval(kPreviewDelayMs);
    connect(&mPreviewTimer, &QTimer::timeout, this, [this] { UpdatePreview(); });
    connect(mCodec, &QComboBox::currentIndexChanged, this, [this] { CodecChanged(); });
    connect(mQuality, &QSlider::valueChanged, this, [this] {
        UpdateQualityText();
        SchedulePreview();
    });
    connect(mKeyFrames, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    connect(mLimitDataRate, &QCheckBox::toggled, this, [this] {
        UpdateEnabling();
        UpdateQualityText();
    });
    SchedulePreview();
}

VideoSettingsDialog::~VideoSettingsDialog() = default;

void VideoSettingsDialog::FillCodecs() {
    QSignalBlocker quiet(mCodec);
    for (const VideoCodecInfo& info : VideoCodecTable::All())
        if (info.IsAvailable()) mCodec->addItem(QString::fromUtf8(info.name), QVariant::fromValue(info.type));
    const std::string name = VideoCodecTable::NameOf(mInitial.codecType);
    const bool known = VideoCodecTable::Find(mInitial.codecType) != nullptr;
    SelectData<OSType>(mCodec, mInitial.codecType,
                       QString::fromStdString(name) + (known ? tr(" (not available)") : QString()));
}

OSType VideoSettingsDialog::CodecType() const { return mCodec->currentData().value<OSType>(); }

bool VideoSettingsDialog::SelectCodec(OSType type) {
    for (int i = 0; i < mCodec->count(); ++i)
        if (mCodec->itemData(i).value<OSType>() == type) {
            mCodec->setCurrentIndex(i);
            return true;
        }
    return false;
}

void VideoSettingsDialog::CodecChanged() {
    FillSpeedPresets();
    FillDepths();
    UpdateEnabling();
    UpdateQualityText();
    SchedulePreview();
}

void VideoSettingsDialog::FillSpeedPresets() {
    const OSType type = CodecType();
    const SpeedPresetChoices choices = SpeedPresetsFor(type);
    QSignalBlocker quiet(mSpeed);
    mSpeed->clear();
    const bool has = !choices.option.empty();
    mSpeed->setVisible(has);
    mSpeedLabel->setVisible(has);
    if (!has) return;
    mSpeed->addItem(tr("Encoder's default"), QString());
    for (const std::string& value : choices.values)
        mSpeed->addItem(QString::fromStdString(value), QString::fromStdString(value));
    const std::string current =
        type == mInitial.codecType ? FindEncoderOption(mInitial.options, choices.option) : std::string();
    SelectData<QString>(mSpeed, QString::fromStdString(current), QString::fromStdString(current));
}

void VideoSettingsDialog::FillDepths() {
    const VideoCodecInfo* info = VideoCodecTable::Find(CodecType());
    QSignalBlocker quiet(mDepth);
    mDepth->clear();
    const bool has = info != nullptr && info->hasDepthChoice;
    mDepth->setVisible(has);
    mDepthLabel->setVisible(has);
    if (!has) return;
    mDepth->addItem(tr("Best depth"), QVariant::fromValue<int16_t>(0));
    mDepth->addItem(tr("Millions of Colors"), QVariant::fromValue<int16_t>(24));
    mDepth->addItem(tr("Millions of Colors+"), QVariant::fromValue<int16_t>(32));
    SelectData<int16_t>(mDepth, mInitial.depth, tr("%1 bits").arg(mInitial.depth));
}

void VideoSettingsDialog::UpdateEnabling() {
    const VideoCodecInfo* info = VideoCodecTable::Find(CodecType());
    const bool hasQuality = info != nullptr && info->scale != QualityScale::None;
    const bool hasTemporal = info != nullptr && info->hasTemporal;
    const bool hasDataRate = info != nullptr && info->hasDataRate;
    mQuality->setEnabled(hasQuality);
    mKeyFrames->setEnabled(hasTemporal);
    mKeyFrameRate->setEnabled(hasTemporal && mKeyFrames->isChecked());
    mLimitDataRate->setEnabled(hasDataRate);
    mDataRate->setEnabled(hasDataRate && mLimitDataRate->isChecked());
}

void VideoSettingsDialog::UpdateQualityText() {
    const VideoCodecInfo* info = VideoCodecTable::Find(CodecType());
    if (info == nullptr) {
        mQualityText->setText(QString());
        return;
    }
    QString text = QString::fromStdString(VideoCodecTable::QualityText(*info, mQuality->value()));
    if (info->hasDataRate && mLimitDataRate->isChecked()) text = tr("set by the data rate");
    mQualityText->setText(text);
}

VideoSettings VideoSettingsDialog::Settings() const {
    VideoSettings s = mInitial;
    s.codecType = CodecType();

    const int clampedQuality =
        std::clamp<int>(mInitial.spatialQuality, VideoCodecTable::kMinQuality, VideoCodecTable::kLosslessQuality);
    if (mQuality->value() != clampedQuality) s.spatialQuality = mQuality->value();

    if (mDepth->isVisibleTo(this) && mDepth->count() > 0) s.depth = mDepth->currentData().value<int16_t>();

    s.frameRate = mFrameRate->currentData().value<uint32_t>();

    const bool hadKeyFrames = mInitial.keyFrameRate > 0;
    if (mKeyFrames->isChecked() != hadKeyFrames || (hadKeyFrames && mKeyFrameRate->value() != std::clamp(mInitial.keyFrameRate, 1, 100000)))
        s.keyFrameRate = mKeyFrames->isChecked() ? mKeyFrameRate->value() : 0;

    const bool hadLimit = mInitial.dataRate > 0;
    const int initialKB = hadLimit ? int((mInitial.dataRate + kBytesPerKB - 1) / kBytesPerKB) : 0;
    if (mLimitDataRate->isChecked() != hadLimit || (hadLimit && mDataRate->value() != initialKB))
        s.dataRate = mLimitDataRate->isChecked() ? uint32_t(mDataRate->value()) * kBytesPerKB : 0;

    // The speed preset: untouched options stay as they were; another codec
    // drops the speed options of the old one, which it would not take.
    const SpeedPresetChoices choices = SpeedPresetsFor(s.codecType);
    const std::string chosen = mSpeed->isVisibleTo(this) ? mSpeed->currentData().toString().toStdString() : std::string();
    const std::string before = choices.option.empty() ? std::string() : FindEncoderOption(mInitial.options, choices.option);
    if (s.codecType != mInitial.codecType || chosen != before) {
        std::erase_if(s.options, [](const auto& option) {
            for (const char* name : kSpeedOptionNames)
                if (option.first == name) return true;
            return false;
        });
        if (!choices.option.empty() && !chosen.empty()) s.options.emplace_back(choices.option, chosen);
    }
    return s;
}

void VideoSettingsDialog::SchedulePreview() { mPreviewTimer.start(); }

bool VideoSettingsDialog::UpdatePreview() {
    mPreviewTimer.stop();
    mPreviewImage = QImage();
    mPreviewBytes = 0;
    CompressedImage compressed;
    OffscreenWorld decoded;
    const bool ok = !mTestPicture.IsEmpty() && CompressPreviewImage(Settings().ToHandle(), mTestPicture, compressed) &&
                    DecompressImage(compressed, decoded);
    if (!ok) {
        mPreview->setPixmap(QPixmap());
        mPreview->setText(tr("No preview"));
        mPreviewText->setText(QString());
        return false;
    }
    mPreviewImage = ImageFromWorld(decoded);
    mPreviewBytes = compressed.data.size();
    mPreview->setPixmap(QPixmap::fromImage(mPreviewImage));
    mPreviewText->setText(tr("%1 KB").arg(double(mPreviewBytes) / 1024.0, 0, 'f', 1));
    return true;
}
