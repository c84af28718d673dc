// The catalog of single-source effects, the filters of a document.
#pragma once

#include "catalogs/CEffectsListView.h"

class CSingleEffectsList : public CEffectsListView {
public:
    explicit CSingleEffectsList(QWidget* parent = nullptr) : CEffectsListView(parent, 1) {}
};
