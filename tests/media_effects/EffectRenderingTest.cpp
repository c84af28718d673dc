#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "EffectTestSupport.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/effects/EffectTable.h"

using namespace effecttest;
using Format = OffscreenWorld::Format;

namespace {

OffscreenWorld Flat(int w, int h, uint8_t r, uint8_t g, uint8_t b, Format format = Format::RGB24) {
    OffscreenWorld world(w, h, format);
    world.Fill(r, g, b, 77);
    return world;
}

// Runs one effect on a copy of `world` through a fresh renderer.
OffscreenWorld Filtered(const OffscreenWorld& world, Handle effect) {
    EffectRenderer renderer;
    OffscreenWorld copy = world;
    EXPECT_TRUE(renderer.ApplyFilter(copy, effect)) << FourCCToString(AtomContainer::Parse(effect).Find(kEffectTypeAtom)->U32());
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

}  // namespace

// --- lists, names and sources ----------------------------------------------

TEST(EffectLists, EachKindHoldsTheEffectsWithThatManySources) {
    const auto none = ListEntries(GetEffectList(0));
    const auto one = ListEntries(GetEffectList(1));
    const auto two = ListEntries(GetEffectList(2));
    const auto all = ListEntries(GetEffectList(kAllEffects));
    EXPECT_EQ(all.size(), none.size() + one.size() + two.size());
    EXPECT_GE(all.size(), 14u);
    EXPECT_EQ(ListEntries(GetEffectList(7)), all);

    auto has = [](const auto& list, const char* name, OSType type) {
        return std::find(list.begin(), list.end(), std::make_pair(std::string(name), type)) != list.end();
    };
    EXPECT_TRUE(has(none, "Color", FourCC("colr")));
    EXPECT_TRUE(has(none, "Fire", FourCC("fire")));
    EXPECT_TRUE(has(one, "Blur", FourCC("blur")));
    EXPECT_TRUE(has(one, "Brightness and Contrast", FourCC("brco")));
    EXPECT_TRUE(has(one, "Film Noise", FourCC("fmns")));
    EXPECT_TRUE(has(two, "Cross Fade", FourCC("dslv")));
    EXPECT_TRUE(has(two, "Wipe", FourCC("smpt")));
    EXPECT_TRUE(has(two, "Push", FourCC("push")));
    EXPECT_FALSE(has(one, "Cross Fade", FourCC("dslv")));

    for (const auto& [name, type] : all) EXPECT_EQ(CountEffectSources(MakeEffectDescription(type)),
                                                   effects::FindEffectType(type)->sources) << name;
}

TEST(EffectLists, CountSourcesOfOddDescriptions) {
    EXPECT_EQ(CountEffectSources(MakeEffectDescription(FourCC("blur"))), 1);
    EXPECT_EQ(CountEffectSources(MakeEffectDescription(FourCC("push"))), 2);
    EXPECT_EQ(CountEffectSources(MakeEffectDescription(FourCC("colr"))), 0);
    EXPECT_EQ(CountEffectSources(MakeEffectDescription(FourCC("zzzz"))), 0);
    EXPECT_EQ(CountEffectSources(Handle()), 0);
    EXPECT_EQ(CountEffectSources(Handle("garbage!", 8)), 0);
    AtomContainer noType;
    noType.Root().InsertChildU32(FourCC("ksiz"), 1, 3);
    EXPECT_EQ(CountEffectSources(noType.ToHandle()), 0);
}

TEST(EffectLists, NameComesFromDescriptionTextFirst) {
    EXPECT_EQ(GetEffectName(MakeEffectDescription(FourCC("hslb"))), "HSL Balance");
    EXPECT_EQ(GetEffectName(MakeEffectDescription(FourCC("zzzz"))), "");
    EXPECT_EQ(GetEffectName(Handle("xx", 2)), "");

    AtomContainer described = AtomContainer::Parse(MakeEffectDescription(FourCC("blur")));
    described.Root().InsertChildText(kEffectDescriptionTextAtom, 1, "Soft focus");
    EXPECT_EQ(GetEffectName(described.ToHandle()), "Soft focus");

    AtomContainer unknown = AtomContainer::Parse(MakeEffectDescription(FourCC("zzzz")));
    unknown.Root().InsertChildText(kEffectDescriptionTextAtom, 1, "Mine");
    EXPECT_EQ(GetEffectName(unknown.ToHandle()), "Mine");
}

TEST(EffectTable, ParametersAreReadClampedAndDefaulted) {
    const EffectType* brco = effects::FindEffectType(FourCC("brco"));
    ASSERT_NE(brco, nullptr);
    AtomContainer d = AtomContainer::Parse(MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), 500}}));
    EXPECT_EQ(effects::ReadEffectValues(*brco, d), (EffectValues{100, 0}));
    d.Root().InsertChild(FourCC("cont"), 1, "\x01", 1);  // too short: default
    EXPECT_EQ(effects::ReadEffectValues(*brco, d), (EffectValues{100, 0}));

    const EffectType* tint = effects::FindEffectType(FourCC("tint"));
    AtomContainer t = AtomContainer::Parse(MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 9}}));
    EXPECT_EQ(effects::ReadEffectValues(*tint, t), (EffectValues{0}));  // not a listed choice

    std::set<OSType> types;
    for (const auto& e : effects::AllEffectTypes()) {
        EXPECT_TRUE(types.insert(e.type).second) << "duplicate " << FourCCToString(e.type);
        for (const auto& p : e.parameters) {
            EXPECT_LE(p.minimum, p.defaultValue);
            EXPECT_LE(p.defaultValue, p.maximum);
            EXPECT_EQ(p.kind == EffectParameterKind::Choice, !p.choices.empty());
        }
    }
}

