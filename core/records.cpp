#include "core/records.h"

#include <array>

namespace duskwend {

namespace {

class ByteWriter {
  public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void operator()(const char*, int16_t v) { put(static_cast<uint16_t>(v), 2); }
    void operator()(const char*, int32_t v) { put(static_cast<uint32_t>(v), 4); }
    template <std::size_t N> void operator()(const char*, const FixedText<N>& t) {
        out_.insert(out_.end(), t.str().begin(), t.str().end());
    }
    template <class T, std::size_t N> void operator()(const char* name, const std::array<T, N>& a) {
        for (const auto& e : a) (*this)(name, e);
    }
    // Two-dimensional arrays are stored with the first index fastest.
    template <std::size_t R, std::size_t C> void operator()(const char*, const Table<R, C>& t) {
        for (std::size_t c = 0; c < C; ++c)
            for (std::size_t r = 0; r < R; ++r) put(static_cast<uint16_t>(t[r][c]), 2);
    }

  private:
    void put(uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t>& out_;
};

class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> in) : in_(in) {}

    void operator()(const char*, int16_t& v) { v = static_cast<int16_t>(get(2)); }
    void operator()(const char*, int32_t& v) { v = static_cast<int32_t>(get(4)); }
    template <std::size_t N> void operator()(const char*, FixedText<N>& t) {
        std::string s(N, '\0');
        for (auto& ch : s) ch = static_cast<char>(get(1));
        t = s;
    }
    template <class T, std::size_t N> void operator()(const char* name, std::array<T, N>& a) {
        for (auto& e : a) (*this)(name, e);
    }
    template <std::size_t R, std::size_t C> void operator()(const char*, Table<R, C>& t) {
        for (std::size_t c = 0; c < C; ++c)
            for (std::size_t r = 0; r < R; ++r) t[r][c] = static_cast<int16_t>(get(2));
    }

  private:
    // Bytes beyond the end of the input read as zero.
    uint32_t get(int bytes) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i, ++pos_)
            if (pos_ < in_.size()) v |= static_cast<uint32_t>(in_[pos_]) << (8 * i);
        return v;
    }
    std::span<const uint8_t> in_;
    std::size_t pos_ = 0;
};

template <class Rec> std::vector<uint8_t> encode_record(const Rec& r) {
    std::vector<uint8_t> out;
    out.reserve(Rec::disk_size);
    visit_fields(r, ByteWriter(out));
    out.resize(Rec::disk_size, 0); // the shop record's last byte carries no field
    return out;
}

template <class Rec> Rec decode_record(std::span<const uint8_t> bytes) {
    Rec r;
    visit_fields(r, ByteReader(bytes));
    return r;
}

template <class M> auto& pick(M& m, int k, auto... members) {
    using P = std::common_type_t<decltype(members)...>;
    const std::array<P, ATTRIBUTE_COUNT> list{members...};
    return m.*list.at(static_cast<std::size_t>(k));
}

} // namespace

#define DUSKWEND_CODEC(Type)                                                                       \
    template <> std::vector<uint8_t> encode<Type>(const Type& r) {                                 \
        return encode_record(r);                                                                   \
    }                                                                                              \
    template <> Type decode<Type>(std::span<const uint8_t> b) {                                    \
        return decode_record<Type>(b);                                                             \
    }

DUSKWEND_CODEC(CharacterRec)
DUSKWEND_CODEC(PartyMemberRec)
DUSKWEND_CODEC(ItemRec)
DUSKWEND_CODEC(MonsterRec)
DUSKWEND_CODEC(ShopRec)
DUSKWEND_CODEC(SpellRec)
DUSKWEND_CODEC(SpellProgressionRec)
DUSKWEND_CODEC(MapRec)
#undef DUSKWEND_CODEC

int16_t& attribute(CharacterRec& c, int k) {
    using C = CharacterRec;
    return pick(c, k, &C::strength, &C::intelligence, &C::piety, &C::dexterity, &C::speed,
                &C::vitality, &C::personality, &C::karma);
}

int16_t& attribute(PartyMemberRec& m, int k) {
    using P = PartyMemberRec;
    return pick(m, k, &P::strength, &P::intelligence, &P::piety, &P::dexterity, &P::speed,
                &P::vitality, &P::personality, &P::karma);
}

int16_t& base_attribute(PartyMemberRec& m, int k) {
    using P = PartyMemberRec;
    return pick(m, k, &P::base_strength, &P::base_intelligence, &P::base_piety, &P::base_dexterity,
                &P::base_speed, &P::base_vitality, &P::base_personality, &P::base_karma);
}

int16_t attribute(const PartyMemberRec& m, int k) {
    return attribute(const_cast<PartyMemberRec&>(m), k);
}

int16_t base_attribute(const PartyMemberRec& m, int k) {
    return base_attribute(const_cast<PartyMemberRec&>(m), k);
}

} // namespace duskwend
