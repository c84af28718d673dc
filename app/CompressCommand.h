// The tool subcommands: `movelark compress`, `movelark settings` and
// `movelark presets`, for terminals, scripts and benchmarks.
#pragma once

#include "app/CommandLine.h"

int RunCompressCommand(const CommandContext& context);
int RunSettingsCommand(const CommandContext& context);
int RunPresetsCommand(const CommandContext& context);
