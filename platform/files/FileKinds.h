// The file kinds the application registers at start-up: its own preset and
// droplet files, movies and the "all images" dialog entry, then the movie
// extensions that this platform adds.
#pragma once

#include <string>
#include <vector>

// Descriptions come from string list 3000; call after the resources are up.
void RegisterStartupFileKinds();

// Every movie kind the program opens, by extension ("mkv"), from the
// list it carries (the desktop entry claims the same kinds).
std::vector<std::string> MovieKindExtensions();
// Their MIME types, each once ("video/x-matroska").
std::vector<std::string> MovieKindMimeTypes();
// The open dialog's entry for all of them: "Movies", a zero byte, the
// patterns, two zero bytes.
std::string MovieKindsFilterEntry();
