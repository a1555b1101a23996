// debug_output_capture.cpp - a vectored exception handler that records debugger output.
#include "debug_output_capture.h"

#include <windows.h>

namespace debug_output {

namespace {

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

LONG CALLBACK Handler(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        const size_t length = size_t(record->ExceptionInformation[0]);
        if (text && length > 0) Log().emplace_back(text, length - 1);  // the length counts the zero
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void Start() {
    static PVOID handle = AddVectoredExceptionHandler(1, Handler);
    (void)handle;
    Log().clear();
}

std::vector<std::string> Lines() { return Log(); }

}  // namespace debug_output
