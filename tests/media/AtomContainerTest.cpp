#include "platform/media/AtomContainer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// One atom written by hand: header fields as given, then the body.
Bytes Atom(OSType type, int32_t id, uint16_t childCount, const Bytes& body,
           int64_t sizeOverride = -1) {
    Bytes out;
    Put32(out, sizeOverride >= 0 ? uint32_t(sizeOverride) : uint32_t(20 + body.size()));
    Put32(out, type);
    Put32(out, uint32_t(id));
    out.push_back(0);
    out.push_back(0);
    out.push_back(uint8_t(childCount >> 8));
    out.push_back(uint8_t(childCount));
    Put32(out, 0);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Handle Container(const Bytes& root) {
    Bytes out(12, 0);
    out.insert(out.end(), root.begin(), root.end());
    return Handle(out);
}

// A video setting as the codec catalog stores it.
Handle VideoSetting() {
    const Bytes sptl = Atom(FourCC("sptl"), 1, 0, {'a', 'v', 'c', '1', 0, 0, 0, 0, 0, 24, 0, 0, 2, 0});
    const Bytes tprl = Atom(FourCC("tprl"), 1, 0, {0, 0, 2, 0, 0, 30, 0, 0, 0, 0, 0, 12});
    const Bytes vide = Atom(FourCC("vide"), 1, 2, Concat({sptl, tprl}));
    const Bytes edsc = Atom(FourCC("Edsc"), 1, 0, {'H', 'i'});
    const Bytes edsc2 = Atom(FourCC("Edsc"), 7, 0, {'L', 'o'});
    return Container(Atom(FourCC("sean"), 1, 3, Concat({vide, edsc, edsc2})));
}

bool Refused(const Handle& h) {
    AtomContainer c;
    std::string why;
    const bool ok = AtomContainer::TryParse(h, c, &why);
    if (!ok) {
        EXPECT_FALSE(why.empty());
    }
    try {
        AtomContainer::Parse(h);
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kInvalidAtomContainerErr);
        return !ok;
    }
    return false;
}

}  // namespace

TEST(AtomContainer, RoundTripsByteForByte) {
    const Handle h = VideoSetting();
    const AtomContainer c = AtomContainer::Parse(h);
    EXPECT_EQ(c.ToHandle(), h);
}

TEST(AtomContainer, BuiltContainerHasTheClassicLayout) {
    AtomContainer c;
    QTAtomNode& vide = c.InsertParent(FourCC("vide"), 1);
    vide.InsertChildU32(FourCC("tprl"), 1, 0x01020304);
    const Handle h = c.ToHandle();
    const Bytes expected = Container(
        Atom(FourCC("sean"), 1, 1,
             Atom(FourCC("vide"), 1, 1, Atom(FourCC("tprl"), 1, 0, {1, 2, 3, 4}))))
                               .Bytes();
    EXPECT_EQ(h.Bytes(), expected);
}

TEST(AtomContainer, FindByTypeIndexAndID) {
    const AtomContainer c = AtomContainer::Parse(VideoSetting());
    EXPECT_EQ(c.Count(FourCC("Edsc")), 2);
    ASSERT_NE(c.Find(FourCC("Edsc"), 2), nullptr);
    EXPECT_EQ(c.Find(FourCC("Edsc"), 2)->Text(), "Lo");
    EXPECT_EQ(c.Find(FourCC("Edsc"), 3), nullptr);
    EXPECT_EQ(c.Find(FourCC("Edsc"), 0), nullptr);
    ASSERT_NE(c.Root().FindChildByID(FourCC("Edsc"), 7), nullptr);
    EXPECT_EQ(c.Root().FindChildByID(FourCC("Edsc"), 7)->Text(), "Lo");
    EXPECT_EQ(c.Root().FindChildByID(FourCC("Edsc"), 2), nullptr);
    const QTAtomNode* vide = c.Find(FourCC("vide"));
    ASSERT_NE(vide, nullptr);
    const QTAtomNode* sptl = vide->FindChild(FourCC("sptl"));
    ASSERT_NE(sptl, nullptr);
    EXPECT_EQ(sptl->U32(0), FourCC("avc1"));
    EXPECT_EQ(sptl->U16(8), 24);
    EXPECT_EQ(sptl->U32(10), 0x200u);
    EXPECT_THROW(sptl->U32(11), LException);
    EXPECT_THROW(sptl->U16(size_t(-1)), LException);
}

TEST(AtomContainer, EditingAndRemoving) {
    AtomContainer c = AtomContainer::Parse(VideoSetting());
    EXPECT_TRUE(c.Remove(FourCC("Edsc"), 2));
    EXPECT_FALSE(c.Remove(FourCC("Edsc"), 2));
    c.Find(FourCC("vide"))->FindChild(FourCC("tprl"))->SetU32(12, 5);  // grows the data
    const AtomContainer again = AtomContainer::Parse(c.ToHandle());
    EXPECT_EQ(again.Count(FourCC("Edsc")), 1);
    const QTAtomNode* tprl = again.Find(FourCC("vide"))->FindChild(FourCC("tprl"));
    EXPECT_EQ(tprl->data.size(), 16u);
    EXPECT_EQ(tprl->U32(12), 5u);
    EXPECT_EQ(c.Root().RemoveChildren(FourCC("vide")), 1);
}

