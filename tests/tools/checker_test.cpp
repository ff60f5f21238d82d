// Every kind of mistake in a source is reported once, as file:line, and makes the tool exit
// with status 1.

#include "test_support.h"

#include "core/map_names.h"
#include "tools/data/playable.h"

namespace duskwend {

namespace {

// A small, correct content folder; each test spoils one thing in it.
class CheckerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        copy_content(DUSKWEND_CONTENT_DIR, tmp.path() / "content");
        dir = tmp.path() / "content";
    }

    // Replaces the first occurrence of `from` in a content file.
    void edit(const std::string& file, const std::string& from, const std::string& to) {
        std::string text = file_text(dir / file);
        auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        write_text(dir / file, text);
    }

    int line_of_text(const std::string& file, const std::string& needle) {
        return line_in_file(dir / file, needle);
    }

    // The line of the [[event]] table that holds `needle`; event problems are reported there.
    int event_line(const std::string& file, const std::string& needle) {
        const std::string text = file_text(dir / file);
        return line_at(text, text.rfind("[[event]]", text.find(needle)));
    }

    // Checks the folder and expects exactly one problem, at file:line, mentioning `words`.
    void expect_one_error(const std::string& file, int line, const std::string& words) {
        Diagnostics diags;
        load_content(dir, diags);
        ASSERT_EQ(diags.list().size(), 1u)
            << (diags.list().empty() ? "no error" : diags.list()[1].str());
        const auto& d = diags.list()[0];
        EXPECT_EQ(d.file, (dir / file).string());
        EXPECT_EQ(d.line, line) << d.str();
        EXPECT_NE(d.message.find(words), std::string::npos) << d.str();
    }

    ScratchDir tmp;
    fs::path dir;
};

TEST_F(CheckerTest, ShippedContentHasNoProblems) {
    Diagnostics diags;
    std::vector<MapOrigin> origins;
    World w = load_content(dir, diags, &origins);
    ASSERT_EQ(origins.size(), w.maps.size());
    // And it can be played through: every map, door, fight, treasure and sign is reached.
    check_playable(w, origins, diags);
    for (const auto& d : diags.list()) ADD_FAILURE() << d.str();
}

TEST_F(CheckerTest, UnknownFieldWrongTypeAndRange) {
    edit("items.toml", "price = 30\n", "price = 30\ncolour = \"red\"\n");
    expect_one_error("items.toml", line_of_text("items.toml", "colour"), "unknown field 'colour'");
    edit("items.toml", "colour = \"red\"\n", "");

    edit("items.toml", "price = 30\n", "price = \"thirty\"\n");
    expect_one_error("items.toml", line_of_text("items.toml", "thirty"),
                     "'price' should be an integer");
    edit("items.toml", "price = \"thirty\"\n", "price = 40000\n");
    expect_one_error("items.toml", line_of_text("items.toml", "40000"),
                     "outside the Integer range");
    edit("items.toml", "price = 40000\n", "price = 30\n");

    edit("monsters.toml", "monster_type = \"beast\"", "monster_type = \"dragonkin\"");
    expect_one_error("monsters.toml", line_of_text("monsters.toml", "dragonkin"), "is not one of");
}

TEST_F(CheckerTest, NameLongerThanItsField) {
    edit("items.toml", "name = \"Dagger\"", "name = \"Dagger of Quite Remarkable Length\"");
    expect_one_error("items.toml", line_of_text("items.toml", "Remarkable"), "the field holds 20");
}

TEST_F(CheckerTest, MapNamesGoBesideTheMapFileAndMustBeOneLine) {
    Diagnostics diags;
    const World w = load_content(dir, diags);
    ASSERT_EQ(w.map_names.size(), w.maps.size());
    EXPECT_EQ(w.map_names[1], "The Sewers");
    ASSERT_EQ(write_data_files(w, tmp.path() / "out"), "");
    for (std::size_t k = 0; k < w.maps.size(); ++k)
        EXPECT_EQ(read_map_name(tmp.path() / "out", int(k + 1)), w.map_names[k]);
    EXPECT_EQ(read_map_name(tmp.path() / "out", int(w.maps.size() + 1)), "");

    edit("maps/02-sewers.toml", "name = \"The Sewers\"", "name = \"The\\nSewers\"");
    expect_one_error("maps/02-sewers.toml", line_of_text("maps/02-sewers.toml", "Sewers\""),
                     "one line");
}

TEST_F(CheckerTest, DanglingReferences) {
    // Each reference spoiled in turn and put right again; event fields are reported at the
    // line of their [[event]].
    struct Case {
        std::string file, good, bad, needle, words;
        bool at_event;
    };
    const std::string city = "maps/01-duskwend.toml";
    const Case cases[] = {
        {"shops.toml", "stock = [11, 1,", "stock = [11, 480,", "480",
         "item 480, which does not exist", false},
        {"spell_progression.toml", "spell = 14 }", "spell = 140 }", "140", "spell 140", false},
        {city, "map = 2\n", "map = 9\n", "map = 9", "map 9, which does not exist", false},
        {city, "monster = 8\n", "monster = 80\n", "monster = 80", "monster 80", false},
        {city, "shop = 2\n", "shop = 9\n", "shop = 9", "shop 9", false},
        {city, "message = 2\n", "message = 40\n", "message = 40", "message 40 does not exist",
         true},
        {city, "text = 1\n", "text = 9\n", "text = 9", "text 9 does not exist", true},
        {city, "flag = 1,", "flag = 101,", "flag = 101", "flag 101 does not exist", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bad);
        edit(c.file, c.good, c.bad);
        expect_one_error(c.file,
                         c.at_event ? event_line(c.file, c.needle) : line_of_text(c.file, c.needle),
                         c.words);
        edit(c.file, c.bad, c.good);
    }
}

