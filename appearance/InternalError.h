// Internal errors of the drawing layer: a number outside one of its tables
// (colour code, theme colour, cursor, font kind or style, background mode)
// or a drawing context without a device. They are programming errors: they
// are reported with the source name and line and the operation does
// nothing. Tests install their own handler to see them.
#pragma once

#include <functional>

using InternalErrorHandler = std::function<void(const char* source, int line)>;

void ReportInternalError(const char* source, int line);
// Replaces the handler (the default logs a warning); returns the old one.
InternalErrorHandler SetInternalErrorHandler(InternalErrorHandler handler);
