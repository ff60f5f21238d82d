#pragma once

// The town's buildings: the shop, the temples and the review board, their key and draw
// procedures and the steps of each screen. What they share lies in services/building.h.

namespace duskwend {

struct Game;

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

} // namespace duskwend
