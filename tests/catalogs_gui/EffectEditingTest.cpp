// Effect presets: the parameter dialog built from the effect table and the
// cleaning of confirmed descriptions.
#include <set>

#include "CatalogTestSupport.h"
#include "catalogs/EffectEditing.h"
#include "catalogs/EffectParameterDialog.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"

using namespace cattest;

namespace {

std::multiset<std::string> TopLevelAtoms(const Handle& description) {
    std::multiset<std::string> types;
    const AtomContainer parsed = AtomContainer::Parse(description);
    for (const QTAtomNode& atom : parsed.Root().children) types.insert(FourCCToString(atom.type));
    return types;
}

int32_t Parameter(const Handle& description, OSType type) {
    const AtomContainer parsed = AtomContainer::Parse(description);
    const QTAtomNode* atom = parsed.Root().FindChildByID(type, 1);
    return atom ? atom->S32() : -9999;
}

using EffectEditing = CatalogTest;

}  // namespace

TEST_F(EffectEditing, ANewEffectHoldsTheChosenEffectAndItsParameters) {
    AcceptWith<EffectParameterDialog>([](EffectParameterDialog& d) {
        ASSERT_TRUE(d.SelectEffect(FourCC("brco")));
        ASSERT_TRUE(d.SetParameter(FourCC("brit"), 40));
        EXPECT_FALSE(d.SetParameter(FourCC("ksiz"), 4)) << "a parameter of another effect";
        EXPECT_TRUE(d.UpdatePreview());
    });
    const std::optional<Handle> made = EditEffect(nullptr, GetEffectList(1), nullptr);
    ASSERT_TRUE(made.has_value());
    AtomContainer c = AtomContainer::Parse(MakeEffectDescription(FourCC("blur")));
    c.Insert(FourCC("NONE"), 1, nullptr, 0);
    const Handle marked = c.ToHandle();
    EXPECT_FALSE(EditEffect(&marked, GetEffectList(1), nullptr).has_value()) << "a none description is refused";
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(TopLevelAtoms(*made), (std::multiset<std::string>{"what", "brit", "cont"}));
    EXPECT_EQ(Parameter(*made, FourCC("what")), int32_t(FourCC("brco")));
    EXPECT_EQ(Parameter(*made, FourCC("brit")), 40);
    EXPECT_EQ(Parameter(*made, FourCC("cont")), 0);
}

TEST_F(EffectEditing, AnEditedEffectKeepsExactlyItsOwnAtoms) {
    AtomContainer c;
    c.Root().InsertChildU32(FourCC("what"), 1, FourCC("blur"));
    c.Root().InsertChildU32(FourCC("src "), 1, FourCC("srcA"));
    c.Root().InsertChildText(FourCC("trak"), 1, "track data");
    c.Root().InsertChildU32(FourCC("ksiz"), 1, 2);
    c.Root().InsertChildText(FourCC("Edsc"), 1, "Soft");
    c.Root().InsertChildText(FourCC("Etim"), 1, "time span");
    c.Root().InsertChildText(FourCC("junk"), 1, "stray");
    c.Root().InsertChildU32(FourCC("brit"), 1, 10);  // another effect's parameter
    const Handle description = c.ToHandle();

    AcceptWith<EffectParameterDialog>([](EffectParameterDialog& d) {
        EXPECT_EQ(d.SelectedEffectType(), FourCC("blur"));
        EXPECT_EQ(d.Values(), EffectValues{2}) << "the dialog starts from the description's values";
        d.SetParameter(FourCC("ksiz"), 7);
    });
    const std::optional<Handle> edited = EditEffect(&description, GetEffectList(1), nullptr);
    ASSERT_TRUE(edited.has_value());
    EXPECT_EQ(TopLevelAtoms(*edited), (std::multiset<std::string>{"what", "src ", "trak", "ksiz", "Edsc", "Etim"}));
    EXPECT_EQ(Parameter(*edited, FourCC("ksiz")), 7);
    EXPECT_EQ(AtomContainer::Parse(*edited).Find(FourCC("trak"))->Text(), "track data");

    dialogHandler = [](QDialog&) { return false; };
    EXPECT_FALSE(EditEffect(&description, GetEffectList(1), nullptr).has_value()) << "cancelled";
}
