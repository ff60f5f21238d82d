// duskwend-balance: plays many fights of the shipped world without a window and prints how
// often a new party survives them, so a change to the world can be judged by its numbers.
//
// Each trial starts the game afresh, creates a Cleric and a Mage in the guild hall beside the
// two characters every new game has, takes all four into the party and enters the city. Then
// it meets the map's random encounters one after another, without rest in between. Every
// round each living member in the front four attacks the first group; the rest defend.
//
// `duskwend-balance career` plays whole careers instead: new parties through the campaign of
// content/campaign.toml (tools/balance/career.h).

#include "combat/combat.h"
#include "core/city_map.h"
#include "core/datafiles.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/rules.h"
#include "platform/keys.h"
#include "screens/register_screens.h"
#include "tools/balance/career.h"
#include "tools/balance/economy.h"
#include "tools/balance/report.h"
#include "tools/balance/session.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <chrono>
#include <exception>
#include <fstream>
#include <mutex>
#include <thread>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace duskwend {

namespace {

void type(Game& g, const std::string& script) {
    for (const KeyPress& k : parse_key_script(script)) {
        int16_t code = k.code;
        Form_KeyDown(g, code, k.shift);
    }
}

// Fighter, Thief, Cleric, Mage from front to back.
void order_party(Game& g) {
    static constexpr int order[] = {CLASS_FIGHTER, CLASS_THIEF, CLASS_CLERIC, CLASS_MAGE};
    for (int want = 0; want < 4; ++want)
        for (int s = want; s < PARTY_SIZE; ++s)
            if (g.party[s].in_use > 0 && g.party[s].class_id == order[want]) {
                sub_swap_party_members(g, want, s);
                break;
            }
}

int living(const Game& g) {
    return int(std::count_if(g.party.begin(), g.party.end(), [](const PartyMemberRec& p) {
        return p.in_use > 0 && p.hit_points > 0;
    }));
}

std::string first_group_name(Game& g) {
    sub_read_monster(g, g.monster_groups[0].monster);
    return g.monster_rec.plural_name.trimmed();
}

enum class Outcome { Won, Lost, Endless };

// Fights the encounter now set up to its end.
Outcome fight(Game& g, int& rounds) {
    for (rounds = 1; rounds <= 200; ++rounds) {
        for (int s = 0; s < PARTY_SIZE; ++s)
            g.combat_actions[s] = {int16_t(s < 4 ? ACTION_ATTACK : ACTION_DEFEND), 0, 0, 0};
        g.combat_step = COMBAT_ROUND;
        g.one_time_step = {};
        sub_draw_combat_end(g);
        sub_combat_end_key(g);
        if (g.combat_step == COMBAT_ENCOUNTER) continue;
        const bool won = g.combat_step == COMBAT_VICTORY;
        g.one_time_step = {};
        sub_draw_combat_end(g);
        sub_combat_end_key(g);
        return won ? Outcome::Won : Outcome::Lost;
    }
    g.combat_active = 0;
    return Outcome::Endless;
}

struct Tally {
    int met = 0, won = 0, lost = 0, endless = 0;
    long rounds = 0, members_lost = 0;
};

void print_rate(const char* what, const Tally& t) {
    if (t.met == 0) return;
    std::printf("  %-22s %6d fights  won %5.1f%%  lost %5.1f%%  endless %4.1f%%  %4.1f rounds"
                "  %4.2f members lost\n",
                what, t.met, 100.0 * t.won / t.met, 100.0 * t.lost / t.met,
                100.0 * t.endless / t.met, double(t.rounds) / t.met,
                double(t.members_lost) / t.met);
}

struct CareerCommand {
    std::string data_dir = DUSKWEND_BUILD_DATA_DIR;
    std::string campaign = DUSKWEND_CONTENT_DIR "/campaign.toml";
    int trials = 200;
    uint64_t seed = 1;
    long key_limit = CareerOptions{}.key_limit;
    int judging_trials = CareerOptions{}.judging_trials;
    int jobs = 1;
    std::string json, plot;
    bool trace = false;
};

int run_career(const CareerCommand& c) {
    CareerOptions options;
    options.data_dir = c.data_dir;
    options.key_limit = c.key_limit;
    options.judging_trials = std::max(1, c.judging_trials);
    if (c.trace) options.trace = stderr;
    std::vector<CareerRecord> careers;
    try {
        int maps = 0;
        {
            HeadlessGame world(c.data_dir, 1);
            while (map_in_file(world.g, maps + 1)) ++maps;
        }
        options.campaign = load_campaign(c.campaign, maps);
        // Each party plays a game of its own, so parties play side by side; the figures are
        // those of playing them one after another.
        const auto start = std::chrono::steady_clock::now();
        careers.resize(static_cast<std::size_t>(std::max(0, c.trials)));
        std::atomic<int> next = 0, played = 0;
        std::mutex report;
        std::exception_ptr failure;
        const auto work = [&] {
            for (int t; (t = next++) < c.trials;) {
                try {
                    careers[static_cast<std::size_t>(t)] =
                        play_career(options, c.seed + uint64_t(t));
                } catch (...) {
                    const std::lock_guard lock(report);
                    if (!failure) failure = std::current_exception();
                    next = c.trials;
                    return;
                }
                const std::lock_guard lock(report);
                const double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                std::fprintf(stderr, "\r%d of %d parties played, %.0f s", ++played, c.trials,
                             seconds);
            }
        };
        std::vector<std::thread> workers;
        for (int k = 1; k < std::clamp(c.jobs, 1, 64); ++k) workers.emplace_back(work);
        work();
        for (std::thread& w : workers) w.join();
        if (failure) std::rethrow_exception(failure);
        std::fprintf(stderr, "\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "duskwend-balance: %s\n", e.what());
        return 1;
    }
    const CareerSummary summary = summarise(options.campaign, careers);
    print_summary(summary, stdout);
    if (!c.json.empty()) {
        std::ofstream out(c.json);
        out << summary_json(summary).dump(2) << "\n";
        if (!out) {
            std::fprintf(stderr, "duskwend-balance: %s: cannot be written\n", c.json.c_str());
            return 1;
        }
    }
    if (!c.plot.empty()) {
        try {
            if (const CareerRecord* median = median_career(careers))
                draw_career_plot(options.campaign, *median, c.plot,
                                 std::filesystem::path(c.data_dir) / "font.ttf");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "duskwend-balance: %s\n", e.what());
            return 1;
        }
    }
    return 0;
}

} // namespace

} // namespace duskwend

