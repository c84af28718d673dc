// Effects: the lists and the table behind them, what each effect does to a
// picture, and running filter chains over frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/effects/EffectTable.h"
#include "support/Pictures.h"

using namespace pictures;
using Format = OffscreenWorld::Format;

namespace {

OffscreenWorld Flat(int w, int h, uint8_t r, uint8_t g, uint8_t b, Format format = Format::RGB24) {
    OffscreenWorld world(w, h, format);
    world.Fill(r, g, b, 77);
    return world;
}

Handle Effect(const char (&type)[5], std::vector<std::pair<OSType, int32_t>> values = {}) {
    return MakeEffectDescription(FourCC(type), values);
}

// Runs one effect on a copy of `world` through a fresh renderer.
OffscreenWorld Filtered(const OffscreenWorld& world, Handle effect) {
    EffectRenderer renderer;
    OffscreenWorld copy = world;
    EXPECT_TRUE(renderer.ApplyFilter(copy, effect));
    return copy;
}

std::vector<std::pair<std::string, OSType>> ListEntries(const Handle& list) {
    const AtomContainer c = AtomContainer::Parse(list);
    std::vector<std::pair<std::string, OSType>> entries;
    EXPECT_EQ(c.Count(kEffectListNameAtom), c.Count(kEffectListTypeAtom));
    for (int i = 1; i <= c.Count(kEffectListTypeAtom); ++i)
        entries.emplace_back(c.Find(kEffectListNameAtom, i)->Text(), c.Find(kEffectListTypeAtom, i)->U32());
    return entries;
}

TEST(EffectLists, EachKindHoldsTheEffectsWithThatManySources) {
    std::vector<std::pair<std::string, OSType>> lists[3];
    for (int sources = 0; sources < 3; ++sources) lists[sources] = ListEntries(GetEffectList(sources));
    const auto all = ListEntries(GetEffectList(kAllEffects));
    EXPECT_EQ(all.size(), lists[0].size() + lists[1].size() + lists[2].size());
    EXPECT_GE(all.size(), 14u);
    EXPECT_EQ(ListEntries(GetEffectList(7)), all);
    for (int sources = 0; sources < 3; ++sources)
        for (const auto& [name, type] : lists[sources]) {
            EXPECT_EQ(effects::FindEffectType(type)->sources, sources) << name;
            EXPECT_EQ(CountEffectSources(MakeEffectDescription(type)), sources) << name;
            EXPECT_EQ(GetEffectName(MakeEffectDescription(type)), name);
        }
    for (const Handle& odd : {Effect("zzzz"), Handle(), Handle("garbage!", 8)}) EXPECT_EQ(CountEffectSources(odd), 0);
    AtomContainer noType;
    noType.Root().InsertChildU32(FourCC("ksiz"), 1, 3);
    EXPECT_EQ(CountEffectSources(noType.ToHandle()), 0);
    EXPECT_EQ(GetEffectName(Effect("zzzz")) + GetEffectName(Handle("xx", 2)), "");
}

TEST(EffectTable, ParametersAreReadClampedAndDefaultedAndCleaningKeepsOnlyThem) {
    const EffectType* brco = effects::FindEffectType(FourCC("brco"));
    AtomContainer d = AtomContainer::Parse(Effect("brco", {{FourCC("brit"), 500}}));
    EXPECT_EQ(effects::ReadEffectValues(*brco, d), (EffectValues{100, 0}));
    d.Root().InsertChild(FourCC("cont"), 1, "\x01", 1);  // too short: default
    EXPECT_EQ(effects::ReadEffectValues(*brco, d), (EffectValues{100, 0}));
    AtomContainer t = AtomContainer::Parse(Effect("tint", {{FourCC("tint"), 9}}));
    EXPECT_EQ(effects::ReadEffectValues(*effects::FindEffectType(FourCC("tint")), t), (EffectValues{0}));  // not a choice
    std::set<OSType> types;
    for (const auto& e : effects::AllEffectTypes()) {
        EXPECT_TRUE(types.insert(e.type).second) << "duplicate " << FourCCToString(e.type);
        for (const auto& p : e.parameters) {
            EXPECT_TRUE(p.minimum <= p.defaultValue && p.defaultValue <= p.maximum) << e.name;
            EXPECT_EQ(p.kind == EffectParameterKind::Choice, !p.choices.empty());
        }
    }
    AtomContainer c = AtomContainer::Parse(Effect("brco", {{FourCC("brit"), 20}}));
    c.Root().InsertChildU32(kEffectSourceAtom, 1, kEffectSourceA);
    c.Root().InsertChildText(kEffectDescriptionTextAtom, 1, "Brighter");
    c.Root().InsertChildU32(FourCC("junk"), 1, 1);
    c.Root().InsertChildU32(FourCC("brit"), 2, 1);  // a parameter's type with another id
    std::vector<std::pair<OSType, int32_t>> kept;
    const AtomContainer cleaned = AtomContainer::Parse(CleanEffectDescription(c.ToHandle()));
    for (const auto& a : cleaned.Root().children) kept.emplace_back(a.type, a.id);
    EXPECT_EQ(kept, (std::vector<std::pair<OSType, int32_t>>{
                        {kEffectTypeAtom, 1}, {FourCC("brit"), 1}, {kEffectSourceAtom, 1}, {kEffectDescriptionTextAtom, 1}}));
}

TEST(EffectPixels, BlurSharpenBrightnessAndContrastMoveTheStatistics) {
    const OffscreenWorld in = Pattern(96, 64);
    const OffscreenWorld blurred = Filtered(in, Effect("blur", {{FourCC("ksiz"), 5}}));
    const OffscreenWorld light = Filtered(in, Effect("blur", {{FourCC("ksiz"), 1}}));
    const OffscreenWorld soft = Filtered(in, Effect("blur", {{FourCC("ksiz"), 2}}));
    const OffscreenWorld sharp = Filtered(soft, Effect("shrp", {{FourCC("ksiz"), 5}}));
    const OffscreenWorld brighter = Filtered(in, Effect("brco", {{FourCC("brit"), 50}}));
    const OffscreenWorld darker = Filtered(in, Effect("brco", {{FourCC("brit"), -50}}));
    for (int c = 0; c < 3; ++c) {
        EXPECT_LT(Variance(blurred, c), Variance(in, c) * 0.6) << c;
        EXPECT_LT(Variance(blurred, c), Variance(light, c)) << c;  // strength matters
        EXPECT_NEAR(Mean(blurred, c), Mean(in, c), 3.0) << c;
        EXPECT_GT(Variance(sharp, c), Variance(soft, c) * 1.2) << c;
        EXPECT_GT(Mean(brighter, c), Mean(in, c) + 40) << c;
        EXPECT_LT(Mean(darker, c), Mean(in, c) - 40) << c;
    }
    EXPECT_GT(Variance(Filtered(in, Effect("brco", {{FourCC("cont"), 60}})), 1), Variance(in, 1) * 2);
    EXPECT_LT(Variance(Filtered(in, Effect("brco", {{FourCC("cont"), -60}})), 1), Variance(in, 1) * 0.5);
    EXPECT_TRUE(SamePixels(Filtered(in, Effect("brco")), in));  // defaults change nothing
    const OffscreenWorld rgba = Pattern(40, 30, Format::RGBA32);  // alpha stays as it was
    const OffscreenWorld brighterRgba = Filtered(rgba, Effect("brco", {{FourCC("brit"), 40}}));
    for (int y = 0; y < 30; y += 5)
        for (int x = 0; x < 40; x += 5) {
            EXPECT_EQ(AlphaAt(brighterRgba, x, y), AlphaAt(rgba, x, y));
            EXPECT_GT(At(brighterRgba, x, y).g, At(rgba, x, y).g);
        }
}

TEST(EffectPixels, EdgeEmbossHslAndSolarize) {
    OffscreenWorld step = Flat(40, 20, 30, 30, 30);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x) std::fill_n(step.Row(y) + x * 3, 3, uint8_t(220));
    const OffscreenWorld edge = Filtered(step, Effect("edge"));
    EXPECT_LT(At(edge, 5, 10).r, 10);
    EXPECT_LT(At(edge, 35, 10).g, 10);
    EXPECT_GT(std::max(At(edge, 19, 10).r, At(edge, 20, 10).r), 150);
    const Pixel embossed = At(Filtered(Flat(32, 32, 10, 200, 90), Effect("embs")), 16, 16);
    EXPECT_EQ(std::tuple(embossed.r, embossed.g, embossed.b), std::tuple(128, 128, 128));  // flat areas mid grey

