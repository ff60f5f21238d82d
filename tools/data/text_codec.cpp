#include "tools/data/text_codec.h"

namespace duskwend {

std::string markers_from_lines(std::string_view source) {
    std::string out;
    // Line breaks at the end carry nothing (the text is blank-padded anyway); a closing quote on a
    // line of its own should not add an empty message.
    while (!source.empty() && (source.back() == '\n' || source.back() == '\r'))
        source.remove_suffix(1);
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '\r' && i + 1 < source.size() && source[i + 1] == '\n') continue;
        if (source[i] != '\n') {
            out += source[i];
        } else if (i + 1 < source.size() && source[i + 1] == '\n') {
            out += "\\N";
            ++i;
        } else if (i + 2 < source.size() && source[i + 1] == '\r' && source[i + 2] == '\n') {
            out += "\\N";
            i += 2;
        } else {
            out += "\\n";
        }
    }
    return out;
}

std::optional<std::string> lines_from_markers(std::string_view stored) {
    if (stored.find('\n') != std::string_view::npos) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\\' && i + 1 < stored.size() &&
            (stored[i + 1] == 'n' || stored[i + 1] == 'N')) {
            out += stored[i + 1] == 'n' ? "\n" : "\n\n";
            ++i;
        } else {
            out += stored[i];
        }
    }
    // Line breaks at either end, or three in a row, would read back differently.
    if (out.empty() || out.front() == '\n' || out.back() == '\n' || out.back() == ' ' ||
        markers_from_lines(out) != stored)
        return std::nullopt;
    return out;
}

} // namespace duskwend
