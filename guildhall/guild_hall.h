#pragma once

// The guild hall: its key and draw procedures and its steps. Character creation and the inn,
// steps of the same screen in files of their own, are declared in guildhall/steps.h.

namespace duskwend {

struct Game;

// location_step values of the guild hall.
constexpr int GUILD_MENU = 0, GUILD_ADD_LIST = 1, GUILD_VIEW_CHARACTER = 2, GUILD_TAKE_WHICH = 3,
              GUILD_TAKE = 4, GUILD_REMOVE_WHICH = 5, GUILD_REMOVE = 6, GUILD_CREATE_RACE = 7,
              GUILD_CREATE_SEX = 8, GUILD_CREATE_CLASS = 9, GUILD_CREATE_ATTRIBUTES = 10,
              GUILD_CREATE_BONUS = 11, GUILD_CREATE_NAME = 12, GUILD_CREATE_DONE = 13,
              GUILD_SAVE = 14, GUILD_LOAD = 15, GUILD_INN_PAYER = 16, GUILD_INN_REST = 17,
              GUILD_CREATE_THIEF_SKILLS = 18;
// The menu after E with nobody in the party able to walk: the menu and a line saying so.
constexpr int GUILD_NOBODY_WALKS = 19;

constexpr int INN_PRICE = 25;

void sub_guild_hall_key(Game& g);
void sub_draw_guild_hall(Game& g);

} // namespace duskwend
