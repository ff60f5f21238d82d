#include "tools/balance/economy.h"

#include "core/datafiles.h"
#include "core/game.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace duskwend {

namespace {

// Levels 1 to 20. A stage of the campaign is about a hundred won fights, walking and its fixed
// fights together, and should lift the party one level: a level's monster is worth about a
// hundredth of what that level's training asks of each member, times the four who share it.
constexpr int EXPERIENCE[20] = {85,    95,    115,   210,   380,   620,   1050,
                                1900,  3500,  6000,  8000,  10000, 12000, 14000,
                                16000, 18000, 20000, 22000, 24000, 26000};
constexpr int CROWNS[20] = {10,  25,   70,   150,  230,  330,  440,  560,  690,  830,
                            980, 1150, 1300, 1500, 1700, 1900, 2100, 2350, 2600, 2900};
constexpr int SIDES[] = {2,  3,  4,  6,   8,   10,  12,  20,  30, 40,
                         50, 60, 80, 100, 120, 150, 200, 250, 300};

} // namespace

LevelReward level_reward(int level) {
    const std::size_t k = static_cast<std::size_t>(std::clamp(level, 1, 20) - 1);
    return {EXPERIENCE[k], CROWNS[k]};
}

// Four tenths of the average is the bonus, the rest is dice: few for small sums, six for
// large ones, with sides a designer would pick.
std::array<int, 3> crowns_dice_for(int crowns) {
    if (crowns <= 0) return {0, 0, 0};
    const int count = crowns < 20 ? 2 : crowns < 60 ? 3 : crowns < 150 ? 4 : 6;
    const double want = 2 * 0.6 * crowns / count - 1;
    const int sides = *std::min_element(std::begin(SIDES), std::end(SIDES), [&](int a, int b) {
        return std::abs(a - want) < std::abs(b - want);
    });
    const int bonus =
        std::max(0, static_cast<int>(std::lround(crowns - count * (sides + 1) / 2.0)));
    return {count, sides, bonus};
}

TunedMonster tuned_monster(const MonsterRec& m) {
    const LevelReward r = level_reward(m.level);
    const double hit_points = m.hit_dice[0] * (m.hit_dice[1] + 1) / 2.0 + m.hit_dice[2];
    // Hit points pay at most half of what the level asks; the base pays the rest.
    int per_hit_point = m.experience_per_hit_point;
    if (hit_points > 0 && per_hit_point * hit_points > r.experience / 2.0)
        per_hit_point = static_cast<int>(r.experience / 2.0 / hit_points);
    const long base = std::lround(r.experience - per_hit_point * hit_points);
    return {crowns_dice_for(r.crowns), static_cast<int>(std::clamp(base, 0L, 32767L)),
            per_hit_point};
}

namespace {

std::vector<MonsterRec> monsters_of(Game& g) {
    sub_read_monster(g, 0); // the header counts the monsters
    const int count = g.monster_rec.number;
    std::vector<MonsterRec> out;
    for (int n = 1; n <= count; ++n) {
        sub_read_monster(g, n);
        out.push_back(g.monster_rec);
    }
    return out;
}

} // namespace

void print_economy(Game& g, std::FILE* out) {
    std::fprintf(out, "Monsters and what their level asks (crowns_dice, experience_base):\n");
    const std::vector<MonsterRec> monsters = monsters_of(g);
    for (std::size_t k = 0; k < monsters.size(); ++k) {
        const MonsterRec& m = monsters[k];
        const int n = static_cast<int>(k + 1);
        const TunedMonster t = tuned_monster(m);
        const auto& dice = t.crowns_dice;
        const int base = t.experience_base;
        const bool same = base == m.experience_base && dice[0] == m.crowns_dice[0] &&
                          dice[1] == m.crowns_dice[1] && dice[2] == m.crowns_dice[2] &&
                          t.experience_per_hit_point == m.experience_per_hit_point;
        std::fprintf(out,
                     "%s %3d %-20s level %2d  now [%d, %d, %d] %5d + %d/hp  tuned crowns_dice = "
                     "[%d, %d, %d], experience_base = %d, experience_per_hit_point = %d\n",
                     same ? " " : "*", n, m.name.trimmed().c_str(), m.level, m.crowns_dice[0],
                     m.crowns_dice[1], m.crowns_dice[2], m.experience_base,
                     m.experience_per_hit_point, dice[0], dice[1], dice[2], base,
                     t.experience_per_hit_point);
    }
}

int write_economy(Game& g, const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": cannot be read");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    in.close();

    const std::vector<MonsterRec> monsters = monsters_of(g);
    // The lines of each [[monster]]: from its header to the line before the next table.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind("[[monster]]", 0) == 0) starts.push_back(i);
    if (starts.size() != monsters.size())
        throw std::runtime_error(file.string() + ": holds " + std::to_string(starts.size()) +
                                 " monsters, the world " + std::to_string(monsters.size()));
    int changed = 0;
    // From the last monster back, so that inserted lines leave the earlier starts in place.
    for (std::size_t k = monsters.size(); k-- > 0;) {
        const TunedMonster t = tuned_monster(monsters[k]);
        const std::string dice = "crowns_dice = [" + std::to_string(t.crowns_dice[0]) + ", " +
                                 std::to_string(t.crowns_dice[1]) + ", " +
                                 std::to_string(t.crowns_dice[2]) + "]";
        const std::string base = "experience_base = " + std::to_string(t.experience_base);
        const std::string per_hit_point =
            "experience_per_hit_point = " + std::to_string(t.experience_per_hit_point);
        std::vector<const std::string*> wanted = {&dice, &base};
        if (t.experience_per_hit_point != monsters[k].experience_per_hit_point)
            wanted.push_back(&per_hit_point);
        std::size_t end = k + 1 < starts.size() ? starts[k + 1] : lines.size();
        for (std::size_t i = starts[k] + 1; i < end; ++i)
            if (!lines[i].empty() && lines[i][0] == '[') end = i; // a table of its own
        std::size_t last = starts[k];
        bool any = false;
        for (const std::string* line : wanted) {
            const std::string key = line->substr(0, line->find(" ="));
            bool found = false;
            for (std::size_t i = starts[k] + 1; i < end; ++i) {
                const std::string& l = lines[i];
                if (!l.empty() && l.find_first_not_of(" \t") != std::string::npos)
                    last = std::max(last, i);
                if (l.rfind(key + " ", 0) == 0 || l.rfind(key + "=", 0) == 0) {
                    found = true;
                    if (l != *line) lines[i] = *line, any = true;
                }
            }
            if (!found) {
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1), *line);
                ++end, ++last, any = true;
            }
        }
        changed += any ? 1 : 0;
    }
    const std::filesystem::path temp = file.string() + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::string& l : lines) out << l << "\n";
        if (!out) throw std::runtime_error(temp.string() + ": cannot be written");
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) throw std::runtime_error(file.string() + ": cannot be replaced: " + ec.message());
    return changed;
}

} // namespace duskwend