TEST(EffectTable, CleaningKeepsOnlyWhatTheEffectDescribes) {
    AtomContainer d = AtomContainer::Parse(MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), 20}}));
    d.Root().InsertChildU32(kEffectSourceAtom, 1, kEffectSourceA);
    d.Root().InsertChildText(kEffectDescriptionTextAtom, 1, "Brighter");
    d.Root().InsertChildU32(FourCC("junk"), 1, 1);
    d.Root().InsertChildU32(FourCC("brit"), 2, 1);  // a parameter's type with another id
    const AtomContainer cleaned = AtomContainer::Parse(CleanEffectDescription(d.ToHandle()));
    std::vector<std::pair<OSType, int32_t>> kept;
    for (const auto& a : cleaned.Root().children) kept.emplace_back(a.type, a.id);
    EXPECT_EQ(kept, (std::vector<std::pair<OSType, int32_t>>{
                        {kEffectTypeAtom, 1}, {FourCC("brit"), 1}, {kEffectSourceAtom, 1}, {kEffectDescriptionTextAtom, 1}}));
}

// --- what each effect does to a picture ------------------------------------

TEST(EffectPixels, BlurReducesVarianceAndSharpenRaisesIt) {
    const OffscreenWorld in = Pattern(96, 64);
    const OffscreenWorld blurred = Filtered(in, MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 5}}));
    const OffscreenWorld light = Filtered(in, MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 1}}));
    for (int c = 0; c < 3; ++c) {
        EXPECT_LT(Variance(blurred, c), Variance(in, c) * 0.6) << c;
        EXPECT_LT(Variance(blurred, c), Variance(light, c)) << c;  // strength matters
        EXPECT_NEAR(Mean(blurred, c), Mean(in, c), 3.0) << c;
    }
    const OffscreenWorld soft = Filtered(in, MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 2}}));
    const OffscreenWorld sharp = Filtered(soft, MakeEffectDescription(FourCC("shrp"), {{FourCC("ksiz"), 5}}));
    for (int c = 0; c < 3; ++c) EXPECT_GT(Variance(sharp, c), Variance(soft, c) * 1.2) << c;
}

