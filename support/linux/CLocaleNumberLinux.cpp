#include "support/CLocaleNumber.h"

#include <locale.h>
#include <stdlib.h>

namespace support {

double StrtodInCLocale(const char* text) {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    if (locale == static_cast<locale_t>(nullptr)) return 0.0;
    return strtod_l(text, nullptr, locale);
}

}  // namespace support