    const OffscreenWorld red = Flat(32, 16, 200, 60, 40);
    const Pixel grey = At(Filtered(red, Effect("hslb", {{FourCC("satu"), -100}})), 8, 8);
    EXPECT_NEAR(grey.r, grey.g, 3);
    EXPECT_NEAR(grey.g, grey.b, 3);
    const Pixel white = At(Filtered(red, Effect("hslb", {{FourCC("ligh"), 100}})), 8, 8);
    EXPECT_EQ(white.r + white.g + white.b, 3 * 255);
    EXPECT_LT(At(Filtered(red, Effect("hslb", {{FourCC("hue "), 66}})), 8, 8).r, 150);  // another hue

    OffscreenWorld in(4, 1);
    const uint8_t values[4][3] = {{200, 100, 128}, {129, 0, 255}, {10, 20, 30}, {250, 251, 252}};
    for (int x = 0; x < 4; ++x) std::copy_n(values[x], 3, in.Row(0) + x * 3);
    const OffscreenWorld solar = Filtered(in, Effect("solr", {{FourCC("thrs"), 128}}));
    for (int i = 0; i < 12; ++i) {
        const int v = values[i / 3][i % 3];
        EXPECT_EQ(solar.Row(0)[i], v > 128 ? 255 - v : v) << i;
    }
}

