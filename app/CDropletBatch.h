// The unattended batch a droplet starts: "BATCH "<droplet>" "<hand-over>""
// on the command line. Reads the droplet's settings and the list of dropped
// files, makes one document model per file with those settings and
// compresses each into "<droplet name> Output" beside it. This is the
// application's batch state (settings block, droplet name, queue, running
// flag); the application object owns one.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Handle.h"
#include "framework/TArray.h"
#include "platform/media/FSSpec.h"

class CTambleDocModel;
class CompressionService;

class CDropletBatch {
public:
    using ModelFactory = std::function<std::unique_ptr<CTambleDocModel>()>;
    // Shows one message to the user (a box, or standard error without a
    // display); returns when the user has seen it.
    using MessageSink = std::function<void(const std::string&)>;

    // Longest tail of a batch start: "BATCH" and two quoted paths of up to
    // 255 bytes each (a path must fit a file record). A longer tail would
    // have to be cut and name the wrong files, so it runs nothing.
    static constexpr size_t kMaxCommandTail = 5 + 2 * (2 + 255 + 1);
    // Buffer for one hand-over entry: a path of up to 255 bytes.
    static constexpr size_t kHandoverBufferSize = 256;

    // applicationFolder: where the watermark folder is looked for; the
    // models compress through `compression`.
    CDropletBatch(ModelFactory makeModel, MessageSink showMessage, std::string applicationFolder,
                  CompressionService& compression);
    ~CDropletBatch();
    CDropletBatch(const CDropletBatch&) = delete;
    CDropletBatch& operator=(const CDropletBatch&) = delete;

    // True when the tail is a batch start (its first word is exactly
    // "BATCH"); the batch has then been run, whatever happened, and the
    // files it did not compress have been listed in one message.
    bool HandleCommandLine(const std::string& commandTail);

    // Reads Filename0, Filename1, ... of section FileSection up to the first
    // missing (or at most one byte long) entry and runs the files found.
    void ReadBatchFileList(const std::string& handoverPath);

    // Makes a model for each file and queues it; then compresses the queue.
    void RunBatch(const TArray<FSSpec>& files);

    // Compresses every queued model into its destination, in order,
    // destroying each afterwards. A stop signal ends the batch after the
    // file it stopped.
    void ProcessBatchQueue();

    // The files not compressed so far, each "name: reason".
    const std::vector<std::string>& NotCompressed() const { return mNotCompressed; }

    const Handle& SettingsBlock() const { return mSettingsBlock; }
    const std::string& DropletName() const { return mDropletName; }
    bool IsBatchRunning() const { return mBatchRunning; }
    int32_t QueuedCount() const { return mBatchQueue.GetCount(); }

    // Splits the part of a batch tail after "BATCH " into the droplet path
    // and the hand-over file path. Exposed for tests.
    static void SplitBatchPaths(const std::string& rest, std::string& dropletPath,
                                std::string& handoverPath);

private:
    void ApplyWatermarkFolder(CTambleDocModel& model) const;
    void ClearQueue();
    void NoteNotCompressed(const FSSpec& source, const std::string& reason);
    void ShowSummary();

    ModelFactory mMakeModel;
    MessageSink mShowMessage;
    std::string mApplicationFolder;
    CompressionService& mCompression;

    Handle mSettingsBlock;
    std::string mDropletName;
    TArray<CTambleDocModel*> mBatchQueue;  // owned
    bool mBatchRunning = false;
    std::vector<std::string> mNotCompressed;
};
