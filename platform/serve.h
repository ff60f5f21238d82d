#pragma once
// Play by program: the game without a window, talking JSON Lines. One request object per
// line in, exactly one answer object per request out, flushed at once.
//
//   greeting          {"duskwend": "<version>", "protocol": 1, ...frame}
//   {"keys": "..."}   types a key script, answers {"ok": true, ...frame}
//   {"quit": true}    answers {"ok": true} and ends; so does the end of the input
//   anything else     {"ok": false, "error": "..."}, and nothing is typed
//
// A frame is "text" (as --dump-text writes it), "state" (as --dump-state) and "waiting";
// "want": ["text", "state", "screenshot"] chooses what besides "waiting" it holds.

#include "platform/session.h"

#include <iosfwd>

namespace duskwend {

// Answers requests from `in` on `out` until a quit or the end of the input: 0 then, 1 when
// the game cannot start or fails while playing (the answer says why).
int run_serve(const Options& o, std::istream& in, std::ostream& out);

} // namespace duskwend