TEST_F(CheckerTest, EventSquareOutsideTheMap) {
    const std::string city = "maps/01-duskwend.toml";
    edit(city, "x = 16\ny = 31\n", "x = 16\ny = 33\n");
    expect_one_error(city, event_line(city, "y = 33"), "outside the map");
}

TEST_F(CheckerTest, EventsMissingTheirMeaning) {
    const std::string map = "maps/01-duskwend.toml";
    // A door without its building would lead into the guild hall and move the start square.
    edit(map, "x = 15\ny = 26\nbuilding = \"shop\"\nshop = 1\n", "x = 15\ny = 26\n");
    expect_one_error(map, event_line(map, "x = 15\ny = 26\n"), "needs 'building'");
    edit(map, "x = 15\ny = 26\n", "x = 15\ny = 26\nbuilding = \"shop\"\n");
    expect_one_error(map, event_line(map, "x = 15\ny = 26\n"), "needs 'shop'");
    edit(map, "x = 15\ny = 26\nbuilding = \"shop\"\n",
         "x = 15\ny = 26\nbuilding = \"shop\"\nshop = 1\n");
    // A teleport without its map would go to map 0.
    edit(map, "y = 5\nmap = 2\nto_x = 1\n", "y = 5\nto_x = 1\n");
    expect_one_error(map, event_line(map, "y = 5\nto_x = 1\n"), "needs 'map'");
}

TEST_F(CheckerTest, HeaderCountMustMatchTheEntries) {
    write_text(dir / "items.toml", file_text(dir / "items.toml") + "\n[header]\nnumber = -5\n");
    expect_one_error("items.toml", line_of_text("items.toml", "number = -5"),
                     "the header says number = -5");
}

TEST_F(CheckerTest, TooManyEventsMessagesAndTexts) {
    const std::string city = "maps/01-duskwend.toml";
    std::string more;
    for (int k = 0; k < 50; ++k) more += "\n[[event]]\nkind = \"none\"\n";
    const std::string original = file_text(dir / city);
    std::string text = original;
    auto at = text.find("\n[messages]");
    text.insert(at, more);
    write_text(dir / city, text);
    // The city has more than 51 events; the 102nd is the first one too many.
    int line = 0, seen = 0;
    for (std::size_t p = 0; (p = text.find("[[event]]", p)) != std::string::npos; ++p)
        if (++seen == 102) line = line_at(text, p);
    expect_one_error(city, line, "too many events");
    write_text(dir / city, original);

    edit(city, "[messages]\n", "[messages]\n51 = \"one too many\"\n");
    expect_one_error(city, line_of_text(city, "51 = "), "a map holds 51 messages");
    edit(city, "51 = \"one too many\"\n", "");

    edit(city, "[texts]\n", "[texts]\n11 = 'one too many'\n");
    expect_one_error(city, line_of_text(city, "11 = 'one"), "a map holds 11 texts");
}

TEST_F(CheckerTest, LongTextOverAThousandCharacters) {
    const std::string city = "maps/01-duskwend.toml";
    edit(city, "[texts]\n", "[texts]\n9 = '" + std::string(1001, 'a') + "'\n");
    expect_one_error(city, line_of_text(city, "9 = 'aaa"),
                     "1001 characters long; the field holds 1000");
}

TEST_F(CheckerTest, GridDrawingMistakesNameTheirLine) {
    const std::string city = "maps/01-duskwend.toml";
    // The last corner of the border line above row 3 knocked out of place.
    std::string text = file_text(dir / city);
    auto row3 = text.find("\n 3 ");
    ASSERT_EQ(text[row3 - 1], '+');
    text[row3 - 1] = '*';
    write_text(dir / city, text);
    expect_one_error(city, line_at(text, row3), "column 70: expected '+' at a corner");
}

TEST_F(CheckerTest, ToolExitsWithStatusOneAndPrintsFileAndLine) {
    edit("items.toml", "price = 30\n", "price = 30\ncolour = 1\n");
    const auto [status, printed] = run_data_tool("check " + dir.string(), tmp.path() / "out.txt");
    EXPECT_EQ(status, 1);
    std::string expected = (dir / "items.toml").string() + ":" +
                           std::to_string(line_of_text("items.toml", "colour")) +
                           ": unknown field 'colour'";
    EXPECT_NE(printed.find(expected), std::string::npos) << printed;

    // compile refuses too, and writes nothing.
    EXPECT_EQ(run_data_tool("compile " + dir.string() + " -o " + (tmp.path() / "data").string(),
                            tmp.path() / "out.txt")
                  .first,
              1);
    EXPECT_FALSE(fs::exists(tmp.path() / "data" / "Item.dat"));
}

} // namespace

} // namespace duskwend
