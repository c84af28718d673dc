// Modal message boxes and file dialogs. Every question the program asks
// goes through here, so that a test or a script can answer it (SetHook)
// instead of a person.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace UModalAlerts {

enum class Icon { None, Error, Warning, Question, Information };
enum class Buttons { OK, OKCancel, YesNo, YesNoCancel };
enum class Answer { OK, Cancel, Yes, No };

struct Alert {
    Icon icon = Icon::Error;
    Buttons buttons = Buttons::OK;
    QString caption;
    QString text;
};

// Shows the box (owner: the window in front) and returns the button hit.
Answer Show(const Alert& alert);

// What was asked last (tests look at it).
const std::optional<Alert>& LastAlert();
void ClearLastAlert();

using AlertHook = std::function<Answer(const Alert&)>;
// Answers every box instead of showing it; null shows them again.
void SetHook(AlertHook hook);

// ---- File dialogs ----

struct OpenRequest {
    QString title;
    QStringList nameFilters;  // "Movie files (*.mov *.mp4)"
    bool multiple = false;
};
struct SaveRequest {
    QString title;
    QString defaultName;  // file name proposed, without a folder
    QString folder;       // empty: the last folder used, or the home folder
    QStringList nameFilters;
    QString defaultSuffix;  // added when the name typed has none
};

// Chosen paths; empty when cancelled.
std::vector<QString> AskOpen(const OpenRequest& request);
std::optional<QString> AskSave(const SaveRequest& request);

using OpenHook = std::function<std::vector<QString>(const OpenRequest&)>;
using SaveHook = std::function<std::optional<QString>(const SaveRequest&)>;
void SetOpenHook(OpenHook hook);
void SetSaveHook(SaveHook hook);

}  // namespace UModalAlerts
