#include "app/SettingsSource.h"

#include <filesystem>

#include "platform/files/DropletFile.h"
#include "framework/LException.h"
#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SourceErrors.h"

bool LoadSettingsRecord(const std::string& path, Handle& out, std::string& why) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        why = "\"" + path + "\" is not a file that can be read";
        return false;
    }
    // A movie keeps its settings as user data.
    try {
        Handle stored = MovieUserData::Read(path);
        if (!stored.IsNull() && stored.Size() > 0) {
            out = std::move(stored);
            return true;
        }
        why = "\"" + path + "\" is a movie without stored settings";
        return false;
    } catch (const LException& e) {
        if (e.Code() != kNoMovieFoundErr) {
            why = "\"" + path + "\" cannot be read: " + e.what();
            return false;
        }
    }
    return ReadSettingsBlockFromFile(path, out, why);
}
