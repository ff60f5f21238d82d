// The soak finds what breaks: a rule broken on purpose stops it with the problem named, and a
// sound game plays through without a false alarm even when every key is a script of its own.
#include "core/game.h"
#include "guildhall/guild_hall.h"
#include "soak.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>

namespace duskwend {

namespace {

SoakOptions options(uint64_t keys) {
    SoakOptions o;
    o.data_dir = DUSKWEND_BUILD_DATA_DIR;
    o.total_keys = keys;
    o.keys_per_seed = 1500;
    o.replay_dir = testing::TempDir();
    return o;
}

TEST(Soak, StopsAtAPlantedFault) {
    const struct {
        const char* fault;
        std::function<void(Game&)> plant;
        const char* found;
    } cases[] = {
        {"a step in the city wears out the first thing carried, and leaves it held at none",
         [](Game& g) {
             g.screens.city_key = [real = g.screens.city_key](Game& game) {
                 const int events = real(game);
                 auto& slot = game.party[0].pack[0];
                 if (slot[PACK_ITEM] > 0 && slot[PACK_QUANTITY] > 0) --slot[PACK_QUANTITY];
                 return events;
             };
         },
         "carries item"},
        {"the shop sells to a member without the crowns for it",
         [](Game& g) {
             // Lends every member a fortune while the shop acts and takes it back afterwards:
             // a purchase the member could not afford leaves a debt.
             g.screens.draw_shop = [real = g.screens.draw_shop](Game& game) {
                 constexpr int32_t loan = 1'000'000;
                 for (auto& member : game.party) member.crowns += loan;
                 real(game);
                 for (auto& member : game.party) member.crowns -= loan;
             };
         },
         "crowns"},
        {"taking a member out of the party loses the character instead of keeping it",
         [](Game& g) {
             g.screens.draw_guild_hall = [real = g.screens.draw_guild_hall](Game& game) {
                 const bool removing = game.location_step == GUILD_REMOVE;
                 real(game);
                 if (removing)
                     for (auto& c : game.roster)
                         if (c.in_use > 0) {
                             c.in_use = 0;
                             break;
                         }
             };
         },
         "vanished"},
    };
    for (const auto& c : cases) {
        SoakOptions o = options(60000);
        o.adjust_game = c.plant;
        const SoakResult r = run_soak(o);
        EXPECT_NE(r.problem.find(c.found), std::string::npos)
            << c.fault << ": the soak said \"" << r.problem << "\" after " << r.keys << " keys";
        std::cout << c.fault << ": found after " << r.keys << " keys: " << r.problem << "\n";
    }
}

TEST(Soak, EveryKeyAScriptOfItsOwnGivesNoFalseAlarm) {
    SoakOptions o = options(6000);
    o.script_length = 1;
    const SoakResult r = run_soak(o);
    EXPECT_EQ(r.problem, "");
    EXPECT_GE(r.keys, 6000u);
    // Casting and the overlays are played, not only walking and fighting.
    EXPECT_FALSE(r.coverage.overlays.empty());
}

} // namespace

} // namespace duskwend
