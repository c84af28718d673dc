#include "framework/UExceptionSwallower.h"

namespace {
struct SwallowState {
    std::string lastText;
    uint32_t count = 0;
    std::function<void(const std::string&)> hook;
};

SwallowState& State() {
    static SwallowState state;
    return state;
}
}  // namespace

std::string UExceptionSwallower::TextFor(int64_t code) {
    return "Exception caught in LApplication.\nError Code: " + std::to_string(code);
}

std::string UExceptionSwallower::TextFor(const LException& e) {
    return TextFor(int64_t(e.Code())) + "\r" + e.Message();
}

void UExceptionSwallower::Swallow(const std::string& text) {
    SwallowState& state = State();
    state.lastText = text;
    ++state.count;
    if (!state.hook) return;
    try {
        state.hook(text);
    } catch (...) {
        // A failing hook must not undo the swallowing.
    }
}

const std::string& UExceptionSwallower::LastText() { return State().lastText; }

uint32_t UExceptionSwallower::SwallowedCount() { return State().count; }

void UExceptionSwallower::Reset() {
    State().lastText.clear();
    State().count = 0;
}

void UExceptionSwallower::SetHook(std::function<void(const std::string&)> hook) {
    State().hook = std::move(hook);
}
