// Atom containers: byte-exact round trips, finding and editing atoms, and
// containers that lie about their sizes or counts refused without harm.
#include "platform/media/AtomContainer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// One atom written by hand: header fields as given, then the body.
Bytes Atom(const char (&type)[5], int32_t id, uint16_t childCount, const Bytes& body, int64_t size = -1) {
    Bytes out;
    Put32(out, size >= 0 ? uint32_t(size) : uint32_t(20 + body.size()));
    Put32(out, FourCC(type));
    Put32(out, uint32_t(id));
    for (uint8_t b : {0, 0, int(childCount >> 8), int(childCount & 0xFF), 0, 0, 0, 0}) out.push_back(b);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Handle Container(const Bytes& root) { return Handle(Concat({Bytes(12, 0), root})); }
Handle Sean(uint16_t children, const Bytes& body) { return Container(Atom("sean", 1, children, body)); }

// A video setting as the codec catalog stores it.
Handle VideoSetting() {
    const Bytes sptl = Atom("sptl", 1, 0, {'a', 'v', 'c', '1', 0, 0, 0, 0, 0, 24, 0, 0, 2, 0});
    const Bytes tprl = Atom("tprl", 1, 0, {0, 0, 2, 0, 0, 30, 0, 0, 0, 0, 0, 12});
    return Sean(3, Concat({Atom("vide", 1, 2, Concat({sptl, tprl})), Atom("Edsc", 1, 0, {'H', 'i'}),
                           Atom("Edsc", 7, 0, {'L', 'o'})}));
}

// Both ways of reading refuse it, the throwing one with the container error.
bool Refused(const Handle& h) {
    AtomContainer c;
    std::string why;
    const bool refusedQuietly = !AtomContainer::TryParse(h, c, &why) && !why.empty();
    try {
        AtomContainer::Parse(h);
    } catch (const LException& e) {
        return refusedQuietly && e.Code() == kInvalidAtomContainerErr;
    }
    return false;
}

TEST(AtomContainer, RoundTripsByteForByteAndBuildsTheClassicLayout) {
    const Handle h = VideoSetting();
    EXPECT_EQ(AtomContainer::Parse(h).ToHandle(), h);
    AtomContainer c;
    c.InsertParent(FourCC("vide"), 1).InsertChildU32(FourCC("tprl"), 1, 0x01020304);
    EXPECT_EQ(c.ToHandle(), Sean(1, Atom("vide", 1, 1, Atom("tprl", 1, 0, {1, 2, 3, 4}))));
    // An empty container is the root's bare header; a parent without
    // children is written like an empty leaf.
    EXPECT_EQ(AtomContainer().ToHandle().Size(), 32u);
    AtomContainer withParent;
    withParent.InsertParent(FourCC("what"), 1);
    const Handle ph = withParent.ToHandle();
    EXPECT_EQ(AtomContainer::Parse(ph).ToHandle(), ph);
    EXPECT_TRUE(AtomContainer::Parse(ph).Root().SameAs(withParent.Root()));
    // Nesting deep enough for any real setting works; absurd nesting is refused, not a blown stack.
    auto nested = [](int depth) {
        Bytes atom = Atom("leaf", 1, 0, {9});
        for (int i = 0; i < depth; ++i) atom = Atom("nest", i + 1, 1, atom);
        return Sean(1, atom);
    };
    EXPECT_EQ(AtomContainer::Parse(nested(20)).ToHandle(), nested(20));
    EXPECT_TRUE(Refused(nested(5000)));
}

TEST(AtomContainer, FindsEditsAndRemoves) {
    AtomContainer c = AtomContainer::Parse(VideoSetting());
    EXPECT_EQ(c.Count(FourCC("Edsc")), 2);
    EXPECT_EQ(c.Find(FourCC("Edsc"), 2)->Text(), "Lo");  // by index
    EXPECT_EQ(c.Find(FourCC("Edsc"), 3), nullptr);
    EXPECT_EQ(c.Find(FourCC("Edsc"), 0), nullptr);
    EXPECT_EQ(c.Root().FindChildByID(FourCC("Edsc"), 7)->Text(), "Lo");
    EXPECT_EQ(c.Root().FindChildByID(FourCC("Edsc"), 2), nullptr);
    const QTAtomNode* sptl = c.Find(FourCC("vide"))->FindChild(FourCC("sptl"));
    ASSERT_NE(sptl, nullptr);
    EXPECT_EQ(sptl->U32(0), FourCC("avc1"));
    EXPECT_EQ(sptl->U16(8), 24);
    EXPECT_EQ(sptl->U32(10), 0x200u);
    EXPECT_THROW(sptl->U32(11), LException);
    EXPECT_THROW(sptl->U16(size_t(-1)), LException);

    EXPECT_TRUE(c.Remove(FourCC("Edsc"), 2));
    EXPECT_FALSE(c.Remove(FourCC("Edsc"), 2));
    c.Find(FourCC("vide"))->FindChild(FourCC("tprl"))->SetU32(12, 5);  // grows the data
    const AtomContainer again = AtomContainer::Parse(c.ToHandle());
    EXPECT_EQ(again.Count(FourCC("Edsc")), 1);
    EXPECT_EQ(again.Find(FourCC("vide"))->FindChild(FourCC("tprl"))->data.size(), 16u);
    EXPECT_EQ(c.Root().RemoveChildren(FourCC("vide")), 1);
}

TEST(AtomContainer, RefusesTruncatedLyingAndMiscountedInput) {
    const Handle good = VideoSetting();
    EXPECT_TRUE(Refused(Handle()));
    EXPECT_TRUE(Refused(Handle(size_t(0))));
    for (size_t cut = 1; cut < good.Size(); ++cut) EXPECT_TRUE(Refused(Handle(good.Data(), good.Size() - cut))) << cut;
    const Bytes leaf = Atom("Edsc", 1, 0, {'x'}), a = Atom("aaaa", 1, 0, {1}), b = Atom("bbbb", 1, 0, {2});
    // A child that runs past its parent although it fits in the container.
    const Bytes inner = Atom("vide", 1, 1, Atom("sptl", 1, 0, {1, 2, 3, 4}), 24);
    const Handle bad[] = {
        Sean(1, Atom("Edsc", 1, 0, {'x'}, 0x7FFFFFFF)),  // larger than the container
        Container(Atom("sean", 1, 1, leaf, 0xFFFFFFFF)),
        Sean(1, Atom("Edsc", 1, 0, {'x'}, 0)),  // smaller than a header: 0 would loop forever
        Sean(1, Atom("Edsc", 1, 0, {'x'}, 19)),
        Container(Concat({Atom("sean", 1, 0, {}), leaf})),  // bytes left behind the root
        Sean(1, Concat({inner, Bytes(4, 0)})),
        Container(Atom("moov", 1, 0, {})),  // not a container at all
        Sean(0, {1, 2, 3}),
        Sean(1, Concat({a, b})),       // too few children
        Sean(3, Concat({a, b})),       // too many
        Sean(0xFFFF, Concat({a, b})),  // absurd: no room made for 65535 children
    };
    for (const Handle& h : bad) EXPECT_TRUE(Refused(h)) << &h - bad;
    EXPECT_FALSE(Refused(Sean(2, Concat({a, b}))));
}

}  // namespace
