#pragma once

// Using an item from a member's equipment on a member.

namespace duskwend {

struct Game;

// Where a used item is taken from: a pack slot 0..9, or a hand or the body.
constexpr int USE_FROM_RIGHT_HAND = -1, USE_FROM_LEFT_HAND = -2, USE_FROM_BODY = -3,
              USE_FROM_NOWHERE = -4;

// Can the item be used at all? Sets sheet_choice and use_identified; when it cannot,
// message_lines[0] holds the refusal.
void sub_check_item_use(Game& g, int member, int item, int identified);
// user and target are party slots. Narrates the use in the message area, applies the item and
// consumes one item from the place it was used from.
void sub_use_item(Game& g, int user, int item, int target, int identified, int place);
// The first place in the user's equipment holding the item (pack slots 0..9, then the right
// hand, the left hand, the body), or USE_FROM_NOWHERE.
int sub_find_item_place(const Game& g, int user, int item);

} // namespace duskwend