TEST(EffectPixels, EdgeDetectionMarksOnlyTheEdge) {
    OffscreenWorld in = Flat(40, 20, 30, 30, 30);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x) std::fill_n(in.Row(y) + x * 3, 3, uint8_t(220));
    const OffscreenWorld out = Filtered(in, MakeEffectDescription(FourCC("edge")));
    EXPECT_LT(At(out, 5, 10).r, 10);
    EXPECT_LT(At(out, 35, 10).g, 10);
    EXPECT_GT(std::max(At(out, 19, 10).r, At(out, 20, 10).r), 150);
}

TEST(EffectPixels, EmbossTurnsFlatAreasMidGrey) {
    const OffscreenWorld out = Filtered(Flat(32, 32, 10, 200, 90), MakeEffectDescription(FourCC("embs")));
    const Pixel p = At(out, 16, 16);
    EXPECT_EQ(p.r, 128);
    EXPECT_EQ(p.g, 128);
    EXPECT_EQ(p.b, 128);
}

TEST(EffectPixels, BrightnessRaisesMeanAndContrastSpreadsValues) {
    const OffscreenWorld in = Pattern(64, 48);
    const OffscreenWorld brighter = Filtered(in, MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), 50}}));
    const OffscreenWorld darker = Filtered(in, MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), -50}}));
    for (int c = 0; c < 3; ++c) {
        EXPECT_GT(Mean(brighter, c), Mean(in, c) + 40) << c;
        EXPECT_LT(Mean(darker, c), Mean(in, c) - 40) << c;
    }
    const OffscreenWorld contrast = Filtered(in, MakeEffectDescription(FourCC("brco"), {{FourCC("cont"), 60}}));
    const OffscreenWorld flatter = Filtered(in, MakeEffectDescription(FourCC("brco"), {{FourCC("cont"), -60}}));
    EXPECT_GT(Variance(contrast, 1), Variance(in, 1) * 2);
    EXPECT_LT(Variance(flatter, 1), Variance(in, 1) * 0.5);
    // Defaults change nothing.
    EXPECT_TRUE(SamePixels(Filtered(in, MakeEffectDescription(FourCC("brco"))), in));
}

TEST(EffectPixels, HSLBalanceDesaturatesAndLightens) {
    const OffscreenWorld in = Flat(32, 16, 200, 60, 40);
    const Pixel grey = At(Filtered(in, MakeEffectDescription(FourCC("hslb"), {{FourCC("satu"), -100}})), 8, 8);
    EXPECT_NEAR(grey.r, grey.g, 3);
    EXPECT_NEAR(grey.g, grey.b, 3);
    const Pixel white = At(Filtered(in, MakeEffectDescription(FourCC("hslb"), {{FourCC("ligh"), 100}})), 8, 8);
    EXPECT_EQ(white.r + white.g + white.b, 3 * 255);
    const Pixel shifted = At(Filtered(in, MakeEffectDescription(FourCC("hslb"), {{FourCC("hue "), 66}})), 8, 8);
    EXPECT_LT(shifted.r, 150);  // red turned toward another hue
}

TEST(EffectPixels, TintsColourThePicture) {
    const OffscreenWorld in = Pattern(48, 32);
    const OffscreenWorld grey = Filtered(in, MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}}));
    const OffscreenWorld sepia = Filtered(in, MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 0}}));
    const OffscreenWorld blue = Filtered(in, MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 2}}));
    for (int y = 0; y < 32; y += 3)
        for (int x = 0; x < 48; x += 5) {
            const Pixel g = At(grey, x, y), s = At(sepia, x, y), b = At(blue, x, y);
            EXPECT_EQ(g.r, g.g);
            EXPECT_EQ(g.g, g.b);
            EXPECT_GE(s.r, s.g);
            EXPECT_GT(s.g, s.b);
            EXPECT_GT(b.b, b.r);
        }
}

