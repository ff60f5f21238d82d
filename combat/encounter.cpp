#include "combat/combat.h"

// How fights start. Not yet built.
void sub_start_random_encounter(Game&) {}
void sub_start_event_encounter(Game&, int, int) {}
void sub_compact_monster_groups(Game&) {}
int sub_next_able_member(Game&, int) {
    return 7;
}
void sub_check_combat_item(Game&, int, int) {}
