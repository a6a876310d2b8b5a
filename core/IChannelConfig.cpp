#include "core/IChannelConfig.h"

#include <cstdio>
#include <cstring>

std::vector<IChannelConfig> IChannelConfig::Parse(const char* text) {
    std::vector<IChannelConfig> configs;
    if (!text) return configs;
    const char* p = text;
    for (;;) {
        IChannelConfig c;
        int in = 0, out = 0;
        const int got = std::sscanf(p, "%d-%d", &in, &out);
        if (got >= 1) c.nIn = in;
        if (got >= 2) c.nOut = out;
        configs.push_back(c);
        const char* blank = std::strchr(p, ' ');
        if (!blank) break;
        p = blank + 1;
    }
    return configs;
}
