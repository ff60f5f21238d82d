// The real program in --serve mode, talked to through its standard input and output as an
// agent would: its frames and screenshot against the headless runner's, its answers to bad
// lines, and its memory over a long session.
#include "core/version.h"
#include "support/fixture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace duskwend {

namespace fs = std::filesystem;
using nlohmann::json;
using fixture::read_text;

namespace {

// duskwend --serve as a child, one request line out and one answer line back.
class Served {
  public:
    explicit Served(const std::vector<std::string>& args) {
        int to_child[2], from_child[2];
        if (pipe(to_child) != 0 || pipe(from_child) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(to_child[0], 0);
            dup2(from_child[1], 1);
            for (int fd : {to_child[0], to_child[1], from_child[0], from_child[1]}) close(fd);
            // The sanitizers' quarantine would hold freed memory back and hide what is kept.
            setenv("ASAN_OPTIONS", "quarantine_size_mb=1:thread_local_quarantine_size_kb=64", 1);
            std::vector<char*> argv{const_cast<char*>(DUSKWEND_BINARY),
                                    const_cast<char*>("--serve")};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(DUSKWEND_BINARY, argv.data());
            _exit(127);
        }
        close(to_child[0]);
        close(from_child[1]);
        in_ = fdopen(to_child[1], "w");
        out_ = fdopen(from_child[0], "r");
    }
    ~Served() {
        if (in_) fclose(in_);
        if (out_) fclose(out_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    json answer() {
        std::string line;
        for (int c; (c = fgetc(out_)) != EOF && c != '\n';) line += static_cast<char>(c);
        return line.empty() ? json() : json::parse(line);
    }
    json ask(const std::string& line) {
        fputs((line + "\n").c_str(), in_);
        fflush(in_);
        return answer();
    }

    // Closes the input; the exit status once the program has ended.
    int end() {
        fclose(in_);
        in_ = nullptr;
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    long rss_kb() const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
        return -1;
    }

  private:
    pid_t pid_ = -1;
    FILE* in_ = nullptr;
    FILE* out_ = nullptr;
};

std::string unbase64(const std::string& text) {
    const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == '=') break;
        bits = bits << 6 | static_cast<uint32_t>(digits.find(c));
        if ((count += 6) >= 8) out += static_cast<char>((bits >> (count -= 8)) & 0xFF);
    }
    return out;
}

class Serve : public ::testing::Test {
  protected:
    Serve() : dir("serve") { fixture::write_small_world(data()); }
    fs::path data() const { return dir.path / "Data"; }
    std::vector<std::string> args(const std::string& saves) const {
        return {"--seed",        "1",          "--data-dir",
                data().string(), "--save-dir", (dir.path / saves).string()};
    }
    // The headless runner's text and state after the same keys at once, with the screenshot
    // written to `png`.
    std::pair<std::string, json> headless(const std::string& keys, const std::string& saves,
                                          const fs::path& png) {
        std::string command = std::string("'") + DUSKWEND_BINARY + "' --headless";
        for (const auto& a : args(saves)) command += " '" + a + "'";
        const fs::path text = dir.path / "text.txt", state = dir.path / "state.json";
        command += " --keys '" + keys + "' --dump-text '" + text.string() + "' --dump-state '" +
                   state.string() + "' --screenshot '" + png.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return {read_text(text), json::parse(read_text(state))};
    }
    fixture::TempDir dir;
};

TEST_F(Serve, KeysTypedInManyRequestsLeaveWhatTheSameKeysAtOnceLeave) {
    for (const auto& e : fs::directory_iterator(fs::path(DUSKWEND_SOURCE_DIR) / "tests/sessions")) {
        if (e.path().extension() != ".keys") continue;
        SCOPED_TRACE(e.path().filename());
        Served served(args("served"));
        const json greeting = served.answer();
        ASSERT_EQ(greeting["protocol"], 1);
        ASSERT_EQ(greeting["duskwend"], GAME_VERSION);
        // One request per line of the script, the last asking for the whole frame.
        std::string all, line;
        std::ifstream script(e.path());
        json last;
        while (std::getline(script, line)) {
            all += line;
            last = served.ask(json{{"keys", line}, {"want", json::array()}}.dump());
            ASSERT_EQ(last["ok"], true) << last;
        }
        last = served.ask(R"({"want": ["text", "state", "screenshot"]})");
        const auto [text, state] = headless(all, "alone", dir.path / "alone.png");
        EXPECT_EQ(last["text"], text);
        EXPECT_EQ(last["state"], state);
        // The screenshot is the runner's PNG, byte for byte, and decodes to the frame's size.
        const std::string png = unbase64(last["screenshot"]);
        EXPECT_EQ(png, read_text(dir.path / "alone.png"));
        SDL_Surface* picture = IMG_Load_RW(SDL_RWFromConstMem(png.data(), int(png.size())), 1);
        ASSERT_NE(picture, nullptr) << IMG_GetError();
        EXPECT_EQ(picture->w, 490);
        EXPECT_EQ(picture->h, 355);
        SDL_FreeSurface(picture);
        EXPECT_EQ(served.ask(R"({"quit": true})"), json({{"ok", true}}));
        EXPECT_EQ(served.end(), 0);
        fs::remove_all(dir.path / "served");
        fs::remove_all(dir.path / "alone");
    }
}

TEST_F(Serve, BadLinesAreAnsweredAndChangeNothing) {
    Served served(args("served"));
    const json greeting = served.answer();
    ASSERT_EQ(greeting["waiting"], false);
    const struct {
        std::string line, error;
    } bad[] = {
        {"e", "not JSON"},
        {"", "not JSON"},
        {R"({"keys": "e")", "not JSON"},
        {R"(["e"])", "a request is a JSON object, not array"},
        {R"("e")", "a request is a JSON object, not string"},
        {R"({"keys": "e", "speed": 2})", "unknown field \"speed\""},
        {R"({"keys": ["e"]})", "\"keys\" is a key script string, not array"},
        {R"({"keys": "e", "want": "text"})", "\"want\" is a list, not string"},
        {R"({"keys": "e", "want": ["text", 3]})", "\"want\" item 2 is 3"},
        {R"({"keys": "e", "quit": "yes"})", "\"quit\" is true or false"},
        {R"({"keys": "e", "quit": true})", "\"quit\" comes alone"},
        // The good keys before the bad one are not typed either.
        {R"({"keys": "ee{jump}"})", "unknown key {jump} at position 3"},
        {R"({"keys": "e~"})", "no key types '~' (position 2)"},
        {R"({"keys": "e{seed 5}"})", "{seed N}"},
        {std::string(1 << 21, ' '), "longer than"},
    };
    for (const auto& b : bad) {
        const json answer = served.ask(b.line);
        EXPECT_EQ(answer["ok"], false) << b.line;
        EXPECT_NE(answer.value("error", "").find(b.error), std::string::npos)
            << b.line.substr(0, 40) << " -> " << answer;
    }
    const json after = served.ask("{}");
    EXPECT_EQ(after["text"], greeting["text"]);
    EXPECT_EQ(after["state"], greeting["state"]);
    // The game's own quit answers its frame and ends the program.
    const json quit = served.ask(R"({"keys": "q", "want": ["state"]})");
    EXPECT_EQ(quit["quit"], true);
    EXPECT_FALSE(quit.contains("text")) << "only what the request wants";
    EXPECT_EQ(quit["state"]["quit_requested"], 1);
    EXPECT_EQ(served.end(), 0);
}

TEST_F(Serve, TenThousandRequestsKeepMemoryFlat) {
    Served served(args("served"));
    served.answer();
    long settled = 0;
    for (int i = 1; i <= 10000; ++i) {
        // A key the guild hall ignores redraws it; some answers carry the text, a few the
        // whole frame.
        const char* request = i % 500 == 0  ? R"({"keys": "z"})"
                              : i % 10 == 0 ? R"({"keys": "z", "want": ["text"]})"
                                            : R"({"keys": "z", "want": []})";
        ASSERT_EQ(served.ask(request)["ok"], true) << i;
        if (i == 2000) settled = served.rss_kb();
    }
    const long grown = served.rss_kb() - settled;
    EXPECT_LT(grown, 1024) << "kB more after 8,000 requests than after the first 2,000";
    EXPECT_EQ(served.end(), 0);
}

} // namespace

} // namespace duskwend
