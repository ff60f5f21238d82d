// Every record decoder: the first byte picks the record, the rest are its bytes. A decoded
// record must encode to bytes that decode to the same record.
#include "core/records.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace duskwend {

namespace {

template <class Rec> void round_trip(std::span<const uint8_t> bytes) {
    const Rec r = decode<Rec>(bytes);
    const auto encoded = encode(r);
    if (encoded.size() != Rec::disk_size || !(decode<Rec>(encoded) == r)) std::abort();
}

} // namespace

} // namespace duskwend

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    if (size < 1) return 0;
    const std::span<const uint8_t> bytes(data + 1, size - 1);
    constexpr void (*ROUND_TRIPS[])(std::span<const uint8_t>) = {
        round_trip<CharacterRec>,        round_trip<PartyMemberRec>, round_trip<ItemRec>,
        round_trip<MonsterRec>,          round_trip<ShopRec>,        round_trip<SpellRec>,
        round_trip<SpellProgressionRec>, round_trip<MapRec>};
    ROUND_TRIPS[data[0] % 8](bytes);
    return 0;
}
