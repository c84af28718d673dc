// Result codes shared by every stage of the media layer.
#pragma once

#include "framework/LException.h"

constexpr OSErr kCodecErr = -8960;  // a frame or sound block cannot be decoded or encoded
