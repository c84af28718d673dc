// The message boxes every part of the program uses to tell the user
// something: texts from the string lists, "^0" replaced by the arguments
// in turn, in a box captioned "Error" (questions: the program's name) owned by the
// window in front.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

// List 1100 holds the messages for error codes; 4242 item 7 is the
// message for a code without its own text.
constexpr int16_t kErrorStringList = 1100;
constexpr int16_t kDocumentStringList = 4242;
constexpr int16_t kUnknownErrorItem = 7;

// Each "^0" in turn gets the next argument; missing arguments leave the
// rest as it is.
std::string SubstituteArguments(std::string text, const char* first, const char* second);

// Shows the item with the error icon; true when the box was shown (and,
// with okCancel, the user chose OK). A missing item shows nothing.
bool ShowErrorMessage(int16_t list, int16_t item, const char* first = nullptr,
                      const char* second = nullptr, bool okCancel = false);
// The same with a number in decimal as the first argument.
bool ShowErrorMessageNumber(int16_t list, int16_t item, int32_t number, bool okCancel = false);
// A text shown as it stands, with the error or the warning icon.
void ShowErrorText(const QString& text);
void ShowWarningText(const QString& text);
// A yes/no question with the question icon, captioned with the program's
// name; true for Yes.
bool AskYesNo(int16_t list, int16_t item, const char* text = nullptr);
bool AskYesNoText(const QString& question);

// The item of list 1100 for an error code; 0 when the code shows nothing
// (0 and 10000); none for a code without its own message.
std::optional<int16_t> ErrorItemForCode(int32_t code);
// Shows the message for an error code (nothing for 0 and 10000; item 7 of
// list 4242 with the number for codes without their own message).
void ShowErrorForCode(int32_t code);
