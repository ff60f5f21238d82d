#include "tools/data/tables.h"

#include <functional>
#include <map>

namespace duskwend {

const std::array<NamedCode, CLASS_COUNT> CLASS_NAMES = {{{CLASS_FIGHTER, "Fighter"},
                                                         {CLASS_THIEF, "Thief"},
                                                         {CLASS_CLERIC, "Cleric"},
                                                         {CLASS_MAGE, "Mage"},
                                                         {CLASS_BERSERKER, "Berserker"},
                                                         {CLASS_RANGER, "Ranger"},
                                                         {CLASS_PALADIN, "Paladin"},
                                                         {CLASS_MERCHANT, "Merchant"}}};

namespace {

constexpr NamedCode ITEM_KINDS[] = {{ITEM_OTHER, "other"},
                                    {ITEM_RIGHT_HAND, "right hand"},
                                    {ITEM_TWO_HANDED, "two-handed"},
                                    {ITEM_BODY, "body"},
                                    {ITEM_LEFT_HAND, "left hand"}};
constexpr NamedCode MONSTER_TYPES[] = {
    {MONSTER_BEAST, "beast"}, {MONSTER_UNDEAD, "undead"}, {MONSTER_UNHOLY, "unholy"}};
constexpr NamedCode GENDERS[] = {{0, "its"}, {1, "his"}, {2, "her"}};
constexpr NamedCode SPELL_EFFECTS[] = {
    {SPELL_EFFECT_HEALING, "healing"}, {SPELL_EFFECT_DAMAGE, "damage"},
    {SPELL_EFFECT_ARMOUR, "armour"},   {SPELL_EFFECT_ATTACK, "attack"},
    {SPELL_EFFECT_SPEED, "speed"},     {SPELL_EFFECT_CONFUSION, "confusion"}};
constexpr NamedCode TARGET_TYPES[] = {{SPELL_TARGET_CASTER, "caster"},
                                      {SPELL_TARGET_MEMBER, "member"},
                                      {SPELL_TARGET_PARTY, "party"},
                                      {SPELL_TARGET_NONE, "none"},
                                      {SPELL_TARGET_COMBAT_MEMBER, "combat member"},
                                      {SPELL_TARGET_COMBAT_NONE, "combat none"},
                                      {SPELL_TARGET_COMBAT_PARTY, "combat party"}};
constexpr NamedCode SHOP_KINDS[] = {{0, "arms and armour"}};
constexpr NamedCode USE_EFFECTS[] = {{USE_HEALING, "heal"}}; // with sub-kind USE_HIT_POINTS
constexpr NamedCode ATTACK_EFFECTS[] = {{ATTACK_DISEASE, "disease"}};

// How one list file is read and written. Fields named in `coded` take a name or a number;
// `special` fields have their own reader and writer.
template <class Rec> struct Schema {
    const char* array_key;  // [[item]]
    const char* file_title; // comment at the top of a decompiled file
    std::map<std::string, CodeNames> coded;
    using Reader =
        std::function<bool(const toml::node&, Rec&, const Source&, std::vector<Reference>&)>;
    using Writer = std::function<std::optional<std::string>(const Rec&)>;
    std::map<std::string, std::pair<Reader, Writer>> special;
    bool always_number = true; // write `number = n` on every entry
    bool inline_entries = false;
};

template <class Rec>
bool read_field(Rec& rec, const std::string& key, const toml::node& n, const Schema<Rec>& s,
                const Source& src, std::vector<Reference>& refs, bool& known) {
    known = true;
    if (auto sp = s.special.find(key); sp != s.special.end())
        return sp->second.first(n, rec, src, refs);
    known = false;
    bool ok = true;
    visit_fields(rec, [&](const char* name, auto& field) {
        if (key != name) return;
        known = true;
        using F = std::remove_reference_t<decltype(field)>;
        if constexpr (std::is_same_v<F, int16_t>) {
            auto c = s.coded.find(key);
            ok = read_value(n, field, src, key, c == s.coded.end() ? CodeNames{} : c->second);
        } else {
            ok = read_value(n, field, src, key);
        }
    });
    return ok;
}

// Reads every key of an entry (or of the header) into rec.
template <class Rec>
void read_record(const toml::table& t, Rec& rec, const Schema<Rec>& s, const Source& src,
                 std::vector<Reference>& refs, int index) {
    for (auto&& [k, v] : t) {
        std::string key(k.str());
        int line = k.source().begin.line ? static_cast<int>(k.source().begin.line) : line_of(v);
        if (index > 0 && key == "number") {
            int16_t n = 0;
            if (read_value(v, n, src, key) && n != index)
                src.error(line, std::string(s.array_key) + " " + std::to_string(index) +
                                    " says number = " + std::to_string(n) +
                                    "; entries are numbered by their order in the file");
            continue;
        }
        if (index > 0 && key == "stored_number") {
            read_value(v, rec.number, src, key);
            continue;
        }
        bool known = false;
        read_field(rec, key, v, s, src, refs, known);
        if (!known) src.error(line, "unknown field '" + key + "'");
    }
}

template <class Rec>
void read_list(const toml::table& root, const Source& src, const Schema<Rec>& s, Rec& header,
               Rec (*default_header)(std::size_t), std::vector<Rec>& out,
               std::vector<Reference>& refs) {
    const toml::table* header_table = nullptr;
    for (auto&& [k, v] : root) {
        int line = static_cast<int>(k.source().begin.line);
        if (k.str() == s.array_key) {
            const auto* arr = v.as_array();
            if (!arr) {
                src.error(line, std::string("'") + s.array_key + "' should be written as [[" +
                                    s.array_key + "]] tables");
                continue;
            }
            for (std::size_t i = 0; i < arr->size(); ++i) {
                const auto* t = (*arr)[i].as_table();
                if (!t) {
                    src.error(line_of((*arr)[i]),
                              std::string("each ") + s.array_key + " should be a table");
                    continue;
                }
                Rec rec;
                rec.number = static_cast<int16_t>(i + 1);
                read_record(*t, rec, s, src, refs, static_cast<int>(i + 1));
                out.push_back(rec);
            }
        } else if (k.str() == "header") {
            header_table = v.as_table();
            if (!header_table) src.error(line, "'header' should be a table");
        } else {
            src.error(line, "unknown field '" + std::string(k.str()) + "'");
        }
    }
    if (out.size() > static_cast<std::size_t>(INT16_MAX))
        src.error(0, "more entries than an Integer count can hold");
    header = default_header(out.size());
    std::vector<Reference> header_refs; // the header is not an entry; nothing refers from it
    if (header_table) read_record(*header_table, header, s, src, header_refs, 0);
    // The game takes the header's count as the number of entries: it must be theirs.
    if (header_table &&
        (header.number < 0 || static_cast<std::size_t>(header.number) != out.size())) {
        const auto* n = header_table->get("number");
        src.error(n ? line_of(*n) : line_of(*header_table),
                  "the header says number = " + std::to_string(header.number) +
                      ", but the file has " + std::to_string(out.size()) +
                      " entries; leave 'number' out and it is counted");
    }
}

template <class Rec>
std::string render_field_value(const Schema<Rec>& s, const char* name, const auto& field) {
    using F = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_same_v<F, int16_t>) {
        if (auto c = s.coded.find(name); c != s.coded.end())
            if (const char* word = name_of(c->second, field)) return toml_string(word);
    }
    return render(field);
}

// "key = value" lines of rec, in field order, leaving out what equals `base`.
template <class Rec>
std::string render_record(const Rec& rec, const Rec& base, const Schema<Rec>& s, bool entry,
                          const char* separator) {
    std::vector<std::string> base_values;
    visit_fields(base, [&](const char* name, const auto& f) {
        base_values.push_back(render_field_value(s, name, f));
    });
    std::string out;
    std::size_t k = 0;
    visit_fields(rec, [&](const char* name, const auto& f) {
        std::string key = name;
        const std::string& base_value = base_values[k++];
        if (entry && key == "number") return;
        if (auto sp = s.special.find(key); sp != s.special.end()) {
            if (auto text = sp->second.second(rec))
                out += (out.empty() ? "" : separator) + key + " = " + *text;
            return;
        }
        std::string value = render_field_value(s, name, f);
        if (value != base_value || (entry && key == "name"))
            out += (out.empty() ? "" : separator) + key + " = " + value;
    });
    return out;
}

template <class Rec>
std::string write_list(const Schema<Rec>& s, const Rec& header, const std::vector<Rec>& entries,
                       Rec (*default_header)(std::size_t)) {
    std::string out = std::string("# ") + s.file_title + "\n# The n-th " + s.array_key +
                      " entry is entry n. See content/README.md for every field.\n\n";
    if (s.inline_entries) out += std::string(s.array_key) + " = [\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Rec& e = entries[i];
        Rec zero;
        std::string fields = render_record(e, zero, s, true, s.inline_entries ? ", " : "\n");
        std::string number;
        if (e.number != static_cast<int16_t>(i + 1))
            number = "stored_number = " + std::to_string(e.number);
        else if (s.always_number)
            number = "number = " + std::to_string(i + 1);
        if (s.inline_entries) {
            std::string all =
                number.empty() ? fields : number + (fields.empty() ? "" : ", ") + fields;
            out += "  { " + all + (all.empty() ? "}" : " }") + ",\n";
        } else {
            out += "[[" + std::string(s.array_key) + "]]\n" +
                   (number.empty() ? "" : number + "\n") + fields + (fields.empty() ? "" : "\n") +
                   "\n";
        }
    }
    if (s.inline_entries) out += "]\n";
    Rec def = default_header(entries.size());
    if (!(header == def)) // only what differs from the header the compiler would write
        out += "\n[header]\n" + render_record(header, def, s, false, "\n") + "\n";
    return out;
}

