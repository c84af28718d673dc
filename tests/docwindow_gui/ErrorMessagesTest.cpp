// The message boxes of every part: "^0" arguments and the error-code table.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "framework/gui/ErrorMessages.h"
#include "resources/StringLists.h"

namespace {

QString Text(int16_t list, int16_t item) { return QString::fromStdString(GetIndString(list, item)); }

TEST(ErrorMessages, ArgumentsReplaceTheMarkersInTurn) {
    EXPECT_EQ(SubstituteArguments("Delete \"^0\" from \"^0\"?", "a.QTcd", "Presets"),
              "Delete \"a.QTcd\" from \"Presets\"?");
    EXPECT_EQ(SubstituteArguments("Only ^0 here ^0", "one", nullptr), "Only one here ^0");
    EXPECT_EQ(SubstituteArguments("No marker", "x", "y"), "No marker");
    // An argument that holds a marker is not substituted again.
    EXPECT_EQ(SubstituteArguments("^0 and ^0", "^0", "b"), "^0 and b");
}

// Zero and 10000 are no errors; every code of the table has its own text,
// any other code shows its number.
TEST(ErrorMessages, EachCodeShowsItsTextInAnErrorBoxOrNone) {
    guitest::ScriptedDialogs dialogs;
    EXPECT_EQ(ErrorItemForCode(0), int16_t(0));
    EXPECT_EQ(ErrorItemForCode(10000), int16_t(0));
    ShowErrorForCode(0);
    ShowErrorForCode(10000);
    EXPECT_TRUE(dialogs.alerts.empty());

    std::vector<int32_t> codes = {-1753, -108, -47, -43, int32_t(FourCC("nilP"))};
    for (int32_t code = 10001; code <= 10012; ++code) codes.push_back(code);
    for (int32_t code : codes) {
        ASSERT_TRUE(ErrorItemForCode(code).has_value()) << code;
        EXPECT_FALSE(GetIndString(kErrorStringList, *ErrorItemForCode(code)).empty()) << code;
    }
    EXPECT_FALSE(ErrorItemForCode(-50).has_value());
    EXPECT_FALSE(ErrorItemForCode(10013).has_value());
    ShowErrorForCode(-43);
    ShowErrorForCode(int32_t(FourCC("nilP")));
    ShowErrorForCode(-5000);
    ASSERT_EQ(dialogs.alerts.size(), 3u);
    EXPECT_EQ(dialogs.alerts[0].text, Text(1100, 26));
    EXPECT_EQ(dialogs.alerts[1].text, Text(1100, 30));
    EXPECT_EQ(dialogs.alerts[2].text,
              QString::fromStdString(SubstituteArguments(GetIndString(4242, 7), "-5000", nullptr)));
    for (const auto& alert : dialogs.alerts) {
        EXPECT_EQ(alert.caption, QStringLiteral("Error"));
        EXPECT_EQ(alert.icon, UModalAlerts::Icon::Error);
        EXPECT_EQ(alert.buttons, UModalAlerts::Buttons::OK);
    }
}

TEST(ErrorMessages, QuestionsAnswerYesOnlyForYes) {
    guitest::ScriptedDialogs dialogs;
    dialogs.answers = {UModalAlerts::Answer::Yes, UModalAlerts::Answer::No};
    EXPECT_TRUE(AskYesNo(4242, 15));
    EXPECT_FALSE(AskYesNo(4242, 15));
    EXPECT_EQ(dialogs.alerts[0].icon, UModalAlerts::Icon::Question);
    EXPECT_FALSE(dialogs.alerts[0].caption.isEmpty());
    EXPECT_NE(dialogs.alerts[0].caption, QStringLiteral("Error"));  // a question is no error
    dialogs.answers = {UModalAlerts::Answer::Cancel};
    EXPECT_FALSE(ShowErrorMessage(1100, 26, nullptr, nullptr, true));
    EXPECT_EQ(dialogs.alerts.back().buttons, UModalAlerts::Buttons::OKCancel);
    // A missing item shows nothing.
    EXPECT_FALSE(ShowErrorMessage(1100, 200));
    EXPECT_EQ(dialogs.alerts.size(), 3u);
}

}  // namespace
