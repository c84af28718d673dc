#include "platform/media/AtomContainer.h"

#include <algorithm>
#include <utility>

namespace {

constexpr size_t kContainerHeader = 12;
constexpr size_t kAtomHeader = 20;
constexpr int kMaxDepth = 32;  // real descriptions are three levels deep at most
constexpr OSType kRootType = FourCC("sean");

uint32_t ReadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint16_t ReadBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
void PutBE16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

[[noreturn]] void Fail(const std::string& why) { throw LException(kInvalidAtomContainerErr, why); }

// Parses the atom at [p, p + available) into node; returns its size.
size_t ParseAtom(const uint8_t* p, size_t available, int depth, QTAtomNode& node) {
    if (depth > kMaxDepth) Fail("atoms nested too deeply");
    if (available < kAtomHeader) Fail("atom header cut short");
    const uint32_t size = ReadBE32(p);
    if (size < kAtomHeader) Fail("atom size smaller than its header");
    if (size > available) Fail("atom size runs past the end of its parent");
    node.type = ReadBE32(p + 4);
    node.id = int32_t(ReadBE32(p + 8));
    const uint16_t childCount = ReadBE16(p + 14);
    const uint8_t* body = p + kAtomHeader;
    const size_t bodySize = size - kAtomHeader;
    if (childCount == 0) {
        node.leaf = true;
        node.data.assign(body, body + bodySize);
        return size;
    }
    // Every child needs at least a header, so a count that cannot fit is
    // refused before reserving anything.
    if (size_t(childCount) * kAtomHeader > bodySize) Fail("child count does not fit in the atom");
    node.leaf = false;
    node.children.resize(childCount);
    size_t used = 0;
    for (auto& child : node.children) used += ParseAtom(body + used, bodySize - used, depth + 1, child);
    if (used != bodySize) Fail("child count does not match the atom's contents");
    return size;
}

size_t EncodedSize(const QTAtomNode& node) {
    size_t size = kAtomHeader;
    if (node.leaf) return size + node.data.size();
    for (const auto& c : node.children) size += EncodedSize(c);
    return size;
}

void WriteAtom(const QTAtomNode& node, std::vector<uint8_t>& out) {
    // The header has 16 bits for the count and 32 for the size; refuse
    // rather than write a container that reads back differently.
    if (!node.leaf && node.children.size() > 0xFFFF) Fail("too many children for one atom");
    const size_t size = EncodedSize(node);
    if (size > 0xFFFFFFFFu) Fail("atom too large");
    PutBE32(out, uint32_t(size));
    PutBE32(out, node.type);
    PutBE32(out, uint32_t(node.id));
    PutBE16(out, 0);
    PutBE16(out, node.leaf ? 0 : uint16_t(node.children.size()));
    PutBE32(out, 0);
    if (node.leaf) {
        out.insert(out.end(), node.data.begin(), node.data.end());
    } else {
        for (const auto& c : node.children) WriteAtom(c, out);
    }
}

bool IsIgnored(const OSType* ignored, OSType type) {
    for (; ignored && *ignored; ++ignored)
        if (*ignored == type) return true;
    return false;
}

}  // namespace

const QTAtomNode* QTAtomNode::FindChild(OSType childType, int index) const {
    if (index < 1) return nullptr;
    for (const auto& c : children)
        if (c.type == childType && --index == 0) return &c;
    return nullptr;
}

QTAtomNode* QTAtomNode::FindChild(OSType childType, int index) {
    return const_cast<QTAtomNode*>(std::as_const(*this).FindChild(childType, index));
}

const QTAtomNode* QTAtomNode::FindChildByID(OSType childType, int32_t childID) const {
    for (const auto& c : children)
        if (c.type == childType && c.id == childID) return &c;
    return nullptr;
}

QTAtomNode* QTAtomNode::FindChildByID(OSType childType, int32_t childID) {
    return const_cast<QTAtomNode*>(std::as_const(*this).FindChildByID(childType, childID));
}

int QTAtomNode::CountChildren(OSType childType) const {
    return int(std::count_if(children.begin(), children.end(),
                             [&](const QTAtomNode& c) { return c.type == childType; }));
}

QTAtomNode& QTAtomNode::InsertChild(OSType childType, int32_t childID, const void* bytes, size_t size) {
    leaf = false;
    data.clear();
    QTAtomNode& c = children.emplace_back();
    c.type = childType;
    c.id = childID;
    const auto* b = static_cast<const uint8_t*>(bytes);
    if (size) c.data.assign(b, b + size);
    return c;
}

