#include "common/ui/error_box.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace capacimo {
namespace {

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(errorBoxText("Access denied"), "Access denied.");
    EXPECT_EQ(errorBoxText("code 5"), "code 5.");
    EXPECT_EQ(errorBoxText("path /"), "path /.");  // '/' sorts after '.'
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("No units available!"), "No units available!");
    EXPECT_EQ(errorBoxText("for 'Last'"), "for 'Last'");
    EXPECT_EQ(errorBoxText("(x)"), "(x)");
    EXPECT_EQ(errorBoxText(QString::fromUtf8("f\xC3\xBC")), QString::fromUtf8("f\xC3\xBC."));
    EXPECT_EQ(errorBoxText(""), "");
    // Details on the lines after the message: the full stop ends the message.
    EXPECT_EQ(errorBoxText("misslungen\n/x/a.lock: Is a directory"), "misslungen.\n/x/a.lock: Is a directory");
    EXPECT_EQ(errorBoxText("for 'Last'\nb"), "for 'Last'\nb");
}

TEST(ErrorBoxText, TheFailureBeingHandledIsNamedEvenWithoutAMessage) {
    try {
        throw std::runtime_error("Erzeugung von Schl\xC3\xBCssel Settings misslungen");
    } catch (...) {
        EXPECT_EQ(currentExceptionMessage(), QString::fromUtf8("Erzeugung von Schl\xC3\xBCssel Settings misslungen"));
    }
    try {
        throw 42;
    } catch (...) {
        EXPECT_FALSE(currentExceptionMessage().isEmpty());
    }
}

}  // namespace
}  // namespace capacimo
