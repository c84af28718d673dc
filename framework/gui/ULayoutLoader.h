// Builds window layouts from the resource file: layout n is the Qt
// Designer file ":/layouts/<n>.ui". Classes come from the pane class
// registry (URegistrar) first, then from Qt; a class that neither knows
// becomes an LPlaceHolder with the pane's name, so that a layout naming an
// unknown class still loads.
#pragma once

#include <QWidget>
#include <cstdint>

namespace ULayoutLoader {

bool Exists(int16_t layoutNumber);

// The layout's top widget, made a child of parent. Throws LException
// (resNotFound, -192) when there is no such layout or it cannot be read.
// Registered attachments are attached; finish-create is left to the caller.
QWidget* Load(int16_t layoutNumber, QWidget* parent);

// Calls FinishCreateSelf once on root and every pane below it, in
// creation order. Panes that already finished are skipped.
void FinishCreate(QWidget* root);

}  // namespace ULayoutLoader

constexpr int16_t resNotFound = -192;