TEST(AtomContainer, EmptyRootAndEmptyParents) {
    // An empty container is the root's bare header.
    const AtomContainer empty;
    const Handle h = empty.ToHandle();
    EXPECT_EQ(h.Size(), 32u);
    const AtomContainer back = AtomContainer::Parse(h);
    EXPECT_EQ(back.Root().CountChildren(), 0);
    EXPECT_EQ(back.ToHandle(), h);

    // A parent atom with no children is written like an empty leaf; both
    // describe the same thing.
    AtomContainer withParent;
    withParent.InsertParent(FourCC("what"), 1);
    const Handle ph = withParent.ToHandle();
    EXPECT_EQ(AtomContainer::Parse(ph).ToHandle(), ph);
    EXPECT_TRUE(DescriptionsEqual(nullptr, ph, AtomContainer::Parse(ph).ToHandle()));
    EXPECT_TRUE(AtomContainer::Parse(ph).Root().SameAs(withParent.Root()));
}

TEST(AtomContainer, RefusesTruncatedInput) {
    const Handle good = VideoSetting();
    EXPECT_TRUE(Refused(Handle()));
    EXPECT_TRUE(Refused(Handle(size_t(0))));
    for (size_t cut = 1; cut < good.Size(); ++cut) {
        Handle h(good.Data(), good.Size() - cut);
        EXPECT_TRUE(Refused(h)) << "cut " << cut;
    }
}

TEST(AtomContainer, RefusesLyingSizes) {
    const Bytes leaf = Atom(FourCC("Edsc"), 1, 0, {'x'});
    // Size larger than the container.
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 1, Atom(FourCC("Edsc"), 1, 0, {'x'}, 0x7FFFFFFF)))));
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 1, leaf, 0xFFFFFFFF))));
    // Size smaller than a header (including 0, which would loop forever).
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 1, Atom(FourCC("Edsc"), 1, 0, {'x'}, 0)))));
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 1, Atom(FourCC("Edsc"), 1, 0, {'x'}, 19)))));
    // Root shorter than its contents, leaving bytes behind.
    EXPECT_TRUE(Refused(Container(Concat({Atom(FourCC("sean"), 1, 0, {}), leaf}))));
    // A child that runs past its parent although it fits in the container.
    const Bytes inner = Atom(FourCC("vide"), 1, 1, Atom(FourCC("sptl"), 1, 0, {1, 2, 3, 4}), 24);
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 1, Concat({inner, Bytes(4, 0)})))));
    // Not a container at all.
    EXPECT_TRUE(Refused(Container(Atom(FourCC("moov"), 1, 0, {}))));
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 0, {1, 2, 3}))));
}

TEST(AtomContainer, RefusesChildCountsThatDoNotMatch) {
    const Bytes a = Atom(FourCC("aaaa"), 1, 0, {1});
    const Bytes b = Atom(FourCC("bbbb"), 1, 0, {2});
    EXPECT_FALSE(Refused(Container(Atom(FourCC("sean"), 1, 2, Concat({a, b})))));
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 1, Concat({a, b})))));  // too few
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 3, Concat({a, b})))));  // too many
    // An absurd count is refused without making room for 65535 children.
    EXPECT_TRUE(Refused(Container(Atom(FourCC("sean"), 1, 0xFFFF, Concat({a, b})))));
}

TEST(AtomContainer, DeepNesting) {
    auto nested = [](int depth) {
        Bytes atom = Atom(FourCC("leaf"), 1, 0, {9});
        for (int i = 0; i < depth; ++i) atom = Atom(FourCC("nest"), i + 1, 1, atom);
        return Container(Atom(FourCC("sean"), 1, 1, atom));
    };
    const Handle ok = nested(20);
    EXPECT_EQ(AtomContainer::Parse(ok).ToHandle(), ok);
    EXPECT_TRUE(Refused(nested(5000)));  // refused, not a blown stack
}

TEST(AtomContainer, DescriptionsEqualSkipsIgnoredAtoms) {
    AtomContainer a = AtomContainer::Parse(VideoSetting());
    AtomContainer b = AtomContainer::Parse(VideoSetting());
    b.Remove(FourCC("Edsc"), 1);
    b.Remove(FourCC("Edsc"), 1);
    const OSType ignored[] = {FourCC("Edsc"), FourCC("Etim"), 0};
    EXPECT_TRUE(DescriptionsEqual(ignored, a.ToHandle(), b.ToHandle()));
    EXPECT_FALSE(DescriptionsEqual(nullptr, a.ToHandle(), b.ToHandle()));
    b.Find(FourCC("vide"))->FindChild(FourCC("sptl"))->SetU16(8, 32);
    EXPECT_FALSE(DescriptionsEqual(ignored, a.ToHandle(), b.ToHandle()));
    // Handles that are not containers compare by their bytes.
    EXPECT_TRUE(DescriptionsEqual(ignored, Handle("junk", 4), Handle("junk", 4)));
    EXPECT_FALSE(DescriptionsEqual(ignored, Handle("junk", 4), a.ToHandle()));
}

TEST(AtomContainer, WritingMoreChildrenThanTheFormatHoldsFails) {
    AtomContainer c;
    QTAtomNode& parent = c.InsertParent(FourCC("many"), 1);
    for (int i = 0; i < 65536; ++i) parent.InsertChild(FourCC("kid "), i + 1, nullptr, 0);
    EXPECT_THROW(c.ToHandle(), LException);
    parent.RemoveChild(FourCC("kid "), 1);
    const Handle h = c.ToHandle();
    EXPECT_EQ(AtomContainer::Parse(h).Find(FourCC("many"))->CountChildren(), 65535);
}
