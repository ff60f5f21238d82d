// The campaign file, read by the data tool's reader: stages in order, a level that follows the
// one before when left out, and every mistake named with its line.

#include "tools/balance/campaign.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace duskwend {

namespace {

TEST(Campaign, ReadsStagesAndFillsInTheirLevels) {
    const Campaign c = parse_campaign("[[stage]]\nname = \"The City\"\nmap = 1\nlevel = 2\n"
                                      "[[stage]]\nname = \"The Sewers\"\nmap = 2\n",
                                      "campaign.toml", 4);
    ASSERT_EQ(c.stages.size(), 2u);
    EXPECT_EQ(c.stages[1].name, "The Sewers");
    EXPECT_EQ(c.stages[1].map, 2);
    EXPECT_EQ(c.stages[1].level, 3);
}

TEST(Campaign, NamesEachMistakeAtItsLine) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "campaign.toml:1: the campaign needs at least one [[stage]]"},
        {"[[stage]]\nname = \"A\"\n", "campaign.toml:1: the stage needs a 'map'"},
        {"[[stage]]\nname = \"A\"\nmap = 0\n", "campaign.toml:1: the stage needs a 'map'"},
        {"[[stage]]\nmap = 1\n\n[[stage]]\nname = \"B\"\nmapp = 2\n",
         "campaign.toml:1: the stage needs a 'name'"},
        {"[[stage]]\nname = \"A\"\nmap = 1\nmapp = 2\n", "campaign.toml:4: unknown field 'mapp'"},
        {"[[stage]]\nname = \"A\"\nmap = 1\nlevel = 101\n",
         "campaign.toml:1: the stage's 'level' should be 1 to 100 (or left out)"},
        {"[[stage]]\nname = \"A\"\nmap = 9\n",
         "campaign.toml:1: stage 'A' (map 9) names a map that does not exist (maps 1..4)"},
        {"[[stage]]\nname = \"A\"\nmap = \n", "campaign.toml:3:"},
    };
    for (const auto& c : cases) {
        try {
            parse_campaign(c.text, "campaign.toml", 4);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

} // namespace

} // namespace duskwend
