#include "platform/c_format.h"

#include <cstdarg>
#include <cstdio>
#include <locale.h>

namespace {

// One "C" locale for the life of the process; switching to it is per thread.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

std::string FormatC(const char* format, ...) {
    const locale_t previous = uselocale(CLocale());
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int needed = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string result;
    if (needed >= 0 && static_cast<std::size_t>(needed) < sizeof small) {
        result.assign(small, static_cast<std::size_t>(needed));
    } else if (needed > 0) {
        result.resize(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(result.data(), result.size(), format, copy);
        result.resize(static_cast<std::size_t>(needed));
    }
    va_end(copy);
    uselocale(previous);
    return result;
}