TEST(EffectPixels, SolarizeInvertsAboveTheThreshold) {
    OffscreenWorld in(4, 1);
    const uint8_t values[4][3] = {{200, 100, 128}, {129, 0, 255}, {10, 20, 30}, {250, 251, 252}};
    for (int x = 0; x < 4; ++x) std::copy_n(values[x], 3, in.Row(0) + x * 3);
    const OffscreenWorld out = Filtered(in, MakeEffectDescription(FourCC("solr"), {{FourCC("thrs"), 128}}));
    for (int x = 0; x < 4; ++x)
        for (int c = 0; c < 3; ++c) {
            const int v = values[x][c];
            EXPECT_EQ(out.Row(0)[x * 3 + c], v > 128 ? 255 - v : v) << x << "," << c;
        }
}

TEST(EffectPixels, FilmNoiseIsRepeatableAndChangesPerFrame) {
    const OffscreenWorld in = Flat(64, 48, 120, 120, 120);
    const Handle noise = MakeEffectDescription(FourCC("fmns"), {{FourCC("dens"), 60}});
    auto firstFrames = [&] {
        EffectRenderer renderer;
        std::vector<OffscreenWorld> frames;
        for (int i = 0; i < 2; ++i) {
            OffscreenWorld w = in;
            Handle h = noise;
            EXPECT_TRUE(renderer.ApplyFilter(w, h));
            frames.push_back(std::move(w));
        }
        return frames;
    };
    const auto run1 = firstFrames(), run2 = firstFrames();
    EXPECT_TRUE(SamePixels(run1[0], run2[0]));
    EXPECT_TRUE(SamePixels(run1[1], run2[1]));
    EXPECT_FALSE(SamePixels(run1[0], run1[1]));
    EXPECT_FALSE(SamePixels(run1[0], in));
    EXPECT_GT(Variance(run1[0], 0), 20.0);
    EXPECT_TRUE(SamePixels(Filtered(in, MakeEffectDescription(FourCC("fmns"), {{FourCC("dens"), 0}})), in));
}

TEST(EffectPixels, TransitionsAsFiltersShowTheirEarlyStateOverBlack) {
    const OffscreenWorld in = Flat(100, 50, 200, 100, 50);
    const Pixel faded = At(Filtered(in, MakeEffectDescription(FourCC("dslv"))), 50, 25);
    EXPECT_NEAR(faded.r, 180, 1);  // nine tenths of the picture, one tenth black
    EXPECT_NEAR(faded.g, 90, 1);
    EXPECT_NEAR(faded.b, 45, 1);

    const OffscreenWorld wiped = Filtered(in, MakeEffectDescription(FourCC("smpt"), {{FourCC("wpid"), 1}}));
    for (int x : {0, 9}) EXPECT_EQ(At(wiped, x, 25).r, 0) << x;
    for (int x : {10, 99}) EXPECT_EQ(At(wiped, x, 25).r, 200) << x;
    const OffscreenWorld down = Filtered(in, MakeEffectDescription(FourCC("smpt"), {{FourCC("wpid"), 2}}));
    EXPECT_EQ(At(down, 50, 4).g, 0);
    EXPECT_EQ(At(down, 50, 5).g, 100);

    OffscreenWorld ramp(100, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x) std::fill_n(ramp.Row(y) + x * 3, 3, uint8_t(x * 2 + 10));
    const OffscreenWorld fromLeft = Filtered(ramp, MakeEffectDescription(FourCC("push"), {{FourCC("from"), 0}}));
    EXPECT_EQ(At(fromLeft, 9, 5).r, 0);
    EXPECT_EQ(At(fromLeft, 10, 5).r, 10);   // the old picture moved right by a tenth
    EXPECT_EQ(At(fromLeft, 99, 5).r, 188);
    const OffscreenWorld fromRight = Filtered(ramp, MakeEffectDescription(FourCC("push"), {{FourCC("from"), 1}}));
    EXPECT_EQ(At(fromRight, 0, 5).r, 30);
    EXPECT_EQ(At(fromRight, 90, 5).r, 0);
}

