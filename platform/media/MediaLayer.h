// Bringing the media libraries up and down. Start-up initialises the layer
// once; nested initialise/terminate pairs only count. The FFmpeg libraries
// found at run time must be the ones this program was built for, and the
// encoders and containers it writes must be present.
#pragma once

#include <cstdint>
#include <string>

#include "framework/LException.h"
#include "platform/media/FSSpec.h"

constexpr OSErr kMediaLibraryUnusableErr = -2093;  // missing, too old or too new
constexpr OSErr kMediaEntryMissingErr = -2094;     // a needed encoder, container or filter is absent
constexpr OSErr kMediaNotInitializedErr = -2095;   // called while the layer is down

// Name of the lock file that serialises initialise and terminate between
// processes; it lives in ${XDG_RUNTIME_DIR:-/tmp}.
constexpr const char* kMediaLayerLockName = "QTMLInitTermMutex";

// Setting this environment variable to 1 makes initialisation fail as if
// the libraries were missing (for testing the start-up message).
constexpr const char* kSimulateMissingMediaVariable = "MOVELARK_SIMULATE_MISSING_MEDIA";

// 0 on success. The first successful call checks the libraries; later calls
// only count. Flags are reserved (pass 0).
OSErr InitializeMediaLayer(uint32_t flags);
// Undoes one successful InitializeMediaLayer; extra calls do nothing.
void TerminateMediaLayer();

int32_t MediaLayerUseCount();
// Full path of the lock file, as the environment names it now.
std::string MediaLayerLockPath();
// Why the last initialisation failed, in one line for the user
// ("libavcodec 60 is installed, this program needs 59"); empty after success.
std::string MediaLayerProblem();
// The FFmpeg library versions found at run time, for --version style output.
std::string MediaLibraryVersions();

// Movie services on top of the layer: kMediaNotInitializedErr while the
// layer is down. Calls nest like the layer's own.
OSErr EnterMovies();
void ExitMovies();

// A native path into a file record (flags reserved, pass 0). A relative path
// is made absolute. bdNamErr when it does not fit, paramErr when empty,
// dirNFErr when its folder does not exist; fnfErr when the folder exists but
// the file does not, in which case the record is still filled in.
OSErr NativePathNameToFSSpec(const std::string& path, FSSpec& out, uint32_t flags);
// A record from volume, directory and a length-prefixed name (here: a path;
// relative names are made absolute). Same results as above.
OSErr FSMakeFSSpec(int16_t volume, int32_t directory, const uint8_t* name, FSSpec& out);

constexpr OSErr dirNFErr = -120;
