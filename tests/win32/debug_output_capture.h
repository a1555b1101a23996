// debug_output_capture.h - reads what the process writes with OutputDebugStringA.
//
// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text before it goes to
// a debugger; a vectored handler sees it first and lets it go on.
#ifndef RENDERER_TESTS_WIN32_DEBUG_OUTPUT_CAPTURE_H
#define RENDERER_TESTS_WIN32_DEBUG_OUTPUT_CAPTURE_H

#include <string>
#include <vector>

namespace debug_output {

void Start();                        // installs the handler once and clears the log
std::vector<std::string> Lines();    // one entry per OutputDebugStringA call

}  // namespace debug_output

#endif
