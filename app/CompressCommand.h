// `movelark compress` and `movelark settings`: the compression job and the
// stored settings without a window, for terminals, scripts and benchmarks.
#pragma once

#include "app/CommandLine.h"

int RunCompressCommand(const CommandContext& context);
int RunSettingsCommand(const CommandContext& context);
