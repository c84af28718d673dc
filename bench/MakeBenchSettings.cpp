// Writes the settings record the compression benchmark uses: a crop, a
// 1280x720 output, a watermark in the bottom-right corner, H.264 at
// normal quality and AAC at 128 kbit/s over the whole movie.
//   movelark_bench_settings SOURCE WATERMARK.png RECORD-OUT
#include <cstdio>
#include <fstream>

#include "model/CTambleVideoDocModel.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SOURCE WATERMARK RECORD-OUT\n", argv[0]);
        return 2;
    }
    FSSpec source, watermark;
    if (FSSpec::FromPath(argv[1], source) || FSSpec::FromPath(argv[2], watermark)) return 1;
    CTambleVideoDocModel model;
    if (!model.SetSourceFile(source)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const int w = model.GetSourceWidth(), h = model.GetSourceHeight();
    model.SetCrop(w / 32, h / 32, w - w / 32, h - h / 32);
    model.SetConstrainProportions(false);
    model.SetCustomSize(true);
    model.SetOutputWidth(1280);
    model.SetOutputHeight(720);
    model.SetWatermarkFile(watermark);
    model.SetWatermarkPlacement(12);
    model.UseOneVideoSegment(MakeVideoSettings(FourCC("avc1"), 0x200));
    model.UseOneAudioSegment(MakeSoundSettings(FourCC("aac "), 2, 16, 48000, {{"bitrate", "128000"}}));
    const Handle record = model.WriteSettings();
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(record.Data()), std::streamsize(record.Size()));
    std::printf("crop %d,%d-%d,%d output %dx%d\n", model.GetCropLeft(), model.GetCropTop(), model.GetCropRight(),
                model.GetCropBottom(), model.GetOutputWidth(), model.GetOutputHeight());
    return out ? 0 : 1;
}
