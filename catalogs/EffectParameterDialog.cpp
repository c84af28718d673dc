#include "catalogs/EffectParameterDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "catalogs/CatalogDrawing.h"
#include "platform/media/effects/EffectRendering.h"

namespace {

constexpr int kPreviewDelayMs = 100;
constexpr int kLargestSliderRange = 1000;  // wider ranges get a number field
constexpr int kMaxListEntries = 1000;

}  // namespace

EffectParameterDialog::EffectParameterDialog(const AtomContainer& description, const Handle& effectList,
                                             const OffscreenWorld* picture, bool fixedType, QWidget* parent)
    : QDialog(parent), mDescription(description) {
    setWindowTitle(tr("Effect Settings"));
    mPicture = picture != nullptr && !picture->IsEmpty() ? *picture : WorldFromImage(CatalogPicture(kTestPicture));

    mEffect = new QComboBox;
    mEffect->setObjectName(QStringLiteral("effect"));
    AtomContainer list;
    if (AtomContainer::TryParse(effectList, list)) {
        for (int i = 1; i <= std::min(kMaxListEntries, list.Count(kEffectListTypeAtom)); ++i) {
            const QTAtomNode* type = list.Find(kEffectListTypeAtom, i);
            const QTAtomNode* name = list.Find(kEffectListNameAtom, i);
            if (type == nullptr || !type->leaf || type->data.size() < 4) continue;
            const QString label = name != nullptr && name->leaf ? QString::fromStdString(name->Text())
                                                                : QString::fromStdString(FourCCToString(type->U32()));
            mEffect->addItem(label, QVariant::fromValue(type->U32()));
        }
    }
    // The description's own effect, even when the list does not offer it.
    if (const QTAtomNode* what = mDescription.Find(kEffectTypeAtom); what && what->leaf && what->data.size() >= 4) {
        const OSType type = what->U32();
        if (!SelectEffect(type)) {
            const ::EffectType* entry = effects::FindEffectType(type);
            mEffect->addItem(QString::fromStdString(entry ? entry->name : FourCCToString(type)), QVariant::fromValue(type));
            mEffect->setCurrentIndex(mEffect->count() - 1);
        }
    }
    mEffect->setEnabled(!fixedType);

    auto* left = new QVBoxLayout;
    auto* effectRow = new QFormLayout;
    effectRow->addRow(tr("Effect:"), mEffect);
    left->addLayout(effectRow);
    mParameterPanel = new QWidget;
    mParameterForm = new QFormLayout(mParameterPanel);
    mParameterForm->setContentsMargins(0, 0, 0, 0);
    left->addWidget(mParameterPanel);
    left->addStretch();

    auto* previewBox = new QGroupBox(tr("Preview"));
    auto* previewLayout = new QVBoxLayout(previewBox);
    mPreview = new QLabel;
    mPreview->setObjectName(QStringLiteral("preview"));
    mPreview->setAlignment(Qt::AlignCenter);
    mPreview->setMinimumSize(std::min(mPicture.Width(), 240), std::min(mPicture.Height(), 240));
    previewLayout->addWidget(mPreview);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(previewBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addWidget(buttons);

    mPreviewTimer.setSingleShot(true);
    mPreviewTimer.setInterval(kPreviewDelayMs);
    connect(&mPreviewTimer, &QTimer::timeout, this, [this] { UpdatePreview(); });

    EffectChanged();
    connect(mEffect, &QComboBox::currentIndexChanged, this, [this] { EffectChanged(); });
}

EffectParameterDialog::~EffectParameterDialog() = default;

OSType EffectParameterDialog::SelectedEffectType() const { return mEffect->currentData().value<OSType>(); }

bool EffectParameterDialog::SelectEffect(OSType type) {
    for (int i = 0; i < mEffect->count(); ++i)
        if (mEffect->itemData(i).value<OSType>() == type) {
            mEffect->setCurrentIndex(i);
            return true;
        }
    return false;
}

void EffectParameterDialog::EffectChanged() {
    mType = effects::FindEffectType(SelectedEffectType());
    // Start from the description's values when it is of this effect.
    AtomContainer probe = mDescription;
    const QTAtomNode* what = probe.Find(kEffectTypeAtom);
    const bool same = what && what->leaf && what->data.size() >= 4 && what->U32() == SelectedEffectType();
    mValues.clear();
    if (mType != nullptr) mValues = same ? effects::ReadEffectValues(*mType, mDescription) : effects::ReadEffectValues(*mType, AtomContainer());
    BuildParameterControls();
    SchedulePreview();
}

void EffectParameterDialog::BuildParameterControls() {
    while (mParameterForm->rowCount() > 0) mParameterForm->removeRow(0);
    mControls.clear();
    if (mType == nullptr) return;
    if (mType->parameters.empty()) {
        mParameterForm->addRow(new QLabel(tr("This effect has no settings.")));
        return;
    }
    for (size_t i = 0; i < mType->parameters.size(); ++i) {
        const EffectParameter& p = mType->parameters[i];
        const QString label = QString::fromStdString(p.meaning) + QStringLiteral(":");
        if (p.kind == EffectParameterKind::Choice) {
            auto* box = new QComboBox;
            for (const EffectChoice& c : p.choices) box->addItem(QString::fromStdString(c.label), c.value);
            box->setCurrentIndex(std::max(0, box->findData(mValues[i])));
            connect(box, &QComboBox::currentIndexChanged, this, [this, i, box] {
                mValues[i] = mType->parameters[i].Clamp(box->currentData().toInt());
                SchedulePreview();
            });
            mParameterForm->addRow(label, box);
            mControls.push_back(box);
        } else if (int64_t(p.maximum) - p.minimum > kLargestSliderRange) {
            auto* field = new QSpinBox;
            field->setRange(p.minimum, p.maximum);
            field->setValue(mValues[i]);
            if (p.maximum == 0xFFFFFF) {
                field->setDisplayIntegerBase(16);
                field->setPrefix(QStringLiteral("#"));
            }
            connect(field, &QSpinBox::valueChanged, this, [this, i](int v) {
                mValues[i] = mType->parameters[i].Clamp(v);
                SchedulePreview();
            });
            mParameterForm->addRow(label, field);
            mControls.push_back(field);
        } else {
            auto* row = new QWidget;
            auto* layout = new QHBoxLayout(row);
            layout->setContentsMargins(0, 0, 0, 0);
            auto* slider = new QSlider(Qt::Horizontal);
            slider->setRange(p.minimum, p.maximum);
            slider->setValue(mValues[i]);
            auto* number = new QLabel(QString::number(mValues[i]));
            number->setMinimumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("-0000")));
            layout->addWidget(slider, 1);
            layout->addWidget(number);
            connect(slider, &QSlider::valueChanged, this, [this, i, number](int v) {
                mValues[i] = mType->parameters[i].Clamp(v);
                number->setNum(mValues[i]);
                SchedulePreview();
            });
            mParameterForm->addRow(label, row);
            mControls.push_back(slider);
        }
    }
}

