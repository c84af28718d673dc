// Atom containers: the tree-shaped settings descriptions (codec settings,
// sound settings, effect descriptions) kept in handles. The byte layout is
// the classic one: a 12-byte container header, then the root atom 'sean'
// id 1; every atom has a 20-byte big-endian header (size, type, id,
// reserved, child count, reserved) followed by its data or its children.
//
// A container is parsed once into a tree, validated as it goes, edited as a
// tree and written back. Parsing never trusts a size or a count: each is
// checked against the bytes actually present before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "framework/LException.h"

// Result code for a handle that does not hold a well-formed container.
constexpr OSErr kInvalidAtomContainerErr = -2003;

struct QTAtomNode {
    OSType type = 0;
    int32_t id = 0;
    bool leaf = true;            // leaf atoms carry data, inner atoms children
    std::vector<uint8_t> data;
    std::vector<QTAtomNode> children;

    // Indexes count from 1 among the children of one type.
    const QTAtomNode* FindChild(OSType childType, int index = 1) const;
    QTAtomNode* FindChild(OSType childType, int index = 1);
    const QTAtomNode* FindChildByID(OSType childType, int32_t childID) const;
    QTAtomNode* FindChildByID(OSType childType, int32_t childID);
    int CountChildren(OSType childType) const;
    int CountChildren() const { return int(children.size()); }

    QTAtomNode& InsertChild(OSType childType, int32_t childID, const void* bytes, size_t size);
    QTAtomNode& InsertChild(OSType childType, int32_t childID, const std::vector<uint8_t>& bytes) {
        return InsertChild(childType, childID, bytes.data(), bytes.size());
    }
    QTAtomNode& InsertChildU32(OSType childType, int32_t childID, uint32_t value);
    QTAtomNode& InsertChildText(OSType childType, int32_t childID, const std::string& text) {
        return InsertChild(childType, childID, text.data(), text.size());
    }
    QTAtomNode& InsertParent(OSType childType, int32_t childID);
    bool RemoveChild(OSType childType, int index = 1);
    int RemoveChildren(OSType childType);  // all of that type; returns how many

    // Big-endian reads of leaf data; reading past the end throws
    // LException(kInvalidAtomContainerErr).
    uint32_t U32(size_t offset = 0) const;
    int32_t S32(size_t offset = 0) const { return int32_t(U32(offset)); }
    uint16_t U16(size_t offset = 0) const;
    void SetU32(size_t offset, uint32_t value);  // grows the data when needed
    void SetU16(size_t offset, uint16_t value);
    std::string Text() const { return std::string(data.begin(), data.end()); }

    bool SameAs(const QTAtomNode& other) const;  // type, id, kind, data, children
};

class AtomContainer {
public:
    AtomContainer();  // just the root

    static AtomContainer Parse(const Handle& h);  // throws LException(kInvalidAtomContainerErr)
    static bool TryParse(const Handle& h, AtomContainer& out, std::string* why = nullptr);
    Handle ToHandle() const;

    QTAtomNode& Root() { return mRoot; }
    const QTAtomNode& Root() const { return mRoot; }

    // Top-level conveniences, forwarded to the root.
    const QTAtomNode* Find(OSType type, int index = 1) const { return mRoot.FindChild(type, index); }
    QTAtomNode* Find(OSType type, int index = 1) { return mRoot.FindChild(type, index); }
    int Count(OSType type) const { return mRoot.CountChildren(type); }
    QTAtomNode& Insert(OSType type, int32_t id, const void* bytes, size_t size) {
        return mRoot.InsertChild(type, id, bytes, size);
    }
    QTAtomNode& InsertParent(OSType type, int32_t id) { return mRoot.InsertParent(type, id); }
    bool Remove(OSType type, int index = 1) { return mRoot.RemoveChild(type, index); }

private:
    QTAtomNode mRoot;
};

// Whether two descriptions hold the same atoms (type, id, data, structure)
// once the top-level atoms of the listed types are skipped. The list ends
// with 0. Handles that are not containers compare by their bytes.
bool DescriptionsEqual(const OSType* ignoredTypes, const Handle& a, const Handle& b);
