#pragma once
// Problems found in content sources, each tied to a file and a line.

#include <string>
#include <vector>

namespace duskwend {

struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
    // A reference or value the game would mishandle, as opposed to a source that cannot be read
    // at all; `compile --lenient` writes the world despite these.
    bool consistency = false;
    // "file:line: message", the form editors jump to.
    std::string str() const {
        return line > 0 ? file + ":" + std::to_string(line) + ": " + message
                        : file + ": " + message;
    }
};

class Diagnostics {
  public:
    void error(std::string file, int line, std::string message, bool consistency = false) {
        list_.push_back({std::move(file), line, std::move(message), consistency});
    }
    bool ok() const { return list_.empty(); }
    const std::vector<Diagnostic>& list() const { return list_; }

  private:
    std::vector<Diagnostic> list_;
};

} // namespace duskwend
