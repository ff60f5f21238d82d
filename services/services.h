#pragma once
// The town's buildings: the shop, the temples and the review board. Their key and draw
// procedures, the steps of each screen, and what they share: list lines and the way out.

#include <cstdint>
#include <span>
#include <string>

struct Game;
struct PartyMemberRec;

// location_step of the equipment shop.
constexpr int SHOP_SELECT = 0, SHOP_OPTIONS = 1, SHOP_BUY_LIST = 2, SHOP_BUY = 3,
              SHOP_SELL_LIST = 4, SHOP_SELL_OFFER = 5, SHOP_SELL = 6, SHOP_APPRAISE_LIST = 7,
              SHOP_APPRAISE_OFFER = 8, SHOP_APPRAISE = 9, SHOP_IDENTIFY = 10;

// location_step of the temples; building_number names the temple.
constexpr int TEMPLE_SELECT = 0, TEMPLE_OPTIONS = 1, TEMPLE_ITEM_LIST = 2, TEMPLE_BUY = 3,
              TEMPLE_SERVICE_LIST = 4, TEMPLE_SERVICE = 5;
constexpr int TEMPLE_OF_LIGHT = 0, TEMPLE_OF_LUCK = 1, TEMPLE_OF_DARK = 2;
constexpr int TEMPLE_HEALING = 0, TEMPLE_BLESS = 1, TEMPLE_CURE = 2;

// location_step of the review board.
constexpr int REVIEW_SELECT = 0, REVIEW_JUDGEMENT = 1, REVIEW_ADVANCE = 2;
constexpr int MAX_LEVEL = 20;

void sub_shop_key(Game& g);
void sub_draw_shop(Game& g);
void sub_temple_key(Game& g);
void sub_draw_temple(Game& g);
void sub_review_board_key(Game& g);
void sub_draw_review_board(Game& g);

// One step of a building's screen: the procedure for its keys, its drawing, and whether the
// drawing acts (a purchase, a healing, an advance), which it then does once per key that
// reached the screen (core/one_time_step.h).
struct BuildingStep {
    int step;
    void (*key)(Game&);
    void (*draw)(Game&);
    bool acts = false;
};
// The key procedure of the current step; a step the screen does not have starts it again at
// step 0.
void building_key(Game& g, std::span<const BuildingStep> steps);
// Draws the current step of the building at `location` (LOCATION_*); nothing for a step the
// screen does not have.
void draw_building_step(Game& g, int location, std::span<const BuildingStep> steps);

// The list line of entry `index`: "  A." (A for 0) in colour 1, then at x = 25 the text in
// colour 0, ending the line. Menu lines are print_menu_line of core/output.
void print_list_line(Game& g, int index, const std::string& text);

// "Select Character:" and the party's present members as a list, then the way out.
void print_member_choice(Game& g, const std::string& leave);
// The key of that choice: L leaves the building, a present member's letter selects the member
// for the step `next`.
void select_member_key(Game& g, int next);

// Leaving a building: back to the city, one square back out of the door and turned about.
void sub_leave_building(Game& g);

// The member's name without its trailing blanks.
std::string trimmed_name(const Game& g, int member);
