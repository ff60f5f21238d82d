#include "platform/serve.h"

#include "core/any_key.h"
#include "core/version.h"
#include "platform/dumps.h"
#include "platform/frame.h"

#include <nlohmann/json.hpp>

#include <csignal>
#include <iostream>
#include <stdexcept>

namespace duskwend {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

constexpr int PROTOCOL = 1;
// A longer line is refused without being kept: no request needs a megabyte.
constexpr std::size_t MAX_LINE = 1 << 20;

struct Request {
    std::vector<KeyPress> keys;
    bool text = true, state = true, screenshot = false;
    bool quit = false;
};

std::string type_of(const json& j) {
    return j.type_name();
}

// Checks the whole line before anything is typed: a request is taken whole or not at all.
Request read_request(const std::string& line) {
    json j;
    try {
        j = json::parse(line);
    } catch (const json::parse_error& e) {
        // The library's message after its "[json.exception.parse_error.N] " tag.
        std::string why = e.what();
        if (const auto tag = why.find("] "); tag != std::string::npos) why.erase(0, tag + 2);
        throw std::invalid_argument("not JSON: " + why);
    }
    if (!j.is_object())
        throw std::invalid_argument("a request is a JSON object, not " + type_of(j));
    Request r;
    for (const auto& [field, value] : j.items()) {
        if (field == "keys") {
            if (!value.is_string())
                throw std::invalid_argument("\"keys\" is a key script string, not " +
                                            type_of(value));
            KeyScript script;
            try {
                script = read_key_script(value.get<std::string>());
            } catch (const std::invalid_argument& e) {
                throw std::invalid_argument(std::string("\"keys\": ") + e.what());
            }
            if (script.seed)
                throw std::invalid_argument("\"keys\": {seed N} starts a run; give --seed");
            r.keys = std::move(script.keys);
        } else if (field == "want") {
            if (!value.is_array())
                throw std::invalid_argument("\"want\" is a list, not " + type_of(value));
            r.text = r.state = false;
            for (std::size_t i = 0; i < value.size(); ++i) {
                const json& w = value[i];
                const std::string part = w.is_string() ? w.get<std::string>() : "";
                if (part == "text")
                    r.text = true;
                else if (part == "state")
                    r.state = true;
                else if (part == "screenshot")
                    r.screenshot = true;
                else
                    throw std::invalid_argument("\"want\" item " + std::to_string(i + 1) + " is " +
                                                w.dump() +
                                                "; it may hold \"text\", \"state\" "
                                                "and \"screenshot\"");
            }
        } else if (field == "quit") {
            if (!value.is_boolean())
                throw std::invalid_argument("\"quit\" is true or false, not " + type_of(value));
            r.quit = value.get<bool>();
        } else {
            throw std::invalid_argument("unknown field \"" + field +
                                        "\"; a request may hold \"keys\", \"want\" and \"quit\"");
        }
    }
    if (r.quit && j.size() > 1)
        throw std::invalid_argument("\"quit\" comes alone: nothing is typed or shown with it");
    return r;
}

std::string base64(const std::string& bytes) {
    static constexpr char DIGITS[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= n ? DIGITS[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

ordered_json frame(const HeadlessGame& run, const Request& want, ordered_json answer) {
    if (want.text) answer["text"] = text_dump(run.g);
    if (want.state) answer["state"] = state_dump(run.g);
    answer["waiting"] = sub_waits_for_any_key(run.g);
    if (want.screenshot) {
        const std::string png = frame_png(run.g, run.font);
        if (png.empty()) throw std::runtime_error("the screenshot cannot be encoded");
        answer["screenshot"] = base64(png);
    }
    return answer;
}

// One answer on one line, flushed: the other side waits for it. False once nobody reads.
bool send(std::ostream& out, const ordered_json& answer) {
    out << answer.dump(-1, ' ', false, json::error_handler_t::replace) << '\n' << std::flush;
    return static_cast<bool>(out);
}

ordered_json failure(const std::string& why) {
    return ordered_json{{"ok", false}, {"error", why}};
}

// The next line without its end; nothing at the end of the input. A line past MAX_LINE is
// read to its end and answered as too long.
std::optional<std::string> next_line(std::istream& in, bool& too_long) {
    std::string line;
    too_long = false;
    std::streambuf* buf = in.rdbuf();
    for (;;) {
        const int c = buf->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            if (line.empty() && !too_long) return std::nullopt;
            break;
        }
        if (c == '\n') break;
        if (line.size() < MAX_LINE)
            line += static_cast<char>(c);
        else
            too_long = true;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

} // namespace

int run_serve(const Options& o, std::istream& in, std::ostream& out) {
    // A reader that goes away ends the run through a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<HeadlessGame> run;
    try {
        run = std::make_unique<HeadlessGame>(o);
        // --keys types what comes before the first request.
        type_keys(run->g, o.keys);
        ordered_json greeting{{"duskwend", GAME_VERSION}, {"protocol", PROTOCOL}};
        if (!send(out, frame(*run, Request{}, std::move(greeting)))) return 0;
    } catch (const std::exception& e) {
        std::cerr << "duskwend: " << e.what() << "\n";
        send(out, failure(e.what()));
        return 1;
    }
    bool too_long = false;
    while (const auto line = next_line(in, too_long)) {
        Request request;
        try {
            if (too_long)
                throw std::invalid_argument("the line is longer than " + std::to_string(MAX_LINE) +
                                            " bytes");
            request = read_request(*line);
        } catch (const std::invalid_argument& e) {
            if (!send(out, failure(e.what()))) return 0;
            continue;
        }
        if (request.quit) {
            send(out, ordered_json{{"ok", true}});
            return 0;
        }
        try {
            type_keys(run->g, request.keys);
            ordered_json answer{{"ok", true}};
            // The game's own quit ends the run as closing the window does.
            const bool ended = is_on(run->g.quit_requested);
            if (ended) answer["quit"] = true;
            if (!send(out, frame(*run, request, std::move(answer))) || ended) return 0;
        } catch (const std::exception& e) {
            std::cerr << "duskwend: " << e.what() << "\n";
            send(out, failure(e.what()));
            return 1;
        }
    }
    return 0;
}

} // namespace duskwend
