#include "core/item_use.h"

// Using items. Not yet built.
void sub_check_item_use(Game&, int, int, int) {}
void sub_use_item(Game&, int, int, int, int, int) {}
int sub_find_item_place(const Game&, int, int) {
    return USE_FROM_NOWHERE;
}
