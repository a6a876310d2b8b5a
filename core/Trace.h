#pragma once

// Trace points: framework operations report their qualified name, a source
// line and a formatted message. By default nothing is installed and a trace
// point costs one test; a tool or a test may install a sink to see them.
namespace kestrom {

using TraceSink = void (*)(const char* function, int line, const char* message);

void SetTraceSink(TraceSink sink);
bool TraceEnabled();
void Trace(const char* function, int line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// "%Y%m%d %H:%M " and the signed UTC offset as "+hhmm", of the current local time.
void FormatTraceTimeStamp(char* out, int size);

}  // namespace kestrom

#define KESTROM_TRACE(function, ...)                              \
    do {                                                          \
        if (::kestrom::TraceEnabled())                            \
            ::kestrom::Trace(function, __LINE__, __VA_ARGS__);    \
    } while (0)