TEST(EffectPixels, TintsColourAndFillKeepAlpha) {
    const OffscreenWorld in = Pattern(48, 32);
    const OffscreenWorld grey = Filtered(in, Effect("tint", {{FourCC("tint"), 1}}));
    const OffscreenWorld sepia = Filtered(in, Effect("tint", {{FourCC("tint"), 0}}));
    const OffscreenWorld blue = Filtered(in, Effect("tint", {{FourCC("tint"), 2}}));
    for (int y = 0; y < 32; y += 3)
        for (int x = 0; x < 48; x += 5) {
            const Pixel g = At(grey, x, y), s = At(sepia, x, y), b = At(blue, x, y);
            EXPECT_TRUE(g.r == g.g && g.g == g.b);
            EXPECT_TRUE(s.r >= s.g && s.g > s.b);
            EXPECT_GT(b.b, b.r);
        }
    const OffscreenWorld rgba = Pattern(30, 20, Format::RGBA32);
    const OffscreenWorld filled = Filtered(rgba, Effect("colr", {{FourCC("colr"), 0x3366CC}}));
    for (int y = 0; y < 20; y += 7)
        for (int x = 0; x < 30; x += 4) {
            const Pixel p = At(filled, x, y);
            EXPECT_EQ(std::tuple(p.r, p.g, p.b), std::tuple(0x33, 0x66, 0xCC));
            EXPECT_EQ(AlphaAt(filled, x, y), AlphaAt(rgba, x, y));
        }
}

TEST(EffectPixels, FilmNoiseIsRepeatableAndChangesPerFrame) {
    const OffscreenWorld in = Flat(64, 48, 120, 120, 120);
    auto firstFrames = [&] {
        EffectRenderer renderer;
        std::vector<OffscreenWorld> frames;
        for (int i = 0; i < 2; ++i) {
            OffscreenWorld w = in;
            Handle h = Effect("fmns", {{FourCC("dens"), 60}});
            EXPECT_TRUE(renderer.ApplyFilter(w, h));
            frames.push_back(std::move(w));
        }
        return frames;
    };
    const auto run1 = firstFrames(), run2 = firstFrames();
    EXPECT_TRUE(SamePixels(run1[0], run2[0]) && SamePixels(run1[1], run2[1]));
    EXPECT_FALSE(SamePixels(run1[0], run1[1]));
    EXPECT_GT(Variance(run1[0], 0), 20.0);
    EXPECT_TRUE(SamePixels(Filtered(in, Effect("fmns", {{FourCC("dens"), 0}})), in));
}

TEST(EffectPixels, TransitionsAsFiltersShowTheirEarlyStateAndFireBurnsFromTheBottom) {
    const OffscreenWorld in = Flat(100, 50, 200, 100, 50);
    const Pixel faded = At(Filtered(in, Effect("dslv")), 50, 25);  // nine tenths picture, one tenth black
    EXPECT_NEAR(faded.r, 180, 1);
    EXPECT_NEAR(faded.g, 90, 1);
    EXPECT_NEAR(faded.b, 45, 1);
    const OffscreenWorld wiped = Filtered(in, Effect("smpt", {{FourCC("wpid"), 1}}));
    EXPECT_EQ(std::tuple(At(wiped, 0, 25).r, At(wiped, 9, 25).r, At(wiped, 10, 25).r, At(wiped, 99, 25).r),
              std::tuple(0, 0, 200, 200));
    const OffscreenWorld down = Filtered(in, Effect("smpt", {{FourCC("wpid"), 2}}));
    EXPECT_EQ(std::pair(At(down, 50, 4).g, At(down, 50, 5).g), std::pair(0, 100));
    OffscreenWorld ramp(100, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x) std::fill_n(ramp.Row(y) + x * 3, 3, uint8_t(x * 2 + 10));
    // The old picture moved by a tenth.
    const OffscreenWorld fromLeft = Filtered(ramp, Effect("push", {{FourCC("from"), 0}}));
    EXPECT_EQ(std::tuple(At(fromLeft, 9, 5).r, At(fromLeft, 10, 5).r, At(fromLeft, 99, 5).r), std::tuple(0, 10, 188));
    const OffscreenWorld fromRight = Filtered(ramp, Effect("push", {{FourCC("from"), 1}}));
    EXPECT_EQ(std::pair(At(fromRight, 0, 5).r, At(fromRight, 90, 5).r), std::pair(30, 0));

    const OffscreenWorld fire = Filtered(Flat(64, 64, 0, 0, 255), Effect("fire"));
    double top = 0, bottom = 0;
    for (int x = 0; x < 64; ++x) top += At(fire, x, 2).r, bottom += At(fire, x, 60).r;
    EXPECT_LT(top / 64, 20);
    EXPECT_GT(bottom / 64, 120);
    EXPECT_LT(At(fire, 10, 60).b, At(fire, 10, 60).r);  // the blue picture is gone
}

