// Dialog-unit layout: base units from font measurements and the mapping of template rectangles.
#include <gtest/gtest.h>

#include "resources/DialogTemplates.h"
#include "resources/DialogUnits.h"

namespace hvx::test {
namespace {

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    };
    for (const Case& k :
         {Case{9, 96, 72, 12}, Case{8, 96, 72, 11}, Case{10, 96, 72, 13}, Case{1, 1, 2, 1},
          Case{-1, 1, 2, -1}, Case{3, 5, 4, 4}, Case{7, 6, 4, 11}, Case{5, 6, 4, 8},
          Case{2, 3, 0, 0}, Case{-7, 6, -4, 11}, Case{100000, 100000, 100000, 100000}})
        EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.expected) << k.a << "*" << k.b << "/" << k.c;
}

TEST(DialogUnits, FontHeightFollowsTheScreenResolution) {
    EXPECT_EQ(FontPixelHeight(9, 96), 12);
    EXPECT_EQ(FontPixelHeight(8, 96), 11);
    EXPECT_EQ(FontPixelHeight(9, 192), 24);
    EXPECT_EQ(FontPixelHeight(9, 120), 15);
}

TEST(DialogUnits, BaseUnitsAreTheRoundedAverageLetterWidthAndTheFontHeight) {
    // 52 letters: 285 px averages 5.48 → 5, 286 px averages 5.5 → 6.
    EXPECT_EQ(BaseUnitsFromFont(285, 14).x, 5);
    EXPECT_EQ(BaseUnitsFromFont(286, 14).x, 6);
    EXPECT_EQ(BaseUnitsFromFont(286, 14).y, 14);
    // Nothing measured still lays out.
    const DialogBaseUnits none = BaseUnitsFromFont(0, 0);
    EXPECT_EQ(none.x, 1);
    EXPECT_EQ(none.y, 1);
}

TEST(DialogUnits, RectanglesScaleByAQuarterAndAnEighth) {
    const DialogBaseUnits units{6, 15};
    // The Settings OK button, 69,171 50x15.
    const PixelRect ok = MapDialogRect(69, 171, 50, 15, units);
    EXPECT_EQ(ok.x, 104);      // 69*6/4 = 103.5
    EXPECT_EQ(ok.y, 321);      // 171*15/8 = 320.6
    EXPECT_EQ(ok.width, 75);   // 50*6/4
    EXPECT_EQ(ok.height, 28);  // 15*15/8 = 28.1
    // The classic system font base units give the familiar sizes.
    const PixelRect dialog = MapDialogRect(0, 0, 191, 199, DialogBaseUnits{6, 13});
    EXPECT_EQ(dialog.width, 287);
    EXPECT_EQ(dialog.height, 323);
}

TEST(DialogUnits, EveryTemplateControlFitsInsideItsDialog) {
    // Checked in pixels with typical Arial base units, so a rounding slip shows up as overflow.
    for (const DialogBaseUnits units :
         {DialogBaseUnits{5, 14}, DialogBaseUnits{6, 15}, DialogBaseUnits{11, 29}}) {
        for (const DialogTemplate* t : AllDialogTemplates()) {
            const PixelRect frame = MapDialogRect(0, 0, t->cx, t->cy, units);
            for (const ControlTemplate& c : t->controls) {
                if (c.cls == ControlClass::ComboBox) continue;  // its height is the drop list's
                const PixelRect r = MapDialogRect(c.x, c.y, c.cx, c.cy, units);
                EXPECT_GE(r.x, 0) << t->caption << " " << c.text;
                EXPECT_GE(r.y, 0) << t->caption << " " << c.text;
                EXPECT_LE(r.x + r.width, frame.width) << t->caption << " " << c.text;
                EXPECT_LE(r.y + r.height, frame.height) << t->caption << " " << c.text;
            }
        }
    }
}

}  // namespace
}  // namespace hvx::test
