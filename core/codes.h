#pragma once
// The codes the records and the fight keep in their Integer fields: class, race, item kind,
// monster type, spell target and effect, effect kind, item and monster effect rows, combat
// action and map event kind.
//
// The fields stay int16_t, as on disk, because a file may hold any number and it must come
// back unchanged. The enumerations are unscoped with int16_t underneath, so a field compares
// with an enumerator, switches on it and takes one without a cast; a number without a name
// falls to the `default` of such a switch. Code that indexes a table with a code checks its
// range first (is_class, is_race).

#include <cstdint>

namespace duskwend {

// The game's flags and Booleans (combat_active, keys_enabled, usable_by, ...) are 0 when off;
// the game sets -1 or 1 for on, and any value but 0 counts as on.
constexpr bool is_on(int flag) {
    return flag != 0;
}

// CharacterRec / PartyMemberRec::class_id and SpellProgressionRec::class_id. What sets the
// classes apart is in core/class_rules.h.
enum ClassId : int16_t {
    CLASS_FIGHTER = 0,
    CLASS_THIEF = 1,
    CLASS_CLERIC = 2,
    CLASS_MAGE = 3,
    CLASS_BERSERKER = 4,
    CLASS_RANGER = 5,
    CLASS_PALADIN = 6,
    CLASS_MERCHANT = 7,
};
constexpr int CLASS_COUNT = 8;
constexpr bool is_class(int c) {
    return c >= 0 && c < CLASS_COUNT;
}

// CharacterRec / PartyMemberRec::race.
enum Race : int16_t {
    RACE_HUMAN = 0,
    RACE_DWARF = 1,
    RACE_ELF = 2,
    RACE_GNOME = 3,
    RACE_HALF_ELF = 4
};
constexpr int RACE_COUNT = 5;
constexpr bool is_race(int r) {
    return r >= 0 && r < RACE_COUNT;
}

// ItemRec::kind: the kinds that can be equipped, and where they go. A right-hand item of kind
// ITEM_TWO_HANDED or below (kind 0 and negative kinds too) fights as a weapon.
enum ItemKind : int16_t {
    ITEM_OTHER = 0,
    ITEM_RIGHT_HAND = 1,
    ITEM_TWO_HANDED = 2,
    ITEM_BODY = 7,
    ITEM_LEFT_HAND = 8,
};
constexpr bool fights_as_weapon(int kind) {
    return kind <= ITEM_TWO_HANDED;
}

// ItemRec::use_effects rows (kind, sub-kind, strength): the one use the game knows heals hit
// points.
enum UseEffectKind : int16_t { USE_HEALING = 5 };
constexpr int USE_HIT_POINTS = 0; // sub-kind of USE_HEALING

// MonsterRec::monster_type. Only beasts and undead act in a round; Rangers fight beasts
// better, Paladins undead and unholy monsters.
enum MonsterType : int16_t { MONSTER_BEAST = 0, MONSTER_UNDEAD = 1, MONSTER_UNHOLY = 2 };
constexpr bool acts_in_a_round(int monster_type) {
    return monster_type == MONSTER_BEAST || monster_type == MONSTER_UNDEAD;
}

// MonsterRec::attack_effects rows (chance, kind, grade): the one kind the game knows.
enum AttackEffectKind : int16_t { ATTACK_DISEASE = 1 };
constexpr int ATTACK_ALWAYS = -1; // chance of a row that always applies

// SpellRec::target_type. The "combat" types are offered in a fight only; a fight asks for a
// member or a group for SPELL_TARGET_MEMBER and SPELL_TARGET_COMBAT_MEMBER, for a group or the
// party for SPELL_TARGET_PARTY and the two other combat types.
enum SpellTarget : int16_t {
    SPELL_TARGET_CASTER = 0,
    SPELL_TARGET_MEMBER = 1,
    SPELL_TARGET_PARTY = 2,
    SPELL_TARGET_NONE = 3,
    SPELL_TARGET_COMBAT_MEMBER = 4,
    SPELL_TARGET_COMBAT_NONE = 5,
    SPELL_TARGET_COMBAT_PARTY = 6,
};

// SpellRec::effect. Effects 2, 5, 7 and 9 do nothing.
enum SpellEffect : int16_t {
    SPELL_EFFECT_HEALING = 0,
    SPELL_EFFECT_DAMAGE = 1,
    SPELL_EFFECT_ARMOUR = 3,
    SPELL_EFFECT_ATTACK = 4,
    SPELL_EFFECT_SPEED = 6,
    SPELL_EFFECT_CONFUSION = 8,
};

// Effect kinds: column EFFECT_TYPE of a member's effects, the kind of a monster's own effect
// and of a group effect.
enum EffectKind : int16_t {
    EFFECT_REGENERATION = 0,
    EFFECT_BLESS = 1,
    EFFECT_DISEASE = 2,
    EFFECT_BERSERK = 3,
    EFFECT_HIDDEN = 4,
    EFFECT_ARMOUR = 5, // strength > 0 enhanced, else cursed
    EFFECT_ATTACK = 6, // strength < 1 cursed, else enhanced
    EFFECT_SPEED = 7,  // strength < 1 slower, else faster
    EFFECT_STRENGTH_CHANGE = 8,
    EFFECT_CONFUSION = 9,
};

// combat_actions[slot][0]. ACTION_CASTING: a spell has started and takes effect at the
// member's next initiative. (5 is not used: berserk rage attacks.)
enum CombatAction : int16_t {
    ACTION_DEFEND = 0,
    ACTION_ATTACK = 1,
    ACTION_USE_ITEM = 2,
    ACTION_CAST = 3,
    ACTION_CASTING = 4,
    ACTION_HIDE = 6,
};

// MapRec::events field 0. Other numbers do nothing.
enum MapEventKind : int16_t {
    EVENT_NONE = 0,
    EVENT_TELEPORT = 1,
    EVENT_BUILDING = 2,
    EVENT_PICTURE = 3,
    EVENT_MESSAGE = 4,
    EVENT_FIGHT = 5,
    EVENT_SWITCH = 6,
    EVENT_TEXT = 7,
    EVENT_TREASURE = 8,
};
// Field 5 of a switch event: when it sets its flag.
constexpr int SWITCH_FIGHT_WON = 1, SWITCH_STEPPED_ON = 2;

} // namespace duskwend
