#include "platform/media/effects/EffectRendering.h"

#include <cstring>
#include <mutex>

#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectGraph.h"
#include "platform/media/effects/EffectTable.h"

namespace {

constexpr OSType kTrackAtom = FourCC("trak");
constexpr OSType kSegmentTimeAtom = FourCC("Etim");
constexpr size_t kCacheCapacity = 16;  // a long filter chain plus a few previews

Handle BuildEffectList(int32_t kind) {
    AtomContainer list;
    int32_t id = 0;
    for (const auto& e : effects::AllEffectTypes()) {
        if (kind >= 0 && e.sources != kind) continue;
        ++id;
        list.Root().InsertChildText(kEffectListNameAtom, id, e.name);
        list.Root().InsertChildU32(kEffectListTypeAtom, id, e.type);
    }
    return list.ToHandle();
}

bool ReadEffectType(const AtomContainer& description, OSType& type) {
    const QTAtomNode* what = description.Find(kEffectTypeAtom);
    if (!what || !what->leaf || what->data.size() < 4) return false;
    type = what->U32();
    return true;
}

const EffectType* EffectTypeOf(const Handle& effect, AtomContainer& parsed) {
    OSType type = 0;
    if (!AtomContainer::TryParse(effect, parsed) || !ReadEffectType(parsed, type)) return nullptr;
    return effects::FindEffectType(type);
}

}  // namespace

const Handle& GetEffectList(int32_t kind) {
    static const Handle lists[4] = {BuildEffectList(0), BuildEffectList(1), BuildEffectList(2),
                                    BuildEffectList(kAllEffects)};
    return kind >= 0 && kind <= 2 ? lists[kind] : lists[3];
}

int CountEffectSources(const Handle& effect) {
    AtomContainer parsed;
    const EffectType* type = EffectTypeOf(effect, parsed);
    return type ? type->sources : 0;
}

std::string GetEffectName(const Handle& effect) {
    AtomContainer parsed;
    if (!AtomContainer::TryParse(effect, parsed)) return {};
    if (const QTAtomNode* text = parsed.Find(kEffectDescriptionTextAtom); text && text->leaf) {
        std::string name = text->Text();
        while (!name.empty() && name.back() == '\0') name.pop_back();
        return name;
    }
    OSType type = 0;
    if (!ReadEffectType(parsed, type)) return {};
    const EffectType* entry = effects::FindEffectType(type);
    return entry ? entry->name : std::string();
}

void SetEffectSources(AtomContainer& description, int sources) {
    description.Root().RemoveChildren(kEffectSourceAtom);
    if (sources >= 1) description.Root().InsertChildU32(kEffectSourceAtom, 1, kEffectSourceA);
    if (sources >= 2) description.Root().InsertChildU32(kEffectSourceAtom, 2, kEffectSourceB);
}

Handle MakeEffectDescription(OSType type, const std::vector<std::pair<OSType, int32_t>>& parameters) {
    AtomContainer description;
    description.Root().InsertChildU32(kEffectTypeAtom, 1, type);
    for (const auto& [atomType, value] : parameters) description.Root().InsertChildU32(atomType, 1, uint32_t(value));
    return description.ToHandle();
}

Handle MakeEffectDescription(OSType type, std::initializer_list<std::pair<OSType, int32_t>> parameters) {
    return MakeEffectDescription(type, std::vector<std::pair<OSType, int32_t>>(parameters));
}

Handle CleanEffectDescription(const Handle& effect) {
    AtomContainer parsed;
    if (!AtomContainer::TryParse(effect, parsed)) return effect;
    OSType type = 0;
    const EffectType* entry = ReadEffectType(parsed, type) ? effects::FindEffectType(type) : nullptr;
    std::erase_if(parsed.Root().children, [&](const QTAtomNode& atom) {
        switch (atom.type) {
        case kEffectTypeAtom:
        case kEffectSourceAtom:
        case kTrackAtom:
        case kEffectDescriptionTextAtom:
        case kSegmentTimeAtom: return false;
        default: return !(entry && atom.id == 1 && entry->FindParameter(atom.type));
        }
    });
    return parsed.ToHandle();
}

// --- the renderer -------------------------------------------------------

struct EffectRenderer::Impl {
    struct Entry {
        std::vector<uint8_t> key;  // description bytes
        int width = 0, height = 0;
        uint64_t lastUse = 0;
        std::unique_ptr<EffectGraph> graph;
    };

    std::mutex mutex;  // previews and a compression may share the instance
    std::vector<Entry> cache;
    uint64_t useCounter = 0;
    int graphsBuilt = 0;
    std::function<void(const Handle&)> observer;

