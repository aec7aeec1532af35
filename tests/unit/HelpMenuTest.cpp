// The help menu and its topic windows, and the bitmap buttons' faces, against
// the in-memory windowing layer.
#include "gui/HelpMenuC.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/native/StandIns.h"
#include "gui/TallyGAppC.h"

namespace {

class HelpMenuTest : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetAll(); }
    // The topic frames open under the dialog, by caption.
    std::vector<std::string> topicFrames() {
        std::vector<std::string> titles;
        for (TWindow* w = Dialog.firstChild(); w != nullptr; w = w->nextSibling())
            if (auto* frame = dynamic_cast<HelpFrameC*>(w)) titles.push_back(frame->Title);
        return titles;
    }

    TWindow Dialog{nullptr, nullptr};
    HelpMenuC* Host = new HelpMenuC(&Dialog);
};

TEST_F(HelpMenuTest, MenuListsTheTopicsUnderAGrayedTitleAtAFixedPlace) {
    const std::vector<standin::MenuEntryS> entries = standin::menuEntries(Host->Popup);
    const std::vector<std::string> texts = {
        "<< Tallywave Help >>", "Overview of Tallywave", "", "Spike Height",      "Spike Width",
        "Check Files",          "Count Files",           "", "About this program"};
    ASSERT_EQ(entries.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(entries[i].text, texts[i]);
    EXPECT_EQ(entries[0].flags, TPopupMenu::Grayed);
    EXPECT_EQ(entries[0].id, 288);
    EXPECT_EQ(entries[2].flags, TPopupMenu::Separator);
    EXPECT_EQ(entries[8].id, 294);

    ASSERT_TRUE(Host->popMenu());
    const standin::MenuTrackS track = standin::lastMenuTrack();
    EXPECT_EQ(track.x, 250);
    EXPECT_EQ(track.y, 250);
    EXPECT_EQ(track.flags, TPopupMenu::CenterAlign);
    EXPECT_EQ(track.owner, Host);
    Host->command(288, 0);  // the title does nothing
    EXPECT_TRUE(topicFrames().empty());
}

// Each topic has at most one window: choosing it again, also after the user
// closed its window, gives a fresh one; a frame that goes marks it closed.
TEST_F(HelpMenuTest, EachTopicOpensOneWindowWithItsCaptionAndText) {
    for (int id = 289; id <= 294; ++id) Host->command(id, 0);
    EXPECT_EQ(topicFrames(),
              (std::vector<std::string>{"1 Tallywave Overview Help", "2 Height Parameter Help",
                                        "3 Width Parameter Help", "4 Check Command Help",
                                        "5 Count Command Help", "6 Help About Tallywave"}));
    for (bool open : Fx.Open) EXPECT_TRUE(open);
    EXPECT_EQ(standin::editOf(Fx.WidthP->TextP).Shown, HelpTopicTexts[2]);
    EXPECT_EQ(Fx.WidthP->TextP->Attr.Style & (ws::HScroll | ws::VScroll), 0UL);

    HelpFrameC* first = Fx.HeightP->FrameP;
    first->destroyWindow();  // the user closes it
    EXPECT_TRUE(Fx.Open[1]);
    Host->command(290, 0);
    Host->command(290, 0);
    EXPECT_EQ(topicFrames().size(), 6u);
    EXPECT_TRUE(Fx.HeightP->FrameP->created());

    delete Fx.AboutP->FrameP;
    EXPECT_FALSE(Fx.Open[5]);
    EXPECT_EQ(topicFrames().size(), 5u);
    Host->command(294, 0);
    EXPECT_EQ(topicFrames().size(), 6u);
}

// A full redraw shows the up face, also with the focus; a press the down
// face; letting go and getting the focus the focus face; losing it the up one.
TEST(ButtonMapTest, FacesFollowPressAndFocus) {
    standin::resetAll();
    ButtonMapC button(nullptr, 275, 392, 120, 60, 30, 1275, 3275, 5275);
    const auto draw = [&](unsigned action, unsigned state) {
        DrawItemS item;
        item.Action = action;
        item.State = state;
        button.drawItem(item);
    };
    draw(DrawItemS::DrawEntire, DrawItemS::Focused);
    draw(DrawItemS::SelectChanged, DrawItemS::Selected | DrawItemS::Focused);
    draw(DrawItemS::SelectChanged, DrawItemS::Focused);
    draw(DrawItemS::FocusChanged, 0);
    draw(DrawItemS::FocusChanged, DrawItemS::Focused);
    EXPECT_EQ(standin::drawnBitmaps(), (std::vector<int>{1275, 3275, 5275, 1275, 5275}));
}

}  // namespace
