// Every record decoder: the first byte picks the record, the rest are its bytes. A decoded
// record must encode to bytes that decode to the same record.
#include "core/records.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

template <class Rec> void round_trip(std::span<const uint8_t> bytes) {
    const Rec r = decode<Rec>(bytes);
    const auto encoded = encode(r);
    if (encoded.size() != Rec::disk_size || !(decode<Rec>(encoded) == r)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::span<const uint8_t> bytes(data + 1, size - 1);
    switch (data[0] % 8) {
    case 0:
        round_trip<CharacterRec>(bytes);
        break;
    case 1:
        round_trip<PartyMemberRec>(bytes);
        break;
    case 2:
        round_trip<ItemRec>(bytes);
        break;
    case 3:
        round_trip<MonsterRec>(bytes);
        break;
    case 4:
        round_trip<ShopRec>(bytes);
        break;
    case 5:
        round_trip<SpellRec>(bytes);
        break;
    case 6:
        round_trip<SpellProgressionRec>(bytes);
        break;
    default:
        round_trip<MapRec>(bytes);
        break;
    }
    return 0;
}
