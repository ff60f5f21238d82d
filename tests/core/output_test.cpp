// The status panel, the message area, the page buffer and the small text helpers.
#include "core/game.h"
#include "core/output.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace duskwend {

namespace {

// Counts pauses and repaints, and what the message area showed at each pause.
class WatchingHost final : public Host {
  public:
    void repaint(Game&) override { ++repaints; }
    void pause(Game& g, double seconds) override {
        paused_for.push_back(seconds);
        lines_at_pause.push_back(g.message_lines);
        runs_at_pause.push_back(g.Form1.Text.runs());
    }
    int repaints = 0;
    std::vector<double> paused_for;
    std::vector<std::array<std::string, MESSAGE_LINE_COUNT>> lines_at_pause;
    std::vector<std::vector<TextRun>> runs_at_pause;
};

struct OutputTest : ::testing::Test {
    OutputTest() {
        g.host = &host;
        g.set_font(&fixture::real_font());
    }
    std::vector<std::string> texts(const PictureArea& a) {
        std::vector<std::string> out;
        for (const auto& r : a.runs())
            out.push_back(std::to_string(r.y) + " " + std::to_string(r.x) + " " + r.text);
        return out;
    }
    Game g;
    WatchingHost host;
};

TEST_F(OutputTest, StatusPanelColumns) {
    PartyMemberRec& a = g.party[0];
    a.in_use = 1, a.name = "Corvath", a.hit_points = 10, a.max_hit_points = 10, a.armour_class = 19;
    PartyMemberRec& b = g.party[2];
    b.in_use = 1, b.name = "Tallow", b.hit_points = 0, b.max_hit_points = 6, b.magic_points = 3,
    b.max_magic_points = 120, b.armour_class = -2;
    sub_display_char_status(g);
    const auto& runs = g.Form1.SideText.runs();
    EXPECT_EQ(texts(g.Form1.SideText),
              (std::vector<std::string>{"0 0 No.", "0 20 Name", "0 80 Hits", "0 140 Mana",
                                        "0 200 AC", "26 0  1.", "26 20 Corvath             ",
                                        "26 80  10", "26 100 / 10", "26 140  0", "26 160 / 0",
                                        "26 200  19", "39 0  3.", "39 20 Tallow              ",
                                        "39 80 DEAD", "39 140  3", "39 160 / 120", "39 200 -2"}));
    EXPECT_EQ(runs[5].colour, 1) << "the number in colour 1";
    EXPECT_EQ(runs[6].colour, 0) << "the rest in colour 0";
}

TEST_F(OutputTest, FirstMessageGoesToLineOneAndPausesOnce) {
    g.message_delay = 0.5;
    sub_show_message(g, "Hello there.");
    EXPECT_EQ(g.message_lines[0], "");
    EXPECT_EQ(g.message_lines[1], "Hello there. ");
    ASSERT_EQ(host.paused_for, std::vector<double>{0.5});
    const auto runs = texts(g.Form1.Text);
    EXPECT_EQ(runs, (std::vector<std::string>{"13 0 Hello there. "}));
    g.message_delay = 0;
    sub_show_message(g, "No pause.");
    EXPECT_EQ(host.paused_for.size(), 1u);
}

TEST_F(OutputTest, ThePauseSeesFreshPartyValues) {
    PartyMemberRec& m = g.party[0];
    m.in_use = 1, m.base_strength = 12;
    g.message_delay = 0.5;
    int strength_at_pause = -1;
    struct Peek final : Host {
        int* seen;
        explicit Peek(int* s) : seen(s) {}
        void pause(Game& game, double) override { *seen = game.party[0].strength; }
    } peek(&strength_at_pause);
    g.host = &peek;
    sub_show_message(g, "A spell takes hold.");
    EXPECT_EQ(strength_at_pause, 12) << "current values are derived before the pause";
}

TEST_F(OutputTest, LongMessagesWrapWithABlankAndPauseOnceAfterAllLines) {
    g.message_delay = 0.5;
    const std::string text =
        "The party walks down the long and winding street past the old well and the ruined "
        "shrine until it reaches the gate of the undercity, where a cold wind blows.";
    sub_show_message(g, text);
    ASSERT_EQ(host.paused_for.size(), 1u) << "three lines, one pause";
    EXPECT_GE(g.message_line, 3);
    std::string joined;
    for (int k = 1; k <= g.message_line; ++k) {
        EXPECT_LE(g.Form1.Text.TextWidth(g.message_lines[k]), MESSAGE_WIDTH) << g.message_lines[k];
        if (k > 1) {
            EXPECT_EQ(g.message_lines[k][0], ' ') << "continuations start with a blank";
        }
        joined += g.message_lines[k];
    }
    // Nothing is lost: the words come back in order.
    std::string squeezed;
    for (char c : joined)
        if (!(c == ' ' && !squeezed.empty() && squeezed.back() == ' ')) squeezed += c;
    EXPECT_EQ(squeezed.substr(0, text.size()), text);
    // All lines were stored and shown before the pause, and shown again after it.
    EXPECT_EQ(host.lines_at_pause[0][g.message_line], g.message_lines[g.message_line]);
    EXPECT_EQ(host.runs_at_pause[0], g.Form1.Text.runs());
    EXPECT_EQ(host.repaints, g.message_line)
        << "one frame per line; the first line's comes after the pause";
}

TEST_F(OutputTest, AWordWiderThanTheAreaIsBrokenNotLooped) {
    const std::string word(120, 'W');
    sub_show_message(g, "x " + word);
    std::string all;
    for (int k = 1; k <= g.message_line; ++k) {
        EXPECT_LE(g.Form1.Text.TextWidth(g.message_lines[k]), MESSAGE_WIDTH);
        all += g.message_lines[k];
    }
    EXPECT_EQ(std::count(all.begin(), all.end(), 'W'), 120);
}

TEST_F(OutputTest, TheAreaScrollsAtLine25AndClearsOnMinusOne) {
    g.message_line = -1;
    for (int k = 0; k < 27; ++k) sub_show_message(g, "m" + std::to_string(k));
    EXPECT_EQ(g.message_line, 25);
    EXPECT_EQ(g.message_lines[0], "m1 ") << "line 0 holds what was line 1";
    EXPECT_EQ(g.message_lines[25], "m26 ");
    EXPECT_EQ(g.Form1.Text.runs().size(), 26u);
    g.message_line = -1;
    sub_show_message(g, "fresh");
    EXPECT_EQ(g.message_lines[0], "fresh ");
    EXPECT_EQ(g.message_lines[1], "");
    EXPECT_EQ(g.message_depth, 0);
}

TEST_F(OutputTest, APageReprintedOverItselfKeepsEachRunOnce) {
    g.page_line = -1;
    g.Form1.Text.Cls();
    for (const char* line : {"one", "two", "three"}) sub_print_wrapped(g, line);
    EXPECT_EQ(texts(g.Form1.Text),
              (std::vector<std::string>{"0 0 one ", "13 0 two ", "26 0 three "}));
}

TEST_F(OutputTest, TextBlockMarkers) {
    const auto block = [&](const std::string& text) {
        g.page_line = -1;
        g.Form1.Text.Cls();
        sub_print_text_block(g, text);
        return std::vector<std::string>(g.page_lines.begin(),
                                        g.page_lines.begin() + g.page_line + 1);
    };
    EXPECT_EQ(block("A\\nB\\NC"), (std::vector<std::string>{"A ", "B ", " ", "C "}));
    EXPECT_EQ(block("A\\n\\nB"), (std::vector<std::string>{"A ", "\\nB "}))
        << "a marker right after a marker is text";
    EXPECT_EQ(block("A"), (std::vector<std::string>{"A "}));
    EXPECT_EQ(block("\\nA"), (std::vector<std::string>{" ", "A "}));
    EXPECT_TRUE(host.paused_for.empty()) << "the page buffer never pauses";
}

TEST_F(OutputTest, RightAlignedAndNames) {
    g.Form1.Text.CurrentY = 26;
    sub_print_right_aligned(g, "100", 200);
    const TextRun& r = g.Form1.Text.runs().back();
    EXPECT_EQ(r.x + g.Form1.Text.TextWidth("100"), 200);
    EXPECT_EQ(r.y, 26);
    EXPECT_EQ(sub_class_name(4), "Berserker");
    EXPECT_EQ(sub_class_name(8), "");
    EXPECT_EQ(sub_race_name(4), "Half-Elf");
    EXPECT_EQ(sub_race_name(5), "");
    g.party[1].sex = 1;
    g.party[2].sex = 2;
    EXPECT_EQ(sub_possessive(g, -1), "their");
    EXPECT_EQ(sub_possessive(g, 1), "his");
    EXPECT_EQ(sub_possessive(g, 2), "her");
    for (int who : {7, 8, 9, -2, 16}) EXPECT_EQ(sub_possessive(g, who), "") << who;
}

TEST_F(OutputTest, PossessiveOfAMonsterGroup) {
    fixture::SmallWorldDir dir("possessive");
    fixture::StartedGame s(dir.path);
    s.g.monster_groups[1].monster = 2; // the wolf is female in the small world
    s.g.monster_groups[0].monster = 1;
    EXPECT_EQ(sub_possessive(s.g, 11), "her");
    EXPECT_EQ(sub_possessive(s.g, 10), "its");
}

} // namespace

} // namespace duskwend