// ---- rows of (kind, sub-kind, strength) and similar three-column tables ----

struct RowColumns {
    const char* columns[3];
    int named_column; // the column that may be given by name, under `name_key`
    const char* name_key;
    CodeNames names;
    int fixed_column;     // with a name, this column must be 0 (-1: none)
    const char* word_key; // column 0 may be a word: "always" = -1 (nullptr: none)
};

bool read_rows(const toml::node& n, Table<11, 3>& rows, const RowColumns& rc, const Source& src,
               const std::string& what) {
    const auto* arr = n.as_array();
    if (!arr) {
        src.error(line_of(n), "'" + what + "' should be an array of rows");
        return false;
    }
    if (arr->size() > 11) {
        src.error(line_of(n), "'" + what + "' has " + std::to_string(arr->size()) +
                                  " rows; it holds at most 11");
        return false;
    }
    bool ok = true;
    rows = {};
    for (std::size_t r = 0; r < arr->size(); ++r) {
        const auto& row = (*arr)[r];
        std::string row_what = what + "[" + std::to_string(r) + "]";
        if (row.is_array()) {
            ok = read_value(row, rows[r], src, row_what) && ok;
            continue;
        }
        const auto* t = row.as_table();
        if (!t) {
            src.error(line_of(row), "'" + row_what + "' should be a table or an array");
            ok = false;
            continue;
        }
        for (auto&& [k, v] : *t) {
            std::string key(k.str());
            int col = -1;
            for (int c = 0; c < 3; ++c)
                if (key == rc.columns[c]) col = c;
            if (key == rc.name_key) {
                if (!v.is_string()) {
                    src.error(line_of(v), "'" + key + "' should be a name");
                    ok = false;
                } else if (auto code = code_of(rc.names, v.as_string()->get())) {
                    rows[r][static_cast<std::size_t>(rc.named_column)] =
                        static_cast<int16_t>(*code);
                } else {
                    src.error(line_of(v), "'" + key + "' = \"" + v.as_string()->get() +
                                              "\" is not a known " + key);
                    ok = false;
                }
            } else if (col == 0 && rc.word_key && v.is_string()) {
                if (v.as_string()->get() == rc.word_key)
                    rows[r][0] = -1;
                else {
                    src.error(line_of(v),
                              "'" + key + "' should be a number or \"" + rc.word_key + "\"");
                    ok = false;
                }
            } else if (col >= 0) {
                ok = read_value(v, rows[r][static_cast<std::size_t>(col)], src,
                                row_what + "." + key) &&
                     ok;
            } else {
                src.error(line_of(v), "unknown field '" + key + "' in '" + what + "'");
                ok = false;
            }
        }
    }
    return ok;
}