int main(int argc, char** argv) {
    using namespace duskwend;
    CLI::App app{"Plays many fights of the world headless and prints survival rates."};
    std::string data_dir = DUSKWEND_BUILD_DATA_DIR;
    int trials = 500, series = 5, map = 1;
    uint64_t seed = 1;
    app.add_option("--data-dir", data_dir, "the Data folder")->capture_default_str();
    app.add_option("--trials", trials, "new parties to play")->capture_default_str();
    app.add_option("--series", series, "encounters each party meets without rest")
        ->capture_default_str();
    app.add_option("--map", map, "the map whose encounters are met")->capture_default_str();
    app.add_option("--seed", seed, "seed of the first trial")->capture_default_str();

    CareerCommand career;
    CLI::App* sub = app.add_subcommand(
        "career", "Plays new parties through the campaign and prints a table per stage.");
    sub->add_option("--data-dir", career.data_dir, "the Data folder")->capture_default_str();
    sub->add_option("--campaign", career.campaign, "the campaign's stages")->capture_default_str();
    sub->add_option("--trials", career.trials, "new parties to play")->capture_default_str();
    sub->add_option("--seed", career.seed, "seed of the first party")->capture_default_str();
    sub->add_option("--key-limit", career.key_limit,
                    "keys after which a party that has not finished counts as stalled")
        ->capture_default_str();
    sub->add_option("--judging-trials", career.judging_trials,
                    "trial fights behind each judgement of a fixed fight or a map")
        ->capture_default_str();
    sub->add_option("--jobs", career.jobs, "parties played side by side (same figures, sooner)")
        ->capture_default_str();
    sub->add_flag("--trace", career.trace, "write what each party does to the error stream");
    sub->add_option("--json", career.json, "also write the figures to this JSON file");
    sub->add_option("--plot", career.plot, "draw the median party's level against its fights");
    std::string economy_data = DUSKWEND_BUILD_DATA_DIR;
    CLI::App* economy = app.add_subcommand(
        "economy", "Lists each monster's crowns and experience beside what its level asks.");
    economy->add_option("--data-dir", economy_data, "the Data folder")->capture_default_str();
    std::string economy_write;
    economy->add_option("--write", economy_write,
                        "set crowns_dice and experience_base in this monsters.toml (the source of "
                        "the Data folder's monsters) to what their levels ask");
    CLI11_PARSE(app, argc, argv);
    if (sub->parsed()) return run_career(career);
    if (economy->parsed()) {
        try {
            HeadlessGame hg(economy_data, 1);
            if (economy_write.empty()) {
                print_economy(hg.g, stdout);
            } else {
                const int n = write_economy(hg.g, economy_write);
                std::printf("%s: %d monsters changed\n", economy_write.c_str(), n);
            }
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "duskwend-balance: %s\n", e.what());
            return 1;
        }
    }

    FixedWidthFont font;
    std::vector<Tally> by_fight(std::size_t(std::max(series, 1)));
    std::map<std::string, Tally> by_monster;
    int survived_all = 0;
    long standing_at_end = 0;
    for (int trial = 0; trial < trials; ++trial) {
        BlankHost host;
        Game g;
        register_screens(g);
        g.host = &host;
        g.set_font(&font);
        g.data_files.dir = data_dir;
        g.start_seed = seed + uint64_t(trial);
        g.start_message_delay = 0;
        try {
            Form_Load(g);
            type(g, NEW_PARTY_KEYS);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "duskwend-balance: %s\n", e.what());
            return 1;
        }
        if (g.current_location != LOCATION_CITY || sub_count_party_members(g) != 4) {
            std::fprintf(stderr, "duskwend-balance: the new party did not reach the city\n");
            return 1;
        }
        if (map != 1) sub_load_map(g, map);
        order_party(g);
        sub_update_party_stats(g);
        bool alive = true;
        for (int k = 0; k < series && alive; ++k) {
            const int before = living(g);
            sub_start_random_encounter(g);
            const std::string monster = first_group_name(g);
            int rounds = 0;
            const Outcome o = fight(g, rounds);
            sub_update_party_stats(g);
            for (Tally* t : {&by_fight[std::size_t(k)], &by_monster[monster]}) {
                ++t->met;
                t->won += o == Outcome::Won;
                t->lost += o == Outcome::Lost;
                t->endless += o == Outcome::Endless;
                t->rounds += rounds;
                t->members_lost += before - living(g);
            }
            alive = o == Outcome::Won;
        }
        survived_all += alive;
        standing_at_end += living(g);
    }

    std::printf("A new party of four (Fighter, Thief, Cleric, Mage) against the random "
                "encounters of map %d, %d trials:\n",
                map, trials);
    for (int k = 0; k < series; ++k) {
        const std::string what = "encounter " + std::to_string(k + 1) + ":";
        print_rate(what.c_str(), by_fight[std::size_t(k)]);
    }
    std::printf("By the first group's monster:\n");
    for (const auto& [name, t] : by_monster) print_rate((name + ":").c_str(), t);
    std::printf("Survived all %d encounters: %5.1f%%, with %.2f of 4 members standing\n", series,
                100.0 * survived_all / trials, double(standing_at_end) / trials);
    return 0;
}
