#include "appearance/InternalError.h"

#include <QtGlobal>

namespace {
void LogInternalError(const char* source, int line) {
    qWarning("Internal error in %s, line %d", source, line);
}

InternalErrorHandler& Handler() {
    static InternalErrorHandler handler = LogInternalError;
    return handler;
}
}  // namespace

void ReportInternalError(const char* source, int line) {
    if (Handler()) Handler()(source, line);
}

InternalErrorHandler SetInternalErrorHandler(InternalErrorHandler handler) {
    InternalErrorHandler old = std::move(Handler());
    Handler() = handler ? std::move(handler) : InternalErrorHandler(LogInternalError);
    return old;
}