std::optional<std::string> render_rows(const Table<11, 3>& rows, const RowColumns& rc) {
    std::size_t used = 11;
    while (used > 0 && rows[used - 1] == std::array<int16_t, 3>{}) --used;
    if (used == 0) return std::nullopt;
    std::string s = "[";
    for (std::size_t r = 0; r < used; ++r) {
        const auto& row = rows[r];
        std::vector<std::string> parts;
        const char* word = rc.named_column >= 0
                               ? name_of(rc.names, row[static_cast<std::size_t>(rc.named_column)])
                               : nullptr;
        if (word && rc.fixed_column >= 0 && row[static_cast<std::size_t>(rc.fixed_column)] != 0)
            word = nullptr;
        for (int c = 0; c < 3; ++c) {
            int16_t v = row[static_cast<std::size_t>(c)];
            if (c == rc.named_column && word) {
                parts.push_back(std::string(rc.name_key) + " = " + toml_string(word));
            } else if (c == rc.fixed_column && word) {
                continue;
            } else if (c == 0 && rc.word_key && v == -1) {
                parts.push_back(std::string(rc.columns[0]) + " = " + toml_string(rc.word_key));
            } else if (v != 0) {
                parts.push_back(std::string(rc.columns[c]) + " = " + std::to_string(v));
            }
        }
        std::string joined;
        for (const auto& p : parts) joined += (joined.empty() ? "" : ", ") + p;
        s += std::string(r ? ", " : "") + "{ " + joined + (joined.empty() ? "}" : " }");
    }
    return s + "]";
}

