#include "framework/gui/ErrorMessages.h"

#include <QGuiApplication>

#include "framework/FourCharCode.h"
#include "framework/gui/UModalAlerts.h"
#include "resources/StringLists.h"

namespace {

constexpr const char* kErrorCaption = "Error";

struct CodeItem {
    int32_t code;
    int16_t item;
};

constexpr CodeItem kCodeItems[] = {
    {-1753, 27}, {-108, 38},  {-47, 28},   {-43, 26},   {10001, 21}, {10002, 22},
    {10003, 23}, {10004, 24}, {10005, 25}, {10006, 29}, {10007, 31}, {10008, 32},
    {10009, 33}, {10010, 34}, {10011, 35}, {10012, 36}, {int32_t(FourCC("nilP")), 30},
};

UModalAlerts::Answer ShowText(const std::string& text, UModalAlerts::Icon icon, UModalAlerts::Buttons buttons,
                              const char* caption = kErrorCaption) {
    UModalAlerts::Alert alert;
    alert.icon = icon;
    alert.buttons = buttons;
    alert.caption = QString::fromUtf8(caption);
    alert.text = QString::fromStdString(text);
    return UModalAlerts::Show(alert);
}

}  // namespace

std::string SubstituteArguments(std::string text, const char* first, const char* second) {
    size_t from = 0;
    for (const char* argument : {first, second}) {
        if (argument == nullptr) continue;
        const size_t at = text.find("^0", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, argument);
        from = at + std::char_traits<char>::length(argument);
    }
    return text;
}

bool ShowErrorMessage(int16_t list, int16_t item, const char* first, const char* second, bool okCancel) {
    const std::string message = GetIndString(list, item);
    if (message.empty()) return false;
    const auto answer =
        ShowText(SubstituteArguments(message, first, second), UModalAlerts::Icon::Error,
                 okCancel ? UModalAlerts::Buttons::OKCancel : UModalAlerts::Buttons::OK);
    return answer == UModalAlerts::Answer::OK;
}

bool ShowErrorMessageNumber(int16_t list, int16_t item, int32_t number, bool okCancel) {
    const std::string text = std::to_string(number);
    return ShowErrorMessage(list, item, text.c_str(), nullptr, okCancel);
}

void ShowErrorText(const QString& text) {
    ShowText(text.toStdString(), UModalAlerts::Icon::Error, UModalAlerts::Buttons::OK);
}

void ShowWarningText(const QString& text) {
    ShowText(text.toStdString(), UModalAlerts::Icon::Warning, UModalAlerts::Buttons::OK);
}

bool AskYesNo(int16_t list, int16_t item, const char* text) {
    return AskYesNoText(QString::fromStdString(SubstituteArguments(GetIndString(list, item), text, nullptr)));
}

// A question is no error: it carries the program's name, as the desktop's
// own confirmations do.
bool AskYesNoText(const QString& question) {
    UModalAlerts::Alert alert;
    alert.icon = UModalAlerts::Icon::Question;
    alert.buttons = UModalAlerts::Buttons::YesNo;
    alert.caption = QGuiApplication::applicationDisplayName();
    alert.text = question;
    return UModalAlerts::Show(alert) == UModalAlerts::Answer::Yes;
}

std::optional<int16_t> ErrorItemForCode(int32_t code) {
    if (code == 0 || code == 10000) return int16_t(0);
    for (const CodeItem& entry : kCodeItems)
        if (entry.code == code) return entry.item;
    return std::nullopt;
}

void ShowErrorForCode(int32_t code) {
    const std::optional<int16_t> item = ErrorItemForCode(code);
    if (!item) {
        ShowErrorMessageNumber(kDocumentStringList, kUnknownErrorItem, code);
        return;
    }
    if (*item != 0) ShowErrorMessage(kErrorStringList, *item);
}