TEST(FilterRunning, ChainsRunInOrderAndAFailingFilterLeavesTheFrame) {
    OffscreenWorld world = Flat(16, 16, 100, 100, 100);
    std::vector<Handle> chain = {Effect("brco", {{FourCC("brit"), 50}}), Effect("solr", {{FourCC("thrs"), 128}})};
    EXPECT_TRUE(ApplyFilterList(world, chain));
    EXPECT_EQ(At(world, 8, 8).r, 91);  // 100 brightened to 164, then solarized; the other order gives 164

    const OffscreenWorld in = Pattern(24, 24);
    world = in;
    Handle unknown = Effect("zzzz"), broken("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x40sean", 20);
    EXPECT_FALSE(ApplyFilter(world, unknown));
    EXPECT_FALSE(ApplyFilter(world, broken));
    EXPECT_TRUE(SamePixels(world, in));
    Handle brighter = Effect("brco", {{FourCC("brit"), 30}});
    Handle* pointers[] = {&unknown, &brighter, nullptr};
    EXPECT_FALSE(ApplyFilterList(world, pointers));  // the chain goes on
    EXPECT_GT(Mean(world, 0), Mean(in, 0) + 20);
    OffscreenWorld empty;
    Handle blur = Effect("blur");
    EXPECT_FALSE(ApplyFilter(empty, blur));
    for (OSType type : {FourCC("smpt"), FourCC("push"), FourCC("blur"), FourCC("shrp"), FourCC("fire")})
        for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 7}, std::pair{33, 2}}) {  // tiny and odd frames render
            OffscreenWorld tiny = Pattern(w, h);
            Handle effect = MakeEffectDescription(type);
            EXPECT_TRUE(ApplyFilter(tiny, effect)) << FourCCToString(type) << " " << w << "x" << h;
        }
}

TEST(FilterRunning, SourceAtomsSetForTheRunAreRemovedAfter) {
    // A two-source effect used as a filter, with a stale source atom.
    AtomContainer push = AtomContainer::Parse(Effect("push"));
    push.Root().InsertChildU32(kEffectSourceAtom, 7, FourCC("old!"));
    Handle filter = push.ToHandle(), blur = Effect("blur");
    OffscreenWorld world = Pattern(20, 20);
    for (Handle* h : {&filter, &blur}) ASSERT_TRUE(ApplyFilter(world, *h));
    const AtomContainer after = AtomContainer::Parse(filter);
    EXPECT_EQ(after.Count(kEffectSourceAtom), 0);
    EXPECT_EQ(after.Find(kEffectTypeAtom)->U32(), FourCC("push"));
    EXPECT_EQ(blur, Effect("blur"));  // nothing to remove: bytes untouched
}

TEST(FilterRunning, SteadyStateReusesTheGraphAndRenderEffectLeavesTheSource) {
    EffectRenderer renderer;
    Handle blur = Effect("blur", {{FourCC("ksiz"), 4}}), stronger = Effect("blur", {{FourCC("ksiz"), 9}});
    AtomContainer withSources = AtomContainer::Parse(Effect("dslv"));
    SetEffectSources(withSources, 2);
    Handle fade = withSources.ToHandle();
    OffscreenWorld world = Pattern(32, 24), other = Pattern(16, 8);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(renderer.ApplyFilter(world, blur));
        ASSERT_TRUE(renderer.ApplyFilter(world, fade));
    }
    EXPECT_EQ(renderer.GraphsBuilt(), 2);
    ASSERT_TRUE(renderer.ApplyFilter(other, blur));  // another size
    ASSERT_TRUE(renderer.ApplyFilter(world, stronger));  // other values
    EXPECT_EQ(renderer.GraphsBuilt(), 4);

    const OffscreenWorld source = Pattern(30, 20, Format::RGBA32), before = source;
    OffscreenWorld result;
    Handle tint = Effect("tint", {{FourCC("tint"), 1}});
    ASSERT_TRUE(RenderEffect(result, source, tint));
    EXPECT_TRUE(SamePixels(source, before));
    ASSERT_EQ(std::pair(result.Width(), result.Height()), std::pair(30, 20));
    EXPECT_EQ(result.PixelFormat(), Format::RGBA32);
    EXPECT_EQ(At(result, 11, 7).r, At(result, 11, 7).g);
    EXPECT_EQ(AlphaAt(result, 11, 7), AlphaAt(source, 11, 7));
}

}  // namespace
