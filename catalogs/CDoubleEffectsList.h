// The catalog of two-source effects (transitions).
#pragma once

#include "catalogs/CEffectsListView.h"

class CDoubleEffectsList : public CEffectsListView {
public:
    explicit CDoubleEffectsList(QWidget* parent = nullptr) : CEffectsListView(parent, 2) {}
};
