// The settings record stored inside a QuickTime/ISO movie file as user
// data: the first child of type 'MSTG' of the 'udta' atom inside 'moov'.
//
// Writing rewrites only the moov atom and never moves the media data, so
// chunk offsets stay valid. The update is crash-safe: at every moment the
// file on disk is a playable movie that holds either the old or the new
// record. When the new moov fits where the old one stood (plus any free
// atoms right before and after it), it ends up there with a 'free' atom
// filling the rest; otherwise the old one becomes a 'free' atom and the new
// moov is appended at the end of the file. Copies of the moov and free atoms
// that interrupted writes left at the end of the file are cut off first, so
// writes killed again and again do not make the file grow without end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "framework/LException.h"

constexpr OSType kSettingsUserDataType = FourCC("MSTG");

// The steps of a user-data write, in the order they happen. A test hook
// can make any step fail as a crash would: the step is left half done
// (half of its bytes written) and nothing after it happens.
enum class UserDataWriteStep {
    DropLeftovers,       // cut what interrupted writes left off the file's end
    FixOpenEndedAtom,    // give a size-0 (to end of file) last atom its real size
    RetireStaleMoov,     // turn leftover duplicate moov atoms into 'free'
    AppendNewMoov,       // new moov at the end of the file
    SyncAppended,        // fsync
    RetireOldMoov,       // old moov (and its free space) becomes one 'free' atom
    SyncRetired,         // fsync
    WriteInPlaceBody,    // in-place case: new moov bytes inside that free atom
    SyncInPlaceBody,     // fsync
    ActivateInPlace,     // in-place case: its header becomes 'moov'
    SyncActivated,       // fsync
    DropAppendedCopy,    // in-place case: cut the appended copy off the file
    SyncFinal,           // fsync
};

// Returns true to make that step fail.
using UserDataFaultHook = std::function<bool(UserDataWriteStep)>;

class MovieUserData {
public:
    // The first item of `type` (bytes after its 8-byte header) or a null
    // handle when there is none. Throws LException: fnfErr/ioErr when the
    // file cannot be read, kNoMovieFoundErr when it holds no moov atom.
    static Handle Read(const std::string& path, OSType type = kSettingsUserDataType);

    // Removes item 1 of `type` (if any) and adds `data` as a new item of
    // that type at the end of udta (made when missing); other udta
    // children are kept. Throws LException (ioErr on a failed write,
    // kNoMovieFoundErr/kInvalidMovieErr when the file holds no usable moov).
    static void Write(const std::string& path, const Handle& data, OSType type = kSettingsUserDataType,
                      const UserDataFaultHook& fault = {});

    // The time scale and duration of the mvhd atom; false when the file has
    // no readable moov/mvhd.
    static bool ReadMovieHeader(const std::string& path, int32_t& timeScale, int64_t& duration);
};