bool EffectParameterDialog::SetParameter(OSType atomType, int32_t value) {
    if (mType == nullptr) return false;
    for (size_t i = 0; i < mType->parameters.size() && i < mControls.size(); ++i) {
        if (mType->parameters[i].atomType != atomType) continue;
        const int32_t v = mType->parameters[i].Clamp(value);
        if (auto* box = qobject_cast<QComboBox*>(mControls[i]))
            box->setCurrentIndex(std::max(0, box->findData(v)));
        else if (auto* slider = qobject_cast<QSlider*>(mControls[i]))
            slider->setValue(v);
        else if (auto* field = qobject_cast<QSpinBox*>(mControls[i]))
            field->setValue(v);
        mValues[i] = v;
        return true;
    }
    return false;
}

AtomContainer EffectParameterDialog::Description() const {
    AtomContainer d = mDescription;
    const OSType type = SelectedEffectType();
    if (QTAtomNode* what = d.Find(kEffectTypeAtom); what && what->leaf) {
        what->data.clear();
        what->SetU32(0, type);
    } else {
        d.Root().RemoveChildren(kEffectTypeAtom);
        d.Root().InsertChildU32(kEffectTypeAtom, 1, type);
    }
    if (mType == nullptr) return d;
    for (size_t i = 0; i < mType->parameters.size() && i < mValues.size(); ++i) {
        const OSType atomType = mType->parameters[i].atomType;
        if (QTAtomNode* atom = d.Root().FindChildByID(atomType, 1); atom && atom->leaf) {
            atom->data.clear();
            atom->SetU32(0, uint32_t(mValues[i]));
        } else {
            if (atom != nullptr) d.Root().RemoveChildren(atomType);
            d.Root().InsertChildU32(atomType, 1, uint32_t(mValues[i]));
        }
    }
    return d;
}

void EffectParameterDialog::SchedulePreview() { mPreviewTimer.start(); }

bool EffectParameterDialog::UpdatePreview() {
    mPreviewTimer.stop();
    Handle effect = Description().ToHandle();
    OffscreenWorld result;
    const bool ok = RenderEffect(result, mPicture, effect);
    mPreviewImage = ok ? ImageFromWorld(result) : ImageFromWorld(mPicture);
    QImage shown = mPreviewImage;
    if (shown.width() > 240 || shown.height() > 240)
        shown = shown.scaled(240, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    mPreview->setPixmap(QPixmap::fromImage(shown));
    return ok;
}
