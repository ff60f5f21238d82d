#include "tools/balance/report.h"

#include "tools/art/image.h"
#include "tools/art/text.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace duskwend {

namespace {

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double share(int part, int whole) {
    return whole > 0 ? double(part) / whole : 0;
}

} // namespace

CareerSummary summarise(const Campaign& campaign, const std::vector<CareerRecord>& careers) {
    CareerSummary s;
    s.trials = static_cast<int>(careers.size());
    std::vector<double> training, keys, fights;
    for (const CareerRecord& c : careers) {
        s.finished += c.end == "finished";
        s.slain += c.end == "slain";
        s.stalled += c.end == "stalled";
        training.push_back(c.fights_to_first_training < 0 ? std::numeric_limits<double>::infinity()
                                                          : c.fights_to_first_training);
        if (c.completed) keys.push_back(double(c.keys)), fights.push_back(c.fights);
        for (const StageRecord& st : c.stages)
            for (const FixedFightRecord& f : st.fixed)
                if (f.final) {
                    s.final_fight = f.what;
                    ++s.final_fought;
                    s.final_won += f.won;
                }
    }
    s.final_won = share(static_cast<int>(s.final_won), s.final_fought);
    for (int level = 2;; ++level) {
        CareerSummary::LevelFigure f;
        f.level = level;
        std::vector<double> fights;
        for (const CareerRecord& c : careers)
            if (static_cast<int>(c.fights_to_level.size()) > level)
                fights.push_back(c.fights_to_level[static_cast<std::size_t>(level)]);
        if (fights.empty()) break;
        f.parties = static_cast<int>(fights.size());
        f.median_fights = median(fights);
        s.fights_to_level.push_back(f);
    }
    s.completed = share(s.finished, s.trials);
    const double t = median(training);
    s.fights_to_first_training = std::isinf(t) ? -1 : t;
    s.median_keys = median(keys);
    s.median_fights = median(fights);

    for (std::size_t k = 0; k < campaign.stages.size(); ++k) {
        StageSummary st;
        st.name = campaign.stages[k].name;
        st.map = campaign.stages[k].map;
        int won = 0, slain = 0, through = 0, deaths = 0;
        std::vector<double> level, fought, crowns, stage_keys;
        for (const CareerRecord& c : careers) {
            if (k >= c.stages.size() || !c.stages[k].reached) continue;
            const StageRecord& r = c.stages[k];
            ++st.reached;
            won += r.won, slain += r.slain, through += r.through, deaths += r.deaths;
            level.push_back(r.level);
            fought.push_back(r.fights);
            crowns.push_back(double(r.crowns));
            stage_keys.push_back(double(r.keys));
            for (const FixedFightRecord& f : r.fixed) {
                auto it = std::find_if(st.fixed.begin(), st.fixed.end(), [&](auto& x) {
                    return x.map == f.map && x.x == f.x && x.y == f.y;
                });
                if (it == st.fixed.end()) {
                    st.fixed.push_back({f.what, f.map, f.x, f.y});
                    st.fixed.back().final = f.final;
                    it = st.fixed.end() - 1;
                }
                ++it->tried;
                it->won += f.won;
                it->attempts += f.attempts;
                it->median_level += f.level; // a sum until the end
            }
        }
        st.won = share(won, st.reached);
        st.slain = share(slain, st.reached);
        st.through = share(through, s.trials);
        st.deaths = st.reached > 0 ? double(deaths) / st.reached : 0;
        st.median_level = median(level);
        st.median_fights = median(fought);
        st.median_crowns = median(crowns);
        st.median_keys = median(stage_keys);
        for (FixedFightSummary& f : st.fixed) {
            f.won /= f.tried;
            f.attempts /= f.tried;
            f.median_level /= f.tried; // the mean: levels at first tries hardly spread
        }
        s.stages.push_back(st);
    }
    return s;
}

