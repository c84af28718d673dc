// A document model over pretend movies, for watching what a batch does with
// each dropped file, and helpers for droplet files and hand-over files.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CDropletBatch.h"
#include "model/CTambleDocModel.h"
#include "resources/StringLists.h"
#include "support/PretendDocModel.h"
#include "support/TestSupport.h"

namespace droplettest {

// What the batch asked of every model it made.
struct BatchLog {
    int modelsAlive = 0;
    std::vector<std::string> opened;                 // sources opened
    std::vector<std::string> compressedTo;           // destinations, in order
    std::vector<int32_t> rotationAtCompress;         // settings applied before compressing
    std::vector<std::string> watermarkAtCompress;
    std::vector<bool> runningAtCompress;             // the batch's flag during Compress
    std::vector<int32_t> queuedAtCompress;
    std::vector<std::string> messages;
    const CDropletBatch* batch = nullptr;
};

// A 320 x 240 pretend movie that opens any existing file whose name does
// not contain "broken"; cannot compress files whose name contains
// "nocodec"; throws from Compress for "explodes".
class PretendMovieModel : public PretendDocModel {
public:
    explicit PretendMovieModel(BatchLog* log) : mLog(log) { ++mLog->modelsAlive; }
    ~PretendMovieModel() override { --mLog->modelsAlive; }

    bool CanCompress() override { return mFileSpec.Path().find("nocodec") == std::string::npos; }
    OSErr Compress(const FSSpec& destination, CompressionService&) override {
        mLog->compressedTo.push_back(destination.Path());
        mLog->rotationAtCompress.push_back(GetRotation());
        mLog->watermarkAtCompress.push_back(GetWatermarkFile().Path());
        mLog->runningAtCompress.push_back(mLog->batch && mLog->batch->IsBatchRunning());
        mLog->queuedAtCompress.push_back(mLog->batch ? mLog->batch->QueuedCount() : -1);
        if (mFileSpec.Path().find("explodes") != std::string::npos)
            throw LException(ioErr, "disk on fire");
        return mFileSpec.Path().find("fails") != std::string::npos ? ioErr : noErr;
    }
    bool CanOpen(const FSSpec& spec) override {
        std::error_code ec;
        return spec.Path().find("broken") == std::string::npos &&
               std::filesystem::is_regular_file(spec.Path(), ec);
    }
    void OpenMovie() override { mLog->opened.push_back(mFileSpec.Path()); }

private:
    BatchLog* mLog;
};

// A batch that makes pretend models and keeps its messages.
inline std::unique_ptr<CDropletBatch> MakeBatch(BatchLog& log, const std::string& appFolder = "/nonexistent") {
    static UnusedCompressionService unused;
    auto batch = std::make_unique<CDropletBatch>(
        [&log] { return std::make_unique<PretendMovieModel>(&log); },
        [&log](const std::string& text) { log.messages.push_back(text); }, appFolder, unused);
    log.batch = batch.get();
    return batch;
}

// A settings record as a document with these settings writes it.
inline Handle SettingsWithRotation(int32_t rotation, const std::string& watermark = "") {
    BatchLog scratch;
    PretendMovieModel model(&scratch);
    model.Load();
    model.SetRotation(rotation);
    if (!watermark.empty()) model.SetWatermarkFile(testsupport::Spec(watermark));
    return model.WriteSettings();
}

// A message naming one file ("^0" filled in), and the summary listing the
// files a batch left out, a line each.
inline std::string Named(const std::string& stem) {
    std::string text = GetIndString(1100, 1);
    return text.replace(text.find("^0"), 2, stem);
}
inline std::string Summary(const std::vector<std::string>& lines) {
    std::string text = GetIndString(1100, 40);
    text.replace(text.find("^0"), 2, std::to_string(lines.size()));
    for (const std::string& line : lines) text += "\n  " + line;
    return text;
}

}  // namespace droplettest