TEST(EffectPixels, ColorFillsAndKeepsAlpha) {
    const OffscreenWorld in = Pattern(30, 20, Format::RGBA32);
    const OffscreenWorld out = Filtered(in, MakeEffectDescription(FourCC("colr"), {{FourCC("colr"), 0x3366CC}}));
    for (int y = 0; y < 20; y += 7)
        for (int x = 0; x < 30; x += 4) {
            const Pixel p = At(out, x, y);
            EXPECT_EQ(p.r, 0x33);
            EXPECT_EQ(p.g, 0x66);
            EXPECT_EQ(p.b, 0xCC);
            EXPECT_EQ(AlphaAt(out, x, y), AlphaAt(in, x, y));
        }
}

TEST(EffectPixels, FireBurnsFromTheBottom) {
    const OffscreenWorld out = Filtered(Flat(64, 64, 0, 0, 255), MakeEffectDescription(FourCC("fire")));
    double top = 0, bottom = 0;
    for (int x = 0; x < 64; ++x) {
        top += At(out, x, 2).r;
        bottom += At(out, x, 60).r;
    }
    EXPECT_LT(top / 64, 20);
    EXPECT_GT(bottom / 64, 120);
    EXPECT_LT(At(out, 10, 60).b, At(out, 10, 60).r);  // the blue picture is gone
}

TEST(EffectPixels, EffectsOnRGBAWorldsKeepAlpha) {
    const OffscreenWorld in = Pattern(40, 30, Format::RGBA32);
    const OffscreenWorld out = Filtered(in, MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), 40}}));
    for (int y = 0; y < 30; y += 5)
        for (int x = 0; x < 40; x += 5) {
            EXPECT_EQ(AlphaAt(out, x, y), AlphaAt(in, x, y));
            EXPECT_GT(At(out, x, y).g, At(in, x, y).g);
        }
}

// --- running filters --------------------------------------------------------

TEST(FilterRunning, ChainRunsEachFilterOnThePreviousResult) {
    OffscreenWorld world = Flat(16, 16, 100, 100, 100);
    std::vector<Handle> chain = {MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), 50}}),
                                 MakeEffectDescription(FourCC("solr"), {{FourCC("thrs"), 128}})};
    EXPECT_TRUE(ApplyFilterList(world, chain));
    // 100 brightened to 164, then solarized: 255 - 164. The other order gives 164.
    EXPECT_EQ(At(world, 8, 8).r, 91);
}

TEST(FilterRunning, FailingFilterLeavesFrameAndChainGoesOn) {
    const OffscreenWorld in = Pattern(24, 24);
    OffscreenWorld world = in;
    Handle unknown = MakeEffectDescription(FourCC("zzzz"));
    EXPECT_FALSE(ApplyFilter(world, unknown));
    EXPECT_TRUE(SamePixels(world, in));
    Handle broken("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x40sean", 20);
    EXPECT_FALSE(ApplyFilter(world, broken));
    EXPECT_TRUE(SamePixels(world, in));

    Handle brighter = MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), 30}});
    Handle* chain[] = {&unknown, &brighter, nullptr};
    EXPECT_FALSE(ApplyFilterList(world, chain));
    EXPECT_GT(Mean(world, 0), Mean(in, 0) + 20);

    OffscreenWorld empty;
    Handle blur = MakeEffectDescription(FourCC("blur"));
    EXPECT_FALSE(ApplyFilter(empty, blur));
}

