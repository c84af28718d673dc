// The Qt application object of the windowed program: every event's
// handling is guarded, so an exception that escapes it is swallowed and
// the program goes on (UExceptionSwallower).
#pragma once

#include <QApplication>

#include "framework/LEventLoop.h"

using LGuiApplication = TGuardedApplication<QApplication>;