const RowColumns USE_ROWS{{"kind", "sub_kind", "strength"}, 0, "effect", USE_EFFECTS, 1, nullptr};
const RowColumns ATTACK_ROWS{
    {"chance", "kind", "grade"}, 1, "effect", ATTACK_EFFECTS, -1, "always"};

// usable_by: a list of class names ("all" for every class), or 26 raw Booleans.
bool read_usable_by(const toml::node& n, ItemRec& item, const Source& src) {
    const auto* arr = n.as_array();
    if (!arr) {
        src.error(line_of(n), "'usable_by' should be a list of class names");
        return false;
    }
    item.usable_by = {};
    if (!arr->empty() && (*arr)[0].is_integer())
        return read_value(n, item.usable_by, src, "usable_by");
    bool ok = true;
    for (const auto& e : *arr) {
        if (!e.is_string()) {
            src.error(line_of(e), "'usable_by' should list class names, not mix them with numbers");
            ok = false;
            continue;
        }
        const std::string& name = e.as_string()->get();
        if (name == "all") {
            for (const auto& c : CLASS_NAMES)
                item.usable_by[static_cast<std::size_t>(c.value + 1)] = -1;
        } else if (auto c = code_of(CLASS_NAMES, name)) {
            item.usable_by[static_cast<std::size_t>(*c + 1)] = -1;
        } else {
            src.error(line_of(e), "'usable_by' names \"" + name + "\", which is not a class");
            ok = false;
        }
    }
    // Element 0 is what the shop's appraisal prints as "Useable:".
    if (!arr->empty()) item.usable_by[0] = -1;
    return ok;
}

std::optional<std::string> render_usable_by(const ItemRec& item) {
    const auto& u = item.usable_by;
    bool named = true;
    int count = 0;
    for (std::size_t k = 0; k < u.size(); ++k) {
        if (u[k] != 0 && u[k] != -1) named = false;
        if (k > CLASS_NAMES.size() && u[k] != 0) named = false;
        if (k >= 1 && k <= CLASS_NAMES.size() && u[k]) ++count;
    }
    if (named && (u[0] == -1) != (count > 0)) named = false;
    if (!named) return render(u);
    if (count == 0) return std::nullopt;
    if (count == static_cast<int>(CLASS_NAMES.size())) return std::string("[\"all\"]");
    std::string s = "[";
    for (const auto& c : CLASS_NAMES)
        if (u[static_cast<std::size_t>(c.value + 1)])
            s += std::string(s.size() > 1 ? ", " : "") + toml_string(c.name);
    return s + "]";
}

// A number naming an entry of another list (0 = none, where allowed).
bool read_reference(const toml::node& n, int16_t& out, Reference::To to, const Source& src,
                    const std::string& what, std::vector<Reference>& refs) {
    if (!read_value(n, out, src, what)) return false;
    if (out != 0) refs.push_back({to, out, src.file, line_of(n), what});
    return true;
}

// The reader and writer of a field of rows (an item's use effects, a monster's attack effects).
template <class Rec>
std::pair<typename Schema<Rec>::Reader, typename Schema<Rec>::Writer>
rows_field(Table<11, 3> Rec::*field, const RowColumns& rc, const char* name) {
    return {[=, &rc](const toml::node& n, Rec& r, const Source& src, std::vector<Reference>&) {
                return read_rows(n, r.*field, rc, src, name);
            },
            [=, &rc](const Rec& r) { return render_rows(r.*field, rc); }};
}

Schema<ItemRec> item_schema() {
    Schema<ItemRec> s{"item", "The items of Duskwend.", {{"kind", ITEM_KINDS}}, {}};
    s.special["usable_by"] = {[](const toml::node& n, ItemRec& r, const Source& src,
                                 std::vector<Reference>&) { return read_usable_by(n, r, src); },
                              render_usable_by};
    s.special["use_effects"] = rows_field(&ItemRec::use_effects, USE_ROWS, "use_effects");
    return s;
}

Schema<MonsterRec> monster_schema() {
    Schema<MonsterRec> s{"monster",
                         "The monsters of Duskwend; monster n is drawn by Mon<n>.bmp.",
                         {{"monster_type", MONSTER_TYPES}, {"gender", GENDERS}},
                         {}};
    s.special["attack_effects"] =
        rows_field(&MonsterRec::attack_effects, ATTACK_ROWS, "attack_effects");
    return s;
}

