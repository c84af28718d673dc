// The message boxes of every part: "^0" arguments and the error-code table.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "framework/gui/ErrorMessages.h"
#include "resources/StringLists.h"

namespace {

QString Text(int16_t list, int16_t item) { return QString::fromStdString(GetIndString(list, item)); }

// An argument that holds a marker (a file named "^0") is not substituted again.
TEST(ErrorMessages, ArgumentsReplaceTheMarkersInTurn) {
    EXPECT_EQ(SubstituteArguments("^0 and ^0", "^0", "b"), "^0 and b");
}

// Zero and 10000 are no errors; a code of the table shows its own text,
// any other code its number.
TEST(ErrorMessages, EachCodeShowsItsTextInAnErrorBoxOrNone) {
    guitest::ScriptedDialogs dialogs;
    ShowErrorForCode(0);
    ShowErrorForCode(10000);
    EXPECT_TRUE(dialogs.alerts.empty());
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

}  // namespace
