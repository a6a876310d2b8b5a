#include "core/Trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace kestrom {

namespace {
std::atomic<TraceSink> gSink{nullptr};
}

void SetTraceSink(TraceSink sink) { gSink.store(sink); }

bool TraceEnabled() { return gSink.load(std::memory_order_relaxed) != nullptr; }

void Trace(const char* function, int line, const char* format, ...) {
    TraceSink sink = gSink.load();
    if (!sink) return;
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    sink(function, line, message);
}

void FormatTraceTimeStamp(char* out, int size) {
    if (!out || size <= 0) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    std::tm utc{};
#ifdef _WIN32
    localtime_s(&local, &now);
    gmtime_s(&utc, &now);
#else
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
#endif
    // Offset from UTC: the difference of the two broken-down times, read as local.
    utc.tm_isdst = local.tm_isdst;
    const long offsetMinutes = static_cast<long>(std::difftime(std::mktime(&local), std::mktime(&utc)) / 60);
    const long magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char date[32];
    std::strftime(date, sizeof date, "%Y%m%d %H:%M ", &local);
    std::snprintf(out, size, "%s%c%02ld%02ld", date, offsetMinutes < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
}

}  // namespace kestrom
