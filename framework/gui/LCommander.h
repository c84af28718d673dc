// The commander chain. Commands (menu items, keys) go to the target, the
// commander of the focused widget, and up through its super-commanders
// until one handles them. A commander owns its sub-commanders: destroying
// it destroys them first.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class QKeyEvent;
class QWidget;

using CommandT = int32_t;

// The framework's own command numbers.
enum : CommandT {
    cmd_Nothing = 0,
    cmd_About = 1,
    cmd_New = 2,
    cmd_Open = 3,
    cmd_Close = 4,
    cmd_Save = 5,
    cmd_SaveAs = 6,
    cmd_Revert = 7,
    cmd_PageSetup = 8,
    cmd_Print = 9,
    cmd_Quit = 10,
    cmd_Undo = 11,
    cmd_Cut = 12,
    cmd_Copy = 13,
    cmd_Paste = 14,
    cmd_Clear = 15,
    cmd_SelectAll = 16,
};

struct SCommandStatus {
    bool enabled = false;
    bool usesMark = false;
    uint16_t mark = 0;
    QString name;  // empty: keep the menu's text
};

class LCommander {
public:
    explicit LCommander(LCommander* superCommander = nullptr);
    virtual ~LCommander();
    LCommander(const LCommander&) = delete;
    LCommander& operator=(const LCommander&) = delete;

    LCommander* GetSuperCommander() const { return mSuper; }
    // The next commander up: the super-commander, or for a pane that is a
    // commander without one, the commander of the widget around it.
    LCommander* NextInChain() const;
    void SetSuperCommander(LCommander* superCommander);
    const std::vector<LCommander*>& GetSubCommanders() const { return mSubs; }

    // HandleCommand here, else up the chain. True when someone handled it.
    bool ObeyCommand(CommandT command, void* parameter = nullptr);
    // Asks up the chain until a commander reports the command enabled or
    // answers for it; disabled when nobody does.
    void ProcessCommandStatus(CommandT command, SCommandStatus& status);
    // Key presses the focused widget passed on; true when handled.
    bool ProcessKeyPress(const QKeyEvent& key);

    // Where the commands of this window system go now: the commander of
    // the focused widget, else of the active window, else the top one.
    static LCommander* GetTarget();
    // The top of every chain: the application.
    static LCommander* GetTopCommander() { return sTopCommander; }
    static void SetTopCommander(LCommander* top) { sTopCommander = top; }
    // The commander a widget belongs to: the nearest widget up the parent
    // chain that is a commander.
    static LCommander* CommanderOf(QWidget* widget);

    // Whether a sub-commander may go away on its own (a document's window
    // may not: closing it asks the document to close).
    virtual bool AllowSubRemoval(LCommander* sub) { (void)sub; return true; }

protected:
    virtual bool HandleCommand(CommandT command, void* parameter) {
        (void)command;
        (void)parameter;
        return false;
    }
    // Sets status and returns true when this commander answers for the
    // command; false passes it up.
    virtual bool FindCommandStatus(CommandT command, SCommandStatus& status) {
        (void)command;
        (void)status;
        return false;
    }
    virtual bool HandleKeyPress(const QKeyEvent& key) {
        (void)key;
        return false;
    }

private:
    LCommander* mSuper = nullptr;
    std::vector<LCommander*> mSubs;
    bool mDying = false;
    static LCommander* sTopCommander;
};
