#include "app/CDropletBatch.h"

#include <filesystem>

#include "app/BatchOutputSpec.h"
#include "platform/files/DropletFile.h"
#include "app/IniFile.h"
#include "compress/StopSignals.h"
#include "model/CTambleVideoDocModel.h"
#include "resources/StringLists.h"

namespace fs = std::filesystem;

namespace {

constexpr char kBatchWord[] = "BATCH";
constexpr char kFileSection[] = "FileSection";
constexpr char kFileKeyPrefix[] = "Filename";
constexpr int16_t kErrorList = 1100;
constexpr int16_t kCannotOpenSourceItem = 1;
constexpr int16_t kSettingsUnreadableItem = 33;
constexpr int16_t kNotCompressedItem = 40;
constexpr int16_t kFolderList = 1002;
constexpr int16_t kWatermarkFolderItem = 4;

constexpr char kTailTooLong[] =
    "The droplet's folder path is too long for a batch run. Move the droplet to a folder "
    "with a shorter path and drop the files on it again.";

std::string ReplaceFirstMarker(std::string text, const std::string& replacement) {
    size_t marker = text.find("^0");
    if (marker != std::string::npos) text.replace(marker, 2, replacement);
    return text;
}

// The split the original command line parse makes: the first path runs to
// the next quote, the three characters after it (quote, blank, quote) are
// dropped, and so is the next quote after that.
void SplitAtQuotes(std::string rest, std::string& dropletPath, std::string& handoverPath) {
    size_t open = rest.find('"');
    rest.erase(0, open == std::string::npos ? rest.size() : open + 1);
    size_t close = rest.find('"');
    dropletPath = rest.substr(0, close);
    rest.erase(0, close == std::string::npos ? rest.size() : std::min(rest.size(), close + 3));
    size_t quote = rest.find('"');
    if (quote != std::string::npos) rest.erase(quote, 1);
    handoverPath = rest;
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// A file a movie model let through (CanOpen says yes to a file it cannot
// tell about) but could not make a movie of.
bool OpenedWithoutMovie(CTambleDocModel& model) {
    const auto* video = dynamic_cast<CTambleVideoDocModel*>(&model);
    return video && !video->GetMovie();
}

std::string CompressionFailure(CTambleDocModel& model, OSErr result) {
    const auto* video = dynamic_cast<CTambleVideoDocModel*>(&model);
    if (video && !video->GetCompressMessage().empty()) return video->GetCompressMessage();
    return "compression failed (error " + std::to_string(result) + ")";
}

}  // namespace

CDropletBatch::CDropletBatch(ModelFactory makeModel, MessageSink showMessage,
                             std::string applicationFolder, CompressionService& compression)
    : mMakeModel(std::move(makeModel)),
      mShowMessage(std::move(showMessage)),
      mApplicationFolder(std::move(applicationFolder)),
      mCompression(compression) {}

CDropletBatch::~CDropletBatch() { ClearQueue(); }

void CDropletBatch::ClearQueue() {
    while (mBatchQueue.GetCount() > 0) {
        delete mBatchQueue[1];
        mBatchQueue.RemoveItemAt(1);
    }
}

// The tail is "BATCH" "<droplet>" "<hand-over>" with each path in quotes.
// A path may itself hold quotes, so the two are split at a quote-blank-quote
// whose left side is an existing file; without such a choice the first one
// is taken, which is the plain quote-to-quote reading.
void CDropletBatch::SplitBatchPaths(const std::string& rest, std::string& dropletPath,
                                    std::string& handoverPath) {
    const bool quotedPair = rest.size() >= 2 && rest.front() == '"' && rest.back() == '"';
    if (!quotedPair) {
        SplitAtQuotes(rest, dropletPath, handoverPath);
        return;
    }
    const std::string inner = rest.substr(1, rest.size() - 2);
    size_t first = inner.find("\" \"");
    if (first == std::string::npos) {
        SplitAtQuotes(rest, dropletPath, handoverPath);
        return;
    }
    size_t chosen = first;
    if (inner.find("\" \"", first + 1) != std::string::npos) {
        for (size_t at = first; at != std::string::npos; at = inner.find("\" \"", at + 1)) {
            if (IsRegularFile(inner.substr(0, at))) {
                chosen = at;
                break;
            }
        }
    }
    dropletPath = inner.substr(0, chosen);
    handoverPath = inner.substr(chosen + 3);
}

bool CDropletBatch::HandleCommandLine(const std::string& commandTail) {
    const std::string tail = commandTail.substr(0, kMaxCommandTail);
    const size_t blank = tail.find(' ');
    if (tail.substr(0, blank) != kBatchWord) return false;

    // Cutting the tail would name the wrong files; nothing is run or deleted.
    if (commandTail.size() > kMaxCommandTail) {
        mShowMessage(kTailTooLong);
        return true;
    }

    std::string dropletPath, handoverPath;
    SplitBatchPaths(blank == std::string::npos ? std::string() : tail.substr(blank + 1), dropletPath,
                    handoverPath);

    Handle block = ReadDropletSettings(dropletPath);
    if (block.IsNull()) return true;  // nothing runs; the hand-over file stays

    mDropletName = DropletNameOfPath(dropletPath);
    mSettingsBlock = block;
    try {
        ReadBatchFileList(handoverPath);
    } catch (...) {
        // The batch is over either way; the hand-over file goes below.
    }
    ShowSummary();
    mSettingsBlock = Handle();
    block.Dispose();

    std::error_code ec;
    if (IsRegularFile(handoverPath)) fs::remove(handoverPath, ec);
    return true;
}

void CDropletBatch::ReadBatchFileList(const std::string& handoverPath) {
    const IniFile handover = IniFile::Load(handoverPath);
    TArray<FSSpec> files;
    for (int n = 0;; ++n) {
        std::string answer = handover.GetString(kFileSection, kFileKeyPrefix + std::to_string(n), " ",
                                                kHandoverBufferSize);
        if (answer.size() <= 1) break;
        FSSpec file;
        if (FSSpec::FromPath(answer, file) != noErr) break;  // cannot happen: at most 255 bytes
        files.Append(file);
    }
    if (files.GetCount() > 0) RunBatch(files);
}

void CDropletBatch::RunBatch(const TArray<FSSpec>& files) {
    bool settingsReported = false;
    TArrayIterator<FSSpec> iterator(files);
    FSSpec source;
    while (iterator.Next(source)) {
        const FSSpec output = MakeBatchOutputSpec(source, mDropletName);
        std::unique_ptr<CTambleDocModel> model = mMakeModel();

        bool opened = false;
        try {
            opened = model->SetSourceFile(source) && !OpenedWithoutMovie(*model);
        } catch (...) {
            opened = false;
        }
        if (!opened) {
            mShowMessage(ReplaceFirstMarker(GetIndString(kErrorList, kCannotOpenSourceItem),
                                            source.FileName(false)));
            NoteNotCompressed(source, "it cannot be opened as a movie");
            continue;
        }

        // A damaged record fails for every file alike: said once, and the
        // files are skipped.
        try {
            model->ReadSettings(mSettingsBlock);
        } catch (...) {
            if (!settingsReported) mShowMessage(GetIndString(kErrorList, kSettingsUnreadableItem));
            settingsReported = true;
            NoteNotCompressed(source, "the droplet's settings cannot be read");
            continue;
        }

        bool canCompress = false;
        try {
            canCompress = model->CanCompress();
        } catch (...) {
            canCompress = false;
        }
        if (!canCompress || !output.IsSet()) {
            NoteNotCompressed(source, canCompress ? "the output file's path is too long"
                                                  : "the droplet's settings cannot compress it");
            continue;
        }

        ApplyWatermarkFolder(*model);
        model->SetDestinationFile(output);
        mBatchQueue.Append(model.release());
    }
    if (mBatchQueue.GetCount() > 0 && !mBatchRunning) ProcessBatchQueue();
}

// A watermark picture that sits in the application's watermark folder on
// this machine is taken from there; otherwise the record's own file stays.
void CDropletBatch::ApplyWatermarkFolder(CTambleDocModel& model) const {
    const FSSpec& watermark = model.GetWatermarkFile();
    if (!watermark.IsSet()) return;
    const std::string folderName = GetIndString(kFolderList, kWatermarkFolderItem);
    if (folderName.empty()) return;
    std::error_code ec;
    const fs::path folder = fs::path(mApplicationFolder) / folderName;
    if (!fs::is_directory(folder, ec)) return;
    const fs::path candidate = folder / watermark.FileName(true);
    FSSpec found;
    if (fs::exists(candidate, ec) && FSSpec::FromPath(candidate.string(), found) == noErr)
        model.SetWatermarkFile(found);
}

void CDropletBatch::ProcessBatchQueue() {
    mBatchRunning = true;
    while (mBatchQueue.GetCount() > 0) {
        CTambleDocModel* model = mBatchQueue[1];
        if (StopSignals::Received()) {
            NoteNotCompressed(model->GetFileSpec(), "not started: the batch was stopped");
        } else {
            // A failed compression is noted and the batch goes on.
            try {
                const OSErr result = model->Compress(model->GetDestinationFile(), mCompression);
                if (StopSignals::Received()) NoteNotCompressed(model->GetFileSpec(), "stopped before it was finished");
                else if (result != noErr) NoteNotCompressed(model->GetFileSpec(), CompressionFailure(*model, result));
            } catch (const std::exception& e) {
                NoteNotCompressed(model->GetFileSpec(), e.what());
            } catch (...) {
                NoteNotCompressed(model->GetFileSpec(), "compression failed");
            }
        }
        mBatchQueue.RemoveItemAt(1);
        delete model;
    }
    mBatchRunning = false;
}

void CDropletBatch::NoteNotCompressed(const FSSpec& source, const std::string& reason) {
    mNotCompressed.push_back(source.FileName(true) + ": " + reason);
}

// One message for everything the batch left undone: a line per file.
void CDropletBatch::ShowSummary() {
    if (mNotCompressed.empty()) return;
    std::string text = ReplaceFirstMarker(GetIndString(kErrorList, kNotCompressedItem),
                                          std::to_string(mNotCompressed.size()));
    for (const std::string& line : mNotCompressed) text += "\n  " + line;
    mShowMessage(text);
}
