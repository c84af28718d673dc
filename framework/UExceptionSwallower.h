// What happens to an exception that escapes the handling of an event: the
// event loop catches it, builds the "Exception caught in LApplication."
// text and discards it; the next event is handled as usual. Work that must
// tell the user catches its own errors. The last discarded text and a hook
// are kept so that tests and logging can see what was swallowed.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <new>
#include <string>

#include "framework/LException.h"

class UExceptionSwallower {
public:
    // "Exception caught in LApplication.\nError Code: <code>" and, for an
    // LException, "\r<message>".
    static std::string TextFor(const LException& e);
    static std::string TextFor(int64_t code);

    // Runs f; an escaping LException, bare error number or other exception
    // is turned into its text and swallowed. Returns false when it swallowed.
    template <class F>
    static bool Guard(F&& f) {
        try {
            f();
            return true;
        } catch (const LException& e) {
            Swallow(TextFor(e));
        } catch (int16_t code) {
            Swallow(TextFor(code));
        } catch (int32_t code) {
            Swallow(TextFor(code));
        } catch (uint32_t code) {
            Swallow(TextFor(int32_t(code)));
        } catch (long code) {
            Swallow(TextFor(int64_t(code)));
        } catch (const std::bad_alloc&) {
            Swallow(TextFor(int64_t(memFullErr)));
        } catch (const std::exception& e) {
            Swallow(TextFor(LException(0, e.what())));
        } catch (...) {
            Swallow(TextFor(int64_t(0)));
        }
        return false;
    }

    static void Swallow(const std::string& text);
    static const std::string& LastText();
    static uint32_t SwallowedCount();
    static void Reset();  // clears the last text and the count
    // Called with each swallowed text; null to clear.
    static void SetHook(std::function<void(const std::string&)> hook);
};
