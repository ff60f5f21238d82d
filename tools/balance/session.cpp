#include "tools/balance/session.h"

#include "core/dispatch.h"
#include "platform/keys.h"
#include "screens/register_screens.h"

namespace duskwend {

HeadlessGame::HeadlessGame(const std::filesystem::path& data_dir, uint64_t seed) {
    register_screens(g);
    g.host = &host;
    g.set_font(&font);
    g.data_files.dir = data_dir;
    g.start_seed = seed;
    g.start_message_delay = 0;
    Form_Load(g);
}

void Keyboard::type(const std::string& script) {
    for (const KeyPress& k : parse_key_script(script)) {
        int16_t code = k.code;
        Form_KeyDown(g_, code, k.shift);
        ++keys_;
    }
}

const char* const NEW_PARTY_KEYS = "caaca"
                                   "dd+++++ddd+++++"
                                   "a"
                                   "Bram{enter}"
                                   "x"
                                   "ccbda"
                                   "d+++++dddd+++++"
                                   "a"
                                   "Ysolde{enter}"
                                   "x"
                                   "a"
                                   "tax"
                                   "tax"
                                   "tax"
                                   "tax"
                                   "x"
                                   "e";

} // namespace duskwend