void print_summary(const CareerSummary& s, std::FILE* out) {
    std::fprintf(out,
                 "%d new parties of four (Fighter, Thief, Cleric, Mage) through the campaign:\n\n",
                 s.trials);
    std::fprintf(out, "%-22s %8s %6s %6s %7s %6s %7s %8s %8s %8s\n", "stage", "reached", "won",
                 "slain", "deaths", "level", "fights", "crowns", "keys", "through");
    for (const StageSummary& st : s.stages)
        std::fprintf(out, "%-22.22s %8d %5.0f%% %5.1f%% %7.2f %6.1f %7.0f %8.0f %8.0f %7.0f%%\n",
                     st.name.c_str(), st.reached, 100 * st.won, 100 * st.slain, st.deaths,
                     st.median_level, st.median_fights, st.median_crowns, st.median_keys,
                     100 * st.through);
    std::fprintf(out, "\nFixed fights (won: share of the parties that fought it that won it):\n");
    for (const StageSummary& st : s.stages)
        for (const FixedFightSummary& f : st.fixed)
            std::fprintf(out,
                         "  %-18.18s (%2d,%2d) %-30.30s fought by %4d  won %5.1f%%  level %4.1f  "
                         "tries %4.2f\n",
                         st.name.c_str(), f.x, f.y, f.what.c_str(), f.tried, 100 * f.won,
                         f.median_level, f.attempts);
    if (s.final_fought > 0)
        std::fprintf(out, "The final fight (%s): fought by %d, won by %.1f%% of them.\n",
                     s.final_fight.c_str(), s.final_fought, 100 * s.final_won);
    std::fprintf(out, "\nFinished %d (%.1f%%), slain %d, stalled %d.\n", s.finished,
                 100 * s.completed, s.slain, s.stalled);
    if (!s.fights_to_level.empty()) {
        std::fprintf(out, "Won fights until every member had the level (median, parties):");
        for (const auto& f : s.fights_to_level)
            std::fprintf(out, "%s %d: %.0f (%d)", f.level == 2 ? "" : ",", f.level, f.median_fights,
                         f.parties);
        std::fprintf(out, "\n");
    }
    if (s.fights_to_first_training >= 0)
        std::fprintf(out, "Every member trained for level 2 after %.0f won fights (median).\n",
                     s.fights_to_first_training);
    else
        std::fprintf(out, "Most parties never trained every member for level 2.\n");
    if (s.finished > 0)
        std::fprintf(out, "A party that finished: %.0f won fights, %.0f keys (medians).\n",
                     s.median_fights, s.median_keys);
}

nlohmann::json summary_json(const CareerSummary& s) {
    nlohmann::json j;
    j["trials"] = s.trials;
    j["completed"] = s.completed;
    j["fights_to_first_training"] = s.fights_to_first_training;
    j["finished"] = s.finished;
    j["slain"] = s.slain;
    j["stalled"] = s.stalled;
    j["median_keys"] = s.median_keys;
    j["median_fights"] = s.median_fights;
    j["final_fight"] = {{"what", s.final_fight}, {"fought", s.final_fought}, {"won", s.final_won}};
    j["fights_to_level"] = nlohmann::json::array();
    for (const auto& f : s.fights_to_level)
        j["fights_to_level"].push_back(
            {{"level", f.level}, {"parties", f.parties}, {"median_fights", f.median_fights}});
    j["stages"] = nlohmann::json::array();
    for (const StageSummary& st : s.stages) {
        nlohmann::json o{{"name", st.name},
                         {"map", st.map},
                         {"reached", st.reached},
                         {"won", st.won},
                         {"slain", st.slain},
                         {"through", st.through},
                         {"deaths", st.deaths},
                         {"median_level", st.median_level},
                         {"median_fights", st.median_fights},
                         {"median_crowns", st.median_crowns},
                         {"median_keys", st.median_keys}};
        o["fixed_fights"] = nlohmann::json::array();
        for (const FixedFightSummary& f : st.fixed)
            o["fixed_fights"].push_back({{"what", f.what},
                                         {"x", f.x},
                                         {"y", f.y},
                                         {"fought", f.tried},
                                         {"won", f.won},
                                         {"level", f.median_level},
                                         {"tries", f.attempts}});
        j["stages"].push_back(o);
    }
    return j;
}

const CareerRecord* median_career(const std::vector<CareerRecord>& careers) {
    std::vector<const CareerRecord*> pool;
    for (const CareerRecord& c : careers)
        if (c.completed) pool.push_back(&c);
    if (pool.empty())
        for (const CareerRecord& c : careers) pool.push_back(&c);
    if (pool.empty()) return nullptr;
    std::sort(pool.begin(), pool.end(), [](auto a, auto b) { return a->fights < b->fights; });
    return pool[pool.size() / 2];
}