TEST(FilterRunning, SourceAtomsAreSetForTheRunAndRemovedAfter) {
    EffectRenderer renderer;
    std::vector<Handle> seen;
    renderer.SetPreparedDescriptionObserver([&](const Handle& h) { seen.push_back(h); });

    auto sourcesOf = [](const Handle& h) {
        std::vector<std::pair<int32_t, OSType>> out;
        const AtomContainer c = AtomContainer::Parse(h);
        for (int i = 1; i <= c.Count(kEffectSourceAtom); ++i)
            out.emplace_back(c.Find(kEffectSourceAtom, i)->id, c.Find(kEffectSourceAtom, i)->U32());
        return out;
    };

    // A two-source effect used as a filter: stale atoms replaced by srcA, srcB.
    AtomContainer push = AtomContainer::Parse(MakeEffectDescription(FourCC("push")));
    push.Root().InsertChildU32(kEffectSourceAtom, 7, FourCC("old!"));
    Handle filter = push.ToHandle();
    OffscreenWorld world = Pattern(20, 20);
    ASSERT_TRUE(renderer.ApplyFilter(world, filter));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(sourcesOf(seen[0]), (std::vector<std::pair<int32_t, OSType>>{{1, kEffectSourceA}, {2, kEffectSourceB}}));
    EXPECT_EQ(AtomContainer::Parse(filter).Count(kEffectSourceAtom), 0);
    EXPECT_EQ(AtomContainer::Parse(filter).Find(kEffectTypeAtom)->U32(), FourCC("push"));

    Handle blur = MakeEffectDescription(FourCC("blur"));
    Handle color = MakeEffectDescription(FourCC("colr"));
    ASSERT_TRUE(renderer.ApplyFilter(world, blur));
    ASSERT_TRUE(renderer.ApplyFilter(world, color));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(sourcesOf(seen[1]), (std::vector<std::pair<int32_t, OSType>>{{1, kEffectSourceA}}));
    EXPECT_TRUE(sourcesOf(seen[2]).empty());
    EXPECT_EQ(blur, MakeEffectDescription(FourCC("blur")));  // nothing to remove: bytes untouched
}

TEST(FilterRunning, SteadyStateReusesTheGraph) {
    EffectRenderer renderer;
    Handle blur = MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 4}});
    AtomContainer withSources = AtomContainer::Parse(MakeEffectDescription(FourCC("dslv")));
    SetEffectSources(withSources, 2);
    Handle fade = withSources.ToHandle();
    OffscreenWorld world = Pattern(32, 24);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(renderer.ApplyFilter(world, blur));
        ASSERT_TRUE(renderer.ApplyFilter(world, fade));
    }
    EXPECT_EQ(renderer.GraphsBuilt(), 2);
    OffscreenWorld other = Pattern(16, 8);
    ASSERT_TRUE(renderer.ApplyFilter(other, blur));
    EXPECT_EQ(renderer.GraphsBuilt(), 3);
    Handle stronger = MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 9}});
    ASSERT_TRUE(renderer.ApplyFilter(world, stronger));
    EXPECT_EQ(renderer.GraphsBuilt(), 4);
}

TEST(FilterRunning, RenderEffectMakesANewWorldAndLeavesTheSource) {
    const OffscreenWorld source = Pattern(30, 20, Format::RGBA32);
    const OffscreenWorld before = source;
    OffscreenWorld result;
    Handle tint = MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}});
    ASSERT_TRUE(RenderEffect(result, source, tint));
    EXPECT_TRUE(SamePixels(source, before));
    ASSERT_EQ(result.Width(), 30);
    ASSERT_EQ(result.Height(), 20);
    EXPECT_EQ(result.PixelFormat(), Format::RGBA32);
    const Pixel p = At(result, 11, 7);
    EXPECT_EQ(p.r, p.g);
    EXPECT_EQ(AlphaAt(result, 11, 7), AlphaAt(source, 11, 7));
}

TEST(FilterRunning, TinyAndOddFramesStillRender) {
    for (OSType type : {FourCC("smpt"), FourCC("push"), FourCC("blur"), FourCC("shrp"), FourCC("fire")}) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 7}, std::pair{33, 2}}) {
            OffscreenWorld world = Pattern(w, h);
            Handle effect = MakeEffectDescription(type);
            EXPECT_TRUE(ApplyFilter(world, effect)) << FourCCToString(type) << " " << w << "x" << h;
        }
    }
}
