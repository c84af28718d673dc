// The file kinds the application registers at start-up: its own preset and
// droplet files, movies and the "all images" dialog entry, then the movie
// extensions that this platform adds.
#pragma once

// Descriptions come from string list 3000; call after the resources are up.
void RegisterStartupFileKinds();