void draw_career_plot(const Campaign& campaign, const CareerRecord& career,
                      const std::filesystem::path& png, const std::filesystem::path& font_file) {
    constexpr int W = 900, H = 540, LEFT = 60, RIGHT = 20, TOP = 40, BOTTOM = 50;
    const Rgb paper{250, 250, 245}, ink{40, 40, 40}, grid{215, 215, 210}, line{180, 40, 40},
        mark{60, 90, 170};
    Image img(W, H, paper);
    int max_fights = std::max(1, career.fights);
    double max_level = 2;
    for (const auto& p : career.curve) max_level = std::max(max_level, std::ceil(p.level));
    const auto px = [&](double f) {
        return LEFT + int(std::lround(f * (W - LEFT - RIGHT) / max_fights));
    };
    const auto py = [&](double l) {
        return H - BOTTOM - int(std::lround((l - 1) * (H - TOP - BOTTOM) / (max_level - 1)));
    };
    const auto dot = [&](int x, int y, Rgb c, int r) {
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                if (img.contains(x + dx, y + dy)) img.at(x + dx, y + dy) = c;
    };
    const auto segment = [&](int x0, int y0, int x1, int y1, Rgb c, int r) {
        const int n = std::max({std::abs(x1 - x0), std::abs(y1 - y0), 1});
        for (int i = 0; i <= n; ++i) dot(x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n, c, r);
    };
    for (int l = 1; l <= int(max_level); ++l) segment(LEFT, py(l), W - RIGHT, py(l), grid, 0);
    segment(LEFT, TOP, LEFT, H - BOTTOM, ink, 0);
    segment(LEFT, H - BOTTOM, W - RIGHT, H - BOTTOM, ink, 0);
    for (std::size_t k = 0; k < career.stage_start_fights.size(); ++k) {
        const int x = px(career.stage_start_fights[k]);
        for (int y = TOP; y < H - BOTTOM; y += 6) segment(x, y, x, y + 2, mark, 0);
    }
    // The plan: over each stage, the level it should bring every member to.
    const Rgb plan{120, 175, 110};
    const std::size_t stages = std::min(career.stage_start_fights.size(), campaign.stages.size());
    for (std::size_t k = 0; k < stages; ++k) {
        const int from = career.stage_start_fights[k];
        const int to = k + 1 < career.stage_start_fights.size() ? career.stage_start_fights[k + 1]
                                                                : career.fights;
        const int y = py(std::min<double>(campaign.stages[k].level, max_level));
        segment(px(from), y, px(to), y, plan, 2);
    }
    for (std::size_t k = 1; k < career.curve.size(); ++k) {
        const auto& a = career.curve[k - 1];
        const auto& b = career.curve[k];
        // Levels rise at the review board, between fights: a step.
        segment(px(a.fights), py(a.level), px(b.fights), py(a.level), line, 1);
        segment(px(b.fights), py(a.level), px(b.fights), py(b.level), line, 1);
    }
    std::unique_ptr<Font> font;
    try {
        font = std::make_unique<Font>(font_file.string(), 13, 17);
    } catch (const std::exception&) {
        font.reset(); // the picture without its words
    }
    if (font) {
        draw_text(img, font->large,
                  "Mean member level of the median party against its won fights (" +
                      std::to_string(career.fights) + " fights, " + career.end + ")",
                  LEFT, 10, ink);
        for (int l = 1; l <= int(max_level); ++l)
            draw_text(img, font->small, std::to_string(l), LEFT - 24, py(l) - 8, ink);
        int step = 1;
        for (const int nice : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000})
            if (step * 10 < max_fights) step = nice;
        for (int f = 0; f <= max_fights; f += step)
            draw_text(img, font->small, std::to_string(f), px(f) - 8, H - BOTTOM + 6, ink);
        draw_text(img, font->small, "won fights", W / 2 - 30, H - 22, ink);
        draw_text(img, font->small, "green: the level each stage should bring (campaign.toml)",
                  W - RIGHT - 360, H - 22, plan);
        for (std::size_t k = 0; k < career.stage_start_fights.size() && k < campaign.stages.size();
             ++k) {
            // A name that would run off the right edge is written to the left of its line.
            const std::string& name = campaign.stages[k].name;
            int x = px(career.stage_start_fights[k]) + 4;
            int w = 0, h = 0;
            if (TTF_SizeUTF8(font->small, name.c_str(), &w, &h) == 0 && x + w > W - RIGHT)
                x -= w + 8;
            draw_text(img, font->small, name, x, TOP + 4 + 16 * int(k % 3), mark);
        }
    }
    save_png(img, png.string());
}

} // namespace duskwend