    Entry* Find(const Handle& effect, int w, int h) {
        for (auto& e : cache)
            if (e.width == w && e.height == h && e.key.size() == effect.Size() &&
                std::memcmp(e.key.data(), effect.Data(), e.key.size()) == 0)
                return &e;
        return nullptr;
    }

    // The graph for this description and size, built on first use. The
    // description loses its 'src ' atoms on the way.
    EffectGraph* GraphFor(Handle& effect, int w, int h) {
        if (w <= 0 || h <= 0) return nullptr;
        if (Entry* hit = Find(effect, w, h)) {
            hit->lastUse = ++useCounter;
            return hit->graph.get();
        }
        AtomContainer description;
        if (!AtomContainer::TryParse(effect, description)) return nullptr;
        const bool hadSources = description.Count(kEffectSourceAtom) > 0;
        OSType type = 0;
        const EffectType* entry = ReadEffectType(description, type) ? effects::FindEffectType(type) : nullptr;

        SetEffectSources(description, entry ? entry->sources : 0);
        if (observer) observer(description.ToHandle());
        description.Root().RemoveChildren(kEffectSourceAtom);
        if (hadSources) effect = description.ToHandle();
        if (!entry) return nullptr;
        if (Entry* hit = Find(effect, w, h)) {  // the same filter once it lost its 'src ' atoms
            hit->lastUse = ++useCounter;
            return hit->graph.get();
        }

        auto graph = EffectGraph::Build(entry->buildGraph(effects::ReadEffectValues(*entry, description), w, h),
                                        entry->sources, w, h);
        if (!graph) return nullptr;
        ++graphsBuilt;
        if (cache.size() >= kCacheCapacity) {
            auto oldest = std::min_element(cache.begin(), cache.end(),
                                           [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
            cache.erase(oldest);
        }
        Entry& added = cache.emplace_back();
        added.key = effect.Bytes();
        added.width = w;
        added.height = h;
        added.lastUse = ++useCounter;
        added.graph = std::move(graph);
        return added.graph.get();
    }
};

EffectRenderer::EffectRenderer() : mImpl(std::make_unique<Impl>()) {}
EffectRenderer::~EffectRenderer() = default;

EffectRenderer& EffectRenderer::Shared() {
    static EffectRenderer shared;
    return shared;
}

bool EffectRenderer::ApplyFilter(OffscreenWorld& world, Handle& filter) {
    std::lock_guard lock(mImpl->mutex);
    EffectGraph* graph = mImpl->GraphFor(filter, world.Width(), world.Height());
    return graph && graph->Run(world);
}

bool EffectRenderer::RenderEffect(OffscreenWorld& result, const OffscreenWorld& source, Handle& effect) {
    std::lock_guard lock(mImpl->mutex);
    EffectGraph* graph = mImpl->GraphFor(effect, source.Width(), source.Height());
    if (!graph) return false;
    result.Allocate(source.Width(), source.Height(), source.PixelFormat());
    const size_t rowBytes = size_t(source.Width()) * size_t(source.BytesPerPixel());
    for (int y = 0; y < source.Height(); ++y) std::memcpy(result.Row(y), source.Row(y), rowBytes);
    return graph->Run(result);
}

void EffectRenderer::SetPreparedDescriptionObserver(std::function<void(const Handle&)> observer) {
    std::lock_guard lock(mImpl->mutex);
    mImpl->observer = std::move(observer);
}

int EffectRenderer::GraphsBuilt() const { return mImpl->graphsBuilt; }

void EffectRenderer::ClearCache() {
    std::lock_guard lock(mImpl->mutex);
    mImpl->cache.clear();
}

// --- the free functions ---------------------------------------------------

bool ApplyFilter(OffscreenWorld& world, Handle& filter) { return EffectRenderer::Shared().ApplyFilter(world, filter); }

bool ApplyFilterList(OffscreenWorld& world, std::span<Handle* const> filters) {
    bool all = true;
    for (Handle* filter : filters) all = (filter && ApplyFilter(world, *filter)) && all;
    return all;
}

bool ApplyFilterList(OffscreenWorld& world, std::vector<Handle>& filters) {
    bool all = true;
    for (Handle& filter : filters) all = ApplyFilter(world, filter) && all;
    return all;
}

bool RenderEffect(OffscreenWorld& result, const OffscreenWorld& source, Handle& effect) {
    return EffectRenderer::Shared().RenderEffect(result, source, effect);
}