Schema<SpellRec> spell_schema() {
    Schema<SpellRec> s{"spell",
                       "The spells and inherent powers of Duskwend.",
                       {{"effect", SPELL_EFFECTS}, {"target_type", TARGET_TYPES}},
                       {}};
    s.special["description"] = {
        [](const toml::node& n, SpellRec& r, const Source& src, std::vector<Reference>&) {
            auto t = read_long_text(n, 1024, src, "description");
            if (t) r.description = *t;
            return t.has_value();
        },
        [](const SpellRec& r) -> std::optional<std::string> {
            if (r.description.trimmed().empty()) return std::nullopt;
            return render_long_text(r.description.trimmed());
        }};
    return s;
}

Schema<ShopRec> shop_schema() {
    Schema<ShopRec> s{"shop",
                      "The shops of Duskwend; a shop door names its shop by number.",
                      {{"shop_kind", SHOP_KINDS}},
                      {}};
    s.special["stock"] = {
        [](const toml::node& n, ShopRec& r, const Source& src, std::vector<Reference>& refs) {
            if (!read_value(n, r.stock, src, "stock")) return false;
            const auto& arr = *n.as_array();
            for (std::size_t k = 0; k < arr.size(); ++k)
                if (r.stock[k] > 0)
                    refs.push_back({Reference::To::item, r.stock[k], src.file, line_of(arr[k]),
                                    "stock[" + std::to_string(k) + "]"});
            return true;
        },
        [](const ShopRec& r) -> std::optional<std::string> {
            if (r.stock == std::array<int16_t, 16>{}) return std::nullopt;
            return render(r.stock);
        }};
    return s;
}

Schema<SpellProgressionRec> progression_schema() {
    Schema<SpellProgressionRec> s{
        "progression",
        "Spells gained by class and level; level 1 entries are the starting spells.",
        {{"class_id", CLASS_NAMES}},
        {}};
    s.always_number = false;
    s.inline_entries = true;
    for (const char* field : {"spell", "replaces_spell"}) {
        std::string f = field;
        s.special[f] = {[f](const toml::node& n, SpellProgressionRec& r, const Source& src,
                            std::vector<Reference>& refs) {
                            return read_reference(n, f == "spell" ? r.spell : r.replaces_spell,
                                                  Reference::To::spell, src, f, refs);
                        },
                        [f](const SpellProgressionRec& r) -> std::optional<std::string> {
                            int16_t v = f == "spell" ? r.spell : r.replaces_spell;
                            if (v == 0 && f != "spell") return std::nullopt;
                            return std::to_string(v);
                        }};
    }
    return s;
}

} // namespace

void read_item_source(const toml::table& root, const Source& src, World& w,
                      std::vector<Reference>& refs) {
    read_list(root, src, item_schema(), w.item_header, default_header<ItemRec>, w.items, refs);
}
void read_monster_source(const toml::table& root, const Source& src, World& w,
                         std::vector<Reference>& refs) {
    read_list(root, src, monster_schema(), w.monster_header, default_header<MonsterRec>, w.monsters,
              refs);
}
void read_spell_source(const toml::table& root, const Source& src, World& w,
                       std::vector<Reference>& refs) {
    read_list(root, src, spell_schema(), w.spell_header, default_header<SpellRec>, w.spells, refs);
}
void read_shop_source(const toml::table& root, const Source& src, World& w,
                      std::vector<Reference>& refs) {
    read_list(root, src, shop_schema(), w.shop_header, default_header<ShopRec>, w.shops, refs);
}
void read_progression_source(const toml::table& root, const Source& src, World& w,
                             std::vector<Reference>& refs) {
    read_list(root, src, progression_schema(), w.progression_header,
              default_header<SpellProgressionRec>, w.progression, refs);
}

std::string item_source(const World& w) {
    return write_list(item_schema(), w.item_header, w.items, default_header<ItemRec>);
}
std::string monster_source(const World& w) {
    return write_list(monster_schema(), w.monster_header, w.monsters, default_header<MonsterRec>);
}
std::string spell_source(const World& w) {
    return write_list(spell_schema(), w.spell_header, w.spells, default_header<SpellRec>);
}
std::string shop_source(const World& w) {
    return write_list(shop_schema(), w.shop_header, w.shops, default_header<ShopRec>);
}
std::string progression_source(const World& w) {
    return write_list(progression_schema(), w.progression_header, w.progression,
                      default_header<SpellProgressionRec>);
}

} // namespace duskwend