QTAtomNode& QTAtomNode::InsertChildU32(OSType childType, int32_t childID, uint32_t value) {
    const uint8_t be[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    return InsertChild(childType, childID, be, 4);
}

QTAtomNode& QTAtomNode::InsertParent(OSType childType, int32_t childID) {
    QTAtomNode& c = InsertChild(childType, childID, nullptr, 0);
    c.leaf = false;
    return c;
}

bool QTAtomNode::RemoveChild(OSType childType, int index) {
    const QTAtomNode* found = FindChild(childType, index);
    if (!found) return false;
    children.erase(children.begin() + (found - children.data()));
    return true;
}

int QTAtomNode::RemoveChildren(OSType childType) {
    const auto before = children.size();
    std::erase_if(children, [&](const QTAtomNode& c) { return c.type == childType; });
    return int(before - children.size());
}

uint32_t QTAtomNode::U32(size_t offset) const {
    if (offset > data.size() || data.size() - offset < 4)
        Fail("atom '" + FourCCToString(type) + "' is too short");
    return ReadBE32(data.data() + offset);
}

uint16_t QTAtomNode::U16(size_t offset) const {
    if (offset > data.size() || data.size() - offset < 2)
        Fail("atom '" + FourCCToString(type) + "' is too short");
    return ReadBE16(data.data() + offset);
}

void QTAtomNode::SetU32(size_t offset, uint32_t value) {
    if (data.size() < offset + 4) data.resize(offset + 4);
    for (int i = 0; i < 4; ++i) data[offset + i] = uint8_t(value >> (24 - 8 * i));
}

void QTAtomNode::SetU16(size_t offset, uint16_t value) {
    if (data.size() < offset + 2) data.resize(offset + 2);
    data[offset] = uint8_t(value >> 8);
    data[offset + 1] = uint8_t(value);
}

bool QTAtomNode::SameAs(const QTAtomNode& other) const {
    if (type != other.type || id != other.id) return false;
    // A parent without children and an empty leaf are written alike, so a
    // parsed copy of an empty parent is the same atom.
    auto empty = [](const QTAtomNode& n) { return n.leaf ? n.data.empty() : n.children.empty(); };
    if (leaf != other.leaf) return empty(*this) && empty(other);
    if (leaf) return data == other.data;
    if (children.size() != other.children.size()) return false;
    for (size_t i = 0; i < children.size(); ++i)
        if (!children[i].SameAs(other.children[i])) return false;
    return true;
}

AtomContainer::AtomContainer() {
    mRoot.type = kRootType;
    mRoot.id = 1;
    mRoot.leaf = false;
}

AtomContainer AtomContainer::Parse(const Handle& h) {
    if (h.IsNull()) Fail("no settings description");
    if (h.Size() < kContainerHeader + kAtomHeader) Fail("settings description is too short");
    AtomContainer c;
    const uint8_t* p = h.Data() + kContainerHeader;
    const size_t available = h.Size() - kContainerHeader;
    const size_t used = ParseAtom(p, available, 0, c.mRoot);
    if (used != available) Fail("bytes left over after the root atom");
    if (c.mRoot.type != kRootType) Fail("root atom is not 'sean'");
    if (c.mRoot.leaf) {  // an empty root is written as a bare header
        if (!c.mRoot.data.empty()) Fail("root atom holds data instead of atoms");
        c.mRoot.leaf = false;
    }
    return c;
}

bool AtomContainer::TryParse(const Handle& h, AtomContainer& out, std::string* why) {
    try {
        out = Parse(h);
        return true;
    } catch (const LException& e) {
        if (why) *why = e.Message();
        return false;
    }
}

Handle AtomContainer::ToHandle() const {
    std::vector<uint8_t> out;
    out.reserve(kContainerHeader + EncodedSize(mRoot));
    out.resize(kContainerHeader, 0);  // ten reserved bytes and a lock count of 0
    WriteAtom(mRoot, out);
    return Handle(std::move(out));
}

bool DescriptionsEqual(const OSType* ignoredTypes, const Handle& a, const Handle& b) {
    AtomContainer ca, cb;
    if (!AtomContainer::TryParse(a, ca) || !AtomContainer::TryParse(b, cb)) return a == b;
    std::vector<const QTAtomNode*> la, lb;
    for (const auto& c : ca.Root().children)
        if (!IsIgnored(ignoredTypes, c.type)) la.push_back(&c);
    for (const auto& c : cb.Root().children)
        if (!IsIgnored(ignoredTypes, c.type)) lb.push_back(&c);
    if (la.size() != lb.size()) return false;
    for (size_t i = 0; i < la.size(); ++i)
        if (!la[i]->SameAs(*lb[i])) return false;
    return true;
}
