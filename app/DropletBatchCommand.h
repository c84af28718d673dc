// The BATCH command: what the program does when a droplet hands it files.
#pragma once

#include <string>

#include "app/CommandLine.h"

// Runs the batch of the command tail; always 0 (a batch reports to the
// user, not through the exit code).
int RunDropletBatchCommand(const CommandContext& context);

// One batch message: an error box when the program has windows, a line on
// standard error when it runs headless.
void ShowBatchMessage(const std::string& text);
