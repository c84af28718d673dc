// A document: one open file and its window. Keeps the program-wide
// document list, and carries the close protocol: a modified document asks
// whether to save before it goes, and Revert asks before it reloads.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/gui/LCommander.h"
#include "platform/media/FSSpec.h"

class LDocument : public LCommander {
public:
    explicit LDocument(LCommander* superCommander);
    ~LDocument() override;

    static const std::vector<LDocument*>& GetDocumentList();

    bool IsModified() const { return mIsModified; }
    virtual void SetModified(bool modified) { mIsModified = modified; }
    // Saved to a file: Save writes there without asking for a name.
    bool IsSpecified() const { return mIsSpecified; }
    void SetSpecified(bool specified) { mIsSpecified = specified; }

    virtual QString GetDescriptor() const = 0;
    virtual bool UsesFileSpec(const FSSpec& file) const { (void)file; return false; }
    virtual void MakeCurrent() {}
    virtual OSType GetFileType() const { return 0; }
    virtual void DoAESave(const FSSpec& file) { (void)file; }
    virtual void DoSave() {}
    virtual void DoRevert() {}
    virtual void DoPrint() {}

    // The save dialog for Save As; false when cancelled.
    virtual bool AskSaveAs(FSSpec& file);
    // The close protocol. quitting: the program is ending (no Cancel).
    // True when the document agreed and is now closing.
    bool AttemptClose(bool quitting);
    // Goes at once: hides its windows and is destroyed on the next pass
    // of the event loop.
    void Close();
    bool IsClosing() const { return mClosing; }

    // The window's close box asks the document.
    bool AllowSubRemoval(LCommander* sub) override;

protected:
    bool HandleCommand(CommandT command, void* parameter) override;
    bool FindCommandStatus(CommandT command, SCommandStatus& status) override;
    // Save, or Save As when not saved to a file yet; false when it did
    // not happen (cancelled or failed: the failure is the document's to
    // report).
    bool SaveOrSaveAs();
    void AskRevert();

private:
    bool mIsModified = false;
    bool mIsSpecified = false;
    bool mClosing = false;
    std::unique_ptr<QObject> mLife;  // queued destruction dies with the document
};
