#pragma once
// Fixed-length text fields of the records: always exactly N single-byte (Windows-1252)
// characters, blank-padded on the right, cut when a longer text is assigned.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace duskwend {

template <std::size_t N> class FixedText {
  public:
    static constexpr std::size_t length = N;

    FixedText() : text_(N, ' ') {}
    FixedText(std::string_view v) { assign(v); } // NOLINT: assignment from text is natural
    FixedText(const char* v) { assign(v); }      // NOLINT
    FixedText& operator=(std::string_view v) {
        assign(v);
        return *this;
    }
    FixedText& operator=(const char* v) {
        assign(v);
        return *this;
    }

    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; } // NOLINT
    operator std::string_view() const { return text_; }   // NOLINT
    // The text without its trailing blanks, as printing code shows it.
    std::string trimmed() const {
        auto end = text_.find_last_not_of(' ');
        return end == std::string::npos ? std::string() : text_.substr(0, end + 1);
    }
    bool operator==(const FixedText&) const = default;

  private:
    void assign(std::string_view v) {
        text_.assign(v.substr(0, std::min(v.size(), N)));
        text_.resize(N, ' ');
    }
    std::string text_;
};

} // namespace duskwend
