// Feeds arbitrary bytes to the configuration file parser: it must never read
// outside the buffer nor crash, whatever the file holds.
#include "config/ConfigClass.h"
#include "util/RuntimeError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ConfigClass record;
    try {
        record.FromFileBytes(bytes);
        // What loaded must save and load back to the same record.
        ConfigClass again;
        again.FromFileBytes(record.ToFileBytes());
        if (!(again == record))
            __builtin_trap();
    } catch (const RuntimeError&) {
    }
    return 0;
}
