#pragma once
// The character sheet's steps (sheet_step).

constexpr int SHEET_STATS = 0, SHEET_EQUIPMENT = 1, SHEET_EQUIP = 2, SHEET_GIVE_TO = 3,
              SHEET_GIVE_WHAT = 4, SHEET_USE_WHAT = 5, SHEET_USE_ON = 6, SHEET_USE = 7,
              SHEET_ABILITIES = 8, SHEET_SPELLS = 9, SHEET_DESCRIBE_WHAT = 10,
              SHEET_DESCRIPTION = 11, SHEET_CAST_WHAT = 12, SHEET_CAST_ON = 13, SHEET_CAST = 14;
