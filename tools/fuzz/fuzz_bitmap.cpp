// The BMP loader, from the header checks to the decoded pixels.
#include "platform/session.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    const auto b = read_bitmap_bytes({data, size});
    if (b && (b->width < 1 || b->height < 1 || b->width > MAX_PICTURE_SIDE ||
              b->height > MAX_PICTURE_SIDE))
        std::abort();
    return 0;
}
