#include "Boxes.h"

#include <gtest/gtest.h>

namespace saberline {
namespace {

TEST(ApplicationTitle, NameBeforeFirstDotFirstCharacterKeepsCase) {
    EXPECT_EQ(ApplicationTitle("/usr/bin/saberline"), "saberline");
    EXPECT_EQ(ApplicationTitle("C:/Games/SABERLINE.EXE"), "Saberline");
    EXPECT_EQ(ApplicationTitle("Saber.Line.exe"), "Saber");
    EXPECT_EQ(ApplicationTitle("./ui_tests"), "ui_tests");
    EXPECT_EQ(ApplicationTitle("BaTTle"), "Battle");
}

TEST(ErrorBoxText, FullStopAfterCharactersAboveThePoint) {
    EXPECT_EQ(ErrorBoxText(""), "");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Failed!"), "Failed!");  // '!' is below '.'
    EXPECT_EQ(ErrorBoxText("Failed,"), "Failed,");  // ',' is below '.'
    EXPECT_EQ(ErrorBoxText("a/"), "a/.");
    EXPECT_EQ(ErrorBoxText("Ошибка"), "Ошибка.");
}

}  // namespace
}  // namespace saberline
