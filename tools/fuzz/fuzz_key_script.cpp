// The key-script reader of --keys and --keys-file.
#include "platform/keys.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    try {
        parse_key_script(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
