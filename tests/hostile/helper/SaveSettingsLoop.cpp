// Saves a document's settings into its movie again and again, each time a
// different record, until it is killed or has saved SAVES times. Each
// record is self-consistent (state k in 0..5: placement 1000 + k, rotation
// 90 * (k % 4), k % 3 filters), so a reader can tell a whole record from a
// mix of two. The record's size changes with k, so saves go both in place
// and at the end of the file.
//
//   movelark_save_loop MOVIE [SAVES]
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "model/CTambleVideoDocModel.h"
#include "platform/media/AtomContainer.h"

namespace {

void Apply(CTambleVideoDocModel& model, int k) {
    model.SetWatermarkPlacement(1000 + uint32_t(k));
    model.SetRotation(90 * (k % 4));
    model.DisposeAllFilters();
    for (int i = 0; i < k % 3; ++i) {
        AtomContainer filter;
        filter.Insert(FourCC("what"), 1, "blur", 4);
        filter.Root().InsertChildU32(FourCC("ksiz"), 1, uint32_t(k + 1));
        model.AddFilter(std::make_unique<Handle>(filter.ToHandle()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: movelark_save_loop MOVIE [SAVES]\n");
        return 2;
    }
    const long saves = argc > 2 ? std::atol(argv[2]) : -1;
    FSSpec spec;
    if (FSSpec::FromPath(argv[1], spec) != noErr) return 2;
    CTambleVideoDocModel model;
    try {
        if (!model.SetSourceFile(spec)) {
            std::fprintf(stderr, "movelark_save_loop: cannot open %s\n", argv[1]);
            return 3;
        }
        const uint32_t placement = model.GetWatermarkPlacement();
        int k = placement >= 1000 && placement < 1006 ? int(placement - 1000) : 0;
        for (long i = 0; saves < 0 || i < saves; ++i) {
            k = (k + 1) % 6;
            Apply(model, k);
            model.SaveSettingsToMovie();
        }
    } catch (const LException& e) {
        std::fprintf(stderr, "movelark_save_loop: %s\n", e.what());
        return 1;
    }
    return 0;
}
